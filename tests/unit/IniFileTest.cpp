// CIniFile over real files: what the dialogs read from Setting.ini, and how a configured
// text and rectangle land on a real window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "IniFile.h"
#include "TempFolder.h"

using testsupport::TempFolder;

namespace {

// A folder name for the running test ("Name/0" of a parameterised test becomes "Name-0").
std::wstring CurrentTestName() {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name) {
        if (c == '/') c = '-';
    }
    return std::wstring(name.begin(), name.end());
}

class IniFileTest : public ::testing::Test {
protected:
    TempFolder folder{L"ini-" + CurrentTestName()};
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

// ---------------------------------------------------------------------------------------
// Texts and rectangles applied to a real window

// A small parent window with one child, in the screen's bottom right corner so that it never
// covers a dialog of another test, shown without taking the focus.
class WindowPair {
public:
    WindowPair() {
        const int right = ::GetSystemMetrics(SM_CXSCREEN);
        const int bottom = ::GetSystemMetrics(SM_CYSCREEN);
        parent_ = ::CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP,
                                    right - 160, bottom - 120, 160, 120, nullptr, nullptr, nullptr,
                                    nullptr);
        child_ = ::CreateWindowExW(0, L"STATIC", L"template", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20,
                                   parent_, nullptr, nullptr, nullptr);
        ::ShowWindow(parent_, SW_SHOWNOACTIVATE);
        ::UpdateWindow(parent_);
    }
    ~WindowPair() {
        if (parent_) ::DestroyWindow(parent_);
    }
    WindowPair(const WindowPair&) = delete;
    WindowPair& operator=(const WindowPair&) = delete;

    HWND Parent() const { return parent_; }
    HWND Child() const { return child_; }

    // The child's rectangle in its parent's client coordinates.
    RECT ChildRect() const {
        RECT rc{};
        ::GetWindowRect(child_, &rc);
        ::MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    std::wstring ChildText() const {
        wchar_t text[256] = {};
        ::GetWindowTextW(child_, text, 256);
        return text;
    }
    bool ChildVisible() const { return (::GetWindowLongW(child_, GWL_STYLE) & WS_VISIBLE) != 0; }

    // Handles what is queued, then marks everything as painted.
    void Painted() const {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::ValidateRect(parent_, nullptr);
        ::ValidateRect(child_, nullptr);
    }
    bool NeedsPaint() const {
        return ::GetUpdateRect(parent_, nullptr, FALSE) || ::GetUpdateRect(child_, nullptr, FALSE);
    }

private:
    HWND parent_ = nullptr;
    HWND child_ = nullptr;
};

void ExpectRect(const RECT& rc, int x, int y, int width, int height) {
    EXPECT_EQ(rc.left, x);
    EXPECT_EQ(rc.top, y);
    EXPECT_EQ(rc.right - rc.left, width);
    EXPECT_EQ(rc.bottom - rc.top, height);
}

class ApplyToWindowTest : public IniFileTest {
protected:
    void SetUp() override {
        WriteIni(
            "[SETTING]\r\n"
            "CP=Turn on system protection\r\n"
            "TITLE=[PRODUCTNAME] Settings\r\n"
            "[POSITION]\r\n"
            "CP=10,20,100,25\r\n"
            "HIDDEN=10,20,100,25,1\r\n"
            "SHOWN=30,40,60,15,0\r\n"
            "SIXTH=5,6,7,8,0,99\r\n"
            "GAPS=10,,20\r\n");
        ASSERT_NE(windows.Child(), nullptr);
    }
    CIniFile ini{path.c_str()};
    WindowPair windows;
};

TEST_F(ApplyToWindowTest, TextIsSetAsReadWithoutReplacingPlaceholders) {
    ini.ApplyText(windows.Child(), L"SETTING", L"CP");
    EXPECT_EQ(windows.ChildText(), L"Turn on system protection");
    ini.ApplyText(windows.Child(), L"SETTING", L"TITLE");
    EXPECT_EQ(windows.ChildText(), L"[PRODUCTNAME] Settings");
    // A missing key is no error: the text becomes empty.
    ini.ApplyText(windows.Child(), L"SETTING", L"NOKEY");
    EXPECT_EQ(windows.ChildText(), L"");
}

TEST_F(ApplyToWindowTest, PositionMovesAndResizesWithARepaint) {
    windows.Painted();
    ASSERT_FALSE(windows.NeedsPaint());
    ini.ApplyPosition(windows.Child(), L"POSITION", L"CP");
    ExpectRect(windows.ChildRect(), 10, 20, 100, 25);
    EXPECT_TRUE(windows.ChildVisible());
    EXPECT_TRUE(windows.NeedsPaint()) << "moved without a repaint";
}

TEST_F(ApplyToWindowTest, PlacesAndHidesOnlyByTheFifthNumber) {
    const struct {
        const wchar_t* key;
        int x, y, width, height;
        bool visible;
    } cases[] = {{L"CP", 10, 20, 100, 25, true},
                 {L"HIDDEN", 10, 20, 100, 25, false},
                 {L"SHOWN", 30, 40, 60, 15, true},
                 {L"SIXTH", 5, 6, 7, 8, true},
                 {L"GAPS", 10, 20, 0, 0, true},
                 // Missing: to 0,0 with no size, and so out of sight.
                 {L"NOKEY", 0, 0, 0, 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.key);
        ::ShowWindow(windows.Child(), SW_SHOWNA);
        ini.ApplyPosition(windows.Child(), L"POSITION", c.key);
        ExpectRect(windows.ChildRect(), c.x, c.y, c.width, c.height);
        EXPECT_EQ(windows.ChildVisible(), c.visible);
    }
}

TEST_F(ApplyToWindowTest, AFifthNumberOfZeroDoesNotShowAHiddenWindowAgain) {
    ini.ApplyPosition(windows.Child(), L"POSITION", L"HIDDEN");
    ASSERT_FALSE(windows.ChildVisible());
    ini.ApplyPosition(windows.Child(), L"POSITION", L"SHOWN");
    ExpectRect(windows.ChildRect(), 30, 40, 60, 15);
    EXPECT_FALSE(windows.ChildVisible());
}

TEST_F(ApplyToWindowTest, NullWindowOrNoPathChangesNothing) {
    ini.ApplyText(nullptr, L"SETTING", L"CP");
    ini.ApplyPosition(nullptr, L"POSITION", L"HIDDEN");
    EXPECT_EQ(windows.ChildText(), L"template");
    ExpectRect(windows.ChildRect(), 0, 0, 50, 20);
    EXPECT_TRUE(windows.ChildVisible());

    // Without a path the reads fail, and the window keeps its text and place.
    CIniFile unbound;
    unbound.ApplyText(windows.Child(), L"SETTING", L"CP");
    unbound.ApplyPosition(windows.Child(), L"POSITION", L"HIDDEN");
    EXPECT_EQ(windows.ChildText(), L"template");
    ExpectRect(windows.ChildRect(), 0, 0, 50, 20);
    EXPECT_TRUE(windows.ChildVisible());
}

}  // namespace
