// The panel's grid to the pixel, paging and the hover rule; no window system here.
#pragma once

#include <cstdint>

#include "toolkit/Classes.h"

// Columns C, rows R, button width W and height H and the page-arrow height, in 96-dpi pixels as
// the settings hold them, drawn at Dpi: every length below is a drawn one.
struct TPanelGeometry {
    int C = 3, R = 2, W = 32, H = 32, ArrowHeight = 11;
    int Dpi = 96;

    static TPanelGeometry AtDpi(int cols, int rows, int btnWidth, int btnHeight, int dpi) {
        return {cols, rows, btnWidth, btnHeight, 11, dpi};
    }
    int Scale(int v) const { return ScaleForDpi(v, Dpi); }
    int CellWidth() const { return Scale(W); }
    int CellHeight() const { return Scale(H); }
    int ArrowStripHeight() const { return Scale(ArrowHeight); }
    // The gap between cells: the cursor's frame fills it.
    int Gap() const { return Scale(2); }
    int PitchX() const { return CellWidth() + Gap(); }
    int PitchY() const { return CellHeight() + Gap(); }

    TRectI ButtonRect(int c, int r) const {
        int x = c * PitchX() + Gap(), y = r * PitchY() + Gap();
        return {x, y, x + CellWidth(), y + CellHeight()};
    }
    // The one-pixel frame just around a button.
    TRectI CellFrame(int c, int r) const {
        TRectI b = ButtonRect(c, r);
        return {b.Left - 1, b.Top - 1, b.Right + 1, b.Bottom + 1};
    }
    TRectI GridOutline() const { return {0, 0, C * PitchX() + Gap(), R * PitchY() + Gap()}; }
    // The cursor's frame runs from here in to the button: the whole gap around it.
    TRectI HighlightOuter(int c, int r) const {
        return {c * PitchX(), r * PitchY(), (c + 1) * PitchX() + Gap(), (r + 1) * PitchY() + Gap()};
    }
    int ClientWidth() const { return C * PitchX() + Gap(); }
    int ClientHeight() const { return R * PitchY() + 2 * Gap() + ArrowStripHeight(); }
    TRectI ArrowStrip() const { return {0, R * PitchY(), ClientWidth(), ClientHeight()}; }
    // Decided on the 96-dpi panel, so that rounding never shows or hides them at another scale.
    bool ArrowsVisible() const { return C * (W + 2) + 2 > 24; }
    int ArrowWidth() const { return (C * PitchX()) / 2 - Scale(6); }
    int ArrowTop() const { return R * PitchY() + Gap(); }
    int LeftArrowLeft() const { return Gap(); }
    int RightArrowLeft() const { return C * PitchX() - ArrowWidth(); }
};

// The last page: page count - 1, where an exact multiple of the page size adds an empty page.
inline int32_t LastPage(int32_t entryCount, int32_t buttonsPerPage) { return entryCount / buttonsPerPage; }

// Buttons wider than the boundary show the large icon; equal counts as small. Both are in 96-dpi
// pixels, whatever the scale the panel is drawn at.
inline bool UseLargeIcon(int32_t btnWidth, int32_t boundary) { return btnWidth > boundary; }

// The entry index of the cell whose image lies at (imageLeft, imageTop).
inline int32_t HoverIndex(const TPanelGeometry& g, int imageLeft, int imageTop, int32_t pageIndex) {
    int column = (imageLeft + 1) / g.PitchX();
    int row = (imageTop + 1) / g.PitchY();
    return pageIndex * (g.C * g.R) + row * g.C + column;
}

// The entry index a drop at client point (x, y) addresses: the cell under it on the page that
// holds the cursor. Nothing is clamped: below the last row (the arrow strip) is the next page's
// first row, right of the last column the next row's first cell.
inline int64_t DropIndex(const TPanelGeometry& g, int32_t cursorIndex, int x, int y) {
    int64_t perPage = static_cast<int64_t>(g.C) * g.R;
    int64_t column = x / g.PitchX(), row = y / g.PitchY();
    return perPage * (cursorIndex / perPage) + column + row * g.C;
}

// Cursor and page together; the page operations keep the cursor on the page shown.
struct TPaging {
    int32_t CursorIndex = 0;
    int32_t PageIndex = 0;

    // False when already on the first page.
    bool Prev(int32_t buttonsPerPage) {
        if (PageIndex == 0) return false;
        --PageIndex;
        CursorIndex = (PageIndex + 1) * buttonsPerPage - 1;
        return true;
    }
    // False when already on the last page.
    bool Next(int32_t entryCount, int32_t buttonsPerPage) {
        if (PageIndex == LastPage(entryCount, buttonsPerPage)) return false;
        ++PageIndex;
        CursorIndex = PageIndex * buttonsPerPage;
        return true;
    }
};
