// FreeType reads the outlines, fontconfig finds the font.

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <filesystem>
#include <memory>

#include "glyphs/font_source.h"

namespace {

// The outline decomposer's calls, which build the contours of one glyph.
Vec2 ToVec(const FT_Vector* v) { return {double(v->x), double(v->y)}; }

int MoveTo(const FT_Vector* to, void* user) {
    static_cast<GlyphOutline*>(user)->contours.push_back({ToVec(to), {}});
    return 0;
}
int LineTo(const FT_Vector* to, void* user) {
    auto* glyph = static_cast<GlyphOutline*>(user);
    if (glyph->contours.empty()) return 1;
    glyph->contours.back().segments.push_back({CurveSegment::kLine, {}, {}, ToVec(to)});
    return 0;
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* glyph = static_cast<GlyphOutline*>(user);
    if (glyph->contours.empty()) return 1;
    glyph->contours.back().segments.push_back({CurveSegment::kQuadratic, ToVec(control), {}, ToVec(to)});
    return 0;
}
int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
    auto* glyph = static_cast<GlyphOutline*>(user);
    if (glyph->contours.empty()) return 1;
    glyph->contours.back().segments.push_back({CurveSegment::kCubic, ToVec(control1), ToVec(control2), ToVec(to)});
    return 0;
}

std::string Describe(FcPattern* pattern) {
    FcChar8 *family = nullptr, *style = nullptr;
    std::string text;
    if (FcPatternGetString(pattern, FC_FAMILY, 0, &family) == FcResultMatch) text = reinterpret_cast<char*>(family);
    if (FcPatternGetString(pattern, FC_STYLE, 0, &style) == FcResultMatch)
        text += std::string(text.empty() ? "" : " ") + reinterpret_cast<char*>(style);
    return text;
}

}  // namespace

std::optional<FontFace> FindFont(std::string_view patternOrFile, std::string& error, const FontFace&) {
    const std::string wanted(patternOrFile);
    std::error_code fileError;
    if (std::filesystem::is_regular_file(wanted, fileError)) return FontFace{wanted, 0, wanted};

    std::unique_ptr<FcPattern, void (*)(FcPattern*)> pattern(
        FcNameParse(reinterpret_cast<const FcChar8*>(wanted.c_str())), FcPatternDestroy);
    if (!pattern) {
        error = "'" + wanted + "' is neither a font file nor a font pattern";
        return std::nullopt;
    }
    // A configuration of our own, released with the match, so no state of the library outlives the call.
    std::unique_ptr<FcConfig, void (*)(FcConfig*)> config(FcInitLoadConfigAndFonts(), FcConfigDestroy);
    if (!config) {
        error = "fontconfig cannot load its configuration";
        return std::nullopt;
    }
    FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result;
    std::unique_ptr<FcPattern, void (*)(FcPattern*)> match(FcFontMatch(config.get(), pattern.get(), &result),
                                                           FcPatternDestroy);
    FcChar8* file = nullptr;
    int index = 0;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) {
        error = "no installed font matches '" + wanted + "'";
        return std::nullopt;
    }
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    return FontFace{reinterpret_cast<char*>(file), index, Describe(match.get())};
}

std::optional<FontGlyphs> LoadGlyphs(const FontFace& face, std::u32string_view text, std::string& error) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library)) {
        error = "cannot start FreeType";
        return std::nullopt;
    }
    std::unique_ptr<FT_LibraryRec_, FT_Error (*)(FT_Library)> libraryOwner(library, FT_Done_FreeType);
    FT_Face ftFace = nullptr;
    if (FT_New_Face(library, face.file.c_str(), face.index, &ftFace)) {
        error = face.file + " is not a font FreeType can read";
        return std::nullopt;
    }
    std::unique_ptr<FT_FaceRec_, FT_Error (*)(FT_Face)> faceOwner(ftFace, FT_Done_Face);
    if (!FT_IS_SCALABLE(ftFace)) {
        error = face.file + " has no outlines (a bitmap font)";
        return std::nullopt;
    }

    FontGlyphs glyphs;
    glyphs.unitsPerEm = ftFace->units_per_EM > 0 ? ftFace->units_per_EM : 1000;
    const FT_Outline_Funcs calls{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    for (char32_t character : text) {
        GlyphOutline& glyph = glyphs.glyphs.emplace_back();
        glyph.character = character;
        const FT_UInt index = FT_Get_Char_Index(ftFace, character);
        if (index == 0) continue;  // the font lacks it: never drawn as its box
        if (FT_Load_Glyph(ftFace, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP)) continue;
        if (ftFace->glyph->format != FT_GLYPH_FORMAT_OUTLINE) continue;
        glyph.present = true;
        if (FT_Outline_Decompose(&ftFace->glyph->outline, &calls, &glyph)) glyph.contours.clear();
    }
    return glyphs;
}
