// The settings dialog as the user first sees it: texts and rectangles from Setting.ini, its
// size and place, the frame's close box and drag band, the keys and clicks it ignores, and
// the module's entry as the host sees it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "HostProcess.h"
#include "Sandbox.h"
#include "TestImages.h"
#include "Ui.h"
#include "resource.h"

using namespace testsupport;

namespace {

constexpr char kInTrace[] = "Ostrel:----------------------In Setting Dlg------------------";
constexpr char kOutTrace[] = "Ostrel:----------------------Out Setting Dlg------------------";

class DialogLayoutTest : public ::testing::Test {
protected:
    Sandbox sandbox{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

// Only reads reached the engine: nothing the user did asked for a change.
void ExpectNoEngineWrites(const Sandbox& sandbox) {
    for (const auto& call : sandbox.Calls())
        EXPECT_EQ(call.rfind("Get", 0), 0u) << "engine write: " << call;
}

// The In/Out traces of the module's entry, in the order written.
std::vector<std::string> EntryTraces(const HostProcess& host) {
    std::vector<std::string> entry;
    for (const auto& trace : host.Traces()) {
        if (trace == kInTrace || trace == kOutTrace) entry.push_back(trace);
    }
    return entry;
}

size_t CountOf(const std::vector<std::string>& traces, const char* trace) {
    return static_cast<size_t>(std::count(traces.begin(), traces.end(), trace));
}

// The host program's own main window.
HWND HostWindow(const HostProcess& host) {
    for (HWND window : host.Windows()) {
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        if (std::wstring(name) == L"SettingHostWindow") return window;
    }
    return nullptr;
}

HWND FocusOf(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus;
}

RECT WindowRectOf(HWND window) {
    RECT rc{};
    ::GetWindowRect(window, &rc);
    return rc;
}

void ClickCloseBox(HWND dialog) {
    const SIZE size = ClientSize(dialog);
    BringToFront(dialog);
    MouseClick(ClientToScreenPoint(dialog, size.cx - 15, 15));
}

// ---------------------------------------------------------------------------------------
// Layout from Setting.ini

TEST_F(DialogLayoutTest, TextsAndRectanglesComeFromSettingIni) {
    sandbox.SetSetting(L"SETTING", L"CP", L"Protect this computer");
    sandbox.SetSetting(L"POSITION", L"CP", L"31,47,222,23");
    HostProcess host(sandbox);
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Text(dialog, 1038), L"Protect this computer");
    const RECT rc = RectIn(dialog, 1038);
    EXPECT_EQ(rc.left, 31);
    EXPECT_EQ(rc.top, 47);
    EXPECT_EQ(rc.right - rc.left, 222);
    EXPECT_EQ(rc.bottom - rc.top, 23);
    host.Kill();
}

TEST_F(DialogLayoutTest, FifthNumberHidesAControlForTheWholeOpening) {
    sandbox.SetSetting(L"POSITION", L"VP_FREESHOW", L"24,97,380,18,1");
    sandbox.SetSetting(L"POSITION", L"VP_RESIZE", L"436,97,140,18,0");
    HostProcess host(sandbox);
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    // Placed first, then hidden; filling in its text later does not show it again.
    EXPECT_FALSE(Visible(dialog, IDC_STATIC_SZ_SHOW));
    const RECT usage = RectIn(dialog, IDC_STATIC_SZ_SHOW);
    EXPECT_EQ(usage.left, 24);
    EXPECT_EQ(usage.top, 97);
    EXPECT_EQ(usage.right - usage.left, 380);
    EXPECT_NE(Text(dialog, IDC_STATIC_SZ_SHOW).find(L"3200.000"), std::wstring::npos);
    // A fifth number of 0 leaves the control shown.
    EXPECT_TRUE(Visible(dialog, IDC_STATIC_RESIZE));
    host.Kill();
}

TEST_F(DialogLayoutTest, SetFrameGivesTheSizeAndTheDialogIsCentredOnTheHost) {
    sandbox.SetSetting(L"POSITION", L"SET_FRAME", L"100,100,640,460");
    HostProcess host(sandbox);
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    HWND owner = HostWindow(host);
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), owner);

    const SIZE client = ClientSize(dialog);
    EXPECT_EQ(client.cx, 640);
    EXPECT_EQ(client.cy, 460);
    const RECT own = WindowRectOf(dialog);
    const RECT hostRect = WindowRectOf(owner);
    // x and y of SET_FRAME give way to the centring.
    EXPECT_NEAR((own.left + own.right) / 2.0, (hostRect.left + hostRect.right) / 2.0, 1.0);
    EXPECT_NEAR((own.top + own.bottom) / 2.0, (hostRect.top + hostRect.bottom) / 2.0, 1.0);
    EXPECT_FALSE(own.left == 100 && own.top == 100);
    host.Kill();
}

