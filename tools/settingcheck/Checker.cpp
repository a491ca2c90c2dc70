// The driver: the folder must be readable; then each family of checks (Checks.h) in turn.
#include "Checker.h"

#include <system_error>

#include "Checks.h"
#include "Strings.h"

namespace settingcheck {

CheckResult CheckFolder(const std::filesystem::path& folder, const Platform& platform,
                        const CheckOptions& options) {
    CheckResult result;
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        result.error = "cannot read the folder " + ToUtf8(folder.wstring()) +
                       (std::filesystem::exists(folder, error) ? ": it is not a folder"
                                                               : ": it does not exist");
        return result;
    }
    std::filesystem::directory_iterator probe(folder, error);
    if (error) {
        result.error =
            "cannot read the folder " + ToUtf8(folder.wstring()) + ": " + error.message();
        return result;
    }
    result.readable = true;
    Context c(folder, platform, options);
    LoadFiles(c);
    CheckKeys(c);
    CheckPositions(c);  // before the checks that look at the controls' rectangles
    CheckPeriodLists(c);
    CheckTexts(c);
    CheckAccessKeys(c);
    CheckSkinImages(c);
    CheckTextFit(c);
    CheckContrast(c);
    result.findings = std::move(c.findings);
    return result;
}

}  // namespace settingcheck
