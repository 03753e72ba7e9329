#include <gtest/gtest.h>

#include <string>

#include "settings/settings_dialog.h"
#include "temp_ini_file.h"

namespace {

// A shape section of `count` records; the dialog only lists their names.
std::string ShapeSection(int count) {
    std::string text = "[MOJI ZAHYO]\r\n";
    for (int n = 1; n <= count; ++n) text += "ZAHYO" + std::to_string(n) + "=R" + std::to_string(n) + ",1\r\n";
    return text + "ZAHYO" + std::to_string(count + 1) + "=ZAHYO-END\r\n";
}

bool SameSettings(const SaverSettings& a, const SaverSettings& b) {
    for (const SettingKey& key : kSettingKeys)
        if (a.*key.field != b.*key.field) return false;
    return true;
}

// A store whose writes fail while `failing` is set, as a read-only file's do.
class FlakyStore final : public ProfileStore {
public:
    explicit FlakyStore(ProfileStore& inner) : inner_(inner) {}
    bool failing = true;
    int32_t ReadInt(const char* s, const char* k, int32_t d) const override { return inner_.ReadInt(s, k, d); }
    size_t ReadString(const char* s, const char* k, const char* d, char* b, size_t c) const override {
        return inner_.ReadString(s, k, d, b, c);
    }
    bool WriteString(const char* s, const char* k, const char* v) override {
        return !failing && inner_.WriteString(s, k, v);
    }

private:
    ProfileStore& inner_;
};

class SettingsDialogTest : public ::testing::Test {
protected:
    // Opens the dialog on a file of `text` (no file at all when empty).
    void Open(const std::string& text) {
        if (!text.empty()) file.Write(text);
        BeginSettingsDialog(dialog, file.store());
    }
    void OpenWithShapes(int count, const std::string& settingsLines = "") {
        Open(ShapeSection(count) + (settingsLines.empty() ? "" : "[KORUNEX]\r\n" + settingsLines));
    }
    DialogWarning Choose(int slot, int32_t index) { return SlotListRule(dialog, slot, index); }
    DialogReply Click(int id) { return HandleDialogCommand(dialog, id, -1, file.store()); }
    void Scroll(int bar, ScrollEvent event, int32_t thumb = 0) { HandleDialogScroll(dialog, bar, event, thumb); }

    int32_t Choice(int slot) const { return dialog.settings.*kShapeChoiceFields[slot - 1]; }
    int32_t Shown(int slot) const { return dialog.view[kSlotListIds[slot - 1]].selection; }
    int32_t Number(int id) const { return dialog.view[id].value; }
    bool Checked(int id) const { return dialog.view[id].checked; }
    bool Enabled(int id) const { return dialog.view[id].enabled; }
    // The one checked radio of a group, or 0.
    template <size_t N>
    int CheckedOf(const std::array<int, N>& ids) const {
        int found = 0;
        for (int id : ids) {
            if (!Checked(id)) continue;
            EXPECT_EQ(found, 0) << "two radios checked: " << found << " and " << id;
            found = id;
        }
        return found;
    }
    int CheckedColour() const { return CheckedOf(kColourRadioIds); }

