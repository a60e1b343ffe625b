// The panel called up and fed in-process: the hot key and the tray click, the popup menu and its
// captions, files dropped on its cells.
#include "panel/UnitMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/SystemNames.h"
#include "panel/UnitAbout.h"
#include "resources/MenuIds.h"
#include "settings/DialogDriver.h"
#include "support/WinTestSupport.h"

namespace {

// n registered files on a 3 x 2 panel at a known place.
struct TCommandsFixture {
    TTempFolder dir;
    std::vector<std::string> files;
    TfrmMain* form = nullptr;

    explicit TCommandsFixture(int n, const std::string& autoClose = "False") {
        std::string entries;
        for (int i = 0; i < n; ++i) {
            files.push_back(dir / ("file" + std::to_string(i) + ".txt"));
            WriteFileBytes(files.back(), "x");
            entries += files.back() + "\r\n";
        }
        WriteFileBytes(dir / "Zumaro.ini", "[Initialize]\r\nPannelCol=3\r\nPannelRow=2\r\nAutoClose=" + autoClose +
                                               "\r\nLeft=200\r\nTop=150\r\n[Registered Files]\r\n" + entries);
        form = new TfrmMain(Application, dir.Path());
    }
    ~TCommandsFixture() {
        if (form != nullptr) TComponent::Free(form);
    }
    void Close() {
        TComponent::Free(form);
        form = nullptr;
    }
    // Drops paths at a client point of the panel, as the shell would.
    void Drop(const std::vector<std::string>& paths, int x, int y) const {
        SendMessageA(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropFiles(paths, x, y)), 0);
    }
    void Drop(const std::vector<std::wstring>& paths, int x, int y) const {
        SendMessageA(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropFiles(paths, x, y)), 0);
    }
    std::vector<std::string> Paths() const {
        std::vector<std::string> out;
        for (int i = 0; i < form->RegiFileList->Count(); ++i) out.push_back((*form->RegiFileList)[i]);
        return out;
    }
    void ExpectParallel() const {
        int n = form->RegiFileList->Count();
        EXPECT_EQ(form->UseAriasList->Count(), n);
        EXPECT_EQ(form->AriasList->Count(), n);
        EXPECT_EQ(static_cast<int>(form->LargeIconList.size()), n);
        EXPECT_EQ(static_cast<int>(form->SmallIconList.size()), n);
        EXPECT_EQ(form->LauncherSettings.NumOfRegi, n);
    }
};

// A folder's icon is not a text file's: the bitmaps tell which entry they were made for.
bool SameBitmap(const TBitmap& a, const TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    return true;
}

std::vector<std::string> MenuCaptions(HMENU menu) {
    std::vector<std::string> out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = std::size(text);
        GetMenuItemInfoW(menu, i, TRUE, &info);
        out.push_back((info.fType & MFT_SEPARATOR) ? "-" : WideToSjis(text));
    }
    return out;
}

// Lets the display's answers to a show or a focus change arrive, as they have long before a
// person's next key press.
void Settle() {
    for (int i = 0; i < 15; ++i) {
        Application->ProcessMessages();
        Sleep(10);
    }
}

// Notes each menu that comes up, runs `before` inside the menu's loop, and closes the menu. (The
// end-to-end scripts choose items with real keys; here keys would depend on which program the
// display gives the keyboard to.)
struct TMenuWatcher {
    TMenuWatcher() { timer_ = SetTimer(nullptr, 0, 40, &Tick); }
    ~TMenuWatcher() { KillTimer(nullptr, timer_); }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (menu == nullptr || !IsWindowVisible(menu)) return;
        ++shown;
        if (before) before();
        EndMenu();
    }
    static inline int shown = 0;
    static inline std::function<void()> before;
    UINT_PTR timer_;
};