// ---------------------------------------------------------------------------------------
// Keys and clicks the dialog ignores

TEST_F(DialogLayoutTest, EnterEscAndAltF4LeaveTheDialogOpen) {
    HostProcess host(sandbox);
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    // A change arms the default button (the hidden Apply): Enter would now save.
    Click(dialog, IDC_CHECK_TRAYICON);
    ASSERT_TRUE(WaitUntil([&] { return Enabled(dialog, IDC_BTN_APPLY); }, 3000));
    BringToFront(dialog);
    // The keyboard reaches the dialog: Tab moves the focus on.
    const HWND first = FocusOf(dialog);
    PressKey(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(dialog) != first; }, 3000))
        << "keys do not reach the dialog";

    const struct {
        const char* name;
        WORD key;
        std::initializer_list<WORD> modifiers;
    } keys[] = {{"Enter", VK_RETURN, {}}, {"Esc", VK_ESCAPE, {}}, {"Alt+F4", VK_F4, {VK_MENU}}};
    for (const auto& k : keys) {
        PressKey(k.key, k.modifiers);
        host.Settle();
        EXPECT_TRUE(host.Running()) << k.name;
        EXPECT_TRUE(::IsWindowVisible(dialog)) << k.name << " closed the dialog";
    }
    EXPECT_EQ(CountOf(host.Traces(), kOutTrace), 0u);
    ExpectNoEngineWrites(sandbox);
    host.Kill();
}

TEST_F(DialogLayoutTest, CtrlKeysInAListChangeNothing) {
    HostProcess host(sandbox);
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    HWND list = Control(dialog, IDC_COMBO_SCHEDULE);
    ASSERT_TRUE(Enabled(dialog, IDC_COMBO_SCHEDULE));
    BringToFront(dialog);
    ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(dialog) == list; }, 3000));
    const int selected = ComboSelection(dialog, IDC_COMBO_SCHEDULE);
    ASSERT_GE(selected, 0);
    ASSERT_LT(selected + 1, static_cast<int>(ComboItems(dialog, IDC_COMBO_SCHEDULE).size()));

    PressKey('A', {VK_CONTROL});
    PressKey(VK_DOWN, {VK_CONTROL});
    PressKey(VK_UP, {VK_CONTROL});
    host.Settle();
    EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_SCHEDULE), selected);
    EXPECT_FALSE(Enabled(dialog, IDC_BTN_APPLY)) << "the dialog saw a change";

    // Without Ctrl the same list answers: Down picks the next period.
    PressKey(VK_DOWN);
    EXPECT_TRUE(WaitUntil(
        [&] { return ComboSelection(dialog, IDC_COMBO_SCHEDULE) == selected + 1; }, 3000));
    EXPECT_TRUE(::IsWindowVisible(dialog));
    ExpectNoEngineWrites(sandbox);
    host.Kill();
}

TEST_F(DialogLayoutTest, ShiftClickLeavesACheckBoxAsItIs) {
    HostProcess host(sandbox);
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    const bool before = Checked(dialog, IDC_CHECK_TRAYICON);
    const RECT box = RectIn(dialog, IDC_CHECK_TRAYICON);
    const POINT at = ClientToScreenPoint(dialog, box.left + 7, (box.top + box.bottom) / 2);
    BringToFront(dialog);

    MouseDown(at, /*shift=*/true);
    MouseUp(at);
    host.Settle();
    EXPECT_EQ(Checked(dialog, IDC_CHECK_TRAYICON), before);
    EXPECT_FALSE(Enabled(dialog, IDC_BTN_APPLY)) << "the dialog saw a click";

    // The same click without Shift toggles it.
    MouseClick(at);
    EXPECT_TRUE(WaitUntil([&] { return Checked(dialog, IDC_CHECK_TRAYICON) != before; }, 3000));
    ExpectNoEngineWrites(sandbox);
    host.Kill();
}

// ---------------------------------------------------------------------------------------
// The frame: drag band and close box