    TempIniFile file;
    SettingsDialog dialog{};
};

constexpr int kRed = IDC_COLOUR_RED, kGreen = IDC_COLOUR_GREEN, kBlue = IDC_COLOUR_BLUE, kYellow = IDC_COLOUR_YELLOW;

// The value a setting has when its key is missing.
int32_t DefaultOf(SettingField field) {
    for (const SettingKey& key : kSettingKeys)
        if (key.field == field) return key.byDefault;
    ADD_FAILURE() << "a field without a key";
    return 0;
}

TEST_F(SettingsDialogTest, OpensWithTheDefaultsOnAFileWithShapesButNoSettings) {
    OpenWithShapes(25);
    EXPECT_EQ(dialog.shapes.count, 25);
    for (int slot = 1; slot <= 9; ++slot)
        EXPECT_EQ(Shown(slot), DefaultOf(kShapeChoiceFields[slot - 1])) << "slot " << slot;
    EXPECT_EQ(Number(kSlotCountNumber), DefaultOf(&SaverSettings::OPTIONN));
    EXPECT_TRUE(Checked(kTurnInCentreRadio));
    EXPECT_FALSE(Checked(kMoveAndTurnRadio));
    EXPECT_EQ(CheckedOf(kViewRadioIds), kViewRadioIds[size_t(DefaultOf(&SaverSettings::VIEW))]);
    EXPECT_EQ(CheckedOf(kPerspectiveRadioIds), kPerspectiveRadioIds[size_t(DefaultOf(&SaverSettings::ENKIN) / 5)]);
    EXPECT_EQ(CheckedColour(), kBlue);
    for (int id : kSlotRadioIds) EXPECT_FALSE(Enabled(id));
    EXPECT_EQ(CheckedOf(kSlotRadioIds), 0);
    EXPECT_TRUE(Checked(kAutoWidthCheck));
    EXPECT_FALSE(Enabled(kWidthBar));
    EXPECT_EQ(Number(kWidthNumber), 0);
    EXPECT_TRUE(Checked(kSyncSizeCheck));
    EXPECT_FALSE(Enabled(kSizeYBar));
    for (const DialogBar& bar : kDialogBars) {
        EXPECT_EQ(Number(bar.numberId), DefaultOf(bar.field)) << "bar " << bar.id;
        EXPECT_EQ(Number(bar.id), Number(bar.numberId)) << "bar " << bar.id;
    }
    EXPECT_TRUE(Checked(kClearScreenCheck));
    EXPECT_FALSE(Checked(kAfterImageCheck));
    EXPECT_FALSE(Checked(kSlotColoursCheck));
    EXPECT_TRUE(Checked(kTurnAsWholeRadio));
    for (int id : kSlotSpinCheckIds) EXPECT_FALSE(Checked(id));
    EXPECT_EQ(dialog.currentColorSlot, 1);
}

TEST_F(SettingsDialogTest, WithoutAFileTheListsOfferOnlyTheBlankAndNoReportMakesAnInvalidChoice) {
    Open("");
    EXPECT_EQ(dialog.shapes.count, 0);
    EXPECT_EQ(Shown(1), -1);  // 22 and 5 lie beyond the list
    EXPECT_EQ(Shown(2), -1);
    EXPECT_EQ(Shown(3), 0);

    // Slot 1's list has the focus at opening and reports no selection: there
    // is nothing it could hold, so nothing changes and nothing warns.
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(Choose(1, -1), DialogWarning::kNone);
        EXPECT_EQ(Choice(1), 22);
    }
    // Slot 2 can only be blank: it becomes so, and the count follows.
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(Choose(2, -1), DialogWarning::kNone);
        EXPECT_EQ(Choice(2), 0);
        EXPECT_EQ(Shown(2), 0);
        EXPECT_EQ(dialog.settings.OPTIONN, 1);
    }
    // The blank refused in slot 1 warns once and leaves the slot as it was.
    EXPECT_EQ(Choose(1, 0), DialogWarning::kSelectAtLeastOne);
    EXPECT_EQ(Choice(1), 22);
    EXPECT_EQ(Choose(1, Shown(1)), DialogWarning::kNone);
}

TEST_F(SettingsDialogTest, ANumberBeyondTheListBecomesTheNearestChoiceOnTheListsFirstReport) {
    OpenWithShapes(10, "OPTIONA2=40\r\nOPTIONA3=-3\r\nOPTIONN=3\r\n");
    EXPECT_EQ(Shown(1), -1);
    EXPECT_EQ(Shown(2), -1);
    EXPECT_EQ(Choose(1, -1), DialogWarning::kNone);
    EXPECT_EQ(Choice(1), 10);
    EXPECT_EQ(Shown(1), 10);
    EXPECT_EQ(Choose(2, -1), DialogWarning::kNone);
    EXPECT_EQ(Choice(2), 10);
    // A negative number is blank; the last slot may be blanked.
    EXPECT_EQ(Choose(3, -1), DialogWarning::kNone);
    EXPECT_EQ(Choice(3), 0);
    EXPECT_EQ(dialog.settings.OPTIONN, 2);
}

