// settingcheck as a translator or skin designer uses it: a copy of the shipped configuration,
// broken in one way at a time, checked through the command line; the report must name the
// file, section and key, and the exit status must say whether anything was found.
//
// The same tests run natively (own INI reader, estimated text widths) and in the Windows
// build under Wine (the platform's INI reader, GDI+ decoding, GDI measurement).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "Command.h"
#include "ConfigKeys.h"
#include "Strings.h"
#include "TextMeter.h"

namespace fs = std::filesystem;
using settingcheck::RunCommand;

namespace {

// ---- Files ----------------------------------------------------------------------------------

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

std::string TrimBlanks(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// ---- Images ---------------------------------------------------------------------------------

void PutBe32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((v >> shift) & 0xFF);
}
void PutLe32(std::string& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((v >> shift) & 0xFF);
}
void PutLe16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

uint32_t Crc(const std::string& bytes) {
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        c ^= b;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xFFFFFFFFu;
}

void PutChunk(std::string& png, const std::string& type, const std::string& body) {
    PutBe32(png, static_cast<uint32_t>(body.size()));
    png += type + body;
    PutBe32(png, Crc(type + body));
}

// An opaque grey RGB PNG at `dpi` (0: no resolution chunk). `rows` rows of pixel data
// (all of them when negative), stored uncompressed in the zlib stream.
std::string Png(int width, int height, int dpi = 96, int rows = -1) {
    if (rows < 0) rows = height;
    std::string raw;
    for (int y = 0; y < rows; ++y) {
        raw += '\0';
        raw += std::string(static_cast<size_t>(width) * 3, '\x80');
    }
    std::string zlib = "\x78\x01";
    for (size_t at = 0; at < raw.size() || at == 0;) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        zlib += static_cast<char>(at + n >= raw.size() ? 1 : 0);
        PutLe16(zlib, static_cast<uint16_t>(n));
        PutLe16(zlib, static_cast<uint16_t>(~n));
        zlib += raw.substr(at, n);
        at += n;
        if (raw.empty()) break;
    }
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBe32(zlib, (b << 16) | a);

    std::string png = "\x89PNG\r\n\x1A\n";
    std::string header;
    PutBe32(header, static_cast<uint32_t>(width));
    PutBe32(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);
    PutChunk(png, "IHDR", header);
    if (dpi > 0) {
        std::string phys;
        const uint32_t perMetre = static_cast<uint32_t>(dpi / 0.0254 + 0.5);
        PutBe32(phys, perMetre);
        PutBe32(phys, perMetre);
        phys += '\x01';
        PutChunk(png, "pHYs", phys);
    }
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", "");
    return png;
}

// A grey 24-bit BMP at 96 dpi.
std::string Bmp(int width, int height) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t size = stride * static_cast<uint32_t>(height);
    std::string bmp = "BM";
    PutLe32(bmp, 54 + size);
    PutLe32(bmp, 0);
    PutLe32(bmp, 54);
    PutLe32(bmp, 40);
    PutLe32(bmp, static_cast<uint32_t>(width));
    PutLe32(bmp, static_cast<uint32_t>(height));
    PutLe16(bmp, 1);
    PutLe16(bmp, 24);
    PutLe32(bmp, 0);
    PutLe32(bmp, size);
    PutLe32(bmp, 3780);
    PutLe32(bmp, 3780);
    PutLe32(bmp, 0);
    PutLe32(bmp, 0);
    bmp += std::string(size, '\x80');
    return bmp;
}

// ---- A configuration folder to break --------------------------------------------------------

// A copy of the shipped Setting.ini, CreateDisk.ini and skin folder in a folder of its own.
class ConfigCopy {
public:
    ConfigCopy() {
        std::random_device random;
        dir_ = fs::temp_directory_path() / ("settingcheck-" + std::to_string(random()));
        const fs::path source(SETTINGCHECK_SOURCE_CONFIG);
        fs::create_directories(dir_);
        fs::copy_file(source / "Setting.ini", dir_ / "Setting.ini");
        fs::copy_file(source / "CreateDisk.ini", dir_ / "CreateDisk.ini");
        fs::copy(source / "skin", dir_ / "skin", fs::copy_options::recursive);
    }
    ~ConfigCopy() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    ConfigCopy(const ConfigCopy&) = delete;
    ConfigCopy& operator=(const ConfigCopy&) = delete;

    const fs::path& Dir() const { return dir_; }

    // Sets `key` of [section] (added when missing; the section too).
    void Set(const std::string& file, const std::string& section, const std::string& key,
             const std::string& value) {
        Edit(file, section, key, &value);
    }
    void Remove(const std::string& file, const std::string& section, const std::string& key) {
        Edit(file, section, key, nullptr);
    }
    void SetSetting(const std::string& section, const std::string& key, const std::string& value) {
        Set("Setting.ini", section, key, value);
    }
    void Write(const std::string& relative, const std::string& bytes) const {
        WriteAll(dir_ / relative, bytes);
    }
    std::string Read(const std::string& relative) const { return ReadAll(dir_ / relative); }
    void Delete(const std::string& relative) const { fs::remove(dir_ / relative); }

private:
    void Edit(const std::string& file, const std::string& section, const std::string& key,
              const std::string* value) {
        std::vector<std::string> lines;
        std::istringstream in(Read(file));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        const std::string header = "[" + Lower(section) + "]";
        size_t at = 0;
        while (at < lines.size() && Lower(TrimBlanks(lines[at])) != header)
            ++at;
        if (at == lines.size()) {
            if (!value) return;
            lines.push_back("[" + section + "]");
        }
        size_t insert = ++at;
        bool done = false;
        for (; at < lines.size() && TrimBlanks(lines[at]).rfind('[', 0) != 0; ++at) {
            const std::string line = TrimBlanks(lines[at]);
            const size_t equals = line.find('=');
            if (line.empty() || line[0] == ';' || equals == std::string::npos) continue;
            if (Lower(TrimBlanks(line.substr(0, equals))) != Lower(key)) continue;
            if (value)
                lines[at] = key + "=" + *value;
            else
                lines.erase(lines.begin() + static_cast<long>(at));
            done = true;
            break;
        }
        if (!done && value)
            lines.insert(lines.begin() + static_cast<long>(insert), key + "=" + *value);
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        Write(file, text);
    }

