#include "glyphs/shape_file_update.h"

#include <map>
#include <set>

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

// Every record's value, in record order, up to the end marker or the first missing key.
std::vector<std::string> ReadRecordValues(const ProfileStore& store, const ProfileNames& names) {
    std::vector<std::string> values;
    for (;;) {
        std::string value = ReadValue(store, names, int32_t(values.size()) + 1, names.endMarker);
        if (IsEndOfRecords(value, names.endMarker)) return values;
        values.push_back(std::move(value));
    }
}

}  // namespace

FileRecords ReadFileRecords(const ProfileStore& store, const ProfileNames& names) {
    FileRecords file;
    for (const std::string& value : ReadRecordValues(store, names)) {
        const std::string_view trimmed = Trim(value);
        file.names.emplace(trimmed.substr(0, trimmed.find(',')));
        ++file.count;
    }
    return file;
}

std::string TooManyRecordsMessage(int32_t wouldHold, int32_t now, bool atLeast) {
    return std::string("the file would hold ") + (atLeast ? "at least " : "") + std::to_string(wouldHold) +
           " shape records, and the dialog lists only " + std::to_string(kMaxShapeNames) + "; it has " +
           std::to_string(now) + " now";
}

std::string TooManySlotsMessage(size_t characters) {
    return "the saver shows at most " + std::to_string(kShapeChoiceFields.size()) + " characters, not " +
           std::to_string(characters);
}

std::optional<ShapeFileUpdate> PlanTextRecords(const ProfileStore& store, const ProfileNames& names,
                                               const std::vector<TextRecord>& records, bool useText,
                                               std::string& problem) {
    if (useText && records.size() > kShapeChoiceFields.size()) {
        problem = TooManySlotsMessage(records.size());
        return std::nullopt;
    }
    // The records there are, and the first number of each value.
    std::map<std::string, int32_t, std::less<>> numbers;
    int32_t count = 0;
    for (const std::string& value : ReadRecordValues(store, names)) numbers.emplace(std::string(Trim(value)), ++count);

    ShapeFileUpdate update;
    std::vector<std::string> added;
    std::set<int32_t> used;  // the records earlier characters took
    for (const TextRecord& record : records) {
        const bool blank = record.value.empty();
        const auto found = blank ? numbers.end() : numbers.find(Trim(record.value));
        int32_t number = 0;
        if (found != numbers.end()) {
            number = found->second;
        } else if (!blank) {
            added.push_back(record.value);
            number = count + int32_t(added.size());
            numbers.emplace(std::string(Trim(record.value)), number);
        }
        update.recordNumbers.push_back(number);
        update.reused.push_back(number != 0 && number <= count);
        update.repeat.push_back(number != 0 && !used.insert(number).second);
    }
    update.added = int(added.size());

    if (count + update.added > kMaxShapeNames) {
        problem = TooManyRecordsMessage(count + update.added, count, false);
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
