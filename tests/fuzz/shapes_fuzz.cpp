// Any shape section: records read within their limits, names listed within
// theirs, the checker and the scene set-up never going astray.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "settings/ini_text_store.h"
#include "scene/numbers.h"
#include "scene/shape_check.h"
#include "scene/shape_library.h"
#include "settings/shape_names.h"

namespace {

void CheckLimits(const ShapeRecord& shape) {
    if (shape.pointCount < 0 || shape.pointCount > kMaxPoints) std::abort();
    if (shape.contourCount < 0 || shape.contourCount > kMaxContours) std::abort();
    for (int c = 1; c <= shape.contourCount; ++c) {
        const ContourRange& r = shape.contours[c];
        if (r.first < 1 || r.first > r.last || r.last > shape.pointCount) std::abort();
    }
    for (int k = 1; k <= shape.pointCount; ++k)
        if (std::abs(shape.points[k].x) > kMaxShapeCoordinate || std::abs(shape.points[k].y) > kMaxShapeCoordinate)
            std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    ProfileNames names;
    LoadKeyNames(names);

    // Each line of the input is one record value, numbered from 1.
    std::string section = "[MOJI ZAHYO]\n";
    int number = 0;
    for (size_t at = 0; at <= input.size() && number < 120;) {
        const size_t newline = std::min(input.find('\n', at), input.size());
        const std::string_view value(input.data() + at, newline - at);
        section += RecordKey(++number) + "=" + std::string(value) + "\n";

        ShapeRecord shape;
        ParseShapeRecord(value, names.endMarker, shape);
        CheckLimits(shape);
        CheckShapeRecord(number, value);
        for (size_t position = 0; auto token = NextRecordToken(value, position);) {
            if (token->empty() || token->find(',') != std::string_view::npos) std::abort();
            const double real = ReadDecimalReal(*token);
            const int32_t whole = ReadRecordNumber(*token);
            if (std::isnan(real) || whole != TruncateToInt32(real)) std::abort();
        }
        at = newline + 1;
    }

    IniTextStore store(section);
    ShapeNameList list;
    ListShapeNames(store, names, list);
    if (list.count < 0 || list.count > kMaxShapeNames) std::abort();
    for (int i = 1; i <= list.count; ++i)
        if (std::strlen(list.names[i]) > kNameBytes - 1) std::abort();

    // Every slot shows one of the records; the scene is built on them.
    SaverSettings settings{};
    for (const SettingKey& key : kSettingKeys) settings.*key.field = key.byDefault;
    settings.OPTIONN = 9;
    for (int i = 0; i < 9; ++i) settings.*kShapeChoiceFields[i] = i + 1;
    auto scene = std::make_unique<LogoScene>();
    LoadSlotShapes(store, names, settings, *scene);
    scene->screenWidth = 800;
    scene->screenHeight = 600;
    BuildScene(*scene, settings);
    for (int i = 1; i <= 9; ++i) {
        const LogoSlot& slot = scene->slots[i];
        const int32_t n = slot.shape.pointCount;
        if (slot.capPoint < 1 || (n >= 3 && slot.capPoint > n - 2)) std::abort();
        for (int k = 1; k <= n; ++k)
            for (int32_t corner : slot.sides[k].corners)
                if (corner < 1 || corner > 2 * n) std::abort();
    }
    return 0;
}
