// The tray icon in-process: the shell's callbacks become events in order, menus pop up only where
// they should, and every Shell_NotifyIconA call is what the shell must be told.
#include "components/SysCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "panel/UnitMain.h"
#include "support/WinTestSupport.h"

namespace {

struct TShellCall {
    DWORD Message;
    NOTIFYICONDATAW Data;
};

// While it lives, every Shell_NotifyIcon call is recorded instead of made.
class TShellWatch {
public:
    TShellWatch() : previous_(ShellNotifyIcon) {
        current_ = this;
        ShellNotifyIcon = &Record;
    }
    ~TShellWatch() {
        ShellNotifyIcon = previous_;
        current_ = nullptr;
    }
    std::vector<TShellCall> Calls;
    int RefusedAdds = 0;  // so many adds fail first, as while the task bar is starting
    std::string Tip(size_t i) const { return WideToSjis(Calls.at(i).Data.szTip); }
    size_t Count(DWORD message) const {
        return static_cast<size_t>(std::count_if(Calls.begin(), Calls.end(), [&](auto& c) { return c.Message == message; }));
    }

private:
    static BOOL WINAPI Record(DWORD message, PNOTIFYICONDATAW data) {
        current_->Calls.push_back({message, *data});
        bool& shown = current_->shown_;
        if (message == NIM_ADD && current_->RefusedAdds > 0) return --current_->RefusedAdds, FALSE;
        if (message == NIM_MODIFY) return shown ? TRUE : FALSE;
        shown = message == NIM_ADD;
        return TRUE;
    }
    bool shown_ = false;
    static inline TShellWatch* current_ = nullptr;
    TShellNotifyIcon previous_;
};

TIcon ProgramIcon() {
    TIcon icon;
    EXPECT_TRUE(icon.LoadFromResourceName("ZUMAROTRAY", 16));
    return icon;
}

// Pops a menu from the tray's callback with one item, so that its loop really runs; a timer
// notes that it is up and closes it.
struct TMenuWatch {
    TMenuWatch() {
        AppendMenuA(menu->Handle(), MF_STRING, 1, "item");
        menu->Window = owner.Handle();
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (FindWindowA("#32768", nullptr) != nullptr && IsWindowVisible(FindWindowA("#32768", nullptr))) {
            ++popups;
            EndMenu();
        }
    }
    struct THost : TForm {
        explicit THost(TComponent* o) : TForm(o, "TTrayTestHost") { FinishCreate(); }
    };
    std::unique_ptr<TComponent> root = std::make_unique<TComponent>(nullptr);
    THost& owner = *new THost(root.get());
    TPopupMenu* menu = new TPopupMenu(root.get());
    static inline int popups = 0;
};

std::string Name(TMouseButton b) { return b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M"; }

// Records the events as short words, in the order they are raised.
void Record(TIconTray& tray, std::vector<std::string>& log) {
    tray.OnClick = [&](TObject* s) { log.push_back(s == &tray ? "click" : "click?"); };
    tray.OnDblClick = [&](TObject*) { log.push_back("dbl"); };
    tray.OnMouseDown = [&](TObject*, TMouseButton b, TShiftState sh, int, int) {
        log.push_back("down " + Name(b) + ((sh & ssDouble) ? " double" : ""));
    };
    tray.OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int, int) { log.push_back("up " + Name(b)); };
    tray.OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
        POINT p;
        GetCursorPos(&p);
        log.push_back(x == p.x && y == p.y ? "move" : "move elsewhere");
    };
}

void Notify(TIconTray& tray, UINT mouse) { SendMessageA(tray.MsgWindow(), WM_USER, tray.IconID(), mouse); }

}  // namespace

