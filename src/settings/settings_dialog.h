#pragma once
// The configuration dialog as a plain state machine: it takes the dialog's
// control events and keeps what every control shows, so that the platform's
// dialog procedure only passes events in and copies the shown state out.
//
// Control ids are those of the dialog's template (settings/dialog_controls.h).
// Slots count from 1 (No.1 to No.9); a slot's shape choice is a list index:
// 0 is the blank entry and n is shape record n.

#include <array>
#include <cassert>
#include <cstdint>

#include "settings/dialog_controls.h"
#include "settings/profile_store.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"
#include "settings/shape_names.h"

enum class DialogControlKind : uint8_t { kNone, kList, kCheck, kRadio, kBar, kNumber };

// The kind of control `id` is in the template (push buttons, labels and
// frames count as kNone: the dialog never changes what they show).
DialogControlKind DialogControlKindOf(int id);

// One horizontal scroll bar: its setting, range, steps and number display.
struct DialogBar {
    int id;
    SettingField field;
    int32_t minimum, maximum;
    int32_t lineStep, pageStep;
    int numberId;
};

// The 15 bars in the order they are set up at opening.
extern const std::array<DialogBar, 15> kDialogBars;

// What one control shows. Fields that do not apply to its kind stay unused.
struct ControlView {
    bool enabled = true;
    bool checked = false;    // check boxes and radios
    int32_t selection = -1;  // lists: the index shown, -1 for none
    int32_t value = 0;       // bars: the thumb position asked for; numbers: the number (shown unsigned)

    bool operator==(const ControlView&) const = default;
};

// Every control with an id from IDC_FIRST to IDC_LAST.
struct DialogView {
    static constexpr int kFirstId = IDC_FIRST, kLastId = IDC_LAST;
    std::array<ControlView, kLastId - kFirstId + 1> controls;

    // `id` must lie in the range.
    ControlView& operator[](int id) { return controls[Index(id)]; }
    const ControlView& operator[](int id) const { return controls[Index(id)]; }

    static size_t Index(int id) {
        assert(id >= kFirstId && id <= kLastId);
        return static_cast<size_t>(id - kFirstId);
    }
};

enum class DialogWarning : uint8_t {
    kNone,
    kSelectAtLeastOne,   // slot 1 cannot be blank
    kNoBlankInMiddle,    // the chosen slots must run on from No.1 without a gap
    kSettingsNotSaved,   // OK could not write the ini file; the dialog stays open
};

// What the platform has to do after an event, besides showing the new view:
// show a warning box (after the view, so that the box sees the corrected
// controls) and end the dialog when `endResult` is 0 or 1.
struct DialogReply {
    DialogWarning warning = DialogWarning::kNone;
    int32_t endResult = -1;  // -1 while the dialog stays open
};

struct SettingsDialog {
    ProfileNames names;
    SaverSettings settings;
    ShapeNameList shapes;         // what the nine slot lists offer after their blank entry
    int32_t currentColorSlot;     // 1..9: the slot whose colour the colour radios edit
    DialogView view;
};

// Opening: loads the names, the settings and the shape names from `store` and
// sets up every control. The lists are to be filled with a blank entry and
// then shapes.names[1..count] before the view is shown.
void BeginSettingsDialog(SettingsDialog& dialog, const ProfileStore& store);

// A slot list's report of its selection `selection` (-1 for none) for slot
// 1..9: keeps the chosen slots contiguous from No.1 and OPTIONN equal to their
// number, correcting the list and warning when a choice would break that.
// Running it again on an unchanged selection changes nothing. A report
// without a selection (the stored number lies beyond the list) counts as the
// nearest choice the list offers: its last record for a larger number, the
// blank (record 1 in slot 1) for a negative one; slot 1 keeps its number
// only while the list offers no record at all.
DialogWarning SlotListRule(SettingsDialog& dialog, int slot, int32_t selection);

// A command from control `id`, whatever its notification. For a slot list,
// `listSelection` is the index the list shows now (-1 for none); otherwise it
// is not looked at. OK saves into `store`.
DialogReply HandleDialogCommand(SettingsDialog& dialog, int id, int32_t listSelection, ProfileStore& store);

// Scroll events, numbered as the platform numbers them.
enum class ScrollEvent : int {
    kLineLeft = 0,
    kLineRight = 1,
    kPageLeft = 2,
    kPageRight = 3,
    kThumbPosition = 4,
    kThumbTrack = 5,
    kLeftEnd = 6,
    kRightEnd = 7,
    kEndScroll = 8,
};

// An event of bar `barId`; `thumbPosition` is read for the two thumb events.
// Events of any other id change nothing.
void HandleDialogScroll(SettingsDialog& dialog, int barId, ScrollEvent event, int32_t thumbPosition);
