#pragma once
// Per-tick projection and motion of the scene.

#include "scene/logo_scene.h"

// Spins, turns, tilts and projects every corner of the slots in use into
// viewPoints (reals, y up, depth away from the viewer) and screenPoints
// (truncated to whole pixels), relative to the logo centre.
void ProjectScene(LogoScene& scene, const SaverSettings& settings);

// Advances the angles and, when the logo moves, the centre with its bounces.
// `frameBox` is the box the frame just drawn covered (merged and limited),
// relative to the centre, y up: a logo that fills half the window on an axis
// stops moving along it.
void AdvanceScene(LogoScene& scene, const SaverSettings& settings, const FrameBox& frameBox);
