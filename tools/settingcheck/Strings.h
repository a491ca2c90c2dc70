// Text helpers of the configuration checker: UTF-8 output, case-insensitive comparison and
// file access that works the same natively and on Windows.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace settingcheck {

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

// ASCII-only case folding, as the platform's INI reader compares section and key names.
std::wstring Lower(const std::wstring& text);
bool EqualNoCase(const std::wstring& a, const std::wstring& b);

std::wstring Trim(const std::wstring& text);

// The whole file, or false when it cannot be read.
bool ReadBytes(const std::filesystem::path& path, std::string& bytes);

// `relative` (with backslashes or slashes, an optional leading one) under `root`. Each part
// is matched without regard to case, as on the product's file system; the result is the
// path as it would be (non-existent parts kept as written).
std::filesystem::path ResolveNoCase(const std::filesystem::path& root,
                                    const std::wstring& relative);

}  // namespace settingcheck
