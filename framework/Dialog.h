// A dialog run from a template of the module's resources, with its own modal loop so that
// queued messages pass through PreTranslateMessage of the target control and of the dialog.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "DialogTemplate.h"
#include "MessageMap.h"
#include "Window.h"

namespace ui {

class Dialog : public Window, public MessageHandler {
public:
    // Who makes the template's controls: the platform, at the template's places, or the
    // dialog itself, each at the place PlaceControl gives (one round trip per control less
    // than making it and moving it).
    enum class Controls { ByPlatform, ByDialog };

    explicit Dialog(UINT templateId, Controls controls = Controls::ByPlatform)
        : m_templateId(templateId), m_controls(controls) {}
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    ~Dialog() override;

    // Creates the dialog over `owner` (which may be null), disables the owner and runs until
    // EndDialog. Returns the end code, or -1 when the dialog could not be created.
    INT_PTR DoModal(HWND owner);
    void EndDialog(INT_PTR result);
    bool IsRunning() const { return m_hWnd != nullptr && !m_ended; }

    // Queued messages for the dialog and its controls: by default the platform's dialog keys.
    bool PreTranslateMessage(MSG& msg) override;

protected:
    // A control of the template about to be made (Controls::ByDialog): its rectangle in
    // client pixels, its text and whether it is visible, as the template gives them.
    struct ControlPlace {
        int id;
        RECT rect;
        std::wstring text;
        bool visible;
    };
    // Before the dialog makes its controls (the window and its font exist).
    virtual void OnCreatingControls() {}
    // May change where and how a control is made; by default as the template says.
    virtual void PlaceControl(ControlPlace&) {}

    // WM_INITDIALOG, once the controls exist. Returns TRUE to let the platform set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // The IDOK and IDCANCEL commands (Enter, Escape, and the close request).
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    // Turns a left-button press at `lParam` (client coordinates) into a press on the caption,
    // so that a caption-less dialog can be dragged.
    void StartCaptionDrag(LPARAM lParam) const;
    // Centres the dialog on its owner, or on the work area when it has none; given a size, the
    // dialog takes it in the same move.
    void CenterOnOwner(const SIZE* size = nullptr) const;

    bool ProcessMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        return false;
    }

private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    void RunModalLoop(HWND owner);
    bool PreTranslateQueued(MSG& msg);
    bool CreateControls();

    UINT m_templateId;
    Controls m_controls;
    std::unique_ptr<DialogTemplate> m_template;  // while the dialog makes its controls
    bool m_ended = false;
    INT_PTR m_result = 0;
};

// The module whose resources the dialogs come from (set once when the module loads).
void SetResourceModule(HINSTANCE module);
HINSTANCE ResourceModule();

}  // namespace ui
