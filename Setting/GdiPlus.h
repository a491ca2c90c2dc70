// GDI+ for the module: the library's headers, and the session that keeps it started from
// the first dialog until the module is unloaded.
#pragma once

#include <windows.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <memory>

namespace gdiplus_session {

// Starts GDI+ once per module load (thread-safe); later calls do nothing. False when GDI+
// cannot be started.
bool Acquire();
// Stops GDI+ if it was started. Called once, at module unload, after every GDI+ object of the
// module has been released.
void Shutdown();
bool IsRunning();

}  // namespace gdiplus_session

// Decodes an image file without colour management. Like GDI+ itself, it returns an image
// object even for a missing or undecodable file (one without pixels whose drawing fails);
// null only when the object cannot be allocated.
std::unique_ptr<Gdiplus::Image> LoadSkinImage(const std::wstring& path);
