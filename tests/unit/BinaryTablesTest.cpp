// The shipped Setting.dll of both architectures, read as files: what the product's host
// programs and the platform rely on without running it. Its export and import tables, its
// dialog templates, its version resource and its manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resource.h"

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    });
    return text;
}

// A PE file read from disk, with bounds-checked access by relative virtual address.
class PeFile {
public:
    explicit PeFile(const std::wstring& path) {
        std::ifstream in(path.c_str(), std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (bytes_.empty()) {
            error_ = "cannot read the file";
            return;
        }
        Parse();
    }

    const std::string& Error() const { return error_; }
    WORD Machine() const { return machine_; }
    WORD Characteristics() const { return characteristics_; }
    bool Is64() const { return is64_; }

    IMAGE_DATA_DIRECTORY Directory(int index) const {
        return index < static_cast<int>(directories_.size()) ? directories_[index]
                                                             : IMAGE_DATA_DIRECTORY{};
    }

    // Copies a T from `rva`; false when it lies outside the file's sections.
    template <class T>
    bool Read(DWORD rva, T& value) const {
        const BYTE* at = At(rva, sizeof(T));
        if (!at) return false;
        std::memcpy(&value, at, sizeof(T));
        return true;
    }
    const BYTE* At(DWORD rva, size_t size) const {
        for (const IMAGE_SECTION_HEADER& s : sections_) {
            const DWORD extent = std::max(s.Misc.VirtualSize, s.SizeOfRawData);
            if (rva >= s.VirtualAddress && rva - s.VirtualAddress + size <= extent) {
                const size_t offset = s.PointerToRawData + (rva - s.VirtualAddress);
                if (rva - s.VirtualAddress + size > s.SizeOfRawData ||
                    offset + size > bytes_.size()) {
                    return nullptr;
                }
                return reinterpret_cast<const BYTE*>(bytes_.data()) + offset;
            }
        }
        return nullptr;
    }
    std::string AnsiAt(DWORD rva) const {
        std::string text;
        for (char c = 0; Read(rva, c) && c != '\0' && text.size() < 1024; ++rva)
            text += c;
        return text;
    }

private:
    template <class T>
    bool ReadOffset(size_t offset, T& value) const {
        if (offset + sizeof(T) > bytes_.size()) return false;
        std::memcpy(&value, bytes_.data() + offset, sizeof(T));
        return true;
    }

    void Parse() {
        IMAGE_DOS_HEADER dos{};
        DWORD signature = 0;
        IMAGE_FILE_HEADER file{};
        if (!ReadOffset(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
            !ReadOffset(dos.e_lfanew, signature) || signature != IMAGE_NT_SIGNATURE ||
            !ReadOffset(dos.e_lfanew + 4, file)) {
            error_ = "not a PE file";
            return;
        }
        machine_ = file.Machine;
        characteristics_ = file.Characteristics;
        const size_t optional = dos.e_lfanew + 4 + sizeof(IMAGE_FILE_HEADER);
        WORD magic = 0;
        ReadOffset(optional, magic);
        if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
            is64_ = true;
            IMAGE_OPTIONAL_HEADER64 header{};
            ReadOffset(optional, header);
            directories_.assign(
                header.DataDirectory,
                header.DataDirectory + std::min<DWORD>(header.NumberOfRvaAndSizes, 16));
        } else if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
            IMAGE_OPTIONAL_HEADER32 header{};
            ReadOffset(optional, header);
            directories_.assign(
                header.DataDirectory,
                header.DataDirectory + std::min<DWORD>(header.NumberOfRvaAndSizes, 16));
        } else {
            error_ = "unknown optional header";
            return;
        }
        const size_t first = optional + file.SizeOfOptionalHeader;
        for (WORD i = 0; i < file.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER section{};
            if (!ReadOffset(first + i * sizeof section, section)) {
                error_ = "cut section table";
                return;
            }
            sections_.push_back(section);
        }
    }

