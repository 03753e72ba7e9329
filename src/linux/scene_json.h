#pragma once
// The scene as one JSON document, for inspection and for tests.

#include "linux/json_writer.h"
#include "scene/logo_scene.h"
#include "settings/settings_store.h"

// "screen" and "settings" (the values as read, before any clamp or replacement).
void WriteSceneHeader(JsonWriter& json, const LogoScene& scene, const ProfileNames& names,
                      const SaverSettings& asRead);

// "setup": what BuildScene made of the settings and shapes.
void WriteSceneSetup(JsonWriter& json, const LogoScene& scene, const SaverSettings& settings);

// One entry of "frames": the state frame `number` draws, from a copy of the
// scene projected before the frame (`projected`) and what the frame did.
struct FrameRecord;
void WriteSceneFrame(JsonWriter& json, int number, const LogoScene& projected, const SaverSettings& settings,
                     const FrameRecord& record);
