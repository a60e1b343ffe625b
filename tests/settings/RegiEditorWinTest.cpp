// The registration list editor on the real dialog: moves, deletes, adds through the open-file
// dialog, shell drops, the detail dialog, hints, a bad flag, and the pictures' ownership.
#include <gtest/gtest.h>

#include "settings/SettingsFixture.h"
#include "settings/UnitDetail.h"

namespace {

using TSteps = std::vector<TDialogScript::TStep>;
using TList = std::vector<std::string>;

struct TEditorState {
    TList rows, flags, hints;
    int selected = -2;
};

TEditorState StateOf(TfrmSetting* d) {
    return {Rows(d), Texts(*d->WorkUseAriasList), Texts(*d->WorkAriasList), d->lbxRegiApp->ItemIndex()};
}

int NonWhite(const TBitmap* b) {
    int n = 0;
    for (int y = 0; b != nullptr && y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x) n += b->Pixel(x, y) != RGB(255, 255, 255);
    return n;
}

HWND FileDialogPart(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::vector<std::string> ComboTexts(HWND combo) {
    std::vector<std::string> out;
    int n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        wchar_t text[256] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        out.push_back(WideToSjis(text));
    }
    return out;
}

// Answers the open-file dialog with a path, or cancels it; records what it showed.
struct TFileDialogSeen {
    std::vector<std::string> filters;
    int filterIndex = -1;
    bool readOnlyVisible = true;
};

TDialogScript::TStep AnswerFileDialog(const std::string* path, TFileDialogSeen* seen, const std::wstring* wide = nullptr) {
    return [path, seen, wide] {
        HWND dialog = FindThreadWindow("#32770");
        if (dialog == nullptr) return false;
        HWND filter = FileDialogPart(dialog, 0x470);  // cmb1: the file types
        if (seen != nullptr) {
            seen->filters = ComboTexts(filter);
            seen->filterIndex = static_cast<int>(SendMessageA(filter, CB_GETCURSEL, 0, 0));
            HWND readOnly = FileDialogPart(dialog, 0x410);  // chx1
            seen->readOnlyVisible = readOnly != nullptr && IsWindowVisible(readOnly);
        }
        if (path == nullptr && wide == nullptr) {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            return true;
        }
        HWND name = FileDialogPart(dialog, 0x47C);  // cmb13, or the edit edt1 in older layouts
        if (name == nullptr) name = FileDialogPart(dialog, 0x480);
        EXPECT_NE(name, nullptr);
        if (wide != nullptr)
            SetWindowTextW(name, wide->c_str());
        else
            SetText(name, *path);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        return true;
    };
}

POINT RowPoint(int row) { return {20, row * 18 + 5}; }

}  // namespace

