// New records for a text: where they go in the shape file, what they are
// named, and how the file is replaced.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glyphs/shape_file_update.h"
#include "glyphs/text_codes.h"
#include "glyphs/text_letters.h"
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
    EXPECT_EQ(update->update.reused, (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(update->update.repeat, (std::vector<bool>{false, false, false, true}));
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

    // A file with a byte-order mark keeps only ASCII names.
    for (const std::string& marked : {std::string("\xEF\xBB\xBF["), std::string("\xFF\xFE[\0", 4),
                                      std::string("\xFE\xFF\0[", 4)})
        EXPECT_EQ(NameBytesOf(marked), NameBytes::kAscii);
    EXPECT_EQ(NameBytesOf("[MOJI ZAHYO]\n"), NameBytes::kCodePage);
    EXPECT_EQ(RecordName(U'あ', NameBytes::kAscii), "U+3042");
    EXPECT_EQ(RecordName(U'K', NameBytes::kAscii), "K");
}

// The file as UTF-16LE with its byte-order mark.
std::string Utf16(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) out += {c, '\0'};
    return out;
}

TEST_F(TextRecords, NamedAsTheFileKeepsThemReadBackAndAreReusedInFilesWithAByteOrderMark) {
    for (const std::string& file : {kFile, Utf16(kFile), "\xEF\xBB\xBF" + kFile}) {
        const std::vector<TextRecord> records{{Record(RecordName(U'あ', NameBytesOf(file)), 40)},
                                              {Record(RecordName(U'K', NameBytesOf(file)), 50)}};
        std::string problem;
        const auto once = AddTextRecords(file, records, false, problem);
        ASSERT_TRUE(once) << problem;
        EXPECT_EQ(once->update.added, 2);
        IniTextStore written(once->text);
        char value[512];
        written.ReadString("MOJI ZAHYO", "ZAHYO3", "", value, sizeof value);
        EXPECT_EQ(value, records[0].value);
        const auto twice = AddTextRecords(once->text, records, false, problem);
        ASSERT_TRUE(twice) << problem;
        EXPECT_EQ(twice->update.added, 0);
        EXPECT_EQ(twice->update.reused, (std::vector<bool>{true, true}));
        EXPECT_EQ(twice->text, once->text);
    }
}

TEST(JsonStrings, AreValidJsonAndSafeOnATerminalWhateverTheBytes) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"plain", R"("plain")"},
        {"say \"hi\" \\ bye", R"("say \"hi\" \\ bye")"},
        {"A\x1b]2;x\aB", R"("A\u001b]2;x\u0007B")"},  // a terminal's title change
        {"\x7f\xc2\x9b", R"("\u007f\u009b")"},       // DEL and the C1 CSI
        {"\xff\x82\xa0", R"("\u00ff\u0082\u00a0")"},   // no UTF-8: a byte each
        {"\xe3\x81", R"("\u00e3\u0081")"},            // a character cut short
        {"Kあ\xc2\xa0", "\"Kあ\xc2\xa0\""},             // printable UTF-8 stays
        {std::string_view("\0", 1), R"("\u0000")"},
    };
    for (const auto& [text, json] : cases) EXPECT_EQ(QuoteJson(text), json) << text;
}

// A text as LoadLetters gives it, each glyph with an outline but the blank's.
TextLetters Loaded(const std::u32string& text) {
    TextLetters letters;
    letters.characters = text;
    for (char32_t c : text) {
        if (letters.distinct.find(c) == std::u32string::npos) {
            letters.distinct += c;
            GlyphOutline& glyph = letters.glyphs.glyphs.emplace_back(GlyphOutline{c, true, {}});
            if (c != U' ') glyph.contours.push_back({{0, 0}, {{CurveSegment::kLine, {}, {}, {10, 10}}}});
        }
        letters.shapeOf.push_back(letters.distinct.find(c));
    }
    return letters;
}

TEST(TextsBeforeTheFit, AreRefusedWhenThePlanWouldSurelyRefuseThem) {
    FileRecords full;  // 98 records, all named R
    full.count = 98;
    full.names = {"R"};
    const struct {
        std::u32string text;
        bool use;
        FileRecords file;
        const char* refusal;  // null: may go on
    } cases[] = {
        {U"ABCDEFGHI", true, {}, nullptr},
        {U"ABCDEFGHIJ", true, {}, "at most 9 characters, not 10"},
        {U"   ", true, {}, "no visible character"},
        {U"   ", false, {}, nullptr},  // nothing to add, nothing shown
        {U"A A", false, full, nullptr},  // one new record: the 99th
        {U"AB", false, full, "would hold 100 shape records"},
        {U"RA", false, full, nullptr},  // R may be there already
        {U"RAB", false, full, "would hold at least 100 shape records"},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> refusal = RefuseBeforeFit(Loaded(c.text), c.use, c.file, NameBytes::kCodePage);
        if (!c.refusal)
            EXPECT_FALSE(refusal) << *refusal;
        else
            EXPECT_TRUE(refusal && refusal->find(c.refusal) != std::string::npos) << refusal.value_or("none");
    }
}

}  // namespace
