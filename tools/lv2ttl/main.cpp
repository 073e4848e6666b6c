// tidepull-lv2ttl: writes the LV2 bundle's Turtle into a folder.
#include "Lv2Turtle.h"
#include "plug/Tidepull.h"

#include <cstdio>
#include <string>

namespace {

bool WriteFile(const std::string& path, const std::string& text)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return false;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok) {
        std::fprintf(stderr, "tidepull-lv2ttl: could not write %s\n", path.c_str());
        return false;
    }
    return true;
}

}   // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr,
                     "Usage: tidepull-lv2ttl FOLDER\n\n"
                     "Writes manifest.ttl, Tidepull.ttl and presets.ttl of the LV2 bundle into FOLDER.\n");
        return 2;
    }
    const std::string folder = argv[1];
    Tidepull plug;
    const Lv2Turtle turtle(plug);
    std::string error;
    const std::string presets = turtle.Presets(error);
    if (!error.empty()) {
        std::fprintf(stderr, "tidepull-lv2ttl: %s\n", error.c_str());
        return 1;
    }
    const bool ok = WriteFile(folder + "/manifest.ttl", turtle.Manifest()) &&
        WriteFile(folder + "/Tidepull.ttl", turtle.Plugin()) && WriteFile(folder + "/presets.ttl", presets);
    return ok ? 0 : 1;
}
