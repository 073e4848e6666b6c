#include "pix/win32/PIX_GdiText.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <windows.h>

#include "pix/PIX_CachedFont.h"
#include "pix/PIX_Composite.h"
#include "pix/PIX_Mode.h"
#include "pix/PIX_SysBitmap.h"

namespace {

// The library's text flags reach GDI as they are.
static_assert(PIX_DT_CENTER == DT_CENTER && PIX_DT_RIGHT == DT_RIGHT && PIX_DT_VCENTER == DT_VCENTER &&
                  PIX_DT_BOTTOM == DT_BOTTOM && PIX_DT_SINGLELINE == DT_SINGLELINE && PIX_DT_NOCLIP == DT_NOCLIP &&
                  PIX_DT_CALCRECT == DT_CALCRECT,
              "text flags differ from DrawText's");

// UTF-16 text this long stays on the stack.
constexpr int32_t kStackUnits = 1024;
constexpr int32_t kStackLimit = 999;
constexpr uint32_t kAlignFlags = PIX_DT_CENTER | PIX_DT_RIGHT | PIX_DT_VCENTER | PIX_DT_BOTTOM;
constexpr int32_t kOpaque = PIX_FILL_OPAQUE;

COLORREF GdiColour(PIX_Pixel32 p)
{
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int32_t Margin(int32_t lineHeight)
{
    return lineHeight < 16 ? 2 : lineHeight / 16 + 2;
}

// The text as GDI takes it: UTF-16 when it holds real UTF-8, else the bytes.
class GdiString {
public:
    GdiString(const char* text, int32_t count)
    {
        bytes = text ? text : "";
        length = count >= 0 ? count : static_cast<int32_t>(std::strlen(bytes));
        if (!PIX_GdiText::HasUtf8Sequence(bytes, length))
            return;
        const int32_t units = MultiByteToWideChar(CP_UTF8, 0, bytes, length, nullptr, 0);
        if (units <= 0)
            return;
        wchar_t* target = stackUnits;
        if (units > kStackLimit) {
            heapUnits.resize(static_cast<size_t>(units));
            target = heapUnits.data();
        }
        wideLength = MultiByteToWideChar(CP_UTF8, 0, bytes, length, target, units);
        wide = wideLength > 0 ? target : nullptr;
    }

    int Draw(HDC dc, RECT* rect, UINT format) const
    {
        if (wide)
            return DrawTextW(dc, wide, wideLength, rect, format);
        return DrawTextA(dc, bytes, length, rect, format);
    }

private:
    const char* bytes;
    int32_t length;
    const wchar_t* wide = nullptr;
    int32_t wideLength = 0;
    wchar_t stackUnits[kStackUnits];
    std::vector<wchar_t> heapUnits;
};

// Selects the font, colours and background mode into a device context and
// puts the previous ones back when it goes.
class DcSetup {
public:
    DcSetup(HDC dc_, const PIX_CachedFont& font) : dc(dc_)
    {
        oldFont = SelectObject(dc, static_cast<HFONT>(font.FontHandle()));
        oldText = SetTextColor(dc, GdiColour(font.InkColor()));
        oldBack = SetBkColor(dc, GdiColour(font.FillColor()));
        oldMode = SetBkMode(dc, font.FillMode() == kOpaque ? OPAQUE : TRANSPARENT);
    }
    ~DcSetup()
    {
        GdiFlush();
        SetBkMode(dc, oldMode);
        SetBkColor(dc, oldBack);
        SetTextColor(dc, oldText);
        SelectObject(dc, oldFont);
    }
    DcSetup(const DcSetup&) = delete;
    DcSetup& operator=(const DcSetup&) = delete;

private:
    HDC dc;
    HGDIOBJ oldFont;
    COLORREF oldText;
    COLORREF oldBack;
    int oldMode;
};

// GDI leaves the alpha byte of what it draws at 0; the drawn area keeps the
// alpha it had.
void RestoreAlpha(PIX_IBitmap* scratch, const PIX_IBitmap* original, const PIX_Rect& area)
{
    PIX_Pixel32* sp = scratch->Pixels();
    PIX_Pixel32* op = original->Pixels();
    for (int32_t y = area.top; y < area.bottom; ++y) {
        PIX_Pixel32* s = PIX_RowPointer(*scratch, sp, y - area.top);
        const PIX_Pixel32* o = PIX_RowPointer(*original, op, y);
        for (int32_t x = area.left; x < area.right; ++x)
            s[x - area.left] = (s[x - area.left] & 0x00FFFFFFu) | (o[x] & 0xFF000000u);
    }
}

}   // namespace

bool PIX_GdiText::HasUtf8Sequence(const char* text, int32_t length)
{
    const auto* p = reinterpret_cast<const uint8_t*>(text);
    for (int32_t i = 0; i < length; ++i) {
        int32_t extra = 0;
        if (p[i] >= 0xC2 && p[i] <= 0xDF)
            extra = 1;
        else if (p[i] >= 0xE0 && p[i] <= 0xEF)
            extra = 2;
        else if (p[i] >= 0xF0 && p[i] <= 0xF4)
            extra = 3;
        if (extra == 0 || i + extra >= length)
            continue;
        bool complete = true;
        for (int32_t k = 1; k <= extra; ++k)
            complete = complete && (p[i + k] & 0xC0) == 0x80;
        if (complete)
            return true;
    }
    return false;
}

bool PIX_GdiText::RunningUnderWine()
{
    static const bool wine = [] {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }();
    return wine;
}

int32_t PIX_GdiText::Render(const PIX_CachedFont& font, PIX_IBitmap* bitmap, const char* text, int32_t count,
                            PIX_Rect* rect, uint32_t flags)
{
    if (!rect || !font.FontHandle())
        return 0;
    const GdiString string(text, count);
    const UINT format = static_cast<UINT>(flags) | DT_NOPREFIX;
    RECT r = {rect->left, rect->top, rect->right, rect->bottom};

    HDC direct = bitmap ? static_cast<HDC>(bitmap->DeviceContext()) : nullptr;
    if (direct) {
        int32_t result;
        {
            DcSetup setup(direct, font);
            result = string.Draw(direct, &r, format);
        }
        if (flags & PIX_DT_CALCRECT)
            *rect = PIX_Rect{r.left, r.top, r.right, r.bottom};
        return result;
    }

    PIX_SysBitmap* scratch = PIX_CachedFont::NativeScratch(4, 4);
    if (!scratch)
        return 0;
    HDC dc = static_cast<HDC>(scratch->DeviceContext());
    if (!bitmap || (flags & PIX_DT_CALCRECT)) {
        RECT measured = {0, 0, 0, 0};
        int32_t result;
        {
            DcSetup setup(dc, font);
            result = string.Draw(dc, &measured, format | DT_CALCRECT);
        }
        rect->right = rect->left + (measured.right - measured.left);
        rect->bottom = rect->top + (measured.bottom - measured.top);
        return result;
    }
    // A memory bitmap: the area the text covers goes through the scratch.
    RECT measured = {0, 0, 0, 0};
    {
        DcSetup setup(dc, font);
        string.Draw(dc, &measured, (format & ~kAlignFlags) | DT_CALCRECT);
    }
    const int32_t mw = measured.right - measured.left;
    const int32_t mh = measured.bottom - measured.top;
    int32_t x = rect->left;
    int32_t y = rect->top;
    if (flags & PIX_DT_CENTER)
        x = rect->left + (rect->right - rect->left - mw) / 2;
    else if (flags & PIX_DT_RIGHT)
        x = rect->right - mw;
    if (flags & PIX_DT_VCENTER)
        y = rect->top + (rect->bottom - rect->top - mh) / 2;
    else if (flags & PIX_DT_BOTTOM)
        y = rect->bottom - mh;
    PIX_Rect box = {std::max(x, 0), std::max(y, 0), std::min(x + mw, bitmap->Width()),
                    std::min(y + mh, bitmap->Height())};
    if (!(flags & PIX_DT_NOCLIP)) {
        box.left = std::max(box.left, rect->left);
        box.top = std::max(box.top, rect->top);
        box.right = std::min(box.right, rect->right);
        box.bottom = std::min(box.bottom, rect->bottom);
    }
    // Italic and overhanging glyphs reach a little left of their box.
    box.left -= std::min(Margin(font.LineHeight()), box.left);
    if (box.right <= box.left || box.bottom <= box.top)
        return 0;
    const int32_t bw = box.right - box.left;
    const int32_t bh = box.bottom - box.top;
    scratch = PIX_CachedFont::NativeScratch(bw, bh);
    if (!scratch)
        return 0;
    dc = static_cast<HDC>(scratch->DeviceContext());
    GdiFlush();
    PIX_Composite(scratch, bitmap, 0, 0, &box, 1.0f, PIX_MODE_COPY);
    RECT placed = {rect->left - box.left, rect->top - box.top, rect->right - box.left, rect->bottom - box.top};
    int32_t result;
    {
        DcSetup setup(dc, font);
        result = string.Draw(dc, &placed, format);
    }
    RestoreAlpha(scratch, bitmap, box);
    const PIX_Rect back = {0, 0, bw, bh};
    PIX_Composite(bitmap, scratch, box.left, box.top, &back, font.Weight(), PIX_MODE_COPY);
    return result;
}
