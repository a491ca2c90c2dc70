// settingcheck as a translator or skin designer uses it: a copy of the shipped configuration,
// broken in one way at a time, checked through the command line; the report must name the
// file, section and key, and the exit status must say whether anything was found.
//
// Each row of the tables below is one broken copy (or one command line) and the lines the
// report must then hold, written as the user reads them; one runner checks every row.
// The same tests run natively (own INI reader, estimated text widths) and in the Windows
// build under Wine (the platform's INI reader, GDI+ decoding, GDI measurement).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "Command.h"
#include "ConfigKeys.h"
#include "Strings.h"
#include "Text.h"
#include "TextMeter.h"

namespace fs = std::filesystem;
using settingcheck::ToUtf8;

namespace {

constexpr size_t npos = std::string::npos;

#ifdef _WIN32
constexpr bool kMeasured = true;
#else
constexpr bool kMeasured = false;
#endif

// What is wrong with a damaged image: as the native decoders tell it; GDI+ only fails.
std::string Damage(const std::string& what) {
    return kMeasured ? "GDI+ cannot decode it" : what;
}

// ---- Bytes of files -------------------------------------------------------------------------

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

// `v` as four bytes, the most significant first when `big`.
std::string Bytes(uint32_t v, bool big) {
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> 8 * (big ? 3 - i : i)) & 0xFF);
    return out;
}

std::string Chunk(const std::string& type, const std::string& body) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : type + body) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return Bytes(static_cast<uint32_t>(body.size()), true) + type + body + Bytes(~crc, true);
}

// The grey of the images below unless a row asks for another: white and black text both keep
// 4.5 : 1 on it (4.54 and 4.62), so that only the images a row means to be too light or too
// dark are reported for contrast.
constexpr char kMidGrey = '\x76';

// An opaque grey RGB PNG at `dpi` (0: no resolution chunk) with `rows` rows of pixel data
// (all of them when negative), stored uncompressed in the zlib stream.
std::string Png(uint32_t width, uint32_t height, int dpi = 96, int rows = -1,
                char grey = kMidGrey) {
    std::string raw, zlib = "\x78\x01";
    for (int y = 0; y < (rows < 0 ? static_cast<int>(height) : rows); ++y)
        raw += '\0' + std::string(width * 3, grey);
    uint32_t a = 1, b = 0;
    for (size_t at = 0; at == 0 || at < raw.size(); at += 65535) {  // stored blocks
        const std::string block = raw.substr(at, 65535);
        const uint32_t n = static_cast<uint32_t>(block.size());
        zlib +=
            static_cast<char>(at + n == raw.size()) + Bytes(n | (~n & 0xFFFF) << 16, false) + block;
        for (unsigned char c : block)
            b = (b + (a = (a + c) % 65521)) % 65521;
    }
    const std::string perMetre = Bytes(static_cast<uint32_t>(dpi / 0.0254 + 0.5), true);
    return "\x89PNG\r\n\x1A\n" +
           Chunk("IHDR",
                 Bytes(width, true) + Bytes(height, true) + std::string("\x08\x02\0\0\0", 5)) +
           (dpi > 0 ? Chunk("pHYs", perMetre + perMetre + '\x01') : "") +
           Chunk("IDAT", zlib + Bytes(b << 16 | a, true)) + Chunk("IEND", "");
}

// A grey 24-bit BMP at 96 dpi.
std::string Bmp(uint32_t width, uint32_t height, char grey = kMidGrey) {
    const uint32_t size = ((width * 3 + 3) & ~3u) * height;
    std::string bmp = "BM";
    for (uint32_t v :
         {54 + size, 0u, 54u, 40u, width, height, 1u | 24u << 16, 0u, size, 3780u, 3780u, 0u, 0u})
        bmp += Bytes(v, false);
    return bmp + std::string(size, grey);
}

std::string Noise(size_t size) {
    std::string noise(size, '\0');
    std::mt19937 random(7);
    std::generate(noise.begin(), noise.end(), [&] { return static_cast<char>(random() & 0xFF); });
    return noise;
}

// ---- A configuration folder to break --------------------------------------------------------

// A copy of the shipped Setting.ini, CreateDisk.ini and skin folder in a folder of its own.
struct Copy {
    const fs::path dir =
        fs::temp_directory_path() / ("settingcheck-" + std::to_string(std::random_device()()));

    Copy() {
        fs::create_directories(dir);
        for (const char* name : {"Setting.ini", "CreateDisk.ini", "skin"})
            fs::copy(fs::path(SETTINGCHECK_SOURCE_CONFIG) / name, dir / name,
                     fs::copy_options::recursive);
        // The shipped OK faces are lighter than their white caption needs (a row of their own
        // says so); the copy has dark faces of the same size, so that a row finds only what it
        // is about.
        Write("skin/default/btn/ok_normal.png", Png(90, 30, 96, -1, '\x20'));
        Write("skin/default/btn/ok_hover.png", Png(90, 30, 96, -1, '\x20'));
    }
    ~Copy() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    std::string Read(const std::string& file) const { return ReadAll(dir / file); }
    void Write(const std::string& file, const std::string& bytes) const {
        std::ofstream(dir / file, std::ios::binary | std::ios::trunc) << bytes;
    }

