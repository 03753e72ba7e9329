#include "scene/shape_library.h"

#include <algorithm>

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
