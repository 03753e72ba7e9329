#include "settings/saver_settings.h"

#include <algorithm>

#include "settings/string_ids.h"

using S = SaverSettings;

// Each key's name is the string IDS_KEY_<field>.
#define KEY(field, byDefault) {&S::field, IDS_KEY_##field, byDefault}
const std::array<SettingKey, kSettingCount> kSettingKeys = {{
    KEY(OPTIONA1, 22), KEY(OPTIONA2, 5), KEY(OPTIONA3, 0), KEY(OPTIONA4, 0), KEY(OPTIONA5, 0),
    KEY(OPTIONA6, 0), KEY(OPTIONA7, 0), KEY(OPTIONA8, 0), KEY(OPTIONA9, 0),
    KEY(OPTIONC1, 3), KEY(OPTIONC2, 3), KEY(OPTIONC3, 3), KEY(OPTIONC4, 3), KEY(OPTIONC5, 3),
    KEY(OPTIONC6, 3), KEY(OPTIONC7, 3), KEY(OPTIONC8, 3), KEY(OPTIONC9, 3),
    KEY(OPTIONN, 2),
    KEY(ZKAITEN1, 0), KEY(ZKAITEN2, 0), KEY(ZKAITEN3, 0), KEY(ZKAITEN4, 0), KEY(ZKAITEN5, 0),
    KEY(ZKAITEN6, 0), KEY(ZKAITEN7, 0), KEY(ZKAITEN8, 0), KEY(ZKAITEN9, 0),
    KEY(OPTIONP, 1),
    KEY(STEPRAG, 9),
    KEY(STEPRAG1, 9), KEY(STEPRAG2, 9), KEY(STEPRAG3, 9), KEY(STEPRAG4, 9), KEY(STEPRAG5, 9),
    KEY(STEPRAG6, 9), KEY(STEPRAG7, 9), KEY(STEPRAG8, 9), KEY(STEPRAG9, 9),
    KEY(HABA, 0), KEY(HABAJIDO, 1), KEY(SIZES, 1), KEY(SIZE, 10), KEY(SIZEY, 10),
    KEY(SIZEIDO, 10), KEY(COLOR, 3), KEY(COLORS, 0), KEY(TIMER, 55), KEY(VIEW, 3),
    KEY(ENKIN, 15), KEY(BKMODE, 1), KEY(ZANZOU, 0), KEY(KAITEN, 0),
}};
#undef KEY

void KeepWithinSaverLimits(SaverSettings& settings) {
    for (const SettingLimit& limit : kSaverLimits)
        settings.*limit.field = std::clamp(settings.*limit.field, limit.minimum, limit.maximum);
}
