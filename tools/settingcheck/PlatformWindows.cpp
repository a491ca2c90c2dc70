// The Windows build: values through the platform's private-profile reader (as the module
// reads them), images through GDI+ as well, texts measured with GDI.
#include <windows.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include "Command.h"

namespace settingcheck {

namespace {

class ProfileValues : public ValueSource {
public:
    explicit ProfileValues(std::wstring path) : path_(std::move(path)) {}
    bool Get(const std::wstring& section, const std::wstring& key,
             std::wstring& value) const override {
        // A default no file holds tells a missing key from an empty one.
        static const wchar_t kAbsent[] = L"\x01settingcheck-absent\x01";
        std::wstring buffer(5120, L'\0');
        const DWORD length =
            ::GetPrivateProfileStringW(section.c_str(), key.c_str(), kAbsent, &buffer[0],
                                       static_cast<DWORD>(buffer.size()), path_.c_str());
        buffer.resize(length);
        if (buffer == kAbsent) return false;
        value = buffer;
        return true;
    }

private:
    std::wstring path_;
};

// GDI+ for the whole run of the program.
class GdiPlus {
public:
    GdiPlus() {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    ~GdiPlus() { Gdiplus::GdiplusShutdown(token_); }

private:
    ULONG_PTR token_ = 0;
};

std::string DecodeWithGdiPlus(const std::filesystem::path& path) {
    static GdiPlus gdiplus;
    Gdiplus::Bitmap bitmap(path.wstring().c_str(), FALSE);
    const Gdiplus::Status status = bitmap.GetLastStatus();
    if (status != Gdiplus::Ok || bitmap.GetWidth() == 0 || bitmap.GetHeight() == 0)
        return "GDI+ cannot decode it (status " + std::to_string(static_cast<int>(status)) + ")";
    return std::string();
}

}  // namespace

Platform MakePlatform(bool estimateWidths) {
    static const std::unique_ptr<TextMeter> gdi = MakeGdiMeter();
    static const std::unique_ptr<TextMeter> table = MakeTableMeter();
    Platform platform;
    platform.openValues = [](const std::filesystem::path& path, const IniDocument&) {
        return std::unique_ptr<ValueSource>(new ProfileValues(path.wstring()));
    };
    platform.decodeImage = DecodeWithGdiPlus;
    platform.meter = estimateWidths || !gdi ? table.get() : gdi.get();
    return platform;
}

}  // namespace settingcheck