    fs::path dir_;
};

// ---- Running the command --------------------------------------------------------------------

struct Outcome {
    int exit = -1;
    std::string out, err;
    std::vector<std::string> lines;

    // A finding line for that file, section and key whose message contains `fragment`.
    bool Has(const std::string& file, const std::string& section, const std::string& key,
             const std::string& fragment = std::string()) const {
        return Count(file, section, key, fragment) > 0;
    }
    size_t Count(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& fragment = std::string()) const {
        std::string prefix = file;
        if (!section.empty()) prefix += " [" + section + "]";
        if (!key.empty()) prefix += " " + key;
        prefix += ": ";
        return static_cast<size_t>(
            std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
                return line.rfind(prefix, 0) == 0 &&
                       line.find(fragment, prefix.size()) != std::string::npos;
            }));
    }
    size_t Findings() const { return lines.empty() ? 0 : lines.size() - 1; }
};

std::ostream& operator<<(std::ostream& os, const Outcome& outcome) {
    return os << "exit " << outcome.exit << "\n" << outcome.out << outcome.err;
}

std::string PathArgument(const fs::path& path) {
    return settingcheck::ToUtf8(path.wstring());
}

Outcome RunTool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    Outcome outcome;
    outcome.exit = RunCommand(args, out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    std::istringstream lines(outcome.out);
    for (std::string line; std::getline(lines, line);)
        outcome.lines.push_back(line);
    return outcome;
}

Outcome Check(const ConfigCopy& config) {
    return RunTool({PathArgument(config.Dir())});
}

#ifdef _WIN32
constexpr bool kMeasured = true;
#else
constexpr bool kMeasured = false;
#endif

// ---- The shipped configuration and the command line -----------------------------------------

TEST(CheckShipped, ChecksClean) {
    const Outcome outcome = RunTool({SETTINGCHECK_SOURCE_CONFIG});
    EXPECT_EQ(outcome.exit, 0) << outcome;
    ASSERT_EQ(outcome.lines.size(), 1u) << outcome;
    EXPECT_NE(outcome.lines[0].find("no findings"), std::string::npos);
    // A copy in a folder of another name is the same configuration.
    ConfigCopy copy;
    EXPECT_EQ(Check(copy).exit, 0) << Check(copy);
}

TEST(CheckCommandLine, AFolderThatCannotBeReadExitsWithTwo) {
    ConfigCopy copy;
    const fs::path missing = copy.Dir() / "no-such-folder";
    Outcome outcome = RunTool({PathArgument(missing)});
    EXPECT_EQ(outcome.exit, 2);
    EXPECT_NE(outcome.err.find("does not exist"), std::string::npos) << outcome;

    outcome = RunTool({PathArgument(copy.Dir() / "Setting.ini")});
    EXPECT_EQ(outcome.exit, 2);
    EXPECT_NE(outcome.err.find("not a folder"), std::string::npos) << outcome;

    outcome = RunTool({"--json", PathArgument(missing)});
    EXPECT_EQ(outcome.exit, 2);
    EXPECT_NE(outcome.out.find("\"readable\": false"), std::string::npos) << outcome;
}

TEST(CheckCommandLine, AWrongCommandLineExitsWithTwoAndShowsTheUsage) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"--frobnicate", "."}, {"a", "b"}}) {
        const Outcome outcome = RunTool(args);
        EXPECT_EQ(outcome.exit, 2);
        EXPECT_NE(outcome.err.find("usage: settingcheck"), std::string::npos) << outcome;
    }
}

TEST(CheckCommandLine, JsonReportCarriesFileSectionKeyAndMessage) {
    ConfigCopy copy;
    copy.SetSetting("POSITION", "CP", "24,68,\"300\",20");
    copy.SetSetting("SETTING", "NT_TITLE", "Tab\there");
    const Outcome outcome = RunTool({"--json", PathArgument(copy.Dir())});
    EXPECT_EQ(outcome.exit, 1) << outcome;
    EXPECT_NE(outcome.out.find("\"check\": \"position\", \"file\": \"Setting.ini\", "
                               "\"section\": \"POSITION\", \"key\": \"CP\", \"message\": "
                               "\"part \\\"\\\"300\\\"\\\" of"),
              std::string::npos)
        << outcome;
    EXPECT_NE(outcome.out.find(kMeasured ? "\"textWidths\": \"measured\""
                                         : "\"textWidths\": \"estimated\""),
              std::string::npos);
    EXPECT_EQ(outcome.out.front(), '{');
    EXPECT_EQ(outcome.out.substr(outcome.out.size() - 2), "}\n");

    ConfigCopy clean;
    const Outcome none = RunTool({"--json", PathArgument(clean.Dir())});
    EXPECT_EQ(none.exit, 0);
    EXPECT_NE(none.out.find("\"findings\": []"), std::string::npos) << none;
}

// ---- Missing and empty keys -----------------------------------------------------------------