TEST(RegiEditor, UpDownAndDeleteMoveTheWorkingListsWithTheRows) {
    TSettingsFixture f({"A", "B", "C"});
    std::string a = f.PathOf("A"), b = f.PathOf("B"), c = f.PathOf("C");
    f.flags.Put(1, "True");
    std::vector<TEditorState> seen;
    ASSERT_TRUE(f.Edit([&](TfrmSetting* d) {
        auto record = [&, d] { seen.push_back(StateOf(d)); };
        return TSteps{WaitShown(d), Do([&, d, record] {
                          HWND list = d->lbxRegiApp->Handle();
                          EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), 18);
                          EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
                          record();  // 0: as opened, nothing selected
                          Press(d->bbnUp->Handle());
                          Press(d->bbnDown->Handle());
                          record();  // 1: no selection moves nothing
                          d->lbxRegiApp->SetItemIndex(1);
                          Press(d->bbnUp->Handle());
                          record();  // 2: B, A, C
                          Press(d->bbnUp->Handle());
                          record();  // 3: first row stays
                          Press(d->bbnDown->Handle());
                          record();  // 4: A, B, C
                          d->lbxRegiApp->SetItemIndex(2);
                          Press(d->bbnDown->Handle());
                          record();  // 5: last row stays
                          d->lbxRegiApp->SetItemIndex(1);
                          Press(d->bbnDelete->Handle());
                          record();  // 6: A, C with C selected
                          Press(d->bbnDelete->Handle());
                          record();  // 7: A with A selected
                          EXPECT_EQ(GetFocus(), d->lbxRegiApp->Handle());
                          Press(d->bbnOK->Handle());
                      })};
    }));
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(seen[0].selected, -1);
    EXPECT_EQ(seen[1].rows, (TList{a, b, c}));
    EXPECT_EQ(seen[2].rows, (TList{b, a, c}));
    EXPECT_EQ(seen[2].flags, (TList{"True", "False", "False"}));
    EXPECT_EQ(seen[2].hints, (TList{"ヒントB", "ヒントA", "ヒントC"}));
    EXPECT_EQ(seen[2].selected, 0);
    EXPECT_EQ(seen[3].rows, seen[2].rows);
    EXPECT_EQ(seen[3].selected, 0);
    EXPECT_EQ(seen[4].rows, (TList{a, b, c}));
    EXPECT_EQ(seen[4].flags, (TList{"False", "True", "False"}));
    EXPECT_EQ(seen[4].selected, 1);
    EXPECT_EQ(seen[5].rows, (TList{a, b, c}));
    EXPECT_EQ(seen[5].selected, 2);
    EXPECT_EQ(seen[6].rows, (TList{a, c}));
    EXPECT_EQ(seen[6].hints, (TList{"ヒントA", "ヒントC"}));
    EXPECT_EQ(seen[6].selected, 1);
    EXPECT_EQ(seen[7].rows, (TList{a}));
    EXPECT_EQ(seen[7].selected, 0);
    EXPECT_EQ(Texts(f.files), (TList{a}));
    EXPECT_EQ(Texts(f.flags), (TList{"False"}));
    EXPECT_EQ(Texts(f.hints), (TList{"ヒントA"}));
    EXPECT_EQ(f.settings.NumOfRegi, 1);
}

TEST(RegiEditor, DeletingTheLastEntryLeavesNoSelectionAndDeleteWithoutOneDeletesNothing) {
    TSettingsFixture f({"A", "B"});
    TEditorState none, emptied;
    ASSERT_TRUE(f.Edit([&](TfrmSetting* d) {
        return TSteps{WaitShown(d), Do([&, d] {
                          Press(d->bbnDelete->Handle());
                          none = StateOf(d);
                          d->lbxRegiApp->SetItemIndex(0);
                          Press(d->bbnDelete->Handle());
                          Press(d->bbnDelete->Handle());
                          emptied = StateOf(d);
                          Press(d->bbnOK->Handle());
                      })};
    }));
    EXPECT_EQ(none.rows.size(), 2u);
    EXPECT_EQ(none.selected, -1);
    EXPECT_TRUE(emptied.rows.empty());
    EXPECT_TRUE(emptied.flags.empty());
    EXPECT_EQ(emptied.selected, -1);
    EXPECT_EQ(f.files.Count(), 0);
    EXPECT_EQ(f.settings.NumOfRegi, 0);
}

