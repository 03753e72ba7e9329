#include "linux/monitors_x11.h"

#include <X11/Xresource.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "scene/logo_scene.h"

namespace {

// The extensions' libraries are called only once the server has said, to
// the core protocol, that it has the extension: asked of a server without
// it, they write to standard error or keep memory they never free.
bool HasExtension(Display* display, const char* name) {
    int opcode, eventBase, errorBase;
    return XQueryExtension(display, name, &opcode, &eventBase, &errorBase);
}

bool HasRandrMonitors(Display* display) {
    int major = 0, minor = 0;
    return HasExtension(display, "RANDR") && XRRQueryVersion(display, &major, &minor) &&
           (major > 1 || (major == 1 && minor >= 5));
}

std::vector<Monitor> RandrMonitors(Display* display, int32_t dpi) {
    std::vector<Monitor> monitors;
    if (!HasRandrMonitors(display)) return monitors;
    int count = 0;
    XRRMonitorInfo* listed = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
    if (!listed) return monitors;
    for (int i = 0; i < count; ++i) {
        const XRRMonitorInfo& m = listed[i];
        monitors.push_back({{m.x, m.y, m.width, m.height}, m.primary != 0, dpi});
    }
    XRRFreeMonitors(listed);
    return monitors;
}

std::vector<Monitor> XineramaHeads(Display* display, int32_t dpi) {
    std::vector<Monitor> heads;
    int count = 0;
    if (!HasExtension(display, "XINERAMA") || !XineramaIsActive(display)) return heads;
    XineramaScreenInfo* listed = XineramaQueryScreens(display, &count);
    if (!listed) return heads;
    for (int i = 0; i < count; ++i)
        heads.push_back({{listed[i].x_org, listed[i].y_org, listed[i].width, listed[i].height}, i == 0, dpi});
    XFree(listed);
    return heads;
}

// A resource value as Xft.dpi holds it, blanks around it allowed.
int32_t ParseDpi(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    if (first == std::string_view::npos) return kStandardDpi;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data() + first, text.data() + last + 1, value);
    // Written so that a NaN fails it too.
    const bool isScreenDpi = error == std::errc{} && end == text.data() + last + 1 &&
                             value >= kLowestDpi - 0.5 && value < kHighestDpi + 0.5;
    return isScreenDpi ? int32_t(std::lround(value)) : kStandardDpi;
}

}  // namespace

std::vector<Monitor> ListMonitors(Display* display, int32_t dpi) {
    std::vector<Monitor> monitors = RandrMonitors(display, dpi);
    if (monitors.size() > 1) return monitors;
    monitors = XineramaHeads(display, dpi);
    if (!monitors.empty()) return monitors;
    XWindowAttributes root{};
    XGetWindowAttributes(display, DefaultRootWindow(display), &root);
    return {{{0, 0, root.width, root.height}, true, dpi}};
}

std::optional<int> SelectScreenChanges(Display* display) {
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, StructureNotifyMask);
    int eventBase, errorBase;
    if (!HasExtension(display, "RANDR") || !XRRQueryExtension(display, &eventBase, &errorBase)) return std::nullopt;
    XRRSelectInput(display, root, RRScreenChangeNotifyMask);
    return eventBase + RRScreenChangeNotify;
}

int32_t ReadDesktopDpi(Display* display) {
    const char* resources = XResourceManagerString(display);
    if (!resources) return kStandardDpi;
    XrmInitialize();
    const XrmDatabase database = XrmGetStringDatabase(resources);
    if (!database) return kStandardDpi;
    char* type = nullptr;
    XrmValue value{};
    int32_t dpi = kStandardDpi;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
        dpi = ParseDpi({value.addr, strnlen(value.addr, value.size)});
    XrmDestroyDatabase(database);
    return dpi;
}
