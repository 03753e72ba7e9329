#pragma once
// Plain-language checks of shape records for the command-line tools. The
// saver itself never complains: it keeps whatever it reads within its limits.

#include <string>
#include <string_view>
#include <vector>

// What is wrong with the full value of record `number` (empty when sound).
// Each message starts with the record's key and name, e.g.
// `ZAHYO7 "B": 48 tokens, 50 expected (34 + 2 x 8)`.
std::vector<std::string> CheckShapeRecord(int number, std::string_view value);
