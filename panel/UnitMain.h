// The launcher panel: the main window, which owns the settings and the registration list.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/SettingsText.h"
#include "app/UnitUtils.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

constexpr int kHotKeyId = 123;

class TfrmMain : public TForm {
public:
    // folder is where "Zumaro.ini" and the program's data files live: the executable's own.
    explicit TfrmMain(TComponent* owner, std::string folder = ExeFolder());

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);

    void LoadSettings();
    void SaveSettings();
    void MakeIconBitmaps(const std::string& path, TBitmap* large, TBitmap* small);
    void UpdateHotKey();

    // The panel's state, in its declared order.
    bool ArrowsVisible = false;
    TLauncherSettings LauncherSettings;
    std::vector<std::unique_ptr<TBitmap>> LargeIconList;
    std::vector<std::unique_ptr<TBitmap>> SmallIconList;
    std::unique_ptr<TStringList> RegiFileList;
    std::unique_ptr<TStringList> UseAriasList;
    std::unique_ptr<TStringList> AriasList;
    int32_t CursorIndex = 0;
    int32_t PageIndex = 0;
    std::string IniPath;
    bool HintShowing = false;
    int32_t LastHoverIndex = 0;
    int32_t SettingPageIndex = 0;
    bool DialogOpen = false;

    // The settings file exists but could not be read: it is left as it is for this run.
    bool KeepSettingsFile = false;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::string folder_;
    void AppendEntry(const TRegiEntry& entry);
};

extern TfrmMain* frmMain;
