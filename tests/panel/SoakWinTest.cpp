// Many random operations on the real panel in-process, as a long day of use would bring them:
// keys, hover, pages, drops, the settings dialog accepted or cancelled after edits, the detail
// dialog, the hint key. After every step the registration list is whole and the cursor and page
// are in range; at the end the program holds no more GDI objects than before.
// ZUMARO_SOAK_STEPS sets the number of steps (2,000 unless set; 10,000 for a long run).
#include "panel/UnitMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "settings/DialogDriver.h"
#include "settings/UnitDetail.h"
#include "settings/UnitSetting.h"
#include "support/WinTestSupport.h"

namespace {

int Steps() {
    const char* text = std::getenv("ZUMARO_SOAK_STEPS");
    int n = text != nullptr ? std::atoi(text) : 0;
    return n > 0 ? n : 2000;
}

template <typename T>
T* FormOf(const char* className) {
    HWND hwnd = FindThreadWindow(className);
    return hwnd != nullptr ? dynamic_cast<T*>(BoundTarget(hwnd)) : nullptr;
}

int DetailsShown = 0;

// The settings dialog, driven from inside its loop: a few random edits of the list (with the
// detail dialog now and then), then OK or Cancel.
struct TSettingsRun {
    std::mt19937& rng;
    bool ok;
    std::vector<TDialogScript::TStep> Steps() {
        std::vector<TDialogScript::TStep> steps{Pause(30)};
        int edits = static_cast<int>(rng() % 4);
        for (int i = 0; i < edits; ++i) {
            unsigned what = rng() % 4, pick = rng();
            steps.push_back(Do([what, pick] {
                auto* d = FormOf<TfrmSetting>("TfrmSetting");
                if (d == nullptr || d->lbxRegiApp->Count() == 0) return;
                d->lbxRegiApp->SetItemIndex(static_cast<int>(pick % static_cast<unsigned>(d->lbxRegiApp->Count())));
                TBitBtn* button = what == 0 ? d->bbnUp : what == 1 ? d->bbnDown : what == 2 ? d->bbnDelete : d->bbnDetail;
                PostMessageA(button->Handle(), BM_CLICK, 0, 0);
            }));
            if (what == 3) {
                // The detail dialog, if the row's flag could be read, answered with OK or Cancel.
                bool accept = (pick & 1) != 0;
                steps.push_back(Pause(40));
                steps.push_back(Do([accept] {
                    if (auto* detail = FormOf<TfrmDetail>("TfrmDetail")) {
                        ++DetailsShown;
                        detail->chbUseArias->Click();
                        PostMessageA((accept ? detail->bbnOK : detail->bbnCancel)->Handle(), BM_CLICK, 0, 0);
                    }
                }));
                steps.push_back(Pause(40));
            }
        }
        bool accept = ok;
        steps.push_back(Do([accept] {
            if (auto* d = FormOf<TfrmSetting>("TfrmSetting"))
                PostMessageA((accept ? d->bbnOK : d->bbnCancel)->Handle(), BM_CLICK, 0, 0);
        }));
        return steps;
    }
};

void ExpectWhole(const TfrmMain& f, int step) {
    int n = f.RegiFileList->Count();
    ASSERT_EQ(f.UseAriasList->Count(), n) << "step " << step;
    ASSERT_EQ(f.AriasList->Count(), n) << "step " << step;
    ASSERT_EQ(static_cast<int>(f.LargeIconList.size()), n) << "step " << step;
    ASSERT_EQ(static_cast<int>(f.SmallIconList.size()), n) << "step " << step;
    ASSERT_EQ(f.LauncherSettings.NumOfRegi, n) << "step " << step;
    int32_t perPage = f.LauncherSettings.ButtonsPerPage;
    ASSERT_GE(f.PageIndex, 0) << "step " << step;
    ASSERT_LE(f.PageIndex, LastPage(n, perPage)) << "step " << step;
    ASSERT_GE(f.CursorIndex, 0) << "step " << step;
    // A drop on the arrow strip may put the cursor on the next page's first row.
    ASSERT_LT(f.CursorIndex, (f.PageIndex + 2) * perPage) << "step " << step;
}

}  // namespace

