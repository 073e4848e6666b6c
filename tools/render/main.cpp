#include "CommandLine.h"
#include "PendingFile.h"
#include "RenderSession.h"

#include <cstdio>

int main(int argc, char** argv)
{
    CommandLine commandLine;
    if (!commandLine.parse(argc, argv)) {
        std::fprintf(stderr, "%s: %s\n", RenderSession::kProgramName, commandLine.error().c_str());
        return 2;
    }
    if (commandLine.options().help) {
        std::fputs(CommandLine::usage(RenderSession::kProgramName).c_str(), stdout);
        return 0;
    }
    PendingFile::installSignalCleanup();
    RenderSession session;
    return session.run(commandLine.options());
}
