#pragma once
// The scene as one JSON document, for inspection and for tests.

#include <string>
#include <vector>
#include "linux/json_writer.h"
#include "scene/logo_scene.h"
#include "settings/settings_store.h"

// "screen" and "settings" (the values as read, before any clamp or replacement).
void WriteSceneHeader(JsonWriter& json, const LogoScene& scene, const ProfileNames& names,
                      const SaverSettings& asRead);

// "setup": what BuildScene made of the settings and shapes.
void WriteSceneSetup(JsonWriter& json, const LogoScene& scene, const SaverSettings& settings);

// One entry of "frames": the state frame `number` draws, from a copy of the
// scene projected before the frame (`projected`) and what the frame did;
// with the clock, the characters it shows and the records they chose.
struct FrameRecord;
void WriteSceneFrame(JsonWriter& json, int number, const LogoScene& projected, const SaverSettings& settings,
                     const FrameRecord& record, const std::vector<std::string>* clock = nullptr);
