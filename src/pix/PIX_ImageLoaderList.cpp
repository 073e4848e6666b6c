#include "pix/PIX_ImageLoaderList.h"

#include <cstring>

#include "pix/PIX_Png.h"

PIX_ImageLoaderEntry* PIX_ImageLoaderList = nullptr;

void PIX_AddImageLoader(PIX_ImageLoaderEntry* entry)
{
    entry->next = PIX_ImageLoaderList;
    PIX_ImageLoaderList = entry;
}

namespace {

bool HasPngExtension(const char* fileName)
{
    const char* tail = fileName;
    for (const char* p = fileName; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == '.')
            tail = p;
    const char* expected = ".png";
    for (; *expected; ++tail, ++expected) {
        char c = *tail;
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != *expected)
            return false;
    }
    return *tail == '\0';
}

PIX_IBitmap* LoadPng(const char* fileName, bool checkExtension, PIX_IBitmap* target)
{
    if (!fileName || (checkExtension && !HasPngExtension(fileName)))
        return nullptr;
    return PIX_PngFromFile(fileName, target);
}

const char* PngFilterText()
{
    return "PNG files (*.PNG)\0*.PNG\0";
}

PIX_ImageLoaderEntry pngLoader = {LoadPng, PngFilterText, nullptr};

struct PngLoaderRegistration {
    PngLoaderRegistration() { PIX_AddImageLoader(&pngLoader); }
};

// The list head lives in this file, so whoever reads the list also links this
// registration.
PngLoaderRegistration registration;

}   // namespace