TEST(RegiEditor, AddThroughTheOpenFileDialog) {
    TSettingsFixture f({"A"});
    std::string first = f.dir / "edit.exe", second = f.dir / "表示ソフト.bat";
    WriteFileBytes(first, "MZ");
    WriteFileBytes(second, "@echo off");
    std::wstring third = WidePath(f.dir.Path()) + L"\ud55c\uad6d\uc5b4.exe";  // no Shift-JIS form
    ASSERT_TRUE(MakeWideFile(third));
    TFileDialogSeen seen;
    TEditorState afterCancel, afterAdd;
    int ownImages = -1, iconPixels = -1;
    ASSERT_TRUE(f.Edit([&](TfrmSetting* d) {
        return TSteps{WaitShown(d), Do([d] { d->lbxRegiApp->SetItemIndex(0); }),
                      Do([d] { Press(d->bbnAdd->Handle()); }), AnswerFileDialog(nullptr, &seen),
                      Do([&, d] {
                          afterCancel = StateOf(d);
                          Press(d->bbnAdd->Handle());
                      }),
                      AnswerFileDialog(&first, nullptr), Do([d] { Press(d->bbnAdd->Handle()); }),
                      AnswerFileDialog(&second, nullptr), Do([d] { Press(d->bbnAdd->Handle()); }),
                      AnswerFileDialog(nullptr, nullptr, &third), Do([&, d] {
                          afterAdd = StateOf(d);
                          ownImages = d->OwnRowImageCount();
                          iconPixels = NonWhite(d->lbxRegiApp->Image(1));
                          Press(d->bbnOK->Handle());
                      })};
    }));
    EXPECT_EQ(seen.filters, (TList{"実行ファイル(*.exe,*.lnk,*.bat)", "すべてのファイル(*.*)"}));
    EXPECT_EQ(seen.filterIndex, 0);
    EXPECT_FALSE(seen.readOnlyVisible);
    EXPECT_EQ(afterCancel.rows.size(), 1u);
    ASSERT_EQ(afterAdd.rows.size(), 4u);
    std::string shortThird = afterAdd.rows[3];
    EXPECT_EQ(afterAdd.rows, (TList{f.PathOf("A"), first, second, shortThird}));
    EXPECT_TRUE(FileExists(shortThird)) << shortThird;
    EXPECT_EQ(shortThird.find('?'), std::string::npos);
    EXPECT_EQ(afterAdd.selected, 0);  // the selection does not move
    EXPECT_EQ(ownImages, 3);
    EXPECT_GT(iconPixels, 0);  // the shell's small icon
    EXPECT_EQ(f.settings.NumOfRegi, 4);
    EXPECT_EQ(Texts(f.files), (TList{f.PathOf("A"), first, second, shortThird}));
    EXPECT_EQ(Texts(f.flags), (TList{"False", "False", "False", "True"}));
    EXPECT_EQ(Texts(f.hints), (TList{"ヒントA", "edit.exe", "表示ソフト.bat", "???.exe"}));
}

