#include <gtest/gtest.h>

#include <string>

#include "host/run_mode.h"

namespace {

std::string TailOf(const char* commandLine) {
    return CutArgumentTail(commandLine, NextByte);
}

RunMode ModeOf(const char* tail, bool legacy = false) {
    return ReadRunSwitch(tail, legacy).mode;
}

TEST(ArgumentTail, StartsAfterTheProgramNameAndTheBlanksThatFollowIt) {
    EXPECT_EQ(TailOf("C:\\Windows\\System32\\KORUNEX64.SCR /s"), "/s");
    EXPECT_EQ(TailOf("\"C:\\Program Files\\Saver\\KORUNEX64.SCR\"   /p 1234"), "/p 1234");
    EXPECT_EQ(TailOf("\"C:\\My Saver.scr\"/s"), "/s");
    EXPECT_EQ(TailOf("saver.scr\t/c"), "/c");              // a tab ends the name and is skipped
    EXPECT_EQ(TailOf("saver.scr \x01\x1F\t /s \"x\""), "/s \"x\"");  // quotes mean nothing later
    EXPECT_EQ(TailOf("\"C:\\no closing quote /s"), "");     // the quote runs to the end: the dialog
    EXPECT_EQ(TailOf("saver.scr"), "");
    EXPECT_EQ(TailOf(""), "");
}

TEST(ArgumentTail, StepsThroughTheCodePagesCharacterSteps) {
    // A stepper that takes a lead byte 0x81 with the byte after it, whatever
    // that byte is: a name of such characters is stepped whole.
    const NextCharFn doubleByte = [](const char* p) -> const char* {
        if (*p == '\0') return p;
        if (static_cast<unsigned char>(*p) == 0x81 && p[1] != '\0') return p + 2;
        return p + 1;
    };
    EXPECT_STREQ(CutArgumentTail("\"a\x81\"b\" /s", doubleByte), "/s");
    EXPECT_STREQ(CutArgumentTail("a\x81 b /s", doubleByte), "/s");
}

TEST(WindowNumber, ReadsLeadingDigitsAndWrapsAt64Bits) {
    EXPECT_EQ(ParseWindowNumber("1234"), 1234u);
    EXPECT_EQ(ParseWindowNumber("0042 7"), 42u);
    EXPECT_EQ(ParseWindowNumber("12abc"), 12u);
    EXPECT_EQ(ParseWindowNumber(""), 0u);
    EXPECT_EQ(ParseWindowNumber("-5"), 0u);
    EXPECT_EQ(ParseWindowNumber(" 5"), 0u);
    EXPECT_EQ(ParseWindowNumber("18446744073709551615"), UINT64_MAX);
    EXPECT_EQ(ParseWindowNumber("18446744073709551616"), 0u);
    EXPECT_EQ(ParseWindowNumber("18446744073709551617"), 1u);
    EXPECT_EQ(ParseWindowNumber("100000000000000000000000"), 200376420520689664u);  // 10^23 mod 2^64
}

TEST(RunSwitch, EmptyOrSeparatorOnlyTailsOpenTheDialogWithoutOwner) {
    for (const char* tail : {"", "/", "- /", "//--  "}) EXPECT_EQ(ModeOf(tail), RunMode::kSettings) << tail;
}

TEST(RunSwitch, AnySeparatorsThenSStartTheFullScreenRun) {
    for (const char* tail : {"/s", "/S", "-s", "s", "//s", "/sabc", " -/S 99"})
        EXPECT_EQ(ModeOf(tail), RunMode::kFullScreen) << tail;
}

TEST(RunSwitch, COwnerNumberOnlyAfterAColonRightBehindTheLetter) {
    struct Case { const char* tail; uint64_t owner; } cases[] = {
        {"/c", 0}, {"/C", 0}, {"/c 1234", 0}, {"/c:1234", 1234}, {"/c:0", 0}, {"/c: 1234", 0}, {"-c:77x", 77},
    };
    for (const Case& c : cases) {
        const RunSwitch chosen = ReadRunSwitch(c.tail, false);
        EXPECT_EQ(chosen.mode, RunMode::kSettingsOwned) << c.tail;
        EXPECT_EQ(chosen.windowNumber, c.owner) << c.tail;
    }
}

TEST(RunSwitch, PreviewSkipsSpacesButNotTabsBeforeTheParent) {
    struct Case { const char* tail; uint64_t parent; } cases[] = {
        {"/p 1234", 1234}, {"/p1234", 1234}, {"/P   1234", 1234}, {"/l 1234", 1234}, {"/L 9 8", 9},
        {"/p", 0}, {"/p 0", 0}, {"/p abc", 0}, {"/p -5", 0}, {"/p\t1234", 0},
    };
    for (const Case& c : cases) {
        const RunSwitch chosen = ReadRunSwitch(c.tail, false);
        EXPECT_EQ(chosen.mode, RunMode::kPreview) << c.tail;
        EXPECT_EQ(chosen.windowNumber, c.parent) << c.tail;
        EXPECT_EQ(ParseWindowNumber(chosen.numberText), c.parent) << c.tail;
    }
}

TEST(RunSwitch, PasswordChangeExistsOnlyOnTheLegacyFamily) {
    EXPECT_EQ(ModeOf("/a 1234", false), RunMode::kInvalid);
    const RunSwitch legacy = ReadRunSwitch("/A   1234", true);
    EXPECT_EQ(legacy.mode, RunMode::kPasswordChange);
    EXPECT_EQ(legacy.windowNumber, 1234u);
}

TEST(RunSwitch, EveryOtherByteEndsWithoutAMode) {
    for (const char* tail : {"/x", "/?", "/1", "/\ts", "\ts", "abc", "/\xD3", "/\x80s", "\"/s\""})
        EXPECT_EQ(ModeOf(tail), RunMode::kInvalid) << tail;
}

}  // namespace
