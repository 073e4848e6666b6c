// tidepull-presets: writes the factory presets into a folder.
#include "FactoryPresetWriter.h"
#include "PendingFile.h"

#include <cstdio>
#include <string>

namespace {
const char* const kProgramName = "tidepull-presets";

void printUsage(std::FILE* to)
{
    std::fprintf(to,
                 "Usage: %s --plugin BUNDLE [--windows] FOLDER\n"
                 "\n"
                 "Writes the factory presets as .vstpreset files into FOLDER (which must exist),\n"
                 "each one set up in a fresh instance of the plug-in in BUNDLE. --windows writes\n"
                 "the class ID as Windows hosts spell it, for the Windows packages.\n",
                 kProgramName);
}
}   // namespace

int main(int argc, char** argv)
{
    std::string bundle;
    std::string folder;
    bool forWindows = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printUsage(stdout);
            return 0;
        }
        if (arg == "--plugin" && i + 1 < argc)
            bundle = argv[++i];
        else if (arg == "--windows")
            forWindows = true;
        else if (folder.empty() && !arg.empty() && arg[0] != '-')
            folder = arg;
        else {
            printUsage(stderr);
            return 2;
        }
    }
    if (bundle.empty() || folder.empty()) {
        printUsage(stderr);
        return 2;
    }

    PendingFile::installSignalCleanup();
    FactoryPresetWriter writer;
    std::string error;
    if (!writer.run(bundle, folder, forWindows, error)) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, error.c_str());
        return 1;
    }
    for (const std::string& path : writer.written())
        std::printf("preset     '%s'\n", path.c_str());
    return 0;
}
