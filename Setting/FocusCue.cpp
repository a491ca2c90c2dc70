#include "FocusCue.h"

#include <algorithm>

#include "DpiScaling.h"
#include "Handles.h"

FocusCueColours SkinFocusCueColours() {
    return {RGB(0, 0, 0), RGB(255, 255, 255)};
}

void DrawFocusCue(HDC dc, const RECT& around, UINT dpi, const FocusCueColours& colours) {
    const int dot = std::max(1, dpi::Scale(1, dpi));
    if (around.right - around.left < 2 * dot || around.bottom - around.top < 2 * dot) return;
    const ui::UniqueBrush first(::CreateSolidBrush(colours.first));
    const ui::UniqueBrush second(::CreateSolidBrush(colours.second));
    if (!first || !second) return;
    // One dot at (x, y); the colours alternate along each edge, counted from the corner.
    const auto paint = [&](int x, int y, int index) {
        const RECT at{x, y, std::min<int>(x + dot, around.right),
                      std::min<int>(y + dot, around.bottom)};
        ::FillRect(dc, &at, index % 2 == 0 ? first.get() : second.get());
    };
    int index = 0;
    for (int x = around.left; x < around.right; x += dot, ++index) {
        paint(x, around.top, index);
        paint(x, around.bottom - dot, index);
    }
    index = 1;
    for (int y = around.top + dot; y < around.bottom - dot; y += dot, ++index) {
        paint(around.left, y, index);
        paint(around.right - dot, y, index);
    }
}
