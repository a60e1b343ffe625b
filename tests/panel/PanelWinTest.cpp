// The real panel in-process: the grid's size and place, frames and highlight read back from the
// screen, tooltips, arrows, hiding.
#include "panel/UnitMain.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include "support/WinTestSupport.h"

namespace {

// A folder with a settings file and n registered text files.
struct TPanelFixture {
    TTempFolder dir;
    std::vector<std::string> files;

    TPanelFixture(int n, const std::string& values, const std::string& flag = "") {
        std::string entries;
        for (int i = 0; i < n; ++i) {
            files.push_back(dir / ("file" + std::to_string(i) + ".txt"));
            WriteFileBytes(files.back(), "x");
            entries += files.back() + (flag.empty() ? "" : "/" + flag + "/ヒント" + std::to_string(i)) + "\r\n";
        }
        WriteFileBytes(dir / "Zumaro.ini", "[Initialize]\r\n" + values + "[Registered Files]\r\n" + entries);
    }
};

TfrmMain* ShowPanel(const TTempFolder& dir) {
    auto* form = new TfrmMain(Application, dir.Path());
    form->Show();
    UpdateWindow(form->Handle());
    form->DrawFrames();
    Application->ProcessMessages();
    return form;
}

COLORREF PanelPixel(TfrmMain* form, int x, int y) {
    GdiFlush();
    HDC dc = GetDC(form->Handle());
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(form->Handle(), dc);
    return c;
}

std::string ToolText(TImage* image) {
    HWND root = GetAncestor(image->Handle(), GA_ROOT);
    auto tip = static_cast<HWND>(GetPropA(root, "ZumaroToolTip"));
    char buffer[1024] = {};
    TTTOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = root;
    ti.uId = reinterpret_cast<UINT_PTR>(image->Handle());
    ti.lpszText = buffer;
    if (tip == nullptr || !SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti))) return "<no tool>";
    SendMessageA(tip, TTM_GETTEXTA, sizeof buffer, reinterpret_cast<LPARAM>(&ti));
    return buffer;
}

}  // namespace

TEST(Panel, ArrowsExistAndAreVisible) {
    TPanelFixture f(7, "PannelCol=3\r\nPannelRow=2\r\nLeft=100\r\nTop=100\r\n");
    TfrmMain* form = ShowPanel(f.dir);
    EXPECT_TRUE(form->spbLeft->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(form->spbLeft->Handle()));
    RECT r;
    GetWindowRect(form->spbLeft->Handle(), &r);
    EXPECT_EQ(r.left, 102);
    EXPECT_EQ(r.right - r.left, 45);
    EXPECT_EQ(r.bottom - r.top, 11);
    EXPECT_EQ(GetParent(form->spbLeft->Handle()), form->Handle());
    TComponent::Free(form);
}


TEST(Panel, FirstStartGeometryAndPlace) {
    TTempFolder dir;
    TBoxAnswerer boxes;
    TfrmMain* form = ShowPanel(dir);
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 32);
    EXPECT_EQ(r.top, GetSystemMetrics(SM_CYSCREEN) / 2 - 32);
    EXPECT_EQ(r.right - r.left, 104);
    EXPECT_EQ(r.bottom - r.top, 83);
    GetClientRect(form->Handle(), &r);
    EXPECT_EQ(r.right, 104);  // no border: the client area is the window
    ASSERT_EQ(form->ButtonImages.size(), 6u);
    EXPECT_EQ(form->ButtonImages[4]->Left(), 36);
    EXPECT_EQ(form->ButtonImages[4]->Top(), 36);
    EXPECT_EQ(form->ButtonImages[4]->Width(), 32);
    EXPECT_EQ(form->spbRight->Left(), 57);
    EXPECT_EQ(form->spbRight->Top(), 70);
    EXPECT_EQ(form->spbRight->Width(), 45);
    EXPECT_EQ(form->spbRight->Height(), 11);
    // No entries: both arrows off, and no red anywhere.
    EXPECT_FALSE(form->spbLeft->Enabled());
    EXPECT_FALSE(form->spbRight->Enabled());
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 104; ++x) ASSERT_NE(PanelPixel(form, x, y), kHighlightRed) << x << "," << y;
    EXPECT_EQ(PanelPixel(form, 1, 1), kPanelGreen);
    EXPECT_EQ(PanelPixel(form, 20, 20), kPanelGreen);  // an empty image shows the green ground
    EXPECT_EQ(ToolText(form->ButtonImages[0]), "");
    TComponent::Free(form);
}

