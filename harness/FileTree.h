// Folders as whole trees: copied, deleted, recognised; paths made full.
#pragma once

#include <string>

namespace harness {

bool IsFolder(const std::wstring& path);
// `path` as a full path, relative to the current folder.
std::wstring FullPath(const std::wstring& path);
// Copies the tree `from` into `to` (made where it is missing); false when something could not
// be copied.
bool CopyTree(const std::wstring& from, const std::wstring& to);
// Deletes a folder with everything in it, read-only files included.
void DeleteTree(const std::wstring& dir);

}  // namespace harness
