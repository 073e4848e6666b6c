// Draws the editor's bitmap strips into resources/img (and, with --scale 2,
// the double-density strips into resources/img/2x).
//
//   tidepull-artwork <output dir> [--scale 1|2] [--fonts <dir>] [--preview <png> [value]]

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ArtScale.h"
#include "FontBook.h"
#include "KnobPainter.h"
#include "LampPainter.h"
#include "Lettering.h"
#include "MeterPainter.h"
#include "PanelLayout.h"
#include "PanelPainter.h"
#include "PngWriter.h"
#include "PreviewComposer.h"
#include "ReleaseKnobPainter.h"
#include "Strip.h"

namespace {

bool Save(const Strip& strip, const std::string& dir)
{
    const std::string path = dir + "/" + strip.Placement().file;
    if (!PngWriter::Write(strip.Surface(), path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%-10s %4d x %5d  %3d frames\n", strip.Placement().file, strip.Width() * ArtScale::Factor(),
                strip.FrameHeight() * strip.Frames() * ArtScale::Factor(), strip.Frames());
    return true;
}

bool DrawAll(const std::string& dir, const FontBook& fonts)
{
    const Lettering lettering(fonts);
    bool ok = true;
    for (int s = 0; s < PanelLayout::kStripCount; ++s) {
        const PanelLayout::Strip id = static_cast<PanelLayout::Strip>(s);
        const Strip strip(PanelLayout::Placement(id));
        switch (id) {
        case PanelLayout::kBG: PanelPainter(lettering).Paint(strip); break;
        case PanelLayout::kIN:
        case PanelLayout::kOUT:
        case PanelLayout::kHPF:
        case PanelLayout::kMIX: KnobPainter::Paint(strip, KnobPainter::kSmall); break;
        case PanelLayout::kAC:
        case PanelLayout::kDC: KnobPainter::Paint(strip, KnobPainter::kLarge); break;
        case PanelLayout::kREL: ReleaseKnobPainter::Paint(strip); break;
        case PanelLayout::kMETER: MeterPainter(lettering).Paint(strip); break;
        case PanelLayout::kBY: LampPainter::Paint(strip, Rgb{0.85, 0.10, 0.06}, Rgb{1.0, 0.30, 0.12}, 13.5); break;
        case PanelLayout::kSC: LampPainter::Paint(strip, Rgb{0.95, 0.55, 0.08}, Rgb{1.0, 0.70, 0.20}, 9.0); break;
        case PanelLayout::kStripCount: break;
        }
        ok = Save(strip, dir) && ok;
    }
    return ok;
}

}   // namespace

int main(int argc, char** argv)
{
    std::string outDir;
    std::string fontDir = "/usr/share/fonts/truetype/dejavu";
    std::string preview;
    double previewValue = 0.5;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            const int factor = std::atoi(argv[++i]);
            if (factor != 1 && factor != 2) {
                std::fprintf(stderr, "--scale takes 1 or 2\n");
                return 2;
            }
            ArtScale::SetFactor(factor);
        } else if (std::strcmp(argv[i], "--fonts") == 0 && i + 1 < argc) {
            fontDir = argv[++i];
        } else if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
            preview = argv[++i];
            if (i + 1 < argc && argv[i + 1][0] != '-')
                previewValue = std::atof(argv[++i]);
        } else if (outDir.empty() && argv[i][0] != '-') {
            outDir = argv[i];
        } else {
            std::fprintf(stderr, "usage: %s <output dir> [--scale 1|2] [--fonts <dir>] [--preview <png> [value]]\n",
                         argv[0]);
            return 2;
        }
    }
    if (outDir.empty()) {
        std::fprintf(stderr, "usage: %s <output dir> [--scale 1|2] [--fonts <dir>] [--preview <png> [value]]\n",
                     argv[0]);
        return 2;
    }

    FontBook fonts;
    if (!fonts.Load(fontDir.c_str())) {
        std::fprintf(stderr, "%s\n", fonts.Error());
        return 1;
    }
    if (!DrawAll(outDir, fonts))
        return 1;
    // The preview composes the editor's own pixels only.
    if (!preview.empty() && ArtScale::Factor() == 1 && !PreviewComposer::Compose(outDir, previewValue, preview))
        return 1;
    return 0;
}
