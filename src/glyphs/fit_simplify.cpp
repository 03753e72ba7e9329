#include "glyphs/fit_simplify.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <queue>
#include <utility>

#include "glyphs/fit_contacts.h"
#include "glyphs/fit_errors.h"

namespace {

// The rings as linked lists of the points still there, and a queue of
// removals by their price.
class Simplification {
public:
    Simplification(const std::vector<const Ring*>& rings, Pricing pricing) : rings_(rings), pricing_(pricing) {
        nodes_.resize(rings.size());
        alive_.resize(rings.size());
        for (size_t r = 0; r < rings.size(); ++r) {
            const int n = static_cast<int>(rings[r]->size());
            for (int k = 0; k < n; ++k) nodes_[r].push_back({(k + n - 1) % n, (k + 1) % n});
            alive_[r] = n;
            total_ += n;
        }
        for (size_t r = 0; r < rings.size(); ++r)
            for (int k = 0; k < int(nodes_[r].size()); ++k) queue_.push({Price(int(r), k), int(r), k, 0});
    }

    void DropUntil(int budget, int minPoints) {
        while (total_ > budget && !queue_.empty()) {
            const Entry e = queue_.top();
            queue_.pop();
            const Node& node = nodes_[e.ring][e.point];
            if (!node.alive || node.version != e.version || alive_[e.ring] <= minPoints) continue;
            if (e.cost < kBlocked && Crosses(e.ring, e.point)) {
                queue_.push({e.cost + kBlocked, e.ring, e.point, e.version});
                continue;
            }
            Remove(e.ring, e.point);
        }
    }

    Contours Result() const {
        Contours contours;
        for (size_t r = 0; r < rings_.size(); ++r) {
            Contour c{rings_[r], {}};
            for (int k = 0; k < int(nodes_[r].size()); ++k)
                if (nodes_[r][k].alive) c.vertices.push_back({k, (*rings_[r])[k]});
            contours.push_back(std::move(c));
        }
        return contours;
    }

private:
    struct Node {
        int prev, next, version = 0;
        bool alive = true;
    };
    struct Entry {
        double cost;
        int ring, point, version;
        bool operator>(const Entry& o) const { return cost > o.cost; }
    };
    static constexpr double kBlocked = 1e6;

    // What leaving out point k of ring r costs.
    double Price(int r, int k) const {
        const Node& node = nodes_[r][k];
        const Ring& ring = *rings_[r];
        auto round = [](Vec2 p) { return Vec2{std::round(p.x), std::round(p.y)}; };
        if (pricing_ == Pricing::kGrid)
            return PieceError(ring, node.prev, node.next, round(ring[node.prev]), round(ring[node.next]));
        return PieceError(ring, node.prev, node.next, ring[node.prev], ring[node.next]);
    }

    // Whether the chord that would replace point k of ring r meets another segment.
    bool Crosses(int r, int k) const {
        const Vec2 p = (*rings_[r])[nodes_[r][k].prev], q = (*rings_[r])[nodes_[r][k].next];
        for (size_t s = 0; s < rings_.size(); ++s)
            for (size_t j = 0; j < nodes_[s].size(); ++j) {
                const Node& node = nodes_[s][j];
                if (!node.alive || (s == size_t(r) && (int(j) == k || node.next == k))) continue;
                if (BadContact(p, q, (*rings_[s])[j], (*rings_[s])[node.next])) return true;
            }
        return false;
    }

    // Leaves point k of ring r out; its neighbours are priced again.
    void Remove(int r, int k) {
        Node& node = nodes_[r][k];
        node.alive = false;
        --alive_[r];
        --total_;
        nodes_[r][node.prev].next = node.next;
        nodes_[r][node.next].prev = node.prev;
        for (int neighbour : {node.prev, node.next})
            queue_.push({Price(r, neighbour), r, neighbour, ++nodes_[r][neighbour].version});
    }

