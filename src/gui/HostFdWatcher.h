#pragma once

// Receives the calls of a host event loop that watches a file descriptor.
class HostFdWatcher {
public:
    // The descriptor has data to read.
    virtual void OnFdReadable(int fd) = 0;
    // The host has dropped the watch: no more OnFdReadable for it.
    virtual void OnFdReleased(int fd) = 0;

protected:
    ~HostFdWatcher() = default;
};
