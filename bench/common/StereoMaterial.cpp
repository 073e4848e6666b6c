#include "common/StereoMaterial.h"

#include "common/MusicLike.h"

StereoMaterial StereoMaterial::Music(size_t frames)
{
    StereoMaterial m;
    MusicLike gen;
    for (size_t i = 0; i < frames; ++i) {
        const double l = gen.Next();
        m.l.push_back(l);
        m.r.push_back(0.8 * l + 0.2 * gen.Next());
        m.lf.push_back(static_cast<float>(m.l.back()));
        m.rf.push_back(static_cast<float>(m.r.back()));
    }
    return m;
}
