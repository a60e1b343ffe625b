// The drop target in-process, with drops made the way the shell makes them: a DROPFILES block in
// global memory, sent as WM_DROPFILES to the hooked window.
#include "components/NewCtrls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/WinTestSupport.h"
#include "toolkit/Controls.h"

namespace {

struct THost : TForm {
    explicit THost(TComponent* owner) : TForm(owner, "TDropTestHost") { FinishCreate(); }
};

// Another control with a window of its own, on the host.
struct TChildBox : TWinControl {
    explicit TChildBox(TForm* host) : TWinControl(host), host_(host) { SetVisible(true); }
    void CreateParams(TCreateParams& params) override {
        params.ClassName = "TDropTestChild";
        params.Style = WS_CHILD;
        params.Parent = host_->Handle();
    }
    TForm* host_;
};

// A form with a drop target as it comes out of loading; each drop lands in Drops.
struct TDropFixture {
    struct TDrop {
        int32_t Num;
        std::vector<std::string> Files;
        int32_t X, Y;
    };
    TDropFixture() {
        drop->OnFileDrop = [this](TObject* sender, int32_t num, TStrings* files, int32_t x, int32_t y) {
            EXPECT_EQ(sender, drop);
            TDrop d{num, {}, x, y};
            for (int i = 0; i < files->Count(); ++i) d.Files.push_back((*files)[i]);
            Drops.push_back(d);
        };
    }
    ~TDropFixture() { TComponent::Free(host); }
    THost* host = new THost(Application);
    TFileDrop* drop = MakeDrop(host);
    std::vector<TDrop> Drops;

    static TFileDrop* MakeDrop(THost* host) {
        auto* d = new TFileDrop(host);
        d->Loaded();
        return d;
    }
};

LONG_PTR ExStyle(HWND h) { return GetWindowLongPtrA(h, GWL_EXSTYLE); }

}  // namespace

TEST(FileDrop, ThreeFilesWithTheirPointOnTheOwnerForm) {
    TDropFixture f;
    HWND target = f.host->Handle();
    EXPECT_EQ(f.drop->HookedWnd(), target);
    EXPECT_TRUE(ExStyle(target) & WS_EX_ACCEPTFILES);
    HGLOBAL drop = MakeDropFiles({"C:\\a.txt", "C:\\表示\\ソフト.exe", "D:\\folder"}, 17, 23);
    EXPECT_EQ(SendMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0), 0);
    ASSERT_EQ(f.Drops.size(), 1u);
    EXPECT_EQ(f.Drops[0].Num, 3);
    EXPECT_EQ(f.Drops[0].Files, (std::vector<std::string>{"C:\\a.txt", "C:\\表示\\ソフト.exe", "D:\\folder"}));
    EXPECT_EQ(f.Drops[0].X, 17);
    EXPECT_EQ(f.Drops[0].Y, 23);
    EXPECT_EQ(GlobalSize(drop), 0u) << "the drop is finished";
    // Everything else still reaches the form.
    f.host->Caption = "";
    SetWindowTextA(target, "still mine");
    char text[32] = {};
    GetWindowTextA(target, text, sizeof text);
    EXPECT_STREQ(text, "still mine");
}

TEST(FileDrop, LongPathsArriveWhole) {
    TDropFixture f;
    std::string longPath = "C:\\" + std::string(150, 'x') + "\\" + std::string(50, 'y') + "表示ソフト" +
                           std::string(90, 'z') + ".txt";
    ASSERT_GT(longPath.size(), 300u);
    SendMessageA(f.host->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropFiles({longPath, "C:\\b"}, 0, 0)),
                 0);
    ASSERT_EQ(f.Drops.size(), 1u);
    EXPECT_EQ(f.Drops[0].Files, (std::vector<std::string>{longPath, "C:\\b"}));
}

