#include "TestEditor.h"

#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_SysBitmap.h"

#include <mutex>

namespace {

struct ImageShape {
    int32_t frameWidth;
    int32_t frameHeight;
    int32_t frames;
};

std::mutex registryLock;
std::map<int32_t, ImageShape> images;
std::map<int32_t, int> loads;
int32_t nextId = 5000;

}   // namespace

int32_t TestEditor::DefineImage(int32_t frameWidth, int32_t frameHeight, int32_t frames)
{
    std::lock_guard<std::mutex> guard(registryLock);
    const int32_t id = nextId++;
    images[id] = ImageShape{frameWidth, frameHeight, frames};
    return id;
}

PIX_Pixel32 TestEditor::FrameColour(int32_t id, int32_t frame)
{
    return 0xFF000000u | (static_cast<uint32_t>(id & 0xFFF) << 12) | static_cast<uint32_t>(frame & 0xFFF);
}

int TestEditor::LoadCount(int32_t id)
{
    std::lock_guard<std::mutex> guard(registryLock);
    return loads[id];
}

BitmapStrip TestEditor::NewStrip(int32_t frameWidth, int32_t frameHeight, int32_t frames, int32_t* idOut)
{
    const int32_t id = DefineImage(frameWidth, frameHeight, frames);
    if (idOut)
        *idOut = id;
    return LoadStrip(id, "strip.png", frames);
}

PIX_IBitmap* TestEditor::LoadResourceImage(int32_t id, const char* /*fileName*/)
{
    ImageShape shape;
    {
        std::lock_guard<std::mutex> guard(registryLock);
        ++loads[id];
        auto it = images.find(id);
        if (it == images.end())
            return nullptr;
        shape = it->second;
    }
    auto* bitmap = new PIX_MemBitmap();
    bitmap->Resize(shape.frameWidth, shape.frameHeight * shape.frames);
    for (int32_t y = 0; y < bitmap->Height(); ++y) {
        PIX_Pixel32* row = bitmap->Pixels() + static_cast<ptrdiff_t>(y) * bitmap->Stride();
        for (int32_t x = 0; x < bitmap->Width(); ++x)
            row[x] = FrameColour(id, y / shape.frameHeight + 1);
    }
    return bitmap;
}

PopupMenu* TestEditor::TrackMenu(PopupMenu& menu, const Bounds& area)
{
    ++menuCalls;
    lastMenu = MenuShown();
    for (int32_t i = 0; i < menu.ItemCount(); ++i) {
        lastMenu.texts.emplace_back(menu.ItemAt(i)->Text());
        lastMenu.flags.push_back(menu.ItemAt(i)->Flags());
    }
    lastMenu.prefixMode = menu.PrefixMode();
    lastMenu.chosenIndex = menu.ChosenIndex();
    lastMenu.area = area;
    if (menuChoice < 0)
        return nullptr;
    menu.SetChosenIndex(menuChoice);
    return &menu;
}

void TestEditor::OpenTextEntry(Control* control, const TextStyle& style, const Bounds& area, const char* initialText,
                               ParamRecord* param)
{
    ++entryCalls;
    lastEntry.control = control;
    lastEntry.text = initialText ? initialText : "";
    lastEntry.area = area;
    lastEntry.param = param;
    lastEntry.alignment = style.alignment;
}

bool TestEditor::PresentRect(const Bounds& rect)
{
    presented.push_back(rect);
    return true;
}

PIX_Pixel32 TestEditor::PixelAt(int32_t x, int32_t y) const
{
    const PIX_SysBitmap* s = DrawingSurface();
    return s->Pixels()[static_cast<ptrdiff_t>(y) * s->Stride() + x];
}

void TestEditor::FillSurface(PIX_Pixel32 colour)
{
    PIX_SysBitmap* s = DrawingSurface();
    for (int32_t y = 0; y < s->Height(); ++y)
        for (int32_t x = 0; x < s->Width(); ++x)
            s->Pixels()[static_cast<ptrdiff_t>(y) * s->Stride() + x] = colour;
}
