// The tests drive the module through the harness (harness/): its product folders, host
// process, windows and pixels. Its names are the tests' own.
#pragma once

#include "Capture.h"
#include "FileTree.h"
#include "HostProcess.h"
#include "ProductFolder.h"
#include "Ui.h"
#include "Wait.h"

namespace testsupport {

using namespace harness;

}  // namespace testsupport
