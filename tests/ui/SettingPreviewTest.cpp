// settingpreview as a translator or skin designer runs it: a configuration folder in, one
// PNG file per window of the real module out, each showing that configuration.
#include <windows.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "GdiPlusSession.h"
#include "Process.h"
#include "Session.h"
#include "TestImages.h"

using namespace testsupport;

namespace {

const wchar_t* const kPictures[] = {L"settings.png",         L"password.png",
                                    L"message-question.png", L"message-error.png",
                                    L"waiting-on.png",       L"waiting-save.png"};

// The decoded picture, or null when the file is missing or no image.
std::unique_ptr<Gdiplus::Bitmap> LoadPicture(const std::wstring& path) {
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return nullptr;
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(path.c_str(), FALSE);
    if (bitmap->GetLastStatus() != Gdiplus::Ok || bitmap->GetWidth() == 0) return nullptr;
    return bitmap;
}

// Runs the preview of the build's host folder; its exit code, or -1 when it did not end
// within two minutes.
int RunPreview(const std::wstring& arguments) {
    Process preview(L"\"" + BuildHostDir() + L"\\settingpreview.exe\" " + arguments);
    if (!preview.WaitForExit(120000)) return -1;
    return static_cast<int>(preview.ExitCode());
}

// A translator's configuration in, one picture per window of the real module out, each
// showing that configuration: the skinned windows exactly their configured size, the password
// window with its caption bar, both message modes at their template's size.
TEST(SettingPreviewTest, PicturesShowTheGivenConfiguration) {
    GdiPlusSession gdiplus;
    Sandbox sandbox(TestName());
    const std::wstring output = sandbox.PathOf(L"previews");
    sandbox.SetSetting(L"POSITION", L"SET_FRAME", L"0,0,640,460");
    sandbox.SetSetting(L"POSITION", L"BTN_OK", L"538,416,90,30");
    sandbox.SetSetting(L"POSITION", L"PASSDLG", L"0,0,420,250");
    // A pure red OK face: it must show where BTN_OK places the button.
    sandbox.WriteFile(L"skin\\default\\btn\\ok_normal.png", SolidBmp24(90, 30, RGB(255, 0, 0)));
    ASSERT_EQ(RunPreview(L"\"" + sandbox.Dir() + L"\" \"" + output + L"\""), 0);
    for (const wchar_t* name : kPictures)
        EXPECT_NE(LoadPicture(output + L"\\" + name), nullptr) << "no picture " << Narrow(name);

    const auto settings = LoadPicture(output + L"\\settings.png");
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->GetWidth(), 640u);
    EXPECT_EQ(settings->GetHeight(), 460u);
    Gdiplus::Color pixel;
    settings->GetPixel(538 + 2, 416 + 2, &pixel);  // the caption is white; a corner stays red
    EXPECT_EQ(pixel.GetValue() & 0xFFFFFF, 0xFF0000u) << std::hex << pixel.GetValue();
    const auto password = LoadPicture(output + L"\\password.png");
    ASSERT_NE(password, nullptr);
    EXPECT_EQ(password->GetWidth(), 420u);
    EXPECT_EQ(password->GetHeight(), 250u);
    const auto question = LoadPicture(output + L"\\message-question.png");
    const auto error = LoadPicture(output + L"\\message-error.png");
    ASSERT_TRUE(question && error);
    EXPECT_EQ(question->GetWidth(), error->GetWidth());
    EXPECT_EQ(question->GetHeight(), error->GetHeight());
    // The preview cleans up after itself.
    EXPECT_EQ(::GetFileAttributesW((output + L"\\product").c_str()), INVALID_FILE_ATTRIBUTES);

    // A missing configuration folder, or no output folder, is refused.
    EXPECT_EQ(RunPreview(L"\"" + sandbox.PathOf(L"no-such-folder") + L"\" \"" + output + L"2\""),
              2);
    EXPECT_EQ(RunPreview(L"\"" + sandbox.Dir() + L"\""), 2);
    EXPECT_EQ(::GetFileAttributesW((output + L"2\\settings.png").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
