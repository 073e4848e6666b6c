// The Windows test program: loads the plug-in DLL as a Windows host does and
// checks it. Usage:
//   tidepull_win_tests.exe --dll PATH [--exchange DIR] [--linux-state FILE] [--bundle DIR]
//                          [--presets DIR] [--filter PREFIX]
// With --exchange it writes what the Linux side compares: windows-input.f64,
// windows-output.f64, windows-state.bin and one windows-preset-NAME.f64 for
// each preset in --presets. --bundle is the Tidepull.vst3 folder.
//
//   tidepull_win_tests.exe --dll PATH --hold FILE
// plays a host that has the plug-in loaded: it loads the DLL, writes
// FILE.held, and unloads it once FILE.release exists (120 s at most).
#include "TestRunner.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int HoldDll(const std::string& dll, const std::string& file)
{
    HMODULE module = LoadLibraryA(dll.c_str());
    if (!module) {
        std::fprintf(stderr, "cannot load %s\n", dll.c_str());
        return 1;
    }
    std::FILE* held = std::fopen((file + ".held").c_str(), "wb");
    if (held)
        std::fclose(held);
    const ULONGLONG deadline = GetTickCount64() + 120000;
    while (!Exists(file + ".release") && GetTickCount64() < deadline)
        Sleep(50);
    FreeLibrary(module);
    return held ? 0 : 1;
}

}   // namespace

int main(int argc, char** argv)
{
    TestRunner& runner = TestRunner::Instance();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.size() > 2 && arg.compare(0, 2, "--") == 0 && i + 1 < argc) {
            runner.SetOption(arg.substr(2), argv[++i]);
        } else {
            std::fprintf(stderr, "unexpected argument '%s'\n", argv[i]);
            return 2;
        }
    }
    if (runner.Option("dll").empty()) {
        std::fprintf(stderr,
                     "usage: %s --dll PATH [--exchange DIR] [--linux-state FILE] [--bundle DIR] [--presets DIR] "
                     "[--filter PREFIX]\n",
                     argv[0]);
        return 2;
    }
    if (!runner.Option("hold").empty())
        return HoldDll(runner.Option("dll"), runner.Option("hold"));
    return runner.Run(runner.Option("filter"));
}
