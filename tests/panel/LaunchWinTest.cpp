// Keys sent to the real panel, and launching through the shell.
#include <gtest/gtest.h>

#include "animation/UnitZumaro.h"
#include "panel/UnitMain.h"
#include "support/WinTestSupport.h"

namespace {

void Press(TfrmMain* form, UINT vk, std::initializer_list<int> held = {}) {
    BYTE state[256] = {};
    for (int k : held) state[k] = 0x80;
    SetKeyboardState(state);
    bool alt = std::find(held.begin(), held.end(), VK_MENU) != held.end();
    SendMessageA(form->Handle(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 0);
    BYTE none[256] = {};
    SetKeyboardState(none);
}

struct TLaunchFixture {
    TTempFolder dir;
    std::vector<std::string> files;
    TLaunchFixture(int n, const std::string& values) {
        std::string entries;
        for (int i = 0; i < n; ++i) {
            files.push_back(dir / ("f" + std::to_string(i) + ".txt"));
            WriteFileBytes(files.back(), "x");
            entries += files.back() + "/True/ヒント" + std::to_string(i) + "\r\n";
        }
        WriteFileBytes(dir / "Zumaro.ini", "[Initialize]\r\n" + values + "[Registered Files]\r\n" + entries);
    }
};

// One registered batch file that leaves a marker file when the shell runs it; returns the marker.
std::string WriteMarkerEntry(const TTempFolder& dir, const std::string& values) {
    std::string marker = dir / "launched.txt";
    std::string bat = dir / "mark.bat";
    WriteFileBytes(bat, "@echo done> \"" + marker + "\"\r\n");
    WriteFileBytes(dir / "Zumaro.ini", "[Initialize]\r\n" + values + "[Registered Files]\r\n" + bat + "\r\n");
    return marker;
}

}  // namespace

TEST(PanelKeysLive, CursorPagesAndPanelMoves) {
    TLaunchFixture f(8, "PannelCol=3\r\nPannelRow=2\r\nLeft=100\r\nTop=100\r\n");
    TBoxAnswerer boxes;
    auto* form = new TfrmMain(Application, f.dir.Path());
    form->Show();
    Press(form, VK_RIGHT);
    EXPECT_EQ(form->CursorIndex, 1);
    Press(form, VK_DOWN);
    EXPECT_EQ(form->CursorIndex, 4);
    Press(form, VK_DOWN);  // last row: nothing
    EXPECT_EQ(form->CursorIndex, 4);
    Press(form, VK_RIGHT, {VK_SHIFT});
    EXPECT_EQ(form->PageIndex, 1);
    EXPECT_EQ(form->CursorIndex, 6);
    Press(form, VK_RIGHT, {VK_MENU});
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, 110);
    Press(form, VK_UP, {VK_CONTROL});
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.top, 98);
    Press(form, VK_LEFT, {VK_CONTROL, VK_SHIFT});  // not exactly one modifier
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, 110);
    EXPECT_EQ(form->PageIndex, 1);
    form->SetBounds(GetSystemMetrics(SM_CXSCREEN) - 50, -20, 104, 83);
    Press(form, VK_RIGHT, {VK_MENU});  // pushed back onto the screen
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.top, 0);
    Press(form, 'C', {VK_CONTROL});
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    TComponent::Free(form);
}

