#include "Command.h"

#include "Strings.h"

namespace settingcheck {

namespace {

constexpr char kUsage[] =
    "usage: settingcheck [--json] [--product-name NAME] [--dpi N] [--estimate] FOLDER\n"
    "       settingcheck --reference\n"
    "\n"
    "Checks the configuration in FOLDER (Setting.ini, CreateDisk.ini and skin\\default) as the\n"
    "settings module reads it. Exit status: 0 no findings, 1 findings, 2 the folder cannot be\n"
    "read or the command line is wrong.\n"
    "  --json               machine-readable report\n"
    "  --product-name NAME  stands for [PRODUCTNAME] when titles are measured\n"
    "  --dpi N              check that the texts fit at N dpi (96 to 480, default 96; 144 is\n"
    "                       150 %, 192 is 200 %), with rectangles and fonts scaled as the module\n"
    "                       scales them\n"
    "  --estimate           estimate text widths from the width table instead of measuring\n"
    "  --reference          print the key reference (docs/CONFIGURATION.md)\n";

}  // namespace

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool json = false, estimate = false;
    CheckOptions options;
    std::string folder;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            json = true;
        } else if (arg == "--estimate") {
            estimate = true;
        } else if (arg == "--reference") {
            WriteReference(out);
            return kExitClean;
        } else if (arg == "--font-table") {
            return PrintFontTable() ? kExitClean : kExitUnreadable;
        } else if (arg == "--product-name" && i + 1 < args.size()) {
            options.productName = FromUtf8(args[++i]);
        } else if (arg == "--dpi") {
            const std::string value = i + 1 < args.size() ? args[++i] : "";
            const bool digits = !value.empty() && value.size() <= 3 &&
                                value.find_first_not_of("0123456789") == std::string::npos;
            options.dpi = digits ? std::stoi(value) : 0;
            if (options.dpi < 96 || options.dpi > 480) {
                err << "settingcheck: --dpi takes a whole number from 96 to 480 (144 is 150 %, "
                       "192 is 200 %), not \""
                    << value << "\"\n"
                    << kUsage;
                return kExitUnreadable;
            }
        } else if (arg == "--help" || arg == "-h" || arg == "/?") {
            out << kUsage;
            return kExitClean;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            err << "settingcheck: unknown option " << arg << "\n" << kUsage;
            return kExitUnreadable;
        } else if (folder.empty()) {
            folder = arg;
        } else {
            err << "settingcheck: one folder at a time\n" << kUsage;
            return kExitUnreadable;
        }
    }
    if (folder.empty()) {
        err << kUsage;
        return kExitUnreadable;
    }
    const Platform platform = MakePlatform(estimate);
    const CheckResult result =
        CheckFolder(std::filesystem::path(FromUtf8(folder)), platform, options);
    if (json) {
        WriteJson(result, folder, platform.meter->Estimated(), out);
    } else if (result.readable) {
        WriteText(result, folder, out);
    }
    if (!result.readable) {
        err << "settingcheck: " << result.error << "\n";
        return kExitUnreadable;
    }
    return result.findings.empty() ? kExitClean : kExitFindings;
}

}  // namespace settingcheck
