// korunex shapes: lists the shape records and, with --check, what is wrong with them.

#include <cstdio>

#include "linux/command_line.h"
#include "linux/terminal_text.h"
#include "scene/shape_check.h"
#include "scene/shape_record.h"
#include "settings/shape_names.h"

int RunShapesCommand(const Options& options) {
    ProfileNames names;
    LoadKeyNames(names);
    const IniFileStore store = OpenStore(options, names);
    const IniDocument* document = store.Document();
    if (document == nullptr) {
        PrintProblem("cannot read " + store.path().string());
        return 1;
    }

    int problems = 0, number = 1;
    for (;; ++number) {
        const std::string key = RecordKey(number);
        const std::string_view value = document->Find(names.shapeSection, key).value_or(names.endMarker);
        if (IsEndOfRecords(value, names.endMarker)) break;

        ShapeRecord shape;
        ParseShapeRecord(value.substr(0, kRecordBufferSize - 1), names.endMarker, shape);
        size_t position = 0;
        char name[kNameBytes];
        CopyShapeName(NextRecordToken(value, position).value_or(""), name);
        // Names come from the file, which may hold any bytes.
        std::printf("%3d  %-9s  %2d points  %2d contours\n", number, ForTerminal(name).c_str(), shape.pointCount,
                    shape.contourCount);

        if (!options.check) continue;
        for (const std::string& problem : CheckShapeRecord(number, value)) {
            std::printf("     %s\n", ForTerminal(problem).c_str());
            ++problems;
        }
    }
    const int records = number - 1;
    if (options.check) {
        if (records == 0) {
            std::printf("%s: no records in section [%s]\n", ForTerminal(store.path().string()).c_str(),
                        names.shapeSection);
            ++problems;
        }
        if (records > kMaxShapeNames) {
            std::printf("%d records: the dialog offers only the first %d\n", records, kMaxShapeNames);
            ++problems;
        }
        std::printf("%d records, %d problems\n", records, problems);
    }
    return problems == 0 ? 0 : 1;
}