TEST(CheckMissingKeys, EveryKeyOfTheTableIsReportedWhenRemoved) {
    ConfigCopy copy;
    const std::string setting = copy.Read("Setting.ini");
    const std::string createDisk = copy.Read("CreateDisk.ini");
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const config::Key& key = *config::AllKeys()[i];
        if (key.kind == config::Kind::List || key.MayBeEmpty()) continue;
        const std::string file = settingcheck::ToUtf8(config::FileName(key.file));
        const std::string section = settingcheck::ToUtf8(key.section);
        const std::string name = settingcheck::ToUtf8(key.name);
        copy.Remove(file, section, name);
        const Outcome outcome = Check(copy);
        EXPECT_EQ(outcome.exit, 1) << name;
        EXPECT_TRUE(outcome.Has(file, section, name, "is missing: " + std::string(key.whenMissing)))
            << name << "\n"
            << outcome;
        copy.Write("Setting.ini", setting);
        copy.Write("CreateDisk.ini", createDisk);
    }
}

TEST(CheckMissingKeys, EmptyValuesAreReportedExceptWhereEmptyIsRight) {
    ConfigCopy copy;
    copy.SetSetting("SETTING", "BTN_OK", "");
    copy.SetSetting("SETTING", "NT_TOASTER", "\"  \"");
    copy.Set("CreateDisk.ini", "String", "IDS_NO", "");
    copy.SetSetting("SETTING", "E_NEWPASS", "secret");
    copy.SetSetting("SETTING", "E_CURPASS", "old");
    const Outcome outcome = Check(copy);
    EXPECT_TRUE(
        outcome.Has("Setting.ini", "SETTING", "BTN_OK", "is empty: the OK button has no caption"))
        << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "NT_TOASTER", "is empty")) << outcome;
    EXPECT_TRUE(outcome.Has("CreateDisk.ini", "String", "IDS_NO", "is empty")) << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "E_NEWPASS", "is not empty")) << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "E_CURPASS", "every new password is refused"))
        << outcome;
    // The third password field is empty, as it should be.
    EXPECT_FALSE(outcome.Has("Setting.ini", "SETTING", "E_NEWPASS2")) << outcome;
    EXPECT_EQ(outcome.Findings(), 5u) << outcome;
}

TEST(CheckMissingKeys, AMissingFileIsOneFinding) {
    for (const char* file : {"Setting.ini", "CreateDisk.ini"}) {
        ConfigCopy copy;
        copy.Delete(file);
        const Outcome outcome = Check(copy);
        EXPECT_EQ(outcome.exit, 1);
        EXPECT_TRUE(outcome.Has(file, "", "", "is missing")) << outcome;
        EXPECT_EQ(outcome.Findings(), 1u) << outcome;
    }
}

// ---- Positions ------------------------------------------------------------------------------

struct PositionCase {
    const char* name;
    const char* key;
    const char* value;
    const char* check;  // "" for none
    const char* reportedKey;
    const char* fragment;
};

// The case by its name in test listings.
void PrintTo(const PositionCase& c, std::ostream* os) {
    *os << c.name;
}

class CheckPositions : public ::testing::TestWithParam<PositionCase> {};

TEST_P(CheckPositions, AreReportedWithTheirKey) {
    const PositionCase& c = GetParam();
    ConfigCopy copy;
    copy.SetSetting("POSITION", c.key, c.value);
    const Outcome outcome = Check(copy);
    if (*c.fragment == '\0') {
        EXPECT_EQ(outcome.exit, 0) << outcome;
        return;
    }
    EXPECT_EQ(outcome.exit, 1);
    EXPECT_TRUE(outcome.Has("Setting.ini", "POSITION", c.reportedKey, c.fragment)) << outcome;
}

