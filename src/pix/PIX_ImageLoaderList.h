#pragma once

#include "pix/PIX_IBitmap.h"

// One way of loading an image file. `Load` takes a UTF-8 file name, whether to
// check its extension first, and a target bitmap or none; it returns the
// bitmap loaded or none. `FilterText` gives the file dialog's filter pairs,
// each text NUL-terminated and the list ending in an extra NUL.
struct PIX_ImageLoaderEntry {
    PIX_IBitmap* (*Load)(const char* fileName, bool checkExtension, PIX_IBitmap* target);
    const char* (*FilterText)();
    PIX_ImageLoaderEntry* next;
};

// Head of the process-wide loader list; the PNG loader is pushed on the front
// at start-up.
extern PIX_ImageLoaderEntry* PIX_ImageLoaderList;

// Pushes `entry` (owned by the caller, living as long as the process) on the front.
void PIX_AddImageLoader(PIX_ImageLoaderEntry* entry);
