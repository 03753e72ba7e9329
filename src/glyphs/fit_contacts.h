#pragma once
// The contacts a fitted outline must not have: no contour may cross itself
// or another.

#include <optional>

#include "glyphs/fit_contours.h"

// Segments that share an end point may meet there (where the font's own
// contours touch, or at a corner) but not overlap along a line; any other
// meeting is a bad contact.
bool BadContact(Vec2 a, Vec2 b, Vec2 c, Vec2 d);

// Bad contacts of the two segments at vertex i of contour c if it stood at
// p; with `firstOnly`, 0 or 1.
int ContactsAt(const Contours& all, size_t c, size_t i, Vec2 p, bool firstOnly);

// The contour with a bad contact, the smaller of a pair; none when there is no contact.
std::optional<size_t> FindContact(const Contours& contours);