    std::string bytes_;
    std::string error_;
    WORD machine_ = 0;
    WORD characteristics_ = 0;
    bool is64_ = false;
    std::vector<IMAGE_DATA_DIRECTORY> directories_;
    std::vector<IMAGE_SECTION_HEADER> sections_;
};

// ---------------------------------------------------------------------------------------
// Export and import tables

struct Exports {
    std::string dllName;
    DWORD functionCount = 0;
    std::vector<std::string> names;
};

Exports ReadExports(const PeFile& pe) {
    Exports result;
    const IMAGE_DATA_DIRECTORY dir = pe.Directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
    IMAGE_EXPORT_DIRECTORY exports{};
    if (dir.VirtualAddress == 0 || !pe.Read(dir.VirtualAddress, exports)) return result;
    result.dllName = pe.AnsiAt(exports.Name);
    result.functionCount = exports.NumberOfFunctions;
    for (DWORD i = 0; i < exports.NumberOfNames && i < 1000; ++i) {
        DWORD nameRva = 0;
        if (pe.Read(exports.AddressOfNames + i * 4, nameRva))
            result.names.push_back(pe.AnsiAt(nameRva));
    }
    return result;
}

struct Imports {
    std::set<WORD> ordinals;
    std::vector<std::string> names;
};

// Imports by lower-case library name.
std::map<std::string, Imports> ReadImports(const PeFile& pe) {
    std::map<std::string, Imports> result;
    const IMAGE_DATA_DIRECTORY dir = pe.Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
    for (DWORD at = dir.VirtualAddress; at != 0; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR descriptor{};
        if (!pe.Read(at, descriptor) || descriptor.Name == 0) break;
        Imports& imports = result[Lower(pe.AnsiAt(descriptor.Name))];
        DWORD thunk =
            descriptor.OriginalFirstThunk ? descriptor.OriginalFirstThunk : descriptor.FirstThunk;
        for (int i = 0; i < 10000; ++i, thunk += pe.Is64() ? 8 : 4) {
            ULONGLONG entry = 0;
            bool byOrdinal = false;
            if (pe.Is64()) {
                if (!pe.Read(thunk, entry)) break;
                byOrdinal = (entry & IMAGE_ORDINAL_FLAG64) != 0;
            } else {
                DWORD entry32 = 0;
                if (!pe.Read(thunk, entry32)) break;
                entry = entry32;
                byOrdinal = (entry32 & IMAGE_ORDINAL_FLAG32) != 0;
            }
            if (entry == 0) break;
            if (byOrdinal) {
                imports.ordinals.insert(static_cast<WORD>(entry & 0xFFFF));
            } else {
                // IMAGE_IMPORT_BY_NAME: a hint, then the name.
                imports.names.push_back(pe.AnsiAt(static_cast<DWORD>(entry) + 2));
            }
        }
    }
    return result;
}

// ---------------------------------------------------------------------------------------
// Resources

struct ResourceId {
    bool isName = false;
    WORD id = 0;
};

struct Resource {
    WORD type = 0;
    WORD name = 0;  // 0 for named resources
    WORD language = 0;
    std::string data;
};

