// The Windows test program: loads the plug-in DLL as a Windows host does and
// checks it. Usage:
//   tidepull_win_tests.exe --dll PATH [--exchange DIR] [--linux-state FILE] [--bundle DIR]
//                          [--presets DIR] [--filter PREFIX]
// With --exchange it writes what the Linux side compares: windows-input.f64,
// windows-output.f64, windows-state.bin and one windows-preset-NAME.f64 for
// each preset in --presets. --bundle is the Tidepull.vst3 folder.
#include "TestRunner.h"

#include <cstdio>
#include <cstring>
#include <string>

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
        std::fprintf(stderr, "usage: %s --dll PATH [--exchange DIR] [--linux-state FILE] [--bundle DIR] [--presets DIR] "
                     "[--filter PREFIX]\n",
                     argv[0]);
        return 2;
    }
    return runner.Run(runner.Option("filter"));
}
