#pragma once
// Small scenes built in code for the scene and renderer tests.

#include <memory>
#include <vector>

#include "scene/logo_scene.h"

inline ShapeRecord MakeShape(const std::vector<ShapePoint>& points, const std::vector<ContourRange>& contours,
                             const std::vector<int32_t>& reversed = {}) {
    ShapeRecord shape{};
    shape.pointCount = int32_t(points.size());
    for (size_t k = 0; k < points.size(); ++k) shape.points[k + 1] = points[k];
    shape.contourCount = int32_t(contours.size());
    for (size_t c = 0; c < contours.size(); ++c) shape.contours[c + 1] = contours[c];
    for (size_t r = 0; r < reversed.size(); ++r) shape.reversedSidePoints[r] = reversed[r];
    return shape;
}

// An 80 x 100 box with a 40 x 40 square hole.
inline ShapeRecord BoxWithHole() {
    return MakeShape({{-40, -50}, {40, -50}, {40, 50}, {-40, 50}, {-20, -20}, {20, -20}, {20, 20}, {-20, 20}},
                     {{1, 4}, {5, 8}});
}

// Every setting at its default: SIZE and SIZEY 10 make shape units pixels.
inline SaverSettings DefaultSettings() {
    SaverSettings s{};
    for (const SettingKey& key : kSettingKeys) s.*key.field = key.byDefault;
    return s;
}

// A scene on a 1024 x 768 window whose slots all show the given shapes.
inline std::unique_ptr<LogoScene> BuildSceneOf(const std::vector<ShapeRecord>& shapes, SaverSettings& settings,
                                               int32_t width = 1024, int32_t height = 768) {
    auto scene = std::make_unique<LogoScene>();
    settings.OPTIONN = int32_t(shapes.size());
    for (size_t i = 0; i < shapes.size(); ++i) scene->slots[i + 1].shape = shapes[i];
    scene->screenWidth = width;
    scene->screenHeight = height;
    BuildScene(*scene, settings);
    return scene;
}