// Every resource with numeric type (named resources get name 0).
std::vector<Resource> ReadResources(const PeFile& pe) {
    std::vector<Resource> result;
    const DWORD base = pe.Directory(IMAGE_DIRECTORY_ENTRY_RESOURCE).VirtualAddress;
    if (base == 0) return result;
    struct Entry {
        bool isName;
        WORD id;
        bool isDirectory;
        DWORD offset;
    };
    auto entries = [&](DWORD offset) {
        std::vector<Entry> list;
        IMAGE_RESOURCE_DIRECTORY dir{};
        if (!pe.Read(base + offset, dir)) return list;
        const int count = dir.NumberOfNamedEntries + dir.NumberOfIdEntries;
        for (int i = 0; i < count && i < 1000; ++i) {
            DWORD raw[2] = {};
            if (!pe.Read(base + offset + sizeof dir + i * 8, raw)) break;
            list.push_back({(raw[0] & 0x80000000u) != 0, static_cast<WORD>(raw[0] & 0xFFFF),
                            (raw[1] & 0x80000000u) != 0, raw[1] & 0x7FFFFFFFu});
        }
        return list;
    };
    for (const Entry& type : entries(0)) {
        if (type.isName || !type.isDirectory) continue;
        for (const Entry& name : entries(type.offset)) {
            if (!name.isDirectory) continue;
            for (const Entry& language : entries(name.offset)) {
                IMAGE_RESOURCE_DATA_ENTRY data{};
                if (language.isDirectory || !pe.Read(base + language.offset, data)) continue;
                const BYTE* bytes = pe.At(data.OffsetToData, data.Size);
                Resource resource;
                resource.type = type.id;
                resource.name = name.isName ? 0 : name.id;
                resource.language = language.id;
                if (bytes) resource.data.assign(reinterpret_cast<const char*>(bytes), data.Size);
                result.push_back(resource);
            }
        }
    }
    return result;
}

// A dialog template (DLGTEMPLATEEX) as the platform reads it.
struct DialogItem {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    WORD classOrdinal = 0;  // 0x80 button, 0x81 edit, 0x82 static, 0x85 combo box
    std::wstring text;
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring caption;
    WORD pointSize = 0;
    std::wstring font;
    std::vector<DialogItem> items;
    bool complete = false;
};

class TemplateReader {
public:
    explicit TemplateReader(const std::string& data) : data_(data) {}

    DialogTemplate Read() {
        DialogTemplate dialog;
        WORD version = 0, signature = 0;
        if (!Get(version) || !Get(signature) || version != 1 || signature != 0xFFFF) return dialog;
        dialog.extended = true;
        DWORD helpId = 0, exStyle = 0;
        WORD count = 0;
        if (!Get(helpId) || !Get(exStyle) || !Get(dialog.style) || !Get(count) || !Get(dialog.x) ||
            !Get(dialog.y) || !Get(dialog.cx) || !Get(dialog.cy)) {
            return dialog;
        }
        WORD ordinal = 0;
        std::wstring ignored;
        if (!SizeOrOrdinal(ignored, ordinal) || !SizeOrOrdinal(ignored, ordinal) ||
            !String(dialog.caption)) {
            return dialog;
        }
        if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
            WORD weight = 0;
            BYTE italic = 0, charset = 0;
            if (!Get(dialog.pointSize) || !Get(weight) || !Get(italic) || !Get(charset) ||
                !String(dialog.font)) {
                return dialog;
            }
        }
        for (WORD i = 0; i < count; ++i) {
            at_ = (at_ + 3) & ~size_t{3};
            DialogItem item;
            DWORD itemHelp = 0, itemExStyle = 0;
            WORD extra = 0;
            std::wstring className;
            if (!Get(itemHelp) || !Get(itemExStyle) || !Get(item.style) || !Get(item.x) ||
                !Get(item.y) || !Get(item.cx) || !Get(item.cy) || !Get(item.id) ||
                !SizeOrOrdinal(className, item.classOrdinal) ||
                !SizeOrOrdinal(item.text, ordinal) || !Get(extra)) {
                return dialog;
            }
            at_ += extra;
            dialog.items.push_back(item);
        }
        dialog.complete = true;
        return dialog;
    }

private:
    template <class T>
    bool Get(T& value) {
        if (at_ + sizeof(T) > data_.size()) return false;
        std::memcpy(&value, data_.data() + at_, sizeof(T));
        at_ += sizeof(T);
        return true;
    }
    bool String(std::wstring& text) {
        text.clear();
        for (WORD c = 0; Get(c);) {
            if (c == 0) return true;
            text += static_cast<wchar_t>(c);
        }
        return false;
    }
    // A text, an ordinal after 0xFFFF, or nothing (a zero word).
    bool SizeOrOrdinal(std::wstring& text, WORD& ordinal) {
        text.clear();
        ordinal = 0;
        WORD first = 0;
        if (!Get(first)) return false;
        if (first == 0) return true;
        if (first == 0xFFFF) return Get(ordinal);
        at_ -= sizeof first;
        return String(text);
    }

    const std::string& data_;
    size_t at_ = 0;
};

