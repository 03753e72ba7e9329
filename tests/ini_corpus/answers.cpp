// Reads every file of a corpus as KORUNEX reads a settings file and prints
// what it got: the 53 settings and the shape records, as the saver and the
// dialog ask for them. Built for Windows it reads through the platform's
// profile calls, built natively through our own reader, so that the two
// answers can be compared byte for byte.
// usage: ini_answers CORPUS-FOLDER > ANSWERS

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "scene/shape_record.h"
#include "settings/settings_store.h"
#ifdef _WIN32
#include "settings/profile_store_win32.h"
#else
#include "settings/ini_file_store.h"
#endif

namespace {

// A value with every byte outside printable ASCII (and the backslash) as \xHH.
std::string Escaped(const char* text, size_t length) {
    std::string out;
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += c >= 0x20 && c < 0x7F && c != '\\' ? std::string(1, static_cast<char>(c)) : std::string(hex);
    }
    return out;
}

void PrintAnswers(const ProfileStore& store, const ProfileNames& names) {
    std::printf("  settings:");
    for (int i = 0; i < kSettingCount; ++i)
        std::printf(" %d", store.ReadInt(names.settingsSection, names.keyNames[i], kSettingKeys[i].byDefault));
    std::printf("\n");
    // The records as the saver reads them, and the first ones as the dialog lists their names.
    for (int n = 1; n <= 40; ++n) {
        const std::string key = "ZAHYO" + std::to_string(n);
        char value[kRecordBufferSize];
        const size_t length = store.ReadString(names.shapeSection, key.c_str(), names.endMarker, value, sizeof value);
        std::printf("  %s: %s\n", key.c_str(), Escaped(value, length).c_str());
        if (n <= 3) {
            char name[kNameBufferSize];
            const size_t nameLength = store.ReadString(names.shapeSection, key.c_str(), names.endMarker, name, sizeof name);
            std::printf("  %s/%zu: %s\n", key.c_str(), sizeof name, Escaped(name, nameLength).c_str());
        }
        if (IsEndOfRecords(std::string_view(value, length), names.endMarker)) break;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ini_answers CORPUS-FOLDER\n");
        return 2;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
        if (entry.path().extension() == ".ini") files.push_back(entry.path());
    std::sort(files.begin(), files.end());

    ProfileNames names;
    LoadKeyNames(names);
    for (const std::filesystem::path& file : files) {
        std::printf("%s\n", file.filename().string().c_str());
#ifdef _WIN32
        const std::string path = file.string();
        const Win32ProfileStore store(path.c_str());
#else
        const IniFileStore store(file);
#endif
        PrintAnswers(store, names);
    }
    return files.empty() ? 1 : 0;
}
