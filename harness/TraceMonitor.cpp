#include "TraceMonitor.h"

#include <cstring>

namespace harness {

TraceMonitor& TraceMonitor::Instance() {
    static TraceMonitor monitor;
    return monitor;
}

TraceMonitor::TraceMonitor() {
    m_buffer = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize,
                                    L"DBWIN_BUFFER");
    m_bufferReady = ::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
    m_dataReady = ::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
    if (m_buffer && m_bufferReady && m_dataReady)
        m_thread = std::thread(&TraceMonitor::Serve, this);
}

TraceMonitor::~TraceMonitor() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    for (HANDLE h : {m_buffer, m_bufferReady, m_dataReady}) {
        if (h) ::CloseHandle(h);
    }
}

std::vector<std::string> TraceMonitor::TracesOf(DWORD processId) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> own;
    for (const auto& [pid, text] : m_traces) {
        if (pid == processId) own.push_back(text);
    }
    return own;
}

void TraceMonitor::Serve() {
    const auto* view =
        static_cast<const char*>(::MapViewOfFile(m_buffer, FILE_MAP_READ, 0, 0, kSize));
    if (!view) return;
    ::SetEvent(m_bufferReady);
    while (!m_stop) {
        if (::WaitForSingleObject(m_dataReady, 50) != WAIT_OBJECT_0) continue;
        DWORD pid = 0;
        std::memcpy(&pid, view, sizeof pid);
        std::string text(view + sizeof pid, strnlen(view + sizeof pid, kSize - sizeof pid));
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_traces.emplace_back(pid, std::move(text));
        }
        ::SetEvent(m_bufferReady);
    }
    ::UnmapViewOfFile(view);
}

}  // namespace harness