TEST(RegiEditor, DropsInsertTheFirstFileAtTheRowUnderThePointOrAppend) {
    TSettingsFixture f({"A", "B", "C"});
    std::string x = f.dir / "x.txt", y = f.dir / "y.txt", z = f.dir / "z.txt";
    for (const std::string& p : {x, y, z}) WriteFileBytes(p, "d");
    std::wstring hangul = WidePath(f.dir.Path()) + L"\ud55c\uad6d\uc5b4";
    ASSERT_TRUE(CreateDirectoryW(hangul.c_str(), nullptr));
    TEditorState onSecond, below, outside, wideDrop, underDetail;
    ASSERT_TRUE(f.Edit([&](TfrmSetting* d) {
        HWND list = d->lbxRegiApp->Handle();
        return TSteps{WaitShown(d), Do([&, d, list] {
                          d->lbxRegiApp->SetItemIndex(2);
                          DropFiles(list, {x, y, z}, RowPoint(1));
                          onSecond = StateOf(d);
                          DropFiles(list, {y}, RowPoint(6));
                          below = StateOf(d);
                          RECT r;
                          GetClientRect(list, &r);
                          DropFiles(list, {z}, {r.right + 3, 5});  // on the border or scroll bar
                          outside = StateOf(d);
                          DropFiles(list, std::vector<std::wstring>{hangul}, RowPoint(0));
                          wideDrop = StateOf(d);
                          d->lbxRegiApp->SetItemIndex(0);
                          Press(d->bbnDetail->Handle());
                      }),
                      [] { return FindThreadWindow("TfrmDetail") != nullptr; },
                      Do([&, d, list] {
                          // The detail dialog edits a row by its place: the list takes no drop under it.
                          DropFiles(list, {x}, RowPoint(0));
                          underDetail = StateOf(d);
                          PostMessageA(FindThreadWindow("TfrmDetail"), WM_CLOSE, 0, 0);
                      }),
                      Pause(50), Do([d] { Press(d->bbnOK->Handle()); })};
    }));
    std::string a = f.PathOf("A"), b = f.PathOf("B"), c = f.PathOf("C");
    EXPECT_EQ(onSecond.rows, (TList{a, x, b, c}));
    EXPECT_EQ(onSecond.flags, (TList{"False", "False", "False", "False"}));
    EXPECT_EQ(onSecond.hints, (TList{"ヒントA", "x.txt", "ヒントB", "ヒントC"}));
    EXPECT_EQ(onSecond.selected, 3);  // C stays selected
    EXPECT_EQ(below.rows, (TList{a, x, b, c, y}));
    EXPECT_EQ(below.selected, 3);
    EXPECT_EQ(outside.rows, (TList{a, x, b, c, y, z}));
    EXPECT_EQ(outside.hints.back(), "z.txt");
    // A folder named in Hangul: its short form, which is there, with its own hint.
    ASSERT_EQ(wideDrop.rows.size(), 7u);
    EXPECT_TRUE(FolderExists(wideDrop.rows[0])) << wideDrop.rows[0];
    EXPECT_EQ(wideDrop.rows[0].rfind(f.dir.Path(), 0), 0u);
    EXPECT_EQ(wideDrop.flags[0], "True");
    EXPECT_EQ(wideDrop.hints[0], "???");
    EXPECT_EQ(underDetail.rows, wideDrop.rows);
    EXPECT_EQ(Texts(f.files), wideDrop.rows);
    EXPECT_EQ(f.settings.NumOfRegi, 7);

    // An empty list takes a drop anywhere.
    TSettingsFixture empty;
    TEditorState one;
    ASSERT_TRUE(empty.Edit([&](TfrmSetting* d) {
        return TSteps{WaitShown(d), Do([&, d] {
                          DropFiles(d->lbxRegiApp->Handle(), {x}, RowPoint(0));
                          one = StateOf(d);
                          Press(d->bbnOK->Handle());
                      })};
    }));
    EXPECT_EQ(one.rows, (TList{x}));
    EXPECT_EQ(one.selected, -1);
    EXPECT_EQ(Texts(empty.hints), (TList{"x.txt"}));
}

