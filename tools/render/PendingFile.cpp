#include "PendingFile.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr int kSlots = 4;
constexpr size_t kPathBytes = 4096;
char signalPaths[kSlots][kPathBytes];
volatile std::sig_atomic_t signalSlotUsed[kSlots];

extern "C" void removePendingOnSignal(int sig)
{
    for (int i = 0; i < kSlots; ++i)
        if (signalSlotUsed[i])
            ::unlink(signalPaths[i]);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
}   // namespace

PendingFile::~PendingFile()
{
    discard();
}

void PendingFile::installSignalCleanup()
{
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        std::signal(sig, removePendingOnSignal);
}

bool PendingFile::create(const std::string& finalPath, std::string& error)
{
    discard();
    finalPath_ = finalPath;
    const std::string base = baseOf(finalPath);
    if (base.empty() || base == "." || base == "..") {
        error = "cannot write '" + finalPath + "': not a file name";
        return false;
    }
    struct stat st;
    if (::stat(finalPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        error = "cannot write '" + finalPath + "': it is a folder";
        return false;
    }

    std::string pattern = folderOf(finalPath) + "/." + base + ".partial-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0) {
        error = "cannot write '" + finalPath + "': " + std::strerror(errno);
        return false;
    }
    tempPath_ = name.data();
    registerForSignals();

    // mkstemp makes the file private; the result should get the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
    return true;
}

int PendingFile::takeDescriptor()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

bool PendingFile::writeAll(const void* data, size_t size, std::string& error)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = "cannot write '" + finalPath_ + "': " + std::strerror(errno);
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool PendingFile::commit(std::string& error)
{
    if (tempPath_.empty()) {
        error = "cannot write '" + finalPath_ + "': nothing was written";
        return false;
    }
    if (fd_ >= 0) {
        const int rc = ::close(fd_);
        fd_ = -1;
        if (rc != 0) {
            error = "cannot write '" + finalPath_ + "': " + std::strerror(errno);
            discard();
            return false;
        }
    }
    if (::rename(tempPath_.c_str(), finalPath_.c_str()) != 0) {
        error = "cannot write '" + finalPath_ + "': " + std::strerror(errno);
        discard();
        return false;
    }
    unregisterForSignals();
    tempPath_.clear();
    return true;
}

void PendingFile::discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        unregisterForSignals();
        tempPath_.clear();
    }
}

void PendingFile::registerForSignals()
{
    if (tempPath_.size() >= kPathBytes)
        return;
    for (int i = 0; i < kSlots; ++i) {
        if (!signalSlotUsed[i]) {
            std::memcpy(signalPaths[i], tempPath_.c_str(), tempPath_.size() + 1);
            signalSlotUsed[i] = 1;
            slot_ = i;
            return;
        }
    }
}

void PendingFile::unregisterForSignals()
{
    if (slot_ >= 0)
        signalSlotUsed[slot_] = 0;
    slot_ = -1;
}