TEST_F(SettingsDialogTest, SlotOneRefusesTheBlankAndTakesTheFirstRecord) {
    OpenWithShapes(25);
    EXPECT_EQ(Choose(1, 0), DialogWarning::kSelectAtLeastOne);
    EXPECT_EQ(Choice(1), 1);  // not the 22 it held before
    EXPECT_EQ(Shown(1), 1);
    EXPECT_EQ(dialog.settings.OPTIONN, 2);
    EXPECT_EQ(Choose(1, Shown(1)), DialogWarning::kNone);  // the list reports again as the box takes the focus
    EXPECT_EQ(Choice(1), 1);
    EXPECT_EQ(Choose(1, 7), DialogWarning::kNone);
    EXPECT_EQ(Choice(1), 7);
}

TEST_F(SettingsDialogTest, ChosenSlotsStayContiguousAndTheCountFollowsThem) {
    OpenWithShapes(25, "OPTIONA3=8\r\nOPTIONN=3\r\n");

    // A blank in the middle is refused: record 1, whatever the slot held.
    EXPECT_EQ(Choose(2, 0), DialogWarning::kNoBlankInMiddle);
    EXPECT_EQ(Choice(2), 1);
    EXPECT_EQ(Shown(2), 1);
    EXPECT_EQ(dialog.settings.OPTIONN, 3);

    // The last chosen slot may be blanked, and chosen again.
    EXPECT_EQ(Choose(3, 0), DialogWarning::kNone);
    EXPECT_EQ(dialog.settings.OPTIONN, 2);
    EXPECT_EQ(Choose(3, 4), DialogWarning::kNone);
    EXPECT_EQ(dialog.settings.OPTIONN, 3);
    EXPECT_EQ(Choose(3, 0), DialogWarning::kNone);

    // A shape after a blank is refused: the slot stays blank.
    EXPECT_EQ(Choose(4, 6), DialogWarning::kNoBlankInMiddle);
    EXPECT_EQ(Choice(4), 0);
    EXPECT_EQ(Shown(4), 0);
    EXPECT_EQ(dialog.settings.OPTIONN, 2);

    // Another shape for a chosen slot leaves the count.
    EXPECT_EQ(Choose(2, 9), DialogWarning::kNone);
    EXPECT_EQ(Choice(2), 9);
    EXPECT_EQ(dialog.settings.OPTIONN, 2);

    // All nine, then the ninth blanked: it has no successor to check.
    for (int slot = 3; slot <= 9; ++slot) EXPECT_EQ(Choose(slot, slot), DialogWarning::kNone);
    EXPECT_EQ(dialog.settings.OPTIONN, 9);
    EXPECT_EQ(Choose(9, 0), DialogWarning::kNone);
    EXPECT_EQ(dialog.settings.OPTIONN, 8);
    EXPECT_EQ(Choose(8, 0), DialogWarning::kNone);
    EXPECT_EQ(Choose(9, 3), DialogWarning::kNoBlankInMiddle);
    EXPECT_EQ(dialog.settings.OPTIONN, 7);
    EXPECT_EQ(Number(kSlotCountNumber), 7);
}