TEST(FileDrop, AnotherControlAsTargetAndNoHandlerStillFinishes) {
    TDropFixture f;
    auto* image = new TChildBox(f.host);
    image->SetBounds(10, 10, 50, 50);
    HWND formWindow = f.host->Handle();
    f.drop->SetControl(image);
    EXPECT_EQ(f.drop->HookedWnd(), image->Handle());
    EXPECT_TRUE(ExStyle(image->Handle()) & WS_EX_ACCEPTFILES);
    SendMessageA(image->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropFiles({"C:\\x"}, 5, 6)), 0);
    ASSERT_EQ(f.Drops.size(), 1u);
    EXPECT_EQ(f.Drops[0].X, 5);
    // The form's own window is no longer hooked: its drops are the system's business.
    HGLOBAL missed = MakeDropFiles({"C:\\y"}, 1, 1);
    SendMessageA(formWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(missed), 0);
    EXPECT_EQ(f.Drops.size(), 1u);
    GlobalFree(missed);

    f.drop->OnFileDrop = nullptr;
    HGLOBAL unheard = MakeDropFiles({"C:\\z"}, 1, 1);
    EXPECT_EQ(SendMessageA(image->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(unheard), 0), 0);
    EXPECT_EQ(GlobalSize(unheard), 0u);
}

TEST(FileDrop, AcceptFollowsAtOnceWhileHooked) {
    TDropFixture f;
    HWND target = f.host->Handle();
    f.drop->SetAccept(false);
    EXPECT_FALSE(ExStyle(target) & WS_EX_ACCEPTFILES);
    f.drop->SetAccept(true);
    EXPECT_TRUE(ExStyle(target) & WS_EX_ACCEPTFILES);
}

TEST(FileDrop, DestroyedControlAndRecreatedWindow) {
    TDropFixture f;
    auto* image = new TChildBox(f.host);
    f.drop->SetControl(image);
    HWND old = image->Handle();
    // A window made anew is not hooked until told.
    DestroyWindow(old);
    HWND fresh = image->Handle();
    HGLOBAL missed = MakeDropFiles({"C:\\a"}, 0, 0);
    SendMessageA(fresh, WM_DROPFILES, reinterpret_cast<WPARAM>(missed), 0);
    EXPECT_TRUE(f.Drops.empty());
    GlobalFree(missed);
    f.drop->Rehook();
    EXPECT_EQ(f.drop->HookedWnd(), fresh);
    SendMessageA(fresh, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropFiles({"C:\\a"}, 0, 0)), 0);
    EXPECT_EQ(f.Drops.size(), 1u);

    // The control goes: no reference left, drops refused until Accept is set again.
    TComponent::Free(image);
    EXPECT_EQ(f.drop->Control(), nullptr);
    EXPECT_FALSE(f.drop->Accept());
    EXPECT_EQ(f.drop->HookedWnd(), fresh);
    auto* next = new TChildBox(f.host);
    f.drop->SetControl(next);
    EXPECT_FALSE(ExStyle(next->Handle()) & WS_EX_ACCEPTFILES);
    f.drop->SetAccept(true);
    EXPECT_TRUE(ExStyle(next->Handle()) & WS_EX_ACCEPTFILES);
}

TEST(FileDrop, UnhookGivesTheWindowItsProcedureBack) {
    auto* host = new THost(Application);
    auto original = GetWindowLongPtrA(host->Handle(), GWLP_WNDPROC);
    auto* drop = TDropFixture::MakeDrop(host);
    EXPECT_NE(GetWindowLongPtrA(host->Handle(), GWLP_WNDPROC), original);
    delete drop;
    EXPECT_EQ(GetWindowLongPtrA(host->Handle(), GWLP_WNDPROC), original);
    TComponent::Free(host);
}

TEST(FileDrop, NoWindowToHookIsAnError) {
    TComponent owner(nullptr);
    auto* drop = new TFileDrop(&owner);  // made in code: nothing hooked yet
    EXPECT_EQ(drop->HookedWnd(), nullptr);
    for (int i = 0; i < 3; ++i) {
        try {
            if (i == 0) drop->Loaded();
            if (i == 1) drop->Rehook();
            if (i == 2) drop->SetControl(nullptr);
            ADD_FAILURE() << "no error for case " << i;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message, "Invalidate Window Handle in FileDrop");
        }
        EXPECT_EQ(drop->HookedWnd(), nullptr);
    }
}

