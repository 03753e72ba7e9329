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

// One record's tokens and what is found wrong with them, each problem named
// by the record's key and name.
struct RecordCheck {
    std::vector<std::string> tokens;
    std::string prefix;
    std::vector<std::string> problems;

    void Report(const std::string& text) { problems.push_back(prefix + text); }
    int NumberAt(size_t position) const { return ReadRecordNumber(tokens[position - 1]); }  // from 1

    void CheckText(std::string_view value);
    // The point count, or 0 when the tokens cannot hold the points it says.
    int CheckPointCount();
    // False when a contour's range is broken, so that the points cannot be told.
    bool CheckContours(int n);
    void CheckPoints(int n);
};

void RecordCheck::CheckText(std::string_view value) {
    const std::string name = tokens.empty() ? std::string() : tokens[0];
    if (value.size() > kRecordBufferSize - 1)
        Report("value is " + std::to_string(value.size()) + " characters long, " +
               std::to_string(kRecordBufferSize - 1) + " at most");
    if (name.size() > kNameBytes - 1)
        Report("name is " + std::to_string(name.size()) + " bytes long, " + std::to_string(kNameBytes - 1) +
               " at most");
    for (size_t t = 1; t < tokens.size(); ++t)
        if (!IsWholeNumber(tokens[t]))
            Report("token " + std::to_string(t + 1) + " \"" + tokens[t] + "\" is not a number");
}

int RecordCheck::CheckPointCount() {
    const int n = tokens.size() > 1 ? ReadRecordNumber(tokens[1]) : 0;
    if (n < 1 || n > kMaxPoints) {
        Report("point count " + std::to_string(n) + " is outside 1.." + std::to_string(kMaxPoints));
        return 0;
    }
    const size_t expected = kHeaderTokens + 2 * size_t(n);
    if (tokens.size() != expected) {
        Report(std::to_string(tokens.size()) + " tokens, " + std::to_string(expected) + " expected (34 + 2 x " +
               std::to_string(n) + ")");
        if (tokens.size() < expected) return 0;
    }
    return n;
}

bool RecordCheck::CheckContours(int n) {
    const int contourCount = NumberAt(8);
    if (contourCount < 1 || contourCount > kMaxContours) {
        Report("contour count " + std::to_string(contourCount) + " is outside 1.." + std::to_string(kMaxContours));
        return false;
    }
    int expectedFirst = 1;
    for (int c = 1; c <= contourCount; ++c) {
        const int first = NumberAt(7 + 2 * c), last = NumberAt(8 + 2 * c);
        const std::string contour = "contour " + std::to_string(c) + " (" + Range(first, last) + ")";
        if (first < 1 || first > last || last > n) {
            Report(contour + " is not a range within points " + Range(1, n));
            return false;
        }
        if (first != expectedFirst)
            Report(contour + " starts at point " + std::to_string(first) + ", " + std::to_string(expectedFirst) +
                   " expected");
        if (last - first + 1 < 3) Report(contour + " has " + std::to_string(last - first + 1) + " points, 3 at least");
        expectedFirst = last + 1;
    }
    if (expectedFirst != n + 1)
        Report("the contours cover points " + Range(1, expectedFirst - 1) + ", not " + Range(1, n));
    return true;
}

void RecordCheck::CheckPoints(int n) {
    for (int k = 1; k <= n; ++k) {
        const int x = NumberAt(kHeaderTokens + 2 * k - 1), y = NumberAt(kHeaderTokens + 2 * k);
        if (x <= -9999 || y <= -9999 || x >= 9999 || y >= 9999)
            Report("point " + std::to_string(k) + " (" + std::to_string(x) + ", " + std::to_string(y) +
                   ") lies outside -9998..9998");
    }
}

}  // namespace

std::vector<std::string> CheckShapeRecord(int number, std::string_view value) {
    RecordCheck check;
    for (size_t position = 0; auto token = NextRecordToken(value, position);) check.tokens.emplace_back(*token);
    check.prefix = RecordKey(number) + " \"" + (check.tokens.empty() ? std::string() : check.tokens[0]) + "\": ";
    check.CheckText(value);
    if (const int n = check.CheckPointCount(); n > 0 && check.CheckContours(n)) check.CheckPoints(n);
    return std::move(check.problems);
}
