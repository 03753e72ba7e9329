#pragma once
// Glyph outlines of an installed font: unhinted, in font units, y upward.

#include <optional>
#include <string>
#include <string_view>

#include "glyphs/glyph_outline.h"

struct FontFace {
    std::string file;                   // the font file (FreeType), or the face name (Windows)
    int index = 0;                      // the face within the file
    std::string description;            // family and style, for messages
    bool bold = false, italic = false;  // Windows: the style asked of the face
    std::string standIn{};              // Linux: when no installed family is the one asked for, which font stands in
};

// Linux: the font file itself when `patternOrFile` looks like one (it holds
// a '/' or ends in a font extension such as .ttf) or is a file here, else
// the font the fontconfig pattern ("DejaVu Sans:bold") names. A font file
// must be a regular file that can be read; nothing else is opened. Windows:
// the installed face of that name, in the style of `style`. On failure,
// nothing and a plain message in `error`.
std::optional<FontFace> FindFont(std::string_view patternOrFile, std::string& error, const FontFace& style = {});

// The outline of each character of `text`; a character the face lacks is
// not present. On failure (the file is not a font), nothing and a message.
std::optional<FontGlyphs> LoadGlyphs(const FontFace& face, std::u32string_view text, std::string& error);