const PositionCase kPositionCases[] = {
    {"ThreeNumbers", "CP", "24,68,300", "", "CP", "has 3 numbers"},
    {"SixNumbers", "CP", "24,68,300,20,0,5", "", "CP", "has 6 numbers"},
    {"NotANumber", "SC_TITLE", "24,166,wide,18", "", "SC_TITLE", "part \"wide\" of"},
    {"UnitAfterNumber", "SC_TITLE", "24px,166,540,18", "", "SC_TITLE", "is read as 24"},
    {"EmptyPart", "NT_TITLE", "24,,412,258,18", "", "NT_TITLE", "has an empty part"},
    {"NegativeSize", "PASS", "318,412,-258,20", "", "PASS", "negative width"},
    {"NoSize", "NT_TOASTER", "36,456,0,20", "", "NT_TOASTER", "cannot be seen"},
    {"OutsideTheDialog", "VP_RESIZE", "436,97,180,18", "", "VP_RESIZE",
     "outside the settings dialog (600 x 500)"},
    {"BelowTheDialog", "BTN_OK", "498,480,90,30", "", "BTN_OK", "outside the settings dialog"},
    {"InTheTitleBand", "IDC_VP_FRAME_POS", "12,20,500,88", "", "IDC_VP_FRAME_POS",
     "in the title band"},
    {"OverTheCloseBox", "IDC_VP_FRAME_POS", "12,31,576,88", "", "IDC_VP_FRAME_POS",
     "over the close box"},
    {"OverlapInAFrame", "VP_RESIZE", "300,97,140,18", "", "VP_RESIZE",
     "overlaps VP_FREESHOW at 24,97,380,18 inside the group frame IDC_VP_FRAME_POS"},
    {"OverlapOfAClosedList", "SC_MINUTES", "230,192,324,18", "", "SC_MINUTES",
     "overlaps SC_EDIT at 116,189,120,22"},
    {"TwoFrames", "IDC_AR_FRAME_POS", "12,290,576,84", "", "IDC_AR_FRAME_POS",
     "overlaps IDC_SCHEDULE_FRAME_POS"},
    {"OutOfItsFrame", "NT_TOASTER", "36,456,246,40", "", "NT_TOASTER",
     "sticks out of its group frame IDC_NOTI_FRAME_POS"},
    {"OverTheFrameCaption", "CP", "24,45,300,20", "", "CP",
     "covers the caption of its frame IDC_VP_FRAME_POS"},
    {"ShortDropDownList", "EV_CYCLE_CB", "116,264,120,30", "", "EV_CYCLE_CB",
     "shows fewer than two entries"},
    {"DialogHidden", "SET_FRAME", "0,0,600,500,1", "", "SET_FRAME", "hides the whole dialog"},
    {"DialogWithoutSize", "PASSDLG", "0,0,0,230", "", "PASSDLG", "no size"},
    {"OutsideThePasswordClientArea", "S_PASSCANCEL", "268,150,110,26", "", "S_PASSCANCEL",
     "outside the password dialog's client area"},
    {"PasswordControlsOverlap", "E_NEWPASS2", "176,30,176,22", "", "E_NEWPASS2",
     "overlaps E_NEWPASS"},
    // Hidden controls are left alone: the current-password row lies under the new one.
    {"HiddenOverlapIsFine", "S_CURPASS", "20,56,150,18,1", "", "", ""},
    {"QuotedValueIsFine", "CP", "\"24,68,300,20\"", "", "", ""},
    {"BlanksAroundNumbersAreFine", "CP", " 24 , 68 , 300 , 20 ", "", "", ""},
    {"ALargerDialogIsFine", "SET_FRAME", "100,100,640,520", "", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Layout, CheckPositions, ::testing::ValuesIn(kPositionCases),
                         [](const ::testing::TestParamInfo<PositionCase>& info) {
                             return std::string(info.param.name);
                         });

// ---- Period lists ---------------------------------------------------------------------------

TEST(CheckPeriodLists, CountMustBeThereAndANumber) {
    ConfigCopy copy;
    copy.Remove("Setting.ini", "TIMELIST", "COUNT");
    Outcome outcome = Check(copy);
    EXPECT_TRUE(
        outcome.Has("Setting.ini", "TIMELIST", "COUNT", "is missing: both period lists stay empty"))
        << outcome;

    copy.SetSetting("TIMELIST", "COUNT", "seven");
    outcome = Check(copy);
    EXPECT_TRUE(outcome.Has("Setting.ini", "TIMELIST", "COUNT", "is not a number of entries"))
        << outcome;
}

TEST(CheckPeriodLists, EntriesMustBeThereAndStartWithTheirHours) {
    ConfigCopy copy;
    copy.Remove("Setting.ini", "TIMELIST", "TIME_3");
    copy.SetSetting("TIMELIST", "TIME_4", "six hours");
    copy.SetSetting("TIMELIST", "TIME_5", "2 hours again");
    copy.SetSetting("TIMELIST_EVENT", "TIME_6", "2000 hours");
    const Outcome outcome = Check(copy);
    EXPECT_EQ(outcome.exit, 1);
    EXPECT_TRUE(
        outcome.Has("Setting.ini", "TIMELIST", "TIME_3", "is missing: COUNT of [TIMELIST] is 7"))
        << outcome;
    EXPECT_TRUE(
        outcome.Has("Setting.ini", "TIMELIST", "TIME_4", "does not start with its number of hours"))
        << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "TIMELIST", "TIME_5", "like TIME_2")) << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "TIMELIST_EVENT", "TIME_6", "at most 1092 hours"))
        << outcome;
}

TEST(CheckPeriodLists, TheCycleListNeedsAsManyEntriesAsCount) {
    ConfigCopy copy;
    copy.Remove("Setting.ini", "TIMELIST_EVENT", "TIME_5");
    copy.Remove("Setting.ini", "TIMELIST_EVENT", "TIME_6");
    const Outcome outcome = Check(copy);
    for (const char* entry : {"TIME_5", "TIME_6"}) {
        EXPECT_TRUE(outcome.Has("Setting.ini", "TIMELIST_EVENT", entry,
                                "the cycle list shows an empty entry"))
            << outcome;
    }
    EXPECT_EQ(outcome.Findings(), 2u) << outcome;
}

TEST(CheckPeriodLists, FirstEntryAndEntriesBeyondCount) {
    ConfigCopy copy;
    copy.SetSetting("TIMELIST", "TIME_0", "a quarter of an hour");
    copy.SetSetting("TIMELIST_EVENT", "TIME_0", "2 half hours");
    copy.SetSetting("TIMELIST", "TIME_7", "48 hours");
    const Outcome outcome = Check(copy);
    EXPECT_TRUE(outcome.Has("Setting.ini", "TIMELIST", "TIME_0",
                            "a stored period of 0 (option off) would select it"))
        << outcome;
    EXPECT_TRUE(
        outcome.Has("Setting.ini", "TIMELIST_EVENT", "TIME_0", "would select TIME_0 as well"))
        << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "TIMELIST", "TIME_7",
                            "is never shown: COUNT of [TIMELIST] is 7"))
        << outcome;
}

// ---- Placeholders, format sequences, ampersands ---------------------------------------------

struct TextCase {
    const char* name;
    const char* section;
    const char* key;
    const char* value;
    const char* check;
    const char* fragment;  // "" when the value is fine
};

// The case by its name in test listings.
void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}

class CheckTexts : public ::testing::TestWithParam<TextCase> {};

TEST_P(CheckTexts, AreCheckedAsTheModuleShowsThem) {
    const TextCase& c = GetParam();
    ConfigCopy copy;
    copy.SetSetting(c.section, c.key, c.value);
    const Outcome outcome = Check(copy);
    if (*c.fragment == '\0') {
        EXPECT_EQ(outcome.exit, 0) << outcome;
        return;
    }
    EXPECT_EQ(outcome.exit, 1);
    EXPECT_TRUE(outcome.Has("Setting.ini", c.section, c.key, c.fragment)) << outcome;
}

