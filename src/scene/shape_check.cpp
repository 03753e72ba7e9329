#include "scene/shape_check.h"

#include <algorithm>
#include <cctype>

#include "scene/numbers.h"
#include "scene/shape_record.h"

namespace {

// True when the whole token, blanks aside, is one decimal number.
bool IsWholeNumber(std::string_view token) {
    const size_t begin = token.find_first_not_of(" \t");
    const size_t end = token.find_last_not_of(" \t");
    if (begin == std::string_view::npos) return false;
    token = token.substr(begin, end - begin + 1);
    size_t i = 0;
    if (token[i] == '+' || token[i] == '-') ++i;
    bool hasDigits = false;
    while (i < token.size() && std::isdigit(static_cast<unsigned char>(token[i]))) ++i, hasDigits = true;
    if (i < token.size() && token[i] == '.') {
        ++i;
        while (i < token.size() && std::isdigit(static_cast<unsigned char>(token[i]))) ++i, hasDigits = true;
    }
    if (hasDigits && i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        size_t j = i + 1;
        if (j < token.size() && (token[j] == '+' || token[j] == '-')) ++j;
        if (j < token.size() && std::isdigit(static_cast<unsigned char>(token[j]))) {
            while (j < token.size() && std::isdigit(static_cast<unsigned char>(token[j]))) ++j;
            i = j;
        }
    }
    return hasDigits && i == token.size();
}

std::string Range(int first, int last) { return std::to_string(first) + ".." + std::to_string(last); }

}  // namespace

std::vector<std::string> CheckShapeRecord(int number, std::string_view value) {
    std::vector<std::string> tokens;
    for (size_t position = 0; auto token = NextRecordToken(value, position);) tokens.emplace_back(*token);

    const std::string name = tokens.empty() ? std::string() : tokens[0];
    const std::string prefix = RecordKey(number) + " \"" + name + "\": ";
    std::vector<std::string> problems;
    auto report = [&](const std::string& text) { problems.push_back(prefix + text); };

    if (value.size() > kRecordBufferSize - 1)
        report("value is " + std::to_string(value.size()) + " characters long, " +
               std::to_string(kRecordBufferSize - 1) + " at most");
    if (name.size() > kNameBytes - 1)
        report("name is " + std::to_string(name.size()) + " bytes long, " + std::to_string(kNameBytes - 1) +
               " at most");
    for (size_t t = 1; t < tokens.size(); ++t)
        if (!IsWholeNumber(tokens[t]))
            report("token " + std::to_string(t + 1) + " \"" + tokens[t] + "\" is not a number");

    const int n = tokens.size() > 1 ? ReadRecordNumber(tokens[1]) : 0;
    if (n < 1 || n > kMaxPoints) {
        report("point count " + std::to_string(n) + " is outside 1.." + std::to_string(kMaxPoints));
        return problems;
    }
    const size_t expected = kHeaderTokens + 2 * size_t(n);
    if (tokens.size() != expected) {
        report(std::to_string(tokens.size()) + " tokens, " + std::to_string(expected) + " expected (34 + 2 x " +
               std::to_string(n) + ")");
        if (tokens.size() < expected) return problems;
    }

    auto numberAt = [&](size_t position) { return ReadRecordNumber(tokens[position - 1]); };
    const int contourCount = numberAt(8);
    if (contourCount < 1 || contourCount > kMaxContours) {
        report("contour count " + std::to_string(contourCount) + " is outside 1.." + std::to_string(kMaxContours));
        return problems;
    }
    int expectedFirst = 1;
    for (int c = 1; c <= contourCount; ++c) {
        const int first = numberAt(7 + 2 * c), last = numberAt(8 + 2 * c);
        const std::string contour = "contour " + std::to_string(c) + " (" + Range(first, last) + ")";
        if (first < 1 || first > last || last > n) {
            report(contour + " is not a range within points " + Range(1, n));
            return problems;
        }
        if (first != expectedFirst) report(contour + " starts at point " + std::to_string(first) + ", " +
                                           std::to_string(expectedFirst) + " expected");
        if (last - first + 1 < 3) report(contour + " has " + std::to_string(last - first + 1) + " points, 3 at least");
        expectedFirst = last + 1;
    }
    if (expectedFirst != n + 1)
        report("the contours cover points " + Range(1, expectedFirst - 1) + ", not " + Range(1, n));

    for (int k = 1; k <= n; ++k) {
        const int x = numberAt(kHeaderTokens + 2 * k - 1), y = numberAt(kHeaderTokens + 2 * k);
        if (x <= -9999 || y <= -9999 || x >= 9999 || y >= 9999)
            report("point " + std::to_string(k) + " (" + std::to_string(x) + ", " + std::to_string(y) +
                   ") lies outside -9998..9998");
    }
    return problems;
}
