#include "panel/PanelGeometry.h"

#include <gtest/gtest.h>

#include "app/SettingsText.h"

TEST(PanelGeometry, FirstStartDefaults) {
    TPanelGeometry g{3, 2, 32, 32, 11};
    EXPECT_EQ(g.ClientWidth(), 104);
    EXPECT_EQ(g.ClientHeight(), 83);
    EXPECT_TRUE(g.ArrowsVisible());
    EXPECT_EQ(g.ArrowWidth(), 45);
    EXPECT_EQ(g.LeftArrowLeft(), 2);
    EXPECT_EQ(g.LeftArrowLeft() + g.ArrowWidth(), 47);
    EXPECT_EQ(g.RightArrowLeft(), 57);
    EXPECT_EQ(g.RightArrowLeft() + g.ArrowWidth(), 102);
    EXPECT_EQ(g.ArrowTop(), 70);
    EXPECT_EQ(g.ArrowStrip(), (TRectI{0, 68, 104, 83}));
    EXPECT_EQ(g.GridOutline(), (TRectI{0, 0, 104, 70}));
}

TEST(PanelGeometry, CellsFramesAndHighlightNest) {
    TPanelGeometry g{3, 2, 32, 20, 11};
    EXPECT_EQ(g.ButtonRect(0, 0), (TRectI{2, 2, 34, 22}));
    EXPECT_EQ(g.ButtonRect(2, 1), (TRectI{70, 24, 102, 44}));
    EXPECT_EQ(g.CellFrame(2, 1), (TRectI{69, 23, 103, 45}));
    EXPECT_EQ(g.HighlightOuter(2, 1), (TRectI{68, 22, 104, 46}));
    // Each frame encloses its image with one pixel; the highlight adds a second.
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 2; ++r) {
            TRectI b = g.ButtonRect(c, r), f = g.CellFrame(c, r), h = g.HighlightOuter(c, r);
            EXPECT_EQ((TRectI{b.Left - 1, b.Top - 1, b.Right + 1, b.Bottom + 1}), f);
            EXPECT_EQ((TRectI{f.Left - 1, f.Top - 1, f.Right + 1, f.Bottom + 1}), h);
        }
}

TEST(PanelGeometry, ArrowsOnlyOnPanelsWiderThan24) {
    TPanelGeometry g16{1, 3, 16, 16, 11}, g20{1, 3, 20, 20, 11}, g24{1, 3, 24, 24, 11};
    EXPECT_EQ(g16.ClientWidth(), 20);
    EXPECT_FALSE(g16.ArrowsVisible());
    EXPECT_EQ(g16.ClientHeight(), 3 * 18 + 4 + 11);  // the empty strip stays
    EXPECT_EQ(g20.ClientWidth(), 24);
    EXPECT_FALSE(g20.ArrowsVisible());
    EXPECT_EQ(g24.ClientWidth(), 28);
    EXPECT_TRUE(g24.ArrowsVisible());
    EXPECT_EQ(g24.ArrowWidth(), 7);
    EXPECT_EQ(g24.RightArrowLeft(), 19);
}

TEST(Paging, LastPageAndExactMultiples) {
    EXPECT_EQ(LastPage(0, 6), 0);
    EXPECT_EQ(LastPage(5, 6), 0);
    EXPECT_EQ(LastPage(6, 6), 1);  // a full page is followed by an empty one
    EXPECT_EQ(LastPage(13, 6), 2);
    EXPECT_EQ(LastPage(12, 1), 12);
}

TEST(Paging, NextAndPrevPutTheCursorOnTheNewPage) {
    TPaging p;
    EXPECT_FALSE(p.Prev(6));
    EXPECT_TRUE(p.Next(6, 6));
    EXPECT_EQ(p.PageIndex, 1);
    EXPECT_EQ(p.CursorIndex, 6);  // first cell of the (empty) page
    EXPECT_FALSE(p.Next(6, 6));
    EXPECT_EQ(p.PageIndex, 1);

    TPaging q{14, 2};
    EXPECT_TRUE(q.Prev(6));
    EXPECT_EQ(q.PageIndex, 1);
    EXPECT_EQ(q.CursorIndex, 11);  // last cell of page 1
    EXPECT_TRUE(q.Prev(6));
    EXPECT_EQ(q.CursorIndex, 5);
    EXPECT_FALSE(q.Prev(6));
}

TEST(Hover, CellFromImagePositionOnEveryPage) {
    TPanelGeometry g{4, 3, 24, 18, 11};
    for (int page : {0, 3})
        for (int r = 0; r < g.R; ++r)
            for (int c = 0; c < g.C; ++c) {
                TRectI b = g.ButtonRect(c, r);
                EXPECT_EQ(HoverIndex(g, b.Left, b.Top, page), page * 12 + r * 4 + c);
            }
}

// Found by the fuzzer: a hand-edited "BtnWidth=0" was brought to 1, and a button of 1 pixel hovered
// the cell to its right. The smallest buttons the reader lets through hover their own cells.
TEST(Hover, SmallestButtonsTheReaderAllowsHoverTheirOwnCells) {
    TLauncherSettings s = ReadSettingsValues({"BtnWidth=0", "BtnHeight=-7", "PannelCol=3", "PannelRow=2"}, 800, 600);
    TPanelGeometry g{s.PannelCol, s.PannelRow, s.BtnWidth, s.BtnHeight, 11};
    for (int page : {0, 2})
        for (int r = 0; r < g.R; ++r)
            for (int c = 0; c < g.C; ++c) {
                TRectI b = g.ButtonRect(c, r);
                EXPECT_EQ(HoverIndex(g, b.Left, b.Top, page), page * 6 + r * 3 + c) << c << "," << r;
            }
}

