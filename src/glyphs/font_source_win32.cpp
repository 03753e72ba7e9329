// The platform's own outlines: GetGlyphOutlineW with native curves,
// unhinted, from the face created at its em size, so that they come in font
// units.

#include <windows.h>

#include <memory>
#include <vector>

#include "glyphs/font_source.h"
#include <algorithm>

namespace {

std::wstring Wide(std::string_view utf8) {
    std::wstring wide(utf8.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), int(wide.size()));
    wide.resize(size_t(std::max(length, 0)));
    return wide;
}

// A memory device context with a font selected, both released together.
class FontContext {
public:
    FontContext(const FontFace& face, LONG height) : dc_(CreateCompatibleDC(nullptr)) {
        LOGFONTW wanted{};
        wanted.lfHeight = -height;
        wanted.lfWeight = face.bold ? FW_BOLD : FW_NORMAL;
        wanted.lfItalic = face.italic;
        wanted.lfCharSet = DEFAULT_CHARSET;
        wanted.lfOutPrecision = OUT_TT_ONLY_PRECIS;
        const std::wstring name = Wide(face.file);
        lstrcpynW(wanted.lfFaceName, name.c_str(), LF_FACESIZE);
        font_ = CreateFontIndirectW(&wanted);
        if (dc_ && font_) old_ = SelectObject(dc_, font_);
    }
    ~FontContext() {
        if (old_) SelectObject(dc_, old_);
        if (font_) DeleteObject(font_);
        if (dc_) DeleteDC(dc_);
    }
    FontContext(const FontContext&) = delete;
    FontContext& operator=(const FontContext&) = delete;

    HDC dc() const { return old_ ? dc_ : nullptr; }

    // The em square of the selected face, 0 when it has no outlines.
    UINT EmSquare() const {
        const UINT size = dc() ? GetOutlineTextMetricsW(dc_, 0, nullptr) : 0;
        if (size < sizeof(OUTLINETEXTMETRICW)) return 0;
        std::vector<char> buffer(size);  // the metrics and the names after them
        auto* metrics = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
        return GetOutlineTextMetricsW(dc_, size, metrics) ? metrics->otmEMSquare : 0;
    }

    std::wstring FaceName() const {
        wchar_t name[LF_FACESIZE] = {};
        if (dc()) GetTextFaceW(dc_, LF_FACESIZE, name);
        return name;
    }

private:
    HDC dc_;
    HFONT font_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

double Real(FIXED f) { return f.value + f.fract / 65536.0; }
Vec2 Point(const POINTFX& p) { return {Real(p.x), Real(p.y)}; }

// The contours of one glyph's native outline.
std::vector<CurveContour> ReadOutline(const std::vector<char>& buffer) {
    std::vector<CurveContour> contours;
    for (size_t at = 0; at + sizeof(TTPOLYGONHEADER) <= buffer.size();) {
        const auto* header = reinterpret_cast<const TTPOLYGONHEADER*>(buffer.data() + at);
        const size_t end = at + header->cb;
        if (header->cb < sizeof(TTPOLYGONHEADER) || end > buffer.size()) break;
        CurveContour& contour = contours.emplace_back(CurveContour{Point(header->pfxStart), {}});
        for (size_t c = at + sizeof(TTPOLYGONHEADER); c + sizeof(TTPOLYCURVE) - sizeof(POINTFX) <= end;) {
            const auto* curve = reinterpret_cast<const TTPOLYCURVE*>(buffer.data() + c);
            const size_t size = sizeof(TTPOLYCURVE) + (curve->cpfx - 1) * sizeof(POINTFX);
            if (curve->cpfx == 0 || c + size > end) break;
            const POINTFX* p = curve->apfx;
            if (curve->wType == TT_PRIM_LINE) {
                for (int k = 0; k < curve->cpfx; ++k)
                    contour.segments.push_back({CurveSegment::kLine, {}, {}, Point(p[k])});
            } else if (curve->wType == TT_PRIM_QSPLINE) {
                // A quadratic B-spline: on-curve points lie midway between its off-curve points.
                for (int k = 0; k + 1 < curve->cpfx; ++k) {
                    const Vec2 control = Point(p[k]), next = Point(p[k + 1]);
                    const Vec2 to = k + 2 == curve->cpfx ? next : 0.5 * (control + next);
                    contour.segments.push_back({CurveSegment::kQuadratic, control, {}, to});
                }
            } else if (curve->wType == TT_PRIM_CSPLINE) {
                for (int k = 0; k + 2 < curve->cpfx; k += 3)
                    contour.segments.push_back({CurveSegment::kCubic, Point(p[k]), Point(p[k + 1]), Point(p[k + 2])});
            }
            c += size;
        }
        at = end;
    }
    return contours;
}

}  // namespace

std::optional<FontFace> FindFont(std::string_view faceName, std::string& error, const FontFace& style) {
    FontFace face = style;
    face.file = std::string(faceName);
    const FontContext context(face, 100);
    if (!context.dc() || lstrcmpiW(context.FaceName().c_str(), Wide(faceName).c_str()) != 0) {
        error = "no installed font is named '" + face.file + "'";
        return std::nullopt;
    }
    if (!context.EmSquare()) {
        error = "'" + face.file + "' has no outlines (a bitmap font)";
        return std::nullopt;
    }
    face.description = face.file + (face.bold ? " Bold" : "") + (face.italic ? " Italic" : "");
    return face;
}

std::optional<FontGlyphs> LoadGlyphs(const FontFace& face, std::u32string_view text, std::string& error) {
    UINT em = FontContext(face, 100).EmSquare();
    const FontContext context(face, LONG(em));
    if (!em || !context.dc()) {
        error = "cannot open the font '" + face.file + "'";
        return std::nullopt;
    }
    FontGlyphs glyphs;
    glyphs.unitsPerEm = em;
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    for (char32_t character : text) {
        GlyphOutline& glyph = glyphs.glyphs.emplace_back();
        glyph.character = character;
        if (character > 0xFFFF) continue;  // beyond what GetGlyphOutlineW takes
        const wchar_t wide = wchar_t(character);
        WORD index = 0xFFFF;
        if (GetGlyphIndicesW(context.dc(), &wide, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR ||
            index == 0xFFFF)
            continue;  // the font lacks it: never drawn as its box
        GLYPHMETRICS metrics;
        const UINT format = GGO_NATIVE | GGO_UNHINTED;
        const DWORD size = GetGlyphOutlineW(context.dc(), wide, format, &metrics, 0, nullptr, &identity);
        if (size == GDI_ERROR) continue;
        glyph.present = true;
        if (size == 0) continue;  // a blank
        std::vector<char> buffer(size);
        if (GetGlyphOutlineW(context.dc(), wide, format, &metrics, size, buffer.data(), &identity) == GDI_ERROR)
            continue;
        glyph.contours = ReadOutline(buffer);
    }
    return glyphs;
}
