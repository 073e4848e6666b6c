#include "FormerTitles.h"

#include <cctype>

namespace {
const struct {
    const char* former;
    const char* current;
} kRenamed[] = {
    // The panel switch, named after its lamp; "Bypass" is the host's own.
    {"Bypass", "Engage"},
};

bool sameIgnoringCase(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}
}   // namespace

std::string FormerTitles::currentTitleOf(const std::string& title)
{
    for (const auto& renamed : kRenamed)
        if (sameIgnoringCase(title, renamed.former))
            return renamed.current;
    return std::string();
}
