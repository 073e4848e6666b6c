#include "PendingFile.h"
#include "SnapshotCommandLine.h"
#include "SnapshotSession.h"

#include <cstdio>

int main(int argc, char** argv)
{
    SnapshotCommandLine commandLine;
    if (!commandLine.parse(argc, argv))
    {
        std::fprintf(stderr, "%s: %s\n", SnapshotSession::kProgramName, commandLine.error().c_str());
        return 2;
    }
    if (commandLine.options().help)
    {
        std::fputs(SnapshotCommandLine::usage(SnapshotSession::kProgramName).c_str(), stdout);
        return 0;
    }
    PendingFile::installSignalCleanup();
    SnapshotSession session;
    return session.run(commandLine.options());
}
