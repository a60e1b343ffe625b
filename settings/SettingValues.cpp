#include "settings/SettingValues.h"

#include <cstdlib>

const std::vector<std::string>& CountItems() {
    static const std::vector<std::string> items = {"1", "2", "3", "4", "5"};
    return items;
}

const std::vector<std::string>& ButtonSizeItems() {
    static const std::vector<std::string> items = {"16", "18", "20", "24", "28", "32"};
    return items;
}

const std::vector<std::string>& IconBoundItems() {
    static const std::vector<std::string> items = {"16", "18", "20", "24", "28"};
    return items;
}

const std::vector<std::string>& HotKey1Items() {
    static const std::vector<std::string> items = {"CTRL+ALT", "SHIFT+CTRL", "SHIFT+ALT"};
    return items;
}

const std::vector<std::string>& HotKey2Items() {
    static const std::vector<std::string> items = [] {
        std::vector<std::string> letters;
        for (char c = 'A'; c <= 'Z'; ++c) letters.emplace_back(1, c);
        return letters;
    }();
    return items;
}

int IndexOfValue(const std::vector<std::string>& items, int32_t value) {
    std::string text = std::to_string(value);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) return static_cast<int>(i);
    return -1;
}

namespace {

int ValueAt(const std::vector<std::string>& items, int index, int32_t current) {
    if (index < 0 || index >= static_cast<int>(items.size())) return current;
    return static_cast<int32_t>(std::strtol(items[static_cast<size_t>(index)].c_str(), nullptr, 10));
}

}  // namespace

TSettingChoices ChoicesFromSettings(const TLauncherSettings& s) {
    TSettingChoices c;
    c.BtnCol = IndexOfValue(CountItems(), s.PannelCol);
    c.BtnRow = IndexOfValue(CountItems(), s.PannelRow);
    c.ButtonSize = IndexOfValue(ButtonSizeItems(), s.BtnWidth);
    c.IconBound = IndexOfValue(IconBoundItems(), s.SmallLargeBoundary);
    c.HotKey1 = s.HotKey1 >= 0 && s.HotKey1 < static_cast<int>(HotKey1Items().size()) ? s.HotKey1 : -1;
    c.HotKey2 = s.HotKey2.size() == 1 && s.HotKey2[0] >= 'A' && s.HotKey2[0] <= 'Z' ? s.HotKey2[0] - 'A' : -1;
    c.Animation = s.Animation;
    c.Speed = s.ZumaroSpeed < kSliderMin ? kSliderMin : s.ZumaroSpeed > kSliderMax ? kSliderMax : s.ZumaroSpeed;
    c.AutoClose = s.AutoClose;
    c.Sound = s.ZumaroSound;
    return c;
}

void ApplyChoices(const TSettingChoices& c, TLauncherSettings& s) {
    s.PannelCol = ValueAt(CountItems(), c.BtnCol, s.PannelCol);
    s.PannelRow = ValueAt(CountItems(), c.BtnRow, s.PannelRow);
    if (c.ButtonSize >= 0 && c.ButtonSize < static_cast<int>(ButtonSizeItems().size())) {
        s.BtnWidth = ValueAt(ButtonSizeItems(), c.ButtonSize, s.BtnWidth);
        s.BtnHeight = s.BtnWidth;
    }
    s.SmallLargeBoundary = ValueAt(IconBoundItems(), c.IconBound, s.SmallLargeBoundary);
    s.ButtonsPerPage = s.PannelCol * s.PannelRow;
    if (c.HotKey1 >= 0 && c.HotKey1 < static_cast<int>(HotKey1Items().size())) s.HotKey1 = c.HotKey1;
    if (c.HotKey2 >= 0 && c.HotKey2 < static_cast<int>(HotKey2Items().size()))
        s.HotKey2 = HotKey2Items()[static_cast<size_t>(c.HotKey2)].substr(0, 1);
    s.Animation = c.Animation;
    s.ZumaroSpeed = c.Speed;
    s.AutoClose = c.AutoClose;
    s.ZumaroSound = c.Sound;
}
