#pragma once
// Shape record values and shape sections written in code for the tests.

#include <string>
#include <utility>
#include <vector>

#include "scene/shape_record.h"
#include "temp_ini_file.h"

// A record value for the given points and ranges.
inline std::string Record(const std::string& name, const std::vector<ShapePoint>& points,
                   const std::vector<ContourRange>& contours, const std::string& reversed = "0,0,0,0") {
    std::string value = name;
    auto add = [&](const std::string& token) { value.append(",").append(token); };
    add(std::to_string(points.size()));
    add("0");
    add(reversed);
    add(std::to_string(contours.size()));
    for (size_t c = 0; c < 13; ++c) {
        const ContourRange range = c < contours.size() ? contours[c] : ContourRange{0, 0};
        add(std::to_string(range.first));
        add(std::to_string(range.last));
    }
    for (const ShapePoint& p : points) {
        add(std::to_string(p.x));
        add(std::to_string(p.y));
    }
    return value;
}

inline const std::string kBox = Record("Box", {{-40, -50}, {40, -50}, {40, 50}, {-40, 50}, {-20, -20}, {20, -20}, {20, 20}, {-20, 20}},
                                {{1, 4}, {5, 8}});

// Replaces the file's content with a shape section of the given keys and values.
inline void WriteShapeSection(const TempIniFile& file, const std::vector<std::pair<std::string, std::string>>& records) {
    std::string text = "[MOJI ZAHYO]\r\n";
    for (const auto& [key, value] : records) text += key + "=" + value + "\r\n";
    file.Write(text);
}