TEST(PanelKeysLive, TheIKeysHintSitsOnTheCursorCellUntilAKeyIsReleased) {
    TLaunchFixture f(5, "PannelCol=3\r\nPannelRow=2\r\nLeft=100\r\nTop=120\r\n");
    TBoxAnswerer boxes;
    auto* form = new TfrmMain(Application, f.dir.Path());
    form->Show();
    form->CursorIndex = 4;  // column 1, row 1
    Press(form, 'I');
    EXPECT_TRUE(form->HintShowing);
    ASSERT_TRUE(ItemHintWindow->HandleAllocated());
    EXPECT_EQ(ItemHintWindow->Text(), "ヒント4");
    RECT r;
    GetWindowRect(ItemHintWindow->Handle(), &r);
    EXPECT_EQ(r.left, 100 + 34);
    EXPECT_EQ(r.top, 120 + 34);
    Press(form, VK_LEFT);  // inert while the hint is up
    EXPECT_EQ(form->CursorIndex, 4);
    SendMessageA(form->Handle(), WM_KEYUP, 'X', 0);
    EXPECT_FALSE(form->HintShowing);
    EXPECT_FALSE(ItemHintWindow->HandleAllocated());
    form->CursorIndex = 5;  // an empty cell: no hint, keys still work
    Press(form, 'I');
    EXPECT_FALSE(form->HintShowing);
    Press(form, VK_LEFT);
    EXPECT_EQ(form->CursorIndex, 4);
    TComponent::Free(form);
}

TEST(Launch, VanishedFileSaysSoThenAutoCloseHides) {
    TLaunchFixture f(2, "AutoClose=True\r\n");
    TBoxAnswerer boxes;
    auto* form = new TfrmMain(Application, f.dir.Path());
    form->Show();
    DeleteFileW(SjisToWide(f.files[1]).c_str());
    form->CursorIndex = 1;
    Press(form, VK_RETURN);
    ASSERT_EQ(boxes.Seen.size(), 1u);
    EXPECT_EQ(boxes.Seen[0].Text, "登録されたファイルが見つかりません");
    EXPECT_EQ(boxes.Seen[0].Caption, "ズマロランチャー");
    EXPECT_EQ(boxes.Seen[0].Icon, "stop");
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(form->RegiFileList->Count(), 2);  // still registered
    form->Show();
    form->CursorIndex = 3;  // past the entries: nothing at all
    Press(form, 'L');
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    TComponent::Free(form);
}

TEST(Launch, RealLaunchThroughTheShellAfterTheFlight) {
    TTempFolder dir;
    std::string marker = WriteMarkerEntry(dir, "Animation=True\r\nZumaroSpeed=10\r\n");
    TBoxAnswerer boxes;
    auto* form = new TfrmMain(Application, dir.Path());
    frmZumaro = new TfrmZumaro(Application);
    int moves = 0;
    frmZumaro->Wait = [](DWORD) {};
    frmZumaro->OnMoved = [&](int) { ++moves; };
    form->Show();
    // A click on the first cell, where the panel's window has it.
    TImage* cell = form->ButtonImages[0];
    SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell->Left() + 3, cell->Top() + 3));
    SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(cell->Left() + 3, cell->Top() + 3));
    EXPECT_GT(moves, 10);
    for (int i = 0; i < 100 && !PathExists(marker); ++i) Sleep(100);
    EXPECT_TRUE(PathExists(marker));
    EXPECT_TRUE(boxes.Seen.empty());
    TComponent::Free(frmZumaro);
    frmZumaro = nullptr;
    TComponent::Free(form);
}

TEST(Launch, WithoutAnimationNoFlightAndStillTheShell) {
    TTempFolder dir;
    std::string marker = WriteMarkerEntry(dir, "Animation=False\r\nZumaroSound=True\r\n");
    TBoxAnswerer boxes;
    auto* form = new TfrmMain(Application, dir.Path());
    frmZumaro = new TfrmZumaro(Application);
    int moves = 0;
    frmZumaro->OnMoved = [&](int) { ++moves; };
    form->Show();
    Press(form, 'L', {VK_SHIFT});  // Shift+L launches like L
    for (int i = 0; i < 100 && !PathExists(marker); ++i) Sleep(100);
    EXPECT_TRUE(PathExists(marker));
    EXPECT_EQ(moves, 0);
    EXPECT_FALSE(IsWindowVisible(frmZumaro->Handle()));
    TComponent::Free(frmZumaro);
    frmZumaro = nullptr;
    TComponent::Free(form);
}
