// Every window of the module in high contrast, the way a user with a high-contrast scheme sees
// it: drawn in the system colours (or the smoothed edge between two of them) instead of the
// skin's images and fixed colours, with its texts in the colours that stand out on their
// ground, and back to the skin when high contrast goes off while the dialog is open.
//
// Wine cannot switch high contrast on: the host tells the module it is on (kForceHighContrast),
// and the test sets a high-contrast scheme for the session with SetSysColors. The scheme has no
// white, so that no skin colour can pass for a system colour.
#include <array>
#include <map>

#include "HostProtocol.h"
#include "Session.h"

using namespace testsupport;

namespace {

// A scheme like the platform's black high-contrast ones, for every system colour.
const std::array<COLORREF, 31> kScheme = {
    RGB(0, 0, 0),        // scroll bar
    RGB(0, 0, 0),        // desktop
    RGB(128, 0, 128),    // active caption
    RGB(0, 128, 0),      // inactive caption
    RGB(0, 0, 0),        // menu
    RGB(0, 0, 0),        // window
    RGB(255, 255, 0),    // window frame
    RGB(0, 255, 0),      // menu text
    RGB(255, 255, 0),    // window text
    RGB(255, 255, 0),    // caption text
    RGB(128, 0, 128),    // active border
    RGB(0, 128, 0),      // inactive border
    RGB(0, 0, 0),        // application workspace
    RGB(0, 255, 255),    // highlight
    RGB(0, 0, 0),        // highlight text
    RGB(0, 0, 0),        // button face
    RGB(128, 128, 128),  // button shadow
    RGB(0, 255, 0),      // grey text
    RGB(255, 255, 0),    // button text
    RGB(255, 255, 0),    // inactive caption text
    RGB(192, 192, 192),  // button highlight
    RGB(64, 64, 64),     // dark 3-D shadow
    RGB(128, 128, 128),  // 3-D light
    RGB(255, 255, 0),    // tooltip text
    RGB(0, 0, 0),        // tooltip ground
    RGB(0, 0, 0),        // (unused)
    RGB(255, 128, 255),  // hot-light (links)
    RGB(128, 0, 128),    // active caption gradient
    RGB(0, 128, 0),      // inactive caption gradient
    RGB(0, 255, 255),    // menu highlight
    RGB(0, 0, 0),        // menu bar
};

// The scheme for the session while it lives; the colours before it afterwards.
class HighContrastScheme {
public:
    HighContrastScheme() {
        for (int i = 0; i < static_cast<int>(kScheme.size()); ++i) {
            m_indices[i] = i;
            m_before[i] = ::GetSysColor(i);
        }
        ::SetSysColors(static_cast<int>(kScheme.size()), m_indices.data(), kScheme.data());
    }
    ~HighContrastScheme() {
        ::SetSysColors(static_cast<int>(kScheme.size()), m_indices.data(), m_before.data());
    }
    HighContrastScheme(const HighContrastScheme&) = delete;
    HighContrastScheme& operator=(const HighContrastScheme&) = delete;

private:
    std::array<int, 31> m_indices{};
    std::array<COLORREF, 31> m_before{};
};

// The module is told high contrast is on (or off); an open window learns of it as it would
// from the platform.
void ForceHighContrast(const HostProcess& host, bool on, HWND open = nullptr) {
    HWND main = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (main = host.MainWindow()) != nullptr; }));
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(main, harness::host::kForceHighContrast, on ? 1 : 0, 0, SMTO_ABORTIFHUNG,
                          5000, &ignored);
    if (open) {
        ::SendMessageTimeoutW(open, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0, SMTO_ABORTIFHUNG,
                              5000, &ignored);
    }
    host.Settle(100);
}

