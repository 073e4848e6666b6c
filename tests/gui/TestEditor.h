#pragma once

#include "gui/Editor.h"
#include "pix/PIX_Pixel32.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// An editor without a window. Its images are made up on request: every frame
// of a strip is one opaque colour that names the image and the frame, so a
// pixel tells which frame was drawn. Menus and text entries are recorded.
class TestEditor : public Editor {
public:
    struct MenuShown {
        std::vector<std::string> texts;
        std::vector<int32_t> flags;
        int32_t prefixMode = -1;
        int32_t chosenIndex = -2;
        Bounds area;
    };
    struct EntryOpened {
        Control* control = nullptr;
        std::string text;
        Bounds area;
        ParamRecord* param = nullptr;
        int32_t alignment = -1;
    };

    explicit TestEditor(PlugCore* plug, int32_t width = 200, int32_t height = 100) : Editor(plug, width, height, 25) {}

    // A fresh resource id (process-wide, as the bitmap cache is) for an image
    // of `frames` frames of frameWidth x frameHeight stacked vertically.
    static int32_t DefineImage(int32_t frameWidth, int32_t frameHeight, int32_t frames);
    static PIX_Pixel32 FrameColour(int32_t id, int32_t frame);
    static int LoadCount(int32_t id);

    // DefineImage then LoadStrip.
    BitmapStrip NewStrip(int32_t frameWidth, int32_t frameHeight, int32_t frames, int32_t* id = nullptr);

    PIX_IBitmap* LoadResourceImage(int32_t id, const char* fileName) override;
    PopupMenu* TrackMenu(PopupMenu& menu, const Bounds& area) override;
    void OpenTextEntry(Control* control, const TextStyle& style, const Bounds& area, const char* initialText,
                       ParamRecord* param) override;
    bool PresentRect(const Bounds& rect) override;

    // Pixel (x, y) of the drawing surface.
    PIX_Pixel32 PixelAt(int32_t x, int32_t y) const;
    void FillSurface(PIX_Pixel32 colour);

    int32_t menuChoice = -1;   // item the next menu returns, -1 dismisses it
    int menuCalls = 0;
    MenuShown lastMenu;
    int entryCalls = 0;
    EntryOpened lastEntry;
    std::vector<Bounds> presented;
};
