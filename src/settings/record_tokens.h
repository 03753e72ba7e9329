#pragma once
// The shape section's values as the ini file spells them: record n is the
// key "ZAHYO" + n, its value a list of tokens whose first is the record's
// name, and the section's records end at the end marker.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr int kNameBytes = 10;  // 9 bytes of text and the terminating zero

// The saver reads at most 511 bytes of a record, the name list 254.
inline constexpr size_t kRecordBufferSize = 512;
inline constexpr size_t kNameBufferSize = 255;

// The key of record `number` ("%u" of the number, so never with a sign).
std::string RecordKey(int32_t number);

// The next token of a record value from `position` on, which it moves past
// the token: commas separate, runs of commas count as one and leading commas
// are skipped; blanks stay inside tokens. Nothing when no token is left.
std::optional<std::string_view> NextRecordToken(std::string_view value, size_t& position);

// How many tokens a value holds.
int CountRecordTokens(std::string_view value);

// True when the value's first token is `endMarker` (compared without case):
// no record. A missing key reads as the marker too.
bool IsEndOfRecords(std::string_view value, std::string_view endMarker);

// Copies a name token into a name slot, cut to 9 bytes without splitting a
// double-byte character (a lead byte left alone at the end is dropped).
void CopyShapeName(std::string_view token, char (&name)[kNameBytes]);
