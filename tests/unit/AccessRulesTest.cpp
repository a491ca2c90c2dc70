// Rules of access that need no window: access keys and what a control shows of a text with
// '&' in it (the platform's dialog manager's rule), the settings dialog's key filter, and the
// contrast ratio of two colours.
#include <gtest/gtest.h>

#include <string>

#include "AccessKeys.h"
#include "ColourContrast.h"
#include "KeyFilter.h"

namespace {

TEST(AccessKeyTest, FirstSingleAmpersandMarksTheKey) {
    const struct {
        const wchar_t* text;
        wchar_t key;
        const wchar_t* shown;
    } rows[] = {
        {L"&Save", L'S', L"Save"},
        {L"Re&size protected space", L'S', L"Resize protected space"},
        {L"no key", 0, L"no key"},
        {L"", 0, L""},
        // "&&" shows one '&' and marks nothing; the next single one does.
        {L"Pop-ups && &messages", L'M', L"Pop-ups & messages"},
        {L"a&&&b", L'B', L"a&b"},
        {L"&&", 0, L"&"},
        // Only the first mark counts; a later one is still left out.
        {L"&One &Two", L'O', L"One Two"},
        // A mark at the end marks nothing.
        {L"End&", 0, L"End"},
        // Keys compare in upper case, digits and other characters as they are.
        {L"Step &2", L'2', L"Step 2"},
        {L"&\x00e4nderung", L'\x00c4', L"\x00e4nderung"},
        {L"&\x0444\x0430\x0439\x043b", L'\x0424', L"\x0444\x0430\x0439\x043b"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << '"' << row.text << '"');
        EXPECT_EQ(access_keys::KeyOf(row.text), row.key);
        EXPECT_EQ(access_keys::ShownText(row.text), row.shown);
    }
    EXPECT_EQ(access_keys::Shortcut(L'S'), L"Alt+S");
    EXPECT_EQ(access_keys::Shortcut(0), L"");
}

TEST(KeyFilterTest, SwallowsWhatWouldCloseOrConfuseTheSettingsDialog) {
    using key_filter::Input;
    using key_filter::Press;
    const struct {
        const char* name;
        Press press;
        bool swallowed;
    } rows[] = {
        {"Enter", {Input::KeyDown, key_filter::kReturn}, true},
        {"Escape", {Input::KeyDown, key_filter::kEscape}, true},
        {"F1", {Input::KeyDown, key_filter::kF1}, true},
        {"F24", {Input::KeyDown, key_filter::kF24}, true},
        {"Pause", {Input::KeyDown, key_filter::kPause}, true},
        {"Ctrl+Break", {Input::KeyDown, key_filter::kCancel}, true},
        {"Tab", {Input::KeyDown, 0x09}, false},
        {"Space", {Input::KeyDown, key_filter::kSpace}, false},
        {"Shift+Space", {Input::KeyDown, key_filter::kSpace, false, true}, true},
        {"Ctrl+Shift+Space", {Input::KeyDown, key_filter::kSpace, true, true}, false},
        {"Down", {Input::KeyDown, key_filter::kDown}, false},
        {"Ctrl+Down", {Input::KeyDown, key_filter::kDown, true}, true},
        {"Ctrl+A", {Input::KeyDown, 'A', true}, true},
        {"Ctrl+C", {Input::KeyDown, 'C', true}, false},
        {"Ctrl alone", {Input::KeyDown, key_filter::kControl, true}, false},
        {"A", {Input::KeyDown, 'A'}, false},
        {"Alt+A", {Input::SystemKeyDown, 'A', false, false, true}, true},
        {"Alt+D", {Input::SystemKeyDown, 'D', false, false, true}, true},
        {"Alt+F4", {Input::SystemKeyDown, key_filter::kF4, false, false, true}, true},
        {"Alt+Home", {Input::SystemKeyDown, key_filter::kHome, false, false, true}, true},
        {"Alt+N", {Input::SystemKeyDown, 'N', false, false, true}, false},
        {"F10", {Input::SystemKeyDown, key_filter::kF10}, true},
        {"Ctrl+wheel", {Input::MouseWheel, 0, true}, true},
        {"wheel", {Input::MouseWheel, 0}, false},
        {"Shift+click", {Input::LeftButtonDown, 0, false, true}, true},
        {"click", {Input::LeftButtonDown, 0}, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(key_filter::SettingsDialogSwallows(row.press), row.swallowed) << row.name;
    // The letters and digits whose Alt+key never reaches an access key there.
    std::wstring swallowed;
    for (wchar_t key = L'0'; key <= L'Z'; ++key)
        if (key_filter::SettingsDialogSwallowsAlt(key)) swallowed += key;
    EXPECT_EQ(swallowed, L"AD");
}

TEST(ColourContrastTest, RatiosOfTheGuideline) {
    using colour_contrast::Ratio;
    using colour_contrast::RelativeLuminance;
    const struct {
        uint8_t r1, g1, b1, r2, g2, b2;
        double ratio;
    } rows[] = {
        {0, 0, 0, 255, 255, 255, 21.0},                                          // black on white
        {255, 255, 255, 0, 0, 0, 21.0},                                          // either order
        {128, 128, 128, 128, 128, 128, 1.0},  {0, 0, 255, 255, 255, 255, 8.59},  // the resize link
        {255, 0, 0, 255, 255, 255, 4.0},  // the message dialog's heading
        {118, 118, 118, 255, 255, 255, 4.54}, {119, 119, 119, 255, 255, 255, 4.48},
    };
    for (const auto& row : rows) {
        EXPECT_NEAR(Ratio(RelativeLuminance(row.r1, row.g1, row.b1),
                          RelativeLuminance(row.r2, row.g2, row.b2)),
                    row.ratio, 0.01)
            << int(row.r1) << "," << int(row.g1) << "," << int(row.b1) << " on " << int(row.r2)
            << "," << int(row.g2) << "," << int(row.b2);
    }
    EXPECT_DOUBLE_EQ(colour_contrast::kMinimumForText, 4.5);
}

}  // namespace
