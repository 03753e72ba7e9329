// korunex saver: the logo on the X display, full-screen by default.

#include <cstdlib>

#include "linux/command_line.h"
#include "linux/saver_place.h"
#include "linux/saver_store.h"
#include "linux/saver_x11.h"
#include "linux/setting_overrides.h"

int RunSaverCommand(const Options& options) {
    const SaverRequest request = ChooseSaverPlace(options, std::getenv("XSCREENSAVER_WINDOW"));
    ProfileNames names;
    LoadKeyNames(names);
    const IniFileStore file = OpenStore(options, names, StoreUse::kSaver);
    const SaverStore letters(file, names, options.clock ? std::nullopt : options.text, options.font.value_or(kDefaultFont), options.overrides,
                             StoreUse::kSaver);
    const ClockOverride clock(letters, names, options.clock.value_or(""));
    return RunSaverOnX11(options.clock ? static_cast<const ProfileStore&>(clock) : letters, request);
}
