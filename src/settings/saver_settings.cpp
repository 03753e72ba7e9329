#include "settings/saver_settings.h"

#include <algorithm>

using S = SaverSettings;

const std::array<SettingKey, kSettingCount> kSettingKeys = {{
    {&S::OPTIONA1, 1010, 22}, {&S::OPTIONA2, 1011, 5},  {&S::OPTIONA3, 1012, 0},
    {&S::OPTIONA4, 1013, 0},  {&S::OPTIONA5, 1014, 0},  {&S::OPTIONA6, 1015, 0},
    {&S::OPTIONA7, 1016, 0},  {&S::OPTIONA8, 1030, 0},  {&S::OPTIONA9, 1031, 0},
    {&S::OPTIONC1, 1035, 3},  {&S::OPTIONC2, 1036, 3},  {&S::OPTIONC3, 1037, 3},
    {&S::OPTIONC4, 1038, 3},  {&S::OPTIONC5, 1039, 3},  {&S::OPTIONC6, 1040, 3},
    {&S::OPTIONC7, 1041, 3},  {&S::OPTIONC8, 1042, 3},  {&S::OPTIONC9, 1043, 3},
    {&S::OPTIONN, 1017, 2},
    {&S::ZKAITEN1, 1081, 0},  {&S::ZKAITEN2, 1082, 0},  {&S::ZKAITEN3, 1083, 0},
    {&S::ZKAITEN4, 1084, 0},  {&S::ZKAITEN5, 1085, 0},  {&S::ZKAITEN6, 1086, 0},
    {&S::ZKAITEN7, 1087, 0},  {&S::ZKAITEN8, 1088, 0},  {&S::ZKAITEN9, 1089, 0},
    {&S::OPTIONP, 1018, 1},
    {&S::STEPRAG, 1019, 9},
    {&S::STEPRAG1, 2, 9},     {&S::STEPRAG2, 109, 9},   {&S::STEPRAG3, 110, 9},
    {&S::STEPRAG4, 111, 9},   {&S::STEPRAG5, 112, 9},   {&S::STEPRAG6, 113, 9},
    {&S::STEPRAG7, 114, 9},   {&S::STEPRAG8, 115, 9},   {&S::STEPRAG9, 116, 9},
    {&S::HABA, 1020, 0},      {&S::HABAJIDO, 1021, 1},  {&S::SIZES, 1032, 1},
    {&S::SIZE, 1022, 10},     {&S::SIZEY, 1033, 10},    {&S::SIZEIDO, 1023, 10},
    {&S::COLOR, 1024, 3},     {&S::COLORS, 1034, 0},    {&S::TIMER, 1025, 55},
    {&S::VIEW, 1026, 3},      {&S::ENKIN, 1027, 15},    {&S::BKMODE, 1044, 1},
    {&S::ZANZOU, 1045, 0},    {&S::KAITEN, 1046, 0},
}};

const std::array<SettingField, 9> kShapeChoiceFields = {
    &S::OPTIONA1, &S::OPTIONA2, &S::OPTIONA3, &S::OPTIONA4, &S::OPTIONA5,
    &S::OPTIONA6, &S::OPTIONA7, &S::OPTIONA8, &S::OPTIONA9};
const std::array<SettingField, 9> kSlotColourFields = {
    &S::OPTIONC1, &S::OPTIONC2, &S::OPTIONC3, &S::OPTIONC4, &S::OPTIONC5,
    &S::OPTIONC6, &S::OPTIONC7, &S::OPTIONC8, &S::OPTIONC9};
const std::array<SettingField, 9> kSlotSpinFields = {
    &S::ZKAITEN1, &S::ZKAITEN2, &S::ZKAITEN3, &S::ZKAITEN4, &S::ZKAITEN5,
    &S::ZKAITEN6, &S::ZKAITEN7, &S::ZKAITEN8, &S::ZKAITEN9};
const std::array<SettingField, 9> kSlotStepFields = {
    &S::STEPRAG1, &S::STEPRAG2, &S::STEPRAG3, &S::STEPRAG4, &S::STEPRAG5,
    &S::STEPRAG6, &S::STEPRAG7, &S::STEPRAG8, &S::STEPRAG9};

void KeepWithinSaverLimits(SaverSettings& s) {
    s.OPTIONN = std::clamp(s.OPTIONN, 1, 9);
    s.STEPRAG = std::clamp(s.STEPRAG, 0, 30);
    for (SettingField step : kSlotStepFields) s.*step = std::clamp(s.*step, 0, 30);
    s.HABA = std::clamp(s.HABA, 0, 30);
    s.SIZE = std::clamp(s.SIZE, 1, 50);
    s.SIZEY = std::clamp(s.SIZEY, 1, 50);
    s.SIZEIDO = std::clamp(s.SIZEIDO, 0, 20);
    s.TIMER = std::clamp(s.TIMER, 10, 300);
    s.VIEW = std::clamp(s.VIEW, 0, 9);
    s.ENKIN = std::clamp(s.ENKIN, 0, 30);
}