// ---------------------------------------------------------------------------------------
// The tests, for each architecture

struct ModuleFile {
    const char* architecture;
    const wchar_t* path;
    WORD machine;
};

void PrintTo(const ModuleFile& file, std::ostream* out) {
    *out << file.architecture;
}

class BinaryTablesTest : public ::testing::TestWithParam<ModuleFile> {
protected:
    void SetUp() override {
        ASSERT_EQ(pe.Error(), "") << GetParam().architecture << " module "
                                  << std::string(path.begin(), path.end())
                                  << (std::string(GetParam().architecture) == "x86"
                                          ? " (build it with scripts/build.sh x86)"
                                          : "");
    }

    const Resource* Find(WORD type, WORD name) const {
        for (const Resource& r : resources) {
            if (r.type == type && r.name == name) return &r;
        }
        return nullptr;
    }
    std::vector<WORD> Languages(WORD type, WORD name) const {
        std::vector<WORD> languages;
        for (const Resource& r : resources) {
            if (r.type == type && r.name == name) languages.push_back(r.language);
        }
        return languages;
    }
    DialogTemplate Dialog(WORD name) const {
        const Resource* resource = Find(5 /* RT_DIALOG */, name);
        return resource ? TemplateReader(resource->data).Read() : DialogTemplate{};
    }

    std::wstring path = GetParam().path;
    PeFile pe{path};
    std::vector<Resource> resources = ReadResources(pe);
};

TEST_P(BinaryTablesTest, IsADllThatExportsOnlyShowDlgSettingByItsPlainName) {
    EXPECT_EQ(pe.Machine(), GetParam().machine);
    EXPECT_NE(pe.Characteristics() & IMAGE_FILE_DLL, 0);
    const Exports exports = ReadExports(pe);
    EXPECT_EQ(exports.dllName, "Setting.dll");
    EXPECT_EQ(exports.names, std::vector<std::string>{"ShowDlgSetting"});
    EXPECT_EQ(exports.functionCount, 1u);
}

TEST_P(BinaryTablesTest, ImportsTheProductLibrariesByOrdinalAndNoCompilerRuntime) {
    const auto imports = ReadImports(pe);

    const auto engine = imports.find("pellucid.dll");
    ASSERT_NE(engine, imports.end());
    EXPECT_TRUE(engine->second.names.empty()) << "imported by name: " << engine->second.names[0];
    EXPECT_FALSE(engine->second.ordinals.empty());
    const std::set<WORD> known = {2, 3, 5, 6, 8, 20, 21, 22, 23, 30, 31, 32, 33, 36, 37, 38};
    for (WORD ordinal : engine->second.ordinals)
        EXPECT_EQ(known.count(ordinal), 1u) << "unknown engine ordinal " << ordinal;

    const auto boot = imports.find("marrowick.dll");
    ASSERT_NE(boot, imports.end());
    EXPECT_TRUE(boot->second.names.empty());
    EXPECT_EQ(boot->second.ordinals, std::set<WORD>{25});

    // Without the resize library the module must not load, as in the product.
    EXPECT_EQ(imports.count("tessvane.dll"), 1u);

    // Nothing of the compiler's runtime has to be shipped beside the module.
    for (const auto& [library, unused] : imports) {
        for (const char* runtime : {"libstdc++", "libgcc", "libwinpthread", "mingwm"})
            EXPECT_NE(library.rfind(runtime, 0), 0u) << "imports " << library;
    }
}