    // "[section] key=value" sets a key of Setting.ini (added when missing, the section too),
    // "File.ini [section] key=value" one of that file; without '=' the key is removed.
    void Set(const std::string& line) const {
        const size_t open = line.find('['), close = line.find("] "), equals = line.find('=');
        const std::string file = open ? line.substr(0, open - 1) : "Setting.ini";
        const std::string section = line.substr(open, close - open + 1),
                          entry = line.substr(close + 2);
        std::string text = Read(file), lower = Lower(text);
        size_t at = lower.find("\n" + Lower(section));
        if (at == npos && equals != npos) text += section + "\r\n";
        at = at == npos ? text.size() : text.find('\n', at + 1) + 1;  // its first line
        const size_t end = lower.find("\n[", at),
                     key = lower.find("\n" + Lower(entry.substr(0, entry.find('='))) + "=", at - 1);
        if (key < end) text.erase(key + 1, text.find('\n', key + 1) - key);
        if (equals != npos) text.insert(key < end ? key + 1 : at, entry + "\r\n");
        Write(file, text);
    }
};

// A change to a copy: a key as Copy::Set takes it, or any other.
struct Edit {
    std::function<void(const Copy&)> apply;

    Edit(std::function<void(const Copy&)> how) : apply(std::move(how)) {}
    Edit(std::string line) : apply([line](const Copy& copy) { copy.Set(line); }) {}
    Edit(const char* line) : Edit(std::string(line)) {}
};

Edit Write(const std::string& file, const std::string& bytes) {
    return Edit([=](const Copy& copy) { copy.Write(file, bytes); });
}
Edit Delete(const std::string& path) {
    return Edit([=](const Copy& copy) { fs::remove_all(copy.dir / path); });
}
// Replaces every `from` in the file, of which there must be one at least.
Edit Replace(const std::string& file, const std::string& from, const std::string& to) {
    return Edit([=](const Copy& copy) {
        std::string text = copy.Read(file);
        EXPECT_NE(text.find(from), npos) << from;
        for (size_t at = text.find(from); at != npos; at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
        copy.Write(file, text);
    });
}

// Saves the file as UTF-16 LE with a byte-order mark ("Unicode").
Edit SaveAsUnicode(const std::string& file) {
    return Edit([=](const Copy& copy) {
        std::string bytes = "\xFF\xFE";
        for (wchar_t c : settingcheck::FromUtf8(copy.Read(file)))
            bytes += std::string{static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF)};
        copy.Write(file, bytes);
    });
}

// ---- Running the command --------------------------------------------------------------------

bool IsOutput(const std::string& want) {
    return want.rfind("stdout: ", 0) == 0 || want.rfind("stderr: ", 0) == 0;
}

struct Outcome {
    int exit;
    std::string out, err;

    // `want` as a report line, "file [section] key: text" ("[section] key: text" of Setting.ini):
    // a finding line that starts so and whose message contains the text. "stdout: text" or
    // "stderr: text": that text in the output.
    bool Has(std::string want) const {
        if (want[0] == '[') want = "Setting.ini " + want;
        const size_t colon = want.find(": ") + 2;
        const std::string prefix = want.substr(0, colon), text = want.substr(colon);
        if (IsOutput(want)) return (prefix == "stdout: " ? out : err).find(text) != npos;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);)
            if (line.rfind(prefix, 0) == 0 && line.find(text, colon) != npos) return true;
        return false;
    }
    int Findings() const { return static_cast<int>(std::count(out.begin(), out.end(), '\n')) - 1; }
    std::string Text() const { return "exit " + std::to_string(exit) + "\n" + out + err; }
};

Outcome RunTool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int exit = settingcheck::RunCommand(args, out, err);
    return {exit, out.str(), err.str()};
}

// One row: the changes to a fresh copy and the lines the report must then hold; how many
// findings in all when the row knows; the exit status when not 1 for a wanted finding, else 0;
// the command line when not just the copy's folder ("{dir}" stands for it).
struct Case {
    std::string name;
    std::vector<Edit> edits;
    std::vector<std::string> wants;
    int findings = -1, exit = -1;
    std::vector<std::string> args = {"{dir}"};

    Case& Findings(int n) { return findings = n, *this; }
    Case& Exit(int status) { return exit = status, *this; }
    Case& Args(std::vector<std::string> line) { return args = std::move(line), *this; }
    friend void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
};

Case Row(const std::string& name, const std::vector<Edit>& edits,
         const std::vector<std::string>& wants = {}) {
    return {name, edits, wants};
}

// One key changed: findings on that key whose messages contain the `texts`, or none.
Case Key(const std::string& name, const std::string& edit, std::vector<std::string> texts = {}) {
    for (std::string& text : texts)
        text = edit.substr(0, edit.find('=')) + ": " + text;
    return Row(name, {edit}, texts);
}

// A text too wide for its control: the finding says so, and how the width was found.
Case Fit(const std::string& name, const std::string& edit, const std::string& text) {
    return Key(name, edit,
               {text, kMeasured ? "measured in \"Segoe UI\" with GDI" : "estimated from a table"});
}

class SettingCheck : public ::testing::TestWithParam<Case> {};

TEST_P(SettingCheck, ReportsWhatTheRowExpects) {
    const Case& c = GetParam();
    const Copy copy;
    for (const Edit& edit : c.edits)
        edit.apply(copy);
    std::vector<std::string> args = c.args;
    for (std::string& arg : args)
        if (arg.rfind("{dir}", 0) == 0) arg = ToUtf8(copy.dir.wstring()) + arg.substr(5);
    const Outcome outcome = RunTool(args);
    const bool finding = !std::all_of(c.wants.begin(), c.wants.end(), IsOutput);
    EXPECT_EQ(outcome.exit, c.exit >= 0 ? c.exit : finding ? 1 : 0) << outcome.Text();
    for (const std::string& want : c.wants)
        EXPECT_TRUE(outcome.Has(want)) << want << "\n" << outcome.Text();
    EXPECT_TRUE(c.findings < 0 || outcome.Findings() == c.findings) << outcome.Text();
    const bool json = std::count(args.begin(), args.end(), "--json") > 0;
    const std::string& out = outcome.out;  // a JSON report is one object, whatever happened
    EXPECT_TRUE(!json || (out.size() > 2 && out[0] == '{' && out.rfind("}\n") == out.size() - 2))
        << out;
}