// Opens a menu and waits for it to be seen. A menu that is never seen fails; one closed at once
// by a focus change of the display (Wine's first menu of a process can be) is opened again, at
// most three times.
bool MenuComesUp(const std::function<void()>& open) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        int before = TMenuWatcher::shown;
        TMenuWatcher watch;
        open();
        if (TMenuWatcher::shown > before) return true;
        Settle();
    }
    return false;
}

// Ctrl+M as it comes from the keyboard: the key message through the loop, which also makes the
// carriage-return character that Ctrl+M types. Ctrl is let go once the menu is up.
void PressCtrlM(HWND panel) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    auto release = [] {
        BYTE now[256];
        GetKeyboardState(now);
        now[VK_CONTROL] = 0;
        SetKeyboardState(now);
    };
    TMenuWatcher::before = release;
    PostMessageA(panel, WM_KEYDOWN, 'M', 1);
    Application->ProcessMessages();
    TMenuWatcher::before = nullptr;
    release();
}

// While it lives, the help command's calls of the help system and the shell are recorded instead
// of made, one line each.
class THelpWatch {
public:
    THelpWatch() : help_(WinHelpCall), shell_(ShellExecuteCall) {
        Calls.clear();
        WinHelpCall = &Help;
        ShellExecuteCall = &Shell;
    }
    ~THelpWatch() {
        WinHelpCall = help_;
        ShellExecuteCall = shell_;
    }
    static inline std::vector<std::string> Calls;

private:
    static BOOL WINAPI Help(HWND, LPCWSTR file, UINT command, ULONG_PTR data) {
        Calls.push_back("help " + WideToSjis(file) + " " + std::to_string(command) + " " + std::to_string(data));
        return TRUE;
    }
    static HINSTANCE WINAPI Shell(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR, INT show) {
        Calls.push_back("shell " + (verb != nullptr ? WideToSjis(verb) : "(default)") + " " + WideToSjis(file) + " " +
                        (parameters != nullptr ? WideToSjis(parameters) : "(none)") + " " + std::to_string(show));
        return reinterpret_cast<HINSTANCE>(33);
    }
    TWinHelpCall help_;
    TShellExecuteCall shell_;
};

}  // namespace

TEST(PanelCommands, HelpOpensTheHelpFileElseTheGuideElseSaysNeitherIsThere) {
    TCommandsFixture f(0);
    THelpWatch watch;
    const std::string helpFile = f.dir / "Zumaro.hlp", guide = f.dir / "はじめにお読みください.txt";
    auto help = [&] {
        THelpWatch::Calls.clear();
        f.form->pumHelp->OnClick(f.form->pumHelp);
        return THelpWatch::Calls;
    };
    TBoxAnswerer boxes;
    EXPECT_EQ(help(), std::vector<std::string>{}) << "neither";
    ASSERT_EQ(boxes.Seen.size(), 1u);
    EXPECT_EQ(boxes.Seen[0].Caption, "ズマロランチャー");
    EXPECT_EQ(boxes.Seen[0].Text,
              "ヘルプファイル(Zumaro.hlp)も説明書(はじめにお読みください.txt)も、インストールされたフォルダに見つかりません。");
    EXPECT_EQ(boxes.Seen[0].Icon, "exclamation");
    EXPECT_EQ(boxes.Seen[0].Buttons, std::vector<int>{IDOK});
    WriteFileBytes(guide, "x");
    EXPECT_EQ(help(), std::vector<std::string>{"shell (default) " + guide + " (none) " + std::to_string(SW_SHOWNORMAL)});
    const std::vector<std::string> helpSystem = {"help " + helpFile + " " + std::to_string(HELP_FINDER) + " 0"};
    WriteFileBytes(helpFile, "x");
    EXPECT_EQ(help(), helpSystem) << "the help file comes first";
    DeleteFileW(SjisToWide(guide).c_str());
    EXPECT_EQ(help(), helpSystem) << "the help file alone";
    EXPECT_EQ(boxes.Seen.size(), 1u) << "no message while either is there";
}

