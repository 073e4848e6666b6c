#include "OutputTarget.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
// As the system allows before ELOOP.
constexpr int kMaxLinks = 40;
}   // namespace

bool OutputTarget::resolve(const std::string& path, std::string& error)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            error = "cannot write '" + path + "': " + std::strerror(errno);
            return false;
        }
        kind_ = Kind::Missing;
        if (!followLinks(path, path_)) {
            error = "cannot write '" + path + "': " + std::strerror(ELOOP);
            return false;
        }
        return true;
    }
    path_ = path;
    if (S_ISDIR(st.st_mode))
        kind_ = Kind::Folder;
    else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        kind_ = Kind::Device;
    else if (S_ISFIFO(st.st_mode))
        kind_ = Kind::Fifo;
    else if (!S_ISREG(st.st_mode))
        kind_ = Kind::Other;
    else {
        kind_ = Kind::Regular;
        char* real = ::realpath(path.c_str(), nullptr);
        if (real) {
            path_ = real;
            std::free(real);
        }
    }
    return true;
}

bool OutputTarget::followLinks(const std::string& path, std::string& resolved)
{
    resolved = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat st;
        if (::lstat(resolved.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::vector<char> text(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        const ssize_t n = ::readlink(resolved.c_str(), text.data(), text.size());
        if (n <= 0 || static_cast<size_t>(n) >= text.size())
            return false;
        const std::string target(text.data(), static_cast<size_t>(n));
        resolved = target[0] == '/' ? target : folderOf(resolved) + "/" + target;
    }
    return false;
}

std::string OutputTarget::folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string OutputTarget::baseOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
