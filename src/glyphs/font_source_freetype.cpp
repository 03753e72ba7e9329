// FreeType reads the outlines, fontconfig finds the font.

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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

// A name that looks like a file is taken for one, so that a mistyped path is
// told as such and never quietly matched as a family.
bool LooksLikeFontFile(std::string_view name) {
    if (name.find('/') != std::string_view::npos) return true;
    for (std::string_view extension : {".ttf", ".otf", ".ttc", ".otc", ".pfb", ".pfa", ".woff", ".woff2", ".dfont"})
        if (name.size() >= extension.size() &&
            strncasecmp(name.data() + name.size() - extension.size(), extension.data(), extension.size()) == 0)
            return true;
    return false;
}

// What keeps a path from being a font file, for a message.
std::string NotAFontFile(mode_t mode) {
    if (S_ISDIR(mode)) return "is a folder, not a font file";
    if (S_ISFIFO(mode)) return "is a FIFO, not a font file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a font file";
    return "is not a regular file";
}

// The file itself when it is a regular file that can be read. Only then is
// it opened, so that a FIFO or a device never blocks FreeType.
std::optional<FontFace> FontFile(const std::string& path, std::string& error) {
    struct stat status;
    if (::stat(path.c_str(), &status) != 0) {
        error = "font file " + path + ": " + (errno == ENOENT ? "no such file" : std::strerror(errno));
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
        error = "font file " + path + " " + NotAFontFile(status.st_mode);
        return std::nullopt;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "font file " + path + " cannot be read: " + std::strerror(errno);
        return std::nullopt;
    }
    ::close(fd);
    return FontFace{path, 0, path};
}

// Family names as fontconfig compares them: without regard to blanks or ASCII case.
bool IsSameFamily(const FcChar8* a, std::string_view b) {
    std::string_view left = reinterpret_cast<const char*>(a);
    auto next = [](std::string_view& s) {
        while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
        if (s.empty()) return '\0';
        const char c = s.front();
        s.remove_prefix(1);
        return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    };
    for (;;) {
        const char x = next(left), y = next(b);
        if (x != y) return false;
        if (x == '\0') return true;
    }
}

// True when `pattern` names a family that is not among the families of
// `match`, nor one of the generic names that fontconfig maps to a family of
// its choice.
bool MissesFamily(FcPattern* pattern, FcPattern* match) {
    FcChar8* wanted = nullptr;
    if (FcPatternGetString(pattern, FC_FAMILY, 0, &wanted) != FcResultMatch) return false;
    for (std::string_view generic :
         {"sans-serif", "sans", "serif", "monospace", "mono", "cursive", "fantasy", "system-ui", "emoji", "math"})
        if (IsSameFamily(wanted, generic)) return false;
    FcChar8* family = nullptr;
    for (int k = 0; FcPatternGetString(match, FC_FAMILY, k, &family) == FcResultMatch; ++k)
        if (IsSameFamily(wanted, reinterpret_cast<const char*>(family))) return false;
    return true;
}

using Pattern = std::unique_ptr<FcPattern, void (*)(FcPattern*)>;

}  // namespace

std::optional<FontFace> FindFont(std::string_view patternOrFile, std::string& error, const FontFace&) {
    const std::string wanted(patternOrFile);
    if (LooksLikeFontFile(wanted)) return FontFile(wanted, error);
    std::error_code fileError;
    if (std::filesystem::is_regular_file(wanted, fileError)) return FontFace{wanted, 0, wanted};

    const Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>(wanted.c_str())), FcPatternDestroy);
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
    const Pattern asked(FcPatternDuplicate(pattern.get()), FcPatternDestroy);  // before the substitutions
    FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result;
    const Pattern match(FcFontMatch(config.get(), pattern.get(), &result), FcPatternDestroy);
    FcChar8* file = nullptr;
    int index = 0;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) {
        error = "no installed font matches '" + wanted + "'";
        return std::nullopt;
    }
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    FontFace face{reinterpret_cast<char*>(file), index, Describe(match.get())};
    if (asked && MissesFamily(asked.get(), match.get()))
        face.standIn = "no installed font matches the family of '" + wanted + "'; using " + face.description;
    return face;
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
