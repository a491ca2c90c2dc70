// CIniFile over real files: what the dialogs read from Setting.ini. (How a configured text
// and rectangle land on the dialogs' windows is checked through the dialogs themselves.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "IniFile.h"
#include "TempFolder.h"

using namespace testsupport;

namespace {

// What each read of a translator's file gives: texts as written (quotes keep blanks), numbers
// from the start of a value, names without regard to case, missing keys, sections and files as
// empty and 0, nothing without a path, values cut at the reader's buffer.
TEST(IniFileTest, ReadsAsTheDialogsNeedIt) {
    TempFolder folder;
    folder.Write(L"Setting.ini",
                 "; comment line\r\n"
                 "[SETTING]\r\n"
                 "CP=Turn on system protection\r\n"
                 "TITLE=[PRODUCTNAME] Settings\r\n"
                 "IDC_VP_FRAME=\" System Protection \"\r\n"
                 "LONG=" +
                     std::string(6000, 'w') +
                     "\r\n"
                     "NEXT=after\r\n"
                     "[timelist]\r\n"
                     "count=4\r\n"
                     "TIME_1=12 hours\r\n"
                     "TIME_2=abc\r\n"
                     "TIME_3=  7\r\n");
    const struct {
        const wchar_t *file, *section, *key, *text;
        int number;
    } rows[] = {
        {L"Setting.ini", L"SETTING", L"CP", L"Turn on system protection", 0},
        {L"Setting.ini", L"Setting", L"cp", L"Turn on system protection", 0},
        {L"Setting.ini", L"SETTING", L"TITLE", L"[PRODUCTNAME] Settings", 0},
        {L"Setting.ini", L"SETTING", L"IDC_VP_FRAME", L" System Protection ", 0},
        {L"Setting.ini", L"TIMELIST", L"COUNT", L"4", 4},
        {L"Setting.ini", L"TIMELIST", L"TIME_1", L"12 hours", 12},
        {L"Setting.ini", L"TIMELIST", L"TIME_2", L"abc", 0},
        {L"Setting.ini", L"TIMELIST", L"TIME_3", L"7", 7},
        {L"Setting.ini", L"SETTING", L"NOKEY", L"", 0},
        {L"Setting.ini", L"NOSECTION", L"CP", L"", 0},
        {L"NoSuch.ini", L"SETTING", L"CP", L"", 0},
        {L"Setting.ini", L"SETTING", L"LONG", nullptr, 0},
        {L"Setting.ini", L"SETTING", L"NEXT", L"after", 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(Narrow(std::wstring(r.file) + L" " + r.section + L" " + r.key));
        CIniFile ini(folder.PathOf(r.file).c_str());
        std::wstring text = L"previous";
        int number = 42;
        EXPECT_TRUE(ini.ReadString(r.section, r.key, text));
        EXPECT_TRUE(ini.ReadInt(r.section, r.key, number));
        EXPECT_EQ(text, r.text ? r.text : std::wstring(5119, L'w'));
        EXPECT_EQ(number, r.number);
    }
    EXPECT_FALSE(folder.Exists(L"NoSuch.ini")) << "the reader never writes";

    // Without a path every read fails and leaves its output alone.
    CIniFile unbound, fromNull(nullptr), cleared(folder.PathOf(L"Setting.ini").c_str());
    cleared.SetPath(L"");
    for (CIniFile* ini : {&unbound, &fromNull, &cleared}) {
        std::wstring text = L"kept";
        int number = 42;
        EXPECT_FALSE(ini->ReadString(L"SETTING", L"CP", text));
        EXPECT_FALSE(ini->ReadInt(L"SETTING", L"CP", number));
        EXPECT_EQ(text, L"kept");
        EXPECT_EQ(number, 42);
    }
}

}  // namespace
