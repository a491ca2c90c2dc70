// What every dialog of the module does for screen readers and for high contrast, beside its own
// work. Attached to a dialog once its controls exist, it
//  - answers a screen reader's questions (WM_GETOBJECT) about the dialog and each of its
//    controls (Accessible.h): names from their texts, the access-key marks left out (a list or
//    field is named by the label or check box before it); roles from the kind of control;
//    states as they are (checked, unavailable, focused, ...); the default action of what can be
//    clicked. Every object handed out is cut off when its window goes, so that a screen reader
//    holding one afterwards gets an error, never the module's freed memory; one that is still
//    held in this process keeps the module loaded (logged);
//  - follows high contrast (HighContrast.h): asks at once and again when the platform says
//    that a setting or the system colours changed, turns the platform controls' visual styles
//    off while it is on (so that they draw in the system colours too) and repaints everything.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "Accessible.h"

class CDialogAccess final : private IAccessibleSource {
public:
    // What a window is for a screen reader.
    enum class Kind {
        Dialog,
        CheckBox,
        RadioButton,
        PushButton,
        Grouping,
        Link,
        Text,
        List,
        Edit,
        Other
    };
    // A control whose kind its window class does not tell (a static text that is a link or a
    // group frame).
    struct Marked {
        int id;
        Kind kind;
    };

    CDialogAccess() = default;
    ~CDialogAccess() { Detach(); }
    CDialogAccess(const CDialogAccess&) = delete;
    CDialogAccess& operator=(const CDialogAccess&) = delete;

    void Attach(HWND dialog, std::initializer_list<Marked> marked = {});
    // Names a control (id 0: the dialog itself) whatever its text says.
    void SetName(int id, const std::wstring& name);

private:
    struct Entry {
        HWND window;
        Kind kind;
        std::wstring name;  // when `named`
        bool named = false;
        CAccessible* object = nullptr;  // made at the first question
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self);
    LRESULT Answer(HWND window, WPARAM wParam);
    void FollowContrast(bool coloursChanged);
    void ApplyVisualStyles();
    void Forget(HWND window);
    void Detach();

    AccessibleFacts Describe(HWND window) const override;
    bool DoDefaultAction(HWND window) const override;
    const Entry* Find(HWND window) const;
    HWND LabelOf(HWND window) const;
    std::wstring NameOf(const Entry& entry) const;
    long StateOf(const Entry& entry) const;

    HWND m_dialog = nullptr;
    std::vector<Entry> m_entries;
    bool m_apartmentAsked = false;   // COM was asked to join this thread's apartment
    bool m_joinedApartment = false;  // and did: left again at Detach
    bool m_stylesOff = false;
    long m_stillHeld = 0;  // objects of gone windows still held in this process
};
