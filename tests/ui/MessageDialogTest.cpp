// The module's skinned message dialog, as the user meets it: the question before the protected
// area is resized (Yes and No) and the report of a failed switch-on (OK). Its words come from
// CreateDisk.ini, its title from the engine; it is modal over the settings dialog, drags by
// its title band and shows its heading in red on white.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "DialogProbe.h"
#include "HostProcess.h"
#include "Sandbox.h"
#include "Ui.h"
#include "resource.h"

using namespace testsupport;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class MessageDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A caption of its own, so the title can only have come from the engine.
        sandbox.UpdateEngine([](sim::EngineState& state) {
            state.productCaption = L"Vaultkeeper Caption 7";
            state.tessinit.delayMs = 100;
        });
    }

    // Opens the settings dialog and clicks the resize link; the question is then up.
    HWND OpenQuestion(HostProcess& host) {
        dialog = host.WaitForSettings();
        if (!dialog) return nullptr;
        const RECT link = RectIn(dialog, IDC_STATIC_RESIZE);
        BringToFront(dialog);
        MouseClick(ClientToScreenPoint(dialog, (link.left + link.right) / 2,
                                       (link.top + link.bottom) / 2));
        HWND box = WaitForMessageDialog(host);
        // From here on the journal shows only what the answer causes.
        ForgetJournal(sandbox);
        return box;
    }

    // Opens the settings dialog with protection off and makes switching on fail.
    HWND OpenErrorReport(HostProcess& host) {
        dialog = host.WaitForSettings();
        if (!dialog) return nullptr;
        Click(dialog, IDC_CHECK_PROTECT);
        return WaitForMessageDialog(host);
    }

    void ProtectionOffAndSwitchOnFails() {
        sandbox.UpdateEngine([](sim::EngineState& state) { state.protectOn = false; });
        sandbox.FailEngine("EnableProtect", 1234);
    }

    std::wstring Setting(const wchar_t* section, const wchar_t* key) const {
        return sandbox.GetIni(L"Setting.ini", section, key);
    }

    Sandbox sandbox{SandboxName()};
    HWND dialog = nullptr;
};

TEST_F(MessageDialogTest, QuestionShowsWarningHeadingYesAndNoUnderTheEnginesCaption) {
    sandbox.SetIni(L"CreateDisk.ini", L"String", L"IDS_WARNING", L"Think twice");
    sandbox.SetIni(L"CreateDisk.ini", L"String", L"IDS_YES", L"Go ahead");
    sandbox.SetIni(L"CreateDisk.ini", L"String", L"IDS_NO", L"Leave it");
    HostProcess host(sandbox);
    HWND box = OpenQuestion(host);
    ASSERT_NE(box, nullptr);

    EXPECT_EQ(Text(box), L"Vaultkeeper Caption 7");
    EXPECT_EQ(Text(box, IDC_MSG_HEADING), L"Think twice");
    EXPECT_EQ(Text(box, IDC_MSG_TEXT), Setting(L"SETTING", L"RESIZEMSG"));
    EXPECT_EQ(Text(box, IDC_MSG_YES), L"Go ahead");
    EXPECT_EQ(Text(box, IDC_MSG_NO), L"Leave it");
    EXPECT_TRUE(Visible(box, IDC_MSG_YES));
    EXPECT_TRUE(Visible(box, IDC_MSG_NO));
    EXPECT_FALSE(Visible(box, IDC_MSG_OK));
    // Owned by the settings dialog and modal over it.
    EXPECT_EQ(OwnerOf(box), dialog);
    EXPECT_FALSE(::IsWindowEnabled(dialog));
    host.Kill();
}

TEST_F(MessageDialogTest, ErrorReportShowsWrongHeadingAndOnlyOk) {
    ProtectionOffAndSwitchOnFails();
    HostProcess host(sandbox);
    HWND box = OpenErrorReport(host);
    ASSERT_NE(box, nullptr);

    EXPECT_EQ(Text(box), L"Vaultkeeper Caption 7");
    EXPECT_EQ(Text(box, IDC_MSG_HEADING), shipped::kWrong);
    EXPECT_EQ(Text(box, IDC_MSG_TEXT), Setting(L"ERROR_STRING", L"IDS_ENABLE_ERROR"));
    EXPECT_TRUE(Visible(box, IDC_MSG_OK));
    EXPECT_FALSE(Visible(box, IDC_MSG_YES));
    EXPECT_FALSE(Visible(box, IDC_MSG_NO));
    EXPECT_EQ(OwnerOf(box), dialog);
    EXPECT_FALSE(::IsWindowEnabled(dialog));

    Click(box, IDC_MSG_OK);
    EXPECT_TRUE(WaitUntil([&] { return FindMessageDialog(host) == nullptr; }));
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(dialog) != FALSE; }));
    host.Kill();
}

// How the question is answered, and whether the resize then goes on.
struct Answer {
    const char* name;
    bool yes;
    void (*give)(HWND box);
};

void PrintTo(const Answer& answer, std::ostream* out) {
    *out << answer.name;
}

const Answer kAnswers[] = {
    {"Yes", true, [](HWND box) { Click(box, IDC_MSG_YES); }},
    {"No", false, [](HWND box) { Click(box, IDC_MSG_NO); }},
    {"Escape", false,
     [](HWND box) {
         BringToFront(box);
         PressKey(VK_ESCAPE);
     }},
};

class MessageDialogAnswerTest : public MessageDialogTest,
                                public ::testing::WithParamInterface<Answer> {};

