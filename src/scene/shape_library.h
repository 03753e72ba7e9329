#pragma once
// The shapes the slots in use choose, loaded from the shape section.

#include "scene/logo_scene.h"
#include "settings/settings_store.h"

// Loads the shape that each slot in use (1..OPTIONN) chooses into the slot;
// an absent or broken record gives the slot an empty shape.
void LoadSlotShapes(const ProfileStore& store, const ProfileNames& names, const SaverSettings& settings,
                    LogoScene& scene);
