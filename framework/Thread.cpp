#include "Thread.h"

#include <memory>

namespace ui {

bool Thread::Start(std::function<DWORD()> body) {
    Join();
    auto task = std::make_unique<std::function<DWORD()>>(std::move(body));
    HANDLE h = ::CreateThread(nullptr, 0, &Thread::Entry, task.get(), 0, nullptr);
    if (!h) return false;
    task.release();  // the thread owns it now
    m_handle.reset(h);
    return true;
}

DWORD WINAPI Thread::Entry(void* parameter) {
    std::unique_ptr<std::function<DWORD()>> task(static_cast<std::function<DWORD()>*>(parameter));
    return (*task)();
}

void Thread::Join() {
    if (!m_handle) return;
    HANDLE h = m_handle.get();
    // Only messages sent from other threads are answered here; posted ones stay queued, so
    // nothing of the waiting thread's own windows runs re-entrantly.
    while (::MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    m_handle.reset();
}

}  // namespace ui
