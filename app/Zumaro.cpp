// Program entry: one instance at a time, the main window, the message loop, the teardown.
#include <windows.h>
#include <objbase.h>

#include "animation/UnitZumaro.h"
#include "app/SingleInstance.h"
#include "toolkit/SystemLibraries.h"
#include "app/UnitSplash.h"
#include "app/UnitUtils.h"
#include "panel/UnitMain.h"
#include "toolkit/WideText.h"

namespace {

const char kTitle[] = "ズマロランチャー";

int RunLauncher() {
    // Creating the mutex and learning whether it existed is one step, so two starts at the same
    // moment cannot both pass. The handle stays open until the process ends.
    HANDLE mutex = nullptr;
    if (ClaimSingleInstance("ZumaroLauncherByQuillon", mutex) == TInstanceStart::AlreadyRunning) {
        MessageBoxW(nullptr, SjisToWide("ズマロランチャーはすでに起動されています").c_str(), SjisToWide("情報").c_str(),
                    MB_ICONINFORMATION | MB_OK);
        return 0;
    }
    CoInitialize(nullptr);  // the shell's icon look-ups want it

    auto* app = new TApplication();
    // The splash is up, painted, before the slow part: reading the file and making every icon.
    auto* splash = new TfrmSplash(app);
    splash->Show();
    UpdateWindow(splash->Handle());
    app->Title = kTitle;
    frmMain = app->CreateForm<TfrmMain>();
    frmZumaro = app->CreateForm<TfrmZumaro>();
    splash->Release();  // carried out once the loop runs
    app->Run();
    TComponent::Free(app);  // the windows go in reverse order of creation, the main window last
    frmMain = nullptr;
    frmZumaro = nullptr;
    CoUninitialize();
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    NarrowLibrarySearch();
    return RunReportingErrors(kTitle, RunLauncher);
}
