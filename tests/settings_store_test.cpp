#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "settings/settings_store.h"
#include "settings/string_table.h"
#include "temp_ini_file.h"

namespace {

constexpr char kShapeSection[] =
    "[MOJI ZAHYO]\r\n"
    "ZAHYO1=Box,8,0,0,0,0,0,2,1,4,5,8,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"
    "-40,-50,40,-50,40,50,-40,50,-20,-20,20,-20,20,20,-20,20\r\n"
    "ZAHYO2=ZAHYO-END\r\n";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The key lines of the settings section, in file order.
std::vector<std::string> SettingsLines(const std::string& text) {
    std::vector<std::string> keys;
    bool inSection = false;
    for (const std::string& line : Lines(text)) {
        if (!line.empty() && line[0] == '[') inSection = line == "[KORUNEX]";
        else if (inSection && !line.empty()) keys.push_back(line);
    }
    return keys;
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { LoadKeyNames(names); }
    ProfileNames names;
    TempIniFile file;
    SaverSettings settings{};
};

TEST_F(SettingsStore, NamesComeFromTheStringTable) {
    EXPECT_STREQ(names.settingsSection, "KORUNEX");
    EXPECT_STREQ(names.iniFile, "KORUNEX.ini");
    EXPECT_STREQ(names.shapeSection, "MOJI ZAHYO");
    EXPECT_STREQ(names.endMarker, "ZAHYO-END");
    EXPECT_STREQ(names.keyNames[0], "OPTIONA1");
    EXPECT_STREQ(names.keyNames[52], "KAITEN");

    // Slot 1's step is string 2; slots 2 to 9 follow at 109..116.
    char text[10];
    LoadResourceText(2, text, sizeof text);
    EXPECT_STREQ(text, "STEPRAG1");
    for (int slot = 2; slot <= 9; ++slot) {
        LoadResourceText(107 + slot, text, sizeof text);
        EXPECT_EQ(text, "STEPRAG" + std::to_string(slot));
    }
    EXPECT_STREQ(names.keyNames[30], "STEPRAG1");

    // Every entry of the shared table is what the platform's loader gives.
    for (const StringEntry& entry : StringTableEntries()) {
        char loaded[64];
        LoadResourceText(entry.id, loaded, sizeof loaded);
        EXPECT_STREQ(loaded, entry.text) << "string " << entry.id;
    }
    // A short buffer cuts the text and still terminates it.
    char cut[5];
    EXPECT_EQ(LoadResourceText(1007, cut, sizeof cut), 4);
    EXPECT_STREQ(cut, "KORU");
}

TEST_F(SettingsStore, NoFileGivesTheDefaults) {
    settings.TIMER = 999;
    LoadSettings(file.store(), names, settings);
    for (const SettingKey& key : kSettingKeys) EXPECT_EQ(settings.*key.field, key.byDefault);
    EXPECT_EQ(settings.OPTIONA1, 22);
    EXPECT_EQ(settings.OPTIONA2, 5);
    EXPECT_EQ(settings.OPTIONN, 2);
    EXPECT_EQ(settings.TIMER, 55);
}

TEST_F(SettingsStore, SaveBesideTheShapeSectionKeepsItAndAddsAllKeysInOrder) {
    file.Write(kShapeSection);
    LoadSettings(file.store(), names, settings);
    ASSERT_TRUE(SaveSettings(file.store(), names, settings));

    const std::string text = file.Read();
    EXPECT_EQ(text.substr(0, sizeof kShapeSection - 1), kShapeSection);
    const std::vector<std::string> keys = SettingsLines(text);
    ASSERT_EQ(keys.size(), 53u);
    for (int i = 0; i < kSettingCount; ++i)
        EXPECT_EQ(keys[i], std::string(names.keyNames[i]) + "=" + std::to_string(kSettingKeys[i].byDefault));
    EXPECT_EQ(keys[47], "TIMER=55");
}

TEST_F(SettingsStore, ValuesAreWrittenAsPlainUnsignedDecimals) {
    settings.TIMER = 300;
    settings.STEPRAG = 0;
    settings.HABA = -1;
    ASSERT_TRUE(SaveSettings(file.store(), names, settings));

    char value[32];
    file.store().ReadString("KORUNEX", "TIMER", "", value, sizeof value);
    EXPECT_STREQ(value, "300");
    file.store().ReadString("KORUNEX", "STEPRAG", "", value, sizeof value);
    EXPECT_STREQ(value, "0");
    file.store().ReadString("KORUNEX", "HABA", "", value, sizeof value);
    EXPECT_STREQ(value, "4294967295");

    // A value that wrapped to unsigned reads back as the same 32 bits.
    LoadSettings(file.store(), names, settings);
    EXPECT_EQ(settings.HABA, -1);
}

TEST_F(SettingsStore, KeysAreFoundWithoutRegardToCaseAndReplacedInPlace) {
    file.Write("[korunex]\r\ntimer=100\r\nSize = 20 \r\n");
    LoadSettings(file.store(), names, settings);
    EXPECT_EQ(settings.TIMER, 100);
    EXPECT_EQ(settings.SIZE, 20);

    settings.TIMER = 70;
    ASSERT_TRUE(SaveSettings(file.store(), names, settings));
    int timerLines = 0;
    for (const std::string& line : Lines(file.Read())) {
        std::string lower = line.substr(0, 6);
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower == "timer=") {
            ++timerLines;
            EXPECT_EQ(line.substr(6), "70");
        }
    }
    EXPECT_EQ(timerLines, 1);
    LoadSettings(file.store(), names, settings);
    EXPECT_EQ(settings.TIMER, 70);
    EXPECT_EQ(settings.SIZE, 20);
}