TEST(Soak, RandomOperationsKeepTheListWholeAndGiveBackEveryGdiObject) {
    TTempFolder dir("耐久");
    std::vector<std::string> pool;
    for (const char* name : {"a.txt", "表示.txt", "ソフト.bat", "c.ini", "d.log"}) {
        pool.push_back(dir / name);
        WriteFileBytes(pool.back(), "x");
    }
    pool.push_back(dir / "フォルダ");
    CreateDirectoryW(SjisToWide(pool.back()).c_str(), nullptr);
    std::string entries;
    for (int i = 0; i < 7; ++i) entries += pool[static_cast<size_t>(i) % pool.size()] + "\r\n";
    WriteFileBytes(dir / "Zumaro.ini", "[Initialize]\r\nPannelCol=3\r\nPannelRow=2\r\nAnimation=False\r\n"
                                       "AutoClose=False\r\nLeft=300\r\nTop=200\r\n[Registered Files]\r\n" + entries);
    const int gdiBefore = LiveGdiObjects;
    auto* form = new TfrmMain(Application, dir.Path());
    form->Show();
    std::mt19937 rng(20261208);
    const int steps = Steps();
    int dialogs = 0, drops = 0, most = 0;
    for (int step = 0; step < steps; ++step) {
        unsigned op = rng() % 100;
        if (op < 40) {
            static const uint16_t keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN};
            static const TShiftState shifts[] = {0, 0, 0, ssShift, ssCtrl, ssAlt};
            uint16_t key = keys[rng() % 4];
            form->FormKeyDown(form, key, shifts[rng() % 6]);
        } else if (op < 55) {
            TImage* image = form->ButtonImages[rng() % form->ButtonImages.size()];
            form->ButtonMouseMove(image, 0, 1, 1);
        } else if (op < 65) {
            (rng() & 1) ? form->NextPage() : form->PrevPage();
        } else if (op < 80 && form->RegiFileList->Count() < 30) {
            // Drops while the list is short: every settings OK makes all icons again.
            std::vector<std::string> paths{pool[rng() % pool.size()]};
            if (rng() % 4 == 0) paths.push_back(pool[rng() % pool.size()]);
            POINT p{static_cast<LONG>(rng() % static_cast<unsigned>(form->Width() + 10)),
                    static_cast<LONG>(rng() % static_cast<unsigned>(form->Height() + 10))};
            SendMessageA(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropFiles(paths, p.x, p.y)), 0);
            ++drops;
        } else if (op >= 80 && op < 90) {
            uint16_t key = 'I';
            form->FormKeyDown(form, key, 0);
            form->FormKeyUp(form, key, 0);
        } else if (op >= 90 && op < 93) {
            // Not too often: each run is a modal dialog with its own loop.
            TSettingsRun run{rng, (rng() & 1) != 0};
            TDialogScript script(run.Steps());
            form->pumSetting->OnClick(form->pumSetting);
            Application->ProcessMessages();  // the deferred release
            ++dialogs;
        } else {
            form->spbRight->OnClick(form->spbRight);
        }
        ExpectWhole(*form, step);
        most = std::max(most, form->RegiFileList->Count());
        if (HasFatalFailure()) break;
    }
    Application->ProcessMessages();
    EXPECT_EQ(FindThreadWindow("TfrmSetting"), nullptr);
    // The run did what it says: dialogs with details, drops that grew the list.
    EXPECT_GT(dialogs, steps / 100);
    EXPECT_GT(DetailsShown, 0);
    EXPECT_GT(drops, 20);
    EXPECT_GE(most, 20);
    TComponent::Free(form);
    EXPECT_EQ(LiveGdiObjects, gdiBefore);
}
