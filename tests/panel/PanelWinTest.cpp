// The real panel in-process: the grid's size and place, frames and highlight read back from the
// screen, tooltips, arrows, hiding.
#include "panel/UnitMain.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <utility>
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

// The text of the cell's tool in the panel's tooltip: the cell's rectangle is the tool.
std::string ToolText(TImage* image) {
    HWND root = image->Parent()->Handle();
    auto tip = static_cast<HWND>(GetPropA(root, "ZumaroToolTip"));
    wchar_t buffer[1024] = {};
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = root;
    ti.uId = reinterpret_cast<UINT_PTR>(image);
    ti.lpszText = buffer;
    if (tip == nullptr || !SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti))) return "<no tool>";
    if (ti.rect.left != image->Left() || ti.rect.top != image->Top() || ti.rect.right != image->Left() + image->Width() ||
        ti.rect.bottom != image->Top() + image->Height())
        return "<tool elsewhere>";
    SendMessageW(tip, TTM_GETTEXTW, std::size(buffer), reinterpret_cast<LPARAM>(&ti));
    return WideToSjis(buffer);
}

// A mouse message to the panel at a point of a control, as the system sends it.
void MouseAt(TfrmMain* form, TGraphicControl* control, UINT msg, int x, int y, WPARAM keys = 0) {
    SendMessageA(form->Handle(), msg, keys, MAKELPARAM(control->Left() + x, control->Top() + y));
}