#define ROWS(table, ...)                                                          \
    INSTANTIATE_TEST_SUITE_P(table, SettingCheck, ::testing::Values(__VA_ARGS__), \
                             [](const auto& info) { return info.param.name; })

// Every key of the module's table: named in the key reference, and reported when removed
// unless an empty value is right for it.
TEST(EveryKey, IsNamedInTheReferenceAndReportedWhenRemoved) {
    const Copy copy;
    const std::string reference = RunTool({"--reference"}).out;
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const config::Key& key = *config::AllKeys()[i];
        const bool list = key.kind == config::Kind::List;
        const std::string name = ToUtf8(key.name), file = ToUtf8(config::FileName(key.file));
        EXPECT_NE(reference.find(list ? "`TIME_0`" : "| `" + name + "` |"), npos) << name;
        if (list || key.MayBeEmpty()) continue;
        const std::string before = copy.Read(file);
        const std::string where = file + " [" + ToUtf8(key.section) + "] " + name;
        copy.Set(where);
        const Outcome outcome = RunTool({ToUtf8(copy.dir.wstring())});
        EXPECT_EQ(outcome.exit, 1) << where;
        EXPECT_TRUE(outcome.Has(where + ": is missing: " + key.whenMissing)) << outcome.Text();
        copy.Write(file, before);
    }
}

#ifdef SETTINGCHECK_REFERENCE_DOC
TEST(Reference, CommittedDocumentIsCurrent) {
    EXPECT_TRUE(ReadAll(SETTINGCHECK_REFERENCE_DOC) == RunTool({"--reference"}).out)
        << SETTINGCHECK_REFERENCE_DOC
        << " is not what `settingcheck --reference` prints; regenerate it with\n"
           "  build/native/settingcheck --reference > docs/CONFIGURATION.md";
}
#endif

#ifdef _WIN32
TEST(WidthTable, MatchesWhatGdiMeasures) {
    const auto gdi = settingcheck::MakeGdiMeter(), table = settingcheck::MakeTableMeter();
    ASSERT_NE(gdi, nullptr) << "GDI cannot measure here";
    const std::wstring sample =
        L"The quick brown fox jumps over the lazy dog: 0123456789 (WAIT) [USED] & more...";
    for (settingcheck::Font font :
         {settingcheck::kDialogFont, settingcheck::kButtonFont, settingcheck::kCaptionFont}) {
        EXPECT_NEAR(table->Width(sample, font), gdi->Width(sample, font), 2)
            << font.pixels << " px: FontTable.inc is out of date; regenerate it with\n"
            << "  scripts/wine-run build/x64/bin/settingcheck.exe --font-table"
               " > tools/settingcheck/FontTable.inc";
        EXPECT_EQ(table->LineHeight(font), gdi->LineHeight(font)) << font.pixels;
    }
    const settingcheck::Font dialog = settingcheck::kDialogFont;
    EXPECT_EQ(table->BaseUnitX(dialog), gdi->BaseUnitX(dialog));
    EXPECT_EQ(table->BaseUnitY(dialog), gdi->BaseUnitY(dialog));
    EXPECT_EQ(table->FrameExtraWidth(), gdi->FrameExtraWidth());
    EXPECT_EQ(table->FrameExtraHeight(), gdi->FrameExtraHeight());
}
#endif

// ---- The tables -----------------------------------------------------------------------------
//
// A row: Row(name, changes to the copy, lines the report must hold), or Key(name, one key
// changed, the findings on that key); then, where needed, .Findings(how many in all),
// .Exit(status) and .Args(command line). Changes are written as INI lines, findings as the
// report prints them; "[section] ..." stands for Setting.ini in both.

const char kWndBk[] = "skin/default/frame/wndbk.png",
           kLineFrame[] = "skin/default/frame/Line_Frame.bmp",
           kCloseBox[] = "skin/default/frame/title_buttons.png",
           kOk[] = "skin/default/btn/ok_normal.png", kOkHover[] = "skin/default/btn/ok_hover.png";
const std::string kTitle = "[SETTING] TITLE=[PRODUCTNAME] Settings for Protection and Snapshots";
const std::string kLongName(40, 'W');
// At 120 dpi rectangles grow by 1.25, a 10 pt caption from 13 to 17 px, 8 pt texts from 11 to 13.
const std::string kCaption =
    "[SETTING] IDC_SEC_FRAME=\" Security and protection with a passcode \"";
const std::string kCheckBox =
    "[SETTING] CP=Turn on system protection for every drive and partition.";
const std::string kGerman =
    "[SETTING] NT_TOASTER=Popup-Meldungen \xC3\xBC"
    "ber \xC3\x84nderungen";  // UTF-8
const std::string kJsonPosition =
    "stdout: \"check\": \"position\", \"file\": \"Setting.ini\", \"section\": \"POSITION\", "
    "\"key\": \"CP\", \"message\": \"part \\\"\\\"300\\\"\\\" of";

// clang-format off

// ---- The command line and the shipped configuration -----------------------------------------

