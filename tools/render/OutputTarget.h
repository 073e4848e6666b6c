#pragma once

#include <string>

// What writing to a path meets. A regular file (or none yet) is replaced
// whole by renaming a finished file over it, so the temporary file must lie
// beside the file a symbolic link names, not beside the link. A device or a
// FIFO stays what it is: it is opened and written where it is.
class OutputTarget {
public:
    enum class Kind { Missing, Regular, Device, Fifo, Folder, Other };

    // False only when the path cannot be followed (a loop of links, say).
    bool resolve(const std::string& path, std::string& error);

    Kind kind() const { return kind_; }
    bool inPlace() const { return kind_ == Kind::Device || kind_ == Kind::Fifo; }
    // The file the links lead to; for a device or FIFO the path as given,
    // which the system follows when opening it (/dev/stdout included).
    const std::string& path() const { return path_; }

    // The links of `path` followed by their text, the last one may name
    // nothing yet; false on a loop or an unreadable link.
    static bool followLinks(const std::string& path, std::string& resolved);
    static std::string folderOf(const std::string& path);
    static std::string baseOf(const std::string& path);

private:
    Kind kind_ = Kind::Missing;
    std::string path_;
};