TEST(PanelCommands, TheMenuItsCaptionsAndTheShowHideItem) {
    TCommandsFixture f(0, "True");
    EXPECT_EQ(MenuCaptions(f.form->pumMain->Handle()),
              (std::vector<std::string>{"表示(S)", "設定(&O)", "-", "ヘルプ(&H)", "バージョン情報(&A)", "-", "終了(&X)"}))
        << "as placed, while the panel has not yet been shown or hidden";
    EXPECT_FALSE(f.form->Visible());
    SendMessageA(f.form->Handle(), WM_HOTKEY, kHotKeyId, 0);
    EXPECT_TRUE(f.form->Visible());
    EXPECT_EQ(f.form->pumShowHide->Caption(), "非表示(&C)");
    EXPECT_EQ(GetForegroundWindow(), f.form->Handle());
    SendMessageA(f.form->Handle(), WM_HOTKEY, 7, 0);  // the identifier is not looked at
    EXPECT_FALSE(f.form->Visible());
    EXPECT_EQ(f.form->pumShowHide->Caption(), "表示(&S)");

    // The tray icon's left button does the same.
    SendMessageA(f.form->IconTray1->MsgWindow(), WM_USER, 0, WM_LBUTTONUP);
    EXPECT_TRUE(f.form->Visible());
    SendMessageA(f.form->IconTray1->MsgWindow(), WM_USER, 0, WM_LBUTTONUP);
    EXPECT_FALSE(f.form->Visible());

    // The menu comes up and stays up from the panel's Ctrl+M (whose typed character must not close
    // it at once) and from the tray icon's right button; its items run their commands. (Auto close
    // is off from here: the display may move its focus around a menu under Wine, and auto close
    // would then hide the panel whatever the menu did.)
    f.form->LauncherSettings.AutoClose = false;
    SendMessageA(f.form->Handle(), WM_HOTKEY, kHotKeyId, 0);
    Settle();
    EXPECT_TRUE(MenuComesUp([&] { PressCtrlM(f.form->Handle()); })) << "Ctrl+M";
    EXPECT_TRUE(MenuComesUp([&] { SendMessageA(f.form->IconTray1->MsgWindow(), WM_USER, 0, WM_RBUTTONUP); }))
        << "the tray icon's right button";
    EXPECT_TRUE(f.form->Visible());
    f.form->pumShowHide->OnClick(f.form->pumShowHide);
    EXPECT_FALSE(f.form->Visible()) << "非表示(&C) hides the panel";
    EXPECT_EQ(f.form->pumShowHide->Caption(), "表示(&S)");
    f.form->pumShowHide->OnClick(f.form->pumShowHide);
    EXPECT_TRUE(f.form->Visible()) << "表示(&S) shows it";
    EXPECT_EQ(f.form->pumShowHide->Caption(), "非表示(&C)");
}

TEST(PanelCommands, KeysActOnWhereThePanelIsAfterTheirLoop) {
    TCommandsFixture f(2);
    f.form->Show();
    // Partly off the screen: the key's own keeping-on-screen would move it back from here.
    SetWindowPos(f.form->Handle(), nullptr, -10, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Settle();
    // While the menu runs its loop the panel is moved elsewhere.
    TMenuWatcher::before = [&] { SetWindowPos(f.form->Handle(), nullptr, 300, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER); };
    EXPECT_TRUE(MenuComesUp([&] {
        uint16_t key = 'M';
        f.form->FormKeyDown(f.form, key, ssCtrl);
    }));
    TMenuWatcher::before = nullptr;
    RECT r;
    GetWindowRect(f.form->Handle(), &r);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 260);
}

