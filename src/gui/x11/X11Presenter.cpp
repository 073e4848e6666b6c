#include "gui/x11/X11Presenter.h"

#include "gui/x11/X11ErrorTrap.h"
#include "pix/PIX_SysBitmap.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

bool LittleEndianMachine()
{
    const uint16_t probe = 1;
    uint8_t first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

int ShiftOf(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

int BitsOf(unsigned long mask)
{
    int bits = 0;
    for (; mask; mask &= mask - 1)
        ++bits;
    return bits;
}

unsigned long Scale(uint32_t value8, int bits, int shift)
{
    if (bits <= 0)
        return 0;
    const unsigned long top = bits >= 32 ? 0xFFFFFFFFul : (1ul << bits) - 1;
    return ((value8 * top + 127) / 255) << shift;
}

}   // namespace

bool X11Presenter::Create(Display* d, Window root, Visual* v, int dep, int w, int h, bool trySharedMemory)
{
    Destroy();
    display = d;
    visual = v;
    depth = dep;
    width = w;
    height = h;
    red = {ShiftOf(v->red_mask), BitsOf(v->red_mask)};
    green = {ShiftOf(v->green_mask), BitsOf(v->green_mask)};
    blue = {ShiftOf(v->blue_mask), BitsOf(v->blue_mask)};

    X11ErrorTrap trap(display);
    pixmap =
        XCreatePixmap(display, root, static_cast<unsigned>(w), static_cast<unsigned>(h), static_cast<unsigned>(depth));
    gc = XCreateGC(display, pixmap, 0, nullptr);

    // Whether the server takes our words as they are: ask it how it lays
    // out an image of this depth.
    XImage* probe = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr, 1, 1, 32, 0);
    if (probe) {
        const bool order = (probe->byte_order == LSBFirst) == LittleEndianMachine();
        direct = probe->bits_per_pixel == 32 && order && v->red_mask == 0xFF0000 && v->green_mask == 0xFF00 &&
            v->blue_mask == 0xFF;
        XDestroyImage(probe);
    }
    if (!trap.Sync()) {
        Destroy();
        return false;
    }
    if (trySharedMemory)
        CreateSharedImage();
    return true;
}

void X11Presenter::CreateSharedImage()
{
    XImage* image = XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &shm,
                                    static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (!image)
        return;
    shm.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * image->height, IPC_CREAT | 0600);
    if (shm.shmid < 0) {
        XDestroyImage(image);
        return;
    }
    shm.shmaddr = static_cast<char*>(shmat(shm.shmid, nullptr, 0));
    if (shm.shmaddr == reinterpret_cast<char*>(-1)) {
        shmctl(shm.shmid, IPC_RMID, nullptr);
        XDestroyImage(image);
        return;
    }
    image->data = shm.shmaddr;
    shm.readOnly = True;

    X11ErrorTrap trap(display);
    const bool attached = XShmAttach(display, &shm) && trap.Sync();
    // Marked for removal now: it goes when both sides have detached, even
    // if the process dies.
    shmctl(shm.shmid, IPC_RMID, nullptr);
    if (!attached) {
        image->data = nullptr;
        XDestroyImage(image);
        shmdt(shm.shmaddr);
        shm = XShmSegmentInfo{};
        return;
    }
    sharedImage = image;
    shmAttached = true;
}

void X11Presenter::Destroy()
{
    if (!display)
        return;
    {
        X11ErrorTrap trap(display);
        if (shmAttached)
            XShmDetach(display, &shm);
        if (gc)
            XFreeGC(display, gc);
        if (pixmap)
            XFreePixmap(display, pixmap);
    }
    if (sharedImage) {
        sharedImage->data = nullptr;
        XDestroyImage(sharedImage);
        shmdt(shm.shmaddr);
    }
    sharedImage = nullptr;
    shm = XShmSegmentInfo{};
    shmAttached = false;
    gc = nullptr;
    pixmap = 0;
    window = 0;
    display = nullptr;
}

unsigned long X11Presenter::PixelOf(uint32_t argb) const
{
    return Scale((argb >> 16) & 0xFF, red.bits, red.shift) | Scale((argb >> 8) & 0xFF, green.bits, green.shift) |
        Scale(argb & 0xFF, blue.bits, blue.shift);
}

void X11Presenter::Convert(const PIX_SysBitmap& surface, const Bounds& r, XImage* into, int intoX, int intoY) const
{
    for (int32_t y = r.top; y < r.bottom; ++y) {
        const PIX_Pixel32* row = PIX_RowPointer(surface, surface.Pixels(), y);
        for (int32_t x = r.left; x < r.right; ++x)
            XPutPixel(into, intoX + (x - r.left), intoY + (y - r.top), PixelOf(row[x]));
    }
}

bool X11Presenter::Present(const PIX_SysBitmap& surface, const Bounds& rect)
{
    if (!display || !pixmap || !surface.Pixels())
        return false;
    Bounds r = rect;
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min({r.right, width, surface.Width()});
    r.bottom = std::min({r.bottom, height, surface.Height()});
    if (r.right <= r.left || r.bottom <= r.top)
        return true;

    X11ErrorTrap trap(display);
    const unsigned w = static_cast<unsigned>(r.right - r.left);
    const unsigned h = static_cast<unsigned>(r.bottom - r.top);
    bool ok;
    if (sharedImage) {
        if (direct) {
            for (int32_t y = r.top; y < r.bottom; ++y) {
                const PIX_Pixel32* row = PIX_RowPointer(surface, surface.Pixels(), y);
                std::memcpy(sharedImage->data + static_cast<size_t>(y) * sharedImage->bytes_per_line + r.left * 4,
                            row + r.left, w * 4);
            }
        } else {
            Convert(surface, r, sharedImage, r.left, r.top);
        }
        ok = XShmPutImage(display, pixmap, gc, sharedImage, r.left, r.top, r.left, r.top, w, h, False);
    } else {
        ok = direct ? PutDirect(surface, r) : PutConverted(surface, r);
    }
    if (window)
        XClearArea(display, window, r.left, r.top, w, h, False);
    // The shared segment may be written again once the server has read it.
    return trap.Sync() && ok;
}

bool X11Presenter::PutDirect(const PIX_SysBitmap& surface, const Bounds& r)
{
    // An image over the surface's own memory: nothing is copied here.
    XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                                 reinterpret_cast<char*>(surface.Pixels()), static_cast<unsigned>(surface.Width()),
                                 static_cast<unsigned>(surface.Height()), 32, surface.Stride() * 4);
    if (!image)
        return false;
    XPutImage(display, pixmap, gc, image, r.left, r.top, r.left, r.top, static_cast<unsigned>(r.right - r.left),
              static_cast<unsigned>(r.bottom - r.top));
    image->data = nullptr;
    XDestroyImage(image);
    return true;
}

bool X11Presenter::PutConverted(const PIX_SysBitmap& surface, const Bounds& r)
{
    const unsigned w = static_cast<unsigned>(r.right - r.left);
    const unsigned h = static_cast<unsigned>(r.bottom - r.top);
    XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr, w, h, 32, 0);
    if (!image)
        return false;
    image->data = static_cast<char*>(std::calloc(static_cast<size_t>(image->bytes_per_line) * h, 1));
    if (!image->data) {
        XDestroyImage(image);
        return false;
    }
    Convert(surface, r, image, 0, 0);
    XPutImage(display, pixmap, gc, image, 0, 0, r.left, r.top, w, h);
    XDestroyImage(image);   // frees the pixels too
    return true;
}