TEST_F(DialogLayoutTest, PressInTheTopThirtyOneRowsDragsTheWindow) {
    HostProcess host(sandbox);
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    BringToFront(dialog);

    // A press at (300, y), dragged 60 pixels right and 40 down in steps, then released.
    auto drag = [&](int y) {
        const POINT from = ClientToScreenPoint(dialog, 300, y);
        MouseDown(from);
        for (int step = 1; step <= 6; ++step)
            MoveMouse({from.x + 10 * step, from.y + 20 * step / 3});
        MouseUp({from.x + 60, from.y + 40});
        host.Settle();
    };

    const RECT start = WindowRectOf(dialog);
    drag(30);  // the band's last row
    RECT now{};
    EXPECT_TRUE(WaitUntil(
        [&] {
            now = WindowRectOf(dialog);
            return now.left == start.left + 60 && now.top == start.top + 40;
        },
        3000))
        << "at " << now.left << "," << now.top << " from " << start.left << "," << start.top;

    // The next press lands elsewhere on the screen, so it is no double click.
    const RECT moved = WindowRectOf(dialog);
    drag(31);  // below the band: ignored
    now = WindowRectOf(dialog);
    EXPECT_EQ(now.left, moved.left);
    EXPECT_EQ(now.top, moved.top);
    EXPECT_TRUE(::IsWindowVisible(dialog));
    ExpectNoEngineWrites(sandbox);
    host.Kill();
}

TEST_F(DialogLayoutTest, CloseBoxEndsWithoutWritingToTheEngine) {
    HostProcess host(sandbox);
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    const SIZE size = ClientSize(dialog);
    BringToFront(dialog);
    MouseClick(ClientToScreenPoint(dialog, size.cx - 15, 15));
    ASSERT_TRUE(host.WaitForExit());
    for (const auto& call : sandbox.Calls()) {
        EXPECT_EQ(call.rfind("Set", 0), std::string::npos) << call;
    }
    const auto traces = host.Traces();
    const auto in = std::find(traces.begin(), traces.end(), kInTrace);
    const auto out = std::find(traces.begin(), traces.end(), kOutTrace);
    ASSERT_NE(in, traces.end());
    ASSERT_NE(out, traces.end());
    EXPECT_LT(in, out);
}

TEST_F(DialogLayoutTest, EmptyCloseBoxImageDrawsNothingAndLogsNothing) {
    // A plain grey title band, so that whatever the close box draws stands out.
    constexpr COLORREF kBand = RGB(0x60, 0x70, 0x80);
    sandbox.WriteFile(L"skin\\default\\frame\\wndbk.png", SolidBmp24(60, 30, kBand));
    HostProcess host(sandbox, L"/show /repeat 2");

    // Pixels of the close-box picture (x from width - 35 to width - 6, y from 1 to 25) that
    // are not the band.
    auto drawnPixels = [&](HWND dialog) {
        const Capture shot(dialog);
        return 30 * 25 - shot.Count({shot.Width() - 35, 1, shot.Width() - 5, 26}, kBand);
    };

    // First opening: the shipped picture shows.
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_GT(drawnPixels(dialog), 20) << "the shipped close box was not drawn";
    sandbox.SetSetting(L"SETTING", L"IDC_BTNS", L"");
    ClickCloseBox(dialog);

    // Second opening, read anew: the image path is the bare folder.
    ASSERT_TRUE(WaitUntil([&] { return CountOf(EntryTraces(host), kInTrace) == 2; }));
    dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(drawnPixels(dialog), 0);
    ClickCloseBox(dialog);
    ASSERT_TRUE(host.WaitForExit());
    const auto log = sandbox.LogLines();
    EXPECT_TRUE(log.empty()) << std::string(log[0].begin(), log[0].end());
}

