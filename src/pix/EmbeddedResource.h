#pragma once

#include <cstddef>

// The editor's PNG strips carried inside the library (off Windows, where
// there are no module resources). The build generates the definitions from
// resources/img.

// True when `id` names an embedded image; then *data and *size (each may be
// null) receive its PNG bytes, which live as long as the library.
bool FindEmbeddedResource(int id, const unsigned char** data, size_t* size);

// The file name the image was embedded from ("BG.png"), or null for an
// unknown id.
const char* EmbeddedResourceName(int id);
