#include "settings/settings_dialog.h"

#include <algorithm>
#include <cassert>
#include <span>

using S = SaverSettings;

namespace {

// A bar's range is the saver's limit of its setting.
constexpr DialogBar Bar(int id, SettingField field, int32_t lineStep, int32_t pageStep, int numberId) {
    const SettingLimit limit = LimitOf(field);
    return {id, field, limit.minimum, limit.maximum, lineStep, pageStep, numberId};
}

constexpr DialogBar SlotStepBar(int slot) {
    return Bar(kSlotStepBarIds[slot - 1], kSlotStepFields[slot - 1], 1, 1, kSlotStepNumberIds[slot - 1]);
}

}  // namespace

constinit const std::array<DialogBar, 15> kDialogBars = {{
    Bar(kWidthBar, &S::HABA, 1, 5, kWidthNumber),
    Bar(kStepBar, &S::STEPRAG, 1, 1, kStepNumber),
    SlotStepBar(1), SlotStepBar(2), SlotStepBar(3), SlotStepBar(4), SlotStepBar(5),
    SlotStepBar(6), SlotStepBar(7), SlotStepBar(8), SlotStepBar(9),
    Bar(kSizeBar, &S::SIZE, 1, 5, kSizeNumber),
    Bar(kSizeYBar, &S::SIZEY, 1, 5, kSizeYNumber),
    Bar(kMoveBar, &S::SIZEIDO, 1, 5, kMoveNumber),
    Bar(kTimerBar, &S::TIMER, 1, 5, kTimerNumber),
}};

