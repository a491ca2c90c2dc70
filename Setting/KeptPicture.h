// Pictures of the skin composed once and copied at every paint. A skinned control's face (the
// OK button's image with its caption, in each of its states) looks the same at every paint
// until its size, the dpi, its files, its text or the colour mode changes; composing it costs
// GDI+ drawing and text layout, copying it one BitBlt. The store is the process's: a dialog
// opened again finds the faces of the last opening.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "FileStamp.h"

// Everything a kept picture was composed from: a picture is copied only for an equal key.
struct PictureKey {
    PictureKey() = default;
    // The picture of `kind` that fills `area` at `dpi`, showing `text`.
    PictureKey(const wchar_t* kind, const RECT& area, UINT dpi, std::wstring text)
        : kind(kind),
          width(area.right - area.left),
          height(area.bottom - area.top),
          dpi(dpi),
          text(std::move(text)) {}

    const wchar_t* kind = L"";  // which picture ("button face"), a literal
    int width = 0;
    int height = 0;
    UINT dpi = 0;
    std::wstring text;       // the caption or title drawn
    std::wstring drawnWith;  // the image file, or the font, it is drawn with
    FileStamp source;        // that file as it was when decoded
    FileStamp largerSource;  // and its larger copy
    uint64_t variant = 0;    // state, format, focus cue, keyboard cues, colour mode
    uint64_t colours = 0;    // the colours it is drawn in

    bool operator==(const PictureKey& other) const;
};

// What composing leaves besides the pixels: the statuses of its drawing steps, which every
// copy reports again as the paint that composed it did.
struct Composed {
    bool keep = false;  // false: the picture could not be drawn; nothing is kept or copied
    std::array<DWORD, 2> statuses{};
};

// Draws the picture into `dc`: a 32-bit bitmap of the key's size, already filled with the
// ground colour.
using ComposeFn = std::function<Composed(HDC dc)>;

namespace kept_pictures {

// Copies the picture kept for `key` to (x, y) of `dc`, composing it first on `ground` when
// none is kept. Returns what composing it gave; `keep` false means nothing was copied, and
// the next paint composes again.
Composed Copy(HDC dc, int x, int y, const PictureKey& key, COLORREF ground,
              const ComposeFn& compose);

// The font's description for a key: every field that changes what it draws.
std::wstring DescribeFont(HFONT font);

// Frees every kept picture (at module unload, and in tests).
void Clear();

// How many pictures have been composed since the process started: a paint that finds its
// picture kept adds none.
uint64_t ComposedCount();

}  // namespace kept_pictures
