#include "scene/logo_clock.h"

#include <algorithm>
#include <memory>

#include "scene/clock_text.h"
#include "scene/motion.h"
#include "settings/shape_names.h"

namespace {

// Whether two times show the same second.
bool IsSameSecond(const std::tm& a, const std::tm& b) {
    return a.tm_sec == b.tm_sec && a.tm_min == b.tm_min && a.tm_hour == b.tm_hour && a.tm_mday == b.tm_mday &&
           a.tm_mon == b.tm_mon && a.tm_year == b.tm_year;
}

}  // namespace

LogoClock::LogoClock(const ProfileStore& store, const ProfileNames& names) {
    const ClockSettings clock = LoadClockSettings(store, names);
    isOn_ = clock.isOn;
    format_ = clock.format;
    if (!isOn_) return;
    const auto list = std::make_unique<ShapeNameList>();
    ListShapeNames(store, names, *list);
    for (int32_t number = 1; number <= list->count; ++number) {
        char value[kRecordBufferSize];
        store.ReadString(names.shapeSection, RecordKey(number).c_str(), names.endMarker, value, sizeof value);
        NamedRecord record{list->names[number], number, {}};
        ParseShapeRecord(value, names.endMarker, record.shape);
        records_.push_back(std::move(record));
    }
}

const LogoClock::NamedRecord* LogoClock::RecordNamed(const std::string& character) const {
    const auto found = std::find_if(records_.begin(), records_.end(),
                                    [&](const NamedRecord& record) { return record.name == character; });
    return found != records_.end() ? &*found : nullptr;
}

void LogoClock::ShowCharacter(int32_t slot, const std::string& character, SaverSettings& settings,
                              LogoScene& scene) const {
    const NamedRecord* record = RecordNamed(character);
    settings.*kShapeChoiceFields[slot - 1] = record ? record->number : 0;
    scene.slots[slot].shape = record ? record->shape : ShapeRecord{};
    SetUpSlot(scene, settings, slot);
}

bool LogoClock::Show(const std::tm& time, SaverSettings& settings, LogoScene& scene) {
    if (!shown_.empty() && IsSameSecond(time, lastTime_)) return false;
    lastTime_ = time;
    std::vector<std::string> characters = SplitCharacters(FormatClock(format_, time));
    if (characters.empty()) characters.emplace_back();  // one empty slot: a scene has one at least
    if (characters == shown_) return false;

    const bool isNewLength = characters.size() != shown_.size();
    settings.OPTIONN = int32_t(characters.size());
    for (int32_t slot = 1; slot <= settings.OPTIONN; ++slot)
        if (isNewLength || characters[slot - 1] != shown_[slot - 1])
            ShowCharacter(slot, characters[slot - 1], settings, scene);
    if (isNewLength && settings.OPTIONP == 2) {
        SetMoveBounds(scene, settings);
        scene.centreX = std::clamp(scene.centreX, scene.minCentreX, scene.maxCentreX);
        scene.centreY = std::clamp(scene.centreY, scene.minCentreY, scene.maxCentreY);
    }
    shown_ = std::move(characters);
    return true;
}