namespace {

// A group of radios that sets one setting to the value of the radio
// clicked. A value that no radio has (a hand-edited file) shows radio
// `shownOtherwise`, whose value the saver runs such a file with.
struct RadioGroup {
    SettingField field;
    std::span<const int> ids;
    std::span<const int32_t> values;  // per radio of `ids`
    size_t shownOtherwise;
};

constexpr std::array<int, 2> kModeRadioIds = {kMoveAndTurnRadio, kTurnInCentreRadio};
constexpr std::array<int32_t, 2> kModeValues = {2, 1};
constexpr std::array<int, 2> kTurnRadioIds = {kTurnAsWholeRadio, kTurnEachRadio};
constexpr std::array<int32_t, 2> kTurnValues = {0, 1};
constexpr std::array<int32_t, 10> kViewValues = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
constexpr std::array<int32_t, 7> kPerspectiveValues = {0, 5, 10, 15, 20, 25, 30};
static_assert(kViewValues.size() == kViewRadioIds.size() && kPerspectiveValues.size() == kPerspectiveRadioIds.size());

constexpr RadioGroup kRadioGroups[] = {
    {&S::OPTIONP, kModeRadioIds, kModeValues, 1},
    {&S::KAITEN, kTurnRadioIds, kTurnValues, 0},
    {&S::VIEW, kViewRadioIds, kViewValues, 0},
    {&S::ENKIN, kPerspectiveRadioIds, kPerspectiveValues, 0},
};


// Check boxes that only flip their setting.
struct PlainCheck {
    int id;
    SettingField field;
};

constexpr PlainCheck kPlainChecks[] = {
    {IDC_SLOT1_SPIN, &S::ZKAITEN1}, {IDC_SLOT2_SPIN, &S::ZKAITEN2}, {IDC_SLOT3_SPIN, &S::ZKAITEN3},
    {IDC_SLOT4_SPIN, &S::ZKAITEN4}, {IDC_SLOT5_SPIN, &S::ZKAITEN5}, {IDC_SLOT6_SPIN, &S::ZKAITEN6},
    {IDC_SLOT7_SPIN, &S::ZKAITEN7}, {IDC_SLOT8_SPIN, &S::ZKAITEN8}, {IDC_SLOT9_SPIN, &S::ZKAITEN9},
    {kClearScreenCheck, &S::BKMODE}, {kAfterImageCheck, &S::ZANZOU},
};

// 1-based position of `id` in `ids`, or 0.
int PositionIn(std::span<const int> ids, int id) {
    const auto found = std::find(ids.begin(), ids.end(), id);
    return found == ids.end() ? 0 : static_cast<int>(found - ids.begin()) + 1;
}

// The group radio `id` belongs to, or null.
const RadioGroup* GroupOf(int id) {
    for (const RadioGroup& group : kRadioGroups)
        if (PositionIn(group.ids, id)) return &group;
    return nullptr;
}

int32_t& ShapeChoice(SaverSettings& settings, int slot) { return settings.*kShapeChoiceFields[slot - 1]; }
int32_t& SlotColour(SaverSettings& settings, int slot) { return settings.*kSlotColourFields[slot - 1]; }

// What the saver makes of a switch: the screen is cleared at start only for
// BKMODE 1, and every other switch is on for any value but 0. A check mark
// shows that, so that a hand-edited value reads as the saver runs it, and a
// click turns the switch to the plain value of the other state.
bool IsSwitchOn(int checkId, int32_t setting) { return checkId == kClearScreenCheck ? setting == 1 : setting != 0; }

void ShowCheck(DialogView& view, int id, int32_t setting) { view[id].checked = IsSwitchOn(id, setting); }

void FlipCheck(DialogView& view, int id, int32_t& setting) {
    setting = IsSwitchOn(id, setting) ? 0 : 1;
    ShowCheck(view, id, setting);
}

// Checks `id` and unchecks the other radios of its group.
void CheckRadio(DialogView& view, std::span<const int> group, int id) {
    for (int other : group) view[other].checked = other == id;
}

void ShowColour(DialogView& view, int32_t code) {
    const int id = code >= 2 && code <= 7 ? kColourRadioIds[code - 1] : kColourRadioIds[0];
    CheckRadio(view, kColourRadioIds, id);
}

void ShowBar(DialogView& view, const DialogBar& bar, int32_t setting) {
    view[bar.numberId].value = setting;
    view[bar.id].value = setting;
}

const DialogBar* FindBar(int id) {
    const auto found = std::find_if(kDialogBars.begin(), kDialogBars.end(), [id](const DialogBar& b) { return b.id == id; });
    return found == kDialogBars.end() ? nullptr : &*found;
}

// A list can show its blank entry and records 1..count; any other stored
// number leaves it without a selection.
int32_t ListIndexFor(int32_t choice, int32_t count) { return choice >= 0 && choice <= count ? choice : -1; }

void ShowSlotCount(SettingsDialog& dialog) { dialog.view[kSlotCountNumber].value = dialog.settings.OPTIONN; }

void SelectColourSlot(SettingsDialog& dialog, int slot) {
    dialog.currentColorSlot = slot;
    CheckRadio(dialog.view, kSlotRadioIds, kSlotRadioIds[slot - 1]);
    ShowColour(dialog.view, SlotColour(dialog.settings, slot));
}

void ChooseColour(SettingsDialog& dialog, int code) {
    SaverSettings& s = dialog.settings;
    (s.COLORS != 0 ? SlotColour(s, dialog.currentColorSlot) : s.COLOR) = code;
    CheckRadio(dialog.view, kColourRadioIds, kColourRadioIds[code - 1]);
}

void ToggleSlotColours(SettingsDialog& dialog) {
    SaverSettings& s = dialog.settings;
    DialogView& view = dialog.view;
    FlipCheck(view, kSlotColoursCheck, s.COLORS);
    const bool perSlot = s.COLORS != 0;
    for (int id : kSlotRadioIds) view[id].checked = false;
    // Turned on, the radios of the slots in use can be clicked (the others
    // keep their state; a hand-edited count above nine stops at the ninth).
    // Turned off, none can: they would edit nothing.
    const int lastEnabled = perSlot ? std::clamp(s.OPTIONN, 1, 9) : 9;
    for (int slot = 1; slot <= lastEnabled; ++slot) view[kSlotRadioIds[slot - 1]].enabled = perSlot;
    if (perSlot) {
        s.COLOR = s.OPTIONC1;
        view[kSlotRadioIds[0]].checked = true;
        dialog.currentColorSlot = 1;
    }
    ShowColour(view, s.COLOR);
}

void ToggleSizeSync(SettingsDialog& dialog) {
    SaverSettings& s = dialog.settings;
    DialogView& view = dialog.view;
    FlipCheck(view, kSyncSizeCheck, s.SIZES);
    view[kSizeYBar].enabled = s.SIZES == 0;
    if (s.SIZES != 0) {
        s.SIZEY = s.SIZE;
        view[kSizeYNumber].value = s.SIZEY;
    } else {
        view[kSizeYBar].value = s.SIZEY;
    }
}

}  // namespace

