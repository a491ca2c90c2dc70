// Hostile input around the dialog: configuration files that are missing, empty, garbage,
// UTF-16 or full of absurd values, texts with printf directives, skin images that are
// missing, broken or enormous, host folders at and beyond the path limits, and a log file
// that another program holds. Each gets a defined outcome: the dialog opens and answers, the
// engine is only read, a close request ends it, and what the module could not use is logged.
#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <functional>

#include "ConfigKeys.h"
#include "Session.h"

using namespace testsupport;

namespace {

struct Opening {
    Session& session;
    HWND dialog = nullptr;
    const HostProcess& Host() const { return *session.host; }
};

constexpr DWORD kWaitMs = 30000;  // upper bound of every wait

// Parts of the log lines the module writes when it cannot use its configuration.
const std::wstring kNoConfigFile = L"cannot be read";
const std::wstring kNoDialogSize = L"SET_FRAME";
const std::wstring kFolderTooLong = L"folder";
const std::wstring kValueCut = L"is cut to 5119 characters";

std::wstring Repeat(const std::wstring& piece, size_t times) {
    std::wstring text;
    text.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

// Reproducible bytes of every value, with the characters an INI reader cares about mixed in.
std::string Garbage(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        const uint32_t pick = seed >> 24;
        byte = static_cast<char>(pick % 5 == 0 ? "[]=\r\n;"[(seed >> 8) % 6] : pick);
    }
    return bytes;
}

// A text file's bytes as UTF-16LE with a byte-order mark (the shipped files are ASCII).
std::string Utf16WithBom(const std::string& text) {
    std::string bytes = "\xFF\xFE";
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

// Every key of `kinds` in Setting.ini, as the module's key table lists them.
std::vector<const config::Key*> KeysOf(std::initializer_list<config::Kind> kinds) {
    std::vector<const config::Key*> keys;
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const config::Key* key = config::AllKeys()[i];
        if (key->file != config::File::SettingIni) continue;
        if (std::find(kinds.begin(), kinds.end(), key->kind) != kinds.end()) keys.push_back(key);
    }
    return keys;
}

void SetEvery(const Sandbox& sandbox, std::initializer_list<config::Kind> kinds,
              const std::wstring& value) {
    for (const config::Key* key : KeysOf(kinds)) {
        // A list key names its entries: the first few of them get the value.
        if (key->kind == config::Kind::List) {
            for (int i = 0; i < 3; ++i)
                sandbox.SetSetting(key->section, key->EntryName(i).c_str(), value.c_str());
        } else {
            sandbox.SetSetting(key->section, key->name, value.c_str());
        }
    }
}

const auto kTextKinds = {config::Kind::Text, config::Kind::Message, config::Kind::Placeholders,
                         config::Kind::Pattern};

// A dialog the user can see and close: at least as large as its close box needs.
void ExpectUsableSize(HWND dialog) {
    const SIZE size = ClientSize(dialog);
    EXPECT_GE(size.cx, 100);
    EXPECT_GE(size.cy, 50);
    EXPECT_LE(size.cx, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_LE(size.cy, ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    EXPECT_TRUE(::IsWindowVisible(dialog));
}

// Each part is in a record of the log (none: the log is empty); no record is an error.
void ExpectLog(const Sandbox& sandbox, const std::vector<std::wstring>& parts) {
    const auto lines = sandbox.LogLines();
    std::string all;
    for (const auto& line : lines)
        all += Narrow(line);
    for (const auto& part : parts) {
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                [&](const std::wstring& l) { return l.find(part) != l.npos; }))
            << "no log record with \"" << Narrow(part) << "\"; the log:\n"
            << all;
    }
    if (parts.empty()) {
        EXPECT_TRUE(lines.empty()) << all;
    }
    for (const auto& line : lines)
        EXPECT_EQ(line.find(L"Error ="), std::wstring::npos) << Narrow(line);
}

// The resize link's question, a message dialog that reads CreateDisk.ini: it shows, and No
// leaves everything as it was.
void AskResizeAndSayNo(Opening& o, const std::wstring& heading) {
    ::PostMessageW(o.dialog, WM_COMMAND, MAKEWPARAM(IDC_STATIC_RESIZE, STN_CLICKED),
                   reinterpret_cast<LPARAM>(Control(o.dialog, IDC_STATIC_RESIZE)));
    HWND question = WaitForMessageDialog(o.Host(), kWaitMs);
    ASSERT_NE(question, nullptr) << "no question";
    EXPECT_EQ(Text(question, IDC_MSG_HEADING), heading);
    EXPECT_TRUE(Visible(question, IDC_MSG_NO));
    Click(question, IDC_MSG_NO);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(question); }, kWaitMs));
    o.Host().Settle();
    EXPECT_TRUE(::IsWindowEnabled(o.dialog));
}

