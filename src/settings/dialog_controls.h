#ifndef KORUNEX_SETTINGS_DIALOG_CONTROLS_H
#define KORUNEX_SETTINGS_DIALOG_CONTROLS_H
// The configuration dialog's template and control ids, in one place for the
// resource compiler (resources/dialog_2003.rc) and for C++. Plain macros
// for the resource compiler; the C++ names follow below them.

#define IDD_SETTINGS 2003

// Each slot's shape list, slot 1 first
#define IDC_SLOT1_LIST 1002
#define IDC_SLOT2_LIST 1003
#define IDC_SLOT3_LIST 1004
#define IDC_SLOT4_LIST 1005
#define IDC_SLOT5_LIST 1006
#define IDC_SLOT6_LIST 1007
#define IDC_SLOT7_LIST 1008
#define IDC_SLOT8_LIST 1039
#define IDC_SLOT9_LIST 1040

// The No. radios: the slot whose colour the colour radios set, slot 1 first
#define IDC_SLOT1_RADIO 1045
#define IDC_SLOT2_RADIO 1046
#define IDC_SLOT3_RADIO 1047
#define IDC_SLOT4_RADIO 1048
#define IDC_SLOT5_RADIO 1049
#define IDC_SLOT6_RADIO 1050
#define IDC_SLOT7_RADIO 1051
#define IDC_SLOT8_RADIO 1052
#define IDC_SLOT9_RADIO 1053

// Each slot's own rotation, slot 1 first
#define IDC_SLOT1_SPIN 1072
#define IDC_SLOT2_SPIN 1073
#define IDC_SLOT3_SPIN 1074
#define IDC_SLOT4_SPIN 1075
#define IDC_SLOT5_SPIN 1076
#define IDC_SLOT6_SPIN 1077
#define IDC_SLOT7_SPIN 1078
#define IDC_SLOT8_SPIN 1079
#define IDC_SLOT9_SPIN 1080

// Each slot's rotation step, slot 1 first
#define IDC_SLOT1_STEP_BAR 1023
#define IDC_SLOT2_STEP_BAR 1025
#define IDC_SLOT3_STEP_BAR 1027
#define IDC_SLOT4_STEP_BAR 1037
#define IDC_SLOT5_STEP_BAR 1042
#define IDC_SLOT6_STEP_BAR 1082
#define IDC_SLOT7_STEP_BAR 1084
#define IDC_SLOT8_STEP_BAR 1086
#define IDC_SLOT9_STEP_BAR 1088

#define IDC_SLOT1_STEP_NUMBER 1015
#define IDC_SLOT2_STEP_NUMBER 1024
#define IDC_SLOT3_STEP_NUMBER 1026
#define IDC_SLOT4_STEP_NUMBER 1036
#define IDC_SLOT5_STEP_NUMBER 1038
#define IDC_SLOT6_STEP_NUMBER 1081
#define IDC_SLOT7_STEP_NUMBER 1083
#define IDC_SLOT8_STEP_NUMBER 1085
#define IDC_SLOT9_STEP_NUMBER 1087

// The colour radios, named after the colour their code draws
#define IDC_COLOUR_RED 1032
#define IDC_COLOUR_GREEN 1033
#define IDC_COLOUR_BLUE 1034
#define IDC_COLOUR_WHITE 1035
#define IDC_COLOUR_YELLOW 1055
#define IDC_COLOUR_MAGENTA 1056
#define IDC_COLOUR_CYAN 1057

// The view tilt radios, 0 to 90 degrees
#define IDC_VIEW_0 1060
#define IDC_VIEW_10 1061
#define IDC_VIEW_20 1062
#define IDC_VIEW_30 1063
#define IDC_VIEW_40 1064
#define IDC_VIEW_50 1065
#define IDC_VIEW_60 1066
#define IDC_VIEW_70 1067
#define IDC_VIEW_80 1068
#define IDC_VIEW_90 1069

// The perspective radios, ENKIN 0 to 30
#define IDC_PERSPECTIVE_0 1089
#define IDC_PERSPECTIVE_5 1090
#define IDC_PERSPECTIVE_10 1091
#define IDC_PERSPECTIVE_15 1092
#define IDC_PERSPECTIVE_20 1093
#define IDC_PERSPECTIVE_25 1094
#define IDC_PERSPECTIVE_30 1095

// The controls of one setting each
#define IDC_STEP_NUMBER 1012
#define IDC_AUTO_WIDTH 1013
#define IDC_WIDTH_NUMBER 1014
#define IDC_MOVE_NUMBER 1016
#define IDC_WIDTH_BAR 1017
#define IDC_STEP_BAR 1018
#define IDC_SIZE_BAR 1019
#define IDC_MOVE_BAR 1020
#define IDC_TIMER_NUMBER 1021
#define IDC_SLOT_COUNT 1022
#define IDC_TIMER_BAR 1028
#define IDC_SIZE_NUMBER 1029
#define IDC_MOVE_AND_TURN 1030
#define IDC_TURN_IN_CENTRE 1031
#define IDC_SYNC_SIZE 1041
#define IDC_SIZE_Y_NUMBER 1043
#define IDC_SIZE_Y_BAR 1044
#define IDC_SLOT_COLOURS 1054
#define IDC_CLEAR_SCREEN 1058
#define IDC_AFTER_IMAGE 1059
#define IDC_TURN_AS_WHOLE 1070
#define IDC_TURN_EACH 1071

// Every control the dialog changes has an id in this range.
#define IDC_FIRST 1000
#define IDC_LAST 1095

#ifndef RC_INVOKED

