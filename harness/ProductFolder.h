// A product folder as the installation lays it out: the demo host, Setting.dll and the
// stand-ins, the configuration (Setting.ini, CreateDisk.ini, skin) and a temporary folder of
// its own, where a host run in it writes its log. The folder and everything in it go when the
// object does, unless it is kept.
#pragma once

#include <string>

namespace harness {

class ProductFolder {
public:
    // Makes `dir` afresh (whatever was there is deleted) with its temporary folder. `padTo`
    // (if given) makes the folder's path exactly that many characters long by lengthening it
    // with a chain of folders.
    explicit ProductFolder(std::wstring dir, size_t padTo = 0);
    ~ProductFolder();
    ProductFolder(const ProductFolder&) = delete;
    ProductFolder& operator=(const ProductFolder&) = delete;

    bool Made() const;
    const std::wstring& Dir() const { return m_dir; }
    std::wstring PathOf(const std::wstring& relative) const { return m_dir + L"\\" + relative; }
    std::wstring TempDir() const { return PathOf(L"temp"); }

    // Puts the programs of a product folder from the folder `from` in place: linked, so that
    // every product folder shares the same files at no cost, or copied where the file system
    // cannot link. Returns the first program that could not be put in place; empty when all
    // were.
    std::wstring AddPrograms(const std::wstring& from);
    // Copies the configuration from the folder `from`; a file missing there stays missing, so
    // that the module shows what it does without it. The copies are the product folder's own:
    // changing them changes nothing in `from`.
    void AddConfiguration(const std::wstring& from);

    // Leaves the folder in place when the object goes.
    void Keep() { m_keep = true; }

private:
    void PadTo(size_t length);

    std::wstring m_dir;
    std::wstring m_root;  // the top folder of `m_dir` (its padding is a chain of folders)
    bool m_keep = false;
};

}  // namespace harness
