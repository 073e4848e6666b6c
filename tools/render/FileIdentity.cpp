#include "FileIdentity.h"

#include "OutputTarget.h"

#include <sys/stat.h>

FileIdentity::FileIdentity(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
        exists_ = true;
        device_ = st.st_dev;
        inode_ = st.st_ino;
        return;
    }
    std::string resolved;
    if (!OutputTarget::followLinks(path, resolved))
        resolved = path;
    if (::stat(OutputTarget::folderOf(resolved).c_str(), &st) == 0) {
        folderKnown_ = true;
        device_ = st.st_dev;
        inode_ = st.st_ino;
        name_ = OutputTarget::baseOf(resolved);
    } else {
        name_ = resolved;
    }
}

bool FileIdentity::operator==(const FileIdentity& other) const
{
    return exists_ == other.exists_ && folderKnown_ == other.folderKnown_ && device_ == other.device_ &&
        inode_ == other.inode_ && name_ == other.name_;
}
