// Hostile input around the dialog: configuration files that are missing, empty, garbage,
// UTF-16 or full of absurd values, texts with printf directives, skin images that are
// missing, broken or enormous, host folders at and beyond the path limits, and a log file
// that another program holds. Each gets a defined outcome: the dialog opens at a size that can
// be seen and closed and answers, the engine is only read, a close request ends it, and what
// the module could not use is logged.
#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <functional>

#include "ConfigKeys.h"
#include "Session.h"

using namespace testsupport;

namespace {

constexpr DWORD kWaitMs = 30000;  // upper bound of every wait

// Parts of the log records the module writes when it cannot use its configuration.
const std::wstring kNoConfigFile = L"cannot be read";
const std::wstring kNoDialogSize = L"SET_FRAME";
const std::wstring kValueCut = L"is cut to 5119 characters";
const std::wstring kDirectives = L"%s %n %x %d %ls %p %% %1$s %*d";

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
    for (char c : text)
        bytes += {c, '\0'};
    return bytes;
}

// Sets `value` for every key of Setting.ini of one of `kinds`, as the module's key table lists
// them (the first entries of a list).
void SetEvery(const Sandbox& sandbox, std::initializer_list<config::Kind> kinds,
              const std::wstring& value) {
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const config::Key* key = config::AllKeys()[i];
        if (key->file != config::File::SettingIni ||
            std::find(kinds.begin(), kinds.end(), key->kind) == kinds.end()) {
            continue;
        }
        for (int entry = 0; entry < (key->kind == config::Kind::List ? 3 : 1); ++entry) {
            const std::wstring name =
                key->kind == config::Kind::List ? key->EntryName(entry) : key->name;
            sandbox.SetSetting(key->section, name.c_str(), value.c_str());
        }
    }
}

const auto kTextKinds = {config::Kind::Text, config::Kind::Message, config::Kind::Placeholders,
                         config::Kind::Pattern};

// The resize link's question, a message dialog that reads CreateDisk.ini: it shows, and No
// leaves everything as it was.
void AskResizeAndSayNo(Session& session, HWND dialog, const std::wstring& heading) {
    PostCommand(dialog, IDC_STATIC_RESIZE, STN_CLICKED);
    HWND question = WaitForMessageDialog(*session.host, kWaitMs);
    ASSERT_NE(question, nullptr) << "no question";
    EXPECT_EQ(Text(question, IDC_MSG_HEADING), heading);
    EXPECT_TRUE(Visible(question, IDC_MSG_NO));
    Click(question, IDC_MSG_NO);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(question); }, kWaitMs));
    session.host->Settle();
    EXPECT_TRUE(::IsWindowEnabled(dialog));
}

using Check = std::function<void(Session&, HWND)>;

// Opens at a usable size, answers, reads only and closes with the close request; `log` are
// parts of records it must have logged (none: nothing), none of them an error.
void ExpectDefinedOutcome(Session& session, const Check& check,
                          const std::vector<std::wstring>& log) {
    HWND dialog = session.host->OpenSettings(kWaitMs);
    ASSERT_NE(dialog, nullptr) << "no dialog";
    const SIZE size = ClientSize(dialog);
    EXPECT_TRUE(size.cx >= 100 && size.cy >= 50 &&
                size.cx <= ::GetSystemMetrics(SM_CXVIRTUALSCREEN) &&
                size.cy <= ::GetSystemMetrics(SM_CYVIRTUALSCREEN) && ::IsWindowVisible(dialog))
        << size.cx << " x " << size.cy;
    EXPECT_TRUE(Answers(dialog));
    if (check) {
        ASSERT_NO_FATAL_FAILURE(check(session, dialog));
    }
    EXPECT_TRUE(Answers(dialog));
    session.ExpectOnlyReads();
    ASSERT_TRUE(session.host->CloseSettings(dialog, kWaitMs)) << "the dialog did not close";
    const auto lines = session.Log();
    std::string all;
    for (const auto& line : lines)
        all += Narrow(line);
    for (const auto& part : log) {
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                [&](const std::wstring& l) { return l.find(part) != l.npos; }))
            << "no log record with \"" << Narrow(part) << "\"; the log:\n"
            << all;
    }
    EXPECT_TRUE(!log.empty() || lines.empty()) << all;
    EXPECT_EQ(all.find("Error ="), std::string::npos) << all;
}

