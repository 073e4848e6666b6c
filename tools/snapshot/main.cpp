#include "PendingFile.h"
#include "PlotSession.h"
#include "SnapshotCommandLine.h"
#include "SnapshotSession.h"

#include <cstdio>

int main(int argc, char** argv)
{
    SnapshotCommandLine commandLine;
    if (!commandLine.parse(argc, argv)) {
        std::fprintf(stderr, "%s: %s\n", SnapshotSession::kProgramName, commandLine.error().c_str());
        return 2;
    }
    const SnapshotCommandLine::Options& options = commandLine.options();
    if (options.help) {
        std::fputs(SnapshotCommandLine::usage(SnapshotSession::kProgramName).c_str(), stdout);
        return 0;
    }
    PendingFile::installSignalCleanup();
    int code = 0;
    if (!options.outputPath.empty()) {
        SnapshotSession session;
        code = session.run(options);
    }
    if (!options.curvePath.empty() || !options.grPlotPath.empty()) {
        PlotSession plots;
        if (plots.run(options) != 0)
            code = 1;
    }
    return code;
}
