// The settings dialog as the user first sees it: texts and rectangles from Setting.ini, its
// size and place, the frame's close box and drag band, and the keys it ignores.
#include <windows.h>

#include <gtest/gtest.h>

#include "HostProcess.h"
#include "Sandbox.h"
#include "Ui.h"

using namespace testsupport;

namespace {

constexpr char kInTrace[] = "Ostrel:----------------------In Setting Dlg------------------";
constexpr char kOutTrace[] = "Ostrel:----------------------Out Setting Dlg------------------";

class DialogLayoutTest : public ::testing::Test {
protected:
    Sandbox sandbox{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

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

}  // namespace