struct ConfigCase {
    const char* name;
    std::function<void(const Sandbox&)> prepare;
    Check check;
    std::vector<std::wstring> log;
};

const ConfigCase kConfigCases[] = {
    {"SettingIniMissing",
     [](const Sandbox& s) { s.RemoveFile(L"Setting.ini"); },
     nullptr,
     {kNoConfigFile, kNoDialogSize}},
    {"SettingIniEmpty",
     [](const Sandbox& s) { s.WriteFile(L"Setting.ini", ""); },
     nullptr,
     {kNoDialogSize}},
    {"SettingIniGarbage",
     [](const Sandbox& s) { s.WriteFile(L"Setting.ini", Garbage(64 * 1024, 7)); },
     nullptr,
     {kNoDialogSize}},
    {"SettingIniUtf16",
     [](const Sandbox& s) {
         s.WriteFile(L"Setting.ini", Utf16WithBom(s.ReadFile(L"Setting.ini")));
     },
     [](Session&, HWND d) {
         EXPECT_EQ(Text(d), shipped::kTitle);
         EXPECT_EQ(Text(d, IDC_CHECK_PROTECT), L"Turn on system protection");
         EXPECT_EQ(ClientSize(d).cx, 600);
         ExpectControls(d, "scheduleList=items=7");
     },
     {}},
    {"ValuesOf6000Characters",
     [](const Sandbox& s) { SetEvery(s, kTextKinds, std::wstring(6000, L'W')); },
     [](Session&, HWND d) {
         EXPECT_EQ(Text(d, IDC_CHECK_PROTECT), std::wstring(5119, L'W'));
         EXPECT_EQ(Text(d), std::wstring(5119, L'W'));
     },
     {kValueCut}},
    {"NegativePositions",
     [](const Sandbox& s) { SetEvery(s, {config::Kind::Position}, L"-2147483648,-5,-100,-20"); },
     nullptr,
     {kNoDialogSize}},
    {"HugePositions",
     [](const Sandbox& s) {
         SetEvery(s, {config::Kind::Position}, L"2147483647,2147483647,2147483647,2147483647");
     },
     nullptr,
     {kNoDialogSize}},
    {"NonNumericPositions",
     [](const Sandbox& s) { SetEvery(s, {config::Kind::Position}, L"left,top,wide,high,x"); },
     nullptr,
     {kNoDialogSize}},
    // Its close box would be out of reach: the dialog keeps its built-in size.
    {"DialogWiderThanEveryScreen",
     [](const Sandbox& s) {
         const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN) + 1;
         s.SetSetting(L"POSITION", L"SET_FRAME",
                      (L"0,0," + std::to_wstring(width) + L",500").c_str());
     },
     nullptr,
     {kNoDialogSize}},
    {"DialogPlacedHidden",
     [](const Sandbox& s) { s.SetSetting(L"POSITION", L"SET_FRAME", L"0,0,600,500,1"); },
     [](Session&, HWND d) { EXPECT_EQ(ClientSize(d).cx, 600); },
     {kNoDialogSize}},
    // A value is read as its first 5,119 characters: 393 whole placeholders and 10 characters.
    {"ProductNamePlaceholderThousandsOfTimes",
     [](const Sandbox& s) {
         s.UpdateEngine([](sim::EngineState& e) { e.productName = std::wstring(259, L'N'); });
         std::wstring many;
         for (int i = 0; i < 5000; ++i)
             many += L"[PRODUCTNAME]";
         SetEvery(s, {config::Kind::Placeholders}, many);
     },
     [](Session&, HWND d) {
         EXPECT_EQ(Text(d).size(), 5119 / 13 * 259 + 10);
         EXPECT_EQ(Text(d).find(L"[PRODUCTNAME]"), std::wstring::npos);
     },
     {kValueCut}},
    // Shown as written, in the dialog and in the question before switching off.
    {"PrintfDirectivesInEveryText",
     [](const Sandbox& s) { SetEvery(s, kTextKinds, kDirectives); },
     [](Session& s, HWND d) {
         EXPECT_EQ(Text(d), kDirectives);
         EXPECT_EQ(Text(d, IDC_CHECK_PROTECT), kDirectives);
         EXPECT_EQ(Text(d, IDC_STATIC_SZ_SHOW), kDirectives);
         Click(d, IDC_CHECK_PROTECT);
         HWND box = s.host->WaitForMessageBox(kWaitMs);
         ASSERT_NE(box, nullptr);
         EXPECT_EQ(Text(box), kDirectives);
         AnswerMessageBox(*s.host, kDirectives, IDCANCEL);
         s.host->Settle();
         ExpectControls(d, "protect=on");
     },
     {}},
    {"CreateDiskIniMissing",
     [](const Sandbox& s) { s.RemoveFile(L"CreateDisk.ini"); },
     [](Session& s, HWND d) { AskResizeAndSayNo(s, d, L""); },
     {kNoConfigFile}},
    {"CreateDiskIniEmpty",
     [](const Sandbox& s) { s.WriteFile(L"CreateDisk.ini", ""); },
     [](Session& s, HWND d) { AskResizeAndSayNo(s, d, L""); },
     {}},
    {"CreateDiskIniGarbage",
     [](const Sandbox& s) { s.WriteFile(L"CreateDisk.ini", Garbage(16 * 1024, 11)); },
     [](Session& s, HWND d) { AskResizeAndSayNo(s, d, L""); },
     {}},
    {"CreateDiskIniUtf16",
     [](const Sandbox& s) {
         s.WriteFile(L"CreateDisk.ini", Utf16WithBom(s.ReadFile(L"CreateDisk.ini")));
     },
     [](Session& s, HWND d) { AskResizeAndSayNo(s, d, shipped::kWarning); },
     {}},
};

