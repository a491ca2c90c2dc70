#include "DlgWaiting.h"

#include <windowsx.h>

#include "Dpi.h"
#include "ExceptionWrapper.h"
#include "HostPath.h"
#include "SkinFrame.h"
#include "resource.h"

namespace {

const config::Key* TextKeyOf(int mode) {
    switch (mode) {
        case CDlgWaiting::kSwitchingOff:
            return &config::kWaitSwitchOff;
        case CDlgWaiting::kSwitchingOn:
            return &config::kWaitSwitchOn;
        case CDlgWaiting::kSaving:
            return &config::kWaitSaving;
        default:
            return nullptr;
    }
}

}  // namespace

CDlgWaiting::CDlgWaiting()
    : ui::Dialog(IDD_WAITING), m_stopAnimation(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CDlgWaiting::~CDlgWaiting() {
    StopAnimation();
}

BOOL CDlgWaiting::OnInitDialog() {
    m_bCloseRequested = false;
    ::SetForegroundWindow(m_hWnd);
    const std::wstring dir = HostDirectory();
    LoadSkinBackgrounds(dir.empty() ? nullptr : dir.c_str());
    try {
        m_pIniFile = std::make_unique<CIniFile>();
        m_pIniFile->SetPath(HostFilePath(L"\\Setting.ini"));
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
    CenterOnOwner();
    return TRUE;
}

bool CDlgWaiting::PreTranslateMessage(MSG& msg) {
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        return true;
    }
    return ui::Dialog::PreTranslateMessage(msg);
}

void CDlgWaiting::Close() {
    if (!IsRunning()) return;
    m_bCloseRequested = true;
    ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

LRESULT CDlgWaiting::OnShowWindow(WPARAM shown, LPARAM, bool&) {
    if (!shown) return 0;  // hidden at the end of its run: nothing to start
    if (m_pIniFile) {
        if (const config::Key* key = TextKeyOf(m_nMode))
            m_pIniFile->ReadString(*key, m_strWaitText);
    }
    ::SetDlgItemTextW(m_hWnd, IDC_STATIC_WAIT, m_strWaitText.c_str());
    StartAnimation();
    return 0;
}

void CDlgWaiting::StartAnimation() {
    StopAnimation();
    if (!m_stopAnimation) return;
    ::ResetEvent(m_stopAnimation.get());
    m_animating = true;
    auto thread = std::make_unique<ui::Thread>();
    HWND box = m_hWnd;
    if (thread->Start([this, box] { return AnimationLoop(box); })) {
        m_animation = std::move(thread);
    } else {
        m_animating = false;  // no animation; nothing to report
    }
}

// Runs on the animation thread. It only posts frame numbers to the box and waits on the
// stop event, so stopping it never waits for the box, and no frame is shown once the box
// has stopped animating.
DWORD CDlgWaiting::AnimationLoop(HWND box) {
    for (WPARAM counter = 100;; ++counter) {
        ::PostMessageW(box, kAnimationFrame, counter, 0);
        if (::WaitForSingleObject(m_stopAnimation.get(), kFrameMilliseconds) != WAIT_TIMEOUT) break;
    }
    return ERROR_CANCELLED;
}

void CDlgWaiting::StopAnimation() {
    m_animating = false;
    if (!m_animation) return;
    ::SetEvent(m_stopAnimation.get());
    m_animation->Join();
    m_animation.reset();
}

LRESULT CDlgWaiting::OnAnimationFrame(WPARAM counter, LPARAM, bool&) {
    if (!m_animating) return 0;  // a frame that was under way when the box closed
    const std::wstring text = m_strWaitText + std::wstring(counter % 3 + 1, L'.');
    ::SetDlgItemTextW(m_hWnd, IDC_STATIC_WAIT, text.c_str());
    return 0;
}

LRESULT CDlgWaiting::OnClose(WPARAM, LPARAM, bool& handled) {
    if (!m_bCloseRequested) return 0;  // only the owner closes the box
    StopAnimation();
    handled = false;  // the platform's close: cancel, which ends the modal run
    return 0;
}

LRESULT CDlgWaiting::OnDestroy(WPARAM, LPARAM, bool& handled) {
    StopAnimation();
    handled = false;
    return 0;
}

LRESULT CDlgWaiting::OnEraseBkgnd(WPARAM wParam, LPARAM, bool& handled) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetBkMode(dc, TRANSPARENT);
    if (m_frame.Paint(m_hWnd, dc, dpi::OfWindow(m_hWnd)) != 0) handled = false;
    return TRUE;
}

LRESULT CDlgWaiting::OnCtlColor(WPARAM wParam, LPARAM, bool&) {
    return SkinControlColor(reinterpret_cast<HDC>(wParam));
}

LRESULT CDlgWaiting::OnLButtonDown(WPARAM, LPARAM lParam, bool& handled) {
    if (!InDragBand(lParam, dpi::OfWindow(m_hWnd))) return 0;  // ignored, no default handling
    StartCaptionDrag(lParam);
    handled = false;
    return 0;
}
