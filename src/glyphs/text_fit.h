#pragma once
// A text in one font laid out and fitted into shape records: one scale for
// the whole text, so letters keep their relative sizes and share one
// baseline; every glyph centred in its own cell.

#include <string>
#include <string_view>
#include <vector>

#include "glyphs/glyph_fit.h"
#include "glyphs/glyph_outline.h"

// The box the text's letters fill, in shape units about each cell's centre:
// the text's whole height spans -halfHeight..halfHeight and no glyph is
// wider than 2 x halfWidth (cells are 100 shape units apart).
struct TextLayout {
    int halfWidth = 45;
    int halfHeight = 55;
};

struct FittedText {
    double unitsPerEm = 1000;
    double scale = 0;                         // shape units per font unit; 0 when no glyph has an outline
    double middleY = 0;                       // font units: the height that becomes y = 0
    std::vector<double> middleX;              // per glyph, font units: the x that becomes x = 0
    std::vector<std::vector<Ring>> outlines;  // per glyph: its union in shape units, before fitting
    std::vector<FittedGlyph> glyphs;          // per glyph, in text order; empty for a blank or missing glyph
};

FittedText FitText(const FontGlyphs& font, const TextLayout& layout = {});

// A glyph's worst deviation in percent of the em.
double DeviationPercent(const FittedText& text, size_t glyph);

// The record value of a fitted glyph: name, point and contour counts, the
// 13 ranges, then the points.
std::string FormatShapeRecord(std::string_view name, const FittedGlyph& glyph);
