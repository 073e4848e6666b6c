#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// A host's top-level window for the editor to open in: visible, at a fixed
// place on the screen, noting the keys that reach it.
class TestParentWindow {
public:
    TestParentWindow(int x, int y, int width, int height);
    ~TestParentWindow();
    TestParentWindow(const TestParentWindow&) = delete;
    TestParentWindow& operator=(const TestParentWindow&) = delete;

    HWND Handle() const { return hwnd; }
    // Virtual keys of the WM_KEYDOWN and WM_KEYUP messages received.
    const std::vector<WPARAM>& KeyDowns() const { return keyDowns; }
    const std::vector<WPARAM>& KeyUps() const { return keyUps; }
    void ClearKeys();

    // The editor window inside it, or none.
    HWND EditorWindow() const;

    // Dispatches the thread's pending messages, for `ms` milliseconds.
    static void Pump(int ms);
    // Dispatches messages until `done` holds; whether it held before the
    // test deadline (TestDeadline.h).
    static bool PumpUntil(const std::function<bool()>& done);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd = nullptr;
    std::vector<WPARAM> keyDowns;
    std::vector<WPARAM> keyUps;
};
