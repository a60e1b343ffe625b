#include "panel/PanelKeys.h"

#include <gtest/gtest.h>

namespace {

// A 3 x 2 page; cursor 7 is column 1, row 0 of page 1.
TKeyOutcome Key(uint16_t key, TShiftState shift, int32_t cursor = 7) { return PanelKeyAction(key, shift, cursor, 3, 2); }

}  // namespace

TEST(PanelKeys, LaunchWithAnyModifiers) {
    for (TShiftState s : {TShiftState(0), TShiftState(ssShift), TShiftState(ssCtrl), TShiftState(ssAlt | ssCtrl)}) {
        EXPECT_EQ(Key(kVkReturn, s).Action, TKeyAction::Launch);
        EXPECT_EQ(Key('L', s).Action, TKeyAction::Launch);
        EXPECT_EQ(Key('I', s).Action, TKeyAction::ShowHint);
    }
}

TEST(PanelKeys, ArrowRowsByExactModifier) {
    EXPECT_EQ(Key(kVkLeft, ssShift).Action, TKeyAction::PrevPage);
    EXPECT_EQ(Key(kVkRight, ssShift).Action, TKeyAction::NextPage);
    auto moved = [](TKeyOutcome o, int dx, int dy) { return o.Action == TKeyAction::MovePanel && o.Dx == dx && o.Dy == dy; };
    EXPECT_TRUE(moved(Key(kVkLeft, ssCtrl), -2, 0));
    EXPECT_TRUE(moved(Key(kVkLeft, ssAlt), -10, 0));
    EXPECT_TRUE(moved(Key(kVkRight, ssCtrl), 2, 0));
    EXPECT_TRUE(moved(Key(kVkRight, ssAlt), 10, 0));
    EXPECT_TRUE(moved(Key(kVkUp, ssCtrl), 0, -2));
    EXPECT_TRUE(moved(Key(kVkUp, ssAlt), 0, -10));
    EXPECT_TRUE(moved(Key(kVkDown, ssCtrl), 0, 2));
    EXPECT_TRUE(moved(Key(kVkDown, ssAlt), 0, 10));
    // Two modifiers are not "Ctrl": Ctrl+Shift+Left does nothing.
    EXPECT_EQ(Key(kVkLeft, ssCtrl | ssShift).Action, TKeyAction::None);
    EXPECT_EQ(Key(kVkRight, ssAlt | ssCtrl).Action, TKeyAction::None);
    // Up and Down have no Shift row.
    EXPECT_EQ(Key(kVkUp, ssShift).Action, TKeyAction::None);
    EXPECT_EQ(Key(kVkDown, ssShift).Action, TKeyAction::None);
}

TEST(PanelKeys, CursorMovesStayOnThePageAndNeverWrap) {
    auto to = [](TKeyOutcome o) { return o.Action == TKeyAction::MoveCursor ? o.CursorIndex : -1; };
    EXPECT_EQ(to(Key(kVkLeft, 0, 7)), 6);
    EXPECT_EQ(to(Key(kVkLeft, 0, 6)), -1);   // first column
    EXPECT_EQ(to(Key(kVkRight, 0, 7)), 8);
    EXPECT_EQ(to(Key(kVkRight, 0, 8)), -1);  // last column
    EXPECT_EQ(to(Key(kVkUp, 0, 7)), -1);     // first row
    EXPECT_EQ(to(Key(kVkDown, 0, 7)), 10);   // may land past the last entry
    EXPECT_EQ(to(Key(kVkDown, 0, 10)), -1);  // last row
    EXPECT_EQ(to(Key(kVkUp, 0, 10)), 7);
}

TEST(PanelKeys, CtrlLettersAndOthers) {
    EXPECT_EQ(Key('C', ssCtrl).Action, TKeyAction::HidePanel);
    EXPECT_EQ(Key('C', 0).Action, TKeyAction::None);
    EXPECT_EQ(Key('C', ssCtrl | ssShift).Action, TKeyAction::None);
    EXPECT_EQ(Key('M', ssCtrl).Action, TKeyAction::OpenMenu);
    EXPECT_EQ(Key('M', ssAlt).Action, TKeyAction::None);
    EXPECT_EQ(Key('X', 0).Action, TKeyAction::None);
    EXPECT_EQ(Key(kVkLeft, ssLeft).Action, TKeyAction::MoveCursor);  // mouse buttons are not modifiers
}

TEST(PanelKeys, KeepOnScreenInOrder) {
    int left = -5, top = 700;
    KeepOnScreen(left, top, 104, 83, 1024, 768);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 768 - 83);
    left = 930;  // Alt+Right past the right edge: its right edge touches the screen's
    top = -1;
    KeepOnScreen(left, top, 104, 83, 1024, 768);
    EXPECT_EQ(left, 920);
    EXPECT_EQ(top, 0);
    left = 10;  // wider than the screen: right edge at the screen's edge, left edge negative
    top = 10;
    KeepOnScreen(left, top, 1100, 83, 1024, 768);
    EXPECT_EQ(left, -76);
    // A second monitor left of and above the first: kept on it, not pulled onto the first.
    left = -1500, top = -700;
    KeepOnMonitor(left, top, 104, 83, {-1600, -900, -320, 124});
    EXPECT_EQ(left, -1500);
    EXPECT_EQ(top, -700);
    left = -300, top = 100;
    KeepOnMonitor(left, top, 104, 83, {-1600, -900, -320, 124});
    EXPECT_EQ(left, -424);
    EXPECT_EQ(top, 41);
}
