// The settings dialog's values without its windows: the drop-down lists' items, and the
// settings record to and from the choices the controls show.
#pragma once

#include <string>
#include <vector>

#include "app/SettingsText.h"

const std::vector<std::string>& CountItems();       // rows and columns: "1" to "5"
const std::vector<std::string>& ButtonSizeItems();  // "16" to "32"
const std::vector<std::string>& IconBoundItems();   // "16" to "28"
const std::vector<std::string>& HotKey1Items();     // the modifier pairs, HotKey1's order
const std::vector<std::string>& HotKey2Items();     // "A" to "Z"

constexpr int kSliderMin = 1, kSliderMax = 10;

// What the controls show; -1 is a drop-down list with no selection.
struct TSettingChoices {
    int BtnRow = -1;
    int ButtonSize = -1;
    int BtnCol = -1;
    int IconBound = -1;
    int HotKey1 = -1;
    int HotKey2 = -1;
    bool Animation = false;
    int Speed = kSliderMin;
    bool AutoClose = false;
    bool Sound = false;
    bool operator==(const TSettingChoices&) const = default;
};

// The index of the item whose text is the value's decimal text, or -1.
int IndexOfValue(const std::vector<std::string>& items, int32_t value);

// The choices for a record. A value that is no item leaves its list without a selection;
// the speed is held within the slider's range.
TSettingChoices ChoicesFromSettings(const TLauncherSettings& s);

// Writes the choices into the record. A list without a selection keeps its field as it was;
// the buttons are square; ButtonsPerPage follows the columns and rows the record then holds.
// Left, Top and NumOfRegi are not touched.
void ApplyChoices(const TSettingChoices& c, TLauncherSettings& s);
