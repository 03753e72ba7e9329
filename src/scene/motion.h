#pragma once
// The logo's motion: where it starts and how fast, and per tick its
// projection, turning and movement.

#include "scene/logo_scene.h"

// One draw of the scene's generator.
struct RandomStep {
    int32_t quarter;  // where r in 0..32767 fell: 1 for the top quarter of the range .. 4 for the bottom
    int32_t step;     // quarter + SIZEIDO, pixels per tick at 96 dpi, scaled to the scene's
};
RandomStep DrawRandomStep(LogoScene& scene, const SaverSettings& settings);

// The bounds within which a moving logo's centre stays, from the slots in
// use and their size; a logo wider or taller than the window stays in its middle.
void SetMoveBounds(LogoScene& scene, const SaverSettings& settings);

// Puts the logo in the middle of the screen and, when it moves (OPTIONP 2),
// gives it its bounds and a random start velocity.
void PlaceLogo(LogoScene& scene, const SaverSettings& settings);

// Spins, turns, tilts and projects every corner of the slots in use into
// viewPoints (reals, y up, depth away from the viewer) and screenPoints
// (truncated to whole pixels), relative to the logo centre.
void ProjectScene(LogoScene& scene, const SaverSettings& settings);

// Advances the angles and, when the logo moves, the centre with its bounces.
// `frameBox` is the box the frame just drawn covered (merged and limited),
// relative to the centre, y up: a logo that fills half the window on an axis
// stops moving along it.
void AdvanceScene(LogoScene& scene, const SaverSettings& settings, const FrameBox& frameBox);
