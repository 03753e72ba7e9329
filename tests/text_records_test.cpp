// New records for a text: where they go in the shape file, what they are
// named, and how the file is replaced.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glyphs/shape_file_update.h"
#include "glyphs/text_codes.h"
#include "settings/ini_text_store.h"
#include "scene/shape_library.h"
#include "temp_ini_file.h"

namespace {

class TextRecords : public ::testing::Test {
protected:
    void SetUp() override { LoadKeyNames(names); }

    // The file's text after the planned writes, or nothing when refused.
    struct Outcome {
        ShapeFileUpdate update;
        std::string text;
    };
    std::optional<Outcome> AddTextRecords(const std::string& file, const std::vector<TextRecord>& records, bool use,
                                          std::string& problem) {
        IniTextStore store(file);
        std::optional<ShapeFileUpdate> update = PlanTextRecords(store, names, records, use, problem);
        if (!update) return std::nullopt;
        EXPECT_TRUE(WriteTextRecords(store, *update));
        return Outcome{*update, store.text()};
    }

    ProfileNames names;
};

// A hand-kept file: comments, blank lines, CRLF endings, settings after the shapes.
const std::string kFile =
    "; my shapes\r\n"
    "[MOJI ZAHYO]\r\n"
    "ZAHYO1=A,3,0,0,0,0,0,1,1,3,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,10,10,0,0,0\r\n"
    "  ; the next one is mine\r\n"
    "ZAHYO2=B,3,0,0,0,0,0,1,1,3,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,20,20,0,0,0\r\n"
    "ZAHYO3=ZAHYO-END\r\n"
    "\r\n"
    "[KORUNEX]\r\n"
    "OPTIONA1=2\r\n"
    "OPTIONN=1\r\n";

std::string Record(const std::string& name, int size) {
    return name + ",3,0,0,0,0,0,1,1,3,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0," + std::to_string(size) + "," +
           std::to_string(size) + ",0,0,0";
}

// Every line of `before` in order in `after`, byte for byte.
bool KeepsEveryLine(const std::string& before, const std::string& after, const std::string& except = "") {
    size_t at = 0;
    for (size_t begin = 0; begin < before.size();) {
        const size_t end = before.find('\n', begin) + 1;
        const std::string line = before.substr(begin, end - begin);
        begin = end;
        if (!except.empty() && line.starts_with(except)) continue;
        at = after.find(line, at);
        if (at == std::string::npos) return false;
        at += line.size();
    }
    return true;
}

TEST_F(TextRecords, GoAfterTheLastRecordAndLeaveEveryOtherLineAsItWas) {
    std::string problem;
    const auto update =
        AddTextRecords(kFile, {{Record("C", 30)}, {""}, {Record("B", 20)}, {Record("C", 30)}}, false, problem);
    ASSERT_TRUE(update) << problem;
    EXPECT_EQ(update->update.recordNumbers,
              (std::vector<int32_t>{3, 0, 2, 3}));  // B was there; the second C is the first
    EXPECT_EQ(update->update.reused, (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(update->update.added, 1);
    EXPECT_TRUE(KeepsEveryLine(kFile, update->text, "ZAHYO3=")) << update->text;
    EXPECT_NE(update->text.find("ZAHYO3=" + Record("C", 30) + "\r\nZAHYO4=ZAHYO-END\r\n\r\n[KORUNEX]"),
              std::string::npos)
        << update->text;
    EXPECT_EQ(IniDocument(update->text).Find("KORUNEX", "OPTIONN"), "1");  // without --use the slots stay

    // With --use the slots show the text; the blank is an empty slot.
    const auto used = AddTextRecords(kFile, {{Record("C", 30)}, {""}}, true, problem);
    ASSERT_TRUE(used) << problem;
    EXPECT_EQ(IniDocument(used->text).Find("KORUNEX", "OPTIONA1"), "3");
    EXPECT_EQ(IniDocument(used->text).Find("KORUNEX", "OPTIONA2"), "0");
    EXPECT_EQ(IniDocument(used->text).Find("KORUNEX", "OPTIONN"), "2");

    // Adding records that are all there changes nothing.
    const auto again = AddTextRecords(update->text, {{Record("C", 30)}, {Record("A", 10)}}, false, problem);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->text, update->text);
    EXPECT_EQ(again->update.recordNumbers, (std::vector<int32_t>{3, 1}));
}

TEST_F(TextRecords, AreRefusedWhereTheyWouldBreakTheFileOrTheDialog) {
    std::string problem;
    // Ten characters cannot be shown by nine slots.
    EXPECT_FALSE(AddTextRecords(kFile, std::vector<TextRecord>(10, {Record("C", 30)}), true, problem));
    EXPECT_NE(problem.find("at most 9"), std::string::npos);

    // 98 records and three new ones pass the 99 the dialog lists.
    std::string full = "[MOJI ZAHYO]\n";
    for (int k = 1; k <= 98; ++k) full += RecordKey(k) + "=" + Record("R", k) + "\n";
    EXPECT_TRUE(AddTextRecords(full, {{Record("X", 1)}}, false, problem));
    EXPECT_FALSE(AddTextRecords(full, {{Record("X", 1)}, {Record("Y", 2)}}, false, problem));
    EXPECT_NE(problem.find("99"), std::string::npos) << problem;

    // A key left after the end marker would become a record: refused, not taken in.
    std::string orphan = kFile;
    orphan.insert(orphan.find("\r\n[KORUNEX]"), "ZAHYO5=" + Record("old", 5) + "\r\n");
    EXPECT_TRUE(AddTextRecords(orphan, {{Record("C", 30)}}, false, problem));  // 3 and the marker at 4
    EXPECT_FALSE(AddTextRecords(orphan, {{Record("C", 30)}, {Record("D", 40)}}, false, problem));
    EXPECT_NE(problem.find("ZAHYO5"), std::string::npos) << problem;
}

TEST(RecordNames, AreTheCharacterInTheCodePageOrItsCodePoint) {
    EXPECT_EQ(RecordName(U'K'), "K");
    EXPECT_EQ(RecordName(U'あ'), "\x82\xA0");  // two bytes of the Japanese code page
    EXPECT_EQ(RecordName(U','), "U+002C");     // a comma would end the name
    EXPECT_EQ(RecordName(U' '), "U+0020");
    EXPECT_EQ(RecordName(U'\u00E9'), "U+00E9");  // é is not in the code page
    EXPECT_EQ(RecordName(U'\U0001F600'), "U+1F600");
    for (char32_t c : {U'K', U'あ', U',', U'\U0001F600'}) EXPECT_LE(RecordName(c).size(), size_t(kNameBytes - 1));

    EXPECT_EQ(DecodeUtf8("Kあ\xF0\x9F\x98\x80"), (std::u32string{U'K', U'あ', U'\U0001F600'}));
    for (const char* broken : {"\xE3\x81", "\xC0\xAF", "\xED\xA0\x80", "\x80", "\xF5\x80\x80\x80"})
        EXPECT_FALSE(DecodeUtf8(broken)) << broken;
    for (char32_t c : {U'K', U'é', U'あ', U'\U0001F600'}) EXPECT_EQ(DecodeUtf8(EncodeUtf8(c)), std::u32string(1, c));
}

}  // namespace