    const std::vector<const Ring*>& rings_;
    const Pricing pricing_;
    std::vector<std::vector<Node>> nodes_;
    std::vector<int> alive_;
    int total_ = 0;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue_;
};

// One step of Relax for vertex i of contour c: the best of its position
// moved by `step` in the eight directions, then its anchor slid by one.
// True when it moved.
bool RelaxVertex(Contours& contours, size_t c, size_t i, double step) {
    constexpr Vec2 kDirections[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
    Contour& contour = contours[c];
    const size_t n = contour.size();
    const int outlineSize = static_cast<int>(contour.outline->size());
    Vertex& v = contour.vertices[i];
    double best = LocalError(contour, i, v.at, v.anchor);
    Vertex chosen = v;
    for (Vec2 d : kDirections) {
        const Vec2 p = v.at + step * d;
        const double error = LocalError(contour, i, p, v.anchor);
        if (error < best - 1e-9 && !ContactsAt(contours, c, i, p, true)) {
            best = error;
            chosen = {v.anchor, p};
        }
    }
    // An anchor slides only between its neighbours' anchors.
    for (int shift : {-1, 1}) {
        const int anchor = (v.anchor + shift + outlineSize) % outlineSize;
        if (anchor == contour[Before(i, n)].anchor || anchor == contour[i + 1].anchor) continue;
        const double error = LocalError(contour, i, chosen.at, anchor);
        if (error < best - 1e-9) {
            best = error;
            chosen.anchor = anchor;
        }
    }
    if (chosen.anchor == v.anchor && Same(chosen.at, v.at)) return false;
    v = chosen;
    return true;
}

// A point Douglas-Peucker keeps while the tolerance stays below `need`: its
// distance from the chord it splits, but no more than the need of the point
// whose split made that chord.
struct Split {
    double need;
    int ring, point;
};

// The ring's points from `from` to `to` (to may pass the end) and their split.
struct Piece {
    Split split;
    int from, to;
};

// The split of the points strictly between `from` and `to`; none when all
// lie on the chord, as a point within a millionth of it does (the outline's
// own rounding noise).
std::optional<Piece> SplitPiece(const Ring& ring, int r, int from, int to, double cap) {
    const int n = static_cast<int>(ring.size());
    double far = 1e-6;
    int at = -1;
    for (int k = from + 1; k < to; ++k)
        if (const double d = DistanceToSegment(ring[k], ring[from], ring[to % n]); d > far) far = d, at = k;
    if (at < 0) return std::nullopt;
    return Piece{{std::min(far, cap), r, at}, from, to};
}

// Every point Douglas-Peucker can add to the rings' seeds, most needed first
// (the first of equals); none comes before the point whose split made its chord.
std::vector<Split> SplitOrder(const std::vector<const Ring*>& rings, const std::vector<int>& seeds) {
    auto later = [](const Piece& a, const Piece& b) {
        if (a.split.need != b.split.need) return a.split.need < b.split.need;
        return std::pair{a.split.ring, a.split.point} > std::pair{b.split.ring, b.split.point};
    };
    std::priority_queue<Piece, std::vector<Piece>, decltype(later)> pieces(later);
    auto push = [&](int r, int from, int to, double cap) {
        if (const std::optional<Piece> piece = SplitPiece(*rings[size_t(r)], r, from, to, cap)) pieces.push(*piece);
    };
    for (int r = 0; r < int(rings.size()); ++r) {
        push(r, 0, seeds[size_t(r)], HUGE_VAL);
        push(r, seeds[size_t(r)], int(rings[size_t(r)]->size()), HUGE_VAL);
    }
    std::vector<Split> order;
    while (!pieces.empty()) {
        const Piece piece = pieces.top();
        pieces.pop();
        order.push_back(piece.split);
        push(piece.split.ring, piece.from, piece.split.point, piece.split.need);
        push(piece.split.ring, piece.split.point, piece.to, piece.split.need);
    }
    return order;
}

// The seeds and the first `kept` splits of `order`, and those marked `always`.
Contours PeuckerFit(const std::vector<const Ring*>& rings, const std::vector<int>& seeds,
                    const std::vector<Split>& order, const std::vector<bool>& always, size_t kept) {
    std::vector<std::vector<int>> points(rings.size());
    for (size_t r = 0; r < rings.size(); ++r) points[r] = {0, seeds[r]};
    for (size_t k = 0; k < order.size(); ++k)
        if (k < kept || always[k]) points[size_t(order[k].ring)].push_back(order[k].point);
    Contours contours;
    for (size_t r = 0; r < rings.size(); ++r) {
        std::sort(points[r].begin(), points[r].end());
        Contour& c = contours.emplace_back(Contour{rings[r], {}});
        for (int k : points[r]) c.vertices.push_back({k, (*rings[r])[size_t(k)]});
    }
    return contours;
}

}  // namespace

std::vector<Contours> PeuckerFits(const std::vector<const Ring*>& rings, int budget, int minPoints, double coarsest) {
    std::vector<int> seeds;
    for (const Ring* ring : rings) {
        const Ring& r = *ring;
        int far = 0;
        for (int k = 1; k < int(r.size()); ++k)
            if (std::hypot(r[k].x - r[0].x, r[k].y - r[0].y) > std::hypot(r[far].x - r[0].x, r[far].y - r[0].y))
                far = k;
        seeds.push_back(far);
    }
    const std::vector<Split> order = SplitOrder(rings, seeds);

    // A ring's first splits stay at any tolerance, up to its minimum.
    std::vector<int> owed(rings.size(), std::max(0, minPoints - 2));
    std::vector<bool> always(order.size());
    int points = 2 * int(rings.size());
    for (size_t k = 0; k < order.size(); ++k)
        if (int& owes = owed[size_t(order[k].ring)]; owes > 0) always[k] = true, --owes, ++points;
    if (points > budget) return {};

    // A tolerance keeps the splits needed more than it: the first `kept` of
    // the order, where that parts no equal needs. The most within the budget
    // give the least tolerance.
    auto parts = [&](size_t kept) {
        return kept == 0 || kept == order.size() || order[kept - 1].need > order[kept].need;
    };
    size_t longest = 0;
    for (size_t kept = 0; kept <= order.size() && points <= budget; ++kept) {
        if (parts(kept)) longest = kept;
        if (kept < order.size() && !always[kept]) ++points;
    }
    const double least = longest < order.size() ? order[longest].need : 0;
    std::vector<Contours> fits;
    for (size_t kept = longest + 1; kept-- > 0;) {
        if (kept < order.size() && order[kept].need > coarsest * least) break;
        if (parts(kept)) fits.push_back(PeuckerFit(rings, seeds, order, always, kept));
    }
    return fits;
}

Contours Simplify(const std::vector<const Ring*>& rings, int budget, int minPoints, Pricing pricing) {
    Simplification simplification(rings, pricing);
    simplification.DropUntil(budget, minPoints);
    return simplification.Result();
}

void Relax(Contours& contours) {
    for (double step : {0.4, 0.2, 0.1, 0.05}) {
        for (int sweep = 0; sweep < 6; ++sweep) {
            bool moved = false;
            for (size_t c = 0; c < contours.size(); ++c)
                for (size_t i = 0; i < contours[c].size(); ++i) moved |= RelaxVertex(contours, c, i, step);
            if (!moved) break;
        }
    }
}
