#include "linux/scene_json.h"

#include "render/frame_cycle.h"

namespace {

void WriteRgb(JsonWriter& json, const char* key, Rgb colour) {
    json.Key(key).Ints({colour.r, colour.g, colour.b});
}

void WriteSlotSetup(JsonWriter& json, const LogoSlot& slot, int32_t i, const SaverSettings& settings) {
    const ShapeRecord& shape = slot.shape;
    json.Open('{');
    json.Key("slot").Int(i);
    json.Key("record").Int(settings.*kShapeChoiceFields[i - 1]);
    json.Key("pointCount").Int(shape.pointCount);
    json.Key("contours").Open('[');
    for (int c = 1; c <= shape.contourCount; ++c) json.Ints({shape.contours[c].first, shape.contours[c].last});
    json.Close(']');
    json.Key("cellCentreX").Int(slot.cellCentreX);
    json.Key("points").Open('[');
    for (int k = 1; k <= shape.pointCount; ++k) json.Ints({shape.points[k].x, shape.points[k].y});
    json.Close(']');
    json.Key("secondTurnLeft").Int(slot.secondTurnLeft);
    json.Key("capPoint").Int(slot.capPoint);
    json.Key("contourHoles").Open('[');
    for (int c = 1; c <= shape.contourCount; ++c) json.Int(slot.contourIsHole[c]);
    json.Close(']');
    json.Key("sides").Open('[');
    for (int k = 1; k <= shape.pointCount; ++k) {
        const SideQuad& side = slot.sides[k];
        json.Ints({side.normalOrder, side.corners[0], side.corners[1], side.corners[2], side.corners[3]});
    }
    json.Close(']');
    json.Key("edgeOnHull").Open('[');
    for (int k = 1; k <= shape.pointCount; ++k) json.Int(slot.edgeOnHull[k]);
    json.Close(']');
    json.Key("shades").Open('{');
    WriteRgb(json, "front", slot.frontShade);
    WriteRgb(json, "side", slot.sideShade);
    WriteRgb(json, "back", slot.backShade);
    json.Close('}');
    json.Close('}');
}

}  // namespace

void WriteSceneHeader(JsonWriter& json, const LogoScene& scene, const ProfileNames& names,
                      const SaverSettings& asRead) {
    json.Key("screen").Ints({scene.screenWidth, scene.screenHeight});
    json.Key("settings").Open('{');
    for (int i = 0; i < kSettingCount; ++i) json.Key(names.keyNames[i]).Int(asRead.*kSettingKeys[i].field);
    json.Close('}');
}

void WriteSceneSetup(JsonWriter& json, const LogoScene& scene, const SaverSettings& settings) {
    json.Key("setup").Open('{');
    json.Key("depthUnits").Int(scene.depthUnits);
    json.Key("perspective").Real(scene.perspective);
    json.Key("centre").Ints({scene.centreX, scene.centreY});
    json.Key("velocity").Ints({scene.velocityX, scene.velocityY});
    json.Key("bounds").Ints({scene.minCentreX, scene.maxCentreX, scene.minCentreY, scene.maxCentreY});
    json.Key("slots").Open('[');
    for (int32_t i = 1; i <= settings.OPTIONN; ++i) WriteSlotSetup(json, scene.slots[i], i, settings);
    json.Close(']');
    json.Close('}');
}

void WriteSceneFrame(JsonWriter& json, int number, const LogoScene& projected, const SaverSettings& settings,
                     const FrameRecord& record, const std::vector<std::string>* clock) {
    json.Open('{');
    json.Key("frame").Int(number);
    if (clock) {
        std::string text;
        for (const std::string& character : *clock) text += character;
        json.Key("clock").String(text);
        json.Key("records").Open('[');
        for (int32_t i = 1; i <= settings.OPTIONN; ++i) json.Int(settings.*kShapeChoiceFields[i - 1]);
        json.Close(']');
    }
    json.Key("turnAngle").Int(projected.turnAngle);
    json.Key("spin").Open('[');
    for (int i = 1; i <= kMaxSlots; ++i) json.Int(projected.slots[i].spinAngle);
    json.Close(']');
    json.Key("centre").Ints({projected.centreX, projected.centreY});
    json.Key("box").Ints({record.box.minX, record.box.minY, record.box.maxX, record.box.maxY});
    json.Key("slots").Open('[');
    for (int32_t i = 1; i <= settings.OPTIONN; ++i) {
        const LogoSlot& slot = projected.slots[i];
        const int32_t corners = 2 * slot.shape.pointCount;
        json.Open('{');
        json.Key("slot").Int(i);
        json.Key("viewPoints").Open('[');
        for (int32_t j = 1; j <= corners; ++j) {
            const ViewPoint& v = slot.viewPoints[j];
            json.Open('[').Real(v.x).Real(v.y).Real(v.depth).Close(']');
        }
        json.Close(']');
        json.Key("screenPoints").Open('[');
        for (int32_t j = 1; j <= corners; ++j) json.Ints({slot.screenPoints[j].x, slot.screenPoints[j].y});
        json.Close(']');
        json.Key("capFront").Int(record.caps[i].front);
        json.Key("capBack").Int(record.caps[i].back);
        json.Key("sidePaintOrder").Open('[');
        for (int k = 0; k < record.paintCount[i]; ++k) json.Int(record.paintOrder[i][k]);
        json.Close(']');
        json.Close('}');
    }
    json.Close(']');
    json.Close('}');
}
