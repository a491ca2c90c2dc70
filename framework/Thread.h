// A platform thread owned by an object: the handle is closed, and the thread waited for,
// when the object goes. Waiting keeps answering messages sent to the waiting thread's
// windows, so a thread that talks to those windows cannot deadlock its owner.
#pragma once

#include <windows.h>

#include <functional>

#include "Handles.h"

namespace ui {

class Thread {
public:
    Thread() = default;
    ~Thread() { Join(); }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts `body` on a new thread; its result becomes the exit code. False when the
    // thread cannot be created (the object then stays empty).
    bool Start(std::function<DWORD()> body);
    bool IsRunning() const {
        return m_handle && ::WaitForSingleObject(m_handle.get(), 0) == WAIT_TIMEOUT;
    }
    bool IsStarted() const { return m_handle != nullptr; }
    // Waits for the end of the thread, answering messages sent to this thread meanwhile.
    void Join();

private:
    static DWORD WINAPI Entry(void* parameter);
    UniqueHandle m_handle;
};

}  // namespace ui
