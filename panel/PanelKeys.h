// What a key press on the panel does, by the key table; no window system here.
#pragma once

#include <cstdint>

#include "toolkit/Classes.h"

enum class TKeyAction { None, Launch, PrevPage, NextPage, MovePanel, MoveCursor, HidePanel, ShowHint, OpenMenu };

struct TKeyOutcome {
    TKeyAction Action = TKeyAction::None;
    int Dx = 0, Dy = 0;         // MovePanel
    int32_t CursorIndex = 0;    // MoveCursor
};

constexpr uint16_t kVkReturn = 13, kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40;

// shift holds only Shift, Alt and Ctrl; "Shift" in the table means exactly that one modifier.
inline TKeyOutcome PanelKeyAction(uint16_t key, TShiftState shift, int32_t cursor, int32_t cols, int32_t rows) {
    TShiftState mods = shift & (ssShift | ssAlt | ssCtrl);
    int32_t perPage = cols * rows;
    int32_t p = cursor % perPage;
    int32_t column = p % cols, row = p / cols;
    TKeyOutcome out;
    auto move = [&](int dx, int dy) {
        out.Action = TKeyAction::MovePanel;
        out.Dx = dx;
        out.Dy = dy;
    };
    auto cursorTo = [&](int32_t index) {
        out.Action = TKeyAction::MoveCursor;
        out.CursorIndex = index;
    };
    switch (key) {
        case kVkReturn:
        case 'L': out.Action = TKeyAction::Launch; break;
        case kVkLeft:
            if (mods == ssShift) out.Action = TKeyAction::PrevPage;
            else if (mods == ssCtrl) move(-2, 0);
            else if (mods == ssAlt) move(-10, 0);
            else if (mods == 0 && column != 0) cursorTo(cursor - 1);
            break;
        case kVkRight:
            if (mods == ssShift) out.Action = TKeyAction::NextPage;
            else if (mods == ssCtrl) move(2, 0);
            else if (mods == ssAlt) move(10, 0);
            else if (mods == 0 && column != cols - 1) cursorTo(cursor + 1);
            break;
        case kVkUp:
            if (mods == ssCtrl) move(0, -2);
            else if (mods == ssAlt) move(0, -10);
            else if (mods == 0 && row != 0) cursorTo(cursor - cols);
            break;
        case kVkDown:
            if (mods == ssCtrl) move(0, 2);
            else if (mods == ssAlt) move(0, 10);
            else if (mods == 0 && row != rows - 1) cursorTo(cursor + cols);
            break;
        case 'C':
            if (mods == ssCtrl) out.Action = TKeyAction::HidePanel;
            break;
        case 'I': out.Action = TKeyAction::ShowHint; break;
        case 'M':
            if (mods == ssCtrl) out.Action = TKeyAction::OpenMenu;
            break;
        default: break;
    }
    return out;
}

// Brings the panel back onto its monitor, left before right and top before bottom, so that a
// panel wider than the monitor ends with its right edge at the monitor's edge.
inline void KeepOnMonitor(int& left, int& top, int width, int height, const TRectI& monitor) {
    if (left < monitor.Left) left = monitor.Left;
    if (left > monitor.Right - width) left = monitor.Right - width;
    if (top < monitor.Top) top = monitor.Top;
    if (top > monitor.Bottom - height) top = monitor.Bottom - height;
}

// The same on a screen of that size at the origin.
inline void KeepOnScreen(int& left, int& top, int width, int height, int screenWidth, int screenHeight) {
    KeepOnMonitor(left, top, width, height, {0, 0, screenWidth, screenHeight});
}
