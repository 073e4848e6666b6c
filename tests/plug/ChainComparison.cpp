#include "ChainComparison.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

namespace {

bool Same(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}   // namespace

ChainComparison::ChainComparison(Tidepull& plug_, ReferenceChain& ref_) : plug(plug_), ref(ref_)
{
    // The meter's ballistics run while an editor is attached.
    ref.editorAttached = plug.GetEditor() != nullptr;
}

void ChainComparison::Apply(const Change& c)
{
    if (c.param == kSampleRate) {
        std::lock_guard<std::recursive_mutex> lock(plug.Mutex());
        plug.SetSampleRate(c.value);
        ref.setSampleRate(c.value);
        return;
    }
    SetParam(plug, c.param, c.value);
    ReferenceChain::Params& p = ref.params;
    switch (c.param) {
    case Tidepull::kInputAtten: p.inputAtten = c.value; break;
    case Tidepull::kOutput: p.output = c.value; break;
    case Tidepull::kAcThreshold: p.acThreshold = c.value; break;
    case Tidepull::kDcThreshold: p.dcThreshold = c.value; break;
    case Tidepull::kRelease: p.release = static_cast<int32_t>(c.value); break;
    case Tidepull::kHpf: p.hpf = c.value; break;
    case Tidepull::kMix: p.mix = c.value; break;
    case Tidepull::kBypass: p.bypass = static_cast<int32_t>(c.value); break;
    case Tidepull::kExternalSidechain: p.externalSidechain = static_cast<int32_t>(c.value); break;
    default: break;
    }
}

std::string ChainComparison::Compare(size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        if (std::isfinite(pl[i]) && std::isfinite(rl[i]))
            worstOutputDifference = std::max(worstOutputDifference, std::fabs(pl[i] - rl[i]));
        if (std::isfinite(pr[i]) && std::isfinite(rr[i]))
            worstOutputDifference = std::max(worstOutputDifference, std::fabs(pr[i] - rr[i]));
        if (!WithinChainTolerance(pl[i], rl[i]) || !WithinChainTolerance(pr[i], rr[i])) {
            std::ostringstream os;
            os.precision(17);
            os << "output sample " << i << ": plug " << pl[i] << ", " << pr[i] << " model " << rl[i] << ", " << rr[i];
            return os.str();
        }
    }
    const compressor& a = plug.Compressor();
    const compressor& b = ref.comp();
    // What follows from the gain step may stray as the output may.
    const struct {
        const char* what;
        double plugValue;
        double modelValue;
    } near[] = {
        {"gain", plug.GainDb(), ref.gainDb()},
        {"meter state", plug.MeterState(), ref.meterState()},
        {"meter value", plug.MeterValue(), ref.meterValue()},
        {"detector gain", plug.Compressor().getGainDb(), ref.comp().getGainDb()},
        // Release positions 4 and 5 make their coefficient the faster way.
        {"envelope", plug.Compressor().getEnvelope(), ref.comp().getEnvelope()},
        {"release coefficient", plug.Compressor().getReleaseCoef(), ref.comp().getReleaseCoef()},
    };
    for (const auto& c : near) {
        if (!WithinChainTolerance(c.plugValue, c.modelValue)) {
            std::ostringstream os;
            os.precision(17);
            os << c.what << ": plug " << c.plugValue << " model " << c.modelValue;
            return os.str();
        }
    }
    // The rest of the detector and the smoothers are exact.
    const struct {
        const char* what;
        double plugValue;
        double modelValue;
    } checks[] = {
        {"hold count", static_cast<double>(a.getHoldCount()), static_cast<double>(b.getHoldCount())},
        {"hold length", static_cast<double>(a.getHoldLength()), static_cast<double>(b.getHoldLength())},
        {"attack coefficient", a.getAttackCoef(), b.getAttackCoef()},
        {"ratio", a.getRatio(), b.getRatio()},
        {"threshold", a.getThreshold(), b.getThreshold()},
        {"knee", a.getKnee(), b.getKnee()},
        {"knee width", a.getKneeWidth(), b.getKneeWidth()},
        {"slope", a.getSlope(), b.getSlope()},
        // Single-precision states, widened exactly.
        {"input gain smoother", plug.InputGainSmoother().getState(), ref.inputGainSmoothing().getState()},
        {"DC smoother", plug.DcSmoother().getState(), ref.dcSmoothing().getState()},
        {"AC smoother", plug.AcSmoother().getState(), ref.acSmoothing().getState()},
        {"output gain smoother", plug.OutputGainSmoother().getState(), ref.outputGainSmoothing().getState()},
        {"mix smoother", plug.MixSmoother().getState(), ref.mixSmoothing().getState()},
    };
    for (const auto& c : checks) {
        if (!Same(c.plugValue, c.modelValue)) {
            std::ostringstream os;
            os.precision(17);
            os << c.what << ": plug " << c.plugValue << " model " << c.modelValue;
            return os.str();
        }
    }
    return "";
}

std::string ChainComparison::Run(const Signal& sig, const std::vector<int32_t>& blockSizes,
                                 const std::vector<Change>& script)
{
    const int32_t largest = *std::max_element(blockSizes.begin(), blockSizes.end());
    for (std::vector<double>* v : {&bl, &br, &bsl, &bsr, &pl, &pr, &rl, &rr})
        v->assign(static_cast<size_t>(largest), 0.0);

    size_t pos = 0;
    for (int32_t block = 0; pos < sig.size(); ++block) {
        for (const Change& c : script) {
            if (c.block == block)
                Apply(c);
        }
        if (beforeBlock)
            beforeBlock(block);
        const size_t want = static_cast<size_t>(blockSizes[static_cast<size_t>(block) % blockSizes.size()]);
        const size_t n = std::min(want, sig.size() - pos);
        std::copy(sig.l.begin() + pos, sig.l.begin() + pos + n, bl.begin());
        std::copy(sig.r.begin() + pos, sig.r.begin() + pos + n, br.begin());
        std::copy(sig.scL.begin() + pos, sig.scL.begin() + pos + n, bsl.begin());
        std::copy(sig.scR.begin() + pos, sig.scR.begin() + pos + n, bsr.begin());
        double* ins[4] = {bl.data(), br.data(), bsl.data(), bsr.data()};
        double* pouts[2] = {pl.data(), pr.data()};
        double* routs[2] = {rl.data(), rr.data()};
        {
            std::lock_guard<std::recursive_mutex> lock(plug.Mutex());
            plug.ProcessBlock(ins, pouts, static_cast<int32_t>(n));
        }
        ref.process(ins, routs, static_cast<int32_t>(n));
        ++blocksRun;
        const std::string diff = Compare(n);
        if (!diff.empty()) {
            std::ostringstream os;
            os << "block " << block << " (from sample " << pos << "): " << diff;
            return os.str();
        }
        pos += n;
    }
    return "";
}
