// Declarative message maps. A class that receives window messages implements
// MessageHandler::ProcessMessage with these macros:
//
//   BEGIN_MSG_MAP()
//       MESSAGE_HANDLER(WM_PAINT, OnPaint)         // LRESULT OnPaint(WPARAM, LPARAM, bool&
//       handled) COMMAND_HANDLER(IDOK, BN_CLICKED, OnOk)    // void OnOk()
//       CHAIN_MSG_MAP(ui::Dialog)
//   END_MSG_MAP()
//
// A message handler starts with handled == true. Setting it to false lets the map go on and,
// when nothing else handles the message, the window's default processing run.
#pragma once

#include <windows.h>

namespace ui {

class MessageHandler {
public:
    virtual ~MessageHandler() = default;
    // True when the message was handled; result then holds the message's result.
    virtual bool ProcessMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    // Called by a modal loop for queued messages aimed at this window or its children, before
    // they are dispatched. True swallows the message.
    virtual bool PreTranslateMessage(MSG& msg) { return false; }
};

// A dialog hands WM_DRAWITEM of an owner-drawn control back to the control's own handler as
// this message (same parameters), so that the control paints itself.
constexpr UINT kReflectedDrawItem = WM_USER + 0x1C00 + WM_DRAWITEM;

// The handler attached to a window by Dialog or Subclassed, or null.
MessageHandler* HandlerOf(HWND hwnd);
void AttachHandler(HWND hwnd, MessageHandler* handler);
void DetachHandler(HWND hwnd);

}  // namespace ui

#define BEGIN_MSG_MAP()                                                                       \
    bool ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override { \
        bool bHandled = true;                                                                 \
        (void)wParam;                                                                         \
        (void)lParam;

#define MESSAGE_HANDLER(msg, func)                \
    if (uMsg == (msg)) {                          \
        bHandled = true;                          \
        lResult = func(wParam, lParam, bHandled); \
        if (bHandled) return true;                \
    }

#define COMMAND_HANDLER(id, code, func)                                             \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) { \
        func();                                                                     \
        lResult = 0;                                                                \
        return true;                                                                \
    }

#define CHAIN_MSG_MAP(baseClass) \
    if (baseClass::ProcessMessage(uMsg, wParam, lParam, lResult)) return true;

#define END_MSG_MAP() \
    return false;     \
    }