TEST(FileDrop, AnErrorInTheHandlerIsReportedAndTheWindowGoesOn) {
    TDropFixture f;
    f.drop->OnFileDrop = [](TObject*, int32_t, TStrings* files, int32_t, int32_t) {
        throw Exception("登録できません: " + (*files)[0]);
    };
    TBoxAnswerer boxes;
    HGLOBAL drop = MakeDropFiles({"C:\\a"}, 0, 0);
    EXPECT_EQ(SendMessageA(f.host->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0), 0);
    ASSERT_EQ(boxes.Seen.size(), 1u);
    EXPECT_EQ(boxes.Seen[0].Text, "登録できません: C:\\a.");
    EXPECT_EQ(boxes.Seen[0].Icon, "stop");
    EXPECT_EQ(boxes.Seen[0].Caption, "ズマロランチャー");
    EXPECT_EQ(GlobalSize(drop), 0u);
    // Whatever is thrown, the drop is finished.
    f.drop->OnFileDrop = [](TObject*, int32_t, TStrings*, int32_t, int32_t) { throw 7; };
    drop = MakeDropFiles({"C:\\c"}, 0, 0);
    SendMessageA(f.host->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(GlobalSize(drop), 0u);
    int heard = 0;
    f.drop->OnFileDrop = [&](TObject*, int32_t, TStrings*, int32_t, int32_t) { ++heard; };
    SendMessageA(f.host->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropFiles({"C:\\b"}, 0, 0)), 0);
    EXPECT_EQ(heard, 1);
}

// The shell's wide names come whole in WideFiles; Files has "?" where the code page has no form.
TEST(FileDrop, WideNamesArriveAsTheSystemHoldsThem) {
    TDropFixture f;
    std::vector<std::wstring> wide;
    auto record = f.drop->OnFileDrop;
    f.drop->OnFileDrop = [&](TObject* s, int32_t n, TStrings* files, int32_t x, int32_t y) {
        wide = f.drop->WideFiles();
        record(s, n, files, x, y);
    };
    const std::wstring cafe = L"C:\\Caf\u00e9 \u2615\\\ud55c.txt", japanese = L"D:\\\u8868\u793a.exe";
    HGLOBAL drop = MakeDropFiles(std::vector<std::wstring>{cafe, japanese}, 4, 5);
    SendMessageA(f.host->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    ASSERT_EQ(f.Drops.size(), 1u);
    EXPECT_EQ(wide, (std::vector<std::wstring>{cafe, japanese}));
    EXPECT_EQ(f.Drops[0].Files, (std::vector<std::string>{"C:\\Caf? ?\\?.txt", "D:\\表示.exe"}));
    EXPECT_TRUE(f.drop->WideFiles().empty()) << "only while the event runs";
    EXPECT_EQ(GlobalSize(drop), 0u);
}

// While a dialog holds the program's other windows, their drops are refused and never reach
// the handler; they come back with the window.
TEST(FileDrop, ADisabledWindowTakesNoFiles) {
    TDropFixture f;
    HWND target = f.host->Handle();
    EnableWindow(target, FALSE);
    EXPECT_FALSE(ExStyle(target) & WS_EX_ACCEPTFILES);
    HGLOBAL drop = MakeDropFiles({"C:\\late.txt"}, 0, 0);  // one already on its way
    SendMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_TRUE(f.Drops.empty());
    EXPECT_EQ(GlobalSize(drop), 0u);
    EnableWindow(target, TRUE);
    EXPECT_TRUE(ExStyle(target) & WS_EX_ACCEPTFILES);
    f.drop->SetAccept(false);
    EnableWindow(target, FALSE);
    EnableWindow(target, TRUE);
    EXPECT_FALSE(ExStyle(target) & WS_EX_ACCEPTFILES) << "Accept false stays false";

    // A control's target (the settings list) follows its dialog going under another one and back.
    auto* list = new TChildBox(f.host);
    f.drop->SetAccept(true);
    f.drop->SetControl(list);
    EnableWindow(target, FALSE);
    EXPECT_FALSE(ExStyle(list->Handle()) & WS_EX_ACCEPTFILES) << "refused visibly, not taken and thrown away";
    EnableWindow(target, TRUE);
    EXPECT_TRUE(ExStyle(list->Handle()) & WS_EX_ACCEPTFILES);
}
