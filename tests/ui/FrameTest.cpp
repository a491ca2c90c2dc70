// The settings dialog as a window: texts and rectangles from Setting.ini, its size and place,
// the keys and clicks it swallows, the drag band and the close box, the In/Out traces of each
// call, an unowned opening, and a module that cannot load without the resize library.
#include <algorithm>

#include "Session.h"
#include "TestImages.h"

using namespace testsupport;

namespace {

constexpr char kInTrace[] = "Ostrel:----------------------In Setting Dlg------------------";
constexpr char kOutTrace[] = "Ostrel:----------------------Out Setting Dlg------------------";

std::vector<std::string> EntryTraces(const HostProcess& host) {
    std::vector<std::string> entry;
    for (const auto& trace : host.Traces()) {
        if (trace == kInTrace || trace == kOutTrace) entry.push_back(trace);
    }
    return entry;
}

void ClickCloseBox(HWND dialog) {
    BringToFront(dialog);
    MouseClick(ClientToScreenPoint(dialog, ClientSize(dialog).cx - 15, 15));
}

TEST(FrameTest, TextsAndRectanglesComeFromSettingIni) {
    Session session;
    HWND dialog = session.Open("", {{L"SETTING", L"CP", L"Protect this computer"},
                                    {L"POSITION", L"CP", L"31,47,222,23"},
                                    {L"POSITION", L"VP_FREESHOW", L"24,97,380,18,1"},
                                    {L"POSITION", L"VP_RESIZE", L"436,97,140,18,0"},
                                    {L"POSITION", L"SET_FRAME", L"100,100,640,460"}});
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Text(dialog, IDC_CHECK_PROTECT), L"Protect this computer");
    EXPECT_EQ(Position(dialog, IDC_CHECK_PROTECT), "31,47,222,23");
    // A fifth number hides a control for the whole opening; placed first, it keeps its text.
    ExpectControls(dialog, "usage=hidden resize=shown");
    EXPECT_EQ(Position(dialog, IDC_STATIC_SZ_SHOW), "24,97,380,18");
    EXPECT_NE(Text(dialog, IDC_STATIC_SZ_SHOW).find(L"3200.000"), std::wstring::npos);
    // SET_FRAME gives the size; x and y give way to centring on the host's window.
    EXPECT_EQ(ClientSize(dialog).cx, 640);
    EXPECT_EQ(ClientSize(dialog).cy, 460);
    HWND owner = session.host->MainWindow();
    EXPECT_EQ(OwnerOf(dialog), owner);
    const RECT own = WindowRectOf(dialog), host = WindowRectOf(owner);
    EXPECT_NEAR((own.left + own.right) / 2.0, (host.left + host.right) / 2.0, 1.0);
    EXPECT_NEAR((own.top + own.bottom) / 2.0, (host.top + host.bottom) / 2.0, 1.0);
    session.Close(dialog);
}

// Enter, Escape and Alt+F4 leave it open, even with the (hidden) default button armed; Ctrl
// keys in a list and a Shift-click on a box change nothing. Without the modifier the same
// keys and clicks work.
TEST(FrameTest, SwallowedKeysAndClicksChangeNothing) {
    Session session;
    HWND dialog = session.Open();
    ASSERT_NE(dialog, nullptr);
    BringToFront(dialog);
    const RECT box = RectIn(dialog, IDC_CHECK_TRAYICON);
    const POINT at = ClientToScreenPoint(dialog, box.left + 7, (box.top + box.bottom) / 2);
    MouseDown(at, /*shift=*/true);
    MouseUp(at);
    session.host->Settle();
    ExpectControls(dialog, "tray=on apply=greyed");

    HWND list = Control(dialog, IDC_COMBO_SCHEDULE);
    ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(dialog) == list; }, 3000));
    PressKey('A', {VK_CONTROL});
    PressKey(VK_DOWN, {VK_CONTROL});
    PressKey(VK_UP, {VK_CONTROL});
    session.host->Settle();
    ExpectControls(dialog, "scheduleList=#2 apply=greyed");
    PressKey(VK_DOWN);
    EXPECT_TRUE(WaitUntil([&] { return ComboSelection(dialog, IDC_COMBO_SCHEDULE) == 3; }, 3000));

    MouseClick(at);
    EXPECT_TRUE(WaitUntil([&] { return !Checked(dialog, IDC_CHECK_TRAYICON); }, 3000));
    ASSERT_TRUE(WaitUntil([&] { return Enabled(dialog, IDC_BTN_APPLY); }, 3000));
    const HWND first = FocusOf(dialog);
    PressKey(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(dialog) != first; }, 3000)) << "no keys reach it";
    for (const WORD key : {VK_RETURN, VK_ESCAPE}) {
        PressKey(key);
        session.host->Settle();
    }
    PressKey(VK_F4, {VK_MENU});
    session.host->Settle();
    EXPECT_TRUE(::IsWindowVisible(dialog)) << "closed by a key";
    const auto traces = session.host->Traces();
    EXPECT_EQ(std::count(traces.begin(), traces.end(), kOutTrace), 0);
    session.ExpectOnlyReads();
    session.Close(dialog);
}

