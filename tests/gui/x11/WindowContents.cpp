#include "WindowContents.h"

#include <X11/Xutil.h>

std::vector<Window> ChildWindows(Display* display, Window w)
{
    Window root = 0;
    Window up = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> out;
    if (XQueryTree(display, w, &root, &up, &children, &count)) {
        out.assign(children, children + count);
        if (children)
            XFree(children);
    }
    return out;
}

std::vector<uint32_t> WindowPixels(Display* display, Window w, int x, int y, int width, int height)
{
    std::vector<uint32_t> pixels;
    XImage* image =
        XGetImage(display, w, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image)
        return pixels;
    pixels.reserve(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col)
            pixels.push_back(static_cast<uint32_t>(XGetPixel(image, col, row)) & 0xFFFFFFu);
    }
    XDestroyImage(image);
    return pixels;
}
