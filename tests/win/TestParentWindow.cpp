#include "TestParentWindow.h"

#include "TestDeadline.h"

namespace {
const char* const kClassName = "TidepullTestHostWindow";
}

TestParentWindow::TestParentWindow(int x, int y, int width, int height)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &TestParentWindow::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    RegisterClassA(&wc);   // fails harmlessly once registered
    hwnd = CreateWindowExA(0, kClassName, "Test host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height,
                           nullptr, nullptr, wc.hInstance, this);
    if (hwnd) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        UpdateWindow(hwnd);
    }
    Pump(20);
}

TestParentWindow::~TestParentWindow()
{
    if (hwnd) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
    Pump(10);
}

void TestParentWindow::ClearKeys()
{
    keyDowns.clear();
    keyUps.clear();
}

HWND TestParentWindow::EditorWindow() const
{
    return hwnd ? FindWindowExA(hwnd, nullptr, "TidepullEditorClass", nullptr) : nullptr;
}

void TestParentWindow::Pump(int ms)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    } while (static_cast<LONG>(GetTickCount() - end) < 0);
}

bool TestParentWindow::PumpUntil(const std::function<bool()>& done)
{
    return TestDeadline::Until(done, []() { Pump(1); });
}

LRESULT CALLBACK TestParentWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<TestParentWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == WM_KEYDOWN) {
        self->keyDowns.push_back(wParam);
        return 0;
    }
    if (self && msg == WM_KEYUP) {
        self->keyUps.push_back(wParam);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