#include <array>

inline constexpr int kSettingsDialogId = IDD_SETTINGS;

// Ids of the controls, slot 1 first where there is one per slot.
inline constexpr std::array<int, 9> kSlotListIds = {IDC_SLOT1_LIST, IDC_SLOT2_LIST, IDC_SLOT3_LIST, IDC_SLOT4_LIST,
                                                    IDC_SLOT5_LIST, IDC_SLOT6_LIST, IDC_SLOT7_LIST, IDC_SLOT8_LIST,
                                                    IDC_SLOT9_LIST};
inline constexpr std::array<int, 9> kSlotRadioIds = {IDC_SLOT1_RADIO, IDC_SLOT2_RADIO, IDC_SLOT3_RADIO,
                                                     IDC_SLOT4_RADIO, IDC_SLOT5_RADIO, IDC_SLOT6_RADIO,
                                                     IDC_SLOT7_RADIO, IDC_SLOT8_RADIO, IDC_SLOT9_RADIO};
inline constexpr std::array<int, 9> kSlotSpinCheckIds = {IDC_SLOT1_SPIN, IDC_SLOT2_SPIN, IDC_SLOT3_SPIN,
                                                         IDC_SLOT4_SPIN, IDC_SLOT5_SPIN, IDC_SLOT6_SPIN,
                                                         IDC_SLOT7_SPIN, IDC_SLOT8_SPIN, IDC_SLOT9_SPIN};
inline constexpr std::array<int, 9> kSlotStepBarIds = {IDC_SLOT1_STEP_BAR, IDC_SLOT2_STEP_BAR, IDC_SLOT3_STEP_BAR,
                                                       IDC_SLOT4_STEP_BAR, IDC_SLOT5_STEP_BAR, IDC_SLOT6_STEP_BAR,
                                                       IDC_SLOT7_STEP_BAR, IDC_SLOT8_STEP_BAR, IDC_SLOT9_STEP_BAR};
inline constexpr std::array<int, 9> kSlotStepNumberIds = {
    IDC_SLOT1_STEP_NUMBER, IDC_SLOT2_STEP_NUMBER, IDC_SLOT3_STEP_NUMBER, IDC_SLOT4_STEP_NUMBER, IDC_SLOT5_STEP_NUMBER,
    IDC_SLOT6_STEP_NUMBER, IDC_SLOT7_STEP_NUMBER, IDC_SLOT8_STEP_NUMBER, IDC_SLOT9_STEP_NUMBER};
// Colour code c (1..7) has radio kColourRadioIds[c - 1]: 6 draws cyan, 7 magenta.
inline constexpr std::array<int, 7> kColourRadioIds = {IDC_COLOUR_RED,    IDC_COLOUR_GREEN, IDC_COLOUR_BLUE,
                                                       IDC_COLOUR_WHITE,  IDC_COLOUR_YELLOW, IDC_COLOUR_CYAN,
                                                       IDC_COLOUR_MAGENTA};
// VIEW v (0..9) has radio kViewRadioIds[v].
inline constexpr std::array<int, 10> kViewRadioIds = {IDC_VIEW_0,  IDC_VIEW_10, IDC_VIEW_20, IDC_VIEW_30,
                                                      IDC_VIEW_40, IDC_VIEW_50, IDC_VIEW_60, IDC_VIEW_70,
                                                      IDC_VIEW_80, IDC_VIEW_90};
// ENKIN 0, 5, .. 30 has radio kPerspectiveRadioIds[ENKIN / 5].
inline constexpr std::array<int, 7> kPerspectiveRadioIds = {IDC_PERSPECTIVE_0,  IDC_PERSPECTIVE_5,
                                                            IDC_PERSPECTIVE_10, IDC_PERSPECTIVE_15,
                                                            IDC_PERSPECTIVE_20, IDC_PERSPECTIVE_25,
                                                            IDC_PERSPECTIVE_30};

enum DialogControlId : int {
    kOkButton = 1,      // IDOK
    kCancelButton = 2,  // IDCANCEL
    kStepNumber = IDC_STEP_NUMBER,
    kAutoWidthCheck = IDC_AUTO_WIDTH,
    kWidthNumber = IDC_WIDTH_NUMBER,
    kMoveNumber = IDC_MOVE_NUMBER,
    kWidthBar = IDC_WIDTH_BAR,
    kStepBar = IDC_STEP_BAR,
    kSizeBar = IDC_SIZE_BAR,
    kMoveBar = IDC_MOVE_BAR,
    kTimerNumber = IDC_TIMER_NUMBER,
    kSlotCountNumber = IDC_SLOT_COUNT,
    kTimerBar = IDC_TIMER_BAR,
    kSizeNumber = IDC_SIZE_NUMBER,
    kMoveAndTurnRadio = IDC_MOVE_AND_TURN,
    kTurnInCentreRadio = IDC_TURN_IN_CENTRE,
    kSyncSizeCheck = IDC_SYNC_SIZE,
    kSizeYNumber = IDC_SIZE_Y_NUMBER,
    kSizeYBar = IDC_SIZE_Y_BAR,
    kSlotColoursCheck = IDC_SLOT_COLOURS,
    kClearScreenCheck = IDC_CLEAR_SCREEN,
    kAfterImageCheck = IDC_AFTER_IMAGE,
    kTurnAsWholeRadio = IDC_TURN_AS_WHOLE,
    kTurnEachRadio = IDC_TURN_EACH,
};

#endif  // RC_INVOKED
#endif  // KORUNEX_SETTINGS_DIALOG_CONTROLS_H
