// korunex saver: the logo on the X display, full-screen by default.

#include <cstdlib>

#include "linux/command_line.h"
#include "linux/saver_store.h"
#include "linux/saver_x11.h"

int RunSaverCommand(const Options& options) {
    if (int(options.inWindow) + int(options.onRoot) + int(options.windowId.has_value()) > 1)
        throw UsageError{"choose one of --window, --root and --window-id"};
    SaverRequest request;
    if (options.inWindow) {
        request.place = SaverPlace::kWindow;
    } else if (options.onRoot) {
        request.place = SaverPlace::kEmbedded;
    } else if (options.windowId) {
        request.place = SaverPlace::kEmbedded;
        request.targetWindow = *options.windowId;
    } else if (const char* named = std::getenv("XSCREENSAVER_WINDOW"); named && *named) {
        // Run by XScreenSaver, which names the window it wants us in.
        request.place = SaverPlace::kEmbedded;
        request.targetWindow = ReadWindowId(named);
    }
    ProfileNames names;
    LoadKeyNames(names);
    const IniFileStore file = OpenStore(options, names);
    const SaverStore store(file, names, options.text, options.font.value_or(kDefaultFont), options.overrides);
    return RunSaverOnX11(store, request);
}