ROWS(CommandLine,
    // The shipped skin's OK faces are lighter than normal text needs under the white caption;
    // the look is kept as it is, and the checker says so. Nothing else is found.
    Row("ShippedFolderFindsOnlyTheOkCaptionsContrast", {},
        {"[PIC] BTN_OK_PIC: the OK caption (white) has a contrast of 4.1 : 1 on skin\\default\\btn\\ok_normal.png",
         "[PIC] BTN_OK_PIC_H: the OK caption (white) has a contrast of 2.9 : 1 on skin\\default\\btn\\ok_hover.png"}).Findings(2).Exit(1).Args({SETTINGCHECK_SOURCE_CONFIG}),
    Row("JsonWithoutFindings", {}, {"stdout: \"findings\": []"}).Args({"--json", "{dir}"}),
    Row("JsonCarriesFileSectionKeyAndMessage", {"[POSITION] CP=24,68,\"300\",20", "[SETTING] NT_TITLE=Tab\there"},
        {kJsonPosition, kMeasured ? "stdout: \"textWidths\": \"measured\"" : "stdout: \"textWidths\": \"estimated\""}).Exit(1).Args({"--json", "{dir}"}),
    Row("FolderDoesNotExist", {}, {"stderr: does not exist"}).Exit(2).Args({"{dir}/no-such-folder"}),
    Row("FolderIsAFile", {}, {"stderr: not a folder"}).Exit(2).Args({"{dir}/Setting.ini"}),
    Row("JsonOfAFolderThatCannotBeRead", {}, {"stdout: \"readable\": false"}).Exit(2).Args({"--json", "{dir}/no-such-folder"}),
    Row("NoFolderShowsTheUsage", {}, {"stderr: usage: settingcheck"}).Exit(2).Args({}),
    Row("UnknownOptionShowsTheUsage", {}, {"stderr: usage: settingcheck"}).Exit(2).Args({"--frobnicate", "."}),
    Row("TwoFoldersShowTheUsage", {}, {"stderr: usage: settingcheck"}).Exit(2).Args({"a", "b"}),
    Row("ShippedFolderFitsAt480Dpi", {}, {"stdout: no findings"}).Findings(0).Args({"--dpi", "480", "{dir}"}),
    Row("DpiBelow96", {}, {"stderr: --dpi takes a whole number from 96 to 480", "stderr: usage:"}).Exit(2).Args({"--dpi", "95", "{dir}"}),
    Row("DpiAbove480", {}, {"stderr: --dpi takes a whole number"}).Exit(2).Args({"{dir}", "--dpi", "481"}),
    Row("DpiAsAPercentage", {}, {"stderr: --dpi takes a whole number"}).Exit(2).Args({"--dpi", "150%", "{dir}"}),
    Row("ReferenceNamesThePlaceholders", {}, {"stdout: `[PRODUCTNAME]`", "stdout: `[USED]`", "stdout: `[TOTAL]`"}).Args({"--reference"}));

// ---- Missing and empty keys and files -------------------------------------------------------

ROWS(Missing,
    // The third password field is empty, as it should be: five findings, not six.
    Row("EmptyValuesExceptWhereEmptyIsRight",
        {"[SETTING] BTN_OK=", "[SETTING] NT_TOASTER=\"  \"", "CreateDisk.ini [String] IDS_NO=", "[SETTING] E_NEWPASS=secret", "[SETTING] E_CURPASS=old"},
        {"[SETTING] BTN_OK: is empty: the OK button has no caption", "[SETTING] NT_TOASTER: is empty", "CreateDisk.ini [String] IDS_NO: is empty",
         "[SETTING] E_NEWPASS: is not empty", "[SETTING] E_CURPASS: every new password is refused"}).Findings(5),
    Row("SettingIni", {Delete("Setting.ini")}, {"Setting.ini: is missing"}).Findings(1),
    Row("CreateDiskIni", {Delete("CreateDisk.ini")}, {"CreateDisk.ini: is missing"}).Findings(1),
    Row("AnEmptyFolderIsAFindingNotAFailure", {Delete("Setting.ini"), Delete("CreateDisk.ini"), Delete("skin")},
        {"Setting.ini: is missing", "CreateDisk.ini: is missing", "skin\\default\\frame\\wndbk.png: is missing"}).Findings(4),
    Key("CountOfThePeriodLists", "[TIMELIST] COUNT", {"is missing: both period lists stay empty"}));

// ---- Positions ------------------------------------------------------------------------------

ROWS(Positions,
    Key("ThreeNumbers", "[POSITION] CP=24,68,300", {"has 3 numbers"}),
    Key("SixNumbers", "[POSITION] CP=24,68,300,20,0,5", {"has 6 numbers"}),
    Key("NotANumber", "[POSITION] SC_TITLE=24,166,wide,18", {"part \"wide\" of"}),
    Key("UnitAfterNumber", "[POSITION] SC_TITLE=24px,166,540,18", {"is read as 24"}),
    Key("EmptyPart", "[POSITION] NT_TITLE=24,,412,258,18", {"has an empty part"}),
    Key("NegativeSize", "[POSITION] PASS=318,412,-258,20", {"negative width"}),
    Key("NoSize", "[POSITION] NT_TOASTER=36,456,0,20", {"cannot be seen"}),
    Key("OutsideTheDialog", "[POSITION] VP_RESIZE=436,97,180,18", {"outside the settings dialog (600 x 500)"}),
    Key("BelowTheDialog", "[POSITION] BTN_OK=498,480,90,30", {"outside the settings dialog"}),
    Key("InTheTitleBand", "[POSITION] IDC_VP_FRAME_POS=12,20,500,88", {"in the title band"}),
    Key("OverTheCloseBox", "[POSITION] IDC_VP_FRAME_POS=12,31,576,88", {"over the close box"}),
    Key("OverlapInAFrame", "[POSITION] VP_RESIZE=300,97,140,18", {"overlaps VP_FREESHOW at 24,97,380,18 inside the group frame IDC_VP_FRAME_POS"}),
    Key("OverlapOfAClosedList", "[POSITION] SC_MINUTES=230,192,324,18", {"overlaps SC_EDIT at 116,189,120,22"}),
    Key("TwoFrames", "[POSITION] IDC_AR_FRAME_POS=12,290,576,84", {"overlaps IDC_SCHEDULE_FRAME_POS"}),
    Key("OutOfItsFrame", "[POSITION] NT_TOASTER=36,456,246,40", {"sticks out of its group frame IDC_NOTI_FRAME_POS"}),
    Key("OverTheFrameCaption", "[POSITION] CP=24,45,300,20", {"covers the caption of its frame IDC_VP_FRAME_POS"}),
    Key("ShortDropDownList", "[POSITION] EV_CYCLE_CB=116,264,120,30", {"shows fewer than two entries"}),
    Key("DialogHidden", "[POSITION] SET_FRAME=0,0,600,500,1", {"hides the whole dialog"}),
    Key("DialogWithoutSize", "[POSITION] PASSDLG=0,0,0,230", {"no size"}),
    Key("OutsideThePasswordClientArea", "[POSITION] S_PASSCANCEL=268,150,110,26", {"outside the password dialog's client area"}),
    Key("PasswordControlsOverlap", "[POSITION] E_NEWPASS2=176,30,176,22", {"overlaps E_NEWPASS"}),
    // Hidden controls are left alone: the current-password row lies under the new one.
    Key("HiddenOverlapIsFine", "[POSITION] S_CURPASS=20,56,150,18,1"),
    Key("QuotedValueIsFine", "[POSITION] CP=\"24,68,300,20\""),
    Key("BlanksAroundNumbersAreFine", "[POSITION] CP= 24 , 68 , 300 , 20 "),
    Key("ALargerDialogIsFine", "[POSITION] SET_FRAME=100,100,640,520"));

