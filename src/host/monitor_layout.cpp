#include "host/monitor_layout.h"

#include <algorithm>

#include "scene/logo_scene.h"

namespace {

// Odd, so that the first 2^16 monitors' seeds differ in the 16 bits the
// generator keeps; and picked so that the first draws of seeds this far
// apart (speeds and direction of the start) agree no more than chance would.
constexpr uint32_t kSeedStride = 0xC9CD;

ScreenRect Intersection(const ScreenRect& a, const ScreenRect& b) {
    const int64_t left = std::max(a.left, b.left), top = std::max(a.top, b.top);
    const int64_t right = std::min(int64_t(a.left) + a.width, int64_t(b.left) + b.width);
    const int64_t bottom = std::min(int64_t(a.top) + a.height, int64_t(b.top) + b.height);
    if (right <= left || bottom <= top) return {0, 0, 0, 0};
    return {int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top)};
}

bool Contains(const ScreenRect& outer, const ScreenRect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top &&
           int64_t(inner.left) + inner.width <= int64_t(outer.left) + outer.width &&
           int64_t(inner.top) + inner.height <= int64_t(outer.top) + outer.height;
}

bool operator==(const ScreenRect& a, const ScreenRect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

// The monitors' parts inside the window, in window pixels, without those
// lying within another one (of equal ones the first stays).
std::vector<Monitor> VisibleMonitors(const ScreenRect& window, std::span<const Monitor> monitors) {
    std::vector<Monitor> parts;
    for (const Monitor& monitor : monitors) {
        ScreenRect part = Intersection(monitor.rect, window);
        if (part.width == 0) continue;
        part.left -= window.left;
        part.top -= window.top;
        parts.push_back({part, monitor.isPrimary, monitor.dpi});
    }
    std::vector<Monitor> kept;
    for (size_t i = 0; i < parts.size(); ++i) {
        bool isCovered = false;
        for (size_t j = 0; j < parts.size() && !isCovered; ++j)
            isCovered = j != i && Contains(parts[j].rect, parts[i].rect) && (j < i || !(parts[j].rect == parts[i].rect));
        if (!isCovered) kept.push_back(parts[i]);
    }
    return kept;
}

}  // namespace

std::vector<LogoArea> LayOutLogos(MonitorMode mode, const ScreenRect& window, std::span<const Monitor> monitors,
                                  uint32_t tickCount) {
    const std::vector<Monitor> visible = VisibleMonitors(window, monitors);
    const auto primary = std::find_if(visible.begin(), visible.end(), [](const Monitor& m) { return m.isPrimary; });
    const Monitor* chosen = primary != visible.end() ? &*primary : visible.empty() ? nullptr : &visible.front();

    if (mode == MonitorMode::kEach && !visible.empty()) {
        std::vector<LogoArea> areas;
        for (const Monitor& monitor : visible) {
            if (areas.size() == kMaxLogoAreas) break;
            areas.push_back({monitor.rect, monitor.dpi, tickCount + uint32_t(areas.size()) * kSeedStride});
        }
        return areas;
    }
    if (mode == MonitorMode::kPrimary && chosen != nullptr) return {{chosen->rect, chosen->dpi, tickCount}};
    return {{{0, 0, window.width, window.height}, chosen != nullptr ? chosen->dpi : kStandardDpi, tickCount}};
}
