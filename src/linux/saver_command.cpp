// korunex saver: the logo on the X display, full-screen by default.

#include <cstdlib>

#include "linux/command_line.h"
#include "linux/saver_place.h"
#include "linux/saver_store.h"
#include "linux/saver_x11.h"

int RunSaverCommand(const Options& options) {
    const SaverRequest request = ChooseSaverPlace(options, std::getenv("XSCREENSAVER_WINDOW"));
    ProfileNames names;
    LoadKeyNames(names);
    const IniFileStore file = OpenStore(options, names, StoreUse::kSaver);
    const SaverStore store(file, names, options.text, options.font.value_or(kDefaultFont), options.overrides,
                           StoreUse::kSaver);
    return RunSaverOnX11(store, request);
}
