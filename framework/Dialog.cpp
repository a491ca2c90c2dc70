#include "Dialog.h"

#include <algorithm>

#include <windowsx.h>

#include <atomic>

namespace ui {
namespace {
std::atomic<HINSTANCE> g_resourceModule{nullptr};
// The system timer that blinks the caret does not end an idle phase.
constexpr UINT kCaretBlinkTimer = 0x0118;
}  // namespace

void SetResourceModule(HINSTANCE module) {
    g_resourceModule = module;
}
HINSTANCE ResourceModule() {
    return g_resourceModule;
}

Dialog::~Dialog() {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

INT_PTR Dialog::DoModal(HWND owner) {
    m_ended = false;
    m_result = -1;
    HWND hwnd = nullptr;
    const LPARAM self = reinterpret_cast<LPARAM>(this);
    if (m_controls == Controls::ByDialog) {
        m_template = std::make_unique<DialogTemplate>();
        if (m_template->Load(ResourceModule(), m_templateId))
            hwnd = ::CreateDialogIndirectParamW(ResourceModule(), m_template->Header(), owner,
                                                &Dialog::Procedure, self);
        m_template.reset();
    } else {
        hwnd = ::CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(m_templateId), owner,
                                    &Dialog::Procedure, self);
    }
    if (!hwnd) return -1;

    const bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner) ::EnableWindow(owner, FALSE);
    if (!m_ended) RunModalLoop(owner);

    // Enable the owner before the dialog goes, so that activation returns to it.
    if (disableOwner) ::EnableWindow(owner, TRUE);
    if (owner && ::GetActiveWindow() == hwnd) ::SetActiveWindow(owner);
    ::DestroyWindow(hwnd);
    return m_result;
}

void Dialog::EndDialog(INT_PTR result) {
    m_result = result;
    m_ended = true;
    if (m_hWnd) ::ShowWindow(m_hWnd, SW_HIDE);
    // Wake the modal loop if it sleeps in GetMessage.
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

void Dialog::RunModalLoop(HWND owner) {
    // A dialog created hidden is shown once everything queued at creation is handled,
    // as the platform's own modal loop does.
    bool showPending = !::IsWindowVisible(m_hWnd);
    bool idle = true;
    MSG msg;
    while (!m_ended) {
        if (idle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (showPending) {
                showPending = false;
                ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
                ::UpdateWindow(m_hWnd);
                continue;
            }
            // Tell the owner that the dialog is up and its queue is empty.
            if (owner)
                ::SendMessageW(owner, WM_ENTERIDLE, MSGF_DIALOGBOX,
                               reinterpret_cast<LPARAM>(m_hWnd));
            idle = false;
            continue;
        }
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT ends this loop and every loop outside it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        if (!PreTranslateQueued(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (msg.message != kCaretBlinkTimer) idle = true;
    }
}

bool Dialog::PreTranslateQueued(MSG& msg) {
    // From the target window up to its top-level window: each attached handler may take it.
    for (HWND hwnd = msg.hwnd; hwnd; hwnd = ::GetAncestor(hwnd, GA_PARENT)) {
        if (MessageHandler* handler = HandlerOf(hwnd)) {
            if (handler->PreTranslateMessage(msg)) return true;
        }
        if (!(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
}

bool Dialog::PreTranslateMessage(MSG& msg) {
    return m_hWnd && ::IsDialogMessageW(m_hWnd, &msg) != FALSE;
}

void Dialog::StartCaptionDrag(LPARAM lParam) const {
    // The caption press takes screen coordinates, or the window jumps at the first move.
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(m_hWnd, &point);
    ::PostMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

void Dialog::CenterOnOwner(const SIZE* size) const {
    RECT area{};
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        MONITORINFO monitor{sizeof monitor};
        ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
        area = monitor.rcWork;
    }
    const RECT own = WindowRect();
    const int width = size ? size->cx : own.right - own.left;
    const int height = size ? size->cy : own.bottom - own.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    // Kept on the owner's monitor: a dialog larger than its owner (at a higher dpi, say) would
    // otherwise start above or left of the screen. Where it is larger than the monitor, its
    // top left corner stays visible, with its title and close box.
    MONITORINFO monitor{sizeof monitor};
    if (::GetMonitorInfoW(::MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        x = std::max<int>(work.left, std::min<int>(x, work.right - width));
        y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, width, height,
                   (size ? 0 : SWP_NOSIZE) | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->m_hWnd = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        AttachHandler(hwnd, self);
    } else {
        self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    if (msg == WM_NCDESTROY) {
        DetachHandler(hwnd);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        return FALSE;
    }
    return self->Dispatch(msg, wParam, lParam);
}

namespace {

// A list fixes the height it drops down to when it is made, from the font it has then, and
// keeps it when it is later moved to a height no taller than its field. So a list is made where
// the template puts it, given the dialog's font, and only then moved to its place: it drops
// down exactly as the template's list moved there by the dialog would, at every height.
bool IsList(const DialogItem& item) {
    return _wcsicmp(item.className.c_str(), L"ComboBox") == 0;
}

}  // namespace

// What the platform's dialog manager does for each item of a template, with the place and
// text the dialog gives: the same class, styles, id, font and default button.
bool Dialog::CreateControls() {
    OnCreatingControls();
    const HFONT font = Font();
    int defaultId = 0;
    for (const DialogItem& item : m_template->Items()) {
        // Position and size are converted apart, as the platform converts them.
        RECT pixels = item.units;
        pixels.right -= pixels.left;
        pixels.bottom -= pixels.top;
        ::MapDialogRect(m_hWnd, &pixels);
        const RECT templateRect{pixels.left, pixels.top, pixels.left + pixels.right,
                                pixels.top + pixels.bottom};
        ControlPlace place{item.id, templateRect, item.text, (item.style & WS_VISIBLE) != 0};
        PlaceControl(place);
        const DWORD style =
            (place.visible ? item.style | WS_VISIBLE : item.style & ~DWORD{WS_VISIBLE}) | WS_CHILD;
        const RECT& made = IsList(item) ? templateRect : place.rect;
        HWND control = ::CreateWindowExW(
            item.exStyle | WS_EX_NOPARENTNOTIFY, item.className.c_str(), place.text.c_str(), style,
            made.left, made.top, made.right - made.left, made.bottom - made.top, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), ResourceModule(),
            item.creationData.empty() ? nullptr : const_cast<BYTE*>(item.creationData.data()));
        if (!control) return false;
        if (font) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (!::EqualRect(&made, &place.rect)) {
            ::SetWindowPos(control, nullptr, place.rect.left, place.rect.top,
                           place.rect.right - place.rect.left, place.rect.bottom - place.rect.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) defaultId = item.id;
    }
    if (defaultId) Send(DM_SETDEFID, static_cast<WPARAM>(defaultId));
    return true;
}

INT_PTR Dialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        if (m_template && !CreateControls()) {
            EndDialog(-1);
            return FALSE;
        }
        return OnInitDialog();
    }
    LRESULT result = 0;
    if (msg == WM_DRAWITEM && lParam) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        MessageHandler* control = HandlerOf(item->hwndItem);
        if (control && control->ProcessMessage(kReflectedDrawItem, wParam, lParam, result)) {
            return TRUE;
        }
    }
    if (ProcessMessage(msg, wParam, lParam, result)) {
        return SetDlgMsgResult(m_hWnd, msg, result);
    }
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace ui
