// korunex saver: the logo on the X display or the Wayland outputs, full-screen by default.

#include <cstdlib>

#include "linux/command_line.h"
#include "linux/saver_place.h"
#include "linux/saver_store.h"
#include "linux/saver_wayland.h"
#include "linux/saver_x11.h"
#include "linux/setting_overrides.h"

int RunSaverCommand(const Options& options) {
    const char* named = std::getenv("XSCREENSAVER_WINDOW");
    const bool onWayland = ChoosesWayland(options, std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY"), named);
    const SaverRequest request = ChooseSaverPlace(options, named);
    ProfileNames names;
    LoadKeyNames(names);
    const IniFileStore file = OpenStore(options, names, StoreUse::kSaver);
    const SaverStore letters(file, names, options.clock ? std::nullopt : options.text, options.font.value_or(kDefaultFont), options.overrides,
                             StoreUse::kSaver);
    const ClockOverride clock(letters, names, options.clock.value_or(""));
    const ProfileStore& store = options.clock ? static_cast<const ProfileStore&>(clock) : letters;
    return onWayland ? RunSaverOnWayland(store) : RunSaverOnX11(store, request);
}
