#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/record_tokens.h"
#include "shape_record_text.h"

namespace {

std::vector<std::string> Tokens(std::string_view value) {
    std::vector<std::string> tokens;
    for (size_t position = 0; auto token = NextRecordToken(value, position);) tokens.emplace_back(*token);
    return tokens;
}

TEST(RecordTokens, CommasSeparateAndBlanksStay) {
    EXPECT_EQ(Tokens("A,,3"), (std::vector<std::string>{"A", "3"}));
    EXPECT_EQ(Tokens(",,A B, 12 ,,"), (std::vector<std::string>{"A B", " 12 "}));
    EXPECT_EQ(Tokens(""), std::vector<std::string>{});
    EXPECT_EQ(CountRecordTokens(kBox), 50);
}

TEST(RecordTokens, TheEndMarkerIsComparedWithoutCase) {
    EXPECT_TRUE(IsEndOfRecords("ZAHYO-END", "ZAHYO-END"));
    EXPECT_TRUE(IsEndOfRecords("zahyo-end,1,2", "ZAHYO-END"));
    EXPECT_FALSE(IsEndOfRecords(" ZAHYO-END", "ZAHYO-END"));
    EXPECT_FALSE(IsEndOfRecords("", "ZAHYO-END"));
}

TEST(RecordTokens, NamesAreCutToNineBytes) {
    char name[kNameBytes];
    CopyShapeName("ABCDEFGHIJK", name);
    EXPECT_STREQ(name, "ABCDEFGHI");
    CopyShapeName("", name);
    EXPECT_STREQ(name, "");
#ifndef _WIN32
    // Japanese code page: a double-byte character is never split.
    CopyShapeName("ABCDEFGH\x82\xa0", name);
    EXPECT_STREQ(name, "ABCDEFGH");
    CopyShapeName("ABCDEFG\x82\xa0Z", name);
    EXPECT_STREQ(name, "ABCDEFG\x82\xa0");
    CopyShapeName("AB\x82", name);  // a lone lead byte at the end
    EXPECT_STREQ(name, "AB");
#endif
}

TEST(RecordTokens, KeysSpellTheNumberWithoutSign) {
    EXPECT_EQ(RecordKey(7), "ZAHYO7");
    EXPECT_EQ(RecordKey(-1), "ZAHYO4294967295");
}

}  // namespace
