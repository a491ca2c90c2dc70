// Text rules that need no window: placeholders, positions (and their rectangles at a dpi),
// usage figures, log lines, file names and translator messages with one number.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "DpiScaling.h"
#include "Text.h"

namespace {

// ---------------------------------------------------------------------------------------
// Positions "x,y,width,height[,hide]"

struct PositionCase {
    const wchar_t* value;
    int32_t x, y, width, height;
    bool hide;
};

TEST(PositionTest, ParsesAsTheDialogsPlaceTheirControls) {
    const PositionCase cases[] = {
        PositionCase{L"10,20,100,25", 10, 20, 100, 25, false},
        PositionCase{L"10,20,100,25,1", 10, 20, 100, 25, true},
        PositionCase{L"10,20,100,25,0", 10, 20, 100, 25, false},
        // Two commas in a row count as one separator.
        PositionCase{L"10,,20", 10, 20, 0, 0, false}, PositionCase{L",,,7", 7, 0, 0, 0, false},
        PositionCase{L"1,2,,,3,4", 1, 2, 3, 4, false},
        // Only five numbers are taken: the sixth cannot hide or move anything.
        PositionCase{L"5,6,7,8,0,99", 5, 6, 7, 8, false},
        PositionCase{L"1,2,3,4,5,6,7,8,9", 1, 2, 3, 4, true},
        // Missing numbers are 0: an empty value makes the control vanish at 0,0.
        PositionCase{L"", 0, 0, 0, 0, false}, PositionCase{L"12", 12, 0, 0, 0, false},
        // Leading blanks and a sign are part of a number; what follows it is not.
        PositionCase{L"  10,\t-20, +30,  40 ", 10, -20, 30, 40, false},
        PositionCase{L"12px,3.9,7 8,9x", 12, 3, 7, 9, false},
        // Pieces without a number give 0; they still count as pieces.
        PositionCase{L"abc,x5,-,+,1", 0, 0, 0, 0, true},
        PositionCase{L"0x10,1e3,--5,+-5", 0, 1, 0, 0, false},
        PositionCase{L"1,2,3,4,-1", 1, 2, 3, 4, true},
        PositionCase{L"1,2,3,4, 0", 1, 2, 3, 4, false},
        // Numbers beyond the 32-bit range are clamped, never wrapped.
        PositionCase{L"2147483647,-2147483648,2147483648,-2147483649", INT32_MAX, INT32_MIN,
                     INT32_MAX, INT32_MIN, false},
        PositionCase{L"99999999999999999999999999,-99999999999999999999999999", INT32_MAX,
                     INT32_MIN, 0, 0, false},
        PositionCase{L"1,2,3,4,4294967296", 1, 2, 3, 4, true}};
    for (const PositionCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << '"' << c.value << '"');
        const text::Position p = text::ParsePosition(c.value);
        EXPECT_EQ(p.x, c.x);
        EXPECT_EQ(p.y, c.y);
        EXPECT_EQ(p.width, c.width);
        EXPECT_EQ(p.height, c.height);
        EXPECT_EQ(p.hide, c.hide);
    }
    // At a dpi: corner and size scaled apart (rounded half away from zero), the far edges held
    // to the 32-bit range, so that right - left never overflows either.
    const struct {
        const wchar_t* value;
        unsigned dpi;
        int32_t left, top, right, bottom;
    } placed[] = {{L"10,20,100,25", 96, 10, 20, 110, 45},
                  {L"10,20,100,25", 144, 15, 30, 165, 68},
                  {L"-3,-3,1,1", 120, -4, -4, -3, -3},
                  {L"2000000000,0,2000000000,10", 96, 2000000000, 0, INT32_MAX, 10},
                  {L"0,-2000000000,0,-2000000000", 96, 0, -2000000000, 0, INT32_MIN},
                  {L"-2147483648,0,2147483647,0", 96, INT32_MIN, 0, -1, 0},
                  {L"2147483647,0,1,1", 192, INT32_MAX, 0, INT32_MAX, 2},
                  {L"0,0,2147483647,1", 144, 0, 0, INT32_MAX, 2}};
    for (const auto& c : placed) {
        SCOPED_TRACE(::testing::Message() << '"' << c.value << "\" at " << c.dpi);
        const dpi::Rect r = dpi::ScaledRect(text::ParsePosition(c.value), c.dpi);
        EXPECT_EQ(r.left, c.left);
        EXPECT_EQ(r.top, c.top);
        EXPECT_EQ(r.right, c.right);
        EXPECT_EQ(r.bottom, c.bottom);
    }
}

// ---------------------------------------------------------------------------------------
// Placeholders

struct ReplaceCase {
    const wchar_t* text;
    const wchar_t* placeholder;
    const wchar_t* value;
    const wchar_t* expected;
};

