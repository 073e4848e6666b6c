#pragma once

#include "gui/Bounds.h"

#include "gui/x11/XlibHeaders.h"

#include <cstdint>

class PIX_SysBitmap;

// Puts the drawing surface on the screen. The picture lives on the server as
// the window's background pixmap: the server repaints any uncovered part of
// the window from it by itself, so the editor stays drawn even when nobody
// reads the window's events (a host without an event loop). A present
// writes the rectangle into the pixmap (through shared memory when the
// server offers it, else with XPutImage) and has the window show it.
class X11Presenter {
public:
    X11Presenter() = default;
    ~X11Presenter() { Destroy(); }
    X11Presenter(const X11Presenter&) = delete;
    X11Presenter& operator=(const X11Presenter&) = delete;

    // The pixmap for a window of this visual and size, to be made the
    // window's background.
    bool Create(Display* display, Window root, Visual* visual, int depth, int width, int height, bool trySharedMemory);
    void Destroy();
    // The window that shows the pixmap.
    void SetWindow(Window w) { window = w; }

    Pixmap Picture() const { return pixmap; }
    bool UsesSharedMemory() const { return shmAttached; }

    // Copies `rect` of the surface to the same place in the picture and
    // shows it in the window.
    bool Present(const PIX_SysBitmap& surface, const Bounds& rect);

private:
    struct Channel {
        int shift = 0;
        int bits = 0;
    };

    void CreateSharedImage();
    unsigned long PixelOf(uint32_t argb) const;
    void Convert(const PIX_SysBitmap& surface, const Bounds& r, XImage* into, int intoX, int intoY) const;
    bool PutDirect(const PIX_SysBitmap& surface, const Bounds& r);
    bool PutConverted(const PIX_SysBitmap& surface, const Bounds& r);

    Display* display = nullptr;
    Window window = 0;
    Visual* visual = nullptr;
    int depth = 0;
    int width = 0;
    int height = 0;
    Pixmap pixmap = 0;
    GC gc = nullptr;
    // Pixels can go to the server as they lie in the surface: 32-bit words
    // with red, green and blue where 0xAARRGGBB has them, in this machine's
    // byte order.
    bool direct = false;
    Channel red;
    Channel green;
    Channel blue;
    XImage* sharedImage = nullptr;
    XShmSegmentInfo shm{};
    bool shmAttached = false;
};