TEST_P(BinaryTablesTest, DialogTemplatesAreChineseSegoeUiOfTheirSizes) {
    const struct {
        WORD id;
        short cx, cy;
        bool caption;
    } dialogs[] = {{IDD_SETTING, 400, 350, false},
                   {IDD_SETPASS, 314, 169, true},
                   {IDD_MSGDLG, 329, 125, false},
                   {IDD_WAITING, 229, 55, false}};
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.id);
        EXPECT_EQ(Languages(5, d.id),
                  std::vector<WORD>{MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)});
        const DialogTemplate dialog = Dialog(d.id);
        ASSERT_TRUE(dialog.complete);
        EXPECT_TRUE(dialog.extended);
        EXPECT_EQ(dialog.cx, d.cx);
        EXPECT_EQ(dialog.cy, d.cy);
        EXPECT_EQ(dialog.font, L"Segoe UI");
        EXPECT_EQ(dialog.pointSize, 8);
        EXPECT_NE(dialog.style & WS_POPUP, 0u);
        EXPECT_NE(dialog.style & DS_SETFONT, 0u);
        // The skinned dialogs paint their own frame: no caption and no border of the platform.
        EXPECT_EQ((dialog.style & WS_CAPTION) == WS_CAPTION, d.caption);
        if (!d.caption) {
            EXPECT_EQ(dialog.style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | DS_MODALFRAME), 0u);
        }
    }
}

enum class Kind {
    AutoCheckBox,
    Static,
    CenteredStatic,
    DropDownList,
    PushButton,
    DefPushButton,
    PasswordEdit
};

struct ExpectedItem {
    DWORD id;
    Kind kind;
    const wchar_t* text;
    bool visible;
};

void ExpectItem(const DialogItem& item, const ExpectedItem& expected) {
    SCOPED_TRACE(expected.id);
    EXPECT_EQ(item.id, expected.id);
    EXPECT_EQ(item.text, expected.text);
    EXPECT_EQ((item.style & WS_VISIBLE) != 0, expected.visible);
    EXPECT_NE(item.style & WS_CHILD, 0u);
    switch (expected.kind) {
        case Kind::AutoCheckBox:
            EXPECT_EQ(item.classOrdinal, 0x80);
            EXPECT_EQ(item.style & BS_TYPEMASK, static_cast<DWORD>(BS_AUTOCHECKBOX));
            EXPECT_NE(item.style & WS_TABSTOP, 0u);
            break;
        case Kind::Static:
        case Kind::CenteredStatic:
            EXPECT_EQ(item.classOrdinal, 0x82);
            EXPECT_EQ(item.style & SS_TYPEMASK,
                      static_cast<DWORD>(expected.kind == Kind::Static ? SS_LEFT : SS_CENTER));
            break;
        case Kind::DropDownList:
            EXPECT_EQ(item.classOrdinal, 0x85);
            EXPECT_EQ(item.style & 3, static_cast<DWORD>(CBS_DROPDOWNLIST));
            EXPECT_NE(item.style & WS_VSCROLL, 0u);
            break;
        case Kind::PushButton:
        case Kind::DefPushButton:
            EXPECT_EQ(item.classOrdinal, 0x80);
            EXPECT_EQ(item.style & BS_TYPEMASK,
                      static_cast<DWORD>(expected.kind == Kind::PushButton ? BS_PUSHBUTTON
                                                                           : BS_DEFPUSHBUTTON));
            break;
        case Kind::PasswordEdit:
            EXPECT_EQ(item.classOrdinal, 0x81);
            EXPECT_NE(item.style & ES_PASSWORD, 0u);
            break;
    }
}

