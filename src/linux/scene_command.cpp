// korunex scene: the scene set-up and the first frames as one JSON document.

#include <cstdio>
#include <memory>

#include "linux/command_line.h"
#include "linux/frame_clock.h"
#include "linux/setting_overrides.h"
#include "linux/saver_store.h"
#include "linux/scene_json.h"
#include "render/frame_cycle.h"
#include "render/recording_raster.h"
#include "scene/logo_clock.h"
#include "scene/motion.h"

namespace {

void Flush(JsonWriter& json) {
    const std::string text = json.TakeText();
    std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

int RunSceneCommand(const Options& options) {
    ProfileNames names;
    LoadKeyNames(names);
    const IniFileStore file = OpenStore(options, names);
    const SaverStore letters(file, names, options.text, options.font.value_or(kDefaultFont), options.overrides);
    const ClockOverride withClock(letters, names, options.clock.value_or(""));
    const ProfileStore& store = options.clock ? static_cast<const ProfileStore&>(withClock) : letters;

    auto asRead = std::make_unique<SaverSettings>();
    LoadSettings(store, names, *asRead);
    auto settings = std::make_unique<SaverSettings>();
    auto scene = std::make_unique<LogoScene>();
    CreateLogo(store, names, *settings, *scene, options.width, options.height);
    if (options.seed) SeedRandom(*scene, *options.seed);
    LogoClock clock(store, names);
    const FrameClock time(options.at);
    if (clock.IsOn()) clock.Show(time.TimeOfFrame(0, settings->TIMER), *settings, *scene);

    JsonWriter json;
    json.Open('{');
    WriteSceneHeader(json, *scene, names, *asRead);
    WriteSceneSetup(json, *scene, *settings);
    json.Key("frames").Open('[');
    auto projected = std::make_unique<LogoScene>();
    RecordingRaster raster;
    WindowBox previous = FirstPreviousBox(*scene);
    for (int k = 0; k < options.frames; ++k) {
        if (clock.IsOn()) clock.Show(time.TimeOfFrame(k, settings->TIMER), *settings, *scene);
        *projected = *scene;
        ProjectScene(*projected, *settings);
        FrameRecord record{};
        raster.calls.clear();
        previous = RenderFrame(*scene, *settings, raster, previous, &record);
        WriteSceneFrame(json, k, *projected, *settings, record, clock.IsOn() ? &clock.Characters() : nullptr);
        Flush(json);  // frame by frame, so that memory does not grow with --frames
    }
    json.Close(']');
    json.Close('}').Newline();
    Flush(json);
    return std::ferror(stdout) ? 1 : 0;
}