// Whether `c` is a colour of the scheme or lies between two of them (the smoothed edge of a
// text or line), within the rounding of the blend.
class SchemeColours {
public:
    bool Explains(COLORREF c) {
        const auto known = m_cache.find(c);
        if (known != m_cache.end()) return known->second;
        bool explained = false;
        for (size_t i = 0; i < kScheme.size() && !explained; ++i)
            for (size_t j = i; j < kScheme.size() && !explained; ++j)
                explained = Between(c, kScheme[i], kScheme[j]);
        return m_cache[c] = explained;
    }

private:
    static bool Between(COLORREF c, COLORREF a, COLORREF b) {
        const int ca[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
        const int aa[3] = {GetRValue(a), GetGValue(a), GetBValue(a)};
        const int ba[3] = {GetRValue(b), GetGValue(b), GetBValue(b)};
        int widest = 0;
        for (int k = 1; k < 3; ++k)
            if (std::abs(ba[k] - aa[k]) > std::abs(ba[widest] - aa[widest])) widest = k;
        const int span = ba[widest] - aa[widest];
        const double t = span == 0 ? 0.0 : double(ca[widest] - aa[widest]) / span;
        if (t < -0.02 || t > 1.02) return false;
        for (int k = 0; k < 3; ++k)
            if (std::abs(ca[k] - (aa[k] + t * (ba[k] - aa[k]))) > 4.0) return false;
        return true;
    }
    std::map<COLORREF, bool> m_cache;
};

// Whether `wanted` is the colour of the scheme nearest to `c` (the ink of a smoothed text).
bool NearestIs(COLORREF c, COLORREF wanted) {
    const auto distance = [c](COLORREF s) {
        const int r = GetRValue(c) - GetRValue(s), g = GetGValue(c) - GetGValue(s),
                  b = GetBValue(c) - GetBValue(s);
        return r * r + g * g + b * b;
    };
    for (COLORREF s : kScheme)
        if (distance(s) < distance(wanted)) return false;
    return true;
}

// A part of a window where the skin draws, and the colour its text (if any) must show in.
struct Part {
    const char* name;
    RECT area;
    int textColour = -1;  // a system colour index, -1: no text checked
};

RECT Inner(RECT rc, int by) {
    ::InflateRect(&rc, -by, -by);
    return rc;
}

// The window's pixels once whatever is still to be painted (a control after its dialog) is.
Capture Painted(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return Capture(window);
}

// At least 99 % of the window's pixels in the scheme, every pixel of its skin's parts, and the
// text of each part in its colour.
void ExpectSchemeColours(const char* window, HWND hwnd, const std::vector<Part>& parts) {
    SCOPED_TRACE(window);
    ASSERT_NE(hwnd, nullptr);
    const Capture shot = Painted(hwnd);
    SchemeColours scheme;
    int outside = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x)
            outside += scheme.Explains(shot.At(x, y)) ? 0 : 1;
    const int all = shot.Width() * shot.Height();
    EXPECT_GT(all, 0);
    EXPECT_LE(outside * 100, all) << outside << " of " << all << " pixels are no system colour";
    for (const Part& part : parts) {
        int stray = 0, text = 0;
        COLORREF example = 0;
        for (LONG y = part.area.top; y < part.area.bottom; ++y) {
            for (LONG x = part.area.left; x < part.area.right; ++x) {
                const COLORREF c = shot.At(x, y);
                if (!scheme.Explains(c)) ++stray, example = c;
                if (part.textColour >= 0 && NearestIs(c, kScheme[part.textColour])) ++text;
            }
        }
        EXPECT_EQ(stray, 0) << part.name << ": e.g. " << std::hex << example;
        if (part.textColour >= 0) EXPECT_GT(text, 10) << part.name << ": its text is not drawn";
    }
}

int S(int pixels) {
    return ::MulDiv(pixels, DisplayDpi(), 96);
}

RECT Band(HWND window) {
    return {0, 0, ClientSize(window).cx, S(30)};
}