TEST(RegiEditor, DetailStoresTheFlagAndTextAndTheHintsFollow) {
    TSettingsFixture f({"A", "B"});
    std::string hintOfA, hintOfB, afterKeyUp = "?", hintWithoutSelection = "?", altHint, afterAltUp = "?";
    bool hintShown = false;
    RECT hintRect{};
    int expectX = 0, expectY = 0;
    ASSERT_TRUE(f.Edit([&](TfrmSetting* d) {
        HWND list = d->lbxRegiApp->Handle();
        return TSteps{
            WaitShown(d),
            Do([&, d, list] {
                // No selection: the I key shows nothing.
                d->lbxRegiApp->SetFocus();
                SendMessageA(list, WM_KEYDOWN, 'I', 1);
                hintWithoutSelection = ItemHintWindow->HandleAllocated() ? "shown" : "";
                SendMessageA(list, WM_KEYUP, 'I', 0xC0000001);
                d->lbxRegiApp->SetItemIndex(0);
                Press(d->bbnDetail->Handle());
            }),
            [] { return FindThreadWindow("TfrmDetail") != nullptr; },
            Do([&] {
                HWND h = FindThreadWindow("TfrmDetail");
                HWND box = GetDlgItem(h, 1103), text = GetDlgItem(h, 1104), ok = GetDlgItem(h, 1101);
                EXPECT_FALSE(IsWindowEnabled(text));
                Press(box);
                EXPECT_TRUE(IsWindowEnabled(text));
                SetWindowTextA(text, "Editor");
                Press(ok);
            }),
            Do([&, d, list] {
                EXPECT_EQ(GetFocus(), list);
                SendMessageA(list, WM_KEYDOWN, 'I', 1);
                hintShown = ItemHintWindow->HandleAllocated() && IsWindowVisible(ItemHintWindow->Handle());
                hintOfA = ItemHintWindow->Text();
                GetWindowRect(ItemHintWindow->Handle(), &hintRect);
                expectX = d->Left() + d->pgcSetting->Left() + d->tbsRegist->Left() + d->lbxRegiApp->Left();
                expectY = d->Top() + d->pgcSetting->Top() + d->tbsRegist->Top() + d->lbxRegiApp->Top() + 18;
                SendMessageA(list, WM_KEYUP, 'I', 0xC0000001);
                afterKeyUp = ItemHintWindow->HandleAllocated() ? "shown" : "";
                // With Alt held the keys come as system keys.
                SendMessageA(list, WM_SYSKEYDOWN, 'I', 0x20000001);
                altHint = ItemHintWindow->HandleAllocated() ? ItemHintWindow->Text() : "";
                SendMessageA(list, WM_SYSKEYUP, 'I', 0xE0000001);
                afterAltUp = ItemHintWindow->HandleAllocated() ? "shown" : "";
                // A press on the second row moves the selection there first.
                SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 18 + 5));
                hintOfB = ItemHintWindow->Text();
                SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(20, 18 + 5));
                EXPECT_FALSE(ItemHintWindow->HandleAllocated());
                Press(d->bbnOK->Handle());
            })};
    }));
    EXPECT_EQ(FindWindowA("TfrmDetail", nullptr), nullptr);  // released, window and all
    EXPECT_EQ(hintWithoutSelection, "");
    EXPECT_TRUE(hintShown);
    EXPECT_EQ(hintOfA, "Editor");
    EXPECT_EQ(hintRect.left, expectX);
    EXPECT_EQ(hintRect.top, expectY);
    EXPECT_EQ(afterKeyUp, "");
    EXPECT_EQ(altHint, "Editor");
    EXPECT_EQ(afterAltUp, "");
    EXPECT_EQ(hintOfB, f.PathOf("B"));  // "False": the full path
    EXPECT_EQ(Texts(f.flags), (TList{"True", "False"}));
    EXPECT_EQ(Texts(f.hints), (TList{"Editor", "ヒントB"}));
}

TEST(RegiEditor, ABadFlagShowsTheStrToBoolErrorAndChangesNothing) {
    TSettingsFixture f({"A", "B"});
    f.flags.Put(1, "yes");
    TBoxAnswerer boxes;
    bool detailSeen = false;
    TEditorState after;
    ASSERT_TRUE(f.Edit([&](TfrmSetting* d) {
        HWND list = d->lbxRegiApp->Handle();
        return TSteps{WaitShown(d), Do([&, d, list] {
                          d->lbxRegiApp->SetItemIndex(1);
                          Press(d->bbnDetail->Handle());
                          detailSeen = FindThreadWindow("TfrmDetail") != nullptr;
                          SendMessageA(list, WM_KEYDOWN, 'I', 1);
                          SendMessageA(list, WM_KEYUP, 'I', 0xC0000001);
                          SendMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 18 + 5));
                          SendMessageA(list, WM_RBUTTONUP, 0, MAKELPARAM(20, 18 + 5));
                          after = StateOf(d);
                          Press(d->bbnOK->Handle());
                      })};
    }));
    EXPECT_FALSE(detailSeen);
    ASSERT_EQ(boxes.Seen.size(), 3u);
    for (const TBoxSeen& box : boxes.Seen) {
        EXPECT_EQ(box.Text, "StrToBoolは、True/Falseのみ受け付けます.");
        EXPECT_EQ(box.Icon, "stop");
        EXPECT_EQ(box.Caption, "ズマロランチャー");
    }
    EXPECT_EQ(after.flags, (TList{"False", "yes"}));
    EXPECT_EQ(after.selected, 1);
    EXPECT_EQ(Texts(f.flags), (TList{"False", "yes"}));
    EXPECT_EQ(Texts(f.hints), (TList{"ヒントA", "ヒントB"}));
}

