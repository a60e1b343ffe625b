// The launcher panel: the main window, which owns the settings and the registration list.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/SettingsText.h"
#include "app/UnitUtils.h"
#include "components/NewCtrls.h"
#include "components/SysCtrls.h"
#include "panel/IconCache.h"
#include "panel/PanelGeometry.h"
#include "toolkit/Controls.h"

constexpr int kHotKeyId = 123;

// Every registration of the panel's hot key goes through here, so tests can see its flags.
using TRegisterHotKey = BOOL(WINAPI*)(HWND window, int id, UINT modifiers, UINT key);
extern TRegisterHotKey RegisterPanelHotKey;
constexpr COLORREF kPanelGreen = RGB(0, 128, 0);
constexpr COLORREF kHighlightRed = RGB(255, 0, 0);

// The one hint window, owned by the main window; the panel's I key and the list editor use it.
extern THintWindow* ItemHintWindow;

// The help command calls the help system and the shell through these, so tests can watch them.
using TWinHelpCall = BOOL(WINAPI*)(HWND window, LPCWSTR helpFile, UINT command, ULONG_PTR data);
extern TWinHelpCall WinHelpCall;
using TShellExecuteCall = HINSTANCE(WINAPI*)(HWND window, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                             LPCWSTR directory, INT show);
extern TShellExecuteCall ShellExecuteCall;

// The user's guide that ships beside the program; the help command opens it where there is no help file.
constexpr char kGuideName[] = "はじめにお読みください.txt";

class TfrmMain : public TForm {
public:
    // folder is where "Zumaro.ini" and the program's data files live: the executable's own.
    explicit TfrmMain(TComponent* owner, std::string folder = ExeFolder());

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void FormPaint(TObject* Sender);
    void AppDeactivate(TObject* Sender);

    void LoadSettings();
    // Writes the file; a failure is told in a box unless quiet.
    void SaveSettings(bool quiet = false);
    void UpdateHotKey();
    void RegisterHotKeyOf(UINT modifiers, UINT key);

    void BuildButtons();
    void ShowPage();
    void DrawFrames();
    void UpdateArrows();
    void PrevPage();
    void NextPage();
    void ButtonMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void ButtonClick(TObject* Sender);
    void FormKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
    void FormKeyUp(TObject* Sender, uint16_t& Key, TShiftState Shift);
    void LaunchApp();
    void spbLeftClick(TObject* Sender);
    void spbRightClick(TObject* Sender);

    void WMHotKey();
    void TogglePanel();
    void WMLButtonDown();
    void IconTray1Click(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormHide(TObject* Sender);
    void pumShowHideClick(TObject* Sender);
    void pumSettingClick(TObject* Sender);
    void pumHelpClick(TObject* Sender);
    void pumAboutClick(TObject* Sender);
    void pumExitClick(TObject* Sender);
    void FileDrop1FileDrop(TObject* Sender, int32_t Num, TStrings* Files, int32_t X, int32_t Y);

    int EntryCount() const { return RegiFileList != nullptr ? RegiFileList->Count() : 0; }
    TPanelGeometry Geometry() const;

    // Components, in the order they are placed on the form.
    TPopupMenu* pumMain = nullptr;
    TMenuItem* pumShowHide = nullptr;
    TMenuItem* pumSetting = nullptr;
    TMenuItem* pumHelp = nullptr;
    TMenuItem* pumAbout = nullptr;
    TMenuItem* pumExit = nullptr;
    TFileDrop* FileDrop1 = nullptr;
    TSpeedButton* spbLeft = nullptr;
    TSpeedButton* spbRight = nullptr;
    TIconTray* IconTray1 = nullptr;

    // The panel's state, in its declared order.
    bool ArrowsVisible = false;
    TLauncherSettings LauncherSettings;
    // The entries' icons: made when first read (a page shown, a row of the settings list drawn)
    // from the panel's icon cache, which asks the shell once per path.
    TIconCache Icons;
    TIconList LargeIconList{Icons, true};
    TIconList SmallIconList{Icons, false};
    std::unique_ptr<TStringList> RegiFileList;
    std::unique_ptr<TStringList> UseAriasList;
    std::unique_ptr<TStringList> AriasList;
    std::vector<TImage*> ButtonImages;
    int32_t CursorIndex = 0;
    int32_t PageIndex = 0;
    std::string IniPath;
    bool HintShowing = false;
    int32_t LastHoverIndex = 0;
    int32_t SettingPageIndex = 0;
    bool DialogOpen = false;

    // The settings file exists but could not be read: it is left as it is for this run.
    bool KeepSettingsFile = false;
    // The settings file as an editor saved it in UTF-8, until the first save writes Shift-JIS: then it
    // is kept beside it as "Zumaro.ini.utf8", where the names Shift-JIS cannot hold are still whole.
    std::string Utf8Original;
    // The settings are read whole and the panel built: until then nothing writes the file, so a
    // session that ends under a start-up question leaves it as it was.
    bool SettingsComplete = false;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // On a monitor of another scale: the grid, the arrows and the icons are made again for it.
    void DpiChanged(int oldDpi, const RECT& suggested) override;
    bool SizeAtDpi(int dpi, SIZE& size) const override;
    // To a screen reader the cells are buttons named as their tooltips, the cursor's has the
    // keyboard, and a cell's default action is Enter on it.
    void DescribeControl(const TGraphicControl* control, TAccessibleInfo& info) const override;
    void ControlDefaultAction(TGraphicControl* control) override;
    TGraphicControl* FocusedControl() const override;

private:
    struct TDialogRun;
    // The cell's place on the page, or -1 for what is no cell.
    int CellOf(const TGraphicControl* control) const;
    int64_t cursorTold_ = -1;  // the cursor a screen reader was last told of
    // The arrows' size and the icons' scale for the form's DPI.
    void ApplyDpi();
    std::string folder_;
    void AppendEntry(const TRegiEntry& entry);
    // Inserts (index within the list) or appends an entry; its icons come when first read.
    void InsertEntry(int32_t index, const std::string& path, const std::string& flag, const std::string& hint);
};

extern TfrmMain* frmMain;

// The whole rectangle of the monitor a window is on; tests swap it for a second monitor.
extern TRectI (*WindowMonitorRect)(HWND window);
