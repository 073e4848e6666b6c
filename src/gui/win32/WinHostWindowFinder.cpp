#include "gui/win32/WinHostWindowFinder.h"

namespace {

constexpr int kClassNameSize = 128;

struct Search {
    DWORD processId;
    const std::string* className;
    HWND found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM data)
{
    Search* search = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->processId)
        return TRUE;
    char name[kClassNameSize + 1] = {};
    GetClassNameA(hwnd, name, kClassNameSize);
    if (*search->className != name)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

}   // namespace

HWND WinHostWindowFinder::MainWindow(HWND parent)
{
    if (mainWindow && IsWindow(mainWindow))
        return mainWindow;
    mainWindow = nullptr;
    if (parent) {
        HWND top = parent;
        while (HWND up = GetParent(top))
            top = up;
        mainWindow = top;
        char name[kClassNameSize + 1] = {};
        GetClassNameA(top, name, kClassNameSize);
        className = name;
    } else if (!className.empty()) {
        processId = GetCurrentProcessId();
        Search search = {processId, &className, nullptr};
        EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
        mainWindow = search.found;
    }
    return mainWindow;
}
