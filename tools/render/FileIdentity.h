#pragma once

#include <string>
#include <sys/types.h>

// Which file a path names, so that two paths can be told apart: an existing
// file by its device and inode (through links, hard links and "./" alike), a
// file still to be made by its folder's and its own name.
class FileIdentity {
public:
    explicit FileIdentity(const std::string& path);

    bool operator==(const FileIdentity& other) const;
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }

private:
    bool exists_ = false;
    bool folderKnown_ = false;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    std::string name_;   // of a file still to be made: its own, or the whole path when its folder is not there
};
