#include "scene/logo_clock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "render/frame_cycle.h"
#include "scene/clock_format.h"
#include "scene/clock_text.h"
#include "scene/motion.h"
#include "settings/ini_text_store.h"

namespace {

std::tm At(int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = 126, time.tm_mon = 11, time.tm_mday = 10, time.tm_wday = 4, time.tm_yday = 343;
    time.tm_hour = hour, time.tm_min = minute, time.tm_sec = second;
    return time;
}

TEST(ClockText, FormatsCutsAndFallsBack) {
    const struct {
        const char* format;
        const char* text;
    } cases[] = {
        {"%H:%M:%S", "12:34:56"},
        {"%H%M%S", "123456"},
        {"%I:%M %p", "12:34 PM"},
        {"%Y-%m-%d %H:%M", "2026-12-1"},  // cut to nine characters
        {"%d/%m %Ey", "10/12 26"},
        {"%Q", "12:34:56"},                // no such conversion
        {"%H%", "12:34:56"},               // a lone % at the end
        {"%Ez", "12:34:56"},               // a modifier C does not allow there
        {"", "12:34:56"},                  // no text at all
        {"time", "time"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatClock(c.format, At(12, 34, 56)), c.text) << c.format;
}

TEST(ClockText, TheCharactersAFormatCanShow) {
    EXPECT_EQ(ClockCharacters("%H:%M"), "0123456789:");
    EXPECT_EQ(ClockCharacters("%I.%M %p"), ".0123456789AMP") << "no blank";
    EXPECT_EQ(ClockCharacters("%D %R"), "/0123456789:");
    EXPECT_EQ(ClockCharacters("%Q"), "0123456789:") << "the default format's, which the saver shows then";
    const std::string days = ClockCharacters("%a");
    for (char c : std::string("SunMoTuWedhFriSat")) EXPECT_NE(days.find(c), std::string::npos) << c;
}

#ifndef _WIN32
// Against the C library here, whose C locale is the reference: every
// conversion, with its modifiers, on days around many years' ends.
TEST(ClockFormat, AgreesWithTheCLibraryInTheCLocale) {
    const std::string conversions = "aAbBcCdDeFgGhHIjmMnprRStTuUVwWxXyY%";
    std::string format;
    for (char c : conversions) format += std::string("[%") + c + "]";
    format += "[%Ec][%EC][%Ex][%EX][%Ey][%EY][%Od][%Oe][%OH][%OI][%Om][%OM][%OS][%Ou][%OU][%OV][%Ow][%OW][%Oy]";
    for (std::time_t t = 915'148'800 - 20 * 86'400; t < 1'900'000'000; t += 86'400 * 37 + 3'671) {
        for (std::time_t near = t; near < t + 20 * 86'400; near += 86'400 * 5) {
            std::tm time{};
            gmtime_r(&near, &time);
            char expected[1024];
            std::strftime(expected, sizeof expected, format.c_str(), &time);
            ASSERT_EQ(FormatTime(format, time).value_or("refused"), expected) << std::asctime(&time);
        }
    }
}
#endif

class Clock : public ::testing::Test {
protected:
    // Records 1 to 10 are triangles named 0 to 9, each of its own size.
    void Start(const std::string& settingsLines) {
        std::string text = "[MOJI ZAHYO]\r\n";
        for (int digit = 0; digit <= 9; ++digit) {
            text += "ZAHYO" + std::to_string(digit + 1) + "=" + std::to_string(digit) + ",3,0,0,0,0,0,1,1,3";
            for (int i = 0; i < 24; ++i) text += ",0";
            text += ",0,0," + std::to_string(10 + digit) + ",0,0,10\r\n";
        }
        store = std::make_unique<IniTextStore>(text + "[KORUNEX]\r\n" + settingsLines);
        LoadKeyNames(names);
        CreateLogo(*store, names, settings, *scene, 1280, 720);
        clock = std::make_unique<LogoClock>(*store, names);
    }
    std::vector<int32_t> Records() const {
        std::vector<int32_t> records;
        for (int32_t i = 0; i < settings.OPTIONN; ++i) records.push_back(settings.*kShapeChoiceFields[i]);
        return records;
    }
    std::unique_ptr<IniTextStore> store;
    ProfileNames names{};
    SaverSettings settings{};
    std::unique_ptr<LogoScene> scene = std::make_unique<LogoScene>();
    std::unique_ptr<LogoClock> clock;
};

TEST_F(Clock, EachCharacterShowsTheRecordOfItsNameAndOnlyChangedSlotsAreSetUpAgain) {
    Start("TOKEI=1\r\nTOKEIFMT=%H%M%S\r\nOPTIONP=2\r\n");
    ASSERT_TRUE(clock->IsOn());
    EXPECT_TRUE(clock->Show(At(12, 34, 56), settings, *scene));
    EXPECT_EQ(Records(), (std::vector<int32_t>{2, 3, 4, 5, 6, 7}));  // the records named 1 to 6
    const ShapeRecord fifth = scene->slots[5].shape;

    for (int frame = 0; frame < 5; ++frame) AdvanceScene(*scene, settings, {-10, -10, 10, 10});
    const int32_t x = scene->centreX, turn = scene->turnAngle;
    EXPECT_FALSE(clock->Show(At(12, 34, 56), settings, *scene)) << "the same second";
    EXPECT_TRUE(clock->Show(At(12, 34, 57), settings, *scene));
    EXPECT_EQ(Records(), (std::vector<int32_t>{2, 3, 4, 5, 6, 8}));
    EXPECT_EQ(std::memcmp(&scene->slots[5].shape, &fifth, sizeof fifth), 0) << "an unchanged slot was set up again";
    EXPECT_EQ(scene->centreX, x);
    EXPECT_EQ(scene->turnAngle, turn);
}

TEST_F(Clock, ACharacterWithoutARecordIsAGapAndTheLengthFollowsTheText) {
    Start("TOKEI=1\r\nOPTIONN=3\r\n");  // the default format: no record is named ':'
    clock->Show(At(9, 5, 0), settings, *scene);
    EXPECT_EQ(Records(), (std::vector<int32_t>{1, 10, 0, 1, 6, 0, 1, 1}));
    EXPECT_EQ(scene->slots[3].shape.pointCount, 0);
    EXPECT_EQ(scene->slots[8].cellCentreX, 5 * settings.SIZEY * 7) << "eight cells about the centre";

    Start("TOKEI=0\r\n");
    EXPECT_FALSE(clock->IsOn());
    Start("TOKEI=1\r\nTOKEIFMT=%S\r\n");
    clock->Show(At(9, 5, 7), settings, *scene);
    EXPECT_EQ(Records(), (std::vector<int32_t>{1, 8}));
}

}  // namespace
