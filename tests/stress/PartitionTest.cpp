#include "SoakRun.h"

#include <gtest/gtest.h>

using namespace Steinberg::Vst;

namespace {

void ExpectAgreement(const SoakRun::Result& r)
{
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.nonFinite, 0);
    EXPECT_EQ(r.mismatches, 0) << "first at sample " << r.firstMismatch;
    EXPECT_FALSE(r.guardFault);
}

}   // namespace

// Without any change, the output does not depend on how the host cuts the
// audio into blocks.
TEST(BlockPartition, WithoutChangesTheOutputIgnoresTheBlockSizes)
{
    for (Steinberg::int32 size : {kSample32, kSample64}) {
        SoakRun::Options o;
        o.sampleSize = size;
        o.audioSeconds = 4.0;
        o.automation = false;
        o.seed = size == kSample32 ? 11u : 12u;
        const SoakRun::Result r = SoakRun::Run(o);
        ExpectAgreement(r);
        EXPECT_EQ(r.stillFrames, r.frames);
        EXPECT_GT(r.blocksA, 100);
        EXPECT_NE(r.blocksA, r.blocksB);   // the two really were cut differently
    }
}

// Changes at the same places, different cuts in between: still the same.
TEST(BlockPartition, ChangesAtTheSamePlacesGiveTheSameOutputWhateverTheCutsBetween)
{
    SoakRun::Options o;
    o.audioSeconds = 8.0;
    o.maxBlock = 300;
    o.seed = 21;
    const SoakRun::Result r = SoakRun::Run(o);
    ExpectAgreement(r);
    EXPECT_GT(r.automatedBlocks, 100);
    EXPECT_GT(r.stillFrames, 0);
}