// ---- Period lists ---------------------------------------------------------------------------

ROWS(PeriodLists,
    Key("CountNotANumber", "[TIMELIST] COUNT=seven", {"is not a number of entries"}),
    Row("EntriesMustBeThereAndStartWithTheirHours",
        {"[TIMELIST] TIME_3", "[TIMELIST] TIME_4=six hours", "[TIMELIST] TIME_5=2 hours again", "[TIMELIST_EVENT] TIME_6=2000 hours"},
        {"[TIMELIST] TIME_3: is missing: COUNT of [TIMELIST] is 7", "[TIMELIST] TIME_4: does not start with its number of hours",
         "[TIMELIST] TIME_5: like TIME_2", "[TIMELIST_EVENT] TIME_6: at most 1092 hours"}),
    Row("CycleListNeedsAsManyEntriesAsCount", {"[TIMELIST_EVENT] TIME_5", "[TIMELIST_EVENT] TIME_6"},
        {"[TIMELIST_EVENT] TIME_5: the cycle list shows an empty entry", "[TIMELIST_EVENT] TIME_6: the cycle list shows an empty entry"}).Findings(2),
    Row("FirstEntryAndEntriesBeyondCount", {"[TIMELIST] TIME_0=a quarter of an hour", "[TIMELIST_EVENT] TIME_0=2 half hours", "[TIMELIST] TIME_7=48 hours"},
        {"[TIMELIST] TIME_0: a stored period of 0 (option off) would select it", "[TIMELIST_EVENT] TIME_0: would select TIME_0 as well",
         "[TIMELIST] TIME_7: is never shown: COUNT of [TIMELIST] is 7"}));

// ---- Placeholders, format sequences, ampersands ---------------------------------------------

ROWS(Texts,
    Key("UnknownPlaceholder", "[SETTING] TITLE=[PRODUCT] Settings", {"[PRODUCT] is not a placeholder of the module"}),
    Key("PlaceholderInTheWrongKey", "[SETTING] CP=Turn on [PRODUCTNAME]", {"[PRODUCTNAME] is not replaced in this text"}),
    Key("UsageFigureInTheWrongKey", "[SETTING] VP_RESIZE=Resize [TOTAL]", {"replaced only in VP_FREESHOW of [SETTING]"}),
    Key("PlaceholderInLowerCase", "[SETTING] VP_FREESHOW=[used] of [TOTAL] GB", {"write [USED]"}),
    Key("UsageLineWithoutAFigure", "[SETTING] VP_FREESHOW=[USED] GB used", {"has no [TOTAL]"}),
    Key("PlaceholderInAListEntry", "[TIMELIST] TIME_2=2 [HOURS]", {"[HOURS] is not a placeholder"}),
    Key("TrayNameReplacesTheProductName", "[TRAY] NAME=[PRODUCTNAME] Tray"),
    Key("BracketsThatAreNoPlaceholder", "[SETTING] NT_TITLE=Keep me informed [ 1 ] [2]:"),
    Key("SaveFailWithABarePercent", "[Setting] S_MSG_PASS_SAVEFAIL=100 % done? error %d", {"only the first integer conversion, \"% d\", receives"}),
    Key("SingleAmpersand", "[SETTING] NT_TOASTER=Pop-ups & messages", {"a single '&' is not shown"}),
    Key("DoubledAmpersand", "[SETTING] NT_TOASTER=Pop-ups && messages"),
    Key("AmpersandInAFrameCaptionIsShown", "[SETTING] IDC_SEC_FRAME=\" Security & privacy \""),
    // Access keys: one per control and dialog, none that the settings dialog swallows.
    Key("AccessKey", "[SETTING] NT_TOASTER=&Pop-up messages"),
    Key("AccessKeyTheSettingsDialogSwallows", "[SETTING] NT_TOASTER=&All pop-up messages", {"the access key Alt+A never works: the settings dialog swallows Alt+A"}),
    Key("AccessKeyOfTheCloseBoxSwallowed", "[SETTING] BTN_CLOSE=Close and &depart", {"the access key Alt+D never works"}),
    Row("AccessKeyUsedTwiceInADialog", {"[SETTING] NT_TRAYICON=An icon in the &notification area", "[SETTING] NT_TOASTER=&Notifications"},
        {"[SETTING] NT_TOASTER: the access key Alt+N is also that of NT_TRAYICON in the same dialog"}).Findings(1),
    Row("OneAccessKeyInTwoDialogs", {"[SETTING] PASS=Turn on &password protection", "[SETTING] S_NEWPASS=New &password:"}).Findings(0));