const TextCase kTextCases[] = {
    {"UnknownPlaceholder", "SETTING", "TITLE", "[PRODUCT] Settings", "placeholder",
     "[PRODUCT] is not a placeholder of the module"},
    {"PlaceholderInTheWrongKey", "SETTING", "CP", "Turn on [PRODUCTNAME]", "placeholder",
     "[PRODUCTNAME] is not replaced in this text"},
    {"UsageFigureInTheWrongKey", "SETTING", "VP_RESIZE", "Resize [TOTAL]", "placeholder",
     "replaced only in VP_FREESHOW of [SETTING]"},
    {"PlaceholderInLowerCase", "SETTING", "VP_FREESHOW", "[used] of [TOTAL] GB", "placeholder",
     "write [USED]"},
    {"UsageLineWithoutAFigure", "SETTING", "VP_FREESHOW", "[USED] GB used", "placeholder",
     "has no [TOTAL]"},
    {"PlaceholderInAListEntry", "TIMELIST", "TIME_2", "2 [HOURS]", "placeholder",
     "[HOURS] is not a placeholder"},
    {"TrayNameReplacesTheProductName", "TRAY", "NAME", "[PRODUCTNAME] Tray", "", ""},
    {"BracketsThatAreNoPlaceholder", "SETTING", "NT_TITLE", "Keep me informed [ 1 ] [2]:", "", ""},
    {"SaveFailWithAString", "Setting", "S_MSG_PASS_SAVEFAIL", "Not saved: %s", "format",
     "\"%s\" shows as written"},
    {"SaveFailWithTwoCodes", "Setting", "S_MSG_PASS_SAVEFAIL", "Error %d (%d)", "format",
     "\"%d\" shows as written"},
    {"SaveFailWithoutACode", "Setting", "S_MSG_PASS_SAVEFAIL", "Not saved.", "format", "has no %d"},
    {"SaveFailWithABarePercent", "Setting", "S_MSG_PASS_SAVEFAIL", "100 % done? error %d", "format",
     "only the first integer conversion, \"% d\", receives"},
    {"SaveFailWithEscapedPercent", "Setting", "S_MSG_PASS_SAVEFAIL", "Error %08X (100%%)", "", ""},
    {"SingleAmpersand", "SETTING", "NT_TOASTER", "Pop-ups & messages", "text",
     "a single '&' is not shown"},
    {"DoubledAmpersand", "SETTING", "NT_TOASTER", "Pop-ups && messages", "", ""},
    {"AmpersandInAFrameCaptionIsShown", "SETTING", "IDC_SEC_FRAME", "\" Security & privacy \"", "",
     ""},
};

INSTANTIATE_TEST_SUITE_P(Configuration, CheckTexts, ::testing::ValuesIn(kTextCases),
                         [](const ::testing::TestParamInfo<TextCase>& info) {
                             return std::string(info.param.name);
                         });

// ---- Skin images ----------------------------------------------------------------------------

TEST(CheckSkinImages, MissingAndDamagedImagesAreReported) {
    ConfigCopy copy;
    copy.Delete("skin/default/frame/wndbk.png");
    std::string frame = copy.Read("skin/default/frame/Line_Frame.bmp");
    copy.Write("skin/default/frame/Line_Frame.bmp", frame.substr(0, frame.size() / 2));
    std::string close = copy.Read("skin/default/frame/title_buttons.png");
    close[22] = static_cast<char>(close[22] ^ 0x55);  // the height in IHDR: its CRC fails
    copy.Write("skin/default/frame/title_buttons.png", close);
    copy.Write("skin/default/btn/ok_hover.png", "This is not an image.\r\n");
    const Outcome outcome = Check(copy);
    EXPECT_EQ(outcome.exit, 1);
    EXPECT_TRUE(outcome.Has("skin\\default\\frame\\wndbk.png", "", "", "is missing")) << outcome;
    EXPECT_TRUE(outcome.Has("Skin\\default\\frame\\Line_Frame.bmp", "", "", "cut short"))
        << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "IDC_BTNS", "CRC")) << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "PIC", "BTN_OK_PIC_H", "not an image")) << outcome;
    EXPECT_EQ(outcome.Findings(), 4u) << outcome;
}

TEST(CheckSkinImages, ImageDataShorterThanItsHeaderIsReported) {
    ConfigCopy copy;
    copy.Write("skin/default/btn/ok_normal.png", Png(90, 30, 96, 10));
    const Outcome outcome = Check(copy);
    EXPECT_EQ(outcome.exit, 1);
    EXPECT_TRUE(outcome.Has("Setting.ini", "PIC", "BTN_OK_PIC", "ok_normal.png")) << outcome;
}

TEST(CheckSkinImages, ImagesSmallerThanWhatTheModuleCutsAreReported) {
    ConfigCopy copy;
    copy.Write("skin/default/frame/wndbk.png", Png(40, 30));
    copy.Write("skin/default/frame/Line_Frame.bmp", Bmp(18, 21));
    copy.Write("skin/default/frame/title_buttons.png", Png(48, 25));
    copy.Write("skin/default/btn/ok_normal.png", Png(80, 30));
    copy.Write("skin/default/btn/ok_hover.png", Png(100, 40));
    const Outcome outcome = Check(copy);
    EXPECT_TRUE(
        outcome.Has("skin\\default\\frame\\wndbk.png", "", "", "is 40 x 30, smaller than 60 x 30"))
        << outcome;
    EXPECT_TRUE(outcome.Has("Skin\\default\\frame\\Line_Frame.bmp", "", "", "smaller than 21 x 21"))
        << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "IDC_BTNS", "at least 50 x 25")) << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "PIC", "BTN_OK_PIC", "smaller than the button (90 x 30"))
        << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "PIC", "BTN_OK_PIC_H", "larger than the button"))
        << outcome;
    EXPECT_EQ(outcome.Findings(), 5u) << outcome;
}