TEST_F(SettingsDialogTest, AListReportingItsSelectionAgainChangesNothing) {
    OpenWithShapes(25, "OPTIONA3=8\r\nOPTIONN=3\r\n");
    const auto reportTwice = [&](int slot, int32_t index) {
        Choose(slot, index);
        const SaverSettings settings = dialog.settings;
        const DialogView view = dialog.view;
        for (int run = 0; run < 2; ++run) {
            EXPECT_EQ(Choose(slot, Shown(slot)), DialogWarning::kNone) << "slot " << slot;
            EXPECT_TRUE(SameSettings(settings, dialog.settings)) << "slot " << slot;
            EXPECT_TRUE(view.controls == dialog.view.controls) << "slot " << slot;
        }
    };
    reportTwice(2, 0);  // refused blank
    reportTwice(5, 3);  // refused shape
    reportTwice(3, 0);
    reportTwice(3, 2);
    reportTwice(1, 0);

    // A hand-edited gap does not warn on every focus change.
    OpenWithShapes(25, "OPTIONA2=0\r\nOPTIONA3=8\r\nOPTIONA4=8\r\nOPTIONN=1\r\n");
    EXPECT_EQ(Choose(3, 8), DialogWarning::kNone);
    EXPECT_EQ(Choose(3, 8), DialogWarning::kNone);
}

TEST_F(SettingsDialogTest, ASlotListSetsItsOwnNoRadioToMatchPerSlotColours) {
    OpenWithShapes(25);
    Choose(5, 0);
    EXPECT_FALSE(Enabled(kSlotRadioIds[4]));
    Click(kSlotColoursCheck);  // count 2: No.1 and No.2 only
    EXPECT_FALSE(Enabled(kSlotRadioIds[4]));
    Choose(5, 0);  // the list gains the focus, still blank
    EXPECT_TRUE(Enabled(kSlotRadioIds[4]));
    EXPECT_FALSE(Enabled(kSlotRadioIds[5]));
}

TEST_F(SettingsDialogTest, BarsStepWithinTheirRangesAndFollowTheThumb) {
    OpenWithShapes(25, "TIMER=12\r\nSIZE=1\r\n");
    Scroll(kTimerBar, ScrollEvent::kPageLeft);
    EXPECT_EQ(dialog.settings.TIMER, 10);
    Scroll(kTimerBar, ScrollEvent::kLineLeft);
    EXPECT_EQ(dialog.settings.TIMER, 10);
    Scroll(kTimerBar, ScrollEvent::kThumbPosition, 298);
    Scroll(kTimerBar, ScrollEvent::kPageRight);
    EXPECT_EQ(dialog.settings.TIMER, 300);
    EXPECT_EQ(Number(kTimerNumber), 300);
    EXPECT_EQ(Number(kTimerBar), 300);

    // Dragging: the setting and its number follow the thumb.
    for (int32_t position : {11, 120, 299}) {
        Scroll(kTimerBar, ScrollEvent::kThumbTrack, position);
        EXPECT_EQ(dialog.settings.TIMER, position);
        EXPECT_EQ(Number(kTimerNumber), position);
    }
    Scroll(kTimerBar, ScrollEvent::kEndScroll, 0);
    Scroll(kTimerBar, ScrollEvent::kLeftEnd, 0);
    EXPECT_EQ(dialog.settings.TIMER, 299);

    // Rotation bars page by 1 only.
    Scroll(kStepBar, ScrollEvent::kPageRight);
    EXPECT_EQ(dialog.settings.STEPRAG, 10);
    Scroll(kSlotStepBarIds[8], ScrollEvent::kPageLeft);
    EXPECT_EQ(dialog.settings.STEPRAG9, 8);
    EXPECT_EQ(Number(kSlotStepNumberIds[8]), 8);
    EXPECT_EQ(dialog.settings.STEPRAG8, 9);

    Scroll(kSizeBar, ScrollEvent::kLineLeft);
    EXPECT_EQ(dialog.settings.SIZE, 1);
    Scroll(kWidthBar, ScrollEvent::kPageRight);
    EXPECT_EQ(dialog.settings.HABA, 5);

    // Other ids are not bars of the dialog.
    const SaverSettings before = dialog.settings;
    Scroll(kTimerNumber, ScrollEvent::kLineRight);
    Scroll(0, ScrollEvent::kLineRight);
    EXPECT_TRUE(SameSettings(before, dialog.settings));
}

