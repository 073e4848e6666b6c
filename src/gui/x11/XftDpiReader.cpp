#include "gui/x11/XftDpiReader.h"

#include <mutex>

std::string XftDpiReader::DpiText(Display* display)
{
    const char* resources = display ? XResourceManagerString(display) : nullptr;
    if (!resources)
        return std::string();
    static std::once_flag initialised;
    std::call_once(initialised, []() { XrmInitialize(); });
    XrmDatabase db = XrmGetStringDatabase(resources);
    if (!db)
        return std::string();
    char* type = nullptr;
    XrmValue value = {0, nullptr};
    std::string text;
    if (XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) {
        // The size counts the terminator the database keeps.
        size_t n = value.size;
        while (n > 0 && value.addr[n - 1] == '\0')
            --n;
        text.assign(value.addr, n);
    }
    XrmDestroyDatabase(db);
    return text;
}
