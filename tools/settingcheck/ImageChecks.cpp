// Skin images: present, decodable, stored at 96 dpi, large enough for the pieces the module
// cuts from them (SkinGeometry.h), and larger copies of the right size.
#include <system_error>

#include "Checks.h"
#include "DpiScaling.h"
#include "Images.h"
#include "SkinGeometry.h"
#include "SkinImages.h"
#include "Strings.h"

namespace settingcheck {

namespace {

using config::Key;
using config::Kind;
using config::Shown;

// Inspects an image file; reports it missing or undecodable and returns false then.
bool LoadImage(Context& c, const std::string& display, const std::wstring& relative, const Key* key,
               const std::string& effect, ImageInfo& info) {
    const std::filesystem::path path = ResolveNoCase(c.folder, relative);
    auto report = [&](const std::string& message) {
        if (key)
            c.Add("image", *key, message);
        else
            c.AddFile("image", display, message);
    };
    std::string bytes;
    if (!ReadBytes(path, bytes)) {
        report((key ? "names " + display + ", which " : std::string()) +
               "is missing or cannot be read: " + effect);
        return false;
    }
    info = InspectImage(bytes);
    if (!info.ok) {
        report((key ? display + ": " : std::string()) + info.problem + ": " + effect);
        return false;
    }
    for (double dpi : {info.dpiX, info.dpiY}) {
        if (dpi > 0 && (dpi < 95.5 || dpi > 96.5)) {
            report((key ? display + " " : std::string()) + "is stored at " +
                   std::to_string(static_cast<int>(dpi + 0.5)) +
                   " dpi: it is drawn scaled to 96 dpi; store it at 96 dpi (3780 pixels per "
                   "metre)");
            break;
        }
    }
    return true;
}

// The skin's larger copy of the image at `relative` (decoded as `image`), "name@2x.png"
// beside "name.png": the module draws it from 144 dpi (150 %) up, when it is exactly twice
// the size. Reports one that cannot be used.
void CheckLargerCopy(Context& c, const std::wstring& relative, const Key* key,
                     const ImageInfo& image) {
    const std::wstring larger = dpi::LargerCopyPath(relative);
    const std::filesystem::path path = ResolveNoCase(c.folder, larger);
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return;
    const std::string display = ToUtf8(larger.substr(1));
    std::string bytes;
    ImageInfo info;
    if (ReadBytes(path, bytes))
        info = InspectImage(bytes);
    else
        info.problem = "it cannot be read";
    std::string message;
    if (!info.ok) {
        message = (key ? display + ": " : std::string()) + info.problem;
    } else if (info.width != 2 * image.width || info.height != 2 * image.height) {
        message = (key ? display + " " : std::string()) + "is " + std::to_string(info.width) +
                  " x " + std::to_string(info.height) + " pixels, not twice " +
                  ToUtf8(relative.substr(relative.find_last_of(L"\\/") + 1)) + " (" +
                  std::to_string(image.width) + " x " + std::to_string(image.height) + ")";
    } else {
        return;
    }
    message += ": the larger copy is not used (from " + std::to_string(dpi::kLargerCopyFrom) +
               " dpi up the image is drawn scaled)";
    if (key)
        c.Add("image", *key, message);
    else
        c.AddFile("image", display, message);
}

}  // namespace

void CheckSkinImages(Context& c) {
    for (const FixedImage& image : FixedImages()) {
        const std::string display = ToUtf8(image.path.substr(1));
        ImageInfo info;
        if (!LoadImage(c, display, image.path, nullptr, "not drawn: " + image.use, info)) continue;
        CheckLargerCopy(c, image.path, nullptr, info);
        if (info.width < image.minWidth || info.height < image.minHeight) {
            c.AddFile("image", display,
                      "is " + std::to_string(info.width) + " x " + std::to_string(info.height) +
                          ", smaller than " + std::to_string(image.minWidth) + " x " +
                          std::to_string(image.minHeight) + ": " + image.use);
        }
    }
    if (!c.setting.present) return;
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const Key& key = *config::AllKeys()[i];
        if (key.kind != Kind::Image && key.kind != Kind::Program) continue;
        std::wstring value;
        if (!c.Get(key, value) || Trim(value).empty()) continue;  // reported as missing
        if (value[0] != L'\\' && value[0] != L'/') {
            c.Add("path", key,
                  "\"" + ToUtf8(value) +
                      "\" does not start with a backslash: the module appends it to the "
                      "program's folder as it stands, so it names a file beside the folder");
            continue;
        }
        if (key.kind == Kind::Program) continue;  // the tray program is not configuration
        ImageInfo info;
        const std::string display = ToUtf8(value.substr(1));
        if (!LoadImage(c, display, value, &key, key.whenMissing, info)) continue;
        CheckLargerCopy(c, value, &key, info);
        const skin::Cut& cell = skin::kCloseBoxCell;
        if (key.shown == Shown::CloseBoxImage &&
            (info.width < cell.Right() || info.height < cell.Bottom())) {
            c.Add("image", key,
                  display + " is " + Size(info.width, info.height) + ": the close box is " +
                      CloseBoxCell() + ", so it must be at least " +
                      Size(cell.Right(), cell.Bottom()));
        }
        if (key.shown == Shown::ButtonImage && key.placedBy) {
            const Placement* button = c.Visible(*key.placedBy);
            if (!button) continue;
            const int w = button->pos.width, h = button->pos.height;
            if (info.width < w || info.height < h) {
                c.Add("image", key,
                      display + " is " + std::to_string(info.width) + " x " +
                          std::to_string(info.height) + ", smaller than the button (" +
                          std::to_string(w) + " x " + std::to_string(h) + " from " +
                          Name(*key.placedBy) + "): part of the button stays unpainted");
            } else if (info.width > w || info.height > h) {
                c.Add("image", key,
                      display + " is " + std::to_string(info.width) + " x " +
                          std::to_string(info.height) + ", larger than the button (" +
                          std::to_string(w) + " x " + std::to_string(h) + " from " +
                          Name(*key.placedBy) + "): it is cut off at the right and bottom");
            }
        }
    }
}

}  // namespace settingcheck
