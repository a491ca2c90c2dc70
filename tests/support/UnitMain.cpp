// Entry of the in-process tests: the module's dialogs come from this program's resources,
// and GDI+ runs for the whole run, as it does for the loaded module.
#include <windows.h>

#include <gtest/gtest.h>

#include "Dialog.h"
#include "GdiPlus.h"
#include "SkinFrame.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ui::SetResourceModule(::GetModuleHandleW(nullptr));
    gdiplus_session::Acquire();
    const int result = RUN_ALL_TESTS();
    ReleaseSkinBackgrounds();
    ReleaseSkinImages();
    gdiplus_session::Shutdown();
    return result;
}
