#include "settings/shape_names.h"

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