TEST(HostileInputTest, EachConfigurationGetsADefinedOutcome) {
    Session session;
    for (const ConfigCase& c : kConfigCases) {
        SCOPED_TRACE(c.name);
        session.Prepare();
        c.prepare(session.sandbox);
        ExpectDefinedOutcome(session, c.check, c.log);
    }
}

// Every skin image missing, cut in half, no image, or a PNG whose header claims 60000 x 60000
// pixels: painted whole, hovered and painted again, the dialogs still work, and each image is
// named in the log at most once, however often it is drawn (once when it is missing).
TEST(HostileInputTest, BrokenSkinImagesAreLoggedOnceAndTheDialogsStillWork) {
    const wchar_t* const images[] = {
        L"skin\\default\\frame\\wndbk.png", L"skin\\default\\frame\\Line_Frame.bmp",
        L"skin\\default\\frame\\title_buttons.png", L"skin\\default\\btn\\ok_normal.png",
        L"skin\\default\\btn\\ok_hover.png"};
    std::string enormous(
        "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\xEA\x60\0\0\xEA\x60\x08\x06\0\0\0\0\0\0\0"
        "\0\0\0\x10IDAT",
        41);
    enormous.append(20, '\x55');
    const struct {
        const char* name;
        std::function<std::string(const std::string&)> image;  // empty: removed
    } cases[] = {
        {"Missing", [](const std::string&) { return std::string(); }},
        {"Truncated", [](const std::string& s) { return s.substr(0, s.size() / 2); }},
        {"NotAnImage", [](const std::string&) { return std::string("Not an image.\r\n"); }},
        {"EnormousHeader", [&](const std::string&) { return enormous; }}};
    Session session;
    std::vector<std::string> originals;
    for (const wchar_t* file : images)
        originals.push_back(session.sandbox.ReadFile(file));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        session.Prepare();
        for (size_t i = 0; i < std::size(images); ++i) {
            const std::string bytes = c.image(originals[i]);
            if (bytes.empty()) {
                session.sandbox.RemoveFile(images[i]);
            } else {
                session.sandbox.WriteFile(images[i], bytes);
            }
        }
        ExpectDefinedOutcome(
            session,
            [](Session& s, HWND d) {
                ::RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
                const RECT ok = RectIn(d, IDC_BTN_OK);
                BringToFront(d);
                MoveMouse(
                    ClientToScreenPoint(d, (ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2));
                s.host->Settle();
                // Without a usable band the title area is plain white under the title text.
                const Capture shot(d);
                EXPECT_EQ(shot.At(shot.Width() / 2, 2), RGB(255, 255, 255));
                AskResizeAndSayNo(s, d, shipped::kWarning);
                MoveMouse({1, 1});
            },
            {L"skin image"});
        // (Names are not case-sensitive: the module names the folder "Skin".)
        const auto lower = [](std::wstring text) {
            std::transform(text.begin(), text.end(), text.begin(), ::towlower);
            return text;
        };
        for (const wchar_t* file : images) {
            const auto lines = session.LogWith(L"skin image");
            const size_t named = std::count_if(
                lines.begin(), lines.end(),
                [&](const std::wstring& l) { return lower(l).find(lower(file)) != l.npos; });
            EXPECT_TRUE(named == 1 || (named == 0 && std::string(c.name) != "Missing"))
                << Narrow(file);
        }
        for (size_t i = 0; i < std::size(images); ++i)
            session.sandbox.WriteFile(images[i], originals[i]);
    }
}