TEST_F(SettingsDialogTest, HandEditedValuesShowAsTheyAreAndStepWithoutOverflow) {
    OpenWithShapes(25, "TIMER=-2147483648\r\nSIZEIDO=4294967295\r\nVIEW=12\r\nENKIN=7\r\nOPTIONP=5\r\nKAITEN=3\r\n"
                       "COLOR=0\r\nBKMODE=2\r\nOPTIONN=12\r\n");
    EXPECT_EQ(Number(kTimerNumber), INT32_MIN);  // shown unsigned by the platform
    EXPECT_EQ(CheckedOf(kViewRadioIds), IDC_VIEW_0);
    EXPECT_EQ(CheckedOf(kPerspectiveRadioIds), IDC_PERSPECTIVE_0);
    EXPECT_TRUE(Checked(kTurnInCentreRadio));
    EXPECT_TRUE(Checked(kTurnAsWholeRadio));
    EXPECT_EQ(CheckedColour(), kRed);
    EXPECT_EQ(dialog.settings.VIEW, 12);  // kept until the user changes it
    EXPECT_EQ(dialog.settings.ENKIN, 7);

    Scroll(kTimerBar, ScrollEvent::kLineLeft);
    EXPECT_EQ(dialog.settings.TIMER, 10);
    Scroll(kMoveBar, ScrollEvent::kLineLeft);  // -1 read as a number: goes to the minimum
    EXPECT_EQ(dialog.settings.SIZEIDO, 0);

    // The check mark shows the lowest bit; a click makes the setting 0 or 1.
    EXPECT_FALSE(Checked(kClearScreenCheck));
    Click(kClearScreenCheck);
    EXPECT_EQ(dialog.settings.BKMODE, 1);
    EXPECT_TRUE(Checked(kClearScreenCheck));

    // A count above nine enables the nine No. radios and no more.
    Click(kSlotColoursCheck);
    for (int id : kSlotRadioIds) EXPECT_TRUE(Enabled(id));
    Click(kSlotColoursCheck);
    for (int id : kSlotRadioIds) EXPECT_FALSE(Enabled(id));

    OpenWithShapes(25, "COLOR=8\r\n");
    EXPECT_EQ(CheckedColour(), kRed);
}

TEST_F(SettingsDialogTest, SyncedSizesFollowTheVerticalSize) {
    OpenWithShapes(25, "SIZEY=30\r\n");
    EXPECT_EQ(Number(kSizeYBar), 30);
    for (ScrollEvent event : {ScrollEvent::kLineRight, ScrollEvent::kPageRight, ScrollEvent::kPageLeft}) {
        Scroll(kSizeBar, event);
        EXPECT_EQ(dialog.settings.SIZEY, dialog.settings.SIZE);
        EXPECT_EQ(Number(kSizeYNumber), dialog.settings.SIZE);
        EXPECT_EQ(Number(kSizeYBar), 30);  // the disabled bar keeps its thumb
    }
    Scroll(kSizeBar, ScrollEvent::kThumbTrack, 44);
    EXPECT_EQ(dialog.settings.SIZEY, 44);

    Click(kSyncSizeCheck);  // off: the thumb catches up
    EXPECT_EQ(dialog.settings.SIZES, 0);
    EXPECT_TRUE(Enabled(kSizeYBar));
    EXPECT_EQ(Number(kSizeYBar), 44);
    Scroll(kSizeYBar, ScrollEvent::kPageLeft);
    Scroll(kSizeBar, ScrollEvent::kLineLeft);
    EXPECT_EQ(dialog.settings.SIZEY, 39);
    EXPECT_EQ(dialog.settings.SIZE, 43);

    Click(kSyncSizeCheck);  // on again: copied at once
    EXPECT_FALSE(Enabled(kSizeYBar));
    EXPECT_EQ(dialog.settings.SIZEY, 43);
    EXPECT_EQ(Number(kSizeYNumber), 43);

    Click(kAutoWidthCheck);
    EXPECT_EQ(dialog.settings.HABAJIDO, 0);
    EXPECT_TRUE(Enabled(kWidthBar));
    Click(kAutoWidthCheck);
    EXPECT_FALSE(Enabled(kWidthBar));
}

