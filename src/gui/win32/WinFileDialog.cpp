#include "gui/win32/WinFileDialog.h"

#include "gui/win32/WinFolders.h"

#include <commdlg.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr size_t kPathSize = 256;
constexpr size_t kMaxPattern = 255;
constexpr size_t kMaxExtension = 15;

void CopyInto(char* out, size_t size, const std::string& text)
{
    const size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}
}   // namespace

std::string WinFileDialog::Filter(const char* extensions, std::string* defaultExtension)
{
    std::string pattern;
    if (defaultExtension)
        defaultExtension->clear();
    const char* p = extensions ? extensions : "";
    while (*p) {
        while (*p == ' ')
            ++p;
        const char* start = p;
        while (*p && *p != ' ')
            ++p;
        if (p == start)
            continue;
        const std::string ext(start, static_cast<size_t>(p - start));
        if (defaultExtension && defaultExtension->empty())
            *defaultExtension = ext.substr(0, kMaxExtension);
        const std::string piece = (pattern.empty() ? "*." : ";*.") + ext;
        if (pattern.size() + piece.size() > kMaxPattern)
            break;
        pattern += piece;
    }
    std::string filter = pattern;
    filter.push_back('\0');
    filter += pattern;
    filter.push_back('\0');
    filter.push_back('\0');
    return filter;
}

void WinFileDialog::Ask(HWND owner, std::string& fileName, int action, std::string& folder, const char* extensions)
{
    if (!owner) {
        fileName.clear();
        return;
    }
    if (folder.empty())
        folder = WinFolders::Desktop();
    char file[kPathSize] = {};
    char start[kPathSize] = {};
    CopyInto(file, sizeof file, fileName);
    CopyInto(start, sizeof start, folder);
    std::string defaultExtension;
    const std::string filter = Filter(extensions, &defaultExtension);

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = start;
    ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    BOOL ok;
    if (action == kActionSave) {
        ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        ok = GetSaveFileNameA(&ofn);
    } else {
        ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
        ok = GetOpenFileNameA(&ofn);
    }
    if (!ok) {
        fileName.clear();
        return;
    }
    fileName = file;
    char drive[_MAX_DRIVE] = {};
    char dir[_MAX_DIR] = {};
    _splitpath(file, drive, dir, nullptr, nullptr);
    char joined[kPathSize + 1] = {};
    std::snprintf(joined, sizeof joined, "%s%s", drive, dir);
    folder = joined;
}
