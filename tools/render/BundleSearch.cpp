#include "BundleSearch.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
const char* const kBundleName = "Tidepull.vst3";

bool isFolder(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ownFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return std::string();
    buffer[n] = '\0';
    std::string path(buffer);
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
}   // namespace

std::string BundleSearch::defaultBundle()
{
    std::vector<std::string> candidates;
    const std::string own = ownFolder();
    if (!own.empty())
        candidates.push_back(own + "/" + kBundleName);
#ifdef TIDEPULL_BUILD_BUNDLE
    const std::string built = TIDEPULL_BUILD_BUNDLE;
#else
    const std::string built;
#endif
    if (!built.empty())
        candidates.push_back(built);
    if (const char* home = std::getenv("HOME"))
        candidates.push_back(std::string(home) + "/.vst3/" + kBundleName);
    candidates.push_back(std::string("/usr/local/lib/vst3/") + kBundleName);
    candidates.push_back(std::string("/usr/lib/vst3/") + kBundleName);
    for (const std::string& path : candidates)
        if (isFolder(path))
            return path;
    return built.empty() ? candidates.front() : built;
}
