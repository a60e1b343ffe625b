// The real main window in-process: settings file, registration list, icons, message boxes.
#include "panel/UnitMain.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>

#include "app/UnitUtils.h"
#include "settings/DialogDriver.h"
#include "support/WinTestSupport.h"

namespace {

const char kCaption[] = "ズマロランチャー";

std::string StandardFile(const std::string& entries) {
    return "[Initialize]\r\nPannelCol=4\r\nPannelRow=2\r\nBtnWidth=24\r\nBtnHeight=24\r\nSmallLargeBoundary=20\r\n"
           "Animation=False\r\nZumaroSpeed=7\r\nZumaroSound=False\r\nNumOfRegi=99\r\nHotKey1=2\r\nHotKey2=K\r\n"
           "AutoClose=False\r\nLeft=40\r\nTop=50\r\n\r\n[Registered Files]\r\n" +
           entries;
}

int WhitePixels(const TBitmap& b) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) n += b.Pixel(x, y) == RGB(255, 255, 255);
    return n;
}

TfrmMain* CreateMain(const TTempFolder& folder) { return new TfrmMain(Application, folder.Path()); }

}  // namespace

TEST(MainSettings, NoFileMessageDefaultsThenCompleteFileAtClose) {
    TTempFolder dir;
    TfrmMain* form = nullptr;
    TBoxAnswerer boxes;
    form = CreateMain(dir);
    ASSERT_EQ(boxes.Seen.size(), 1u);
    EXPECT_EQ(boxes.Seen[0].Caption, kCaption);
    EXPECT_EQ(boxes.Seen[0].Text,
              "初期化ファイル(Zumaro.ini)がインストールされたフォルダに見つかりません。\r既定値に初期化されます。");
    EXPECT_EQ(boxes.Seen[0].Icon, "exclamation");
    EXPECT_EQ(boxes.Seen[0].Buttons, std::vector<int>{IDOK});

    TLauncherSettings want = NoFileDefaults(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(form->LauncherSettings, want);
    EXPECT_EQ(form->RegiFileList->Count(), 0);
    EXPECT_EQ(form->IniPath, dir / "Zumaro.ini");
    EXPECT_EQ(Application->HelpFile, dir / "Zumaro.hlp");
    EXPECT_FALSE(PathExists(dir / "Zumaro.ini"));  // not created before the first save
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, want.Left);
    EXPECT_EQ(r.top, want.Top);

    SetWindowPos(form->Handle(), nullptr, 17, -3, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    TComponent::Free(form);
    EXPECT_EQ(ReadFileBytes(dir / "Zumaro.ini"),
              "[Initialize]\r\nPannelCol=3\r\nPannelRow=2\r\nBtnWidth=32\r\nBtnHeight=32\r\nSmallLargeBoundary=24\r\n"
              "Animation=True\r\nZumaroSpeed=5\r\nZumaroSound=True\r\nNumOfRegi=0\r\nHotKey1=1\r\nHotKey2=A\r\n"
              "AutoClose=False\r\nLeft=17\r\nTop=-3\r\n\r\n[Registered Files]\r\n");
    EXPECT_FALSE(PathExists(dir / "Zumaro.ini.tmp"));
}

TEST(MainSettings, EntriesInADoubleByteFolderLoadAndSaveUnchanged) {
    TTempFolder dir("表示ソフト");
    ASSERT_TRUE(CreateDirectoryW(SjisToWide(dir / "フォルダ表").c_str(), nullptr));
    WriteFileBytes(dir / "ソフト.txt", "memo");
    std::string entries = dir / "ソフト.txt" + "\r\n" + dir / "フォルダ表" + "/True/フォルダ/その他\r\n" +
                          dir / "ソフト.txt" + "/yes/\r\n";
    WriteFileBytes(dir / "Zumaro.ini", StandardFile(entries));

    TBoxAnswerer boxes;
    TfrmMain* form = CreateMain(dir);
    ASSERT_EQ(boxes.Seen.size(), 1u);  // the "yes" flag cannot be read when the page is shown
    EXPECT_EQ(boxes.Seen[0].Text, "StrToBoolは、True/Falseのみ受け付けます.");
    const TLauncherSettings& s = form->LauncherSettings;
    EXPECT_EQ(s.PannelCol, 4);
    EXPECT_EQ(s.BtnWidth, 24);
    EXPECT_EQ(s.SmallLargeBoundary, 20);
    EXPECT_FALSE(s.Animation);
    EXPECT_EQ(s.ZumaroSpeed, 7);
    EXPECT_EQ(s.HotKey1, 2);
    EXPECT_EQ(s.HotKey2, "K");
    EXPECT_EQ(s.ButtonsPerPage, 8);
    EXPECT_EQ(s.NumOfRegi, 3);  // counted, not read
    ASSERT_EQ(form->RegiFileList->Count(), 3);
    ASSERT_EQ(form->LargeIconList.size(), 3u);
    ASSERT_EQ(form->SmallIconList.size(), 3u);
    EXPECT_EQ((*form->AriasList)[0], "ソフト.txt");
    EXPECT_EQ((*form->UseAriasList)[0], "False");
    EXPECT_EQ((*form->AriasList)[1], "フォルダ/その他");
    EXPECT_EQ((*form->UseAriasList)[2], "yes");  // kept as read
    EXPECT_EQ(form->LargeIconList[1]->Width(), 32);
    EXPECT_EQ(form->SmallIconList[1]->Width(), 16);
    EXPECT_LT(WhitePixels(*form->LargeIconList[1]), 32 * 32);  // the folder icon

    TComponent::Free(form);
    std::string want = StandardFile(dir / "ソフト.txt" + "/False/ソフト.txt\r\n" + dir / "フォルダ表" +
                                    "/True/フォルダ/その他\r\n" + dir / "ソフト.txt" + "/yes/ソフト.txt\r\n");
    want.replace(want.find("NumOfRegi=99"), 12, "NumOfRegi=3");
    EXPECT_EQ(ReadFileBytes(dir / "Zumaro.ini"), want);
}

TEST(MainSettings, MissingEntryKeptOnNoDroppedOnYes) {
    TTempFolder dir;
    WriteFileBytes(dir / "a.txt", "a");
    std::string gone = dir / "消えたファイル.exe";
    WriteFileBytes(dir / "Zumaro.ini", StandardFile(dir / "a.txt\r\n" + gone + "/True/消えた\r\n\r\n"));

    {
        TBoxAnswerer boxes({IDNO, IDNO});
        TfrmMain* form = CreateMain(dir);
        ASSERT_EQ(boxes.Seen.size(), 2u);
        EXPECT_EQ(boxes.Seen[0].Text,
                  "登録されたファイル(" + gone + ")が見つかりません。登録リストから削除してもいいですか？");
        EXPECT_EQ(boxes.Seen[0].Caption, kCaption);
        EXPECT_EQ(boxes.Seen[0].Icon, "exclamation");
        EXPECT_EQ(boxes.Seen[0].Buttons, (std::vector<int>{IDYES, IDNO}));
        // The empty line is an entry with an empty path, which never exists.
        EXPECT_EQ(boxes.Seen[1].Text, "登録されたファイル()が見つかりません。登録リストから削除してもいいですか？");
        ASSERT_EQ(form->RegiFileList->Count(), 3);
        EXPECT_EQ((*form->RegiFileList)[1], gone);
        EXPECT_EQ(WhitePixels(*form->LargeIconList[1]), 32 * 32);  // no icon for a missing file
        EXPECT_EQ(WhitePixels(*form->SmallIconList[1]), 16 * 16);
        EXPECT_LT(WhitePixels(*form->LargeIconList[0]), 32 * 32);
        TComponent::Free(form);
    }
    std::string kept = ReadFileBytes(dir / "Zumaro.ini");
    EXPECT_NE(kept.find(gone + "/True/消えた\r\n/False/\r\n"), std::string::npos) << kept;

    {
        TBoxAnswerer boxes({IDYES, IDYES});
        TfrmMain* form = CreateMain(dir);
        EXPECT_EQ(boxes.Seen.size(), 2u);
        ASSERT_EQ(form->RegiFileList->Count(), 1);
        EXPECT_EQ(form->LauncherSettings.NumOfRegi, 1);
        TComponent::Free(form);
    }
    std::string dropped = ReadFileBytes(dir / "Zumaro.ini");
    EXPECT_EQ(dropped.find(gone), std::string::npos);
    EXPECT_NE(dropped.find("NumOfRegi=1\r\n"), std::string::npos);
}

TEST(MainSettings, IconBitmapsForFileFolderAndMissingPath) {
    TTempFolder dir;
    WriteFileBytes(dir / "note.txt", "x");
    TBoxAnswerer boxes;
    TfrmMain* form = CreateMain(dir);
    TBitmap large, small;
    MakeIconBitmaps(dir / "note.txt", &large, &small);
    EXPECT_EQ(large.Width(), 32);
    EXPECT_EQ(large.Height(), 32);
    EXPECT_EQ(small.Width(), 16);
    EXPECT_EQ(small.Height(), 16);
    EXPECT_LT(WhitePixels(large), 32 * 32);
    EXPECT_LT(WhitePixels(small), 16 * 16);
    EXPECT_GT(WhitePixels(large), 0);  // the icon's transparent parts show the white ground

    TBitmap folderLarge, folderSmall;
    MakeIconBitmaps(dir.Path(), &folderLarge, &folderSmall);
    EXPECT_LT(WhitePixels(folderLarge), 32 * 32);
    EXPECT_LT(WhitePixels(folderSmall), 16 * 16);

    // A bitmap that held an icon is white again when the path has gone.
    MakeIconBitmaps(dir / "nothing-here.exe", &large, &small);
    EXPECT_EQ(WhitePixels(large), 32 * 32);
    EXPECT_EQ(WhitePixels(small), 16 * 16);
    TComponent::Free(form);
}

TEST(MainSettings, FailedSaveWarnsAndKeepsTheOldFile) {
    TTempFolder dir;
    std::string original = StandardFile("");
    WriteFileBytes(dir / "Zumaro.ini", original);
    TBoxAnswerer boxes;
    TfrmMain* form = CreateMain(dir);
    EXPECT_TRUE(boxes.Seen.empty());
    form->LauncherSettings.PannelCol = 1;
    // Another program reads the file at exit and lets nobody replace it meanwhile.
    HANDLE reader = CreateFileW(SjisToWide(dir / "Zumaro.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    TComponent::Free(form);
    CloseHandle(reader);
    ASSERT_EQ(boxes.Seen.size(), 1u);
    EXPECT_EQ(boxes.Seen[0].Caption, kCaption);
    EXPECT_EQ(boxes.Seen[0].Icon, "exclamation");
    EXPECT_EQ(boxes.Seen[0].Text.rfind("設定ファイル(" + dir / "Zumaro.ini" + ")を保存できませんでした。\r", 0), 0u)
        << boxes.Seen[0].Text;
    EXPECT_GT(boxes.Seen[0].Text.size(), ("設定ファイル(" + dir / "Zumaro.ini" + ")を保存できませんでした。\r").size());
    EXPECT_EQ(ReadFileBytes(dir / "Zumaro.ini"), original);
    EXPECT_FALSE(PathExists(dir / "Zumaro.ini.tmp"));
}

TEST(MainSettings, ReadOnlyFileIsNotReplaced) {
    TTempFolder dir;
    std::string original = StandardFile("");
    WriteFileBytes(dir / "Zumaro.ini", original);
    SetFileAttributesW(SjisToWide(dir / "Zumaro.ini").c_str(), FILE_ATTRIBUTE_READONLY);
    TBoxAnswerer boxes;
    TfrmMain* form = CreateMain(dir);
    EXPECT_EQ(form->LauncherSettings.PannelCol, 4);
    form->LauncherSettings.PannelCol = 1;
    TComponent::Free(form);
    EXPECT_EQ(boxes.Seen.size(), 1u);  // the save's warning
    EXPECT_EQ(ReadFileBytes(dir / "Zumaro.ini"), original);
    EXPECT_FALSE(PathExists(dir / "Zumaro.ini.tmp"));
    SetFileAttributesW(SjisToWide(dir / "Zumaro.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(MainSettings, UnreadableFileWarnsStartsOnDefaultsAndIsNeverOverwritten) {
    TTempFolder dir;
    std::string original = StandardFile("C:\\x.exe\r\n");
    WriteFileBytes(dir / "Zumaro.ini", original);
    // Another program holds it open and shares nothing.
    HANDLE lock = CreateFileW(SjisToWide(dir / "Zumaro.ini").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    TBoxAnswerer boxes;
    TfrmMain* form = CreateMain(dir);
    ASSERT_EQ(boxes.Seen.size(), 1u);
    EXPECT_EQ(boxes.Seen[0].Icon, "exclamation");
    EXPECT_EQ(boxes.Seen[0].Caption, kCaption);
    EXPECT_NE(boxes.Seen[0].Text.find("設定ファイル(" + dir / "Zumaro.ini" + ")を読み込めません。"), std::string::npos);
    EXPECT_EQ(form->LauncherSettings, NoFileDefaults(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_EQ(form->RegiFileList->Count(), 0);
    CloseHandle(lock);  // even once it could be written, this run leaves it alone
    TComponent::Free(form);
    EXPECT_EQ(boxes.Seen.size(), 1u);
    EXPECT_EQ(ReadFileBytes(dir / "Zumaro.ini"), original);
}

TEST(MainSettings, HandEditedValuesAreKeptAsTheRulesSay) {
    TTempFolder dir;
    WriteFileBytes(dir / "Zumaro.ini",
                   "pannelcol=8\nPannelCol=2\nPannelRow =4\rBtnWidth=40\r\nBtnHeight=0\nZumaroSpeed=-2\n"
                   "HotKey1=9\nHotKey2=b\nLeft=-500\nTop=$20\nAnimation=no\nAutoClose=TRUE\n");
    TBoxAnswerer boxes;
    TfrmMain* form = CreateMain(dir);
    const TLauncherSettings& s = form->LauncherSettings;
    EXPECT_EQ(s.PannelCol, 8);
    EXPECT_EQ(s.PannelRow, 3);
    EXPECT_EQ(s.BtnWidth, 40);
    EXPECT_EQ(s.BtnHeight, 2);
    EXPECT_EQ(s.ZumaroSpeed, 1);
    EXPECT_EQ(s.HotKey1, 9);
    EXPECT_EQ(s.HotKey2, "A");
    EXPECT_TRUE(s.Animation);
    EXPECT_TRUE(s.AutoClose);
    EXPECT_EQ(s.Left, -500);
    EXPECT_EQ(s.Top, 32);
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, -500);  // used as stored, off the screen too
    EXPECT_EQ(r.top, 32);
    EXPECT_TRUE(boxes.Seen.empty());
    TComponent::Free(form);
    std::string text = ReadFileBytes(dir / "Zumaro.ini");
    EXPECT_EQ(text.rfind("[Initialize]\r\nPannelCol=8\r\nPannelRow=3\r\nBtnWidth=40\r\nBtnHeight=2\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("HotKey1=9\r\nHotKey2=A\r\nAutoClose=True\r\nLeft=-500\r\nTop=32\r\n"), std::string::npos);
}

TEST(MainSettings, SessionEndWritesTheFile) {
    TTempFolder dir;
    TBoxAnswerer boxes;
    TfrmMain* form = CreateMain(dir);
    SendMessageA(form->Handle(), WM_QUERYENDSESSION, 0, 0);
    EXPECT_FALSE(PathExists(dir / "Zumaro.ini"));
    SendMessageA(form->Handle(), WM_ENDSESSION, FALSE, 0);  // cancelled: nothing yet
    EXPECT_FALSE(PathExists(dir / "Zumaro.ini"));
    SendMessageA(form->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_NE(ReadFileBytes(dir / "Zumaro.ini").find("[Registered Files]\r\n"), std::string::npos);
    TComponent::Free(form);
}

TEST(MainWindow, ClassNameAndCloseEndsTheLoop) {
    TTempFolder dir;
    TBoxAnswerer boxes;
    TfrmMain* form = CreateMain(dir);
    char cls[64] = {};
    GetClassNameA(form->Handle(), cls, sizeof cls);
    EXPECT_STREQ(cls, "TfrmMain");
    EXPECT_TRUE(GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongA(form->Handle(), GWL_STYLE) & WS_CAPTION);
    // The loop shows the main form and ends when it is closed; the window lives on until teardown.
    Application->MainForm = form;
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(IsWindow(form->Handle()));
    EXPECT_FALSE(PathExists(dir / "Zumaro.ini"));
    TComponent::Free(form);
    Application->MainForm = nullptr;
    EXPECT_TRUE(PathExists(dir / "Zumaro.ini"));
}

TEST(Toolkit, ErrorsInAWindowProcedureReachTheErrorBoxAndTheProgramGoesOn) {
    TTempFolder dir;
    TBoxAnswerer boxes;
    TfrmMain* form = CreateMain(dir);
    boxes.Seen.clear();
    int calls = 0;
    form->OnKeyDown = [&](TObject*, uint16_t&, TShiftState) {
        ++calls;
        StrToBool("yes");
    };
    SendMessageA(form->Handle(), WM_KEYDOWN, 'A', 0);
    SendMessageA(form->Handle(), WM_KEYDOWN, 'B', 0);
    EXPECT_EQ(calls, 2);
    ASSERT_EQ(boxes.Seen.size(), 2u);
    EXPECT_EQ(boxes.Seen[0].Caption, "ズマロランチャー");  // the application title
    EXPECT_EQ(boxes.Seen[0].Text, "StrToBoolは、True/Falseのみ受け付けます.");
    EXPECT_EQ(boxes.Seen[0].Icon, "stop");
    EXPECT_EQ(boxes.Seen[0].Buttons, std::vector<int>{IDOK});
    TComponent::Free(form);
}

namespace {

// What the panel asked of the system, noted on the way (named functions: a lambda has the wrong
// calling convention for 32-bit Windows).
std::vector<UINT> hotKeyFlags;
std::vector<std::pair<HWND, UINT>> allowedMessages;

BOOL WINAPI RegisterHotKeyNoting(HWND window, int id, UINT modifiers, UINT key) {
    hotKeyFlags.push_back(modifiers);
    return RegisterHotKey(window, id, modifiers, key);
}

BOOL WINAPI ChangeMessageFilterNoting(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT) {
    if (action == MSGFLT_ALLOW) allowedMessages.emplace_back(window, message);
    return TRUE;
}

}  // namespace

TEST(MainWindow, HotKeyFromTheSettingsIsRegisteredAndFreedAtTeardown) {
    // A hot key is taken when another window cannot register the same combination.
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    auto taken = [&](UINT mods, UINT vk) {
        if (!RegisterHotKey(other, 7, mods, vk)) return true;
        UnregisterHotKey(other, 7);
        return false;
    };
    // Each registration asks that a held combination call only once.
    hotKeyFlags.clear();
    const std::vector<UINT>& flags = hotKeyFlags;
    TSwapped watch(RegisterPanelHotKey, &RegisterHotKeyNoting);
    TTempFolder dir;
    TBoxAnswerer boxes;
    TfrmMain* form = CreateMain(dir);  // no file: SHIFT+CTRL+A
    EXPECT_TRUE(taken(MOD_CONTROL | MOD_SHIFT, 'A'));
    form->LauncherSettings.HotKey1 = 2;
    form->LauncherSettings.HotKey2 = "K";
    form->UpdateHotKey();
    EXPECT_FALSE(taken(MOD_CONTROL | MOD_SHIFT, 'A'));
    EXPECT_TRUE(taken(MOD_ALT | MOD_SHIFT, 'K'));
    form->LauncherSettings.HotKey1 = 0;
    form->UpdateHotKey();
    EXPECT_TRUE(taken(MOD_ALT | MOD_CONTROL, 'K'));
    form->LauncherSettings.HotKey1 = 5;  // no modifier at all
    form->UpdateHotKey();
    EXPECT_TRUE(taken(0, 'K'));
    EXPECT_FALSE(taken(MOD_ALT | MOD_CONTROL, 'K'));
    TComponent::Free(form);
    EXPECT_FALSE(taken(0, 'K'));
    DestroyWindow(other);
    ASSERT_FALSE(flags.empty());
    for (UINT f : flags) EXPECT_TRUE(f & MOD_NOREPEAT) << std::hex << f;
}

// Run as administrator, the panel still hears a drop from the file manager and the tray window the
// shell's broadcast that the task bar is new.
TEST(MainWindow, TheDropAndTheTaskBarsBroadcastAreLetThroughFromOtherPrograms) {
    allowedMessages.clear();
    const auto& allowed = allowedMessages;
    TSwapped watch(ChangeMessageFilter, &ChangeMessageFilterNoting);
    TTempFolder dir;
    TBoxAnswerer boxes;
    TfrmMain* form = CreateMain(dir);
    HWND panel = form->Handle(), tray = form->IconTray1->MsgWindow();
    auto has = [&](HWND w, UINT m) { return std::find(allowed.begin(), allowed.end(), std::pair{w, m}) != allowed.end(); };
    EXPECT_TRUE(has(panel, WM_DROPFILES));
    EXPECT_TRUE(has(panel, WM_COPYDATA));
    EXPECT_TRUE(has(panel, 0x0049u));
    EXPECT_TRUE(has(tray, RegisterWindowMessageW(L"TaskbarCreated")));
    TComponent::Free(form);
}

// Entries hold pixels, not GDI objects, and one path's icons are asked of the shell once per load.
TEST(MainIcons, GdiObjectsDoNotGrowWithTheEntriesAndOnePathIsAskedOnce) {
    auto held = [](int copies) {
        TTempFolder dir;
        std::string entries;
        for (int i = 0; i < copies; ++i)
            for (const char* name : {"a.txt", "b.bat", "表示.ini"}) {
                if (i == 0) WriteFileBytes(dir / name, "x");
                entries += dir / name + "\r\n";
            }
        WriteFileBytes(dir / "Zumaro.ini", "[Initialize]\r\nAutoClose=False\r\n[Registered Files]\r\n" + entries);
        const int before = LiveGdiObjects;
        TfrmMain* form = CreateMain(dir);
        const int during = LiveGdiObjects - before;
        EXPECT_EQ(form->RegiFileList->Count(), 3 * copies);
        EXPECT_TRUE(form->LargeIconList[0]->SharesPixelsWith(*form->LargeIconList[3]));
        EXPECT_TRUE(form->SmallIconList[2]->SharesPixelsWith(*form->SmallIconList[3 * copies - 1]));
        EXPECT_FALSE(form->LargeIconList[0]->SharesPixelsWith(*form->LargeIconList[1]));
        EXPECT_LT(WhitePixels(*form->LargeIconList[3 * copies - 1]), 32 * 32) << "a real icon";
        TComponent::Free(form);
        EXPECT_EQ(LiveGdiObjects, before);
        return during;
    };
    EXPECT_EQ(held(200), held(2));
}

// The shell is asked for an entry's icons when its page is first shown, not at start-up nor after
// the settings' OK; what was asked is kept; a dropped entry gets its icons with its page.
TEST(MainIcons, AskedWhenTheirPageIsFirstShownAndKept) {
    TTempFolder dir;
    std::string entries;
    for (int i = 0; i < 40; ++i) {
        WriteFileBytes(dir / ("a" + std::to_string(i) + ".txt"), "x");
        entries += dir / ("a" + std::to_string(i) + ".txt") + "\r\n";
    }
    WriteFileBytes(dir / "Zumaro.ini", "[Initialize]\r\nPannelCol=3\r\nPannelRow=2\r\nAutoClose=False\r\n"
                                       "Left=100\r\nTop=100\r\n[Registered Files]\r\n" + entries);
    TBoxAnswerer boxes;
    TfrmMain* form = CreateMain(dir);
    ASSERT_EQ(form->EntryCount(), 40);
    EXPECT_EQ(form->Icons.Asked(), 6) << "the first page only";
    EXPECT_LT(WhitePixels(form->ButtonImages[5]->Picture), 32 * 32);
    form->NextPage();
    EXPECT_EQ(form->Icons.Asked(), 12);
    form->PrevPage();
    EXPECT_EQ(form->Icons.Asked(), 12) << "kept";
    form->PageIndex = 6;  // straight to the last page, past pages never shown
    form->CursorIndex = 36;
    form->ShowPage();
    EXPECT_EQ(form->Icons.Asked(), 12 + 4);
    EXPECT_LT(WhitePixels(form->ButtonImages[3]->Picture), 32 * 32) << "the last entry, a39.txt";

    // A drop on the first cell of this page: its icon comes with the page shown again.
    WriteFileBytes(dir / "dropped.txt", "x");
    SendMessageA(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropFiles({dir / "dropped.txt"}, 5, 5)), 0);
    ASSERT_EQ((*form->RegiFileList)[36], dir / "dropped.txt");
    EXPECT_EQ(form->Icons.Asked(), 17);
    EXPECT_LT(WhitePixels(form->ButtonImages[0]->Picture), 32 * 32);

    // Of the dialog's rows only those in view are asked for; its OK rebuilds the lists and shows the
    // first page, whose icons are asked of the shell again (a file may have come back meanwhile).
    int rowsDrawn = -1;
    {
        TDialogScript script({Pause(100), Do([&] {
                                  HWND setting = FindThreadWindow("TfrmSetting");
                                  rowsDrawn = form->Icons.Asked() - 17;
                                  Press(FindChild(setting, "OK"));
                              })});
        form->pumSetting->OnClick(form->pumSetting);
        EXPECT_TRUE(script.Finished());
    }
    Application->ProcessMessages();
    EXPECT_GE(rowsDrawn, 0);
    EXPECT_LT(17 + rowsDrawn, 30) << "not every row's";
    EXPECT_EQ(form->Icons.Asked(), 17 + rowsDrawn + 6) << "the first page after the OK";
    ASSERT_EQ(form->LargeIconList.size(), 41u);
    EXPECT_LT(WhitePixels(*form->LargeIconList[33]), 32 * 32) << "read, so made now";
    EXPECT_EQ(form->Icons.Asked(), 17 + rowsDrawn + 7);
    TComponent::Free(form);
}

// The cache finds a file within its folder, parsed once; the icons are the ones the shell gives
// for the whole path.
TEST(MainIcons, TheCacheGivesTheIconsOfThePathAsked) {
    TTempFolder dir("表示");
    WriteFileBytes(dir / "ソフト.txt", "x");
    WriteFileBytes(dir / "run.bat", "@echo off");
    CreateDirectoryW(SjisToWide(dir / "フォルダ").c_str(), nullptr);
    TIconCache cache;
    for (const std::string& path : {dir / "ソフト.txt", dir / "run.bat", dir / "フォルダ", dir.Path(),
                                    ExeFolder() + "zumaro_wintests.exe", std::string("C:\\"), dir / "gone.txt"}) {
        TBitmap large, small;
        MakeIconBitmaps(path, &large, &small);
        const TBitmap& cachedLarge = cache.Large(path);
        const TBitmap& cachedSmall = cache.Small(path);
        ASSERT_EQ(cachedLarge.Width(), 32) << path;
        ASSERT_EQ(cachedSmall.Width(), 16) << path;
        int differing = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                differing += cachedLarge.Pixel(x, y) != large.Pixel(x, y) || cachedSmall.Pixel(x / 2, y / 2) != small.Pixel(x / 2, y / 2);
        EXPECT_EQ(differing, 0) << path;
    }
    EXPECT_EQ(cache.Asked(), 7);
    EXPECT_EQ(WhitePixels(cache.Large(dir / "gone.txt")), 32 * 32);
    EXPECT_LT(WhitePixels(cache.Large(dir / "フォルダ")), 32 * 32);
    EXPECT_EQ(cache.Asked(), 7) << "kept";
}

// At a higher DPI each size comes whole from the shell's list of the nearest size not smaller:
// 48 at 144 dpi is the extra-large icon itself, 24 is the 32-pixel one made smaller, never cut.
TEST(MainIcons, AtHigherDpiEachSizeIsTheNearestListsIconWhole) {
    TTempFolder dir;
    WriteFileBytes(dir / "run.bat", "@echo off");
    const std::string paths[] = {dir / "run.bat", dir.Path(), ExeFolder() + "zumaro_wintests.exe"};
    TIconCache cache;
    for (const std::string& path : paths) {
        SHFILEINFOW info{};
        ASSERT_NE(SHGetFileInfoW(SjisToWide(path).c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX), 0u);
        HIMAGELIST extraLarge = nullptr;
        const GUID imageList = {0x46eb5926, 0x582e, 0x4017, {0x9f, 0xdf, 0xe8, 0x99, 0x8d, 0xaa, 0x09, 0x50}};
        ASSERT_TRUE(SUCCEEDED(SHGetImageList(SHIL_EXTRALARGE, imageList, reinterpret_cast<void**>(&extraLarge))));
        TBitmap expected;
        expected.SetSize(48, 48);
        {
            TBitmapCanvas canvas(expected);
            ImageList_Draw(extraLarge, info.iIcon, canvas.Handle(), 0, 0, ILD_NORMAL);
        }
        const TBitmap& large = cache.Large(path, 144);
        ASSERT_EQ(large.Width(), 48);
        int differing = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x) differing += large.Pixel(x, y) != expected.Pixel(x, y);
        EXPECT_EQ(differing, 0) << path;

        // Made smaller, the 24-pixel picture follows the whole 32-pixel one, not its top-left corner.
        const TBitmap& whole = cache.Large(path);
        const TBitmap& small = cache.Small(path, 144);
        ASSERT_EQ(small.Width(), 24);
        auto distance = [](COLORREF a, COLORREF b) {
            return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
                   std::abs(GetBValue(a) - GetBValue(b));
        };
        long scaled = 0, cut = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) {
                scaled += distance(small.Pixel(x, y), whole.Pixel(x * 4 / 3, y * 4 / 3));
                cut += distance(small.Pixel(x, y), whole.Pixel(x, y));
            }
        EXPECT_LT(scaled * 2, cut) << path;
        EXPECT_EQ(cache.Small(path, 192).Width(), 32);
        EXPECT_EQ(cache.Small(path, 120).Width(), 20);
    }
    EXPECT_EQ(cache.Asked(), 3) << "one look-up a path, whatever the sizes";
    EXPECT_EQ(WhitePixels(cache.Large(dir / "gone.txt", 144)), 48 * 48);

    // A list made for another DPI makes its pictures again, also those already handed out.
    TStringList paths2;
    paths2.Add(paths[0]);
    TIconList list(cache, true);
    list.SetPaths(&paths2);
    list.push_back();
    TBitmap* held = list.Peek(0);
    EXPECT_EQ(list[0]->Width(), 32);
    list.SetDpi(144);
    EXPECT_TRUE(held->Empty());
    EXPECT_EQ(list[0]->Width(), 48);
    EXPECT_EQ(held, list[0].get());
}