// clang-format on

// ---- The save-failure message's format sequences --------------------------------------------

// A hostile S_MSG_PASS_SAVEFAIL: what the module shows with the engine's error code 5 (its own
// rule), and the sequences the checker must report as shown as written. It must report that the
// code is not shown exactly when the module's text does not change with the code.
struct FormatRow {
    std::string pattern;
    std::wstring shown;
    std::vector<std::string> asWritten;
};

TEST(SaveFailFormat, CheckerReportsWhatTheModuleShows) {
    const FormatRow rows[] = {
        {"Error %d.", L"Error 5.", {}},
        {"Not saved.", L"Not saved.", {}},
        {"Error %08X (100%%)", L"Error 00000005 (100%)", {}},
        {"Error %d (%d)", L"Error 5 (%d)", {"%d"}},
        {"%%d", L"%d", {}},
        {"[%-5d]", L"[5    ]", {}},
        {"Not saved: %s, %ls", L"Not saved: %s, %ls", {"%s", "%ls"}},
        {"%ld or %*d", L"%ld or %*d", {"%ld", "%*d"}},
        {"Error %", L"Error %", {"%"}},
        {"%5 of %d", L"%5 of 5", {"%5"}},
        {"%5%d", L"%55", {"%5"}},
        {"100 % done? error %d", L"100  5one? error %d", {"%d"}},
        // A width or precision up to 32 is filled; a wider one is shown, however it wraps.
        {"[%32d]", L"[" + std::wstring(31, L' ') + L"5]", {}},
        {"[%.32i]", L"[" + std::wstring(31, L'0') + L"5]", {}},
        {"[%33d]", L"[%33d]", {"%33d"}},
        {"[%99d]", L"[%99d]", {"%99d"}},
        {"[%4294967301d]", L"[%4294967301d]", {"%4294967301d"}},
        {"[%.4294967301x]", L"[%.4294967301x]", {"%.4294967301x"}},
    };
    const Copy copy;
    const std::string prefix = "Setting.ini [Setting] S_MSG_PASS_SAVEFAIL: \"";
    for (const FormatRow& row : rows) {
        SCOPED_TRACE(row.pattern);
        const std::wstring pattern = settingcheck::FromUtf8(row.pattern);
        const std::wstring shown = text::FormatWithOneInteger(pattern, 5);
        EXPECT_EQ(shown, row.shown);
        copy.Set("[Setting] S_MSG_PASS_SAVEFAIL=" + row.pattern);
        const Outcome outcome = RunTool({ToUtf8(copy.dir.wstring())});
        std::vector<std::string> reported;
        std::istringstream lines(outcome.out);
        for (std::string line; std::getline(lines, line);) {
            const size_t end = line.find("\" shows as written");
            if (line.rfind(prefix, 0) == 0 && end != npos)
                reported.push_back(line.substr(prefix.size(), end - prefix.size()));
        }
        EXPECT_EQ(reported, row.asWritten) << outcome.Text();
        for (const std::string& sequence : reported)
            EXPECT_NE(ToUtf8(shown).find(sequence), npos) << sequence;
        const bool codeShown = shown != text::FormatWithOneInteger(pattern, 6);
        EXPECT_EQ(outcome.Has("[Setting] S_MSG_PASS_SAVEFAIL: has no %d"), !codeShown)
            << outcome.Text();
    }
}

// clang-format off

// ---- Skin images ----------------------------------------------------------------------------

ROWS(SkinImages,
    // The close box strip with its height in IHDR changed: the chunk's CRC fails.
    Row("MissingAndDamaged",
        {Delete(kWndBk), Write(kLineFrame, Bmp(21, 21).substr(0, 699)), Write(kCloseBox, Png(80, 25).replace(22, 1, "\x55")), Write(kOkHover, "This is not an image.\r\n")},
        {"skin\\default\\frame\\wndbk.png: is missing", "Skin\\default\\frame\\Line_Frame.bmp: cut short", "[SETTING] IDC_BTNS: " + Damage("IHDR fails its CRC"), "[PIC] BTN_OK_PIC_H: not an image"}).Findings(4),
    Row("DataShorterThanItsHeader", {Write(kOk, Png(90, 30, 96, 10))}, {"[PIC] BTN_OK_PIC: " + Damage("ok_normal.png: the PNG image data holds fewer rows")}),
    Row("SmallerThanWhatTheModuleCuts",
        {Write(kWndBk, Png(40, 30)), Write(kLineFrame, Bmp(18, 21)), Write(kCloseBox, Png(48, 25)), Write(kOk, Png(80, 30)), Write(kOkHover, Png(100, 40))},
        {"skin\\default\\frame\\wndbk.png: is 40 x 30, smaller than 60 x 30", "Skin\\default\\frame\\Line_Frame.bmp: smaller than 21 x 21",
         "[SETTING] IDC_BTNS: at least 50 x 25", "[PIC] BTN_OK_PIC: smaller than the button (90 x 30", "[PIC] BTN_OK_PIC_H: larger than the button"}).Findings(5),
    Row("OkFacesFollowTheButtonsRectangle", {"[POSITION] BTN_OK=488,456,100,34", Write(kOk, Png(100, 34)), Write(kOkHover, Bmp(100, 34))}),
    // An image without a resolution is drawn at 96 dpi.
    Row("ResolutionOtherThan96Dpi", {Write(kOk, Png(90, 30, 72)), Write(kOkHover, Png(90, 30, 0))}, {"[PIC] BTN_OK_PIC: stored at 72 dpi"}).Findings(1),
    Row("PathsStartWithABackslashAndIgnoreCase",
        {"[SETTING] IDC_BTNS=skin\\default\\frame\\title_buttons.png", "[PIC] BTN_OK_PIC=\\SKIN\\Default\\BTN\\OK_Normal.PNG", "[TRAY] IMAGE=CorvianexTray.exe"},
        {"[SETTING] IDC_BTNS: does not start with a backslash", "[TRAY] IMAGE: does not start with a backslash"}).Findings(2),
    // Larger copies ("name@2x.png", in any case) must be exactly twice the size.
    Row("LargerCopies",
        {Write("skin/default/btn/ok_normal@2x.png", Png(180, 60)), Write("skin/default/btn/OK_Hover@2X.png", Png(180, 61)),
         Write("skin/default/frame/wndbk@2x.png", Png(121, 60)), Write("skin/default/frame/Line_Frame@2x.bmp", Bmp(42, 42).substr(0, 699))},
        {"[PIC] BTN_OK_PIC_H: skin\\default\\btn\\ok_hover@2x.png is 180 x 61 pixels, not twice ok_hover.png (90 x 30): the larger copy is not used",
         "skin\\default\\frame\\wndbk@2x.png: is 121 x 60 pixels, not twice wndbk.png (60 x 30)", "Skin\\default\\frame\\Line_Frame@2x.bmp: cut short"}).Findings(3));

