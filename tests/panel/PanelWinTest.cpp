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

