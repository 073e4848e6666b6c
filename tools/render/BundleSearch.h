#pragma once

#include <string>

// Where the render tool looks for the plug-in when it is given none.
class BundleSearch {
public:
    // Tidepull.vst3 next to this program, in the build tree, then in the usual VST 3 folders;
    // the build tree's when none exists.
    static std::string defaultBundle();
};
