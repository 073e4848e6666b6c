#pragma once

#include "PlugHarness.h"
#include "ReferenceChain.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Runs a Tidepull and the reference model side by side over one signal, in
// blocks whose sizes cycle through a list, with parameter and sample-rate
// changes applied at block boundaries. After every block it compares the
// outputs, and what follows from the gain, within kChainTolerance, and every
// other piece of running state both expose (detector, smoothers) bit for bit.
class ChainComparison {
public:
    // A parameter change before the block of that index; kSampleRate as the
    // parameter changes the host rate instead.
    struct Change {
        int32_t block;
        int32_t param;
        double value;
    };
    static constexpr int32_t kSampleRate = -1;

    // Sets the model's editorAttached from the plug.
    ChainComparison(Tidepull& plug, ReferenceChain& ref);

    // Empty when plug and model agreed after every block; otherwise what
    // differed first, and where.
    std::string Run(const Signal& sig, const std::vector<int32_t>& blockSizes, const std::vector<Change>& script = {});

    // Called before every block with its index, after that block's changes.
    std::function<void(int32_t block)> beforeBlock;
    int32_t blocksRun = 0;
    // The largest difference between finite output samples seen so far.
    double worstOutputDifference = 0.0;

private:
    void Apply(const Change& c);
    std::string Compare(size_t n);

    Tidepull& plug;
    ReferenceChain& ref;
    std::vector<double> bl, br, bsl, bsr, pl, pr, rl, rr;
};