// A panel on a second monitor right of the primary one stays there when a key moves it, kept
// inside that monitor's edges.
TEST(PanelCommands, KeysKeepThePanelOnItsOwnMonitor) {
    TCommandsFixture f(2);
    f.form->Show();
    auto* primary = WindowMonitorRect;
    WindowMonitorRect = [](HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        return r.left >= 1024 ? TRectI{1024, 0, 2304, 1024} : TRectI{0, 0, 1024, 768};
    };
    auto moveBy = [&](uint16_t key, TShiftState shift) {
        f.form->FormKeyDown(f.form, key, shift);
        RECT r;
        GetWindowRect(f.form->Handle(), &r);
        return std::pair{r.left, r.top};
    };
    SetWindowPos(f.form->Handle(), nullptr, 1500, 900, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(moveBy(VK_RIGHT, ssCtrl), (std::pair{1502L, 900L})) << "not pulled onto the primary monitor";
    SetWindowPos(f.form->Handle(), nullptr, 1502, 935, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(moveBy(VK_DOWN, ssAlt), (std::pair{1502L, 1024L - f.form->Height()})) << "its own bottom edge";
    SetWindowPos(f.form->Handle(), nullptr, 2300, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(moveBy(VK_UP, ssCtrl), (std::pair{2304L - f.form->Width(), 8L})) << "its own right edge";
    WindowMonitorRect = primary;
    EXPECT_EQ(moveBy(VK_UP, ssCtrl).first, 1024 - f.form->Width()) << "one monitor: back on the screen as before";
}

TEST(PanelCommands, DroppedFileIsInsertedAtTheCellWithItsOwnIcon) {
    TCommandsFixture f(3);
    std::string folder = f.dir / "フォルダ";
    ASSERT_TRUE(CreateDirectoryW(SjisToWide(folder).c_str(), nullptr));
    TBitmap fileIcon, smallFileIcon;
    fileIcon.Assign(f.form->LargeIconList[0].get());
    smallFileIcon.Assign(f.form->SmallIconList[0].get());

    // The last cell of page 0 (index 5) lies past the three entries: appended as entry 3.
    f.Drop({folder}, 70 + 5, 34 + 5);
    EXPECT_EQ(f.Paths(), (std::vector<std::string>{f.files[0], f.files[1], f.files[2], folder}));
    EXPECT_EQ(f.form->CursorIndex, 3);
    EXPECT_EQ((*f.form->UseAriasList)[3], "False");
    EXPECT_EQ((*f.form->AriasList)[3], "フォルダ");
    EXPECT_FALSE(SameBitmap(*f.form->LargeIconList[3], fileIcon)) << "a folder's own icon";
    EXPECT_FALSE(SameBitmap(*f.form->SmallIconList[3], smallFileIcon));
    TBitmap folderIcon, smallFolderIcon;
    folderIcon.Assign(f.form->LargeIconList[3].get());
    smallFolderIcon.Assign(f.form->SmallIconList[3].get());
    f.ExpectParallel();

    // The first cell: the new entry is 0 and the others move one on, icons with them.
    f.Drop({f.files[1], f.files[2], f.files[0]}, 3, 3);
    EXPECT_EQ(f.Paths(), (std::vector<std::string>{f.files[1], f.files[0], f.files[1], f.files[2], folder}))
        << "only the first of three paths";
    EXPECT_EQ(f.form->CursorIndex, 0);
    EXPECT_EQ((*f.form->AriasList)[0], "file1.txt");
    // Every entry keeps its own pictures: shifted by one, the folder's would stand at 3.
    for (size_t i = 0; i < 5; ++i) {
        bool folderEntry = i == 4;
        EXPECT_TRUE(SameBitmap(*f.form->LargeIconList[i], folderEntry ? folderIcon : fileIcon)) << i;
        EXPECT_TRUE(SameBitmap(*f.form->SmallIconList[i], folderEntry ? smallFolderIcon : smallFileIcon)) << i;
    }
    f.ExpectParallel();

    // The arrow strip addresses the next page's first cell: inserted before entry 6 when there is
    // one, else appended; the right margin the next row's first cell.
    f.Drop({f.files[2]}, 36, 75);
    EXPECT_EQ(f.form->RegiFileList->Count(), 6);
    EXPECT_EQ((*f.form->RegiFileList)[5], f.files[2]);
    EXPECT_EQ(f.form->CursorIndex, 5);
    f.Drop({folder}, 102, 2);  // right of the last column, first row: index 3
    EXPECT_EQ((*f.form->RegiFileList)[3], folder);
    EXPECT_EQ(f.form->CursorIndex, 3);
    f.ExpectParallel();

    // On page 1 the cell addresses page 1's entries; page 0 keeps its icons.
    f.form->NextPage();
    ASSERT_EQ(f.form->PageIndex, 1);
    std::vector<std::string> before = f.Paths();
    f.Drop({folder}, 3, 3);
    EXPECT_EQ((*f.form->RegiFileList)[6], folder);
    EXPECT_EQ(f.form->CursorIndex, 6);
    EXPECT_EQ((*f.form->RegiFileList)[7], before[6]);
    f.ExpectParallel();
    EXPECT_EQ(f.form->ButtonImages[0]->Hint(), folder) << "the page shown is redrawn";

    // Saved with everything else at the end.
    std::vector<std::string> last = f.Paths();
    f.Close();
    std::string saved = ReadFileBytes(f.dir / "Zumaro.ini");
    EXPECT_NE(saved.find("NumOfRegi=8\r\n"), std::string::npos);
    std::string listed = saved.substr(saved.find("[Registered Files]\r\n") + 20);
    std::string want;
    for (const std::string& p : last) want += p + "/False/" + ExtractFileName(p) + "\r\n";
    EXPECT_EQ(listed, want);
}

static DWORD WINAPI NoShortNames(LPCWSTR, LPWSTR, DWORD) { return 0; }

// Names with no Shift-JIS form come in under their short form, which reaches the very file,
// with a readable hint of their own; with no short form the drop is refused with a message.
TEST(PanelCommands, NamesOutsideShiftJisAreKeptUnderTheirShortForm) {
    TCommandsFixture f(1);
    std::wstring dir = WidePath(f.dir.Path());
    std::wstring tools = dir + L"\u9053\u5177\u2615", program = tools + L"\\Caf\u00e9 \u2615.exe";
    std::wstring hangul = dir + L"\ud55c\uad6d\uc5b4", japanese = dir + L"\u8868\u793a.txt";
    ASSERT_TRUE(CreateDirectoryW(tools.c_str(), nullptr) && CreateDirectoryW(hangul.c_str(), nullptr));
    ASSERT_TRUE(MakeWideFile(program) && MakeWideFile(japanese));
    auto reaches = [](const std::string& stored, const std::wstring& real) {
        std::wstring longName(1024, L'\0');
        longName.resize(GetLongPathNameW(WidePath(stored).c_str(), longName.data(), 1024));
        return FileExists(stored) != FolderExists(stored) && longName == real;
    };

    f.Drop(std::vector<std::wstring>{program}, 3, 3);
    f.Drop(std::vector<std::wstring>{hangul}, 3, 3);
    f.Drop(std::vector<std::wstring>{japanese}, 3, 3);
    f.ExpectParallel();
    ASSERT_EQ(f.form->EntryCount(), 4);
    std::string storedJapanese = (*f.form->RegiFileList)[0], storedHangul = (*f.form->RegiFileList)[1],
                storedProgram = (*f.form->RegiFileList)[2];
    EXPECT_EQ(storedJapanese, f.dir / "表示.txt") << "an exact name is kept as it is";
    EXPECT_EQ((*f.form->UseAriasList)[0], "False");
    EXPECT_TRUE(reaches(storedProgram, program)) << storedProgram;
    EXPECT_TRUE(reaches(storedHangul, hangul)) << storedHangul;
    EXPECT_EQ(storedProgram.rfind(f.dir.Path(), 0), 0u) << "the parts that have a form stay readable";
    EXPECT_EQ(storedProgram.find('?'), std::string::npos);
    EXPECT_EQ((*f.form->UseAriasList)[2], "True");
    EXPECT_EQ((*f.form->AriasList)[2], WideToSjisReadable(L"Caf\u00e9 \u2615.exe"));
    EXPECT_NE((*f.form->AriasList)[2], ExtractFileName(storedProgram));
    EXPECT_EQ((*f.form->UseAriasList)[1], "True");
    EXPECT_EQ(f.form->ButtonImages[2]->Hint(), (*f.form->AriasList)[2]);

    // A volume that keeps no short names: refused, with the file named, and nothing changes.
    auto* saved = GetShortPathNameWide;
    GetShortPathNameWide = NoShortNames;
    TBoxAnswerer boxes;
    f.Drop(std::vector<std::wstring>{program}, 3, 3);
    GetShortPathNameWide = saved;
    ASSERT_EQ(boxes.Seen.size(), 1u);
    EXPECT_EQ(boxes.Seen[0].Caption, "ズマロランチャー");
    EXPECT_EQ(boxes.Seen[0].Icon, "exclamation");
    EXPECT_NE(boxes.Seen[0].Text.find(WideToSjisReadable(program)), std::string::npos) << boxes.Seen[0].Text;
    EXPECT_EQ(f.form->EntryCount(), 4);
    f.ExpectParallel();

    // Saved as they were registered; the next start asks about none of them.
    f.Close();
    TBoxAnswerer again;
    f.form = new TfrmMain(Application, f.dir.Path());
    EXPECT_TRUE(again.Seen.empty());
    EXPECT_EQ(f.form->EntryCount(), 4);
    EXPECT_EQ((*f.form->RegiFileList)[2], storedProgram);
}

// Another program's window in front, made and kept by a thread of its own while this lives.
class TOtherProgramInFront {
public:
    TOtherProgramInFront() {
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, ready] {
            HWND w = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 60, 40, nullptr, nullptr,
                                     nullptr, nullptr);
            SetForegroundWindow(w);
            SetEvent(ready);
            while (!stop_) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
                MSG msg;
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            }
            DestroyWindow(w);
        });
        WaitForSingleObject(ready, 5000);
        CloseHandle(ready);
        for (ULONGLONG end = GetTickCount64() + 300; GetTickCount64() < end; Sleep(10)) Application->ProcessMessages();
    }
    ~TOtherProgramInFront() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A box raised while another program is in front, as after a drop, belongs to the open dialog, else