// Opens, answers, reads only and closes with the close request.
void ExpectOpensAnswersAndCloses(Opening& o, const std::function<void(Opening&)>& check) {
    o.dialog = o.Host().OpenSettings(kWaitMs);
    ASSERT_NE(o.dialog, nullptr) << "no dialog";
    EXPECT_TRUE(Answers(o.dialog));
    ASSERT_NO_FATAL_FAILURE(check(o));
    EXPECT_TRUE(Answers(o.dialog));
    o.session.ExpectOnlyReads();
    ASSERT_TRUE(o.Host().CloseSettings(o.dialog, kWaitMs)) << "the dialog did not close";
}

// ---------------------------------------------------------------------------------------
// Configuration files

struct ConfigCase {
    const char* name;
    std::function<void(const Sandbox&)> prepare;
    std::function<void(Opening&)> check;
    std::vector<std::wstring> log;  // parts of the records the case must log; none: no log
};

const std::wstring kDirectives = L"%s %n %x %d %ls %p %% %1$s %*d";
constexpr size_t kProductNameLength = 259;
// A value is read as its first 5,119 characters: 393 whole placeholders and 10 characters.
constexpr size_t kWholePlaceholders = 5119 / 13;

const ConfigCase kConfigCases[] = {
    {"SettingIniMissing",
     [](const Sandbox& s) { s.RemoveFile(L"Setting.ini"); },
     [](Opening& o) { ExpectUsableSize(o.dialog); },
     {kNoConfigFile, kNoDialogSize}},
    {"SettingIniEmpty",
     [](const Sandbox& s) { s.WriteFile(L"Setting.ini", ""); },
     [](Opening& o) { ExpectUsableSize(o.dialog); },
     {kNoDialogSize}},
    {"SettingIniGarbage",
     [](const Sandbox& s) { s.WriteFile(L"Setting.ini", Garbage(64 * 1024, 7)); },
     [](Opening& o) { ExpectUsableSize(o.dialog); },
     {kNoDialogSize}},
    {"SettingIniUtf16",
     [](const Sandbox& s) {
         s.WriteFile(L"Setting.ini", Utf16WithBom(s.ReadFile(L"Setting.ini")));
     },
     [](Opening& o) {
         EXPECT_EQ(Text(o.dialog), shipped::kTitle);
         EXPECT_EQ(Text(o.dialog, IDC_CHECK_PROTECT), L"Turn on system protection");
         EXPECT_EQ(ClientSize(o.dialog).cx, 600);
         EXPECT_EQ(ComboItems(o.dialog, IDC_COMBO_SCHEDULE).size(), 7u);
     },
     {}},
    {"ValuesOf6000Characters",
     [](const Sandbox& s) { SetEvery(s, kTextKinds, std::wstring(6000, L'W')); },
     [](Opening& o) {
         EXPECT_EQ(Text(o.dialog, IDC_CHECK_PROTECT), std::wstring(5119, L'W'));
         EXPECT_EQ(Text(o.dialog), std::wstring(5119, L'W'));
         ExpectUsableSize(o.dialog);
     },
     {kValueCut}},
    {"NegativePositions",
     [](const Sandbox& s) { SetEvery(s, {config::Kind::Position}, L"-2147483648,-5,-100,-20"); },
     [](Opening& o) { ExpectUsableSize(o.dialog); },
     {kNoDialogSize}},
    {"HugePositions",
     [](const Sandbox& s) {
         SetEvery(s, {config::Kind::Position}, L"2147483647,2147483647,2147483647,2147483647");
     },
     [](Opening& o) { ExpectUsableSize(o.dialog); },
     {kNoDialogSize}},
    {"NonNumericPositions",
     [](const Sandbox& s) { SetEvery(s, {config::Kind::Position}, L"left,top,wide,high,x"); },
     [](Opening& o) { ExpectUsableSize(o.dialog); },
     {kNoDialogSize}},
    {"DialogPlacedHidden",
     [](const Sandbox& s) { s.SetSetting(L"POSITION", L"SET_FRAME", L"0,0,600,500,1"); },
     [](Opening& o) {
         ExpectUsableSize(o.dialog);
         EXPECT_EQ(ClientSize(o.dialog).cx, 600);
     },
     {kNoDialogSize}},
    {"ProductNamePlaceholderThousandsOfTimes",
     [](const Sandbox& s) {
         s.UpdateEngine(
             [](sim::EngineState& e) { e.productName = std::wstring(kProductNameLength, L'N'); });
         SetEvery(s, {config::Kind::Placeholders}, Repeat(L"[PRODUCTNAME]", 5000));
     },
     [](Opening& o) {
         const std::wstring title = Text(o.dialog);
         EXPECT_EQ(title.size(), kWholePlaceholders * kProductNameLength + 10);
         EXPECT_EQ(title.find(L"[PRODUCTNAME]"), std::wstring::npos);
     },
     {kValueCut}},
    {"PrintfDirectivesInEveryText",
     [](const Sandbox& s) { SetEvery(s, kTextKinds, kDirectives); },
     [](Opening& o) {
         // Shown as written, in the dialog and in the question before switching off.
         EXPECT_EQ(Text(o.dialog), kDirectives);
         EXPECT_EQ(Text(o.dialog, IDC_CHECK_PROTECT), kDirectives);
         EXPECT_EQ(Text(o.dialog, IDC_STATIC_SZ_SHOW), kDirectives);
         Click(o.dialog, IDC_CHECK_PROTECT);
         HWND box = o.Host().WaitForMessageBox(kWaitMs);
         ASSERT_NE(box, nullptr);
         EXPECT_EQ(Text(box, 0xFFFF), kDirectives);
         EXPECT_EQ(Text(box), kDirectives);
         Click(box, IDCANCEL);
         ASSERT_TRUE(WaitUntil([&] { return o.Host().FindMessageBox() == nullptr; }));
         o.Host().Settle();
         EXPECT_TRUE(Checked(o.dialog, IDC_CHECK_PROTECT));
     },
     {}},
    {"CreateDiskIniMissing",
     [](const Sandbox& s) { s.RemoveFile(L"CreateDisk.ini"); },
     [](Opening& o) { AskResizeAndSayNo(o, L""); },
     {kNoConfigFile}},
    {"CreateDiskIniEmpty",
     [](const Sandbox& s) { s.WriteFile(L"CreateDisk.ini", ""); },
     [](Opening& o) { AskResizeAndSayNo(o, L""); },
     {}},
    {"CreateDiskIniGarbage",
     [](const Sandbox& s) { s.WriteFile(L"CreateDisk.ini", Garbage(16 * 1024, 11)); },
     [](Opening& o) { AskResizeAndSayNo(o, L""); },
     {}},
    {"CreateDiskIniUtf16",
     [](const Sandbox& s) {
         s.WriteFile(L"CreateDisk.ini", Utf16WithBom(s.ReadFile(L"CreateDisk.ini")));
     },
     [](Opening& o) { AskResizeAndSayNo(o, shipped::kWarning); },
     {}},
};

