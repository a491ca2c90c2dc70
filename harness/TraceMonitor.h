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
    HANDLE buffer_ = nullptr;
    HANDLE bufferReady_ = nullptr;
    HANDLE dataReady_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::pair<DWORD, std::string>> traces_;  // process id, text
};

}  // namespace harness
