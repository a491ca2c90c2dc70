// A balloon tip that its owner control shows on demand for a limited time (a tracking tip),
// rather than when the pointer rests on the control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "MessageMap.h"
#include "Subclassed.h"
#include "Window.h"

class CMyToolTip : public ui::Subclassed<ui::Window> {
public:
    static constexpr UINT_PTR kHideTimerId = 0x300;

    CMyToolTip() = default;
    ~CMyToolTip() override;

    // Creates the balloon window (once) and registers `owner` as its tool. 1 on success.
    BOOL Create(HWND owner, const wchar_t* text);
    void SetText(const wchar_t* text);
    // Shows the balloon at its owner and hides it after `milliseconds` (restarting the
    // timer when it is already shown). Always 1.
    BOOL Show(UINT milliseconds);
    void Hide();

protected:
    BEGIN_MSG_MAP()
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    END_MSG_MAP()

private:
    LRESULT OnTimer(WPARAM wParam, LPARAM, bool& handled);
    LRESULT OnLButtonDown(WPARAM, LPARAM, bool& handled);

    TTTOOLINFOW m_toolInfo{};
    std::wstring m_text;
};
