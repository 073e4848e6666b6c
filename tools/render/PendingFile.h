#pragma once

#include <string>

// An output file that appears under its final name only when complete: it is
// written to a temporary file in the same folder and renamed on commit(). The
// temporary file is removed when the object goes away uncommitted, and by
// SIGINT, SIGTERM, SIGHUP or SIGQUIT while it exists.
class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    bool create(const std::string& finalPath, std::string& error);
    // The open descriptor; after takeDescriptor() the taker must close it.
    int descriptor() const { return fd_; }
    int takeDescriptor();
    bool writeAll(const void* data, size_t size, std::string& error);
    bool commit(std::string& error);
    void discard();

    const std::string& finalPath() const { return finalPath_; }
    const std::string& temporaryPath() const { return tempPath_; }

    static void installSignalCleanup();

private:
    void registerForSignals();
    void unregisterForSignals();

    std::string finalPath_;
    std::string tempPath_;
    int fd_ = -1;
    int slot_ = -1;
};
