#include "MessageMap.h"

namespace ui {
namespace {
constexpr wchar_t kHandlerProperty[] = L"ui.MessageHandler";
}

MessageHandler* HandlerOf(HWND hwnd) {
    return hwnd ? static_cast<MessageHandler*>(::GetPropW(hwnd, kHandlerProperty)) : nullptr;
}

void AttachHandler(HWND hwnd, MessageHandler* handler) {
    ::SetPropW(hwnd, kHandlerProperty, handler);
}

void DetachHandler(HWND hwnd) {
    ::RemovePropW(hwnd, kHandlerProperty);
}

}  // namespace ui