TEST(ReplaceAllTest, ReplacesEveryOccurrenceOnce) {
    const ReplaceCase cases[] = {
        ReplaceCase{L"[PRODUCTNAME] Settings", L"[PRODUCTNAME]", L"Shield", L"Shield Settings"},
        ReplaceCase{L"[USED] of [TOTAL] ([USED])", L"[USED]", L"1.500",
                    L"1.500 of [TOTAL] (1.500)"},
        ReplaceCase{L"[P][P][P]", L"[P]", L"x", L"xxx"},
        ReplaceCase{L"no placeholder here", L"[P]", L"x", L"no placeholder here"},
        ReplaceCase{L"", L"[P]", L"x", L""},
        // A value that carries the placeholder is not replaced again (no endless growth).
        ReplaceCase{L"[P] and [P]", L"[P]", L"<[P]>", L"<[P]> and <[P]>"},
        // Nor does a replacement join with the following text into a new occurrence.
        ReplaceCase{L"[[P]P]", L"[P]", L"[", L"[[P]"}, ReplaceCase{L"[P]", L"[P]", L"", L""},
        ReplaceCase{L"[p] stays", L"[P]", L"x", L"[p] stays"},
        // An empty placeholder leaves the text as it is.
        ReplaceCase{L"abc", L"", L"x", L"abc"}};
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << '"' << c.text << "\" with " << c.value);
        EXPECT_EQ(text::ReplaceAll(c.text, c.placeholder, c.value), c.expected);
    }
}

// ---------------------------------------------------------------------------------------
// Usage figures: engine units divided by 2^20, three decimals

TEST(FormatMegaUnitsTest, ShowsThreeDecimalsOfTwoToTheTwentieth) {
    EXPECT_EQ(text::FormatMegaUnits(0), L"0.000");
    EXPECT_EQ(text::FormatMegaUnits(1), L"0.000");
    EXPECT_EQ(text::FormatMegaUnits(1048), L"0.001");  // 0.000999... rounds up
    EXPECT_EQ(text::FormatMegaUnits(524288), L"0.500");
    EXPECT_EQ(text::FormatMegaUnits(1048576), L"1.000");
    EXPECT_EQ(text::FormatMegaUnits(1572864), L"1.500");
    EXPECT_EQ(text::FormatMegaUnits(52428800), L"50.000");
    EXPECT_EQ(text::FormatMegaUnits(0xFFFFFFFFu), L"4096.000");
}

// ---------------------------------------------------------------------------------------
// Log lines

constexpr text::Timestamp kSeventhOfMarch{2031, 3, 7, 14, 5, 9};

TEST(LogLineTest, ErrorLineHasMonthFirstStampCodeFileAndLine) {
    EXPECT_EQ(text::ErrorLogLine(kSeventhOfMarch, 8, L"SettingDlg.cpp", 512),
              L"[03-07-2031,14:05:09] Error = 8 (File=SettingDlg.cpp,Line=512)\r\n");
    EXPECT_EQ(text::ErrorLogLine({987, 12, 31, 0, 0, 0}, -2147467259, L"X", 0),
              L"[12-31-0987,00:00:00] Error = -2147467259 (File=X,Line=0)\r\n");
}

TEST(LogLineTest, TraceLineIsStampBlankTextAndLineEnd) {
    EXPECT_EQ(text::TraceLogLine(kSeventhOfMarch, L"app =A,directory = B"),
              L"[03-07-2031,14:05:09] app =A,directory = B\r\n");
    EXPECT_EQ(text::TraceLogLine({2031, 1, 2, 23, 59, 58}, L""), L"[01-02-2031,23:59:58] \r\n");
    // The text is written as it is: no format conversion happens here.
    EXPECT_EQ(text::TraceLogLine(kSeventhOfMarch, L"100% %s %n"),
              L"[03-07-2031,14:05:09] 100% %s %n\r\n");
}

TEST(LogLineTest, TraceLineFitsTheBufferWithItsLineEnd) {
    const std::wstring stamp = text::LogTimestamp(kSeventhOfMarch);
    ASSERT_EQ(stamp.size(), 22u);
    // Room for text: 1024 characters less the terminator, "\r\n" and the stamp.
    const size_t room = text::kLogLineCapacity - 1 - 2 - stamp.size();

    const std::wstring fits(room, L'a');
    EXPECT_EQ(text::TraceLogLine(kSeventhOfMarch, fits), stamp + fits + L"\r\n");

    for (size_t length : {room + 1, size_t{5000}}) {
        const std::wstring line = text::TraceLogLine(kSeventhOfMarch, std::wstring(length, L'b'));
        EXPECT_EQ(line.size(), text::kLogLineCapacity - 1) << length;
        EXPECT_EQ(line.substr(0, stamp.size()), stamp);
        EXPECT_EQ(line.substr(line.size() - 2), L"\r\n");
        EXPECT_EQ(line.find_first_not_of(L'b', stamp.size()), line.size() - 2);
    }
}

