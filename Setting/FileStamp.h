// A file as a reader last saw it: present or not, its size and its time of last write. The
// module remembers what it parsed or decoded from a file for as long as its stamp stays the
// same; taking a stamp does not open the file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct FileStamp {
    bool exists = false;
    bool directory = false;
    uint64_t size = 0;
    uint64_t written = 0;

    static FileStamp Of(const std::wstring& path) {
        FileStamp stamp;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
            stamp.exists = true;
            stamp.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            stamp.size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
            stamp.written = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                            data.ftLastWriteTime.dwLowDateTime;
        }
        return stamp;
    }
    bool operator==(const FileStamp& other) const {
        return exists == other.exists && size == other.size && written == other.written;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};
