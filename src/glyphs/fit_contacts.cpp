#include "glyphs/fit_contacts.h"

#include <cmath>

bool BadContact(Vec2 a, Vec2 b, Vec2 c, Vec2 d) {
    const bool shared = Same(a, c) || Same(a, d) || Same(b, c) || Same(b, d);
    if (!shared) return SegmentsMeet(a, b, c, d);
    if (Same(a, b) || Same(c, d)) return true;
    if ((Same(a, c) && Same(b, d)) || (Same(a, d) && Same(b, c))) return true;
    const Vec2 s = Same(a, c) || Same(a, d) ? a : b;
    const Vec2 u = (Same(s, a) ? b : a) - s, v = (Same(s, c) ? d : c) - s;
    return u.x * v.y - u.y * v.x == 0 && u.x * v.x + u.y * v.y > 0;
}

int ContactsAt(const Contours& all, size_t c, size_t i, Vec2 p, bool firstOnly) {
    const Contour& own = all[c];
    const size_t n = own.size();
    const Vec2 prev = own[Before(i, n)].at, next = own[i + 1].at;
    int count = BadContact(prev, p, p, next) ? 1 : 0;
    for (size_t d = 0; d < all.size() && !(firstOnly && count); ++d) {
        const Contour& other = all[d];
        for (size_t j = 0; j < other.size(); ++j) {
            if (d == c && (j == i || j == Before(i, n))) continue;  // the two segments themselves
            const Vec2 a = other[j].at, b = other[j + 1].at;
            count += BadContact(prev, p, a, b) + BadContact(p, next, a, b);
            if (firstOnly && count) break;
        }
    }
    return count;
}

std::optional<size_t> FindContact(const Contours& contours) {
    for (size_t c = 0; c < contours.size(); ++c)
        for (size_t i = 0; i < contours[c].size(); ++i) {
            if (!ContactsAt(contours, c, i, contours[c][i].at, true)) continue;
            // Blame the smallest contour among those it touches.
            size_t smallest = c;
            const Vec2 p = contours[c][i].at, q = contours[c][i + 1].at;
            for (size_t d = 0; d < contours.size(); ++d)
                for (size_t j = 0; j < contours[d].size(); ++j)
                    if (d != c && BadContact(p, q, contours[d][j].at, contours[d][j + 1].at) &&
                        std::fabs(SignedArea(*contours[d].outline)) <
                            std::fabs(SignedArea(*contours[smallest].outline)))
                        smallest = d;
            return smallest;
        }
    return std::nullopt;
}