TEST(HostileInputTest, EachConfigurationOpensAnswersReadsOnlyAndClosesWithADefinedLog) {
    Session session;
    for (const ConfigCase& c : kConfigCases) {
        SCOPED_TRACE(c.name);
        session.Prepare();
        c.prepare(session.sandbox);
        Opening o{session};
        ExpectOpensAnswersAndCloses(o, c.check);
        ExpectLog(session.sandbox, c.log);
    }
}

// ---------------------------------------------------------------------------------------
// Skin images

const wchar_t* const kSkinImages[] = {
    L"skin\\default\\frame\\wndbk.png", L"skin\\default\\frame\\Line_Frame.bmp",
    L"skin\\default\\frame\\title_buttons.png", L"skin\\default\\btn\\ok_normal.png",
    L"skin\\default\\btn\\ok_hover.png"};

// A PNG whose header claims 60000 x 60000 pixels, with a little (wrong) data after it.
std::string EnormousPng() {
    std::string png("\x89PNG\r\n\x1a\n", 8);
    const unsigned char header[] = {0, 0,    0,    13, 'I', 'H', 'D', 'R', 0, 0, 0xEA, 0x60, 0,
                                    0, 0xEA, 0x60, 8,  6,   0,   0,   0,   0, 0, 0,    0};
    png.append(reinterpret_cast<const char*>(header), sizeof header);
    const unsigned char data[] = {0, 0, 0, 16, 'I', 'D', 'A', 'T'};
    png.append(reinterpret_cast<const char*>(data), sizeof data);
    png.append(16 + 4, '\x55');
    return png;
}

