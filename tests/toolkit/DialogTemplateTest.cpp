// Reading a DIALOGEX template, dialog units to pixels, and which control holds which.
#include "toolkit/DialogTemplate.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Writes a template as the resource compiler lays it out.
class TTemplateWriter {
public:
    void Word(uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void DWord(uint32_t v) {
        Word(static_cast<uint16_t>(v & 0xFFFF));
        Word(static_cast<uint16_t>(v >> 16));
    }
    void String(const std::u16string& s) {
        for (char16_t c : s) Word(static_cast<uint16_t>(c));
        Word(0);
    }
    void Align() {
        while (bytes.size() % 4 != 0) bytes.push_back(0);
    }
    void Header(uint32_t style, int count, const std::u16string& caption, bool font) {
        Word(1);
        Word(0xFFFF);
        DWord(0);
        DWord(0x100);  // extended style
        DWord(style | (font ? 0x40u : 0u));
        Word(static_cast<uint16_t>(count));
        for (int v : {0, 0, 200, 100}) Word(static_cast<uint16_t>(v));
        Word(0);  // no menu
        Word(0);  // the standard class
        String(caption);
        if (font) {
            Word(9);
            Word(400);
            bytes.push_back(0);
            bytes.push_back(0x80);
            String(u"ＭＳ Ｐゴシック");
        }
    }
    void Item(int id, int x, int y, int cx, int cy, uint16_t ordinal, const std::u16string& cls,
              const std::u16string& text, uint16_t extra = 0) {
        Align();
        DWord(0);
        DWord(0x200);
        DWord(0x50010000);
        for (int v : {x, y, cx, cy}) Word(static_cast<uint16_t>(v));
        DWord(static_cast<uint32_t>(id));
        if (ordinal != 0) {
            Word(0xFFFF);
            Word(ordinal);
        } else {
            String(cls);
        }
        String(text);
        Word(extra);
        for (uint16_t i = 0; i < extra; ++i) bytes.push_back(0xAB);
    }
    std::vector<uint8_t> bytes;
};

TDialogItem At(int x, int y, int cx, int cy) {
    TDialogItem item;
    item.X = x;
    item.Y = y;
    item.Cx = cx;
    item.Cy = cy;
    return item;
}

}  // namespace

TEST(DialogTemplate, ReadsTheHeaderFontAndEveryItem) {
    TTemplateWriter w;
    w.Header(0x80C80880u, 3, u"詳細設定", true);
    w.Item(1101, 4, 5, 50, 14, 0x80, u"", u"OK", 3);  // creation data is skipped
    w.Item(-1, 8, 9, 100, 10, 0, u"msctls_trackbar32", u"");
    w.Item(1003, 1, 2, 3, 4, 0x85, u"", u"キャンセル");
    TDialogTemplate t = ParseDialogTemplate(w.bytes.data(), w.bytes.size());
    EXPECT_EQ(t.Style, 0x80C808C0u);
    EXPECT_EQ(t.ExStyle, 0x100u);
    EXPECT_EQ(t.Cx, 200);
    EXPECT_EQ(t.Cy, 100);
    EXPECT_EQ(t.Caption, u"詳細設定");
    EXPECT_EQ(t.PointSize, 9);
    EXPECT_EQ(t.Weight, 400);
    EXPECT_EQ(t.Charset, 0x80);
    EXPECT_EQ(t.FontName, u"ＭＳ Ｐゴシック");
    ASSERT_EQ(t.Items.size(), 3u);
    EXPECT_EQ(t.Items[0].ClassName, u"Button");
    EXPECT_EQ(t.Items[0].Text, u"OK");
    EXPECT_EQ(t.Items[0].Id, 1101);
    EXPECT_EQ(t.Items[0].X, 4);
    EXPECT_EQ(t.Items[0].Cy, 14);
    EXPECT_EQ(t.Items[0].Style, 0x50010000u);
    EXPECT_EQ(t.Items[0].ExStyle, 0x200u);
    EXPECT_EQ(t.Items[1].ClassName, u"msctls_trackbar32");
    EXPECT_EQ(t.Items[1].Id, -1);
    EXPECT_EQ(t.Items[2].ClassName, u"ComboBox");
    EXPECT_EQ(t.Items[2].Text, u"キャンセル");
}

TEST(DialogTemplate, WithoutAFontTheItemsStillLineUp) {
    TTemplateWriter w;
    w.Header(0, 1, u"x", false);
    w.Item(7, 1, 1, 1, 1, 0x82, u"", u"label");
    TDialogTemplate t = ParseDialogTemplate(w.bytes.data(), w.bytes.size());
    EXPECT_EQ(t.PointSize, 0);
    ASSERT_EQ(t.Items.size(), 1u);
    EXPECT_EQ(t.Items[0].ClassName, u"Static");
    EXPECT_EQ(t.Items[0].Text, u"label");
}

TEST(DialogTemplate, DamagedTemplatesAreRefused) {
    TTemplateWriter w;
    w.Header(0, 2, u"x", true);
    w.Item(7, 1, 1, 1, 1, 0x80, u"", u"a");
    w.Item(8, 1, 1, 1, 1, 0x80, u"", u"b");
    std::vector<uint8_t> cut(w.bytes.begin(), w.bytes.end() - 3);
    EXPECT_THROW(ParseDialogTemplate(cut.data(), cut.size()), Exception);
    std::vector<uint8_t> old = w.bytes;
    old[2] = 0;  // not the extended format
    EXPECT_THROW(ParseDialogTemplate(old.data(), old.size()), Exception);
    TTemplateWriter unknown;
    unknown.Header(0, 1, u"x", false);
    unknown.Item(7, 1, 1, 1, 1, 0x99, u"", u"a");
    EXPECT_THROW(ParseDialogTemplate(unknown.bytes.data(), unknown.bytes.size()), Exception);
}

