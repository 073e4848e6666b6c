// tidepull-moduleinfo: asks a built bundle's factory what it offers and
// writes the bundle's moduleinfo.json, so the two cannot disagree.
#include "ModuleInfoWriter.h"
#include "ModuleLibrary.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace Steinberg;

namespace {
const char* const kProgramName = "tidepull-moduleinfo";

void printUsage(std::FILE* to)
{
    std::fprintf(to,
                 "Usage: %s --class-id BUNDLE\n"
                 "       %s --version VERSION BUNDLE OUTPUT\n"
                 "\n"
                 "--class-id prints the class ID of the bundle's audio effect as the snapshot\n"
                 "file names spell it. Otherwise writes OUTPUT (the bundle's moduleinfo.json) from\n"
                 "what the bundle's factory reports, listing the snapshots found in\n"
                 "BUNDLE/Contents/Resources/Snapshots; VERSION is the module's version.\n",
                 kProgramName, kProgramName);
}

// Written beside OUTPUT and renamed, so a failed run leaves no half file.
bool writeFile(const std::string& path, const std::string& text, std::string& error)
{
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = "cannot write '" + temporary + "'";
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) {
        std::remove(temporary.c_str());
        error = "cannot write '" + temporary + "'";
        return false;
    }
    std::remove(path.c_str());
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = "cannot rename '" + temporary + "' to '" + path + "'";
        return false;
    }
    return true;
}

bool writeModuleInfo(const std::string& version, const std::string& bundle, const std::string& output,
                     std::string& error)
{
    ModuleLibrary module;
    if (!module.open(bundle, error))
        return false;
    IPluginFactory* factory = module.factory(error);
    if (!factory)
        return false;
    std::string json;
    const std::vector<std::string> snapshots = ModuleLibrary::filesIn(bundle + "/" + ModuleInfoWriter::kSnapshotFolder);
    const bool ok =
        ModuleInfoWriter().write(factory, ModuleLibrary::moduleName(bundle), version, snapshots, json, error);
    factory->release();
    return ok && writeFile(output, json, error);
}

bool printClassId(const std::string& bundle, std::string& error)
{
    ModuleLibrary module;
    if (!module.open(bundle, error))
        return false;
    IPluginFactory* factory = module.factory(error);
    if (!factory)
        return false;
    bool found = false;
    for (int32 i = 0; i < factory->countClasses() && !found; ++i) {
        PClassInfo info;
        if (factory->getClassInfo(i, &info) == kResultOk &&
            std::strncmp(info.category, kVstAudioEffectClass, sizeof info.category) == 0) {
            std::printf("%s\n", ModuleInfoWriter::classIdText(info.cid).c_str());
            found = true;
        }
    }
    factory->release();
    if (!found)
        error = "the module's factory offers no class of category \"" + std::string(kVstAudioEffectClass) + "\"";
    return found;
}
}   // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        printUsage(stdout);
        return 0;
    }
    std::string error;
    bool ok = false;
    if (args.size() == 2 && args[0] == "--class-id")
        ok = printClassId(args[1], error);
    else if (args.size() == 4 && args[0] == "--version")
        ok = writeModuleInfo(args[1], args[2], args[3], error);
    else {
        printUsage(stderr);
        return 2;
    }
    if (!ok) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, error.c_str());
        return 1;
    }
    return 0;
}