TEST(CheckSkinImages, OkFacesFollowTheButtonsRectangle) {
    ConfigCopy copy;
    copy.SetSetting("POSITION", "BTN_OK", "488,456,100,34");
    copy.Write("skin/default/btn/ok_normal.png", Png(100, 34));
    copy.Write("skin/default/btn/ok_hover.png", Bmp(100, 34));
    EXPECT_EQ(Check(copy).exit, 0) << Check(copy);
}

TEST(CheckSkinImages, ResolutionOtherThan96DpiIsReported) {
    ConfigCopy copy;
    copy.Write("skin/default/btn/ok_normal.png", Png(90, 30, 72));
    copy.Write("skin/default/btn/ok_hover.png", Png(90, 30, 0));  // none given: drawn at 96
    const Outcome outcome = Check(copy);
    EXPECT_TRUE(outcome.Has("Setting.ini", "PIC", "BTN_OK_PIC", "stored at 72 dpi")) << outcome;
    EXPECT_EQ(outcome.Findings(), 1u) << outcome;
}

TEST(CheckSkinImages, PathsStartWithABackslashAndIgnoreCase) {
    ConfigCopy copy;
    copy.SetSetting("SETTING", "IDC_BTNS", "skin\\default\\frame\\title_buttons.png");
    copy.SetSetting("PIC", "BTN_OK_PIC", "\\SKIN\\Default\\BTN\\OK_Normal.PNG");
    copy.SetSetting("TRAY", "IMAGE", "CorvianexTray.exe");
    const Outcome outcome = Check(copy);
    EXPECT_TRUE(
        outcome.Has("Setting.ini", "SETTING", "IDC_BTNS", "does not start with a backslash"))
        << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "TRAY", "IMAGE", "does not start with a backslash"))
        << outcome;
    EXPECT_EQ(outcome.Findings(), 2u) << outcome;
}

// ---- Texts likely cut off -------------------------------------------------------------------

struct FitCase {
    const char* name;
    const char* file;
    const char* section;
    const char* key;
    const char* value;
    const char* fragment;
};

// The case by its name in test listings.
void PrintTo(const FitCase& c, std::ostream* os) {
    *os << c.name;
}

class CheckTextFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(CheckTextFit, TextsWiderThanTheirControlsAreReported) {
    const FitCase& c = GetParam();
    ConfigCopy copy;
    copy.Set(c.file, c.section, c.key, c.value);
    const Outcome outcome = Check(copy);
    EXPECT_EQ(outcome.exit, 1);
    EXPECT_TRUE(outcome.Has(c.file, c.section, c.key, c.fragment)) << outcome;
    EXPECT_TRUE(
        outcome.Has(c.file, c.section, c.key,
                    kMeasured ? "measured in \"Segoe UI\" with GDI" : "estimated from a table"))
        << outcome;
}

const FitCase kFitCases[] = {
    {"CheckBox", "Setting.ini", "SETTING", "EV_CYCLE", "Additionally every",
     "its rectangle EV_CYCLE (after the box)"},
    {"Label", "Setting.ini", "SETTING", "IDC_TOTHELATEST",
     "to the most recent snapshot that was taken before", "the text takes 2 lines"},
    {"WrappedHelpLine", "Setting.ini", "SETTING", "S_FORGETPASS",
     "Use up to eight characters. Keep your password in a safe place, because a forgotten "
     "password cannot be recovered by anyone, not even by the support team.",
     "lines"},
    {"FrameCaption", "Setting.ini", "SETTING", "IDC_SEC_FRAME",
     "\" Security and password protection settings \"", "the frame IDC_SEC_FRAME_POS"},
    {"ListEntry", "Setting.ini", "TIMELIST", "TIME_6", "24 hours (once a day, at the same time)",
     "the closed list SC_EDIT"},
    {"RestoreChoice", "Setting.ini", "SETTING", "COMBOAR_OP2",
     "all protected drives and partitions", "the closed list IDC_COMBO_AR"},
    {"OkCaption", "Setting.ini", "SETTING", "BTN_OK", "Save settings and close",
     "its rectangle BTN_OK"},
    {"PasswordButton", "Setting.ini", "SETTING", "S_PASSCANCEL", "Cancel and go back",
     "its rectangle S_PASSCANCEL"},
    {"Title", "Setting.ini", "SETTING", "TITLE",
     "[PRODUCTNAME] Settings for System Protection, Automatic Snapshots, Restore at Start-up "
     "and Notifications",
     "the title band left of the close box"},
    {"UsageLineWithLargestFigures", "Setting.ini", "SETTING", "VP_FREESHOW",
     "Protected space on this computer: [USED] gigabytes in use of [TOTAL] gigabytes",
     "its rectangle VP_FREESHOW"},
    {"WaitingText", "Setting.ini", "Setting", "IDC_SAVESET",
     "Saving your settings and telling the engine about them, please wait", "with its three dots"},
    {"MessageHeading", "CreateDisk.ini", "String", "IDS_WRONG",
     "Something went wrong while the protected space was changed, and nothing was saved",
     "the message window's heading"},
    {"MessageText", "Setting.ini", "SETTING", "RESIZEMSGERROR",
     "The size of the protected space was not changed. The engine did not accept the new "
     "size, or the tool that re-initialises the protected space did not finish. Close other "
     "programs that use the disk, make sure that there is enough free space on it, and try "
     "again later. If it fails again, restart the computer first and then try once more. If "
     "it still fails after that, write down the time and ask your administrator for help. "
     "Your snapshots and settings are kept as they were; nothing was lost, and protection "
     "stays on while you wait. You can close this message now and go on working.",
     "the message window's text"},
    {"MessageButton", "CreateDisk.ini", "String", "IDS_YES", "Yes, resize the space now",
     "the message window's button"},
};

