#pragma once

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

// The DejaVu faces, loaded from their files so that no font configuration of
// the machine changes the artwork.
class FontBook {
public:
    enum Face { kSans, kSansBold, kSerif, kSerifBold, kFaceCount };

    FontBook();
    ~FontBook();
    FontBook(const FontBook&) = delete;
    FontBook& operator=(const FontBook&) = delete;

    // False when a face file is missing; the message names it.
    bool Load(const char* directory);
    const char* Error() const { return error_; }

    cairo_font_face_t* Get(Face f) const { return cairoFaces_[f]; }

private:
    FT_Library library_;
    FT_Face ftFaces_[kFaceCount];
    cairo_font_face_t* cairoFaces_[kFaceCount];
    char error_[512];
};
