#include "TraceMonitor.h"

#include <cstring>

namespace harness {

TraceMonitor& TraceMonitor::Instance() {
    static TraceMonitor monitor;
    return monitor;
}

TraceMonitor::TraceMonitor() {
    buffer_ = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize,
                                   L"DBWIN_BUFFER");
    bufferReady_ = ::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
    dataReady_ = ::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
    if (buffer_ && bufferReady_ && dataReady_) thread_ = std::thread(&TraceMonitor::Serve, this);
}

TraceMonitor::~TraceMonitor() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    for (HANDLE h : {buffer_, bufferReady_, dataReady_}) {
        if (h) ::CloseHandle(h);
    }
}

std::vector<std::string> TraceMonitor::TracesOf(DWORD processId) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> own;
    for (const auto& [pid, text] : traces_) {
        if (pid == processId) own.push_back(text);
    }
    return own;
}

void TraceMonitor::Serve() {
    const auto* view =
        static_cast<const char*>(::MapViewOfFile(buffer_, FILE_MAP_READ, 0, 0, kSize));
    if (!view) return;
    ::SetEvent(bufferReady_);
    while (!stop_) {
        if (::WaitForSingleObject(dataReady_, 50) != WAIT_OBJECT_0) continue;
        DWORD pid = 0;
        std::memcpy(&pid, view, sizeof pid);
        std::string text(view + sizeof pid, strnlen(view + sizeof pid, kSize - sizeof pid));
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            traces_.emplace_back(pid, std::move(text));
        }
        ::SetEvent(bufferReady_);
    }
    ::UnmapViewOfFile(view);
}

}  // namespace harness
