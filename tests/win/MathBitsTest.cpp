// The engine's math on Windows: the figures that hold on every platform, and
// the results the Linux side compares bit for bit.
#include "MathTable.h"
#include "RawFile.h"
#include "TestRunner.h"

#include "dsp/portableMath.h"
#include "dsp/saturate.h"

#include <string>
#include <vector>

WIN_TEST(MathFiguresHoldOnWindows)
{
    CHECK_EQ(saturate(0.5), 0.5176306729784232);
    CHECK_EQ(saturate(1.0), 1.0159246780142874);
    CHECK_EQ(saturate(-1.0), -1.023540619573845);
    CHECK_EQ(saturate(2.0), 2.0603011992371245);
    CHECK_EQ(portableMath::pow(10.0, 0.25), 1.7782794100389228);
    CHECK_EQ(portableMath::pow(10.0, -18.0 / 20.0), 0.12589254117941673);
    CHECK_EQ(portableMath::pow(10.0, 18.0 / 20.0), 7.943282347242816);
}

WIN_TEST(MathResultsAreWritten)
{
    const std::string dir = t.Option("exchange");
    if (dir.empty())
        return;
    const std::vector<double> results = MathTable::Results();
    CHECK(RawFile::WriteDoubles(dir + "\\windows-math.f64", results));
}