TEST_F(SettingsDialogTest, ColourRadiosSetTheCommonColourOrTheChosenSlotsColour) {
    OpenWithShapes(25, "OPTIONC1=6\r\nOPTIONC3=2\r\n");  // two slots in use
    // Each radio stores the code that draws the colour it names.
    Click(IDC_COLOUR_MAGENTA);
    EXPECT_EQ(dialog.settings.COLOR, 7);
    Click(IDC_COLOUR_CYAN);
    EXPECT_EQ(dialog.settings.COLOR, 6);
    EXPECT_EQ(CheckedColour(), IDC_COLOUR_CYAN);
    Click(kGreen);
    EXPECT_EQ(dialog.settings.COLOR, 2);
    EXPECT_EQ(CheckedColour(), kGreen);

    Click(kSlotColoursCheck);
    EXPECT_EQ(dialog.settings.COLORS, 1);
    EXPECT_EQ(dialog.settings.COLOR, 6);
    EXPECT_TRUE(Checked(kSlotRadioIds[0]));
    EXPECT_EQ(CheckedColour(), kColourRadioIds[5]);
    EXPECT_TRUE(Enabled(kSlotRadioIds[0]));
    EXPECT_TRUE(Enabled(kSlotRadioIds[1]));
    for (int slot = 3; slot <= 9; ++slot) EXPECT_FALSE(Enabled(kSlotRadioIds[slot - 1])) << "No." << slot;

    Choose(3, 8);  // a third slot: its radio can be clicked now
    ASSERT_TRUE(Enabled(kSlotRadioIds[2]));
    Click(kSlotRadioIds[2]);
    EXPECT_EQ(dialog.currentColorSlot, 3);
    EXPECT_EQ(CheckedOf(kSlotRadioIds), kSlotRadioIds[2]);
    EXPECT_EQ(CheckedColour(), kGreen);
    Click(kYellow);
    EXPECT_EQ(dialog.settings.OPTIONC3, 5);
    EXPECT_EQ(dialog.settings.COLOR, 6);

    Click(kSlotColoursCheck);  // off: one colour for all again
    EXPECT_EQ(CheckedOf(kSlotRadioIds), 0);
    EXPECT_FALSE(Enabled(kSlotRadioIds[0]));
    EXPECT_EQ(CheckedColour(), kColourRadioIds[5]);
    Click(kBlue);
    EXPECT_EQ(dialog.settings.COLOR, 3);
    EXPECT_EQ(dialog.settings.OPTIONC3, 5);

    // Opening with per-slot colours: slot 1's colour, No.1 checked, all enabled.
    OpenWithShapes(25, "COLORS=1\r\nOPTIONC1=7\r\n");
    EXPECT_EQ(dialog.settings.COLOR, 7);
    EXPECT_TRUE(Checked(kSlotRadioIds[0]));
    for (int id : kSlotRadioIds) EXPECT_TRUE(Enabled(id));
    EXPECT_EQ(CheckedColour(), kColourRadioIds[6]);
}

