// The frame of the skinned dialogs: the title-band image shared by every dialog of the
// process, the painter of the frame, and the point-size conversion of the skinned controls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "Handles.h"

// (Re)loads the title-band image "<directory>\skin\default\frame\wndbk.png" into the
// process-wide slot. A null directory only empties the slot. A directory too long for the
// path buffer is refused: the slot is emptied and the refusal logged.
void LoadSkinBackgrounds(const wchar_t* directory);
// Empties the slot for good; called at module unload while GDI+ still runs.
void ReleaseSkinBackgrounds();

// Paints the whole client area of `window` onto `dc` at `dpi`: white ground, the title band,
// the border lines and the window text as title, drawn off-screen and copied in one step (in
// high contrast, in the system's colours: the band in the highlight colour).
// 0 when painted; otherwise the status of the failure (the caller then erases the default
// way).
DWORD DrawSkinFrame(HWND window, HDC dc, UINT dpi);

// A dialog's frame kept between paints: painted again (with DrawSkinFrame) only when the
// window's size, its title, the dpi or the title-band image changed. Every erase copies from it the
// part the context can show, in one step; the controls' themed backgrounds ask for their
// own small parts many times per paint.
class CSkinFrameCache {
public:
    CSkinFrameCache() = default;
    ~CSkinFrameCache() { Forget(); }
    CSkinFrameCache(const CSkinFrameCache&) = delete;
    CSkinFrameCache& operator=(const CSkinFrameCache&) = delete;

    // What a dialog draws over its frame that changes no more often than the frame does (the
    // settings dialog's close box), composed into the kept frame. `identity` names everything
    // it is drawn from: the frame is composed again when it changes.
    struct Decoration {
        std::wstring identity;
        std::function<void(HDC dc)> draw;  // in the window's client coordinates
    };

    // Same results as DrawSkinFrame, with the decoration drawn over the frame. Several
    // windows of the same size and title may share one cache, also from different threads.
    DWORD Paint(HWND window, HDC dc, UINT dpi, const Decoration* decoration = nullptr);

private:
    // The colours a frame is painted in: the skin's, or in high contrast the system's.
    struct FramePalette {
        bool highContrast = false;
        std::vector<COLORREF> colours;
        static FramePalette Now();
        bool operator==(const FramePalette& o) const {
            return highContrast == o.highContrast && colours == o.colours;
        }
    };

    void Forget();
    bool UniformColour(const RECT& area, COLORREF& colour) const;

    std::mutex m_mutex;  // one paint at a time
    ui::UniqueDc m_memory;
    ui::UniqueBitmap m_bitmap;
    const uint32_t* m_pixels = nullptr;  // the bitmap's pixels, rows top-down
    HGDIOBJ m_oldBitmap = nullptr;
    int m_width = 0;
    int m_height = 0;
    std::wstring m_title;
    uint64_t m_generation = 0;
    UINT m_dpi = 0;
    FramePalette m_palette;
    std::wstring m_decoration;  // the identity of the decoration drawn over the frame
};

// Logical font height for `points` at `dpi` (negative, as LOGFONT wants it).
int PointSizeToLogHeight(int points, UINT dpi);

// Whether a press at `point` (client coordinates) lies in the title band, which drags the
// window: y <= 30 at 96 dpi.
bool InDragBand(LPARAM point, UINT dpi);

// Answers WM_CTLCOLORSTATIC and WM_CTLCOLORBTN of a skinned dialog: its controls stand on
// the white ground of the frame (in high contrast, window text on the window colour).
LRESULT SkinControlColor(HDC dc);
