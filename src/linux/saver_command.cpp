// korunex saver: the logo on the X display, full-screen by default.

#include <cstdlib>

#include "linux/command_line.h"
#include "linux/saver_place.h"
#include "linux/setting_overrides.h"
#include "linux/saver_x11.h"

int RunSaverCommand(const Options& options) {
    const SaverRequest request = ChooseSaverPlace(options, std::getenv("XSCREENSAVER_WINDOW"));
    ProfileNames names;
    LoadKeyNames(names);
    const IniFileStore file = OpenStore(options, names);
    const OverridingStore store = WithOverrides(file, options);
    return RunSaverOnX11(store, request);
}