// to the panel: a box of no owner opens behind the other program while the panel is disabled.
TEST(PanelCommands, BoxesBelongToTheDialogElseThePanelWhenAnotherProgramIsInFront) {
    TCommandsFixture f(1);
    f.form->Show();
    struct TMain {
        TForm* old = Application->MainForm;
        ~TMain() { Application->MainForm = old; }
    } main;
    Application->MainForm = f.form;
    {
        TOtherProgramInFront other;
        ASSERT_EQ(GetActiveWindow(), nullptr);
        TBoxAnswerer boxes;
        Application->ShowMessageBox("panel", "c", MB_OK);
        ASSERT_EQ(boxes.Seen.size(), 1u);
        EXPECT_EQ(boxes.Seen[0].Owner, f.form->Handle());
    }
    auto* about = new TfrmAbout(Application);
    about->Show();
    EnableWindow(f.form->Handle(), FALSE);  // as the dialog's own loop holds it
    {
        TOtherProgramInFront other;
        ASSERT_EQ(GetActiveWindow(), nullptr);
        TBoxAnswerer boxes;
        Application->ShowMessageBox("dialog", "c", MB_OK);
        ASSERT_EQ(boxes.Seen.size(), 1u);
        EXPECT_EQ(boxes.Seen[0].Owner, about->Handle());
    }
    EnableWindow(f.form->Handle(), TRUE);
    TComponent::Free(about);
}