TEST_F(DialogLayoutTest, ANewBandOrFrameImageOrTitleShowsAtTheNextOpeningOfTheSameProcess) {
    // The painted frame is kept from one opening to the next; what it was drawn from may not.
    constexpr COLORREF kFirstBand = RGB(0x60, 0x70, 0x80);
    constexpr COLORREF kSecondBand = RGB(0x20, 0x90, 0x40);
    constexpr COLORREF kFirstFrame = RGB(0xC0, 0x30, 0x30);
    constexpr COLORREF kSecondFrame = RGB(0x30, 0x30, 0xC0);
    sandbox.WriteFile(L"skin\\default\\frame\\wndbk.png", SolidBmp24(60, 30, kFirstBand));
    sandbox.WriteFile(L"skin\\default\\frame\\Line_Frame.bmp", SolidBmp24(21, 21, kFirstFrame));
    HostProcess host(sandbox, L"/show /repeat 3");
    const auto bandColour = [](HWND dialog) {
        const Capture shot(dialog);
        return shot.At(shot.Width() / 2, 28);  // right of the title, left of the close box
    };
    const auto frameColour = [](HWND dialog) {
        const RECT group = RectIn(dialog, IDC_NOTI_FRAME);
        const Capture shot(dialog);
        return shot.At(group.right - 2, group.bottom - 2);  // in the bottom-right corner piece
    };
    // The colour once painting is over (a dialog is found before it has painted everything).
    const auto settled = [](HWND dialog, const auto& colourOf, COLORREF expected) {
        WaitUntil([&] { return colourOf(dialog) == expected; }, 5000);
        return colourOf(dialog);
    };

    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(settled(dialog, bandColour, kFirstBand), kFirstBand);
    EXPECT_EQ(settled(dialog, frameColour, kFirstFrame), kFirstFrame);
    sandbox.WriteFile(L"skin\\default\\frame\\wndbk.png", SolidBmp24(60, 30, kSecondBand));
    sandbox.WriteFile(L"skin\\default\\frame\\Line_Frame.bmp", SolidBmp24(21, 21, kSecondFrame));
    ClickCloseBox(dialog);

    ASSERT_TRUE(WaitUntil([&] { return CountOf(EntryTraces(host), kInTrace) == 2; }));
    dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(settled(dialog, bandColour, kSecondBand), kSecondBand)
        << "the first opening's band was shown again";
    EXPECT_EQ(settled(dialog, frameColour, kSecondFrame), kSecondFrame)
        << "the first opening's frames were shown again";
    sandbox.SetSetting(L"SETTING", L"TITLE", L"I");
    ClickCloseBox(dialog);

    ASSERT_TRUE(WaitUntil([&] { return CountOf(EntryTraces(host), kInTrace) == 3; }));
    dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Text(dialog), L"I");
    // Where the longer title stood, only the band.
    const auto bandBesideTitle = [&](HWND d) {
        return Capture(d).Count({30, 2, 250, 28}, kSecondBand);
    };
    WaitUntil([&] { return bandBesideTitle(dialog) == 220 * 26; }, 5000);
    EXPECT_EQ(bandBesideTitle(dialog), 220 * 26) << "the old title is still drawn";
    ClickCloseBox(dialog);
    ASSERT_TRUE(host.WaitForExit());
}

// ---------------------------------------------------------------------------------------
// The entry as the host sees it

TEST_F(DialogLayoutTest, EveryCallIsBracketedByInAndOutTraces) {
    HostProcess host(sandbox, L"/show /repeat 2");
    HWND first = host.WaitForSettings();
    ASSERT_NE(first, nullptr);
    ClickCloseBox(first);
    ASSERT_TRUE(WaitUntil([&] { return CountOf(EntryTraces(host), kInTrace) == 2; }));
    HWND second = host.WaitForSettings();
    ASSERT_NE(second, nullptr);
    ClickCloseBox(second);
    ASSERT_TRUE(host.WaitForExit());
    EXPECT_EQ(host.ExitCode(), 0u);
    EXPECT_EQ(EntryTraces(host),
              (std::vector<std::string>{kInTrace, kOutTrace, kInTrace, kOutTrace}));
    ExpectNoEngineWrites(sandbox);
}

TEST_F(DialogLayoutTest, NullParentShowsAnUnownedDialogThatReturnsNormally) {
    HostProcess host(sandbox, L"/show /noparent");
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), nullptr);
    HWND hostWindow = HostWindow(host);
    ASSERT_NE(hostWindow, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(hostWindow)) << "a window that is no owner was disabled";
    // Without an owner the dialog is centred on the screen's work area.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT own = WindowRectOf(dialog);
    EXPECT_NEAR((own.left + own.right) / 2.0, (work.left + work.right) / 2.0, 1.0);
    EXPECT_NEAR((own.top + own.bottom) / 2.0, (work.top + work.bottom) / 2.0, 1.0);

    ClickCloseBox(dialog);
    ASSERT_TRUE(host.WaitForExit());
    EXPECT_EQ(host.ExitCode(), 0u);
    EXPECT_EQ(EntryTraces(host), (std::vector<std::string>{kInTrace, kOutTrace}));
}

TEST_F(DialogLayoutTest, ModuleDoesNotLoadWithoutTheResizeLibrary) {
    sandbox.RemoveFile(L"Tessvane.dll");
    HostProcess host(sandbox);
    ASSERT_TRUE(host.WaitForExit());
    EXPECT_EQ(host.ExitCode(), 3u);
    EXPECT_TRUE(EntryTraces(host).empty());
    EXPECT_TRUE(sandbox.Calls().empty());
}

}  // namespace
