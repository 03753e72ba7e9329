#pragma once
// The clock as the logo's text: each character of the local time in the
// slot of its position, shown by the first record of that name (a character
// without one leaves its slot empty).

#include <ctime>
#include <string>
#include <vector>

#include "scene/logo_scene.h"
#include "settings/settings_store.h"

class LogoClock {
public:
    // Reads the clock's settings and, when it is on, every named record, so
    // that no change of the time needs the file again.
    LogoClock(const ProfileStore& store, const ProfileNames& names);

    bool IsOn() const { return isOn_; }

    // Shows `time` in a built scene, writing the slots' choices (OPTIONN,
    // OPTIONAk) into `settings`. Only slots whose character changed are
    // loaded and set up again; all of them, with the move bounds, when the
    // number of characters changed (and at the first call). Motion and
    // turning carry on. Returns whether the text changed.
    bool Show(const std::tm& time, SaverSettings& settings, LogoScene& scene);

    // What the slots show now, one character each.
    const std::vector<std::string>& Characters() const { return shown_; }

private:
    struct NamedRecord {
        std::string name;
        int32_t number;
        ShapeRecord shape;
    };
    const NamedRecord* RecordNamed(const std::string& character) const;
    void ShowCharacter(int32_t slot, const std::string& character, SaverSettings& settings, LogoScene& scene) const;

    bool isOn_ = false;
    std::string format_;
    std::vector<NamedRecord> records_;  // in record order
    std::vector<std::string> shown_;    // none before the first call
    std::tm lastTime_{};
};
