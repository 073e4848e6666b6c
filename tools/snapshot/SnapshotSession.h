#pragma once

#include "PlugHarness.h"
#include "SnapshotCommandLine.h"

#include <string>

// One run of the tool: builds a Tidepull in this process and drives it as a
// host does (parameter changes in a block of their own, then the audio),
// draws its editor without a window and writes the image. Messages go to
// stdout, the one error line to stderr.
class SnapshotSession {
public:
    static constexpr const char* kProgramName = "tidepull-snapshot";

    // The process exit code: 0 on success, 1 on any failure.
    int run(const SnapshotCommandLine::Options& options);

private:
    bool execute(const SnapshotCommandLine::Options& options, std::string& error);

    PlugHarness harness_{kProgramName};
};