TEST_F(SettingsStore, SaveAfterLoadRewritesEveryKeyWithItsLoadedValue) {
    file.Write("[KORUNEX]\r\nOPTIONN=3\r\nCOLOR=6\r\nENKIN=abc\r\nVIEW=\r\n");
    LoadSettings(file.store(), names, settings);
    EXPECT_EQ(settings.OPTIONN, 3);
    EXPECT_EQ(settings.ENKIN, 0);  // not a number
    EXPECT_EQ(settings.VIEW, 3);   // empty: the default
    ASSERT_TRUE(SaveSettings(file.store(), names, settings));

    SaverSettings reloaded{};
    LoadSettings(file.store(), names, reloaded);
    for (const SettingKey& key : kSettingKeys) EXPECT_EQ(reloaded.*key.field, settings.*key.field);
    EXPECT_EQ(SettingsLines(file.Read()).size(), 53u);
}

TEST_F(SettingsStore, AFailedWriteIsReported) {
    file.Write("not a folder");
#ifdef _WIN32
    const std::string path = file.path() + "\\KORUNEX.ini";
    Win32ProfileStore store(path.c_str());
#else
    IniFileStore store(file.path() + "/KORUNEX.ini");
#endif
    EXPECT_FALSE(SaveSettings(store, names, settings));
}

// The file's own store, whose writes fail from the `failFrom`th on. The
// platform's store keeps and puts back the file itself; for our own ini
// code the test keeps the bytes.
class FailingFrom final : public ProfileStore {
public:
    FailingFrom(TempIniFile& file, int failFrom) : file_(file), failFrom_(failFrom) {}
    int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const override {
        return file_.store().ReadInt(section, key, byDefault);
    }
    size_t ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                      size_t capacity) const override {
        return file_.store().ReadString(section, key, byDefault, buffer, capacity);
    }
    bool WriteString(const char* section, const char* key, const char* value) override {
        ++writes;
        return writes < failFrom_ && file_.store().WriteString(section, key, value);
    }
#ifdef _WIN32
    KeptFile KeepFile() const override { return file_.store().KeepFile(); }
    bool PutBackFile(const KeptFile& kept) override { return file_.store().PutBackFile(kept); }
#else
    KeptFile KeepFile() const override {
        const bool existed = std::filesystem::exists(file_.path());
        return {true, existed, existed ? file_.Read() : ""};
    }
    bool PutBackFile(const KeptFile& kept) override {
        if (!kept.existed) return std::filesystem::remove(file_.path());
        file_.Write(kept.bytes);
        return true;
    }
#endif
    int writes = 0;

private:
    TempIniFile& file_;
    int failFrom_;
};

TEST_F(SettingsStore, AWriteThatFailsHalfWayPutsTheFileBackByteForByte) {
    // Bytes the store itself would never write: LF alone, no last newline.
    const std::string before = std::string(kShapeSection) + "[KORUNEX]\nCOLOR=5\n;note\nVIEW=7";
    file.Write(before);
    FailingFrom halfWay(file, 20);
    settings.COLOR = 2;
    EXPECT_FALSE(SaveSettings(halfWay, names, settings));
    EXPECT_EQ(halfWay.writes, 20) << "the save went on after a failed write";
    EXPECT_EQ(file.Read(), before);

    // A file that was not there is not there afterwards.
    std::filesystem::remove(file.path());
    FailingFrom fromNothing(file, 30);
    EXPECT_FALSE(SaveSettings(fromNothing, names, settings));
    EXPECT_FALSE(std::filesystem::exists(file.path()));

    FailingFrom never(file, 1000);
    EXPECT_TRUE(SaveSettings(never, names, settings));
    EXPECT_EQ(SettingsLines(file.Read()).size(), 53u);
}

}  // namespace
