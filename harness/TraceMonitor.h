// The system's debug-output channel, served for the whole life of this program: a writer waits
// for "buffer ready", puts its process id and text into a shared buffer and signals "data
// ready". No debugger is attached to the programs whose traces are collected, so they run as
// they do for a user; serving until this program ends means no writer ever waits for a
// monitor that has gone.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace harness {

class TraceMonitor {
public:
    // The one monitor of this program, up from the first call on.
    static TraceMonitor& Instance();

    // The traces `processId` has written so far, without their line ends.
    std::vector<std::string> TracesOf(DWORD processId) const;

private:
    TraceMonitor();
    ~TraceMonitor();
    TraceMonitor(const TraceMonitor&) = delete;
    TraceMonitor& operator=(const TraceMonitor&) = delete;

    void Serve();

    static constexpr DWORD kSize = 4096;
    HANDLE m_buffer = nullptr;
    HANDLE m_bufferReady = nullptr;
    HANDLE m_dataReady = nullptr;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::vector<std::pair<DWORD, std::string>> m_traces;  // process id, text
};

}  // namespace harness