TEST(PanelCommands, SettingsOkRebuildsSavesAndGoesBackToTheFirstCell) {
    TCommandsFixture f(8);
    f.form->Show();
    f.form->NextPage();
    f.form->CursorIndex = 7;
    std::string before = ReadFileBytes(f.dir / "Zumaro.ini");
    bool openDuring = false, acceptsDuring = true;
    std::vector<bool> enabledDuring;
    int countDuring = -1;
    HWND settingWindow = nullptr;
    {
        // Cancel after a change: nothing moves, nothing is written.
        TDialogScript script({Do([&] { settingWindow = FindThreadWindow("TfrmSetting"); }), Pause(100), Do([&] {
                                  openDuring = f.form->DialogOpen;
                                  for (TMenuItem* item : {f.form->pumShowHide, f.form->pumSetting, f.form->pumHelp,
                                                          f.form->pumAbout, f.form->pumExit})
                                      enabledDuring.push_back(item->Enabled());
                                  acceptsDuring = GetWindowLongA(f.form->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES;
                                  f.Drop(std::vector<std::string>{f.files[0]}, 3, 3);
                                  countDuring = f.form->EntryCount();
                                  Press(FindChild(settingWindow, "キャンセル"));
                              })});
        f.form->pumSetting->OnClick(f.form->pumSetting);
        EXPECT_TRUE(script.Finished());
    }
    // While it was up the panel took no files, and the menu offered neither a second dialog nor
    // the end; the show/hide item and help stayed.
    EXPECT_EQ(enabledDuring, (std::vector<bool>{true, false, true, false, false}));
    EXPECT_FALSE(acceptsDuring);
    EXPECT_EQ(countDuring, 8);
    EXPECT_TRUE(f.form->pumSetting->Enabled() && f.form->pumAbout->Enabled() && f.form->pumExit->Enabled());
    EXPECT_TRUE(GetWindowLongA(f.form->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_TRUE(openDuring);
    EXPECT_FALSE(f.form->DialogOpen);
    EXPECT_EQ(f.form->PageIndex, 1);
    EXPECT_EQ(f.form->CursorIndex, 7);
    EXPECT_EQ(ReadFileBytes(f.dir / "Zumaro.ini"), before);

    {
        TDialogScript script({Do([&] { settingWindow = FindThreadWindow("TfrmSetting"); }), Pause(100),
                              Do([&] { Press(FindChild(settingWindow, "OK")); })});
        f.form->pumSetting->OnClick(f.form->pumSetting);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(f.form->PageIndex, 0);
    EXPECT_EQ(f.form->CursorIndex, 0);
    f.ExpectParallel();
    std::string saved = ReadFileBytes(f.dir / "Zumaro.ini");
    EXPECT_NE(saved, before) << "written at once";
    EXPECT_NE(saved.find(f.files[7] + "/False/file7.txt\r\n"), std::string::npos);
    Application->ProcessMessages();  // the dialog's deferred release
    EXPECT_EQ(FindThreadWindow("TfrmSetting"), nullptr);
}

TEST(PanelCommands, TheAboutDialog) {
    TCommandsFixture f(0);
    f.form->Show();
    std::string caption;
    RECT client{}, box{};
    bool openDuring = false;
    LOGFONTA title{};
    int controls = 0;
    std::string outside;
    {
        TDialogScript script({Pause(150), Do([&] {
                                  HWND about = FindThreadWindow("TfrmAbout");
                                  caption = WindowText(about);
                                  GetClientRect(about, &client);
                                  // Every control wholly inside, with the font this system gives.
                                  for (HWND c = GetWindow(about, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
                                      ++controls;
                                      RECT r{};
                                      GetWindowRect(c, &r);
                                      MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&r), 2);
                                      if (r.left < 0 || r.top < 0 || r.right > client.right || r.bottom > client.bottom) {
                                          outside += " \"" + WindowText(c) + "\" to " + std::to_string(r.right) + "," +
                                                     std::to_string(r.bottom) + ";";
                                      }
                                  }
                                  openDuring = f.form->DialogOpen;
                                  // The picture has no window: the form draws it and knows its place.
                                  auto* form = dynamic_cast<TfrmAbout*>(BoundTarget(about));
                                  if (form != nullptr && form->ControlAtPos(20, 20) == form->imgIcon)
                                      box = {form->imgIcon->Left(), form->imgIcon->Top(),
                                             form->imgIcon->Left() + form->imgIcon->Width(),
                                             form->imgIcon->Top() + form->imgIcon->Height()};
                                  HWND name = FindChild(about, "ズマロランチャー");
                                  auto font = reinterpret_cast<HFONT>(SendMessageA(name, WM_GETFONT, 0, 0));
                                  GetObjectA(font, sizeof title, &title);
                                  SaveWindowShot(about, "about");
                                  Press(FindChild(about, "OK"));
                              })});
        f.form->pumAbout->OnClick(f.form->pumAbout);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(caption, "バージョン情報");
    EXPECT_EQ(client.right, 276);
    EXPECT_EQ(client.bottom, 141);
    EXPECT_EQ(controls, 5) << "the title, the version, the notice, the line and OK (the form draws the picture)";
    EXPECT_EQ(outside, "") << "controls reaching out of the client area";
    EXPECT_EQ(box.right - box.left, 41);
    EXPECT_EQ(box.bottom - box.top, 41);
    EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= client.right && box.bottom <= client.bottom);
    EXPECT_EQ(std::abs(title.lfHeight), 16);
    EXPECT_TRUE(openDuring);
    EXPECT_FALSE(f.form->DialogOpen);
}

// Moved to a monitor of 192 dpi and back: the layout and the title's font twice as large, and the
// picture's box, with the program's picture of that size drawn whole in the middle.
TEST(PanelCommands, TheAboutDialogFollowsADpiChange) {
    TCommandsFixture f(0);
    f.form->Show();
    TDpiTrip trip;
    int box96 = 0, box = 0;
    RECT drawn{-1, -1, -1, -1};
    auto about = [] { return dynamic_cast<TfrmAbout*>(BoundTarget(FindThreadWindow("TfrmAbout"))); };
    {
        TDialogScript script({Pause(150), Do([&] { box96 = about()->imgIcon->Width(); }),
                              DpiTrip([] { return FindThreadWindow("TfrmAbout"); }, 192, trip, "about-192",
                                      [&] {
                                          box = about()->imgIcon->Width();
                                          // Where the picture is not the box's ground, inside its edge.
                                          const TBitmap& p = about()->imgIcon->Picture;
                                          for (int y = 2; y < p.Height() - 2; ++y)
                                              for (int x = 2; x < p.Width() - 2; ++x)
                                                  if (p.Pixel(x, y) != p.Pixel(2, 2)) {
                                                      if (drawn.left < 0 || x < drawn.left) drawn.left = x;
                                                      if (drawn.top < 0) drawn.top = y;
                                                      drawn.right = std::max<LONG>(drawn.right, x + 1);
                                                      drawn.bottom = y + 1;
                                                  }
                                      }),
                              Do([] { Press(FindChild(FindThreadWindow("TfrmAbout"), "OK")); })});
        f.form->pumAbout->OnClick(f.form->pumAbout);
        EXPECT_TRUE(script.Finished());
    }
    ExpectDpiTrip(trip, 192);
    EXPECT_EQ(box, 2 * box96);
    EXPECT_GT(drawn.right - drawn.left, 32) << "larger than the picture of 96 dpi";
    EXPECT_LE(std::abs(drawn.left - (box - drawn.right)), 1);
    EXPECT_LE(std::abs(drawn.top - (box - drawn.bottom)), 1);
}
