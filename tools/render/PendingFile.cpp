#include "PendingFile.h"

#include "OutputTarget.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
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

// Where the temporary copy of a device's or FIFO's output waits: their
// folder may be /dev, or not writable at all.
std::string temporaryFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

std::string failure(const std::string& path)
{
    return "cannot write '" + path + "': " + std::strerror(errno);
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
    const std::string base = OutputTarget::baseOf(finalPath);
    if (base.empty() || base == "." || base == "..") {
        error = "cannot write '" + finalPath + "': not a file name";
        return false;
    }
    OutputTarget target;
    if (!target.resolve(finalPath, error))
        return false;
    if (target.kind() == OutputTarget::Kind::Folder) {
        error = "cannot write '" + finalPath + "': it is a folder";
        return false;
    }
    if (target.kind() == OutputTarget::Kind::Other) {
        error = "cannot write '" + finalPath + "': it is neither a file, a device nor a FIFO";
        return false;
    }
    // Opening a FIFO would wait for its reader; it is opened on commit.
    if (target.inPlace() && ::access(finalPath.c_str(), W_OK) != 0) {
        error = failure(finalPath);
        return false;
    }
    targetPath_ = target.path();
    inPlace_ = target.inPlace();

    const std::string folder = inPlace_ ? temporaryFolder() : OutputTarget::folderOf(targetPath_);
    std::string pattern = folder + "/." + OutputTarget::baseOf(targetPath_) + ".partial-XXXXXX";
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
            error = failure(finalPath_);
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
            error = failure(finalPath_);
            discard();
            return false;
        }
    }
    if (inPlace_) {
        const bool copied = copyIntoTarget(error);
        discard();
        return copied;
    }
    if (::rename(tempPath_.c_str(), targetPath_.c_str()) != 0) {
        error = failure(finalPath_);
        discard();
        return false;
    }
    unregisterForSignals();
    tempPath_.clear();
    return true;
}

bool PendingFile::copyIntoTarget(std::string& error)
{
    const int from = ::open(tempPath_.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) {
        error = failure(finalPath_);
        return false;
    }
    // No O_CREAT: should the device or FIFO be gone, nothing is made in its place.
    fd_ = ::open(targetPath_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    bool ok = fd_ >= 0;
    if (!ok)
        error = failure(finalPath_);
    char buffer[65536];
    while (ok) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            error = failure(tempPath_);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = writeAll(buffer, static_cast<size_t>(n), error);
    }
    if (fd_ >= 0 && ::close(fd_) != 0 && ok) {
        error = failure(finalPath_);
        ok = false;
    }
    fd_ = -1;
    ::close(from);
    return ok;
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
