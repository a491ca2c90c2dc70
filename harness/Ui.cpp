#include "Ui.h"

#include <string>

namespace harness {

HWND Control(HWND dialog, int id) {
    return ::GetDlgItem(dialog, id);
}

std::wstring Text(HWND window) {
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                          SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(copied);
    return text;
}

std::wstring Text(HWND dialog, int id) {
    return Text(Control(dialog, id));
}

bool Checked(HWND dialog, int id) {
    DWORD_PTR state = 0;
    ::SendMessageTimeoutW(Control(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
}

bool Enabled(HWND dialog, int id) {
    return ::IsWindowEnabled(Control(dialog, id)) != FALSE;
}

bool Visible(HWND dialog, int id) {
    return (::GetWindowLongW(Control(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

RECT RectIn(HWND dialog, int id) {
    RECT rc{};
    ::GetWindowRect(Control(dialog, id), &rc);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

int DroppedListHeight(HWND dialog, int id) {
    // The control's top left corner and the dropped list's size, as the platform gives them.
    RECT rc{};
    ::SendMessageW(Control(dialog, id), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&rc));
    return rc.bottom - rc.top;
}

std::string Position(HWND dialog, int id) {
    const RECT rc = RectIn(dialog, id);
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," +
           std::to_string(rc.right - rc.left) + "," + std::to_string(rc.bottom - rc.top);
}

SIZE ClientSize(HWND window) {
    RECT rc{};
    ::GetClientRect(window, &rc);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

int ComboSelection(HWND dialog, int id) {
    DWORD_PTR index = 0;
    ::SendMessageTimeoutW(Control(dialog, id), CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &index);
    return static_cast<int>(static_cast<LRESULT>(index));
}

std::vector<std::wstring> ComboItems(HWND dialog, int id) {
    HWND combo = Control(dialog, id);
    DWORD_PTR count = 0;
    ::SendMessageTimeoutW(combo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
    std::vector<std::wstring> items;
    for (WPARAM i = 0; i < count && i < 1000; ++i) {
        DWORD_PTR length = 0;
        ::SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 5000, &length);
        std::wstring item(length + 1, L'\0');
        ::SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()),
                              SMTO_ABORTIFHUNG, 5000, &length);
        item.resize(length);
        items.push_back(item);
    }
    return items;
}

void Click(HWND dialog, int id) {
    ::PostMessageW(Control(dialog, id), BM_CLICK, 0, 0);
}

void PostCommand(HWND window, int id, WORD code) {
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, code),
                   reinterpret_cast<LPARAM>(Control(window, id)));
}

void SelectComboItem(HWND dialog, int id, int index) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(Control(dialog, id), CB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, 5000,
                          &ignored);
    PostCommand(dialog, id, CBN_SELCHANGE);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void BringToFront(HWND window) {
    ::SetForegroundWindow(window);
    ::SetActiveWindow(window);
    ::Sleep(50);
}

namespace {
INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT MouseInput(POINT screen, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = static_cast<LONG>((screen.x * 65536LL + width / 2) / width);
    input.mi.dy = static_cast<LONG>((screen.y * 65536LL + height / 2) / height);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return input;
}

void Send(std::vector<INPUT> inputs) {
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    ::Sleep(60);
}
}  // namespace

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers)
        inputs.push_back(KeyInput(modifier, false));
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    for (auto it = modifiers.end(); it != modifiers.begin();)
        inputs.push_back(KeyInput(*--it, true));
    Send(inputs);
}

void TypeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wScan = c;
        down.ki.dwFlags = KEYEVENTF_UNICODE;
        INPUT up = down;
        up.ki.dwFlags |= KEYEVENTF_KEYUP;
        inputs.push_back(down);
        inputs.push_back(up);
    }
    Send(inputs);
}

void MoveMouse(POINT screen) {
    Send({MouseInput(screen, 0)});
}

void MouseDown(POINT screen, bool shift) {
    std::vector<INPUT> inputs;
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
    inputs.push_back(MouseInput(screen, MOUSEEVENTF_LEFTDOWN));
    Send(inputs);
}

void MouseUp(POINT screen) {
    Send({MouseInput(screen, MOUSEEVENTF_LEFTUP), KeyInput(VK_SHIFT, true)});
}

void MouseClick(POINT screen) {
    Send({MouseInput(screen, MOUSEEVENTF_LEFTDOWN), MouseInput(screen, MOUSEEVENTF_LEFTUP)});
}

POINT ClientToScreenPoint(HWND window, int x, int y) {
    POINT point{x, y};
    ::ClientToScreen(window, &point);
    return point;
}

int DisplayDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace harness