TEST(IconTray, CallbacksBecomeEventsInTheirOrder) {
    TShellWatch shell;
    TComponent owner(nullptr);
    auto* tray = new TIconTray(&owner);
    std::vector<std::string> log;
    Record(*tray, log);
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) Notify(*tray, m);
    EXPECT_EQ(log, (std::vector<std::string>{"down L", "click", "up L", "dbl", "down L double", "click", "up L"}));

    log.clear();
    for (UINT m : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP,
                   WM_MBUTTONDBLCLK, WM_MBUTTONUP, WM_MOUSEMOVE, WM_MOUSEWHEEL})
        Notify(*tray, m);
    EXPECT_EQ(log, (std::vector<std::string>{"down R", "up R", "down R double", "up R", "down M", "up M",
                                             "down M double", "up M", "move"}));
    // The callback answers 0; other messages to the hidden window are the system's business.
    log.clear();
    EXPECT_EQ(SendMessageA(tray->MsgWindow(), WM_USER, 0, WM_LBUTTONUP), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"click", "up L"}));
    EXPECT_TRUE(SetWindowTextA(tray->MsgWindow(), "kept by the system"));
    char text[32] = {};
    GetWindowTextA(tray->MsgWindow(), text, sizeof text);
    EXPECT_STREQ(text, "kept by the system");
}

TEST(IconTray, MenusPopUpOnlyForTheirButtonAndWhenAutoPopup) {
    TShellWatch shell;
    TMenuWatch w;
    auto* tray = new TIconTray(w.root.get());
    UINT_PTR timer = SetTimer(nullptr, 0, 30, &TMenuWatch::Tick);
    TMenuWatch::popups = 0;

    tray->SetRBtnPopupMenu(w.menu);
    Notify(*tray, WM_MBUTTONUP);
    Notify(*tray, WM_LBUTTONUP);
    EXPECT_EQ(TMenuWatch::popups, 0) << "middle and left buttons have no menu here";
    Notify(*tray, WM_RBUTTONUP);
    EXPECT_EQ(TMenuWatch::popups, 1);

    tray->SetLBtnPopupMenu(w.menu);
    Notify(*tray, WM_LBUTTONUP);
    EXPECT_EQ(TMenuWatch::popups, 2);

    w.menu->AutoPopup = false;
    std::vector<std::string> log;
    Record(*tray, log);
    Notify(*tray, WM_RBUTTONUP);
    Notify(*tray, WM_LBUTTONUP);
    KillTimer(nullptr, timer);
    EXPECT_EQ(TMenuWatch::popups, 2);
    EXPECT_EQ(log, (std::vector<std::string>{"up R", "click", "up L"})) << "the events come all the same";

    // The menu both refer to goes: neither reference is left dangling.
    delete w.menu;
    EXPECT_EQ(tray->RBtnPopupMenu(), nullptr);
    EXPECT_EQ(tray->LBtnPopupMenu(), nullptr);
    Notify(*tray, WM_RBUTTONUP);
}

TEST(IconTray, MouseDownBringsTheOwnerFormForwardFirst) {
    TShellWatch shell;
    TMenuWatch w;
    auto* tray = new TIconTray(&w.owner);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
    w.owner.Show();
    SetForegroundWindow(other);
    bool posted = false;
    PostMessageA(w.owner.Handle(), WM_NULL, 0, 0);
    HWND foregroundAtEvent = nullptr;
    tray->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        foregroundAtEvent = GetForegroundWindow();
        MSG m;
        posted = PeekMessageA(&m, w.owner.Handle(), WM_NULL, WM_NULL, PM_NOREMOVE) != FALSE;
    };
    Notify(*tray, WM_RBUTTONDOWN);
    EXPECT_EQ(foregroundAtEvent, w.owner.Handle());
    EXPECT_FALSE(posted) << "what was waiting is handled before the event";
    DestroyWindow(other);
}