struct SkinCase {
    const char* name;
    std::function<std::string(const std::string& original)> image;  // empty text: removed
};

const SkinCase kSkinCases[] = {
    {"Missing", [](const std::string&) { return std::string(); }},
    {"Truncated",
     [](const std::string& original) { return original.substr(0, original.size() / 2); }},
    {"NotAnImage", [](const std::string&) { return std::string("This is not an image.\r\n"); }},
    {"EnormousHeader", [](const std::string&) { return EnormousPng(); }},
};

TEST(HostileInputTest, BrokenSkinImagesAreLoggedOnceAndTheDialogsStillWork) {
    Session session;
    std::vector<std::string> originals;
    for (const wchar_t* file : kSkinImages)
        originals.push_back(session.sandbox.ReadFile(file));
    for (const SkinCase& c : kSkinCases) {
        SCOPED_TRACE(c.name);
        session.Prepare();
        for (size_t i = 0; i < std::size(kSkinImages); ++i) {
            const std::string bytes = c.image(originals[i]);
            if (bytes.empty()) {
                session.sandbox.RemoveFile(kSkinImages[i]);
            } else {
                session.sandbox.WriteFile(kSkinImages[i], bytes);
            }
        }
        Opening o{session};
        ExpectOpensAnswersAndCloses(o, [](Opening& o) {
            // Painted whole, hovered, and painted again: every image is drawn at least once.
            ::RedrawWindow(o.dialog, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            const RECT ok = RectIn(o.dialog, IDC_BTN_OK);
            BringToFront(o.dialog);
            MoveMouse(
                ClientToScreenPoint(o.dialog, (ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2));
            o.Host().Settle();
            // Without a usable band the title area is plain white under the title text.
            const Capture shot(o.dialog);
            EXPECT_EQ(shot.At(shot.Width() / 2, 2), RGB(255, 255, 255));
            AskResizeAndSayNo(o, shipped::kWarning);
            MoveMouse({1, 1});
        });
        const auto lines = session.Log();
        for (const auto& line : lines)
            EXPECT_EQ(line.find(L"Error ="), std::wstring::npos) << Narrow(line);
        // An image the module cannot use is named in the log once, however often it is
        // drawn. (Names are not case-sensitive: the module names the folder "Skin".)
        const auto lower = [](std::wstring text) {
            std::transform(text.begin(), text.end(), text.begin(), ::towlower);
            return text;
        };
        for (const wchar_t* file : kSkinImages) {
            const size_t named =
                std::count_if(lines.begin(), lines.end(), [&](const std::wstring& l) {
                    return l.find(L"skin image") != l.npos && lower(l).find(lower(file)) != l.npos;
                });
            EXPECT_EQ(named, std::string(c.name) == "Missing" ? 1u
                             : named > 0                      ? 1u
                                                              : 0u)
                << Narrow(file);
        }
        for (size_t i = 0; i < std::size(kSkinImages); ++i)
            session.sandbox.WriteFile(kSkinImages[i], originals[i]);
    }
}

// ---------------------------------------------------------------------------------------
// Long host folders

struct FolderCase {
    size_t length;          // characters of the folder's path
    bool framesDrawn;       // the group frames' bitmap path fits
    bool configUsable;      // Setting.ini and the skin can be reached
    std::wstring logged;    // part of the log line that tells what was refused; empty: none
    std::string traced;     // part of the debugger trace that tells it; empty: none
    bool startable = true;  // the platform starts a program from there
};

// From 230 characters on, the log in the sandbox's temporary folder (inside the folder) no
// longer fits a path either; the debugger output still tells what was refused. At 300 the
// executable's own path is beyond the platform's limit: the platform refuses to start it
// (the module, loaded from such a folder by other means, reads nothing beside it and says so),
// and the refusal leaves nothing behind.
const FolderCase kFolderCases[] = {
    {225, true, true, L"", ""},
    {230, false, true, L"", "too long for the group frames"},
    {300, false, false, L"", "host program's folder cannot be used", false},
};

TEST(HostileInputTest, LongHostFoldersRefuseWhatDoesNotFitLogItAndWorkOn) {
    for (const FolderCase& c : kFolderCases) {
        SCOPED_TRACE(c.length);
        Session session("LongFolder", c.length);
        ASSERT_EQ(session.sandbox.Dir().size(), c.length);
        session.Prepare();
        if (!c.startable) {
            EXPECT_FALSE(session.host->Started());
            EXPECT_TRUE(session.sandbox.Calls().empty());
            continue;
        }
        Opening o{session};
        ExpectOpensAnswersAndCloses(o, [&](Opening& o) {
            ExpectUsableSize(o.dialog);
            // Texts from Setting.ini, or the template's own; the engine is reached wherever
            // the host lies.
            EXPECT_EQ(Text(o.dialog, IDC_CHECK_PROTECT),
                      c.configUsable ? L"Turn on system protection" : L"CP");
            EXPECT_TRUE(Checked(o.dialog, IDC_CHECK_PROTECT));
            // The left edge of a group frame, below its caption: drawn, or white.
            const RECT frame = RectIn(o.dialog, IDC_SCHEDULE_FRAME);
            const int white = Capture(o.dialog).Count(
                {frame.left, frame.top + 20, frame.left + 6, frame.top + 40}, RGB(255, 255, 255));
            EXPECT_EQ(white < 6 * 20, c.framesDrawn) << white << " white pixels of 120";
        });
        EXPECT_EQ(session.LogWith(L"Error =").size(), 0u);
        if (c.logged.empty()) {
            EXPECT_TRUE(session.Log().empty());
        }
        if (!c.traced.empty()) {
            EXPECT_TRUE(session.host->HasTrace(c.traced));
        }
    }
}

// ---------------------------------------------------------------------------------------
// The log file held by another program

struct LogHolder {
    const char* name;
    bool lineWritten;  // the failure still reaches the log
    // Takes hold of the log at `path`; the returned handle is released after the opening.
    HANDLE (*hold)(const std::wstring& path);
};

HANDLE OpenLog(const std::wstring& path, DWORD share) {
    return ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

const LogHolder kLogHolders[] = {
    // Another writer keeps the writers' lock: each line waits for it a bounded time, then is
    // appended all the same.
    {"LockHeld", true,
     [](const std::wstring& path) {
         HANDLE file = OpenLog(path, FILE_SHARE_READ | FILE_SHARE_WRITE);
         OVERLAPPED at{};
         at.OffsetHigh = 0x7FFFFFF0;
         ::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at);
         return file;
     }},
    {"OpenWithoutSharing", false, [](const std::wstring& path) { return OpenLog(path, 0); }},
    {"ReadOnly", false,
     [](const std::wstring& path) {
         ::CloseHandle(OpenLog(path, 0));
         ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
         return INVALID_HANDLE_VALUE;
     }},
};

// A read-only file is still writable for a program with every right (Wine run as root): the
// line is then written like any other.
bool WritableByUs(const std::wstring& path, const LogHolder& holder) {
    if (std::string(holder.name) != "ReadOnly") return false;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

TEST(HostileInputTest, AHeldLogStillLetsFailuresBeHandled) {
    Session session;
    for (const LogHolder& holder : kLogHolders) {
        SCOPED_TRACE(holder.name);
        session.Prepare();
        session.sandbox.FailEngine("GetSpaceUsage", 21);
        const std::wstring path = session.sandbox.LogPath();
        HANDLE held = holder.hold(path);
        Opening o{session};
        ExpectOpensAnswersAndCloses(o,
                                    [](Opening& o) { EXPECT_EQ(Text(o.dialog), shipped::kTitle); });
        if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        const auto lines = session.Log();
        if (holder.lineWritten || WritableByUs(path, holder)) {
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_NE(lines[0].find(L"] Error = 21 (File="), std::wstring::npos)
                << Narrow(lines[0]);
        } else {
            EXPECT_TRUE(lines.empty());
        }
    }
}

}  // namespace
