#pragma once

#include <string>

// Parameter titles the plug-in has given up, still taken by --set for a
// while: scripts written against them keep working, with a note.
class FormerTitles {
public:
    // The title that replaced `title` (letter case ignored), or empty.
    static std::string currentTitleOf(const std::string& title);
};