INSTANTIATE_TEST_SUITE_P(Measured, CheckTextFit, ::testing::ValuesIn(kFitCases),
                         [](const ::testing::TestParamInfo<FitCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(CheckTextFitLimits, ALongTitleFitsAWiderDialog) {
    ConfigCopy copy;
    copy.SetSetting("SETTING", "TITLE", "[PRODUCTNAME] Settings for Protection and Snapshots");
    EXPECT_EQ(Check(copy).exit, 0) << Check(copy);
    // The product name counts: a longer one pushes the title under the close box.
    std::string name(40, 'W');
    const Outcome outcome = RunTool({"--product-name", name, PathArgument(copy.Dir())});
    EXPECT_TRUE(
        outcome.Has("Setting.ini", "SETTING", "TITLE", "\"" + name + "\" for [PRODUCTNAME]"))
        << outcome;
}

// ---- How the INI files are read -------------------------------------------------------------

std::string Utf16Le(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

TEST(CheckIniReading, UnicodeFileWithByteOrderMarkIsReadAndNotReported) {
    ConfigCopy copy;
    copy.SetSetting("SETTING", "NT_TOASTER", "MARKER");
    std::string ascii = copy.Read("Setting.ini");
    std::wstring text(ascii.begin(), ascii.end());
    const std::wstring german =
        L"Popup-Meldungen \x00FC"
        L"ber \x00C4nderungen";
    text.replace(text.find(L"MARKER"), 6, german);
    copy.Write("Setting.ini", Utf16Le(text));
    EXPECT_EQ(Check(copy).exit, 0) << Check(copy);

    // The same text as UTF-8 shows wrongly under the platform's reader.
    copy.Write("Setting.ini", settingcheck::ToUtf8(text));
    const Outcome outcome = Check(copy);
    EXPECT_TRUE(outcome.Has("Setting.ini", "", "", "is saved as UTF-8")) << outcome;
    EXPECT_EQ(outcome.Findings(), 1u) << outcome;

    // And as Windows-1252 it depends on the system's code page.
    std::string ansi = ascii;
    ansi.replace(ansi.find("MARKER"), 6,
                 "Popup-Meldungen \xFC"
                 "ber \xC4nderungen");
    copy.Write("Setting.ini", ansi);
    EXPECT_TRUE(Check(copy).Has("Setting.ini", "", "", "in an ANSI code page")) << Check(copy);
}

TEST(CheckIniReading, FollowsThePlatformsRules) {
    ConfigCopy copy;
    std::string text = copy.Read("Setting.ini");
    // LF line ends only, names in other cases, blanks around names, values and '='.
    std::string lf;
    for (char c : text) {
        if (c != '\r') lf += c;
    }
    auto replace = [&](const std::string& from, const std::string& to) {
        const size_t at = lf.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        lf.replace(at, from.size(), to);
    };
    replace("[POSITION]", "  [position]  ");
    replace("CP=24,68,300,20", "   cp   =   24,68,300,20   ");
    replace("[TIMELIST]\n", "[TimeList]\n");
    replace("PASS=Turn on password protection", "Pass\t=\t'Turn on password protection'");
    copy.Write("Setting.ini", lf);
    EXPECT_EQ(Check(copy).exit, 0) << Check(copy);
}

TEST(CheckIniReading, CommentsAndStrayLinesAreNotKeys) {
    ConfigCopy copy;
    copy.Remove("Setting.ini", "SETTING", "NT_TITLE");
    std::string text = copy.Read("Setting.ini");
    text.replace(text.find("[SETTING]\r\n"), 11,
                 "[SETTING]\r\n;NT_TITLE=Keep me informed with:\r\nNT_TITLE Keep me informed\r\n");
    copy.Write("Setting.ini", text);
    const Outcome outcome = Check(copy);
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "NT_TITLE", "is missing")) << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "NT_TITLE Keep me informed", "has no '='"))
        << outcome;
}

TEST(CheckIniReading, TheFirstSectionAndTheFirstKeyOfANameCount) {
    ConfigCopy copy;
    std::string text = copy.Read("Setting.ini");
    text.replace(text.find("CP=Turn on"), 10, "CP=Turn on & off\r\nCP=Turn on");
    text += "[setting]\r\nNT_TITLE=Never read\r\n";
    copy.Write("Setting.ini", text);
    const Outcome outcome = Check(copy);
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "CP", "key appears again")) << outcome;
    // The first value is the one read: its single '&' is reported.
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "CP", "a single '&'")) << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "setting", "", "appears again")) << outcome;
    EXPECT_EQ(outcome.Findings(), 3u) << outcome;
}

TEST(CheckIniReading, KeysAndSectionsTheModuleDoesNotReadAreReported) {
    ConfigCopy copy;
    copy.Remove("Setting.ini", "SETTING", "NT_TOASTER");
    copy.SetSetting("SETTING", "NT_TOASTR", "Pop-up messages");
    copy.SetSetting("TIMELIST_EVENT", "COUNT", "7");
    copy.Set("CreateDisk.ini", "Strings", "IDS_CANCEL", "Cancel");
    const Outcome outcome = Check(copy);
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "NT_TOASTER", "is missing")) << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "NT_TOASTR", "reads no key of this name"))
        << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "TIMELIST_EVENT", "COUNT", "reads no key of this name"))
        << outcome;
    EXPECT_TRUE(outcome.Has("CreateDisk.ini", "Strings", "", "reads no section of this name"))
        << outcome;
    EXPECT_EQ(outcome.Findings(), 4u) << outcome;
}

// ---- Hostile files --------------------------------------------------------------------------

