#include "glyphs/shape_file_update.h"

#include <map>

#include "scene/shape_library.h"
#include "settings/record_tokens.h"
#include "settings/shape_names.h"

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A record's value as the store holds it; `byDefault` when the key is missing.
std::string ReadValue(const ProfileStore& store, const ProfileNames& names, int32_t number, const char* byDefault) {
    char value[1024];
    store.ReadString(names.shapeSection, RecordKey(number).c_str(), byDefault, value, sizeof value);
    return value;
}

}  // namespace

std::optional<ShapeFileUpdate> PlanTextRecords(const ProfileStore& store, const ProfileNames& names,
                                               const std::vector<TextRecord>& records, bool useText,
                                               std::string& problem) {
    if (useText && records.size() > kShapeChoiceFields.size()) {
        problem = "the saver shows at most " + std::to_string(kShapeChoiceFields.size()) + " characters, not " +
                  std::to_string(records.size());
        return std::nullopt;
    }
    // The records there are, and the first number of each value.
    std::map<std::string, int32_t, std::less<>> numbers;
    int32_t count = 0;
    for (;; ++count) {
        const std::string value = ReadValue(store, names, count + 1, names.endMarker);
        if (IsEndOfRecords(value, names.endMarker)) break;
        numbers.emplace(std::string(Trim(value)), count + 1);
    }

    ShapeFileUpdate update;
    std::vector<std::string> added;
    for (const TextRecord& record : records) {
        const bool blank = record.value.empty();
        const auto found = blank ? numbers.end() : numbers.find(Trim(record.value));
        update.reused.push_back(found != numbers.end());
        if (blank || found != numbers.end()) {
            update.recordNumbers.push_back(blank ? 0 : found->second);
            continue;
        }
        added.push_back(record.value);
        const int32_t number = count + int32_t(added.size());
        numbers.emplace(std::string(Trim(record.value)), number);
        update.recordNumbers.push_back(number);
    }
    update.added = int(added.size());

    if (count + update.added > kMaxShapeNames) {
        problem = "the file would hold " + std::to_string(count + update.added) +
                  " shape records, and the dialog lists only " + std::to_string(kMaxShapeNames) + "; it has " +
                  std::to_string(count) + " now";
        return std::nullopt;
    }
    // A key after the end marker would become a record, or be overwritten.
    for (int32_t number = count + 2; update.added > 0 && number <= count + update.added + 1; ++number)
        if (!ReadValue(store, names, number, "").empty()) {
            problem = RecordKey(number) + " lies after the end of the records in [" + std::string(names.shapeSection) +
                      "] and would be taken into them; remove or renumber it first";
            return std::nullopt;
        }

    for (size_t k = 0; k < added.size(); ++k)
        update.writes.push_back({names.shapeSection, RecordKey(count + 1 + int32_t(k)), added[k]});
    if (update.added > 0)
        update.writes.push_back({names.shapeSection, RecordKey(count + update.added + 1), names.endMarker});
    if (useText) {
        for (size_t slot = 0; slot < records.size(); ++slot)
            update.writes.push_back({names.settingsSection, SettingKeyName(names, kShapeChoiceFields[slot]),
                                     std::to_string(update.recordNumbers[slot])});
        update.writes.push_back(
            {names.settingsSection, SettingKeyName(names, &SaverSettings::OPTIONN), std::to_string(records.size())});
    }
    return update;
}

bool WriteTextRecords(ProfileStore& store, const ShapeFileUpdate& update) {
    for (const IniWrite& write : update.writes)
        if (!store.WriteString(write.section.c_str(), write.key.c_str(), write.value.c_str())) return false;
    return true;
}
