#pragma once

#include "posix/SpawnedProcess.h"
#include "TestXlib.h"

#include <cstdint>
#include <string>
#include <vector>

// A JACK server of one test: the dummy driver, no realtime, a server name
// of its own so that tests run side by side never meet.
class JackDummyServer {
public:
    // Logs go into `folder`.
    explicit JackDummyServer(const std::string& folder);

    // Starts it and waits until clients can connect; why not otherwise.
    bool Start(std::string& why);
    const std::string& Name() const { return name; }

private:
    std::string folder;
    std::string name;
    SpawnedProcess jackd;
};

// jalv.gtk3 as a user runs it, on the test's display and JACK server: its
// windows as the X server has them, and the user's pointer and keys.
class JalvSession {
public:
    // `folder` is its working folder and HOME, and holds its output;
    // `lv2Path` is its LV2_PATH.
    JalvSession(Display* display, const std::string& folder, const std::string& lv2Path, const std::string& jackServer);

    bool Start(const std::vector<std::string>& args);

    // The deepest mapped window of the size w x h inside jalv's main window;
    // 0 for none.
    Window FindEditor(int w, int h);
    // Waits until a window of the size w x h inside jalv's main window shows
    // `picture` (0xRRGGBB, row by row): the plug-in's editor. 0 when none
    // does by the deadline, with `why`.
    Window AwaitEditor(int w, int h, const std::vector<uint32_t>& picture, std::string& why);
    // Waits until `editor` shows `picture`; why not otherwise.
    bool AwaitPicture(Window editor, const std::vector<uint32_t>& picture, std::string& why);

    // The server's pixels of `w`, 0xRRGGBB, row by row.
    std::vector<uint32_t> Picture(Window w) const;
    // The screen position of a point of `w`.
    void ScreenPoint(Window w, int x, int y, int& sx, int& sy) const;

    // File > Save as a user does it: Ctrl+S over the menu bar, the folder
    // typed into the dialog, Return. Whether jalv wrote the state there.
    bool SaveState(const std::string& dir, std::string& why);
    // Closes the main window as a window manager's close button does, and
    // waits for jalv to end; its exit code, -1 when it did not end.
    int Close();

    std::string Output() const;
    std::string Errors() const;

private:
    // jalv's mapped top-level window called `title`; its main window for "".
    Window TopLevel(const std::string& title) const;
    // The deepest mapped window of the size w x h at or below `w`; 0 for none.
    Window Sized(Window w, int width, int height) const;

    Display* display;
    std::string folder;
    std::string lv2Path;
    std::string jackServer;
    SpawnedProcess jalv;
    Window main = 0;
};
