// GDI+ for the module: the library's headers, and the session that keeps it started from
// the first dialog until the module is unloaded.
#pragma once

#include <windows.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <memory>

#include "FileStamp.h"

namespace gdiplus_session {

// Starts GDI+ once per module load (thread-safe); later calls do nothing. False when GDI+
// cannot be started.
bool Acquire();
// Stops GDI+ if it was started. Called once, at module unload, after every GDI+ object of the
// module has been released.
void Shutdown();
bool IsRunning();

}  // namespace gdiplus_session

// An image file decoded without colour management, as a copy of its own for the caller. Like
// GDI+ itself, it returns an image object even for a missing or undecodable file (one without
// pixels whose drawing fails); null only when the object cannot be allocated. Decoded pixels
// are kept by the module and reused while the file stays unchanged.
std::unique_ptr<Gdiplus::Image> LoadSkinImage(const std::wstring& path);
// A skin image and the scale of its pixels: 1 for "name.png" (pixels at 96 dpi), 2 for its
// larger copy "name@2x.png".
struct SkinImage {
    std::unique_ptr<Gdiplus::Image> image;
    int factor = 1;
    // The image file and its larger copy as they were before decoding: what is composed from
    // the image is kept for as long as both stay the same.
    FileStamp stamp;
    FileStamp largerStamp;
    Gdiplus::Image* get() const { return image.get(); }
    explicit operator bool() const { return image != nullptr; }
};
// The image for a window at `dpi`: from 150 % up, its larger copy where the skin has one of
// exactly twice the size (one of another size is logged and not used); otherwise the image.
SkinImage LoadSkinImageFor(const std::wstring& path, UINT dpi);
// The larger copy of `image` (loaded from `path`), or null: none, or not twice its size.
std::unique_ptr<Gdiplus::Image> LoadLargerCopy(const std::wstring& path, Gdiplus::Image& image);
// Forgets every kept image; at module unload, while GDI+ still runs.
void ReleaseSkinImages();

// Draws the part `piece` of `image` at its own size at start, start + step, start + 2 step ...
// for every position below `limit` (step: the piece's width along a row, its height down a
// column), the row or column standing at `across`. The pixels are those of one DrawImage per
// position, made with a single tiled fill.
Gdiplus::Status DrawPieceRun(Gdiplus::Graphics& graphics, Gdiplus::Image* image,
                             const Gdiplus::Rect& piece, int start, int limit, int across,
                             bool horizontal);

// Draws the part `source` of `image` (in the image's pixels) into `target`: at the same size
// exactly as DrawImage does; stretched, smoothly (high-quality bicubic) for pictures, or with
// sharp pixel edges for the pieces of frames. Edge pixels are repeated, never blended with
// what lies outside the part.
Gdiplus::Status DrawImageScaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image,
                                const Gdiplus::Rect& target, const Gdiplus::Rect& source,
                                bool sharp = false);
