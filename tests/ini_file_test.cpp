#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace std::string_view_literals;

// The differential test against the platform covers the reading rules; these
// are the ones a reader would most likely get wrong.
TEST(IniText, FindsValuesLikeTheProfileCalls) {
    const IniDocument document(
        "\xEF\xBB\xBF[korunex]\n"
        "  Timer =  100  \n"
        "name=\"quoted value\"\n"
        "empty=\n"
        "novalue\n"
        "[KORUNEX]\nSIZE=3\n"
        "[ Spaced ]\nA=1\n");
    EXPECT_EQ(document.Find("KORUNEX", "TIMER"), "100");
    EXPECT_EQ(CopiedProfileValue(document.Find("korunex", "NAME").value(), 512), "quoted value");
    EXPECT_EQ(CopiedProfileValue("\"quoted\"", 5), "quot") << "a cut copy keeps no closing quote";
    EXPECT_EQ(document.Find("KORUNEX", "empty"), "");
    EXPECT_EQ(document.Find("KORUNEX", "novalue"), std::nullopt);
    EXPECT_EQ(document.Find("KORUNEX", "SIZE"), std::nullopt) << "only the first section of a name counts";
    EXPECT_EQ(document.Find("Spaced", "A"), "1");
    EXPECT_EQ(IniDocument("[K]\rA=1\rB=2").Find("K", "B"), "2") << "a lone carriage return ends a line";
    EXPECT_EQ(IniDocument("[K] x]\nA=1\n[L\nB=2").Find("K] x", "B"), "2") << "up to the last ']'";
    EXPECT_EQ(IniDocument(std::string("\xFF\xFE[\0K\0]\0\n\0A\0=\0\x01\x0E", 16)).Find("K", "A"), "?");
}

// Cases read under the platform's profile calls.
TEST(IniText, NulBytesQuotesAndAskedNamesReadAsThePlatformReadsThem) {
    struct Case {
        std::string_view file;
        const char* section;
        const char* key;
        const char* read;
    };
    const Case cases[] = {
        {"[K\0x]\nA=1"sv, "K", "A", "1"},
        {"[K]\0x]\nA=1"sv, "K]", "A", "1"},  // the last ']' is past the NUL
        {"\0[K]\nA=1"sv, "K", "A", "default"},
        {"[K]\nA \0=1"sv, "K", "A", "default"},  // the key is "A "
        {"[K]\nA=1\0B=2\nB=3"sv, "K", "B", "3"},
        {"[K]\nA= 1 \0 2"sv, "K", "A", "1 "},
        {"[K]\nA=\"12\"\0x"sv, "K", "A", "12"},
        {"[K]\nA=\"12\0\""sv, "K", "A", "\"12"},
        {"[K]\nA='12\""sv, "K", "A", "'12\""},
        {"[K]\nA=1"sv, " K\t", "A\x1A", "1"},
    };
    for (const Case& c : cases) {
        const IniDocument document(c.file);
        char read[50];
        ReadDocumentString(&document, c.section, c.key, "default", read, sizeof read);
        EXPECT_STREQ(read, c.read) << testing::PrintToString(std::string(c.file));
    }
}

