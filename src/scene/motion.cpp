#include "scene/motion.h"

#include <cmath>

#include "scene/numbers.h"

namespace {

// A perspective divisor below this (or NaN) would divide by zero or mirror
// corners that come near the eye; they are drawn as if at this distance.
constexpr double kSmallestDivisor = 0.05;

struct Rotation {
    double cos, sin;
};

Rotation RotationOf(double radians) { return {std::cos(radians), std::sin(radians)}; }

// Adds a step to an angle; one subtraction keeps steps up to 360 within a turn.
int32_t Advance(int32_t angle, int32_t step) {
    angle += step;
    return angle >= 360 ? angle - 360 : angle;
}

void ProjectSlot(LogoSlot& slot, bool spins, const LogoScene& scene, const SaverSettings& settings,
                 Rotation turn, const Rotation* tilt) {
    const int32_t n = slot.shape.pointCount;
    const double cx = slot.cellCentreX;
    const double depth = double(scene.depthUnits) * settings.SIZE;
    const Rotation spin = RotationOf(spins ? DegreesToRadians(slot.spinAngle) : 0.0);
    const bool turnsAboutOwnAxis = settings.KAITEN != 0;

    for (int32_t j = 1; j <= 2 * n; ++j) {
        const ShapePoint& p = slot.shape.points[j <= n ? j : j - n];
        double x = p.x, y = p.y;
        const double z = j <= n ? -depth : depth;
        if (spins) {
            const double u = x - cx;
            x = spin.cos * u - spin.sin * y + cx;
            y = spin.sin * u + spin.cos * y;
        }
        if (turnsAboutOwnAxis) x -= cx;
        // The view's coordinates: turned, tilted, then divided for perspective.
        double vx = turn.cos * x - turn.sin * z;
        double vz = turn.sin * x + turn.cos * z;
        double vy = y;
        if (tilt) {
            const double tiltedZ = tilt->cos * vz - tilt->sin * vy;
            vy = tilt->sin * vz + tilt->cos * vy;
            vz = tiltedZ;
        }
        double w = scene.perspective * vz + 1.0;
        if (!(w >= kSmallestDivisor)) w = kSmallestDivisor;
        vx /= w;
        vy /= w;
        vz /= w;
        if (turnsAboutOwnAxis) vx += cx;
        slot.viewPoints[j] = {vx, vy, vz};
        slot.screenPoints[j] = {TruncateToInt32(vx), TruncateToInt32(vy)};
    }
}

}  // namespace

void ProjectScene(LogoScene& scene, const SaverSettings& settings) {
    const Rotation turn = RotationOf(DegreesToRadians(scene.turnAngle));
    // The view tilts with the logo's height on the window: none at the middle,
    // VIEW x 10 degrees at the bottom edge. A window of no height has no tilt.
    const int32_t height = scene.screenHeight;
    Rotation tilt{};
    const bool tilts = settings.VIEW != 0 && height > 0;
    if (tilts)
        tilt = RotationOf(DegreesToRadians((scene.centreY - height / 2) * (settings.VIEW * 10.0) / (height * 0.5)));

    for (int32_t i = 1; i <= settings.OPTIONN; ++i) {
        LogoSlot& slot = scene.slots[i];
        if (slot.shape.pointCount < 1) continue;
        ProjectSlot(slot, settings.*kSlotSpinFields[i - 1] != 0, scene, settings, turn, tilts ? &tilt : nullptr);
    }
}

void AdvanceScene(LogoScene& scene, const SaverSettings& settings, const FrameBox& frameBox) {
    scene.turnAngle = Advance(scene.turnAngle, settings.STEPRAG);
    for (int i = 1; i <= kMaxSlots; ++i)
        scene.slots[i].spinAngle = Advance(scene.slots[i].spinAngle, settings.*kSlotStepFields[i - 1]);
    if (settings.OPTIONP != 2) return;

    // A logo that fills half the window from its centre stops on that axis.
    int32_t newX = frameBox.maxX < scene.screenWidth / 2 ? scene.centreX + scene.velocityX : scene.centreX;
    int32_t newY = frameBox.maxY < scene.screenHeight / 2 ? scene.centreY + scene.velocityY : scene.centreY;
    // Each bounce lands on the bound and sends the logo back at a fresh random speed.
    auto bounce = [&](int32_t& position, int32_t bound, int32_t& velocity, int32_t direction) {
        position = bound;
        velocity = direction * DrawRandomStep(scene, settings).step;
    };
    if (newX >= scene.maxCentreX) bounce(newX, scene.maxCentreX, scene.velocityX, -1);
    if (newX <= scene.minCentreX) bounce(newX, scene.minCentreX, scene.velocityX, +1);
    if (newY >= scene.maxCentreY) bounce(newY, scene.maxCentreY, scene.velocityY, -1);
    if (newY <= scene.minCentreY) bounce(newY, scene.minCentreY, scene.velocityY, +1);
    scene.centreX = newX;
    scene.centreY = newY;
}

void SetMoveBounds(LogoScene& scene, const SaverSettings& settings) {
    const int32_t halfW = scene.screenWidth / 2, halfH = scene.screenHeight / 2;
    const int32_t halfWidth = settings.OPTIONN * 10 / 2 * settings.SIZEY;
    if (halfWidth > halfW) {
        scene.minCentreX = scene.maxCentreX = halfW;
    } else {
        scene.minCentreX = halfWidth;
        scene.maxCentreX = scene.screenWidth - halfWidth;
    }
    const int32_t halfHeight = 12 * settings.SIZE;
    if (halfHeight > halfH) {
        scene.minCentreY = scene.maxCentreY = halfH;
    } else {
        scene.minCentreY = halfHeight;
        scene.maxCentreY = scene.screenHeight - halfHeight;
    }
}

void PlaceLogo(LogoScene& scene, const SaverSettings& settings) {
    scene.centreX = scene.screenWidth / 2;
    scene.centreY = scene.screenHeight / 2;
    scene.velocityX = scene.velocityY = 0;
    if (settings.OPTIONP != 2) return;

    SetMoveBounds(scene, settings);
    const int32_t speedX = DrawRandomStep(scene, settings).step;
    const int32_t speedY = DrawRandomStep(scene, settings).step;
    switch (DrawRandomStep(scene, settings).quarter) {
        case 1: scene.velocityX = -speedX, scene.velocityY = -speedY; break;  // left and up
        case 2: scene.velocityX = +speedX, scene.velocityY = -speedY; break;  // right and up
        case 3: scene.velocityX = +speedX, scene.velocityY = +speedY; break;  // right and down
        default: scene.velocityX = -speedX, scene.velocityY = +speedY; break;  // left and down
    }
}


RandomStep DrawRandomStep(LogoScene& scene, const SaverSettings& settings) {
    scene.randomState = scene.randomState * 214013u + 2531011u;
    const int32_t r = static_cast<int32_t>((scene.randomState >> 16) & 0x7FFF);
    const int32_t quarter = r >= 24576 ? 1 : r >= 16384 ? 2 : r >= 8192 ? 3 : 4;
    return {quarter, ScaleToDpi(quarter + settings.SIZEIDO, scene.dpi)};
}