DialogControlKind DialogControlKindOf(int id) {
    using K = DialogControlKind;
    if (PositionIn(kSlotListIds, id)) return K::kList;
    if (id == kAutoWidthCheck || id == kSyncSizeCheck || id == kSlotColoursCheck) return K::kCheck;
    for (const PlainCheck& check : kPlainChecks)
        if (check.id == id) return K::kCheck;
    if (PositionIn(kSlotRadioIds, id) || PositionIn(kColourRadioIds, id) || GroupOf(id)) return K::kRadio;
    for (const DialogBar& bar : kDialogBars) {
        if (bar.id == id) return K::kBar;
        if (bar.numberId == id) return K::kNumber;
    }
    return id == kSlotCountNumber ? K::kNumber : K::kNone;
}

void BeginSettingsDialog(SettingsDialog& dialog, const ProfileStore& store) {
    LoadKeyNames(dialog.names);
    LoadSettings(store, dialog.names, dialog.settings);
    ListShapeNames(store, dialog.names, dialog.shapes);
    dialog.view = DialogView{};
    dialog.currentColorSlot = 1;

    SaverSettings& s = dialog.settings;
    DialogView& view = dialog.view;
    for (int slot = 1; slot <= 9; ++slot)
        view[kSlotListIds[slot - 1]].selection = ListIndexFor(ShapeChoice(s, slot), dialog.shapes.count);
    for (int slot = 1; slot <= 9; ++slot) ShowCheck(view, kSlotSpinCheckIds[slot - 1], s.*kSlotSpinFields[slot - 1]);

    for (const RadioGroup& group : kRadioGroups) {
        const auto found = std::find(group.values.begin(), group.values.end(), s.*group.field);
        const size_t shown = found != group.values.end() ? size_t(found - group.values.begin()) : group.shownOtherwise;
        CheckRadio(view, group.ids, group.ids[shown]);
    }
    ShowCheck(view, kClearScreenCheck, s.BKMODE);
    ShowCheck(view, kAfterImageCheck, s.ZANZOU);
    ShowSlotCount(dialog);

    ShowCheck(view, kAutoWidthCheck, s.HABAJIDO);
    ShowCheck(view, kSyncSizeCheck, s.SIZES);
    for (const DialogBar& bar : kDialogBars) ShowBar(view, bar, s.*bar.field);
    view[kWidthBar].enabled = s.HABAJIDO == 0;
    view[kSizeYBar].enabled = s.SIZES == 0;

    ShowCheck(view, kSlotColoursCheck, s.COLORS);
    if (s.COLORS != 0) {
        s.COLOR = s.OPTIONC1;
        view[kSlotRadioIds[0]].checked = true;
    } else {
        for (int id : kSlotRadioIds) view[id].enabled = false;
    }
    ShowColour(view, s.COLOR);
}

