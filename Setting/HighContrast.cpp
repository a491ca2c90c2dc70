#include "HighContrast.h"

#include <atomic>

namespace high_contrast {

namespace {
// Windows of the module may paint on more than one thread (a worker's message dialog).
std::atomic<bool> g_on{false};
}  // namespace

bool IsOn() {
    return g_on;
}

bool Ask() {
    HIGHCONTRASTW answer{};
    answer.cbSize = sizeof answer;
    const bool on = ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof answer, &answer, 0) &&
                    (answer.dwFlags & HCF_HIGHCONTRASTON) != 0;
    return g_on.exchange(on) != on;
}

COLORREF Colour(int index) {
    return ::GetSysColor(index);
}

uint64_t PaletteBits() {
    uint64_t hash = 14695981039346656037ull;  // FNV-1a over the colours' bytes
    for (int index : {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HIGHLIGHT,
                      COLOR_HIGHLIGHTTEXT, COLOR_HOTLIGHT, COLOR_GRAYTEXT}) {
        const COLORREF colour = ::GetSysColor(index);
        for (int shift = 0; shift < 32; shift += 8) {
            hash = (hash ^ ((colour >> shift) & 0xFF)) * 1099511628211ull;
        }
    }
    return hash << 16;
}

}  // namespace high_contrast
