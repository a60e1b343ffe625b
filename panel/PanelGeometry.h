// The panel's grid to the pixel, paging and the hover rule; no window system here.
#pragma once

#include <cstdint>

#include "toolkit/Classes.h"

// Columns C, rows R, button width W and height H, page-arrow height.
struct TPanelGeometry {
    int C = 3, R = 2, W = 32, H = 32, ArrowHeight = 11;

    TRectI ButtonRect(int c, int r) const { return {c * (W + 2) + 2, r * (H + 2) + 2, c * (W + 2) + 2 + W, r * (H + 2) + 2 + H}; }
    TRectI CellFrame(int c, int r) const {
        return {c * (W + 2) + 1, r * (H + 2) + 1, (c + 1) * (W + 2) + 1, (r + 1) * (H + 2) + 1};
    }
    TRectI GridOutline() const { return {0, 0, C * (W + 2) + 2, R * (H + 2) + 2}; }
    TRectI HighlightOuter(int c, int r) const {
        return {c * (W + 2), r * (H + 2), (c + 1) * (W + 2) + 2, (r + 1) * (H + 2) + 2};
    }
    int ClientWidth() const { return C * (W + 2) + 2; }
    int ClientHeight() const { return R * (H + 2) + 4 + ArrowHeight; }
    TRectI ArrowStrip() const { return {0, R * (H + 2), ClientWidth(), ClientHeight()}; }
    bool ArrowsVisible() const { return ClientWidth() > 24; }
    int ArrowWidth() const { return (C * (W + 2)) / 2 - 6; }
    int ArrowTop() const { return R * (H + 2) + 2; }
    int LeftArrowLeft() const { return 2; }
    int RightArrowLeft() const { return C * (W + 2) - ArrowWidth(); }
};

// The last page: page count - 1, where an exact multiple of the page size adds an empty page.
inline int32_t LastPage(int32_t entryCount, int32_t buttonsPerPage) { return entryCount / buttonsPerPage; }

// Buttons wider than the boundary show the 32 x 32 icon; equal counts as small.
inline bool UseLargeIcon(int32_t btnWidth, int32_t boundary) { return btnWidth > boundary; }

// The entry index of the cell whose image lies at (imageLeft, imageTop).
inline int32_t HoverIndex(const TPanelGeometry& g, int imageLeft, int imageTop, int32_t pageIndex) {
    int column = (imageLeft + 1) / (g.W + 2);
    int row = (imageTop + 1) / (g.H + 2);
    return pageIndex * (g.C * g.R) + row * g.C + column;
}

// The entry index a drop at client point (x, y) addresses: the cell under it on the page that
// holds the cursor. Nothing is clamped: below the last row (the arrow strip) is the next page's
// first row, right of the last column the next row's first cell.
inline int64_t DropIndex(const TPanelGeometry& g, int32_t cursorIndex, int x, int y) {
    int64_t perPage = static_cast<int64_t>(g.C) * g.R;
    int64_t column = x / (g.W + 2), row = y / (g.H + 2);
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
