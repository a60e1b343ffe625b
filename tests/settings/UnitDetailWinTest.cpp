// The real detail dialog, modal: the greyed hint box, OK with the box cleared or the text
// emptied, Cancel and the close box after edits, the tooltip and the focus.
#include "settings/UnitDetail.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "settings/DialogDriver.h"
#include "support/WinTestSupport.h"

namespace {

using TSteps = std::vector<TDialogScript::TStep>;

struct TDetailRun {
    bool result = false;
    bool useArias = false;
    std::string arias;
};

TDetailRun RunDetail(const std::string& file, bool useArias, const std::string& arias,
                     const std::function<TSteps(TfrmDetail*)>& steps) {
    auto* d = new TfrmDetail(Application);
    TDetailRun run{false, useArias, arias};
    {
        TDialogScript script(steps(d));
        run.result = d->EditDetail(file, run.useArias, run.arias);
    }
    d->Release();
    Application->ProcessMessages();
    return run;
}

std::string ToolText(HWND control) {
    HWND root = GetAncestor(control, GA_ROOT);
    auto tip = static_cast<HWND>(GetPropA(root, "ZumaroDialogToolTip"));
    wchar_t buffer[512] = {};
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = root;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = buffer;
    if (tip == nullptr || !SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti))) return "<no tool>";
    SendMessageW(tip, TTM_GETTEXTW, std::size(buffer), reinterpret_cast<LPARAM>(&ti));
    return WideToSjis(buffer);
}

}  // namespace

TEST(DetailDialog, OpensGreyedWithTheTextAndTheBoxMakesItUsableAtOnce) {
    bool textEnabled = true, labelEnabled = true, textAfter = false, labelAfter = false;
    std::string shownText, shownFile, caption, tool;
    HWND focus = nullptr, box = nullptr;
    TDetailRun run = RunDetail("C:\\Tools\\表示.exe", false, "ヒント", [&](TfrmDetail* d) {
        return TSteps{WaitShown(d), Shot(d, "detail"), Do([&, d] {
                          textEnabled = IsWindowEnabled(d->edtArias->Handle());
                          labelEnabled = IsWindowEnabled(d->lblArias->Handle());
                          shownText = d->edtArias->Text();
                          shownFile = d->edtFileName->Text();
                          caption = WindowText(d->Handle());
                          focus = GetFocus();
                          box = d->chbUseArias->Handle();
                          tool = ToolText(box);
                          Press(d->chbUseArias->Handle());
                          textAfter = IsWindowEnabled(d->edtArias->Handle());
                          labelAfter = IsWindowEnabled(d->lblArias->Handle());
                      }),
                      Shot(d, "detail-ticked"), Do([d] { Press(d->bbnCancel->Handle()); })};
    });
    EXPECT_FALSE(run.result);
    EXPECT_FALSE(textEnabled);
    EXPECT_FALSE(labelEnabled);
    EXPECT_EQ(shownText, "ヒント");
    EXPECT_EQ(shownFile, "C:\\Tools\\表示.exe");
    EXPECT_EQ(caption, "詳細設定");
    EXPECT_EQ(focus, box);
    EXPECT_EQ(tool, "ここをチェックすると下のテキストボックスの内容がヒントに表示されます");
    EXPECT_TRUE(textAfter);
    EXPECT_TRUE(labelAfter);
}

TEST(DetailDialog, OkWithTheBoxClearedKeepsTheTypedText) {
    TDetailRun run = RunDetail("C:\\a.exe", false, "", [](TfrmDetail* d) {
        return TSteps{WaitShown(d), Do([d] {
                          Press(d->chbUseArias->Handle());
                          SetText(d->edtArias->Handle(), "書いた");
                          Press(d->chbUseArias->Handle());
                          // A path typed over the shown one changes nothing.
                          SetText(d->edtFileName->Handle(), "D:\\other.exe");
                          Press(d->bbnOK->Handle());
                      })};
    });
    EXPECT_TRUE(run.result);
    EXPECT_FALSE(run.useArias);
    EXPECT_EQ(run.arias, "書いた");
}

TEST(DetailDialog, OkWithTheBoxTickedAndTheTextEmptied) {
    TDetailRun run = RunDetail("C:\\a.exe", true, "old", [](TfrmDetail* d) {
        return TSteps{WaitShown(d), Do([d] {
                          EXPECT_TRUE(IsWindowEnabled(d->edtArias->Handle()));
                          SetText(d->edtArias->Handle(), "");
                          Press(d->bbnOK->Handle());
                      })};
    });
    EXPECT_TRUE(run.result);
    EXPECT_TRUE(run.useArias);
    EXPECT_EQ(run.arias, "");
}

TEST(DetailDialog, CancelAndTheCloseBoxLeaveTheCallersValuesAfterEdits) {
    for (bool closeBox : {false, true}) {
        TDetailRun run = RunDetail("C:\\a.exe", true, "元のヒント", [closeBox](TfrmDetail* d) {
            return TSteps{WaitShown(d), Do([d] {
                              SetText(d->edtArias->Handle(), "changed");
                              Press(d->chbUseArias->Handle());
                          }),
                          Do([d] { PostKey(GetFocus(), VK_ESCAPE); }), Pause(50),
                          Do([d, closeBox] {
                              EXPECT_TRUE(IsWindowVisible(d->Handle()));  // Escape closes nothing
                              if (closeBox)
                                  PostMessageA(d->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
                              else
                                  Press(d->bbnCancel->Handle());
                          })};
        });
        EXPECT_FALSE(run.result);
        EXPECT_TRUE(run.useArias);
        EXPECT_EQ(run.arias, "元のヒント");
    }
}

// Moved to a monitor of 120 dpi and back: the layout and its font a quarter larger, then as they were.
TEST(DetailDialog, ADpiChangeLaysItOutAgainAtTheNewScale) {
    TDpiTrip trip;
    RunDetail("C:\\a.exe", true, "hint", [&](TfrmDetail* d) {
        return TSteps{WaitShown(d), DpiTrip([d] { return d->Handle(); }, 120, trip, "detail-120"),
                      Do([d] { Press(d->bbnCancel->Handle()); })};
    });
    ExpectDpiTrip(trip, 120);
}
