#pragma once

#include <string>

// An output file that appears under its final name only when complete: it is
// written to a temporary file and, on commit(), renamed over the file the
// name leads to (through symbolic links), or copied into a device or FIFO,
// which stay what they are. The temporary file is removed when the object
// goes away uncommitted, and by SIGINT, SIGTERM, SIGHUP or SIGQUIT while it
// exists.
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
    bool copyIntoTarget(std::string& error);

    std::string finalPath_;
    std::string targetPath_;   // where the links lead
    bool inPlace_ = false;
    std::string tempPath_;
    int fd_ = -1;
    int slot_ = -1;
};
