#include "FontBook.h"

#include <cairo-ft.h>

#include <cstdio>

namespace {

const char* const kFiles[FontBook::kFaceCount] = {
    "DejaVuSans.ttf",
    "DejaVuSans-Bold.ttf",
    "DejaVuSerif.ttf",
    "DejaVuSerif-Bold.ttf",
};

}   // namespace

FontBook::FontBook() : library_(nullptr), ftFaces_(), cairoFaces_(), error_()
{
}

FontBook::~FontBook()
{
    for (int i = 0; i < kFaceCount; ++i) {
        if (cairoFaces_[i] != nullptr)
            cairo_font_face_destroy(cairoFaces_[i]);
    }
    // cairo may keep scaled fonts alive in its caches; drop them before the
    // FreeType faces go away.
    cairo_debug_reset_static_data();
    for (int i = 0; i < kFaceCount; ++i) {
        if (ftFaces_[i] != nullptr)
            FT_Done_Face(ftFaces_[i]);
    }
    if (library_ != nullptr)
        FT_Done_FreeType(library_);
}

bool FontBook::Load(const char* directory)
{
    if (FT_Init_FreeType(&library_) != 0) {
        std::snprintf(error_, sizeof error_, "FreeType could not start");
        return false;
    }
    for (int i = 0; i < kFaceCount; ++i) {
        char path[400];
        std::snprintf(path, sizeof path, "%s/%s", directory, kFiles[i]);
        if (FT_New_Face(library_, path, 0, &ftFaces_[i]) != 0) {
            ftFaces_[i] = nullptr;
            std::snprintf(error_, sizeof error_, "cannot open font %s (install fonts-dejavu-core)", path);
            return false;
        }
        cairoFaces_[i] = cairo_ft_font_face_create_for_ft_face(ftFaces_[i], 0);
    }
    return true;
}
