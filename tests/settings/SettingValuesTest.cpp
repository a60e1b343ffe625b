// The settings dialog's values without its windows: record to choices and back.
#include "settings/SettingValues.h"

#include <gtest/gtest.h>

TEST(SettingValues, TheListsHoldTheOfferedValues) {
    EXPECT_EQ(CountItems(), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(ButtonSizeItems(), (std::vector<std::string>{"16", "18", "20", "24", "28", "32"}));
    EXPECT_EQ(IconBoundItems(), (std::vector<std::string>{"16", "18", "20", "24", "28"}));
    EXPECT_EQ(HotKey1Items(), (std::vector<std::string>{"CTRL+ALT", "SHIFT+CTRL", "SHIFT+ALT"}));
    ASSERT_EQ(HotKey2Items().size(), 26u);
    EXPECT_EQ(HotKey2Items()[16], "Q");
    EXPECT_EQ(HotKey2Items()[25], "Z");
}

TEST(SettingValues, ChoicesOfARecord) {
    TLauncherSettings s;
    s.PannelCol = 5;
    s.PannelRow = 1;
    s.BtnWidth = 18;
    s.BtnHeight = 99;  // not read
    s.SmallLargeBoundary = 28;
    s.HotKey1 = 2;
    s.HotKey2 = "Q";
    s.ZumaroSpeed = 7;
    TSettingChoices c = ChoicesFromSettings(s);
    EXPECT_EQ(c.BtnCol, 4);
    EXPECT_EQ(c.BtnRow, 0);
    EXPECT_EQ(c.ButtonSize, 1);
    EXPECT_EQ(c.IconBound, 4);
    EXPECT_EQ(c.HotKey1, 2);
    EXPECT_EQ(c.HotKey2, 16);
    EXPECT_EQ(c.Speed, 7);

    // Values a hand-edited file may hold: no selection, the speed held on the slider.
    s.PannelCol = 8;
    s.PannelRow = 0;
    s.BtnWidth = 22;
    s.SmallLargeBoundary = 32;
    s.HotKey1 = 3;
    s.HotKey2 = "";
    s.ZumaroSpeed = 0;
    c = ChoicesFromSettings(s);
    EXPECT_EQ(c.BtnCol, -1);
    EXPECT_EQ(c.BtnRow, -1);
    EXPECT_EQ(c.ButtonSize, -1);
    EXPECT_EQ(c.IconBound, -1);
    EXPECT_EQ(c.HotKey1, -1);
    EXPECT_EQ(c.HotKey2, -1);
    EXPECT_EQ(c.Speed, 1);
    s.HotKey1 = -1;
    s.HotKey2 = "q";
    s.ZumaroSpeed = 15;
    c = ChoicesFromSettings(s);
    EXPECT_EQ(c.HotKey1, -1);
    EXPECT_EQ(c.HotKey2, -1);
    EXPECT_EQ(c.Speed, 10);
}

TEST(SettingValues, ApplyingChoicesMakesSquareButtonsAndThePageSize) {
    TLauncherSettings s;
    s.BtnHeight = 30;
    s.Left = -7;
    s.Top = 12345;
    s.NumOfRegi = 4;
    TSettingChoices c = ChoicesFromSettings(s);
    c.BtnCol = 2;      // "3"
    c.BtnRow = 3;      // "4"
    c.ButtonSize = 3;  // "24"
    c.HotKey2 = 25;
    c.Speed = 10;
    c.AutoClose = true;
    c.Sound = false;
    ApplyChoices(c, s);
    EXPECT_EQ(s.PannelCol, 3);
    EXPECT_EQ(s.PannelRow, 4);
    EXPECT_EQ(s.ButtonsPerPage, 12);
    EXPECT_EQ(s.BtnWidth, 24);
    EXPECT_EQ(s.BtnHeight, 24);
    EXPECT_EQ(s.HotKey2, "Z");
    EXPECT_EQ(s.ZumaroSpeed, 10);
    EXPECT_TRUE(s.AutoClose);
    EXPECT_FALSE(s.ZumaroSound);
    EXPECT_EQ(s.Left, -7);
    EXPECT_EQ(s.Top, 12345);
    EXPECT_EQ(s.NumOfRegi, 4);
}

TEST(SettingValues, AListWithoutASelectionKeepsItsField) {
    TLauncherSettings s;
    s.PannelCol = 8;
    s.PannelRow = 2;
    s.BtnWidth = 22;
    s.BtnHeight = 23;
    s.SmallLargeBoundary = 40;
    s.HotKey1 = 5;
    s.HotKey2 = "K";
    s.ButtonsPerPage = 0;
    TSettingChoices c = ChoicesFromSettings(s);
    c.HotKey2 = -1;
    TLauncherSettings before = s;
    ApplyChoices(c, s);
    EXPECT_EQ(s.PannelCol, 8);
    EXPECT_EQ(s.BtnWidth, 22);
    EXPECT_EQ(s.BtnHeight, 23);  // not made square from a value it does not have
    EXPECT_EQ(s.SmallLargeBoundary, 40);
    EXPECT_EQ(s.HotKey1, 5);
    EXPECT_EQ(s.HotKey2, "K");
    EXPECT_EQ(s.ButtonsPerPage, 16);  // from what the record holds
    before.ButtonsPerPage = 16;
    EXPECT_EQ(s, before);
}

TEST(SettingValues, EveryOfferedRecordComesBackUnchanged) {
    for (int col = 1; col <= 5; ++col)
        for (int size : {16, 18, 20, 24, 28, 32})
            for (int hot : {0, 1, 2}) {
                TLauncherSettings s;
                s.PannelCol = col;
                s.PannelRow = 6 - col;
                s.BtnWidth = s.BtnHeight = size;
                s.SmallLargeBoundary = 20;
                s.HotKey1 = hot;
                s.HotKey2 = std::string(1, static_cast<char>('A' + col * 5));
                s.ButtonsPerPage = col * (6 - col);
                s.ZumaroSpeed = col * 2;
                s.Animation = col % 2 == 0;
                TLauncherSettings back = s;
                ApplyChoices(ChoicesFromSettings(s), back);
                EXPECT_EQ(back, s) << col << " " << size << " " << hot;
            }
}
