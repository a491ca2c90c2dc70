// Looking at and working another process's windows the way a user (or the platform) does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

HWND Control(HWND dialog, int id);
std::wstring Text(HWND window);
std::wstring Text(HWND dialog, int id);
bool Checked(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
bool Visible(HWND dialog, int id);
// A control's rectangle in its dialog's client coordinates.
RECT RectIn(HWND dialog, int id);
// The height of the list a list control drops down, below its field.
int DroppedListHeight(HWND dialog, int id);
// The same as "x,y,width,height", the way Setting.ini gives it.
std::string Position(HWND dialog, int id);
SIZE ClientSize(HWND window);
int ComboSelection(HWND dialog, int id);
std::vector<std::wstring> ComboItems(HWND dialog, int id);

// A click on a button or check box as the platform makes it (posted, so a dialog that the
// click opens does not block the test).
void Click(HWND dialog, int id);
void SelectComboItem(HWND dialog, int id, int index);  // as a user picks it: CBN_SELCHANGE

// The window that has the keyboard focus in `window`'s thread.
HWND FocusOf(HWND window);

// Real input through the system's input queue, to the foreground window.
void BringToFront(HWND window);
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});
void TypeText(const std::wstring& text);
void MoveMouse(POINT screen);
void MouseDown(POINT screen, bool shift = false);
void MouseUp(POINT screen);
void MouseClick(POINT screen);
POINT ClientToScreenPoint(HWND window, int x, int y);

// The pixels of a window as they are on the screen.
class Capture {
public:
    explicit Capture(HWND window, bool clientOnly = true);
    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const;  // 0x00BBGGRR; CLR_INVALID outside
    // Count of pixels in the rectangle (client coordinates) of exactly `color`.
    int Count(const RECT& area, COLORREF color) const;
    // Count of pixels that differ from `other`'s (all of them when the sizes differ).
    int Differences(const Capture& other) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<DWORD> pixels_;  // 0x00RRGGBB rows top-down
};

}  // namespace testsupport