TEST(IniText, AWriteChangesOneLineAndKeepsEveryOtherByteForByte) {
    const std::string text = "top line\r\n[MOJI ZAHYO]\r\nZAHYO1=A, 1 ,2\r\n\r\n[KORUNEX]\r\ntimer=100\r\nSIZE=5\r\n";
    EXPECT_EQ(SetIniValue(text, "KORUNEX", "TIMER", "55"),
              "top line\r\n[MOJI ZAHYO]\r\nZAHYO1=A, 1 ,2\r\n\r\n[KORUNEX]\r\ntimer=55\r\nSIZE=5\r\n");
    // A new key joins the end of its section, before the blank line that separates sections.
    EXPECT_EQ(SetIniValue("[KORUNEX]\nA=1\n\n[X]\nB=2\n", "korunex", "C", "3"),
              "[KORUNEX]\nA=1\nC=3\n\n[X]\nB=2\n");
    // A missing section is added at the end, after a blank line, with the text's line ending.
    EXPECT_EQ(SetIniValue("[MOJI ZAHYO]\r\nZAHYO1=ZAHYO-END\r\n", "KORUNEX", "TIMER", "55"),
              "[MOJI ZAHYO]\r\nZAHYO1=ZAHYO-END\r\n\r\n[KORUNEX]\r\nTIMER=55\r\n");
    EXPECT_EQ(SetIniValue("", "KORUNEX", "TIMER", "55"), "[KORUNEX]\nTIMER=55\n");
    // A last line without its ending gets one before anything follows it.
    EXPECT_EQ(SetIniValue("[KORUNEX]\nA=1", "KORUNEX", "B", "2"), "[KORUNEX]\nA=1\nB=2\n");
    EXPECT_EQ(SetIniValue("[X]\nA=1", "KORUNEX", "B", "2"), "[X]\nA=1\n\n[KORUNEX]\nB=2\n");
    EXPECT_EQ(SetIniValue("[KORUNEX]\nA=1\r", "KORUNEX", "B", "2"), "[KORUNEX]\nA=1\rB=2\n")
        << "a last line ending in a lone carriage return";
    EXPECT_EQ(SetIniValue("\r\n\r", "K", "B", "2"), "\r\n\r[K]\r\nB=2\r\n") << "a last blank line separates";
    EXPECT_EQ(SetIniValue("\n", "K", "B", "2"), "\n[K]\nB=2\n");
    // Only the first of two sections of the same name is read, so only it is written.
    EXPECT_EQ(SetIniValue("[K]\nA=1\n[K]\nB=2\n", "K", "B", "3"), "[K]\nA=1\nB=3\n[K]\nB=2\n");
    // A file in UTF-16 stays in UTF-16, its byte-order mark first.
    EXPECT_EQ(SetIniValue(std::string("\xFE\xFF\0[\0K\0]", 8), "K", "A", "1"),
              std::string("\xFE\xFF\0[\0K\0]\0\n\0A\0=\0\x31\0\n", 18));
}

TEST(IniText, AValueWrittenIntoAMarkedFileReadsBackAsWritten) {
    // Such a file reads every character outside ASCII as '?', so every byte outside ASCII is written as one.
    const auto marked = [](std::string_view mark, std::string_view text) {
        std::string bytes(mark);
        for (const char c : text) {
            if (mark.size() != 2) bytes += c;
            else bytes += mark[0] == '\xFF' ? std::string{c, '\0'} : std::string{'\0', c};
        }
        return bytes;
    };
    const struct {
        std::string_view mark;
        std::string_view value;
        std::string_view read;
    } cases[] = {
        {"", "\xE9,2", "\xE9,2"},
        {"\xEF\xBB\xBF", "x\xC3\xA9,1", "x??,1"},
        {"\xFF\xFE", "\xE9,2,3", "?,2,3"},
        {"\xFE\xFF", "1\xF0,\x80", "1?,?"},
    };
    for (const auto& c : cases) {
        const std::string written = SetIniValue(marked(c.mark, "[K]\nA=1\nB=2\n"), "K", "A", c.value);
        const IniDocument document(written);
        EXPECT_EQ(document.Find("K", "A"), c.read) << testing::PrintToString(std::string(c.value));
        EXPECT_EQ(document.Find("K", "B"), "2") << testing::PrintToString(written);
    }
}

TEST(IniText, IntegersReadAsThePlatformReadsThem) {
    const uint32_t nines = [] {
        uint32_t v = 0;
        for (int i = 0; i < 23; ++i) v = v * 10 + 9;  // wraps as the platform's reading does
        return v;
    }();
    const std::pair<const char*, int32_t> cases[] = {
        {"55", 55}, {" -12", -12}, {"+7", 7}, {"12abc", 12}, {"abc", 0}, {"0x1A", 26}, {"-0b101", -5},
        {"0X1A", 0}, {"4294967295", -1}, {"4294967296", 0},  // wraps at 32 bits, never overflows
        {"99999999999999999999999", static_cast<int32_t>(nines)},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseProfileInt(text), value) << text;
}

}  // namespace
