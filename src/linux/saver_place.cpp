#include "linux/saver_place.h"

#include <string>

namespace {

uint64_t ReadNamedWindow(const char* xscreensaverWindow) {
    try {
        return ReadWindowId(xscreensaverWindow);
    } catch (const UsageError&) {
        throw UsageError{"XSCREENSAVER_WINDOW must name a window such as 0x1a00007, not '" +
                         std::string(xscreensaverWindow) + "'"};
    }
}

}  // namespace

SaverRequest ChooseSaverPlace(const Options& options, const char* xscreensaverWindow) {
    const bool isNamed = xscreensaverWindow && *xscreensaverWindow;
    if (options.inWindow && (options.onRoot || options.windowId))
        throw UsageError{"--window draws in a window of its own; it cannot go with --root or --window-id"};
    SaverRequest request;
    request.showsFrameRate = options.showsFrameRate;
    if (options.inWindow) {
        request.place = SaverPlace::kWindow;
    } else if (options.windowId) {
        request.place = SaverPlace::kEmbedded;
        request.targetWindow = *options.windowId;
    } else if (options.onRoot || isNamed) {
        request.place = SaverPlace::kEmbedded;
        request.targetWindow = isNamed ? ReadNamedWindow(xscreensaverWindow) : 0;
    }
    return request;
}

bool ChoosesWayland(const Options& options, const char* waylandDisplay, const char* display,
                    const char* xscreensaverWindow) {
    const bool asksForX = options.inWindow || options.onRoot || options.windowId;
    if (options.onWayland && asksForX)
        throw UsageError{"--wayland shows the saver on every output; --window, --root and --window-id are for X11"};
    const auto isSet = [](const char* value) { return value && *value; };
    return options.onWayland ||
           (!asksForX && !isSet(xscreensaverWindow) && !isSet(display) && isSet(waylandDisplay));
}