TEST(HighContrastTest, EveryWindowDrawsInTheSystemColours) {
    Session session;
    const HighContrastScheme scheme;
    session.Prepare("protect=0");
    ForceHighContrast(*session.host, true);
    MoveMouse({0, 0});  // away from the buttons, which show the highlight under it
    HWND dialog = session.host->OpenSettings();
    ASSERT_NE(dialog, nullptr);
    const SIZE size = ClientSize(dialog);
    ExpectSchemeColours(
        "settings", dialog,
        {{"title band", Band(dialog), COLOR_HIGHLIGHTTEXT},
         {"OK", RectIn(dialog, IDC_BTN_OK), COLOR_BTNTEXT},
         {"link", RectIn(dialog, IDC_STATIC_RESIZE), COLOR_HOTLIGHT},
         {"frame", RectIn(dialog, IDC_SEC_FRAME), COLOR_WINDOWTEXT},
         {"ground", {size.cx / 2, size.cy - S(10), size.cx / 2 + S(20), size.cy - S(4)}}});
    EXPECT_EQ(Capture(dialog).At(size.cx / 2, size.cy - S(6)), kScheme[COLOR_WINDOW]);

    Click(dialog, IDC_PASSWORD);
    HWND password = session.host->WaitForDialogWith(IDC_E_NEWPASS);
    session.host->Settle(100);
    ExpectSchemeColours("password", password,
                        {{"OK", Inner(RectIn(password, IDOK), S(3)), COLOR_BTNTEXT},
                         {"label", RectIn(password, IDC_S_NEWPASS), COLOR_WINDOWTEXT}});
    Click(password, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(password); }));

    Click(dialog, IDC_STATIC_RESIZE);
    HWND question = WaitForMessageDialog(*session.host);
    session.host->Settle(100);
    ExpectSchemeColours("question", question,
                        {{"title band", Band(question), COLOR_HIGHLIGHTTEXT},
                         {"heading", RectIn(question, IDC_MSG_HEADING), COLOR_WINDOWTEXT},
                         {"Yes", Inner(RectIn(question, IDC_MSG_YES), S(3)), COLOR_BTNTEXT}});
    Click(question, IDC_MSG_NO);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(question); }));

    // Switching protection on: the waiting box, then the engine's refusal.
    session.sandbox.DelayEngine("EnableProtect", 1500);
    session.sandbox.FailEngine("EnableProtect", 5);
    Click(dialog, IDC_CHECK_PROTECT);
    HWND box = session.host->WaitForDialogWith(IDC_STATIC_WAIT, 5000);
    session.host->Settle(100);
    ExpectSchemeColours(
        "waiting", box,
        {{"title band", Band(box), -1}, {"text", RectIn(box, IDC_STATIC_WAIT), COLOR_WINDOWTEXT}});
    HWND error = session.host->FindWindowShowing(IDC_MSG_OK);
    ASSERT_TRUE(WaitUntil([&] { return (error = session.host->FindWindowShowing(IDC_MSG_OK)); }));
    session.host->Settle(100);
    ExpectSchemeColours("error", error,
                        {{"heading", RectIn(error, IDC_MSG_HEADING), COLOR_WINDOWTEXT},
                         {"OK", Inner(RectIn(error, IDC_MSG_OK), S(3)), COLOR_BTNTEXT}});
    Click(error, IDC_MSG_OK);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(error); }));
    session.Close(dialog);
}

// Switched on and off while the dialog is open, as the platform tells a window: the system
// colours at once, and the skin again, to the pixel, when it goes off.
TEST(HighContrastTest, FollowsTheSettingWhileOpen) {
    Session session;
    const HighContrastScheme scheme;
    MoveMouse({0, 0});
    HWND dialog = session.Open();
    ASSERT_NE(dialog, nullptr);
    session.host->Settle(100);
    const Capture skin = Painted(dialog);
    ForceHighContrast(*session.host, true, dialog);
    ExpectSchemeColours("settings", dialog,
                        {{"title band", Band(dialog), COLOR_HIGHLIGHTTEXT},
                         {"OK", RectIn(dialog, IDC_BTN_OK), COLOR_BTNTEXT},
                         {"frame", RectIn(dialog, IDC_SEC_FRAME), COLOR_WINDOWTEXT}});
    ForceHighContrast(*session.host, false, dialog);
    EXPECT_EQ(Painted(dialog).Differences(skin), 0) << "the skin is not back";
    session.Close(dialog);
}

}  // namespace
