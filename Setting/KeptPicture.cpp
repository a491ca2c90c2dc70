#include "KeptPicture.h"

#include <atomic>
#include <deque>
#include <mutex>

#include "Handles.h"

bool PictureKey::operator==(const PictureKey& other) const {
    return width == other.width && height == other.height && dpi == other.dpi &&
           variant == other.variant && colours == other.colours && source == other.source &&
           largerSource == other.largerSource && wcscmp(kind, other.kind) == 0 &&
           text == other.text && drawnWith == other.drawnWith;
}

namespace kept_pictures {
namespace {

// Sides beyond this are no control of a dialog; such a picture is drawn straight onto the
// paint's context, every paint, and not kept.
constexpr int kMaxKeptSide = 2048;
// The OK button's states with and without its focus cue and the links', at two dpis, with
// room to spare; the oldest picture goes first.
constexpr size_t kMaxKept = 32;

struct Picture {
    PictureKey key;
    Composed composed;
    ui::UniqueBitmap bitmap;  // declared before the context: the context goes first
    ui::UniqueDc dc;          // holds the bitmap selected
};

// Pictures are composed and copied by the dialogs' threads (a message dialog may run on a
// worker), so every use of the store holds its lock.
class Store {
public:
    Composed Copy(HDC target, int x, int y, const PictureKey& key, COLORREF ground,
                  const ComposeFn& compose) {
        if (!Keepable(key)) return DrawInPlace(target, x, y, compose);
        std::lock_guard<std::mutex> lock(m_mutex);
        const Picture* picture = Find(key);
        if (!picture) picture = Make(key, ground, compose);
        if (!picture) return {};
        ::BitBlt(target, x, y, key.width, key.height, picture->dc.get(), 0, 0, SRCCOPY);
        return picture->composed;
    }

    void Clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pictures.clear();
    }

    uint64_t ComposedCount() const { return m_composed; }

private:
    const Picture* Find(const PictureKey& key) {
        for (auto it = m_pictures.begin(); it != m_pictures.end(); ++it) {
            if (it->key == key) {
                // The most recently used goes last: the oldest is dropped first.
                Picture found = std::move(*it);
                m_pictures.erase(it);
                m_pictures.push_back(std::move(found));
                return &m_pictures.back();
            }
        }
        return nullptr;
    }

    static bool Keepable(const PictureKey& key) {
        return key.width > 0 && key.height > 0 && key.width <= kMaxKeptSide &&
               key.height <= kMaxKeptSide;
    }

    // A picture too large to keep: composed on the target itself, over what it shows.
    static Composed DrawInPlace(HDC target, int x, int y, const ComposeFn& compose) {
        const int saved = ::SaveDC(target);
        ::SetViewportOrgEx(target, x, y, nullptr);
        const Composed composed = compose(target);
        ::RestoreDC(target, saved);
        return composed;
    }

    const Picture* Make(const PictureKey& key, COLORREF ground, const ComposeFn& compose) {
        Picture picture{key, {}, nullptr, nullptr};
        // In the screen's own pixel format, as the window's context that it is copied to:
        // composed there, GDI+ draws the very pixels it draws straight onto the window.
        const ui::WindowDc screen(nullptr);
        picture.dc.reset(::CreateCompatibleDC(screen.Get()));
        picture.bitmap.reset(::CreateCompatibleBitmap(screen.Get(), key.width, key.height));
        if (!picture.dc || !picture.bitmap) return nullptr;
        ::SelectObject(picture.dc.get(), picture.bitmap.get());
        const RECT all{0, 0, key.width, key.height};
        const ui::UniqueBrush brush(::CreateSolidBrush(ground));
        ::FillRect(picture.dc.get(), &all, brush.get());
        picture.composed = compose(picture.dc.get());
        ::GdiFlush();
        ++m_composed;
        if (!picture.composed.keep) return nullptr;
        if (m_pictures.size() >= kMaxKept) m_pictures.pop_front();
        m_pictures.push_back(std::move(picture));
        return &m_pictures.back();
    }

    std::mutex m_mutex;
    std::deque<Picture> m_pictures;  // least recently used first
    std::atomic<uint64_t> m_composed{0};
};

Store g_store;

}  // namespace

Composed Copy(HDC dc, int x, int y, const PictureKey& key, COLORREF ground,
              const ComposeFn& compose) {
    return g_store.Copy(dc, x, y, key, ground, compose);
}

std::wstring DescribeFont(HFONT font) {
    LOGFONTW f{};
    if (font) ::GetObjectW(font, sizeof f, &f);
    return std::wstring(f.lfFaceName) + L"|" + std::to_wstring(f.lfHeight) + L"|" +
           std::to_wstring(f.lfWidth) + L"|" + std::to_wstring(f.lfWeight) + L"|" +
           std::to_wstring(f.lfItalic) + std::to_wstring(f.lfUnderline) +
           std::to_wstring(f.lfStrikeOut) + L"|" + std::to_wstring(f.lfCharSet) + L"|" +
           std::to_wstring(f.lfQuality);
}

void Clear() {
    g_store.Clear();
}

uint64_t ComposedCount() {
    return g_store.ComposedCount();
}

}  // namespace kept_pictures
