#include "settings/ini_file_store.h"

#include "settings/settings_file.h"

const IniDocument* IniFileStore::Document() const {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path_, error);
    const bool isFile = fs::is_regular_file(status);
    const std::uintmax_t size = isFile ? fs::file_size(path_, error) : 0;
    const fs::file_time_type changed = isFile ? fs::last_write_time(path_, error) : fs::file_time_type{};
    // Anything but a regular file is read again each time: it never gets a document.
    if (!parsed_ || !isFile || parsed_->size != size || parsed_->changed != changed || error) {
        SettingsFileText file = ReadSettingsFile(path_);
        std::optional<IniDocument> document;
        if (file.status == SettingsFileText::kMissing) document.emplace();
        if (file.status == SettingsFileText::kRead) document.emplace(file.text);
        parsed_ = Parsed{size, changed, std::move(document)};
    }
    return parsed_->document ? &*parsed_->document : nullptr;
}

int32_t IniFileStore::ReadInt(const char* section, const char* key, int32_t byDefault) const {
    return ReadDocumentInt(Document(), section, key, byDefault);
}

size_t IniFileStore::ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                                size_t capacity) const {
    return ReadDocumentString(Document(), section, key, byDefault, buffer, capacity);
}

bool IniFileStore::WriteString(const char* section, const char* key, const char* value) {
    const std::optional<std::string> problem = UpdateSettingsFile(
        path_, [&](std::string_view now) -> std::optional<std::string> { return SetIniValue(now, section, key, value); });
    parsed_.reset();
    return !problem;
}
