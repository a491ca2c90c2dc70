#include "MyEdit.h"

#include <string>

#include "ExceptionWrapper.h"

namespace {
constexpr wchar_t kBackspace = 8;

// Characters of text on the clipboard, or 0 when it holds none.
size_t ClipboardTextLength(HWND owner) {
    if (!::OpenClipboard(owner)) return 0;
    size_t length = 0;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (auto* text = static_cast<const wchar_t*>(::GlobalLock(data))) {
            length = wcsnlen(text, ::GlobalSize(data) / sizeof(wchar_t));
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return length;
}
}  // namespace

CMyEdit::CMyEdit() : m_pIniFile(std::make_unique<CIniFile>()) {
    m_pIniFile->SetPath(HostFilePath(L"\\setting.ini"));
}

CMyEdit::~CMyEdit() {
    m_pToolTip.reset();
}

void CMyEdit::PreSubclassWindow() {
    // Pasted text is capped by the control itself; typed characters by OnChar, with the hint.
    Send(EM_LIMITTEXT, kMaxChars);
}

void CMyEdit::EnsureHint() {
    if (m_pToolTip) return;
    m_pToolTip = std::make_unique<CMyToolTip>();
    m_pToolTip->Create(m_hWnd, nullptr);
    std::wstring hint;
    m_pIniFile->ReadString(config::kMaxCharsHint, hint);
    m_pToolTip->SetText(hint.c_str());
}

void CMyEdit::ShowHint() {
    EnsureHint();
    m_pToolTip->Show(kHintMilliseconds);
}

LRESULT CMyEdit::OnChar(WPARAM wParam, LPARAM, bool& handled) {
    EnsureHint();
    if (TextLength() >= kMaxChars && wParam != kBackspace) {
        ShowHint();
        return 0;  // the character is dropped
    }
    handled = false;
    return 0;
}

LRESULT CMyEdit::OnPaste(WPARAM wParam, LPARAM lParam, bool&) {
    DWORD start = 0, end = 0;
    GetSel(start, end);
    const size_t kept = static_cast<size_t>(TextLength()) - (end - start);
    const bool cut = kept + ClipboardTextLength(m_hWnd) > static_cast<size_t>(kMaxChars);
    const LRESULT result = DefaultProcessing(WM_PASTE, wParam, lParam);
    if (cut) ShowHint();
    return result;
}
