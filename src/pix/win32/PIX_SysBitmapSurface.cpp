// The drawing surface on Windows: a top-down 32-bit DIB section selected into
// a memory device context, so the window can BitBlt it to the screen.
#include "pix/PIX_SysBitmap.h"

#include <windows.h>

void PIX_SysBitmap::OpenDevice()
{
    deviceContext = CreateCompatibleDC(nullptr);
}

void PIX_SysBitmap::CloseDevice()
{
    if (deviceContext)
        DeleteDC(static_cast<HDC>(deviceContext));
    deviceContext = nullptr;
}

bool PIX_SysBitmap::HasDevice() const
{
    return deviceContext != nullptr;
}

bool PIX_SysBitmap::CreateSurface()
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = allocWidth;
    info.bmiHeader.biHeight = -allocHeight;   // negative: row 0 at the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits) {
        if (dib)
            DeleteObject(dib);
        return false;
    }
    HGDIOBJ previous = SelectObject(static_cast<HDC>(deviceContext), dib);
    if (!previous || previous == HGDI_ERROR) {
        DeleteObject(dib);
        return false;
    }
    surface = dib;
    previousSelection = previous;
    pixels = static_cast<PIX_Pixel32*>(bits);
    return true;
}

void PIX_SysBitmap::ReleaseSurface()
{
    // The DIB section cannot be deleted while the device context holds it.
    if (previousSelection && deviceContext)
        SelectObject(static_cast<HDC>(deviceContext), static_cast<HGDIOBJ>(previousSelection));
    previousSelection = nullptr;
    if (surface)
        DeleteObject(static_cast<HGDIOBJ>(surface));
    surface = nullptr;
    pixels = nullptr;
}
