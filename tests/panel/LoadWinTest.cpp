// A long list: 20,000 entries over 100 real files start, page to the end, go through the settings
// dialog and are saved back byte for byte, with GDI objects that do not grow with the list.
#include "panel/UnitMain.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/UnitUtils.h"
#include "settings/DialogDriver.h"
#include "settings/UnitSetting.h"
#include "support/WinTestSupport.h"

namespace {

double NowMs() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

TEST(Load, TwentyThousandEntriesStartPageOpenTheSettingsAndSaveUnchanged) {
    TTempFolder dir("大量");
    const char* kinds[] = {".txt", ".bat", ".ini", ".html"};
    std::string entries;
    for (int i = 0; i < 100; ++i) WriteFileBytes(dir / ("f" + std::to_string(i) + kinds[i % 4]), "x");
    for (int i = 0; i < 20000; ++i) {
        std::string name = "f" + std::to_string(i % 100) + kinds[(i % 100) % 4];
        entries += dir / name + (i % 7 == 0 ? "/True/ヒント" + std::to_string(i) : "/False/" + name) + "\r\n";
    }
    // The file as the program writes it, so that saving it back must give the same bytes.
    std::string file = "[Initialize]\r\nPannelCol=3\r\nPannelRow=2\r\nBtnWidth=32\r\nBtnHeight=32\r\n"
                       "SmallLargeBoundary=24\r\nAnimation=False\r\nZumaroSpeed=5\r\nZumaroSound=True\r\n"
                       "NumOfRegi=20000\r\nHotKey1=1\r\nHotKey2=A\r\nAutoClose=False\r\nLeft=300\r\nTop=200\r\n\r\n"
                       "[Registered Files]\r\n" +
                       entries;
    WriteFileBytes(dir / "Zumaro.ini", file);

    const int gdiBefore = LiveGdiObjects;
    double start = NowMs();
    auto* form = new TfrmMain(Application, dir.Path());
    double startUp = NowMs() - start;
    ASSERT_EQ(form->RegiFileList->Count(), 20000);
    EXPECT_LT(LiveGdiObjects - gdiBefore, 100) << "the list's own pictures hold no GDI objects";
    form->Show();
    while (form->PageIndex < LastPage(20000, 6)) form->NextPage();
    EXPECT_EQ(form->PageIndex, 3333);
    EXPECT_EQ(form->ButtonImages[0]->Hint(), dir / "f98.ini");
    EXPECT_EQ(form->ButtonImages[1]->Hint(), "ヒント19999");

    HWND setting = nullptr;
    int rows = 0;
    {
        TDialogScript script({Pause(50), Do([&] {
                                  setting = FindThreadWindow("TfrmSetting");
                                  auto* d = dynamic_cast<TfrmSetting*>(BoundTarget(setting));
                                  rows = d != nullptr ? d->lbxRegiApp->Count() : -1;
                                  Press(FindChild(setting, "OK"));
                              })});
        form->pumSetting->OnClick(form->pumSetting);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(rows, 20000);
    Application->ProcessMessages();  // the dialog's deferred release
    EXPECT_EQ(ReadFileBytes(dir / "Zumaro.ini"), file) << "written back by the settings' OK unchanged";
    TComponent::Free(form);
    EXPECT_EQ(ReadFileBytes(dir / "Zumaro.ini"), file) << "and at the end";
    EXPECT_EQ(LiveGdiObjects, gdiBefore);
    std::printf("start-up with 20,000 entries over 100 files: %.0f ms\n", startUp);
}

TEST(Load, ALongListsFilesAreFoundInPlaceWhenAskedOnSeveralThreads) {
    TTempFolder dir("在否");
    WriteFileBytes(dir / "ある.txt", "x");
    WriteFileBytes(dir / "b.bat", "x");
    CreateDirectoryW(SjisToWide(dir / "フォルダ").c_str(), nullptr);
    const std::string kinds[] = {"ある.txt", "ない.txt", "b.bat", "フォルダ", "フォルダ\\", "b.bat\\", "", "フォルダ\\ない"};
    std::vector<std::string> paths;
    // Long enough to be shared out, in an order that no share's stride follows.
    for (int i = 0; i < 3000; ++i) paths.push_back(dir / kinds[(i * 7 + i / 13) % 8]);
    std::vector<bool> present = PathsPresent(paths);
    ASSERT_EQ(present.size(), paths.size());
    int there = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        ASSERT_EQ(present[i], FileExists(paths[i]) || FolderExists(paths[i])) << i << ": " << paths[i];
        there += present[i];
    }
    EXPECT_GT(there, 0);
    EXPECT_LT(there, 3000);
    EXPECT_TRUE(PathsPresent({}).empty());
}