TEST(IconSize, OnlyTheWidthIsComparedAndEqualIsSmall) {
    EXPECT_FALSE(UseLargeIcon(24, 24));
    EXPECT_TRUE(UseLargeIcon(25, 24));
    EXPECT_TRUE(UseLargeIcon(28, 24));
    EXPECT_FALSE(UseLargeIcon(16, 18));
    EXPECT_TRUE(UseLargeIcon(1, -1));
}

TEST(PanelGeometry, DropIndexAddressesTheCellOnTheCursorsPageUnclamped) {
    TPanelGeometry g{3, 2, 32, 32, 11};
    EXPECT_EQ(DropIndex(g, 0, 0, 0), 0);
    EXPECT_EQ(DropIndex(g, 0, 33, 33), 0) << "the last pixel of the first cell's pitch";
    EXPECT_EQ(DropIndex(g, 0, 34, 33), 1);
    EXPECT_EQ(DropIndex(g, 0, 70, 40), 5);
    EXPECT_EQ(DropIndex(g, 4, 70, 40), 5) << "any cursor on page 0";
    EXPECT_EQ(DropIndex(g, 7, 36, 2), 7) << "page 1";
    EXPECT_EQ(DropIndex(g, 2, 10, 75), 6) << "the arrow strip is the next page's first row";
    EXPECT_EQ(DropIndex(g, 0, 102, 2), 3) << "the right margin is the next row's first cell";
    EXPECT_EQ(DropIndex(TPanelGeometry{5, 1, 20, 20, 11}, 12, 45, 5), 12);
}

// At another DPI every length of the grid is the 96-dpi one times the scale, rounded alike: at
// 192 dpi exactly twice the first-start panel, at 144 the 156 x 125 of 48-pixel cells.
TEST(PanelGeometry, ScaledByTheDpiWithTheGapsAndFramesAlike) {
    TPanelGeometry at96 = TPanelGeometry::AtDpi(3, 2, 32, 32, 96);
    TPanelGeometry literal{3, 2, 32, 32, 11};
    EXPECT_EQ(at96.ClientWidth(), literal.ClientWidth());
    EXPECT_EQ(at96.ButtonRect(2, 1), literal.ButtonRect(2, 1));

    TPanelGeometry g = TPanelGeometry::AtDpi(3, 2, 32, 32, 144);
    EXPECT_EQ((std::pair{g.CellWidth(), g.ArrowStripHeight()}), (std::pair{48, 17}));
    EXPECT_EQ(g.Gap(), 3);
    EXPECT_EQ((std::pair{g.ClientWidth(), g.ClientHeight()}), (std::pair{156, 125}));
    EXPECT_EQ(g.ButtonRect(2, 1), (TRectI{105, 54, 153, 102}));
    EXPECT_EQ(g.CellFrame(2, 1), (TRectI{104, 53, 154, 103}));
    EXPECT_EQ(g.HighlightOuter(2, 1), (TRectI{102, 51, 156, 105})) << "the cursor's frame fills the 3-pixel gap";
    EXPECT_EQ(g.ArrowStrip(), (TRectI{0, 102, 156, 125}));
    EXPECT_EQ((std::vector{g.ArrowTop(), g.LeftArrowLeft(), g.ArrowWidth(), g.RightArrowLeft()}),
              (std::vector{105, 3, 67, 86}));
    // The cells the mouse and a drop find are the drawn ones.
    EXPECT_EQ(HoverIndex(g, 105, 54, 1), 6 + 5);
    EXPECT_EQ(DropIndex(g, 0, 104, 53), 5);
    EXPECT_EQ(DropIndex(g, 0, 101, 50), 1) << "the gap left of the third column is still the second's";

    TPanelGeometry g192 = TPanelGeometry::AtDpi(3, 2, 32, 32, 192);
    EXPECT_EQ((std::pair{g192.ClientWidth(), g192.ClientHeight()}), (std::pair{2 * 104, 2 * 83}));
    EXPECT_EQ(g192.ArrowWidth(), 2 * 45);
    EXPECT_EQ(g192.RightArrowLeft(), 2 * 57);

    TPanelGeometry g120 = TPanelGeometry::AtDpi(3, 2, 32, 32, 120);
    EXPECT_EQ((std::vector{g120.CellWidth(), g120.Gap(), g120.ArrowStripHeight()}), (std::vector{40, 3, 14}));  // 2.5 and 13.75 rounded
    EXPECT_EQ((std::pair{g120.ClientWidth(), g120.ClientHeight()}), (std::pair{132, 106}));

    // Arrows show on panels wider than 24 pixels at 96 dpi, at any scale.
    EXPECT_FALSE(TPanelGeometry::AtDpi(1, 3, 20, 20, 144).ArrowsVisible());
    EXPECT_TRUE(TPanelGeometry::AtDpi(1, 3, 24, 24, 144).ArrowsVisible());
    EXPECT_FALSE(TPanelGeometry::AtDpi(1, 3, 20, 20, 120).ArrowsVisible());
}