TEST(Panel, FramesHighlightAndPaging) {
    TPanelFixture f(8, "PannelCol=3\r\nPannelRow=2\r\nLeft=50\r\nTop=60\r\n");
    TBoxAnswerer boxes;
    TfrmMain* form = ShowPanel(f.dir);
    TPanelGeometry g = form->Geometry();
    auto highlighted = [&](int c, int r) {
        TRectI h = g.HighlightOuter(c, r), f2 = g.CellFrame(c, r);
        return PanelPixel(form, h.Left, h.Top) == kHighlightRed && PanelPixel(form, h.Right - 1, h.Bottom - 1) == kHighlightRed &&
               PanelPixel(form, f2.Left, f2.Top + 5) == kHighlightRed && PanelPixel(form, f2.Right - 1, f2.Bottom - 1) == kHighlightRed;
    };
    EXPECT_TRUE(highlighted(0, 0));
    EXPECT_FALSE(highlighted(1, 0));
    EXPECT_EQ(PanelPixel(form, g.CellFrame(2, 0).Left, 10), kPanelGreen);
    EXPECT_EQ(PanelPixel(form, g.CellFrame(1, 0).Left, 10), kHighlightRed);  // shared with the cursor cell
    EXPECT_FALSE(form->spbLeft->Enabled());
    EXPECT_TRUE(form->spbRight->Enabled());

    form->NextPage();
    EXPECT_EQ(form->PageIndex, 1);
    EXPECT_EQ(form->CursorIndex, 6);
    EXPECT_TRUE(highlighted(0, 0));
    EXPECT_TRUE(form->spbLeft->Enabled());
    EXPECT_FALSE(form->spbRight->Enabled());
    EXPECT_EQ(ToolText(form->ButtonImages[1]), f.files[7]);
    EXPECT_EQ(ToolText(form->ButtonImages[2]), "");  // past the last entry
    EXPECT_TRUE(form->ButtonImages[2]->Picture.Empty());

    form->NextPage();  // already on the last page
    EXPECT_EQ(form->PageIndex, 1);

    form->CursorIndex = 8;  // an empty cell keeps the highlight
    form->DrawFrames();
    EXPECT_TRUE(highlighted(2, 0));
    EXPECT_FALSE(highlighted(0, 0));  // the green frames erased the old one

    form->PrevPage();
    EXPECT_EQ(form->PageIndex, 0);
    EXPECT_EQ(form->CursorIndex, 5);
    EXPECT_TRUE(highlighted(2, 1));
    EXPECT_EQ(ToolText(form->ButtonImages[5]), f.files[5]);

    // The arrows page too, through a real click.
    HWND right = form->spbRight->Handle();
    SendMessageA(right, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(right, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(form->PageIndex, 1);
    HWND left = form->spbLeft->Handle();
    SendMessageA(left, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(left, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(form->PageIndex, 0);
    TComponent::Free(form);
}

TEST(Panel, ExactlyOnePageLeadsToAnEmptyPage) {
    TPanelFixture f(6, "PannelCol=3\r\nPannelRow=2\r\n");
    TBoxAnswerer boxes;
    TfrmMain* form = ShowPanel(f.dir);
    EXPECT_TRUE(form->spbRight->Enabled());
    form->NextPage();
    EXPECT_EQ(form->PageIndex, 1);
    EXPECT_EQ(form->CursorIndex, 6);
    EXPECT_FALSE(form->spbRight->Enabled());
    for (TImage* image : form->ButtonImages) EXPECT_TRUE(image->Picture.Empty());
    TPanelGeometry g = form->Geometry();
    EXPECT_EQ(PanelPixel(form, g.HighlightOuter(0, 0).Left, g.HighlightOuter(0, 0).Top), kHighlightRed);
    TComponent::Free(form);
}

TEST(Panel, TooltipsFollowTheOwnHintFlag) {
    TPanelFixture f(2, "PannelCol=2\r\nPannelRow=1\r\n", "True");
    std::string ini = ReadFileBytes(f.dir / "Zumaro.ini");
    ini.replace(ini.find("/True/ヒント1"), 6, "/false");
    WriteFileBytes(f.dir / "Zumaro.ini", ini);
    TBoxAnswerer boxes;
    TfrmMain* form = ShowPanel(f.dir);
    EXPECT_EQ(ToolText(form->ButtonImages[0]), "ヒント0");
    EXPECT_EQ(ToolText(form->ButtonImages[1]), f.files[1]);  // the full path, not the file name
    TComponent::Free(form);
}

TEST(Panel, IconSizeByWidthAndBoundary) {
    for (auto [width, boundary, size] : {std::tuple{24, 24, 16}, std::tuple{28, 24, 32}, std::tuple{16, 18, 16}}) {
        TPanelFixture f(1, "BtnWidth=" + std::to_string(width) + "\r\nBtnHeight=20\r\nSmallLargeBoundary=" +
                               std::to_string(boundary) + "\r\n");
        TBoxAnswerer boxes;
        TfrmMain* form = ShowPanel(f.dir);
        EXPECT_EQ(form->ButtonImages[0]->Picture.Width(), size) << width << " " << boundary;
        EXPECT_EQ(form->ButtonImages[0]->Width(), width);
        EXPECT_EQ(form->ButtonImages[0]->Height(), 20);
        // Stretched to fill the cell: the image's corners are the icon's, not the green ground.
        TComponent::Free(form);
    }
}

TEST(Panel, OneNarrowColumnHasNoArrows) {
    TPanelFixture f(4, "PannelCol=1\r\nPannelRow=3\r\nBtnWidth=16\r\nBtnHeight=16\r\n");
    TBoxAnswerer boxes;
    TfrmMain* form = ShowPanel(f.dir);
    EXPECT_FALSE(form->ArrowsVisible);
    EXPECT_FALSE(IsWindowVisible(form->spbLeft->Handle()));
    EXPECT_FALSE(IsWindowVisible(form->spbRight->Handle()));
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 20);
    EXPECT_EQ(r.bottom - r.top, 3 * 18 + 4 + 11);
    TComponent::Free(form);
}

TEST(Panel, HoverMovesTheCursorOnlyIntoAnotherCell) {
    TPanelFixture f(5, "PannelCol=3\r\nPannelRow=2\r\n");
    TBoxAnswerer boxes;
    TfrmMain* form = ShowPanel(f.dir);
    HWND cell4 = form->ButtonImages[4]->Handle();
    SendMessageA(cell4, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(form->CursorIndex, 4);
    EXPECT_EQ(form->LastHoverIndex, 4);
    form->CursorIndex = 1;  // a keyboard move
    SendMessageA(cell4, WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
    EXPECT_EQ(form->CursorIndex, 1);  // still the keyboard's cell
    form->HintShowing = true;
    SendMessageA(form->ButtonImages[2]->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(form->CursorIndex, 1);  // inert while the I key's hint is up
    form->HintShowing = false;
    SendMessageA(form->ButtonImages[5]->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(form->CursorIndex, 5);  // an empty cell can hold the cursor
    TPanelGeometry g = form->Geometry();
    EXPECT_EQ(PanelPixel(form, g.HighlightOuter(2, 1).Left, g.HighlightOuter(2, 1).Top), kHighlightRed);
    TComponent::Free(form);
}

TEST(Panel, AutoCloseStartsHiddenAndDeactivationHides) {
    TPanelFixture f(2, "AutoClose=True\r\n");
    TBoxAnswerer boxes;
    Application->ShowMainForm = true;
    auto* form = new TfrmMain(Application, f.dir.Path());
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_FALSE(Application->ShowMainForm);
    Application->ShowMainForm = true;

    form->Show();
    SendMessageA(form->Handle(), WM_ACTIVATEAPP, TRUE, 0);
    form->DialogOpen = true;  // a dialog keeps the panel up
    SendMessageA(form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    form->DialogOpen = false;
    SendMessageA(form->Handle(), WM_ACTIVATEAPP, TRUE, 0);
    SendMessageA(form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));

    form->LauncherSettings.AutoClose = false;
    form->Show();
    SendMessageA(form->Handle(), WM_ACTIVATEAPP, TRUE, 0);
    SendMessageA(form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    TComponent::Free(form);
}

TEST(Panel, BadOwnHintFlagReportsTheErrorAndStartUpGoesOn) {
    TPanelFixture f(3, "Left=33\r\nTop=44\r\nAutoClose=True\r\n", "yes");
    TBoxAnswerer boxes;
    auto* form = new TfrmMain(Application, f.dir.Path());
    ASSERT_EQ(boxes.Seen.size(), 1u);
    EXPECT_EQ(boxes.Seen[0].Text, "StrToBoolは、True/Falseのみ受け付けます.");
    EXPECT_EQ(boxes.Seen[0].Icon, "stop");
    EXPECT_EQ(boxes.Seen[0].Caption, "ズマロランチャー");
    // Every later step ran: the place, the hiding, and all the cells.
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, 33);
    EXPECT_EQ(r.top, 44);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(form->ButtonImages[static_cast<size_t>(i)]->Picture.Empty());
        EXPECT_EQ(ToolText(form->ButtonImages[static_cast<size_t>(i)]), f.files[static_cast<size_t>(i)]);
    }
    TComponent::Free(form);
}

TEST(Panel, EmptyImageSlotAtTeardownSaysErrorAndGoesOn) {
    TPanelFixture f(1, "");
    TBoxAnswerer boxes;
    auto* form = new TfrmMain(Application, f.dir.Path());
    TComponent::Free(form->ButtonImages[2]);
    form->ButtonImages[2] = nullptr;
    TComponent::Free(form);
    ASSERT_EQ(boxes.Seen.size(), 1u);
    EXPECT_EQ(boxes.Seen[0].Text, "ERROR");
    EXPECT_EQ(boxes.Seen[0].Caption, "ズマロランチャー");
    EXPECT_EQ(boxes.Seen[0].Buttons, std::vector<int>{IDOK});
    EXPECT_NE(ReadFileBytes(f.dir / "Zumaro.ini").find(f.files[0]), std::string::npos);  // saved first
}

TEST(HintWindow, WrapsLongTextAndStaysOnTheScreen) {
    TBoxAnswerer boxes;
    THintWindow hint(nullptr);
    std::string longText = "C:\\Program Files\\とても長い名前のフォルダ\\さらに長いサブフォルダ\\アプリケーション.exe "
                           "with a few more words to wrap";
    TRectI oneLine = hint.CalcHintRect(300, "short");
    TRectI wrapped = hint.CalcHintRect(300, longText);
    EXPECT_EQ(wrapped.Left, 0);
    EXPECT_EQ(wrapped.Top, 0);
    EXPECT_LE(wrapped.Right, 300 + 6);
    EXPECT_GT(wrapped.Bottom, 2 * (oneLine.Bottom - 4));  // more than one line
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    TRectI at{sw - 50, sh - 10, sw - 50 + wrapped.Right, sh - 10 + wrapped.Bottom};
    hint.ActivateHint(at, longText);
    HWND h = hint.Handle();
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(r.right, sw);
    EXPECT_EQ(r.bottom, sh);
    EXPECT_EQ(r.right - r.left, wrapped.Right);
    EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(GetActiveWindow(), h);
    hint.ActivateHint({-40, -30, -40 + 60, -30 + 20}, "x");
    GetWindowRect(h, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    hint.ReleaseHandle();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(hint.HandleAllocated());
}