DialogWarning SlotListRule(SettingsDialog& dialog, int slot, int32_t selection) {
    assert(slot >= 1 && slot <= 9);
    SaverSettings& s = dialog.settings;
    const int32_t count = dialog.shapes.count;
    int32_t& choice = ShapeChoice(s, slot);
    ControlView& list = dialog.view[kSlotListIds[slot - 1]];

    if (selection < 0 || selection > count) {
        // No selection: the stored number lies beyond the list. The slot
        // takes the nearest choice the list can show, so that it never keeps
        // a record that does not exist; slot 1 has none without records.
        if (slot == 1 && count == 0) return DialogWarning::kNone;
        selection = std::clamp(choice, slot == 1 ? 1 : 0, count);
    }

    if (slot == 1) {
        if (selection == 0) {
            list.selection = ListIndexFor(1, count);
            if (count >= 1) choice = 1;
            return DialogWarning::kSelectAtLeastOne;
        }
        choice = list.selection = selection;
        return DialogWarning::kNone;
    }

    DialogWarning warning = DialogWarning::kNone;
    // A report of the choice the slot already holds (the list gaining or
    // losing the focus) is no new choice and is not checked again: a file
    // edited by hand with a gap would otherwise warn on every focus change.
    const bool isNewChoice = selection != choice;
    list.selection = selection;
    if (isNewChoice && selection == 0 && slot <= 8 && ShapeChoice(s, slot + 1) != 0) {
        list.selection = ListIndexFor(1, count);
        warning = DialogWarning::kNoBlankInMiddle;
    } else if (isNewChoice && selection != 0 && slot >= 3 && ShapeChoice(s, slot - 1) == 0) {
        list.selection = 0;
        warning = DialogWarning::kNoBlankInMiddle;
    }
    choice = std::max(list.selection, 0);

    if (choice == 0 && s.OPTIONN == slot) s.OPTIONN = slot - 1;
    else if (choice != 0 && s.OPTIONN == slot - 1) s.OPTIONN = slot;
    ShowSlotCount(dialog);
    dialog.view[kSlotRadioIds[slot - 1]].enabled = s.COLORS != 0;
    return warning;
}

DialogReply HandleDialogCommand(SettingsDialog& dialog, int id, int32_t listSelection, ProfileStore& store) {
    SaverSettings& s = dialog.settings;
    DialogView& view = dialog.view;
    if (id == kOkButton) {
        if (!SaveSettings(store, dialog.names, s)) return {DialogWarning::kSettingsNotSaved, -1};
        return {DialogWarning::kNone, 1};
    }
    if (id == kCancelButton) return {DialogWarning::kNone, 0};

    if (const int slot = PositionIn(kSlotListIds, id)) return {SlotListRule(dialog, slot, listSelection), -1};
    if (const int slot = PositionIn(kSlotRadioIds, id)) SelectColourSlot(dialog, slot);
    else if (const int code = PositionIn(kColourRadioIds, id)) ChooseColour(dialog, code);
    else if (id == kSlotColoursCheck) ToggleSlotColours(dialog);
    else if (id == kSyncSizeCheck) ToggleSizeSync(dialog);
    else if (id == kAutoWidthCheck) {
        FlipCheck(view, id, s.HABAJIDO);
        view[kWidthBar].enabled = s.HABAJIDO == 0;
    }
    for (const PlainCheck& check : kPlainChecks)
        if (check.id == id) FlipCheck(view, id, s.*check.field);
    if (const RadioGroup* group = GroupOf(id)) {
        s.*group->field = group->values[size_t(PositionIn(group->ids, id) - 1)];
        CheckRadio(view, group->ids, id);
    }
    return {};
}

void HandleDialogScroll(SettingsDialog& dialog, int barId, ScrollEvent event, int32_t thumbPosition) {
    const DialogBar* bar = FindBar(barId);
    if (bar == nullptr) return;
    SaverSettings& s = dialog.settings;
    int32_t& value = s.*bar->field;
    // In 64 bits: a hand-edited value may sit at the ends of the 32-bit range.
    const int64_t now = value;
    switch (event) {
    case ScrollEvent::kLineLeft: value = static_cast<int32_t>(std::max<int64_t>(now - bar->lineStep, bar->minimum)); break;
    case ScrollEvent::kLineRight: value = static_cast<int32_t>(std::min<int64_t>(now + bar->lineStep, bar->maximum)); break;
    case ScrollEvent::kPageLeft: value = static_cast<int32_t>(std::max<int64_t>(now - bar->pageStep, bar->minimum)); break;
    case ScrollEvent::kPageRight: value = static_cast<int32_t>(std::min<int64_t>(now + bar->pageStep, bar->maximum)); break;
    case ScrollEvent::kThumbPosition:
    case ScrollEvent::kThumbTrack: value = std::clamp(thumbPosition, bar->minimum, bar->maximum); break;
    default: break;
    }
    ShowBar(dialog.view, *bar, value);
    if (barId == kSizeBar && s.SIZES != 0) {
        s.SIZEY = s.SIZE;
        dialog.view[kSizeYNumber].value = s.SIZEY;  // its bar is disabled and keeps its thumb
    }
}
