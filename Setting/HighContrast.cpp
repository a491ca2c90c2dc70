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

}  // namespace high_contrast
