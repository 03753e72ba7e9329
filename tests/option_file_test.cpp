// XScreenSaver's settings panel for KORUNEX (xscreensaver/korunex.xml): every
// command line it can produce is one the saver takes as meant, and its colours
// are the dialog's radios with their codes.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "linux/command_line.h"
#include "settings/saver_settings.h"
#include "settings/settings_dialog.h"
#include "settings/settings_store.h"

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

const std::string kSourceDir = KORUNEX_SOURCE_DATA_DIR "/..";

using Attributes = std::map<std::string, std::string>;
struct Tag {
    std::string name;
    Attributes attributes;
};

// The option file's tags in order, with their attributes; the file uses no
// entities in attribute values.
std::vector<Tag> ReadTags(const std::string& xml) {
    static const std::regex tagPattern(R"(<([a-z_-]+)\b([^>]*)>)");
    static const std::regex attributePattern(R"(([a-z_-]+)="([^"]*)\")");
    std::vector<Tag> tags;
    for (auto t = std::sregex_iterator(xml.begin(), xml.end(), tagPattern); t != std::sregex_iterator(); ++t) {
        Tag tag{(*t)[1], {}};
        const std::string body = (*t)[2];
        for (auto a = std::sregex_iterator(body.begin(), body.end(), attributePattern); a != std::sregex_iterator(); ++a)
            tag.attributes[(*a)[1]] = (*a)[2];
        tags.push_back(tag);
    }
    return tags;
}

// The words a control can add to the command line, for each value it offers.
// The settings program quotes a text field's value, so it stays one word.
std::vector<std::vector<std::string>> ArgumentsOf(const Tag& tag) {
    auto words = [](const std::string& text, const std::string& value) {
        std::vector<std::string> result;
        std::istringstream split(text);
        for (std::string word; split >> word;) result.push_back(std::regex_replace(word, std::regex("%"), value));
        return result;
    };
    std::vector<std::vector<std::string>> arguments;
    const Attributes& a = tag.attributes;
    for (const char* key : {"arg-set", "arg-unset"})
        if (a.count(key)) arguments.push_back(words(a.at(key), ""));
    if (a.count("arg")) {
        std::vector<std::string> values;
        for (const char* key : {"low", "high", "default"})
            if (a.count(key)) values.push_back(a.at(key));
        if (tag.name == "string") values = {"KORUNEX", "DejaVu Sans:bold"};
        for (const std::string& value : values) arguments.push_back(words(a.at("arg"), value));
    }
    return arguments;
}

Options ReadArguments(std::vector<std::string> words) {
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    return ReadOptions(int(argv.size()), argv.data(), 0);
}

SettingField FieldNamed(const std::string& key) {
    ProfileNames names;
    LoadKeyNames(names);
    for (int i = 0; i < kSettingCount; ++i)
        if (key == names.keyNames[i]) return kSettingKeys[i].field;
    ADD_FAILURE() << "no setting " << key;
    return nullptr;
}

}  // namespace

TEST(OptionFile, EveryValueItOffersReachesTheSaverUnchanged) {
    const std::vector<Tag> tags = ReadTags(ReadText(kSourceDir + "/xscreensaver/korunex.xml"));
    int checked = 0;
    for (const Tag& tag : tags) {
        for (const std::vector<std::string>& argument : ArgumentsOf(tag)) {
            SCOPED_TRACE(argument.front() + (argument.size() > 1 ? " " + argument[1] : ""));
            Options options;
            ASSERT_NO_THROW(options = ReadArguments(argument));
            for (const auto& [key, value] : options.overrides) {
                const SettingField field = FieldNamed(key);
                if (!field) continue;
                SaverSettings settings{};
                for (const SettingKey& k : kSettingKeys) settings.*(k.field) = k.byDefault;
                settings.*field = value;
                KeepWithinSaverLimits(settings);
                EXPECT_EQ(settings.*field, value) << key << " is changed by the saver's limits";
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 60);
}

TEST(OptionFile, EachMenuHasOneEntryThatKeepsTheFileValue) {
    const std::vector<Tag> tags = ReadTags(ReadText(kSourceDir + "/xscreensaver/korunex.xml"));
    int menus = 0, withoutArgument = 0;
    for (const Tag& tag : tags) {
        if (tag.name == "select") {
            if (menus > 0) {
                EXPECT_EQ(withoutArgument, 1) << "menu " << menus;
            }
            ++menus;
            withoutArgument = 0;
        } else if (tag.name == "option") {
            withoutArgument += !tag.attributes.count("arg-set");
        }
    }
    EXPECT_EQ(withoutArgument, 1) << "the last menu";
    EXPECT_EQ(menus, 11);  // colour, motion and the nine letters' colours
}

TEST(OptionFile, ColoursAreTheDialogsRadiosWithTheirCodes) {
    // The dialog's radio captions by control id.
    const std::string dialog = ReadText(kSourceDir + "/resources/dialog_2003.rc");
    std::map<int, std::string> captions;
    static const std::regex radio(R"re(CONTROL "([^"]+)", (\d+), "Button", BS_AUTORADIOBUTTON)re");
    for (auto r = std::sregex_iterator(dialog.begin(), dialog.end(), radio); r != std::sregex_iterator(); ++r)
        captions[std::stoi((*r)[2])] = (*r)[1];

    static const std::regex colourSetting(R"(--set (COLOR|OPTIONC[1-9])=(\d+))");
    int colours = 0;
    for (const Tag& tag : ReadTags(ReadText(kSourceDir + "/xscreensaver/korunex.xml"))) {
        if (tag.name != "option" || !tag.attributes.count("arg-set")) continue;
        std::smatch match;
        const std::string argument = tag.attributes.at("arg-set");
        if (!std::regex_match(argument, match, colourSetting)) continue;
        const int code = std::stoi(match[2]);
        ASSERT_TRUE(code >= 1 && code <= 7) << argument;
        const std::string& caption = captions[kColourRadioIds[code - 1]];
        const std::string& label = tag.attributes.at("_label");
        EXPECT_EQ(label.substr(0, caption.size()), caption) << argument << " is labelled " << label;
        ++colours;
    }
    EXPECT_EQ(colours, 70);  // seven colours for the logo and for each of the nine letters
}