void ExpectItems(const DialogTemplate& dialog, const std::vector<ExpectedItem>& expected) {
    ASSERT_EQ(dialog.items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ExpectItem(dialog.items[i], expected[i]);
}

const DialogItem* ItemOf(const DialogTemplate& dialog, DWORD id) {
    for (const DialogItem& item : dialog.items) {
        if (item.id == id) return &item;
    }
    return nullptr;
}

TEST_P(BinaryTablesTest, SettingsDialogHasItsControlsInTabOrder) {
    using K = Kind;
    const DialogTemplate dialog = Dialog(IDD_SETTING);
    ASSERT_TRUE(dialog.complete);
    ExpectItems(
        dialog,
        {
            {IDC_CHECK_PROTECT, K::AutoCheckBox, L"CP", true},
            {IDC_STATIC_RESIZE, K::Static, L"IDC_STATIC_RESIZE", true},
            {IDC_STATIC_SZ_SHOW, K::Static, L"IDC_STATIC_SZ_SHOW", true},
            {IDC_VP_FRAME, K::Static, L"IDC_VP_FRAME", true},
            {IDC_SCHEDULE_FRAME, K::Static, L"IDC_SCHEDULE_FRAME", true},
            {IDC_STATIC_SC_TITLE, K::Static, L"Schedule snapshot:", true},
            {IDC_CHECK_SCHEDULE, K::AutoCheckBox, L"Create schedule every ", true},
            {IDC_COMBO_SCHEDULE, K::DropDownList, L"", true},
            {IDC_STATIC_SC_MINUTES, K::Static, L"hour(s)", true},
            {IDC_CHECK_EV_SYSFOLDER, K::AutoCheckBox, L"Automatically protect system folder", true},
            {IDC_CHECK_EV_NEWPROGRAM, K::AutoCheckBox, L"Create snapshot when install new program",
             true},
            {IDC_CHECK_EV_CYCLE, K::AutoCheckBox, L"IDC_CHECK_EV_CYCLE", true},
            {IDC_COMBO_EV_CYCLE, K::DropDownList, L"", true},
            {IDC_STATIC_EV_MIN, K::Static, L"IDC_STATIC_EV_MIN", true},
            {IDC_AR_FRAME, K::Static, L"IDC_AR_FRAME", true},
            {IDC_CHECK_AR, K::AutoCheckBox, L"IDC_CHECK_AR", true},
            {IDC_COMBO_AR, K::DropDownList, L"", true},
            {IDC_STATIC_TOTHELATEST, K::Static, L"to the latest snapshot....", true},
            {IDC_NOTI_FRAME, K::Static, L"IDC_NOTI_FRAME", true},
            {IDC_STATIC_NT_TITLE, K::Static, L"Notification:", true},
            {IDC_CHECK_TRAYICON, K::AutoCheckBox, L"Disyplay tray icon", true},
            {IDC_CHECK_TOASTER, K::AutoCheckBox, L"Display toaster message", true},
            {IDC_SEC_FRAME, K::Static, L"IDC_SEC_FRAME", true},
            {IDC_PASSWORD, K::AutoCheckBox, L"IDC_PASSWORD", true},
            {IDC_BTN_OK, K::PushButton, L"OK", true},
            // Apply and Cancel are never shown.
            {IDC_BTN_APPLY, K::DefPushButton, L"Apply", false},
            {IDC_BTN_CANCEL, K::PushButton, L"Cancel", false},
        });
    // The period lists scroll and keep the height they are given; the restore choice only
    // scrolls.
    for (DWORD id : {IDC_COMBO_SCHEDULE, IDC_COMBO_EV_CYCLE})
        EXPECT_NE(ItemOf(dialog, id)->style & CBS_NOINTEGRALHEIGHT, 0u) << id;
    EXPECT_EQ(ItemOf(dialog, IDC_COMBO_AR)->style & CBS_NOINTEGRALHEIGHT, 0u);
}

TEST_P(BinaryTablesTest, PasswordMessageAndWaitingDialogsHaveTheirControls) {
    using K = Kind;
    ExpectItems(Dialog(IDD_SETPASS),
                {
                    {IDC_S_CURPASS, K::Static, L"Current Password", false},
                    {IDC_E_CURPASS, K::PasswordEdit, L"", false},
                    {IDC_S_NEWPASS, K::Static, L"New Password", true},
                    {IDC_E_NEWPASS, K::PasswordEdit, L"", true},
                    {IDC_S_NEWPASS2, K::Static, L"Re-enter New Password", true},
                    {IDC_E_NEWPASS2, K::PasswordEdit, L"", true},
                    {IDOK, K::DefPushButton, L"OK", true},
                    {IDCANCEL, K::PushButton, L"Cancel", true},
                    {IDC_S_FORGETPASS, K::Static,
                     L"If you forget the password, you will need the product's recovery disc to "
                     L"reset it.",
                     true},
                });
    ExpectItems(Dialog(IDD_MSGDLG), {
                                        {IDC_MSG_HEADING, K::Static, L"IDC_WARNING", true},
                                        {IDC_MSG_TEXT, K::Static, L"IDC_TXT_DESCRIPTION", true},
                                        {IDC_MSG_YES, K::PushButton, L"IDC_YES", true},
                                        {IDC_MSG_NO, K::PushButton, L"IDC_NO", true},
                                        {IDC_MSG_OK, K::PushButton, L"OK", true},
                                    });
    const DialogTemplate waiting = Dialog(IDD_WAITING);
    ExpectItems(waiting, {{IDC_STATIC_WAIT, K::CenteredStatic, L"IDC_STATIC_WAIT", true}});
    ASSERT_EQ(waiting.items.size(), 1u);
    const DialogItem& line = waiting.items[0];
    EXPECT_EQ(line.x, 7);
    EXPECT_EQ(line.y, 31);
    EXPECT_EQ(line.cx, 207);
    EXPECT_EQ(line.cy, 10);
}

TEST_P(BinaryTablesTest, CarriesAVersionResource) {
    const Resource* version = Find(16 /* RT_VERSION */, 1);
    ASSERT_NE(version, nullptr);
    const std::string& data = version->data;
    // VS_VERSIONINFO: length, value length, type, then the key and the fixed file info.
    const std::wstring key = L"VS_VERSION_INFO";
    ASSERT_GE(data.size(), 6 + (key.size() + 1) * 2 + 2 + sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(std::memcmp(data.data() + 6, key.c_str(), key.size() * 2), 0);
    const size_t fixedAt = (6 + (key.size() + 1) * 2 + 3) & ~size_t{3};
    VS_FIXEDFILEINFO fixed{};
    std::memcpy(&fixed, data.data() + fixedAt, sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_DLL));
    const std::wstring original = L"Setting.dll";
    EXPECT_NE(data.find(std::string(reinterpret_cast<const char*>(original.c_str()),
                                    original.size() * 2)),
              std::string::npos);
}

TEST_P(BinaryTablesTest, ManifestAsksForCommonControlsSix) {
    // Resource 2, the one the module activates around each call.
    const Resource* manifest = Find(24 /* RT_MANIFEST */, 2);
    ASSERT_NE(manifest, nullptr);
    const std::string& xml = manifest->data;
    const size_t name = xml.find("name=\"Microsoft.Windows.Common-Controls\"");
    ASSERT_NE(name, std::string::npos);
    const size_t open = xml.rfind('<', name);
    const size_t close = xml.find('>', name);
    ASSERT_NE(open, std::string::npos);
    ASSERT_NE(close, std::string::npos);
    const std::string identity = xml.substr(open, close - open);
    EXPECT_EQ(identity.rfind("<assemblyIdentity", 0), 0u) << identity;
    EXPECT_NE(identity.find("version=\"6.0.0.0\""), std::string::npos) << identity;
}

INSTANTIATE_TEST_SUITE_P(
    Modules, BinaryTablesTest,
    ::testing::Values(ModuleFile{"x64", SETTING_X64_DLL, IMAGE_FILE_MACHINE_AMD64},
                      ModuleFile{"x86", SETTING_X86_DLL, IMAGE_FILE_MACHINE_I386}),
    [](const ::testing::TestParamInfo<ModuleFile>& info) {
        return std::string(info.param.architecture);
    });

}  // namespace
