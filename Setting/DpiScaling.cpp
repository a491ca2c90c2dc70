#include "DpiScaling.h"

namespace dpi {

Rect ScaledRect(const text::Position& position, unsigned dpi) {
    const int32_t x = Scale(position.x, dpi), y = Scale(position.y, dpi);
    return {x, y, ClampedTo32Bits(int64_t{x} + Scale(position.width, dpi)),
            ClampedTo32Bits(int64_t{y} + Scale(position.height, dpi))};
}

std::wstring LargerCopyPath(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    const size_t dot = path.rfind(L'.');
    const size_t at = dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)
                          ? path.size()
                          : dot;
    return path.substr(0, at) + L"@2x" + path.substr(at);
}

}  // namespace dpi