// A press in the top 31 rows drags the window; one below does not.
TEST(FrameTest, PressInTheTopThirtyOneRowsDragsTheWindow) {
    Session session;
    HWND dialog = session.Open();
    ASSERT_NE(dialog, nullptr);
    BringToFront(dialog);
    auto drag = [&](int y) {
        const POINT from = ClientToScreenPoint(dialog, 300, y);
        MouseDown(from);
        for (int step = 1; step <= 6; ++step)
            MoveMouse({from.x + 10 * step, from.y + 20 * step / 3});
        MouseUp({from.x + 60, from.y + 40});
        session.host->Settle();
    };
    const RECT start = WindowRectOf(dialog);
    drag(30);
    EXPECT_TRUE(WaitUntil(
        [&] {
            const RECT now = WindowRectOf(dialog);
            return now.left == start.left + 60 && now.top == start.top + 40;
        },
        3000));
    const RECT moved = WindowRectOf(dialog);
    drag(31);
    EXPECT_EQ(WindowRectOf(dialog).left, moved.left);
    EXPECT_EQ(WindowRectOf(dialog).top, moved.top);
    session.ExpectOnlyReads();
    session.Close(dialog);
}

// The close box ends the call without writing anything; each call is bracketed by the In and
// Out traces. The box's picture comes from "IDC_BTNS": left empty it draws nothing, silently.
TEST(FrameTest, CloseBoxEndsEachCallBetweenItsTraces) {
    constexpr COLORREF kBand = RGB(0x60, 0x70, 0x80);  // plain, so the box's picture stands out
    Session session;
    session.sandbox.WriteFile(L"skin\\default\\frame\\wndbk.png", SolidBmp24(60, 30, kBand));
    auto drawnPixels = [&](HWND dialog) {
        const Capture shot(dialog);
        return 30 * 25 - shot.Count({shot.Width() - 35, 1, shot.Width() - 5, 26}, kBand);
    };
    for (const bool emptyImage : {false, true}) {
        HWND dialog =
            session.Open("", emptyImage ? std::vector<IniValue>{{L"SETTING", L"IDC_BTNS", L""}}
                                        : std::vector<IniValue>{});
        ASSERT_NE(dialog, nullptr);
        // Once the band has painted (the dialog may still be painting when it is found).
        if (emptyImage) {
            EXPECT_TRUE(WaitUntil([&] { return drawnPixels(dialog) == 0; }, 3000))
                << drawnPixels(dialog) << " pixels of the band drawn over";
        } else {
            EXPECT_TRUE(WaitUntil([&] { return drawnPixels(dialog) > 20; }, 3000))
                << "the shipped close box was not drawn";
        }
        ClickCloseBox(dialog);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }))
            << "the close box did not close";
        for (const auto& call : session.EngineCalls())
            EXPECT_NE(call.rfind("Set", 0), 0u) << call;
        session.ExpectLog({});
    }
    EXPECT_EQ(EntryTraces(*session.host),
              (std::vector<std::string>{kInTrace, kOutTrace, kInTrace, kOutTrace}));
}

// A painted frame is kept from one opening to the next; a new band, frame image or title
// must show all the same.
TEST(FrameTest, ANewBandFrameImageOrTitleShowsAtTheNextOpening) {
    Session session;
    const auto bandColour = [](HWND d) {
        const Capture shot(d);
        return shot.At(shot.Width() / 2, 28);  // right of the title, left of the close box
    };
    const auto frameColour = [](HWND d) {
        const RECT group = RectIn(d, IDC_NOTI_FRAME);
        return Capture(d).At(group.right - 2, group.bottom - 2);  // bottom-right corner piece
    };
    const struct {
        COLORREF band, frame;
        const wchar_t* title;
    } rows[] = {{RGB(0x60, 0x70, 0x80), RGB(0xC0, 0x30, 0x30), L"Corvianex Shield Settings"},
                {RGB(0x20, 0x90, 0x40), RGB(0x30, 0x30, 0xC0), L"Corvianex Shield Settings"},
                {RGB(0x20, 0x90, 0x40), RGB(0x30, 0x30, 0xC0), L"I"}};
    for (const auto& r : rows) {
        session.sandbox.WriteFile(L"skin\\default\\frame\\wndbk.png", SolidBmp24(60, 30, r.band));
        session.sandbox.WriteFile(L"skin\\default\\frame\\Line_Frame.bmp",
                                  SolidBmp24(21, 21, r.frame));
        HWND dialog = session.Open("", {{L"SETTING", L"TITLE", r.title}});
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(WaitUntil([&] { return bandColour(dialog) == r.band; }, 5000)) << "an old band";
        EXPECT_TRUE(WaitUntil([&] { return frameColour(dialog) == r.frame; }, 5000))
            << "old frames";
        // Where a longer title stood, only the band.
        if (wcslen(r.title) == 1) {
            EXPECT_TRUE(WaitUntil(
                [&] {
                    return Capture(dialog).Count({30, 2, 250, 28}, r.band) == 220 * 26;
                },
                5000))
                << "the old title is still drawn";
        }
        session.Close(dialog);
    }
}

// Without an owner the dialog is centred on the work area and returns normally.
TEST(FrameTest, NullParentShowsAnUnownedDialog) {
    Sandbox sandbox(TestName());
    HostProcess host(sandbox, L"/show /noparent");
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(OwnerOf(dialog), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(host.MainWindow())) << "a window that is no owner was disabled";
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

TEST(FrameTest, ModuleDoesNotLoadWithoutTheResizeLibrary) {
    Sandbox sandbox(TestName());
    sandbox.RemoveFile(L"Tessvane.dll");
    HostProcess host(sandbox);
    ASSERT_TRUE(host.WaitForExit());
    EXPECT_EQ(host.ExitCode(), 3u);
    EXPECT_TRUE(EntryTraces(host).empty());
    EXPECT_TRUE(sandbox.Calls().empty());
}

}  // namespace