// ---- Contrast of the texts on the skin's images ---------------------------------------------

// The OK caption is white, the title black; the shipped band reads well, the shipped faces do
// not (the command line's ShippedFolderFindsOnlyTheOkCaptionsContrast). Where a face does not
// reach the caption, the caption stands on the white ground.
ROWS(Contrast,
    Row("LightOkFaces", {Write(kOk, Png(90, 30, 96, -1, '\xC0')), Write(kOkHover, Bmp(90, 30, '\xFF'))},
        {"[PIC] BTN_OK_PIC: the OK caption (white) has a contrast of 1.8 : 1 on skin\\default\\btn\\ok_normal.png (below 4.5 : 1",
         "[PIC] BTN_OK_PIC_H: the OK caption (white) has a contrast of 1.0 : 1 on skin\\default\\btn\\ok_hover.png"}).Findings(2),
    Row("DarkFaceShorterThanTheCaption", {Write(kOkHover, Png(90, 8, 96, -1, '\x20'))},
        {"[PIC] BTN_OK_PIC_H: is 90 x 8, smaller than the button", "[PIC] BTN_OK_PIC_H: the OK caption (white) has a contrast of"}).Findings(2),
    Row("DarkFacesReadWell", {Write(kOk, Png(90, 30, 96, -1, '\x20')), Write(kOkHover, Bmp(90, 30, '\x40'))}).Findings(0),
    Row("DarkTitleBand", {Write(kWndBk, Png(60, 30, 96, -1, '\x40'))},
        {"skin\\default\\frame\\wndbk.png: the settings dialog's title (black, TITLE of [SETTING]) has a contrast of 2.0 : 1 on the title band"}).Findings(1));

// ---- Texts likely cut off -------------------------------------------------------------------

ROWS(TextFit,
    Fit("CheckBox", "[SETTING] EV_CYCLE=Additionally every", "its rectangle EV_CYCLE (after the box)"),
    Fit("Label", "[SETTING] IDC_TOTHELATEST=to the most recent snapshot that was taken before", "the text takes 2 lines"),
    Fit("WrappedHelpLine", "[SETTING] S_FORGETPASS=Use up to eight characters. Keep your password in a safe place, "
        "because a forgotten password cannot be recovered by anyone, not even by the support team.", "lines"),
    Fit("FrameCaption", "[SETTING] IDC_SEC_FRAME=\" Security and password protection settings \"", "the frame IDC_SEC_FRAME_POS"),
    Fit("ListEntry", "[TIMELIST] TIME_6=24 hours (once a day, at the same time)", "the closed list SC_EDIT"),
    Fit("RestoreChoice", "[SETTING] COMBOAR_OP2=all protected drives and partitions", "the closed list IDC_COMBO_AR"),
    Fit("OkCaption", "[SETTING] BTN_OK=Save settings and close", "its rectangle BTN_OK"),
    Fit("PasswordButton", "[SETTING] S_PASSCANCEL=Cancel and go back", "its rectangle S_PASSCANCEL"),
    Fit("Title", "[SETTING] TITLE=[PRODUCTNAME] Settings for System Protection, Automatic Snapshots, Restore at Start-up and Notifications",
        "the title band left of the close box"),
    Fit("UsageLineWithLargestFigures", "[SETTING] VP_FREESHOW=Protected space on this computer: [USED] gigabytes in use of [TOTAL] gigabytes",
        "its rectangle VP_FREESHOW"),
    Fit("WaitingText", "[Setting] IDC_SAVESET=Saving your settings and telling the engine about them, please wait", "with its three dots"),
    Fit("MessageHeading", "CreateDisk.ini [String] IDS_WRONG=Something went wrong while the protected space was changed, and nothing was saved",
        "the message window's heading"),
    Fit("MessageText", "[SETTING] RESIZEMSGERROR=The size of the protected space was not changed. The engine did not accept the new size, "
        "or the tool that re-initialises the protected space did not finish. Close other programs that use the disk, make sure that there "
        "is enough free space on it, and try again later. If it fails again, restart the computer first and then try once more. If it "
        "still fails after that, write down the time and ask your administrator for help. Your snapshots and settings are kept as they "
        "were; nothing was lost, and protection stays on while you wait. You can close this message now and go on working.",
        "the message window's text"),
    Fit("MessageButton", "CreateDisk.ini [String] IDS_YES=Yes, resize the space now", "the message window's button"),
    // A long title fits the wider dialog, but a longer product name pushes it under the close box.
    Key("ALongTitleFitsAWiderDialog", kTitle),
    Key("TheProductNameCounts", kTitle, {"\"" + kLongName + "\" for [PRODUCTNAME]"}).Args({"--product-name", kLongName, "{dir}"}),
    // What the Windows build measures, it can be asked to estimate.
    Key("EstimateCanBeAskedFor", "[SETTING] EV_CYCLE=Additionally every", {"estimated from a table"}).Args({"--estimate", "{dir}"}),
    // The same two texts at 96 and at 120 dpi (see kCaption).
    Row("At96Dpi", {kCaption, kCheckBox}, {"[SETTING] CP: pixels wide, but its rectangle CP"}).Findings(1),
    Row("At120Dpi", {kCaption, kCheckBox}, {"[SETTING] IDC_SEC_FRAME: pixels wide at 120 dpi, but the frame"}).Findings(1).Args({"--dpi", "120", "{dir}"}));