TEST_P(MessageDialogAnswerTest, OnlyYesGoesOnWithTheResize) {
    const Answer& answer = GetParam();
    sim::WriteInitNvOk(L"TRUE");
    HostProcess host(sandbox);
    HWND box = OpenQuestion(host);
    ASSERT_NE(box, nullptr);
    answer.give(box);
    ASSERT_TRUE(WaitUntil([&] { return FindMessageDialog(host) == nullptr; }));

    if (answer.yes) {
        ASSERT_TRUE(WaitUntil([&] { return !JournalOf(sandbox, "Tessinit").empty(); }, 20000));
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, 20000));
    } else {
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(dialog) != FALSE; }, 5000));
        host.Settle();
        EXPECT_TRUE(::IsWindowVisible(dialog));
        EXPECT_TRUE(sandbox.Calls().empty()) << "the engine was asked after " << answer.name;
    }
    host.Kill();
}

INSTANTIATE_TEST_SUITE_P(Answers, MessageDialogAnswerTest, ::testing::ValuesIn(kAnswers),
                         [](const ::testing::TestParamInfo<Answer>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(MessageDialogTest, WithoutCreateDiskIniHeadingAndButtonsAreEmpty) {
    sandbox.RemoveFile(L"CreateDisk.ini");
    HostProcess host(sandbox);
    HWND box = OpenQuestion(host);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Text(box, IDC_MSG_HEADING), L"");
    EXPECT_EQ(Text(box, IDC_MSG_YES), L"");
    EXPECT_EQ(Text(box, IDC_MSG_NO), L"");
    EXPECT_EQ(Text(box, IDC_MSG_TEXT), Setting(L"SETTING", L"RESIZEMSG"));
    EXPECT_EQ(Text(box), L"Vaultkeeper Caption 7");
    // The empty buttons still answer.
    Click(box, IDC_MSG_NO);
    EXPECT_TRUE(WaitUntil([&] { return FindMessageDialog(host) == nullptr; }));
    EXPECT_TRUE(sandbox.Calls().empty());
    host.Kill();
}

TEST_F(MessageDialogTest, WithoutCreateDiskIniTheErrorReportStillShowsItsMessage) {
    sandbox.RemoveFile(L"CreateDisk.ini");
    ProtectionOffAndSwitchOnFails();
    HostProcess host(sandbox);
    HWND box = OpenErrorReport(host);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Text(box, IDC_MSG_HEADING), L"");
    EXPECT_EQ(Text(box, IDC_MSG_TEXT), Setting(L"ERROR_STRING", L"IDS_ENABLE_ERROR"));
    EXPECT_EQ(Text(box), L"Vaultkeeper Caption 7");
    EXPECT_TRUE(Visible(box, IDC_MSG_OK));
    host.Kill();
}

TEST_F(MessageDialogTest, PressInTheTopThirtyOneRowsDragsTheBox) {
    HostProcess host(sandbox);
    HWND box = OpenQuestion(host);
    ASSERT_NE(box, nullptr);
    BringToFront(box);

    // From (x, y): 50 pixels right and 30 down, then released. Both x are in the margins,
    // beside every control, and far enough apart that the second press is no double click.
    const int width = ClientSize(box).cx;
    auto drag = [&](int x, int y) {
        const POINT from = ClientToScreenPoint(box, x, y);
        MouseDown(from);
        MoveMouse({from.x + 25, from.y + 15});
        MoveMouse({from.x + 50, from.y + 30});
        MouseUp({from.x + 50, from.y + 30});
        host.Settle();
    };

    const RECT start = WindowRectOf(box);
    drag(6, 31);  // just below the band: ignored
    RECT now = WindowRectOf(box);
    EXPECT_EQ(now.left, start.left);
    EXPECT_EQ(now.top, start.top);

    drag(width - 6, 30);  // the band's last row
    EXPECT_TRUE(WaitUntil(
        [&] {
            now = WindowRectOf(box);
            return now.left == start.left + 50 && now.top == start.top + 30;
        },
        3000))
        << "at " << now.left << "," << now.top << ", started at " << start.left << "," << start.top;
    // A drag is not an answer.
    EXPECT_TRUE(::IsWindowVisible(box));
    EXPECT_TRUE(sandbox.Calls().empty());
    host.Kill();
}

TEST_F(MessageDialogTest, HeadingIsPaintedRedAndBoldOnWhite) {
    HostProcess host(sandbox);
    HWND box = OpenQuestion(host);
    ASSERT_NE(box, nullptr);
    BringToFront(box);
    host.Settle();
    const RECT heading = RectIn(box, IDC_MSG_HEADING);
    const Capture pixels(box);
    const int area = (heading.right - heading.left) * (heading.bottom - heading.top);
    ASSERT_GT(area, 0);
    const int red = pixels.Count(heading, kRed);
    const int white = pixels.Count(heading, kWhite);
    EXPECT_GT(red, 20) << "no red heading text";
    EXPECT_GT(white, area / 2) << "the heading's background is not white";
    // Bold strokes at 10 points are at least two pixels wide: two red pixels side by side.
    bool wideStroke = false;
    for (int y = heading.top; y < heading.bottom && !wideStroke; ++y) {
        for (int x = heading.left; x + 1 < heading.right && !wideStroke; ++x) {
            wideStroke = pixels.At(x, y) == kRed && pixels.At(x + 1, y) == kRed;
        }
    }
    EXPECT_TRUE(wideStroke) << "the heading is not bold";
    if (HasFailure()) pixels.SaveBmp(sandbox.PathOf(L"message-dialog.bmp"));
    host.Kill();
}

}  // namespace
