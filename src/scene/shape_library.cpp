#include "scene/shape_library.h"

#include <algorithm>

std::string RecordKey(int32_t number) { return "ZAHYO" + std::to_string(static_cast<uint32_t>(number)); }

void ListShapeNames(const ProfileStore& store, const ProfileNames& names, ShapeNameList& list) {
    list.count = 0;
    while (list.count < kMaxShapeNames) {
        char value[kNameBufferSize];
        store.ReadString(names.shapeSection, RecordKey(list.count + 1).c_str(), names.endMarker, value,
                         sizeof value);
        if (IsEndOfRecords(value, names.endMarker)) break;
        size_t position = 0;
        const std::string_view name = NextRecordToken(value, position).value_or(std::string_view{});
        ++list.count;
        CopyShapeName(name, list.names[list.count]);
    }
}

void LoadSlotShapes(const ProfileStore& store, const ProfileNames& names, const SaverSettings& settings,
                    LogoScene& scene) {
    const int32_t slotsInUse = std::clamp(settings.OPTIONN, 0, kMaxSlots);
    for (int32_t i = 1; i <= slotsInUse; ++i) {
        char value[kRecordBufferSize];
        const int32_t record = settings.*kShapeChoiceFields[i - 1];
        store.ReadString(names.shapeSection, RecordKey(record).c_str(), names.endMarker, value, sizeof value);
        ParseShapeRecord(value, names.endMarker, scene.slots[i].shape);
    }
}
