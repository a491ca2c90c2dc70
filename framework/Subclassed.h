// A control of a dialog template taken over by a C++ object: its messages go through the
// object's message map first, then to the control's own window procedure.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "MessageMap.h"
#include "WindowSubclass.h"

namespace ui {

template <class TControl>
class Subclassed : public TControl, public MessageHandler {
public:
    Subclassed() = default;
    Subclassed(const Subclassed&) = delete;
    Subclassed& operator=(const Subclassed&) = delete;
    ~Subclassed() override { Unsubclass(); }

    // Takes over the dialog's control `id`. PreSubclassWindow runs first, with the handle set.
    bool SubclassDlgItem(int id, HWND dialog) { return SubclassWindow(::GetDlgItem(dialog, id)); }

    bool SubclassWindow(HWND hwnd) {
        if (!hwnd || this->m_hWnd) return false;
        this->m_hWnd = hwnd;
        PreSubclassWindow();
        if (!SetSubclass(hwnd, &Subclassed::Procedure, kSubclassId,
                         reinterpret_cast<DWORD_PTR>(this))) {
            this->m_hWnd = nullptr;
            return false;
        }
        AttachHandler(hwnd, this);
        return true;
    }

    void Unsubclass() {
        if (!this->m_hWnd) return;
        RemoveSubclass(this->m_hWnd, &Subclassed::Procedure, kSubclassId);
        DetachHandler(this->m_hWnd);
        this->m_hWnd = nullptr;
    }

protected:
    virtual void PreSubclassWindow() {}
    // The control's own processing of a message (the window procedure before subclassing).
    LRESULT DefaultProcessing(UINT msg, WPARAM wParam, LPARAM lParam) {
        return DefSubclass(this->m_hWnd, msg, wParam, lParam);
    }
    // Map stub for controls that handle nothing themselves.
    bool ProcessMessage(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }

private:
    static constexpr UINT_PTR kSubclassId = 0x5e77;

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data) {
        auto* self = reinterpret_cast<Subclassed*>(data);
        if (msg == WM_NCDESTROY) {
            self->Unsubclass();
            return DefSubclass(hwnd, msg, wParam, lParam);
        }
        LRESULT result = 0;
        if (self->ProcessMessage(msg, wParam, lParam, result)) return result;
        return DefSubclass(hwnd, msg, wParam, lParam);
    }
};

}  // namespace ui