// From 230 characters on, the group frames' bitmap path no longer fits, nor does the log in
// the sandbox's temporary folder: the debugger output tells what was refused. At 300 the
// executable's own path is beyond the platform's limit: the platform refuses to start it, and
// the refusal leaves nothing behind.
TEST(HostileInputTest, LongHostFoldersRefuseWhatDoesNotFitAndWorkOn) {
    const struct {
        size_t length;
        bool framesDrawn, startable;
        const char* traced;  // part of the debugger trace that tells what was refused
    } cases[] = {{225, true, true, nullptr},
                 {230, false, true, "too long for the group frames"},
                 {300, false, false, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        Session session("LongFolder", c.length);
        ASSERT_EQ(session.sandbox.Dir().size(), c.length);
        session.Prepare();
        if (!c.startable) {
            EXPECT_FALSE(session.host->Started());
            EXPECT_TRUE(session.sandbox.Calls().empty());
            continue;
        }
        ExpectDefinedOutcome(
            session,
            [&](Session&, HWND d) {
                EXPECT_EQ(Text(d, IDC_CHECK_PROTECT), L"Turn on system protection");
                ExpectControls(d, "protect=on");
                // The left edge of a group frame, below its caption: drawn, or white.
                const RECT frame = RectIn(d, IDC_SCHEDULE_FRAME);
                const int white =
                    Capture(d).Count({frame.left, frame.top + 20, frame.left + 6, frame.top + 40},
                                     RGB(255, 255, 255));
                EXPECT_EQ(white < 6 * 20, c.framesDrawn) << white << " white pixels of 120";
            },
            {});
        if (c.traced) {
            EXPECT_TRUE(session.host->HasTrace(c.traced));
        }
    }
}

// Another program holds the log: each failure is still handled, and its record written
// unless the file cannot be opened at all.
TEST(HostileInputTest, AHeldLogStillLetsFailuresBeHandled) {
    const auto open = [](const std::wstring& path, DWORD share) {
        return ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    const struct {
        const char* name;
        std::function<HANDLE(const std::wstring&)> hold;  // released after the opening
        bool written;
    } holders[] = {
        // Another writer keeps the writers' lock: the record waits a bounded time, then goes.
        {"LockHeld",
         [&](const std::wstring& path) {
             HANDLE file = open(path, FILE_SHARE_READ | FILE_SHARE_WRITE);
             OVERLAPPED at{};
             at.OffsetHigh = 0x7FFFFFF0;
             ::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at);
             return file;
         },
         true},
        {"OpenWithoutSharing", [&](const std::wstring& path) { return open(path, 0); }, false},
        // Written only where the platform lets this user write a read-only file (root can).
        {"ReadOnly",
         [&](const std::wstring& path) {
             ::CloseHandle(open(path, 0));
             ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
             return INVALID_HANDLE_VALUE;
         },
         true},
    };
    Session session;
    for (const auto& holder : holders) {
        SCOPED_TRACE(holder.name);
        session.Prepare();
        session.sandbox.FailEngine("GetSpaceUsage", 21);
        const std::wstring path = session.sandbox.LogPath();
        HANDLE held = holder.hold(path);
        HWND dialog = session.host->OpenSettings(kWaitMs);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Text(dialog), shipped::kTitle);
        ASSERT_TRUE(session.host->CloseSettings(dialog, kWaitMs));
        if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
        HANDLE probe =
            ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const bool writable = probe != INVALID_HANDLE_VALUE;
        if (writable) ::CloseHandle(probe);
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        const bool written = holder.written && (writable || std::string(holder.name) != "ReadOnly");
        session.ExpectLog(written ? std::vector<std::wstring>{L"] Error = 21 (File="}
                                  : std::vector<std::wstring>{});
    }
}

}  // namespace
