#pragma once

#include <cstdint>

#include "pix/PIX_IBitmap.h"

// The drawing surface that a window copies to the screen. On Windows its pixels
// are a top-down DIB section selected into a memory device context; elsewhere
// they are plain aligned memory and DeviceContext() is none. The platform side
// is the private surface functions, implemented once per platform.
class PIX_SysBitmap : public PIX_IBitmap {
public:
    PIX_SysBitmap();
    PIX_SysBitmap(int32_t w, int32_t h);
    ~PIX_SysBitmap() override;
    PIX_SysBitmap(const PIX_SysBitmap&) = delete;
    PIX_SysBitmap& operator=(const PIX_SysBitmap&) = delete;

    PIX_Pixel32* Pixels() const override { return pixels; }
    int32_t Width() const override { return width; }
    int32_t Height() const override { return height; }
    int32_t Stride() const override { return allocWidth; }
    bool Resize(int32_t w, int32_t h) override;
    void* DeviceContext() const override { return deviceContext; }

private:
    // Platform side.
    void OpenDevice();
    void CloseDevice();
    bool HasDevice() const;
    bool CreateSurface();   // allocWidth x allocHeight; sets pixels
    void ReleaseSurface();   // pixels become none

    int32_t width = 0;
    int32_t height = 0;
    void* deviceContext = nullptr;
    PIX_Pixel32* pixels = nullptr;
    int32_t allocWidth = 0;   // always a multiple of 4
    int32_t allocHeight = 0;
    void* surface = nullptr;
    void* previousSelection = nullptr;
};