TEST(IconTray, IdentifiersAndWindowsAreOwnEach) {
    TShellWatch shell;
    TComponent owner(nullptr);
    auto* a = new TIconTray(&owner);
    auto* b = new TIconTray(&owner);
    EXPECT_EQ(b->IconID(), a->IconID() + 1);
    EXPECT_EQ(TrayIconCount, b->IconID());
    EXPECT_NE(a->MsgWindow(), b->MsgWindow());
    EXPECT_TRUE(IsWindow(a->MsgWindow()));
    HWND gone = a->MsgWindow();
    delete a;
    EXPECT_FALSE(IsWindow(gone));
    auto* c = new TIconTray(&owner);
    EXPECT_EQ(c->IconID(), b->IconID() + 1) << "the count never goes back";
}

TEST(IconTray, ShellIsToldAddModifyDeleteWithTheRecord) {
    TShellWatch shell;
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* tray = new TIconTray(owner.get());
    EXPECT_TRUE(shell.Calls.empty()) << "nothing before there is a picture";
    tray->SetHint("ズマロランチャ作動中");
    EXPECT_TRUE(shell.Calls.empty()) << "no picture, no icon";
    TIcon icon = ProgramIcon();
    tray->SetIcon(&icon);
    tray->Loaded();
    ASSERT_EQ(shell.Calls.size(), 2u);
    const NOTIFYICONDATAW& d = shell.Calls[0].Data;
    EXPECT_EQ(shell.Calls[0].Message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(d.cbSize, sizeof(void*) == 4 ? 152u : 168u);
    EXPECT_EQ(d.hWnd, tray->MsgWindow());
    EXPECT_EQ(d.uID, static_cast<UINT>(tray->IconID()));
    EXPECT_EQ(d.uFlags, 7u);
    EXPECT_EQ(d.uCallbackMessage, 0x400u);
    EXPECT_NE(d.hIcon, nullptr);
    EXPECT_NE(d.hIcon, icon.Handle()) << "the component keeps its own copy";
    EXPECT_EQ(shell.Tip(0), "ズマロランチャ作動中");
    EXPECT_EQ(shell.Calls[1].Message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_TRUE(tray->IconAdded());

    tray->SetHint("ズマロランチャ作動中");
    EXPECT_EQ(shell.Calls.size(), 2u) << "the same hint makes no call";
    tray->SetShowHint(false);
    ASSERT_EQ(shell.Calls.size(), 3u);
    EXPECT_EQ(shell.Tip(2), "");
    EXPECT_EQ(shell.Calls[2].Data.uFlags, 7u);
    EXPECT_EQ(tray->Hint(), "ズマロランチャ作動中");
    tray->SetShowHint(false);
    EXPECT_EQ(shell.Calls.size(), 3u);
    tray->SetShowHint(true);
    EXPECT_EQ(shell.Tip(3), "ズマロランチャ作動中");

    // An empty picture takes the icon away; a new one adds it again.
    TIcon none;
    tray->SetIcon(&none);
    EXPECT_EQ(shell.Calls.back().Message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(tray->IconAdded());
    tray->SetIcon(&icon);
    EXPECT_EQ(shell.Calls.back().Message, static_cast<DWORD>(NIM_ADD));

    size_t before = shell.Calls.size();
    owner.reset();
    ASSERT_EQ(shell.Calls.size(), before + 1);
    EXPECT_EQ(shell.Calls.back().Message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(shell.Calls.back().Data.uID, shell.Calls[0].Data.uID);
}

TEST(IconTray, HintIsCutAt63BytesNeverInsideACharacter) {
    TShellWatch shell;
    TComponent owner(nullptr);
    auto* tray = new TIconTray(&owner);
    TIcon icon = ProgramIcon();
    tray->SetIcon(&icon);
    std::string seventy(70, 'x');
    tray->SetHint(seventy);
    EXPECT_EQ(tray->Hint(), std::string(63, 'x'));
    EXPECT_EQ(shell.Tip(shell.Calls.size() - 1), std::string(63, 'x'));
    // 62 bytes, then a double-byte character whose first half would be byte 63.
    tray->SetHint(std::string(62, 'y') + "表示");
    EXPECT_EQ(tray->Hint(), std::string(62, 'y'));
    tray->SetHint(std::string(61, 'z') + "表示");
    EXPECT_EQ(tray->Hint(), std::string(61, 'z') + "表");
    EXPECT_EQ(shell.Tip(shell.Calls.size() - 1), std::string(61, 'z') + "表");
}

TEST(IconTray, ComesBackWhenTheShellRemakesTheNotificationArea) {
    TShellWatch shell;
    TComponent owner(nullptr);
    auto* tray = new TIconTray(&owner);
    UINT created = RegisterWindowMessageA("TaskbarCreated");
    SendMessageA(tray->MsgWindow(), created, 0, 0);
    EXPECT_TRUE(shell.Calls.empty()) << "no icon to bring back";
    TIcon icon = ProgramIcon();
    tray->SetIcon(&icon);
    tray->SetHint("tip");
    SendMessageA(tray->MsgWindow(), created, 0, 0);
    ASSERT_EQ(shell.Calls.size(), 3u);
    EXPECT_EQ(shell.Calls[2].Message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(shell.Tip(2), "tip");
    EXPECT_TRUE(tray->IconAdded());
    tray->SetHint("tip 2");
    EXPECT_EQ(shell.Calls.back().Message, static_cast<DWORD>(NIM_MODIFY));
}

TEST(IconTray, ThePanelAddsItsIconWhileLoadingAndRemovesItAtTheEnd) {
    TTempFolder dir;
    WriteFileBytes(dir / "Zumaro.ini", "[Initialize]\r\nAutoClose=False\r\n[Registered Files]\r\n");
    TShellWatch shell;
    auto* form = new TfrmMain(Application, dir.Path());
    ASSERT_GE(shell.Calls.size(), 3u);
    EXPECT_EQ(shell.Calls[0].Message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(shell.Tip(0), "") << "added with the picture, before the hint is applied";
    EXPECT_EQ(shell.Calls[1].Message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(shell.Tip(1), "ズマロランチャ作動中");
    EXPECT_EQ(shell.Calls.back().Message, static_cast<DWORD>(NIM_MODIFY)) << "once more at the end of loading";
    EXPECT_EQ(form->IconTray1->RBtnPopupMenu(), form->pumMain);
    EXPECT_EQ(form->IconTray1->LBtnPopupMenu(), nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(shell.Calls[0].Data.hIcon, &info));
    BITMAP bm{};
    GetObjectA(info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    size_t before = shell.Calls.size();
    TComponent::Free(form);
    ASSERT_EQ(shell.Calls.size(), before + 1);
    EXPECT_EQ(shell.Calls.back().Message, static_cast<DWORD>(NIM_DELETE));
}

TEST(IconTray, AnAddTheShellRefusesIsAskedAgainUntilItTakes) {
    TSwapped interval(TIconTray::RetryInterval, 30u);
    TShellWatch shell;
    shell.RefusedAdds = 3;
    TComponent owner(nullptr);
    auto* tray = new TIconTray(&owner);
    TIcon icon = ProgramIcon();
    tray->SetIcon(&icon);
    EXPECT_FALSE(tray->IconAdded());
    auto pump = [](DWORD ms, const std::function<bool()>& done) {
        for (ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end && !done(); Sleep(5)) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
    };
    pump(3000, [&] { return tray->IconAdded(); });
    EXPECT_TRUE(tray->IconAdded());
    EXPECT_EQ(shell.Count(NIM_ADD), 4u) << "three refused, then the one that took";
    size_t calls = shell.Calls.size();
    pump(200, [] { return false; });
    EXPECT_EQ(shell.Calls.size(), calls) << "no more asking once it is there";
    tray->SetHint("tip");
    EXPECT_EQ(shell.Calls.back().Message, static_cast<DWORD>(NIM_MODIFY));
}
