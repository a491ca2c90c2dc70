#include "MessageMap.h"

#include <mutex>
#include <unordered_map>

namespace ui {
namespace {

// Found at every queued message and every owner-drawn paint: a table of the process rather
// than a window property, which Wine reads with a round trip to its server. Windows of
// several threads (a message box on a worker) share it.
class Handlers {
public:
    MessageHandler* Of(HWND hwnd) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_handlers.find(hwnd);
        return found == m_handlers.end() ? nullptr : found->second;
    }
    void Attach(HWND hwnd, MessageHandler* handler) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_handlers[hwnd] = handler;
    }
    void Detach(HWND hwnd) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_handlers.erase(hwnd);
    }

private:
    std::mutex m_mutex;
    std::unordered_map<HWND, MessageHandler*> m_handlers;
};

Handlers g_handlers;

}  // namespace

MessageHandler* HandlerOf(HWND hwnd) {
    return hwnd ? g_handlers.Of(hwnd) : nullptr;
}

void AttachHandler(HWND hwnd, MessageHandler* handler) {
    if (hwnd) g_handlers.Attach(hwnd, handler);
}

void DetachHandler(HWND hwnd) {
    g_handlers.Detach(hwnd);
}

}  // namespace ui