TEST(RegiEditor, PicturesOfAddedAndDeletedRowsGoWithTheDialog) {
    TSettingsFixture f({"A", "B"});
    std::string x = f.dir / "x.txt";
    WriteFileBytes(x, "x");
    const int start = LiveGdiObjects;
    int before = 0, during = 0;
    auto* d = new TfrmSetting(Application);
    {
        TDialogScript script({WaitShown(d), Pause(100), Do([&] {
                                  before = LiveGdiObjects;
                                  DropFiles(d->lbxRegiApp->Handle(), {x}, RowPoint(0));
                                  DropFiles(d->lbxRegiApp->Handle(), {x}, RowPoint(9));
                                  d->lbxRegiApp->SetItemIndex(0);
                                  Press(d->bbnDelete->Handle());
                                  during = LiveGdiObjects;
                              }),
                              Pause(100), Do([&] { Press(d->bbnOK->Handle()); })});
        ASSERT_TRUE(d->EditSettings(f.settings, f.files, f.flags, f.hints, f.icons, f.page));
    }
    EXPECT_EQ(d->OwnRowImageCount(), 2);  // the deleted row's picture is still the dialog's
    // Pictures are pixels: rows hold no GDI object, however many there are.
    EXPECT_EQ(during, before);
    // The caller's pictures are its own again: it may free them before the dialog goes.
    f.icons.clear();
    d->Release();
    Application->ProcessMessages();
    EXPECT_EQ(FindThreadWindow("TfrmSetting"), nullptr);
    EXPECT_EQ(LiveGdiObjects, start);
}

TEST(RegiEditor, AccessKeysThroughTheLoopAndALongHintWraps) {
    TSettingsFixture f({"A", "B"});
    std::string longHint;
    for (int i = 0; i < 30; ++i) longHint += "abcdefgh ";
    f.AddEntry("C", "True", longHint);
    TEditorState afterAltU;
    int hintHeight = 0, oneLine = 0, hintWidth = 0;
    ASSERT_FALSE(f.Edit([&](TfrmSetting* d) {
        HWND list = d->lbxRegiApp->Handle();
        return TSteps{WaitShown(d), Do([d, list] {
                          d->lbxRegiApp->SetItemIndex(1);
                          d->lbxRegiApp->SetFocus();
                          PostMessageA(list, WM_SYSKEYDOWN, 'U', 0x20000001);
                          PostMessageA(list, WM_SYSCHAR, 'u', 0x20000001);
                          PostMessageA(list, WM_SYSKEYUP, 'U', 0xE0000001);
                      }),
                      Pause(100), Do([&, d, list] {
                          afterAltU = StateOf(d);
                          // The I key through the loop, on the entry with the long hint.
                          d->lbxRegiApp->SetItemIndex(2);
                          d->lbxRegiApp->SetFocus();
                          PostMessageA(list, WM_KEYDOWN, 'I', 1);
                      }),
                      Pause(50), Do([&, list] {
                          RECT r{};
                          if (ItemHintWindow->HandleAllocated()) GetWindowRect(ItemHintWindow->Handle(), &r);
                          hintHeight = r.bottom - r.top;
                          hintWidth = r.right - r.left;
                          oneLine = ItemHintWindow->CalcHintRect(300, "x").Height();
                          PostMessageA(list, WM_KEYUP, 'I', 0xC0000001);
                      }),
                      Pause(50), Do([d] {
                          EXPECT_FALSE(ItemHintWindow->HandleAllocated());
                          Press(d->bbnCancel->Handle());
                      })};
    }));
    EXPECT_EQ(afterAltU.rows, (TList{f.PathOf("B"), f.PathOf("A"), f.PathOf("C")}));
    EXPECT_EQ(afterAltU.selected, 0);
    EXPECT_GE(hintHeight, 3 * oneLine - 8);  // 270 letters in words: three lines at least
    EXPECT_LE(hintWidth, 300 + 10);
}
