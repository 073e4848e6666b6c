#include "SnapshotPicture.h"

#include "pix/PIX_Png.h"
#include "posix/ChildProcess.h"

#include <dirent.h>

#include <algorithm>
#include <memory>
#include <stdlib.h>
#include <unistd.h>

std::vector<uint32_t> SnapshotPicture(const std::string& tool, const std::vector<std::string>& options, int& width,
                                      int& height)
{
    std::vector<uint32_t> pixels;
    char dir[] = "/tmp/tidepull-snapshot-picture-XXXXXX";
    if (!mkdtemp(dir))
        return pixels;
    const std::string png = std::string(dir) + "/editor.png";
    std::vector<std::string> args = options;
    args.push_back(png);
    if (ChildProcess::Run(tool, args, std::chrono::seconds(60)).ExitCode() == 0) {
        if (std::unique_ptr<PIX_IBitmap> image{PIX_PngFromFile(png.c_str(), nullptr)}) {
            width = image->Width();
            height = image->Height();
            for (int32_t y = 0; y < height; ++y) {
                const PIX_Pixel32* row = PIX_RowPointer(*image, image->Pixels(), y);
                for (int32_t x = 0; x < width; ++x)
                    pixels.push_back(row[x] & 0xFFFFFFu);
            }
        }
    }
    unlink(png.c_str());
    rmdir(dir);
    return pixels;
}

size_t DifferentPixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    if (a.size() != b.size())
        return std::max(a.size(), b.size());
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i)
        n += a[i] != b[i];
    return n;
}

int OpenDescriptors()
{
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            ++n;
        closedir(d);
    }
    return n;
}
