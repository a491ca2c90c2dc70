// The password fields' edit control: it takes at most eight characters and shows the
// configured hint in a balloon for one second when the user types past the limit.
#pragma once

#include <windows.h>

#include <memory>

#include "Edit.h"
#include "IniFile.h"
#include "MessageMap.h"
#include "MyToolTip.h"
#include "Subclassed.h"

class CMyEdit : public ui::Subclassed<ui::Edit> {
public:
    static constexpr int kMaxChars = 8;
    static constexpr UINT kHintMilliseconds = 1000;

    CMyEdit();
    ~CMyEdit() override;

protected:
    void PreSubclassWindow() override;

    BEGIN_MSG_MAP()
        MESSAGE_HANDLER(WM_CHAR, OnChar)
        MESSAGE_HANDLER(WM_PASTE, OnPaste)
    END_MSG_MAP()

private:
    LRESULT OnChar(WPARAM wParam, LPARAM, bool& handled);
    LRESULT OnPaste(WPARAM wParam, LPARAM lParam, bool&);
    void EnsureHint();
    void ShowHint();

    std::unique_ptr<CMyToolTip> m_pToolTip;
    std::unique_ptr<CIniFile> m_pIniFile;
};