TEST(DialogTemplate, DialogUnitsScaleByTheFontAndRound) {
    // A font 6 pixels wide on average and 13 high: x by 6/4, y by 13/8.
    EXPECT_EQ(DialogUnitsToPixels(4, 8, 52, 15, 6, 13), (TRectI{6, 13, 6 + 78, 13 + 24}));
    EXPECT_EQ(DialogUnitsToPixels(1, 1, 1, 1, 6, 13), (TRectI{2, 2, 4, 4}));  // 1.5 and 1.625 round up
    EXPECT_EQ(DialogUnitsToPixels(0, 0, 0, 0, 6, 13), (TRectI{0, 0, 0, 0}));
}

TEST(DialogTemplate, AFixedClientAreaTakesTheLayoutWhateverTheFont) {
    // 184 x 94 units onto 276 x 141 pixels is the 12-pixel font's own measure (6 x 12), unit for unit.
    TDialogScale fixed = FixedClientDialogScale(184, 94, 276, 141);
    for (int v = 0; v <= 184; ++v)
        ASSERT_EQ(DialogUnitsToPixels(v, v, v, v, fixed), DialogUnitsToPixels(v, v, v, v, 6, 12)) << v;
    // A button near the bottom that a 13-pixel font pushes out stays inside.
    EXPECT_GT(DialogUnitsToPixels(66, 74, 52, 15, 6, 13).Bottom, 141);
    EXPECT_EQ(DialogUnitsToPixels(66, 74, 52, 15, fixed), (TRectI{99, 111, 99 + 78, 111 + 23}));
    // Any size: the layout's far corner is the area's.
    EXPECT_EQ(DialogUnitsToPixels(0, 0, 100, 50, FixedClientDialogScale(100, 50, 250, 80)), (TRectI{0, 0, 250, 80}));
    EXPECT_THROW(FixedClientDialogScale(0, 94, 276, 141), Exception);
}

TEST(DialogTemplate, AtAnyDpiEveryLengthIsTheExactOneRounded) {
    // The settings dialog's font at 96 dpi is 7 x 13 pixels under Wine; the About dialog fixes 276 x 141.
    TDialogScale font = FontDialogScale(7, 13), fixed = FixedClientDialogScale(184, 94, 276, 141);
    for (int v = -4; v <= 320; ++v) {
        for (const TDialogScale& s : {font, fixed})
            ASSERT_EQ(DialogUnitsToPixels(v, v, v, v, DialogScaleForDpi(s, 96)), DialogUnitsToPixels(v, v, v, v, s)) << v;
    }
    for (int dpi : {120, 144, 192}) {
        TDialogScale s = DialogScaleForDpi(font, dpi);
        for (int v = 0; v <= 320; ++v) {
            // v units are v * 7 / 4 pixels across and v * 13 / 8 down at 96 dpi, so many times dpi / 96 here.
            TRectI r = DialogUnitsToPixels(v, v, v, v, s);
            ASSERT_LE(std::abs(r.Left * 4 * 96 - v * 7 * dpi), 4 * 96 / 2) << v << " at " << dpi;
            ASSERT_LE(std::abs(r.Height() * 8 * 96 - v * 13 * dpi), 8 * 96 / 2) << v << " at " << dpi;
        }
        // A fixed client area is its 96-dpi size scaled as any length is.
        EXPECT_EQ(DialogUnitsToPixels(0, 0, 184, 94, DialogScaleForDpi(fixed, dpi)),
                  (TRectI{0, 0, ScaleForDpi(276, dpi), ScaleForDpi(141, dpi)})) << dpi;
    }
    // One and a half times the 96-dpi dialog, rounded once, not the rounded one grown.
    EXPECT_EQ(DialogUnitsToPixels(0, 0, 308, 198, DialogScaleForDpi(font, 144)), (TRectI{0, 0, 809, 483}));
    EXPECT_THROW(DialogScaleForDpi(font, 0), Exception);
}

TEST(DialogTemplate, ControlsGoIntoTheLastPageThatHoldsThem) {
    std::vector<TDialogItem> items = {
        At(184, 179, 52, 15),   // 0 OK, on the form
        At(4, 4, 288, 170),     // 1 page control
        At(8, 20, 280, 150),    // 2 first page
        At(20, 38, 196, 122),   // 3 its list
        At(8, 20, 280, 150),    // 4 second page: same place, not inside the first
        At(58, 140, 40, 100),   // 5 a drop-down list reaching below its page: its corner counts
        At(8, 20, 280, 150),    // 6 third page
        At(300, 300, 5, 5),     // 7 outside everything
    };
    std::vector<bool> containers = {false, true, true, false, true, false, true, false};
    EXPECT_EQ(ContainerIndices(items, containers), (std::vector<int>{-1, -1, 1, 2, 1, 4, 1, -1}));
    EXPECT_TRUE(IsContainerClass(u"SysTabControl32"));
    EXPECT_TRUE(IsContainerClass(u"systabcontrol32"));
    EXPECT_TRUE(IsContainerClass(u"TTabSheet"));
    EXPECT_FALSE(IsContainerClass(u"Button"));
    EXPECT_FALSE(IsContainerClass(u"TTabSheets"));
}
