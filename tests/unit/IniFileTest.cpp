// CIniFile over real files: what the dialogs read from Setting.ini. (How a configured text
// and rectangle land on the dialogs' windows is checked through the dialogs themselves.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "IniFile.h"
#include "TempFolder.h"

using testsupport::TempFolder;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::wstring path = folder.PathOf(L"Setting.ini");

    // Files as translators save them: ANSI text with CRLF line ends.
    void WriteIni(const std::string& content) const { folder.Write(L"Setting.ini", content); }
};

TEST_F(IniFileTest, ReadsTextsAndNumbersOfTheBoundFile) {
    WriteIni(
        "; comment line\r\n"
        "[SETTING]\r\n"
        "CP=Turn on system protection\r\n"
        "TITLE=[PRODUCTNAME] Settings\r\n"
        "IDC_VP_FRAME=\" System Protection \"\r\n"
        "[TIMELIST]\r\n"
        "COUNT=4\r\n"
        "TIME_1=12 hours\r\n"
        "TIME_2=abc\r\n"
        "TIME_3=  7\r\n");
    CIniFile ini(path.c_str());
    std::wstring text;
    ASSERT_TRUE(ini.ReadString(L"SETTING", L"CP", text));
    EXPECT_EQ(text, L"Turn on system protection");
    ASSERT_TRUE(ini.ReadString(L"SETTING", L"TITLE", text));
    EXPECT_EQ(text, L"[PRODUCTNAME] Settings");  // placeholders are the reader's callers' job
    // Quotes keep the blanks that hold the frame line clear of a caption.
    ASSERT_TRUE(ini.ReadString(L"SETTING", L"IDC_VP_FRAME", text));
    EXPECT_EQ(text, L" System Protection ");

    int value = -1;
    ASSERT_TRUE(ini.ReadInt(L"TIMELIST", L"COUNT", value));
    EXPECT_EQ(value, 4);
    // A list entry: its text for display, the number it starts with as its value.
    ASSERT_TRUE(ini.ReadString(L"TIMELIST", L"TIME_1", text));
    EXPECT_EQ(text, L"12 hours");
    ASSERT_TRUE(ini.ReadInt(L"TIMELIST", L"TIME_1", value));
    EXPECT_EQ(value, 12);
    ASSERT_TRUE(ini.ReadInt(L"TIMELIST", L"TIME_2", value));
    EXPECT_EQ(value, 0);
    ASSERT_TRUE(ini.ReadInt(L"TIMELIST", L"TIME_3", value));
    EXPECT_EQ(value, 7);
}

TEST_F(IniFileTest, SectionAndKeyNamesIgnoreCase) {
    WriteIni("[Setting]\r\ncp=Protect\r\n[position]\r\nSet_Frame=1,2,3,4\r\n");
    CIniFile ini(path.c_str());
    std::wstring text;
    ASSERT_TRUE(ini.ReadString(L"SETTING", L"CP", text));
    EXPECT_EQ(text, L"Protect");
    ASSERT_TRUE(ini.ReadString(L"Setting", L"Cp", text));
    EXPECT_EQ(text, L"Protect");
    ASSERT_TRUE(ini.ReadString(L"POSITION", L"SET_FRAME", text));
    EXPECT_EQ(text, L"1,2,3,4");
}

TEST_F(IniFileTest, MissingKeySectionOrFileReadsAsEmptyAndZero) {
    WriteIni("[SETTING]\r\nCP=Protect\r\n");
    const std::wstring absentFile = folder.PathOf(L"NoSuch.ini");
    for (const std::wstring& file : {path, absentFile}) {
        CIniFile ini(file.c_str());
        for (const wchar_t* section : {L"SETTING", L"NOSECTION"}) {
            std::wstring text = L"previous";
            EXPECT_TRUE(ini.ReadString(section, L"NOKEY", text));
            EXPECT_EQ(text, L"");
            int value = 42;
            EXPECT_TRUE(ini.ReadInt(section, L"NOKEY", value));
            EXPECT_EQ(value, 0);
        }
    }
    EXPECT_FALSE(folder.Exists(L"NoSuch.ini"));  // the reader never creates or writes files
}

TEST_F(IniFileTest, WithoutAPathEveryReadFailsAndLeavesItsOutputAlone) {
    WriteIni("[SETTING]\r\nCP=Protect\r\n");
    CIniFile unbound;
    CIniFile fromNull(nullptr);
    CIniFile cleared(path.c_str());
    cleared.SetPath(L"");
    for (CIniFile* ini : {&unbound, &fromNull, &cleared}) {
        std::wstring text = L"kept";
        EXPECT_FALSE(ini->ReadString(L"SETTING", L"CP", text));
        EXPECT_EQ(text, L"kept");
        int value = 42;
        EXPECT_FALSE(ini->ReadInt(L"SETTING", L"CP", value));
        EXPECT_EQ(value, 42);
    }
}

TEST_F(IniFileTest, AValueLongerThanTheBufferIsCutTo5119Characters) {
    std::string value;
    for (int i = 0; i < 6000; ++i)
        value += static_cast<char>('a' + i % 26);
    WriteIni("[SETTING]\r\nLONG=" + value + "\r\nNEXT=after\r\n");
    CIniFile ini(path.c_str());
    std::wstring text;
    ASSERT_TRUE(ini.ReadString(L"SETTING", L"LONG", text));
    ASSERT_EQ(text.size(), 5119u);
    EXPECT_EQ(text, std::wstring(value.begin(), value.begin() + 5119));
    // The cut leaves nothing behind for the next read.
    ASSERT_TRUE(ini.ReadString(L"SETTING", L"NEXT", text));
    EXPECT_EQ(text, L"after");
}

TEST_F(IniFileTest, EditsTakeEffectAtTheNextRead) {
    WriteIni("[SETTING]\r\nCP=first\r\n");
    CIniFile ini(path.c_str());
    EXPECT_EQ(ini.String(L"SETTING", L"CP"), L"first");
    WriteIni("[SETTING]\r\nCP=second text\r\n");
    EXPECT_EQ(ini.String(L"SETTING", L"CP"), L"second text");
    ini.SetPath(folder.PathOf(L"Other.ini"));
    folder.Write(L"Other.ini", "[SETTING]\r\nCP=other file\r\n");
    EXPECT_EQ(ini.String(L"SETTING", L"CP"), L"other file");
}

}  // namespace