TEST(CheckHostileFiles, GetAClearReport) {
    ConfigCopy copy;
    // Binary noise as CreateDisk.ini: every key missing, nothing else.
    std::string noise;
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i)
        noise += static_cast<char>(random() & 0xFF);
    copy.Write("CreateDisk.ini", noise);
    // A value of a megabyte.
    copy.SetSetting("SETTING", "SC_TITLE", std::string(1 << 20, 'x'));
    // An image header promising 60000 x 60000 pixels (with the data of one row).
    copy.Write("skin/default/btn/ok_hover.png", Png(60000, 60000, 96, 1));
    // A damaged image header and an image of nothing but its signature.
    copy.Write("skin/default/frame/title_buttons.png", std::string("\x89PNG\r\n\x1A\n", 8));
    std::string bmp = Bmp(21, 21);
    bmp[14] = 99;  // header size
    copy.Write("skin/default/frame/Line_Frame.bmp", bmp);
    const Outcome outcome = Check(copy);
    EXPECT_EQ(outcome.exit, 1) << outcome;
    EXPECT_TRUE(outcome.Has("CreateDisk.ini", "String", "IDS_YES", "is missing")) << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "SC_TITLE", "is likely cut off")) << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "SC_TITLE",
                            "is 1048576 characters long: the module reads only the first 5119"))
        << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "PIC", "BTN_OK_PIC_H", "ok_hover.png")) << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "IDC_BTNS", "header chunk")) << outcome;
    EXPECT_TRUE(outcome.Has("Skin\\default\\frame\\Line_Frame.bmp", "", "", "unknown header size"))
        << outcome;
}

TEST(CheckHostileFiles, NumbersAtTheEndsOfTheirRange) {
    ConfigCopy copy;
    copy.SetSetting("POSITION", "CP", "2147483647,2147483647,2147483647,2147483647");
    copy.SetSetting("POSITION", "PASS", "-2147483648,-2147483648,2147483647,2147483647");
    copy.SetSetting("POSITION", "SET_FRAME", "0,0,2147483647,2147483647");
    copy.SetSetting("TIMELIST", "COUNT", "99999999999");
    copy.SetSetting("TIMELIST_EVENT", "TIME_3", "2147483647 hours");
    const Outcome outcome = Check(copy);
    EXPECT_EQ(outcome.exit, 1) << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "POSITION", "PASS", "outside")) << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "TIMELIST", "COUNT",
                            "is 2147483647: both lists get that many entries"))
        << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "TIMELIST", "TIME_7",
                            "is missing, and 992 more entries up to TIME_999"))
        << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "TIMELIST_EVENT", "TIME_3", "at most 1092 hours"))
        << outcome;
}

TEST(CheckHostileFiles, AnEmptyFolderIsAFindingNotAFailure) {
    ConfigCopy copy;
    fs::remove_all(copy.Dir());
    fs::create_directories(copy.Dir());
    const Outcome outcome = Check(copy);
    EXPECT_EQ(outcome.exit, 1) << outcome;
    EXPECT_TRUE(outcome.Has("Setting.ini", "", "", "is missing")) << outcome;
    EXPECT_TRUE(outcome.Has("CreateDisk.ini", "", "", "is missing")) << outcome;
    EXPECT_TRUE(outcome.Has("skin\\default\\frame\\wndbk.png", "", "", "is missing")) << outcome;
    EXPECT_EQ(outcome.Findings(), 4u) << outcome;
}

// ---- The key reference ----------------------------------------------------------------------

TEST(CheckReference, NamesEveryKeyOfTheTable) {
    const Outcome outcome = RunTool({"--reference"});
    EXPECT_EQ(outcome.exit, 0);
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const config::Key& key = *config::AllKeys()[i];
        const std::string name = key.kind == config::Kind::List
                                     ? "`TIME_0`"
                                     : "| `" + settingcheck::ToUtf8(key.name) + "` |";
        EXPECT_NE(outcome.out.find(name), std::string::npos) << name;
    }
    for (const char* placeholder : {"`[PRODUCTNAME]`", "`[USED]`", "`[TOTAL]`"})
        EXPECT_NE(outcome.out.find(placeholder), std::string::npos) << placeholder;
}

#ifdef SETTINGCHECK_REFERENCE_DOC
TEST(CheckReference, CommittedDocumentIsCurrent) {
    const std::string committed = ReadAll(SETTINGCHECK_REFERENCE_DOC);
    const Outcome outcome = RunTool({"--reference"});
    EXPECT_TRUE(committed == outcome.out)
        << SETTINGCHECK_REFERENCE_DOC
        << " is not what `settingcheck --reference` prints; regenerate it with\n"
           "  build/native/settingcheck --reference > docs/CONFIGURATION.md";
}
#endif

// ---- Measurement in the Windows build -------------------------------------------------------

#ifdef _WIN32
TEST(CheckWidthTable, MatchesWhatGdiMeasures) {
    const auto gdi = settingcheck::MakeGdiMeter();
    ASSERT_NE(gdi, nullptr) << "GDI cannot measure here";
    const auto table = settingcheck::MakeTableMeter();
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
    EXPECT_EQ(table->BaseUnitX(), gdi->BaseUnitX());
    EXPECT_EQ(table->BaseUnitY(), gdi->BaseUnitY());
    EXPECT_EQ(table->FrameExtraWidth(), gdi->FrameExtraWidth());
    EXPECT_EQ(table->FrameExtraHeight(), gdi->FrameExtraHeight());
}

TEST(CheckWidthTable, EstimateCanBeAskedForInTheWindowsBuild) {
    ConfigCopy copy;
    copy.SetSetting("SETTING", "EV_CYCLE", "Additionally every");
    const Outcome outcome = RunTool({"--estimate", PathArgument(copy.Dir())});
    EXPECT_TRUE(outcome.Has("Setting.ini", "SETTING", "EV_CYCLE", "estimated from a table"))
        << outcome;
}
#endif

}  // namespace