// ---- How the INI files are read -------------------------------------------------------------

ROWS(IniReading,
    Row("UnicodeWithByteOrderMarkIsRead", {kGerman, SaveAsUnicode("Setting.ini")}),
    // The same text as UTF-8 shows wrongly under the platform's reader, and as Windows-1252 it
    // depends on the system's code page.
    Row("Utf8IsReported", {kGerman}, {"Setting.ini: is saved as UTF-8"}).Findings(1),
    Row("AnsiIsReported", {"[SETTING] NT_TOASTER=Popup-Meldungen \xFC" "ber \xC4nderungen"}, {"Setting.ini: in an ANSI code page"}),
    // LF line ends only, names in other cases, blanks around names, values and '='.
    Row("FollowsThePlatformsRules",
        {Replace("Setting.ini", "\r\n", "\n"), Replace("Setting.ini", "[POSITION]", "  [position]  "), Replace("Setting.ini", "[TIMELIST]\n", "[TimeList]\n"),
         Replace("Setting.ini", "CP=24,68,300,20", "   cp   =   24,68,300,20   "), Replace("Setting.ini", "PASS=Turn on password protection", "Pass\t=\t'Turn on password protection'")}),
    Row("CommentsAndStrayLinesAreNotKeys",
        {"[SETTING] NT_TITLE", Replace("Setting.ini", "[SETTING]\r\n", "[SETTING]\r\n;NT_TITLE=Keep me informed with:\r\nNT_TITLE Keep me informed\r\n")},
        {"[SETTING] NT_TITLE: is missing", "[SETTING] NT_TITLE Keep me informed: has no '='"}),
    // The first value is the one read: its single '&' is reported.
    Row("TheFirstSectionAndTheFirstKeyOfANameCount",
        {Replace("Setting.ini", "CP=Turn on", "CP=Turn on & off\r\nCP=Turn on"), Replace("Setting.ini", "[TIMELIST]", "[setting]\r\nNT_TITLE=Never read\r\n[TIMELIST]")},
        {"[SETTING] CP: key appears again", "[SETTING] CP: a single '&'", "[setting]: appears again"}).Findings(3),
    Row("KeysAndSectionsTheModuleDoesNotRead",
        {"[SETTING] NT_TOASTER", "[SETTING] NT_TOASTR=Pop-up messages", "[TIMELIST_EVENT] COUNT=7", "CreateDisk.ini [Strings] IDS_CANCEL=Cancel"},
        {"[SETTING] NT_TOASTER: is missing", "[SETTING] NT_TOASTR: reads no key of this name", "[TIMELIST_EVENT] COUNT: reads no key of this name",
         "CreateDisk.ini [Strings]: reads no section of this name"}).Findings(4));

// ---- Hostile files --------------------------------------------------------------------------

ROWS(HostileFiles,
    // Binary noise as CreateDisk.ini, a value of a megabyte, an image header promising 60000 x
    // 60000 pixels (with one row), a PNG signature alone, a BMP header of unknown size.
    Row("GetAClearReport",
        {Write("CreateDisk.ini", Noise(20000)), "[SETTING] SC_TITLE=" + std::string(1 << 20, 'x'), Write(kOkHover, Png(60000, 60000, 96, 1)),
         Write(kCloseBox, std::string("\x89PNG\r\n\x1A\n", 8)), Write(kLineFrame, Bmp(21, 21).replace(14, 1, "\x63"))},
        {"CreateDisk.ini [String] IDS_YES: is missing", "[SETTING] SC_TITLE: is likely cut off",
         "[SETTING] SC_TITLE: is 1048576 characters long: the module reads only the first 5119", "[PIC] BTN_OK_PIC_H: " + Damage("ok_hover.png: the image is 60000 x 60000 pixels, far too large"),
         "[SETTING] IDC_BTNS: " + Damage("ends before its header chunk"), "Skin\\default\\frame\\Line_Frame.bmp: " + Damage("unknown header size")}),
    Row("NumbersAtTheEndsOfTheirRange",
        {"[POSITION] CP=2147483647,2147483647,2147483647,2147483647", "[POSITION] PASS=-2147483648,-2147483648,2147483647,2147483647",
         "[POSITION] SET_FRAME=0,0,2147483647,2147483647", "[TIMELIST] COUNT=99999999999", "[TIMELIST_EVENT] TIME_3=2147483647 hours"},
        {"[POSITION] PASS: outside", "[TIMELIST] COUNT: is 2147483647: both lists get that many entries",
         "[TIMELIST] TIME_7: is missing, and 992 more entries up to TIME_999", "[TIMELIST_EVENT] TIME_3: at most 1092 hours"}));

// clang-format on

}  // namespace
