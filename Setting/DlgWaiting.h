// The small skinned box shown while a long engine operation runs: one line of text followed
// by one to three dots that change every 600 ms. It has no buttons, ignores Enter and
// Escape, and closes only when its owner closes it.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "Dialog.h"
#include "DialogAccess.h"
#include "SkinFrame.h"
#include "Handles.h"
#include "IniFile.h"
#include "Thread.h"

class CDlgWaiting : public ui::Dialog {
public:
    enum Mode { kSwitchingOff = 2, kSwitchingOn = 6, kSaving = 9 };
    static constexpr DWORD kFrameMilliseconds = 600;

    CDlgWaiting();
    ~CDlgWaiting() override;

    void SetMode(int mode) { m_nMode = mode; }
    // The owner's close request: the only way the box closes (Alt+F4 and the like do not).
    void Close();
    int Mode() const { return m_nMode; }

    bool PreTranslateMessage(MSG& msg) override;

protected:
    BOOL OnInitDialog() override;

    BEGIN_MSG_MAP()
        MESSAGE_HANDLER(WM_SHOWWINDOW, OnShowWindow)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColor)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(kAnimationFrame, OnAnimationFrame)
    END_MSG_MAP()

private:
    // Posted by the animation thread; wParam is the frame counter.
    static constexpr UINT kAnimationFrame = WM_APP + 0x20;

    LRESULT OnShowWindow(WPARAM, LPARAM, bool& handled);
    LRESULT OnClose(WPARAM, LPARAM, bool& handled);
    LRESULT OnDestroy(WPARAM, LPARAM, bool& handled);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM, bool& handled);
    LRESULT OnCtlColor(WPARAM wParam, LPARAM, bool&);
    LRESULT OnLButtonDown(WPARAM, LPARAM lParam, bool& handled);
    LRESULT OnAnimationFrame(WPARAM wParam, LPARAM, bool&);

    void StartAnimation();
    void StopAnimation();
    DWORD AnimationLoop(HWND box);

    std::unique_ptr<ui::Thread> m_animation;
    ui::UniqueHandle m_stopAnimation;  // manual-reset event: set to stop the thread
    std::atomic<bool> m_animating{false};
    std::wstring m_strWaitText;
    std::unique_ptr<CIniFile> m_pIniFile;
    int m_nMode = 0;
    CSkinFrameCache m_frame;  // the painted frame, kept between erases
    bool m_bCloseRequested = false;
    CDialogAccess m_access;  // screen readers and high contrast
};