TEST(LogLineTest, ErrorLineWithAnOverlongFileNameIsCutButEndsTheLine) {
    const std::wstring line =
        text::ErrorLogLine(kSeventhOfMarch, 8, std::wstring(3000, L'f') + L".cpp", 7);
    EXPECT_LE(line.size(), text::kLogLineCapacity - 1);
    EXPECT_EQ(line.rfind(L"[03-07-2031,14:05:09] Error = 8 (File=fff", 0), 0u);
    EXPECT_EQ(line.substr(line.size() - 2), L"\r\n");
    EXPECT_EQ(line.find(L"\r\n"), line.size() - 2);
}

TEST(FileNamePartTest, TakesWhatFollowsTheLastSlashOfEitherKind) {
    EXPECT_EQ(text::FileNamePart(L"C:\\src\\Setting\\SettingDlg.cpp"), L"SettingDlg.cpp");
    EXPECT_EQ(text::FileNamePart(L"/work/main/Setting/IniFile.cpp"), L"IniFile.cpp");
    EXPECT_EQ(text::FileNamePart(L"C:/mixed\\dirs/Text.cpp"), L"Text.cpp");
    EXPECT_EQ(text::FileNamePart(L"C:\\mixed/dirs\\Text.cpp"), L"Text.cpp");
    EXPECT_EQ(text::FileNamePart(L"Plain.cpp"), L"Plain.cpp");
    EXPECT_EQ(text::FileNamePart(L"Z:\\host\\SettingHost.exe"), L"SettingHost.exe");
    EXPECT_EQ(text::FileNamePart(L"C:\\folder\\"), L"");
    EXPECT_EQ(text::FileNamePart(L""), L"");
}

// ---------------------------------------------------------------------------------------
// Translator messages with one number

struct OneIntegerCase {
    const wchar_t* pattern;
    int32_t value;
    const wchar_t* expected;
};

TEST(FormatWithOneIntegerTest, FillsOnlyTheFirstIntegerConversion) {
    const OneIntegerCase cases[] = {
        OneIntegerCase{L"At most %d characters", 8, L"At most 8 characters"},
        OneIntegerCase{L"no number", 8, L"no number"}, OneIntegerCase{L"", 8, L""},
        // A hostile pattern: string and write-back conversions are shown, not performed.
        OneIntegerCase{L"%s%s%n %d", 8, L"%s%s%n 8"},
        OneIntegerCase{L"%n%p%f%c%S %ls", 8, L"%n%p%f%c%S %ls"}, OneIntegerCase{L"%%", 8, L"%"},
        OneIntegerCase{L"100%% of %d", 8, L"100% of 8"}, OneIntegerCase{L"%%d", 8, L"%d"},
        OneIntegerCase{L"trailing %", 8, L"trailing %"},
        // Only the first integer conversion receives the number.
        OneIntegerCase{L"%d of %d", 8, L"8 of %d"}, OneIntegerCase{L"%i/%u/%x", 8, L"8/%u/%x"},
        // Flags, widths and precisions as printf has them.
        OneIntegerCase{L"[%5d]", 8, L"[    8]"}, OneIntegerCase{L"[%-5d]", 8, L"[8    ]"},
        OneIntegerCase{L"[%05d]", -8, L"[-0008]"}, OneIntegerCase{L"[%.3d]", 8, L"[008]"},
        OneIntegerCase{L"[%+d]", 8, L"[+8]"}, OneIntegerCase{L"[% d]", 8, L"[ 8]"},
        OneIntegerCase{L"[%x]", 255, L"[ff]"}, OneIntegerCase{L"[%#X]", 255, L"[0XFF]"},
        OneIntegerCase{L"[%u]", -1, L"[4294967295]"},
        OneIntegerCase{L"[%d]", INT32_MIN, L"[-2147483648]"},
        // A width no message needs is not a conversion: no huge padding is produced.
        OneIntegerCase{L"[%99999999d]", 8, L"[%99999999d]"},
        OneIntegerCase{L"[%.99999999d]", 8, L"[%.99999999d]"}};
    for (const OneIntegerCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << '"' << c.pattern << '"');
        EXPECT_EQ(text::FormatWithOneInteger(c.pattern, c.value), c.expected);
    }
}

TEST(FormatWithOneIntegerTest, ResultIsCutToTheMaximumLength) {
    EXPECT_EQ(text::FormatWithOneInteger(std::wstring(1000, L'x') + L"%d", 8).size(), 259u);
    EXPECT_EQ(text::FormatWithOneInteger(L"abc%32d", 8, 10), L"abc       ");
    // 150 escaped percent signs, then a plain "d".
    EXPECT_EQ(text::FormatWithOneInteger(std::wstring(300, L'%') + L"d", 8),
              std::wstring(150, L'%') + L"d");
}

}  // namespace
