#include "tools/assetgen/glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <memory>
#include <stdexcept>

namespace assetgen {
namespace {

struct Library {
    FT_Library handle = nullptr;
    Library() {
        if (FT_Init_FreeType(&handle)) throw std::runtime_error("FreeType does not start");
    }
    ~Library() { FT_Done_FreeType(handle); }
};

struct Face {
    FT_Face handle = nullptr;
    Face(FT_Library library, const std::string& file) {
        if (FT_New_Face(library, file.c_str(), 0, &handle)) throw std::runtime_error("cannot read font " + file);
    }
    ~Face() { FT_Done_Face(handle); }
};

// Receives the outline in font units and writes it to a path, flipped so
// that y grows downward, and scaled to pixels.
struct Collector {
    Path path;
    double scale;
    double penX;
    Point at(const FT_Vector* v) const { return {penX + v->x * scale, -v->y * scale}; }
};

Collector& collector(void* user) { return *static_cast<Collector*>(user); }

int moveTo(const FT_Vector* to, void* user) {
    collector(user).path.moveTo(collector(user).at(to));
    return 0;
}
int lineTo(const FT_Vector* to, void* user) {
    collector(user).path.lineTo(collector(user).at(to));
    return 0;
}
int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    Collector& c = collector(user);
    c.path.quadTo(c.at(control), c.at(to));
    return 0;
}
int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    Collector& c = collector(user);
    c.path.cubicTo(c.at(c1), c.at(c2), c.at(to));
    return 0;
}

}  // namespace

std::vector<Glyph> layOutText(const std::string& fontFile, const std::string& text, double pixelsPerEm,
                              const std::vector<double>& tracking) {
    Library library;
    Face face(library.handle, fontFile);
    const double scale = pixelsPerEm / face.handle->units_per_EM;
    const FT_Outline_Funcs funcs{moveTo, lineTo, conicTo, cubicTo, 0, 0};

    std::vector<Glyph> glyphs;
    double pen = 0;
    FT_UInt previous = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const FT_UInt index = FT_Get_Char_Index(face.handle, static_cast<unsigned char>(text[i]));
        if (index == 0) throw std::runtime_error(std::string("font has no glyph for ") + text[i]);
        if (previous && FT_HAS_KERNING(face.handle)) {
            FT_Vector kern{};
            FT_Get_Kerning(face.handle, previous, index, FT_KERNING_UNSCALED, &kern);
            pen += kern.x * scale;
        }
        if (i < tracking.size()) pen += tracking[i];
        if (FT_Load_Glyph(face.handle, index, FT_LOAD_NO_SCALE))
            throw std::runtime_error(std::string("cannot load the glyph for ") + text[i]);
        Collector c{{}, scale, pen};
        if (FT_Outline_Decompose(&face.handle->glyph->outline, &funcs, &c))
            throw std::runtime_error("cannot read a glyph outline");
        const double advance = face.handle->glyph->metrics.horiAdvance * scale;
        glyphs.push_back({text[i], std::move(c.path), pen, advance});
        pen += advance;
        previous = index;
    }
    return glyphs;
}

}  // namespace assetgen