TEST_F(SettingsDialogTest, HandEditedSwitchesShowWhatTheSaverDoesAndTheirControlsAgree) {
    OpenWithShapes(25, "HABAJIDO=2\r\nSIZES=-1\r\nCOLORS=2\r\nBKMODE=2\r\nZANZOU=3\r\nZKAITEN1=4\r\nOPTIONC1=5\r\n");
    // Automatic width, sync, per-slot colours, after-images and slot 1's spin are on
    // for any value but 0; the screen is cleared at start only for 1.
    for (int id : {int(kAutoWidthCheck), int(kSyncSizeCheck), int(kSlotColoursCheck), int(kAfterImageCheck), kSlotSpinCheckIds[0]})
        EXPECT_TRUE(Checked(id)) << id;
    EXPECT_FALSE(Checked(kClearScreenCheck));
    EXPECT_FALSE(Enabled(kWidthBar));
    EXPECT_FALSE(Enabled(kSizeYBar));
    Scroll(kSizeBar, ScrollEvent::kLineRight);
    EXPECT_EQ(dialog.settings.SIZEY, 11) << "the sizes follow each other";
    for (int id : kSlotRadioIds) EXPECT_TRUE(Enabled(id));
    EXPECT_EQ(dialog.settings.COLOR, 5);
    Click(kGreen);
    EXPECT_EQ(dialog.settings.OPTIONC1, 2) << "the colour radios edit slot 1's colour";

    // A click turns each to the plain value of the other state.
    for (int id : {kAutoWidthCheck, kSyncSizeCheck, kClearScreenCheck, kAfterImageCheck}) Click(int(id));
    EXPECT_EQ(dialog.settings.HABAJIDO, 0);
    EXPECT_TRUE(Enabled(kWidthBar));
    EXPECT_EQ(dialog.settings.SIZES, 0);
    EXPECT_TRUE(Enabled(kSizeYBar));
    EXPECT_EQ(dialog.settings.BKMODE, 1);
    EXPECT_TRUE(Checked(kClearScreenCheck));
    EXPECT_EQ(dialog.settings.ZANZOU, 0);

    // Per-slot colours off: no No. radio can be clicked, those beyond the slots in use neither.
    Click(kSlotColoursCheck);
    EXPECT_EQ(dialog.settings.COLORS, 0);
    for (int id : kSlotRadioIds) EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(SettingsDialogTest, CancelWritesNothingAndOkWritesEverySetting) {
    const std::string original = ShapeSection(25) + "[KORUNEX]\r\ntimer=100\r\n";
    Open(original);
    Click(kMoveAndTurnRadio);
    Scroll(kTimerBar, ScrollEvent::kPageRight);
    EXPECT_EQ(Click(kCancelButton).endResult, 0);
    EXPECT_EQ(file.Read(), original);

    const DialogReply ok = Click(kOkButton);
    EXPECT_EQ(ok.endResult, 1);
    EXPECT_EQ(ok.warning, DialogWarning::kNone);
    const std::string saved = file.Read();
    EXPECT_EQ(saved.substr(0, ShapeSection(25).size()), ShapeSection(25));
    EXPECT_NE(saved.find("timer=105\r\n"), std::string::npos);  // replaced where it was
    EXPECT_NE(saved.find("OPTIONP=2\r\n"), std::string::npos);
    SettingsDialog reopened{};
    BeginSettingsDialog(reopened, file.store());
    EXPECT_TRUE(SameSettings(reopened.settings, dialog.settings));
}

TEST_F(SettingsDialogTest, AFailedSaveWarnsOnceAndKeepsTheDialogOpen) {
    OpenWithShapes(25);
    const std::string before = file.Read();
    FlakyStore store(file.store());
    Click(kMoveAndTurnRadio);
    const DialogReply failed = HandleDialogCommand(dialog, kOkButton, -1, store);
    EXPECT_EQ(failed.warning, DialogWarning::kSettingsNotSaved);
    EXPECT_EQ(failed.endResult, -1);
    EXPECT_EQ(file.Read(), before);

    store.failing = false;  // the user fixed the file and tries again
    const DialogReply saved = HandleDialogCommand(dialog, kOkButton, -1, store);
    EXPECT_EQ(saved.endResult, 1);
    EXPECT_NE(file.Read().find("OPTIONP=2"), std::string::npos);
}

}  // namespace
