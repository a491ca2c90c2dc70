#include "GdiPlus.h"

#include <mutex>
#include <new>
#include <string>

namespace gdiplus_session {
namespace {

// GDI+ may not be started or stopped while the loader lock is held, and its background thread
// could not end then; so the session starts at the first call of the module and runs without
// that thread, driven by the notification hooks instead.
struct Session {
    std::mutex mutex;
    ULONG_PTR token = 0;
    ULONG_PTR hookToken = 0;
    Gdiplus::GdiplusStartupOutput output{};
    bool running = false;
};

Session& TheSession() {
    static Session session;
    return session;
}

}  // namespace

bool Acquire() {
    Session& s = TheSession();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.running) return true;
    Gdiplus::GdiplusStartupInput input;
    input.SuppressBackgroundThread = TRUE;
    if (Gdiplus::GdiplusStartup(&s.token, &input, &s.output) != Gdiplus::Ok) return false;
    if (s.output.NotificationHook) s.output.NotificationHook(&s.hookToken);
    s.running = true;
    return true;
}

void Shutdown() {
    Session& s = TheSession();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.running) return;
    if (s.output.NotificationUnhook) s.output.NotificationUnhook(s.hookToken);
    Gdiplus::GdiplusShutdown(s.token);
    s.running = false;
}

bool IsRunning() {
    Session& s = TheSession();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.running;
}

}  // namespace gdiplus_session

std::unique_ptr<Gdiplus::Image> LoadSkinImage(const std::wstring& path) {
    // GDI+ objects come from GDI+'s own allocator, which returns null instead of throwing.
    return std::unique_ptr<Gdiplus::Image>(new Gdiplus::Image(path.c_str(), FALSE));
}