void ClickAt(TfrmMain* form, TGraphicControl* control, int x, int y) {
    MouseAt(form, control, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    MouseAt(form, control, WM_LBUTTONUP, x, y);
}

// Where a graphic control is on the screen.
RECT ScreenRect(TGraphicControl* control) {
    RECT r{control->Left(), control->Top(), control->Left() + control->Width(), control->Top() + control->Height()};
    MapWindowPoints(control->Parent()->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// How many pixels of the glyph's colour an arrow shows: its black triangle when enabled.
int BlackPixels(TfrmMain* form, TSpeedButton* arrow) {
    int n = 0;
    for (int y = arrow->Top(); y < arrow->Top() + arrow->Height(); ++y)
        for (int x = arrow->Left(); x < arrow->Left() + arrow->Width(); ++x) n += PanelPixel(form, x, y) == RGB(0, 0, 0);
    return n;
}

constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE

HWND nestedTarget = nullptr;
int nestedSent = 0;

// Once the target has moved or resized, tells it, inside that, of a change back to 96 dpi.
LRESULT CALLBACK SendNestedDpiChange(int code, WPARAM wParam, LPARAM lParam) {
    auto* c = reinterpret_cast<CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && c->hwnd == nestedTarget && c->message == WM_WINDOWPOSCHANGED && nestedSent == 0) {
        ++nestedSent;
        RECT back{0, 0, 104, 83};
        SendMessageW(nestedTarget, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&back));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<std::pair<DWORD, LONG>> accessibleEvents;  // event, child

void CALLBACK NoteAccessibleEvent(HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT) accessibleEvents.emplace_back(event, child);
}

VARIANT Child(LONG id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::string AccName(IAccessible* acc, LONG id) {
    BSTR name = nullptr;
    acc->get_accName(Child(id), &name);
    std::string out = name != nullptr ? WideToSjis(name) : "";
    SysFreeString(name);
    return out;
}

LONG AccLong(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), IAccessible* acc, LONG id) {
    VARIANT v;
    VariantInit(&v);
    return SUCCEEDED((acc->*get)(Child(id), &v)) && v.vt == VT_I4 ? v.lVal : -1;
}

}  // namespace

TEST(Panel, ArrowsExistAndAreVisible) {
    TPanelFixture f(7, "PannelCol=3\r\nPannelRow=2\r\nLeft=100\r\nTop=100\r\n");
    TfrmMain* form = ShowPanel(f.dir);
    EXPECT_EQ(form->ControlAtPos(form->spbLeft->Left() + 3, form->spbLeft->Top() + 3), form->spbLeft);
    EXPECT_TRUE(form->spbLeft->Visible());
    RECT r = ScreenRect(form->spbLeft);
    EXPECT_EQ(r.left, 102);
    EXPECT_EQ(r.right - r.left, 45);
    EXPECT_EQ(r.bottom - r.top, 11);
    EXPECT_EQ(form->spbLeft->Parent(), form);
    // Drawn by the panel: a button face where the green strip would be.
    EXPECT_EQ(PanelPixel(form, 10, 75), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PanelPixel(form, 50, 75), kPanelGreen);  // the gap between the two
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
    EXPECT_EQ(ToolText(form->ButtonImages[0]), "<no tool>");
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
    // Past the last entry a cell is no tool of the tooltip, which copies all its tools on each one
    // added or taken away: only the page's two entries are.
    EXPECT_EQ(ToolText(form->ButtonImages[2]), "<no tool>");
    EXPECT_EQ(SendMessageW(static_cast<HWND>(GetPropA(form->Handle(), "ZumaroToolTip")), TTM_GETTOOLCOUNT, 0, 0), 2);
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
    ClickAt(form, form->spbRight, 5, 5);
    EXPECT_EQ(form->PageIndex, 1);
    ClickAt(form, form->spbLeft, 5, 5);
    EXPECT_EQ(form->PageIndex, 0);
    TComponent::Free(form);
}

// On a monitor of another scale the panel is drawn again for it: from the suggested top-left
// corner, at its own grid's size (the system's suggestion may round otherwise), with icons of
// the new size, the cursor's frame as wide as the gap, and keys moving it by scaled steps.
TEST(Panel, DrawnAgainAtTheNewScaleWhenTheDpiChanges) {
    TPanelFixture f(8, "PannelCol=3\r\nPannelRow=2\r\nLeft=50\r\nTop=60\r\n");
    TBoxAnswerer boxes;
    TfrmMain* form = ShowPanel(f.dir);
    auto dpiChanged = [&](int dpi, RECT suggested) {
        SendMessageA(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        Application->ProcessMessages();
    };
    auto windowRect = [&] {
        RECT r;
        GetWindowRect(form->Handle(), &r);
        return TRectI{r.left, r.top, r.right, r.bottom};
    };
    // Asked first, the panel gives the size it takes, so the system's suggestion already fits.
    SIZE scaled{0, 0};
    EXPECT_TRUE(SendMessageW(form->Handle(), kGetDpiScaledSize, 144, reinterpret_cast<LPARAM>(&scaled)));
    EXPECT_EQ((std::pair{scaled.cx, scaled.cy}), (std::pair{156L, 125L}));
    dpiChanged(144, {200, 100, 350, 220});
    EXPECT_EQ(form->Dpi(), 144);
    EXPECT_EQ(windowRect(), (TRectI{200, 100, 356, 225}));
    TImage* last = form->ButtonImages[5];
    EXPECT_EQ((TRectI{last->Left(), last->Top(), last->Width(), last->Height()}), (TRectI{105, 54, 48, 48}));
    EXPECT_EQ(last->Picture.Width(), 48) << "the icon of the cell's size, whole";
    EXPECT_EQ((TRectI{form->spbRight->Left(), form->spbRight->Top(), form->spbRight->Width(), form->spbRight->Height()}),
              (TRectI{86, 105, 67, 17}));
    for (int i : {0, 1, 2}) EXPECT_EQ(PanelPixel(form, 5, i), kHighlightRed) << i;
    EXPECT_NE(PanelPixel(form, 5, 3), kHighlightRed) << "the button's own pixels";
    EXPECT_EQ(PanelPixel(form, 53, 5), kHighlightRed) << "the gap right of the cursor's cell";

    uint16_t key = VK_RIGHT;
    form->FormKeyDown(form, key, ssCtrl);
    key = VK_DOWN;
    form->FormKeyDown(form, key, ssAlt);
    EXPECT_EQ(windowRect(), (TRectI{203, 115, 359, 240})) << "2 and 10 pixels at 96 dpi";

    dpiChanged(96, {203, 115, 307, 198});
    EXPECT_EQ(windowRect(), (TRectI{203, 115, 307, 198}));
    last = form->ButtonImages[5];  // the cells are made again at each scale
    EXPECT_EQ(last->Width(), 32);
    EXPECT_EQ(last->Picture.Width(), 32);
    EXPECT_EQ(PanelPixel(form, 5, 1), kHighlightRed);
    EXPECT_NE(PanelPixel(form, 5, 2), kHighlightRed) << "two pixels wide again";

    // The panel's own resize for the new scale brings it back over the monitors' edge, and the
    // system tells of the old scale inside it: not followed, so no bouncing between the two.
    nestedTarget = form->Handle();
    nestedSent = 0;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, SendNestedDpiChange, nullptr, GetCurrentThreadId());
    dpiChanged(144, {400, 300, 556, 425});
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(nestedSent, 1);
    EXPECT_EQ(form->Dpi(), 144);
    EXPECT_EQ(windowRect(), (TRectI{400, 300, 556, 425}));
    EXPECT_EQ(form->ButtonImages[5]->Width(), 48);
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
    EXPECT_FALSE(form->spbLeft->Visible());
    EXPECT_FALSE(form->spbRight->Visible());
    EXPECT_EQ(form->ControlAtPos(5, 3 * 18 + 5), nullptr);  // the strip is ground: it drags the panel
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
    TImage* cell4 = form->ButtonImages[4];
    MouseAt(form, cell4, WM_MOUSEMOVE, 3, 3);
    EXPECT_EQ(form->CursorIndex, 4);
    EXPECT_EQ(form->LastHoverIndex, 4);
    form->CursorIndex = 1;  // a keyboard move
    MouseAt(form, cell4, WM_MOUSEMOVE, 5, 6);
    EXPECT_EQ(form->CursorIndex, 1);  // still the keyboard's cell
    form->HintShowing = true;
    MouseAt(form, form->ButtonImages[2], WM_MOUSEMOVE, 3, 3);
    EXPECT_EQ(form->CursorIndex, 1);  // inert while the I key's hint is up
    form->HintShowing = false;
    MouseAt(form, form->ButtonImages[5], WM_MOUSEMOVE, 3, 3);
    EXPECT_EQ(form->CursorIndex, 5);  // an empty cell can hold the cursor
    TPanelGeometry g = form->Geometry();
    EXPECT_EQ(PanelPixel(form, g.HighlightOuter(2, 1).Left, g.HighlightOuter(2, 1).Top), kHighlightRed);
    TComponent::Free(form);
}

TEST(Panel, ArrowsClickWhileEnabledAndAreGreyAndDeafWhileDisabled) {
    TPanelFixture f(8, "PannelCol=3\r\nPannelRow=2\r\nLeft=50\r\nTop=60\r\n");
    TBoxAnswerer boxes;
    TfrmMain* form = ShowPanel(f.dir);
    RECT placed;
    GetWindowRect(form->Handle(), &placed);
    // Enabled: the black triangle of 9 pixels; disabled: no black at all, only the grey relief.
    EXPECT_EQ(BlackPixels(form, form->spbLeft), 0);
    EXPECT_EQ(BlackPixels(form, form->spbRight), 9);

    ClickAt(form, form->spbLeft, 5, 5);  // disabled: neither a page nor a drag
    EXPECT_EQ(form->PageIndex, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(form->spbLeft->Down());

    MouseAt(form, form->spbRight, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    EXPECT_TRUE(form->spbRight->Down());
    EXPECT_EQ(GetCapture(), form->Handle());  // held: the mouse stays with the button
    MouseAt(form, form->spbRight, WM_LBUTTONUP, 5, 5);
    EXPECT_FALSE(form->spbRight->Down());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(form->PageIndex, 1);
    form->DrawFrames();
    EXPECT_EQ(BlackPixels(form, form->spbLeft), 9);
    EXPECT_EQ(BlackPixels(form, form->spbRight), 0);

    ClickAt(form, form->spbRight, 5, 5);  // now the last page: nothing
    EXPECT_EQ(form->PageIndex, 1);
    // Pressed, then let go elsewhere: no click.
    MouseAt(form, form->spbLeft, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    MouseAt(form, form->spbLeft, WM_MOUSEMOVE, 60, -20, MK_LBUTTON);
    MouseAt(form, form->spbLeft, WM_LBUTTONUP, 60, -20);
    EXPECT_EQ(form->PageIndex, 1);
    EXPECT_FALSE(form->spbLeft->Down());
    ClickAt(form, form->spbLeft, 40, 10);
    EXPECT_EQ(form->PageIndex, 0);
    RECT now;
    GetWindowRect(form->Handle(), &now);
    EXPECT_EQ(now.left, placed.left);
    EXPECT_EQ(now.top, placed.top);
    TComponent::Free(form);
}

TEST(Panel, APressOnACellThenADragNeitherMovesThePanelNorLaunches) {
    TPanelFixture f(3, "PannelCol=3\r\nPannelRow=2\r\nAnimation=False\r\nLeft=200\r\nTop=150\r\n");
    TBoxAnswerer boxes;
    TfrmMain* form = ShowPanel(f.dir);
    DeleteFileW(SjisToWide(f.files[1]).c_str());  // a launch of it would say so in a box
    TImage* cell = form->ButtonImages[1];
    MouseAt(form, cell, WM_MOUSEMOVE, 4, 4);
    EXPECT_EQ(form->CursorIndex, 1);
    MouseAt(form, cell, WM_LBUTTONDOWN, 4, 4, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), form->Handle()) << "the cell holds the mouse: no drag of the panel";
    for (int step = 1; step <= 6; ++step) MouseAt(form, cell, WM_MOUSEMOVE, 4 + 12 * step, 4 + 9 * step, MK_LBUTTON);
    EXPECT_EQ(form->CursorIndex, 1) << "the held cell keeps the cursor";
    MouseAt(form, cell, WM_LBUTTONUP, 4 + 72, 4 + 54);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(boxes.Seen.empty()) << "let go off the cell: no launch";
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 150);
    ClickAt(form, cell, 4, 4);  // a click on it does launch
    ASSERT_EQ(boxes.Seen.size(), 1u);
    EXPECT_EQ(boxes.Seen[0].Text, "登録されたファイルが見つかりません");
    TComponent::Free(form);
}

// A cell held while the panel hides (Ctrl+C, the hot key, auto close) lets go: its release, which
// still reaches the window, launches nothing from a hidden panel.
TEST(Panel, ACellHeldWhileThePanelHidesLaunchesNothing) {
    TPanelFixture f(3, "PannelCol=3\r\nPannelRow=2\r\nAnimation=False\r\nLeft=200\r\nTop=150\r\n");
    TBoxAnswerer boxes;
    TfrmMain* form = ShowPanel(f.dir);
    DeleteFileW(SjisToWide(f.files[1]).c_str());  // a launch of it would say so in a box
    TImage* cell = form->ButtonImages[1];
    MouseAt(form, cell, WM_LBUTTONDOWN, 4, 4, MK_LBUTTON);
    ASSERT_EQ(GetCapture(), form->Handle());
    form->TogglePanel();
    EXPECT_EQ(GetCapture(), nullptr);
    MouseAt(form, cell, WM_LBUTTONUP, 4, 4);
    EXPECT_TRUE(boxes.Seen.empty()) << "no launch";
    TComponent::Free(form);
}

TEST(Panel, TheGridCostsNoWindowAndNoGdiObject) {
    int windows[2], gdi[2];
    for (int i = 0; i < 2; ++i) {
        int c = i == 0 ? 3 : 10;
        TPanelFixture f(c * c, "PannelCol=" + std::to_string(c) + "\r\nPannelRow=" + std::to_string(c) + "\r\n");
        TBoxAnswerer boxes;
        const int windowsBefore = LiveWindows, gdiBefore = LiveGdiObjects;
        TfrmMain* form = ShowPanel(f.dir);
        windows[i] = LiveWindows - windowsBefore;
        gdi[i] = LiveGdiObjects - gdiBefore;
        EXPECT_EQ(GetWindow(form->Handle(), GW_CHILD), nullptr) << "no window of its own per cell";
        EXPECT_EQ(form->ButtonImages.size(), static_cast<size_t>(c * c));
        TComponent::Free(form);
        Application->ProcessMessages();
        EXPECT_EQ(LiveWindows, windowsBefore);
        EXPECT_EQ(LiveGdiObjects, gdiBefore);
    }
    EXPECT_EQ(windows[1], windows[0]) << "3 x 3 and 10 x 10 hold the same windows";
    EXPECT_EQ(gdi[1], gdi[0]);
}

TEST(Panel, ChangesWhileHiddenShowAtTheNextCallUpAndPaintsHoldNoNewGdiObjects) {
    TPanelFixture f(8, "PannelCol=3\r\nPannelRow=2\r\nLeft=40\r\nTop=40\r\n");
    TBoxAnswerer boxes;
    TfrmMain* form = ShowPanel(f.dir);
    TPanelGeometry g = form->Geometry();
    auto red = [&](int c, int r) { return PanelPixel(form, g.HighlightOuter(c, r).Left, g.HighlightOuter(c, r).Top) == kHighlightRed; };
    ASSERT_TRUE(red(0, 0));
    const int gdi = LiveGdiObjects;
    for (int i = 0; i < 5; ++i) form->DrawFrames();
    EXPECT_EQ(LiveGdiObjects, gdi) << "one back buffer, kept";
    SendMessageA(form->Handle(), WM_HOTKEY, kHotKeyId, 0);
    ASSERT_FALSE(IsWindowVisible(form->Handle()));
    form->NextPage();  // while hidden: page 1, cursor on its first cell, the left arrow on
    form->CursorIndex = 7;
    form->DrawFrames();
    SendMessageA(form->Handle(), WM_HOTKEY, kHotKeyId, 0);
    UpdateWindow(form->Handle());
    EXPECT_TRUE(red(1, 0));
    EXPECT_FALSE(red(0, 0));
    EXPECT_EQ(BlackPixels(form, form->spbLeft), 9);
    EXPECT_EQ(BlackPixels(form, form->spbRight), 0);
    // The empty third cell shows the ground, the second the icon of the eighth file.
    EXPECT_EQ(PanelPixel(form, form->ButtonImages[2]->Left() + 16, form->ButtonImages[2]->Top() + 16), kPanelGreen);
    int icon = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            icon += PanelPixel(form, form->ButtonImages[1]->Left() + x, form->ButtonImages[1]->Top() + y) ==
                    form->ButtonImages[1]->Picture.Pixel(x, y);
    EXPECT_EQ(icon, 32 * 32);
    EXPECT_EQ(LiveGdiObjects, gdi);
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

// What a screen reader reads of the panel: the arrows and the cells as buttons named as their
// tooltips, where they are, the cursor's cell focused, the events of a page turn that an arrow's
// default action makes; the object it holds answers nothing once the panel is gone.
TEST(Panel, AScreenReaderReadsTheArrowsAndCellsAndItsObjectOutlivesThePanel) {
    TPanelFixture f(7, "PannelCol=3\r\nPannelRow=2\r\nLeft=100\r\nTop=100\r\nAutoClose=False\r\n", "True");
    TBoxAnswerer boxes;
    TfrmMain* form = ShowPanel(f.dir);
    SetForegroundWindow(form->Handle());
    IAccessible* acc = nullptr;
    ASSERT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(form->Handle(), static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                     reinterpret_cast<void**>(&acc))));
    long count = 0;
    EXPECT_EQ(acc->get_accChildCount(&count), S_OK);
    ASSERT_EQ(count, 8);
    std::vector<std::string> names;
    for (LONG id = 1; id <= count; ++id) {
        names.push_back(AccName(acc, id));
        EXPECT_EQ(AccLong(&IAccessible::get_accRole, acc, id), ROLE_SYSTEM_PUSHBUTTON) << id;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"前のページ", "次のページ", "ヒント0", "ヒント1", "ヒント2", "ヒント3",
                                               "ヒント4", "ヒント5"}));
    EXPECT_EQ(AccLong(&IAccessible::get_accState, acc, 1) & STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(AccLong(&IAccessible::get_accState, acc, 2) & STATE_SYSTEM_UNAVAILABLE, 0);
    EXPECT_EQ(AccLong(&IAccessible::get_accState, acc, 3) & STATE_SYSTEM_FOCUSED, STATE_SYSTEM_FOCUSED);
    VARIANT focus;
    EXPECT_EQ(acc->get_accFocus(&focus), S_OK);
    EXPECT_EQ((std::pair{focus.vt, focus.lVal}), (std::pair<VARTYPE, LONG>{VT_I4, 3}));
    RECT cell = ScreenRect(form->ButtonImages[1]);
    long x = 0, y = 0, w = 0, h = 0;
    EXPECT_EQ(acc->accLocation(&x, &y, &w, &h, Child(4)), S_OK);
    EXPECT_EQ((TRectI{x, y, x + w, y + h}), (TRectI{cell.left, cell.top, cell.right, cell.bottom}));
    VARIANT hit;
    EXPECT_EQ(acc->accHitTest(cell.left + 3, cell.top + 3, &hit), S_OK);
    EXPECT_EQ((std::pair{hit.vt, hit.lVal}), (std::pair<VARTYPE, LONG>{VT_I4, 4}));

    accessibleEvents.clear();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, nullptr, NoteAccessibleEvent,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    EXPECT_EQ(acc->accDoDefaultAction(Child(2)), S_OK);
    EXPECT_EQ(form->PageIndex, 0) << "answered first, acted on after";
    for (int i = 0; i < 20; ++i, Sleep(10)) Application->ProcessMessages();
    UnhookWinEvent(hook);
    EXPECT_EQ(form->PageIndex, 1);
    auto seen = [&](DWORD event, LONG child) {
        return std::find(accessibleEvents.begin(), accessibleEvents.end(), std::pair{event, child}) != accessibleEvents.end();
    };
    EXPECT_TRUE(seen(EVENT_OBJECT_STATECHANGE, 1) && seen(EVENT_OBJECT_STATECHANGE, 2)) << "both arrows";
    EXPECT_TRUE(seen(EVENT_OBJECT_NAMECHANGE, 3) && seen(EVENT_OBJECT_NAMECHANGE, 4)) << "the cells of the new page";
    EXPECT_TRUE(seen(EVENT_OBJECT_FOCUS, 3)) << "the cursor's cell on the new page";
    EXPECT_EQ(AccName(acc, 3), "ヒント6");
    EXPECT_EQ(AccName(acc, 4), "");
    EXPECT_EQ(AccLong(&IAccessible::get_accState, acc, 4) & STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(acc->accDoDefaultAction(Child(4)), DISP_E_MEMBERNOTFOUND) << "an empty cell";

    TComponent::Free(form);
    EXPECT_EQ(acc->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(acc->accDoDefaultAction(Child(3)), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(AccName(acc, 3), "");
    acc->Release();
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
