#include "panel/UnitMain.h"

#include <shellapi.h>

#include <exception>

#include <mmsystem.h>

#include "animation/UnitZumaro.h"
#include "app/SettingsFile.h"
#include "toolkit/SystemLibraries.h"
#include "app/SystemNames.h"
#include "app/UnitUtils.h"
#include "panel/PanelKeys.h"
#include "panel/UnitAbout.h"
#include "resources/MenuIds.h"
#include "settings/UnitSetting.h"

TfrmMain* frmMain = nullptr;
TRegisterHotKey RegisterPanelHotKey = &RegisterHotKey;
THintWindow* ItemHintWindow = nullptr;
TWinHelpCall WinHelpCall = &WinHelpW;
TShellExecuteCall ShellExecuteCall = &ShellExecuteW;

TRectI (*WindowMonitorRect)(HWND) = [](HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return TRectI{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
};

namespace {

const char kCaption[] = "ズマロランチャー";
const std::vector<std::string> kLeftGlyph = {"...#", "..##", ".###", "..##", "...#"};
const std::vector<std::string> kRightGlyph = {"#...", "##..", "###.", "##..", "#..."};

// Start-up questions about entries whose file has gone.
class TMainLoadHost : public IRegiLoadHost {
public:
    using TAppend = void (TfrmMain::*)(const TRegiEntry&);
    TMainLoadHost(TfrmMain& form, TAppend append) : form_(form), append_(append) {}
    bool EntryExists(const std::string& path) override { return FileExists(path) || FolderExists(path); }
    std::vector<bool> EntriesExist(const std::vector<TRegiEntry>& entries) override {
        std::vector<std::string> paths;
        paths.reserve(entries.size());
        for (const TRegiEntry& entry : entries) paths.push_back(entry.Path);
        return PathsPresent(paths);
    }
    bool AskRemoveMissing(const std::string& path) override {
        std::string text = "登録されたファイル(" + path + ")が見つかりません。登録リストから削除" + "してもいいですか？";
        return Application->ShowMessageBox(text, kCaption, MB_ICONEXCLAMATION | MB_YESNO) == IDYES;
    }
    void AppendEntry(const TRegiEntry& entry) override { (form_.*append_)(entry); }

private:
    TfrmMain& form_;
    TAppend append_;
};

// Frames on the panel's paint surface; every paint draws them all: one brush per colour, not
// one per rectangle.
class TFrameCanvas {
public:
    explicit TFrameCanvas(HDC dc) : dc_(dc) {}
    void FrameRect(const TRectI& r, COLORREF color) {
        RECT rc{r.Left, r.Top, r.Right, r.Bottom};
        ::FrameRect(dc_, &rc, Brush(color));
    }
    void FillRect(const TRectI& r, COLORREF color) {
        RECT rc{r.Left, r.Top, r.Right, r.Bottom};
        ::FillRect(dc_, &rc, Brush(color));
    }

private:
    HBRUSH Brush(COLORREF color) {
        if (!brush_ || color != brushColor_) {
            brush_.Reset(CreateSolidBrush(color));
            brushColor_ = color;
        }
        return static_cast<HBRUSH>(brush_.Get());
    }
    HDC dc_;
    TGdiObject brush_;
    COLORREF brushColor_ = 0;
};

}  // namespace

// A dialog run from the menu: DialogOpen while it lives, then the dialog released, on every path.
struct TfrmMain::TDialogRun {
    TDialogRun(TfrmMain& form, TForm* dialog) : Form(form), Dialog(dialog) { Form.DialogOpen = true; }
    ~TDialogRun() {
        Dialog->Release();
        Form.DialogOpen = false;
    }
    TDialogRun(const TDialogRun&) = delete;
    TDialogRun& operator=(const TDialogRun&) = delete;
    TfrmMain& Form;
    TForm* Dialog;
};

TfrmMain::TfrmMain(TComponent* owner, std::string folder) : TForm(owner, "TfrmMain"), folder_(std::move(folder)) {
    Name = "frmMain";
    BorderStyle = TBorderStyle::bsNone;
    StayOnTop = true;
    Color = kPanelGreen;
    Font = TFont{"ＭＳ Ｐゴシック", 13, SHIFTJIS_CHARSET};
    pumMain = new TPopupMenu(this);
    pumMain->Name = "pumMain";
    pumMain->LoadFromResourceName("PUMMAIN");
    struct {
        TMenuItem*& item;
        UINT command;
        const char* name;
        void (TfrmMain::*click)(TObject*);
    } items[] = {{pumShowHide, ID_PUM_SHOWHIDE, "pumShowHide", &TfrmMain::pumShowHideClick},
                 {pumSetting, ID_PUM_SETTING, "pumSetting", &TfrmMain::pumSettingClick},
                 {pumHelp, ID_PUM_HELP, "pumHelp", &TfrmMain::pumHelpClick},
                 {pumAbout, ID_PUM_ABOUT, "pumAbout", &TfrmMain::pumAboutClick},
                 {pumExit, ID_PUM_EXIT, "pumExit", &TfrmMain::pumExitClick}};
    for (auto& i : items) {
        i.item = pumMain->FindItem(i.command);
        i.item->Name = i.name;
        i.item->OnClick = [this, click = i.click](TObject* s) { (this->*click)(s); };
    }
    PopupMenu = pumMain;
    FileDrop1 = new TFileDrop(this);  // hooks the panel's window at the end of loading
    FileDrop1->Name = "FileDrop1";
    FileDrop1->OnFileDrop = [this](TObject* s, int32_t n, TStrings* f, int32_t x, int32_t y) {
        FileDrop1FileDrop(s, n, f, x, y);
    };
    spbLeft = new TSpeedButton(this, this);
    spbLeft->Name = "spbLeft";
    spbLeft->SetGlyph(kLeftGlyph);
    spbLeft->OnClick = [this](TObject* s) { spbLeftClick(s); };
    spbRight = new TSpeedButton(this, this);
    spbRight->Name = "spbRight";
    spbRight->SetGlyph(kRightGlyph);
    spbRight->OnClick = [this](TObject* s) { spbRightClick(s); };
    // The icon is in the notification area from here on: added with the picture, given its tip.
    IconTray1 = new TIconTray(this);
    IconTray1->Name = "IconTray1";
    TIcon trayIcon;
    trayIcon.LoadFromResourceName("ZUMAROTRAY", GetSystemMetrics(SM_CXSMICON));
    IconTray1->SetIcon(&trayIcon);
    IconTray1->SetHint("ズマロランチャ作動中");
    IconTray1->SetRBtnPopupMenu(pumMain);
    IconTray1->OnClick = [this](TObject* s) { IconTray1Click(s); };
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };
    OnPaint = [this](TObject* s) { FormPaint(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnHide = [this](TObject* s) { FormHide(s); };
    OnKeyDown = [this](TObject* s, uint16_t& k, TShiftState sh) { FormKeyDown(s, k, sh); };
    OnKeyUp = [this](TObject* s, uint16_t& k, TShiftState sh) { FormKeyUp(s, k, sh); };
    FinishCreate();
}

void TfrmMain::FormCreate(TObject*) {
    ItemHintWindow = new THintWindow(this);
    RegiFileList = std::make_unique<TStringList>();
    UseAriasList = std::make_unique<TStringList>();
    AriasList = std::make_unique<TStringList>();
    LargeIconList.clear();
    SmallIconList.clear();
    LargeIconList.SetPaths(RegiFileList.get());
    SmallIconList.SetPaths(RegiFileList.get());
    ButtonImages.clear();
    RegisterHotKeyOf(MOD_CONTROL | MOD_SHIFT, 'A');
    IniPath = folder_ + "Zumaro.ini";
    Application->HelpFile = folder_ + "Zumaro.hlp";
    CursorIndex = 0;
    PageIndex = 0;
    SettingPageIndex = 0;
    HintShowing = false;
    DialogOpen = false;
    ItemHintWindow->Color = GetSysColor(COLOR_INFOBK);
    Application->OnDeactivate = [this](TObject* s) { AppDeactivate(s); };
    if (FileExists(IniPath)) {
        LoadSettings();
    } else {
        Application->ShowMessageBox(std::string("初期化ファイル(Zumaro.ini)がインストールされたフォルダに見つかりません。") +
                                        "\r" + "既定値に初期化されます。",
                                    kCaption, MB_ICONEXCLAMATION | MB_OK);
        LauncherSettings = NoFileDefaults(Screen::Width(), Screen::Height());
    }
    ApplyDpi();
    UpdateHotKey();
    BuildButtons();
    UpdateArrows();
    try {
        ShowPage();
    } catch (const std::exception& e) {
        // A bad own-hint flag: say so, and let the rest of the start-up run.
        Application->HandleException(e);
    }
    SetBounds(LauncherSettings.Left, LauncherSettings.Top, Width(), Height());
    if (LauncherSettings.AutoClose) {
        Hide();
        Application->ShowMainForm = false;
    }
    SettingsComplete = true;
}

void TfrmMain::FormDestroy(TObject*) {
    SaveSettings();
    LargeIconList.clear();
    SmallIconList.clear();
    for (int32_t i = 0; i < LauncherSettings.ButtonsPerPage; ++i) {
        TImage* image = static_cast<size_t>(i) < ButtonImages.size() ? ButtonImages[static_cast<size_t>(i)] : nullptr;
        if (image == nullptr)
            Application->ShowMessageBox("ERROR", Application->Title, MB_OK);
        else
            Free(image);
    }
    ButtonImages.clear();
    Free(ItemHintWindow);
    ItemHintWindow = nullptr;
    RegiFileList.reset();
    UseAriasList.reset();
    AriasList.reset();
    UnregisterHotKey(Handle(), kHotKeyId);
}

void TfrmMain::AppDeactivate(TObject*) {
    if (LauncherSettings.AutoClose && !DialogOpen) Hide();
}

void TfrmMain::LoadSettings() {
    std::string text;
    DWORD error = 0;
    TReadResult result = ReadSettingsText(IniPath, text, error, &Utf8Original);
    if (result != TReadResult::Ok) {
        // It holds the user's entries: say so, run on the defaults, and never write over it.
        if (result == TReadResult::Unreadable) {
            KeepSettingsFile = true;
            Application->ShowMessageBox("設定ファイル(" + IniPath + ")を読み込めません。\r" + SystemErrorText(error) +
                                            "\r既定値で起動します。このファイルは書き換えません。",
                                        kCaption, MB_ICONEXCLAMATION | MB_OK);
        }
        LauncherSettings = NoFileDefaults(Screen::Width(), Screen::Height());
        return;
    }
    std::vector<std::string> lines = SplitTextLines(text);
    LauncherSettings = ReadSettingsValues(lines, Screen::Width(), Screen::Height());
    TMainLoadHost host(*this, &TfrmMain::AppendEntry);
    ReadRegisteredFiles(lines, host);
    LauncherSettings.NumOfRegi = RegiFileList->Count();
}

void TfrmMain::AppendEntry(const TRegiEntry& entry) { InsertEntry(EntryCount(), entry.Path, entry.Flag, entry.Hint); }

void TfrmMain::InsertEntry(int32_t index, const std::string& path, const std::string& flag, const std::string& hint) {
    RegiFileList->Insert(index, path);
    UseAriasList->Insert(index, flag);
    AriasList->Insert(index, hint);
    LargeIconList.insert(static_cast<size_t>(index));
    SmallIconList.insert(static_cast<size_t>(index));
}

void TfrmMain::SaveSettings(bool quiet) {
    if (KeepSettingsFile || !SettingsComplete) return;
    RECT r{LauncherSettings.Left, LauncherSettings.Top, 0, 0};
    if (HandleAllocated()) GetWindowRect(Handle(), &r);
    std::string text = FormatSettings(LauncherSettings, r.left, r.top, *RegiFileList, *UseAriasList, *AriasList);
    DWORD error = Utf8Original.empty() ? 0 : ReplaceFileContents(IniPath + ".utf8", Utf8Original);
    if (error == 0) {
        Utf8Original.clear();
        error = ReplaceFileContents(IniPath, text);
    }
    if (error != 0 && !quiet)
        Application->ShowMessageBox("設定ファイル(" + IniPath + ")を保存できませんでした。\r" + SystemErrorText(error),
                                    kCaption, MB_ICONEXCLAMATION | MB_OK);
}

void TfrmMain::UpdateHotKey() {
    UnregisterHotKey(Handle(), kHotKeyId);
    UINT modifiers = 0;
    switch (LauncherSettings.HotKey1) {
        case 0: modifiers = MOD_ALT | MOD_CONTROL; break;
        case 1: modifiers = MOD_CONTROL | MOD_SHIFT; break;
        case 2: modifiers = MOD_ALT | MOD_SHIFT; break;
        default: break;
    }
    UINT key = LauncherSettings.HotKey2.empty() ? 'A' : static_cast<unsigned char>(LauncherSettings.HotKey2[0]);
    RegisterHotKeyOf(modifiers, key);  // a combination taken elsewhere is no error
}

void TfrmMain::RegisterHotKeyOf(UINT modifiers, UINT key) {
    // Held down, the combination calls the panel once instead of toggling it with the key's
    // repeat. Windows before 7 refuses the flag: there the key is registered without it.
    if (!RegisterPanelHotKey(Handle(), kHotKeyId, modifiers | MOD_NOREPEAT, key))
        RegisterPanelHotKey(Handle(), kHotKeyId, modifiers, key);
}

TPanelGeometry TfrmMain::Geometry() const {
    const TLauncherSettings& s = LauncherSettings;
    return TPanelGeometry::AtDpi(s.PannelCol, s.PannelRow, s.BtnWidth, s.BtnHeight, Dpi());
}

void TfrmMain::ApplyDpi() {
    int dpi = Dpi();
    for (TSpeedButton* arrow : {spbLeft, spbRight}) {
        arrow->SetHeight(ScaleForDpi(11, dpi));
        arrow->GlyphDot = ScaleForDpi(1, dpi);
    }
    LargeIconList.SetDpi(dpi);
    SmallIconList.SetDpi(dpi);
}

void TfrmMain::DpiChanged(int, const RECT& suggested) {
    ApplyDpi();
    BuildButtons();
    try {
        ShowPage();
    } catch (const EConvertError&) {
        // Every cell is filled all the same; the unreadable flag was reported when first met.
    }
    // Its own size, so the cells stay whole whatever the system's rounding; from the suggested
    // top-left corner, which keeps a panel being dragged under the pointer.
    SetBounds(suggested.left, suggested.top, Width(), Height());
    DrawFrames();
}

// The grid's own size at that scale: no border, so the window is its client area.
bool TfrmMain::SizeAtDpi(int dpi, SIZE& size) const {
    const TLauncherSettings& s = LauncherSettings;
    TPanelGeometry g = TPanelGeometry::AtDpi(s.PannelCol, s.PannelRow, s.BtnWidth, s.BtnHeight, dpi);
    size = {g.ClientWidth(), g.ClientHeight()};
    return true;
}

void TfrmMain::BuildButtons() {
    for (TImage* image : ButtonImages) Free(image);
    ButtonImages.clear();
    TPanelGeometry g = Geometry();
    ButtonImages.reserve(static_cast<size_t>(g.C) * static_cast<size_t>(g.R));
    for (int r = 0; r < g.R; ++r) {
        for (int c = 0; c < g.C; ++c) {
            auto* image = new TImage(this, this);
            ButtonImages.push_back(image);
            TRectI b = g.ButtonRect(c, r);
            image->SetBounds(b.Left, b.Top, g.CellWidth(), g.CellHeight());
            image->PopupMenu = pumMain;
            image->Center = true;
            image->Stretch = true;
            image->SetShowHint(true);
            image->OnClick = [this](TObject* s) { ButtonClick(s); };
            image->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { ButtonMouseMove(s, sh, x, y); };
        }
    }
    SetBounds(Left(), Top(), g.ClientWidth(), g.ClientHeight());
    ArrowsVisible = g.ArrowsVisible();
    if (ArrowsVisible) {
        spbLeft->SetBounds(g.LeftArrowLeft(), g.ArrowTop(), g.ArrowWidth(), g.ArrowStripHeight());
        spbRight->SetBounds(g.RightArrowLeft(), g.ArrowTop(), g.ArrowWidth(), g.ArrowStripHeight());
        spbLeft->SetVisible(true);
        spbRight->SetVisible(true);
    } else {
        spbLeft->SetVisible(false);
        spbRight->SetVisible(false);
    }
}

void TfrmMain::ShowPage() {
    // Every cell is filled even when an entry's own-hint flag is unreadable; the first such
    // error is raised afterwards.
    std::string firstError;
    bool large = UseLargeIcon(LauncherSettings.BtnWidth, LauncherSettings.SmallLargeBoundary);
    int32_t count = EntryCount();
    for (int32_t i = 0; i < LauncherSettings.ButtonsPerPage && static_cast<size_t>(i) < ButtonImages.size(); ++i) {
        TImage* image = ButtonImages[static_cast<size_t>(i)];
        int64_t e = static_cast<int64_t>(PageIndex) * LauncherSettings.ButtonsPerPage + i;
        if (e < count) {
            auto index = static_cast<size_t>(e);
            image->Picture.Assign(large ? LargeIconList[index].get() : SmallIconList[index].get());
            bool ownHint = false;
            try {
                ownHint = StrToBool((*UseAriasList)[static_cast<int>(e)]);
            } catch (const EConvertError& error) {
                if (firstError.empty()) firstError = error.Message;
            }
            image->SetHint(ownHint ? (*AriasList)[static_cast<int>(e)] : (*RegiFileList)[static_cast<int>(e)]);
        } else {
            image->Picture.Clear();
            image->SetHint("");
        }
        image->PictureChanged();
    }
    if (!firstError.empty()) throw EConvertError(firstError);
}

// The frames, the arrow strip and the cursor's highlight, under the buttons the form paints next.
void TfrmMain::FormPaint(TObject*) {
    TPanelGeometry g = Geometry();
    TFrameCanvas canvas(PaintDC());
    canvas.FrameRect(g.GridOutline(), kPanelGreen);
    for (int c = 0; c < g.C; ++c)
        for (int r = 0; r < g.R; ++r) canvas.FrameRect(g.CellFrame(c, r), kPanelGreen);
    if (ArrowsVisible) canvas.FillRect(g.ArrowStrip(), kPanelGreen);
    if (EntryCount() == 0) return;
    int32_t p = CursorIndex % LauncherSettings.ButtonsPerPage;
    int c = p % g.C, r = p / g.C;
    // As wide as the gap around the button, one pixel ring at a time.
    TRectI ring = g.HighlightOuter(c, r);
    for (int i = 0; i < g.Gap(); ++i, ring = {ring.Left + 1, ring.Top + 1, ring.Right - 1, ring.Bottom - 1})
        canvas.FrameRect(ring, kHighlightRed);
}

void TfrmMain::DrawFrames() {
    Color = kPanelGreen;
    // Drawn by the panel's one paint, at once: what the key or the mouse changed is on the
    // screen when this returns.
    Repaint();
    // A screen reader follows the cursor, whether keys, the mouse or a page turn moved it.
    if (CursorIndex != cursorTold_) {
        if (TGraphicControl* cell = FocusedControl(); cell != nullptr) {
            cursorTold_ = CursorIndex;
            NotifyControl(EVENT_OBJECT_FOCUS, cell);
        }
    }
}

int TfrmMain::CellOf(const TGraphicControl* control) const {
    auto it = std::find(ButtonImages.begin(), ButtonImages.end(), control);
    return it != ButtonImages.end() ? static_cast<int>(it - ButtonImages.begin()) : -1;
}

void TfrmMain::DescribeControl(const TGraphicControl* control, TAccessibleInfo& info) const {
    if (control == spbLeft) info.Name = "前のページ";
    if (control == spbRight) info.Name = "次のページ";
    if (int cell = CellOf(control); cell >= 0) {
        info.Role = ROLE_SYSTEM_PUSHBUTTON;
        info.State |= STATE_SYSTEM_FOCUSABLE;
        if (static_cast<int64_t>(PageIndex) * LauncherSettings.ButtonsPerPage + cell >= EntryCount())
            info.State |= STATE_SYSTEM_UNAVAILABLE;  // an empty cell
    }
}

void TfrmMain::ControlDefaultAction(TGraphicControl* control) {
    int cell = CellOf(control);
    if (cell < 0) return TForm::ControlDefaultAction(control);
    int64_t entry = static_cast<int64_t>(PageIndex) * LauncherSettings.ButtonsPerPage + cell;
    if (entry >= EntryCount()) return;
    CursorIndex = static_cast<int32_t>(entry);
    DrawFrames();
    LaunchApp();
}

TGraphicControl* TfrmMain::FocusedControl() const {
    if (!HandleAllocated() || GetActiveWindow() != ExistingHandle() || LauncherSettings.ButtonsPerPage <= 0)
        return nullptr;
    auto cell = static_cast<size_t>(CursorIndex % LauncherSettings.ButtonsPerPage);
    return cell < ButtonImages.size() ? ButtonImages[cell] : nullptr;
}

void TfrmMain::UpdateArrows() {
    spbLeft->SetEnabled(PageIndex != 0);
    spbRight->SetEnabled(PageIndex != LastPage(EntryCount(), LauncherSettings.ButtonsPerPage));
}

void TfrmMain::PrevPage() {
    TPaging paging{CursorIndex, PageIndex};
    if (!paging.Prev(LauncherSettings.ButtonsPerPage)) return;
    PageIndex = paging.PageIndex;
    UpdateArrows();
    ShowPage();
    CursorIndex = paging.CursorIndex;
    DrawFrames();
}

void TfrmMain::NextPage() {
    TPaging paging{CursorIndex, PageIndex};
    if (!paging.Next(EntryCount(), LauncherSettings.ButtonsPerPage)) return;
    PageIndex = paging.PageIndex;
    UpdateArrows();
    ShowPage();
    CursorIndex = paging.CursorIndex;
    DrawFrames();
}

void TfrmMain::spbLeftClick(TObject*) { PrevPage(); }

void TfrmMain::spbRightClick(TObject*) { NextPage(); }

void TfrmMain::ButtonMouseMove(TObject* Sender, TShiftState, int, int) {
    auto* image = static_cast<TImage*>(Sender);
    int32_t idx = HoverIndex(Geometry(), image->Left(), image->Top(), PageIndex);
    if (idx != LastHoverIndex && !HintShowing) {
        CursorIndex = idx;
        LastHoverIndex = idx;
        DrawFrames();
    }
}

void TfrmMain::ButtonClick(TObject*) {
    // The cursor is on the clicked cell already: hovering put it there.
    LaunchApp();
}

void TfrmMain::FormKeyDown(TObject*, uint16_t& Key, TShiftState Shift) {
    if (HintShowing) return;
    const TLauncherSettings& s = LauncherSettings;
    TKeyOutcome outcome = PanelKeyAction(Key, Shift, CursorIndex, s.PannelCol, s.PannelRow);
    int dx = 0, dy = 0;
    switch (outcome.Action) {
        case TKeyAction::Launch: LaunchApp(); break;
        case TKeyAction::PrevPage: PrevPage(); break;
        case TKeyAction::NextPage: NextPage(); break;
        case TKeyAction::MovePanel:
            // So many 96-dpi pixels: the same distance to the eye at every scale.
            dx = ScaleForDpi(outcome.Dx, Dpi());
            dy = ScaleForDpi(outcome.Dy, Dpi());
            break;
        case TKeyAction::MoveCursor: CursorIndex = outcome.CursorIndex; break;
        case TKeyAction::HidePanel: Hide(); break;
        case TKeyAction::OpenMenu: {
            // Ctrl+M also makes a carriage-return character; left in the queue, the menu's loop
            // would take it as Enter and close the menu at once.
            MSG typed;
            while (PeekMessageW(&typed, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
            }
            RECT r;
            GetWindowRect(Handle(), &r);
            pumMain->Popup(r.right, r.bottom);
            break;
        }
        case TKeyAction::ShowHint:
            if (CursorIndex < EntryCount()) {
                HintShowing = true;
                RECT r;
                GetWindowRect(Handle(), &r);
                int32_t p = CursorIndex % s.ButtonsPerPage;
                int column = p % s.PannelCol, row = p / s.PannelCol;
                bool own = StrToBool((*UseAriasList)[CursorIndex]);
                const std::string& text = own ? (*AriasList)[CursorIndex] : (*RegiFileList)[CursorIndex];
                TPanelGeometry g = Geometry();
                ItemHintWindow->Dpi = Dpi();
                TRectI rect = ItemHintWindow->CalcHintRect(g.Scale(300), text);
                int hx = r.left + column * g.PitchX(), hy = r.top + row * g.PitchY();
                ItemHintWindow->ActivateHint({rect.Left + hx, rect.Top + hy, rect.Right + hx, rect.Bottom + hy}, text);
            }
            break;
        case TKeyAction::None: break;
    }
    // Where the panel is now: the action may have run a loop (a message box, the menu, a dialog
    // reached meanwhile) in which the panel was moved.
    RECT r;
    GetWindowRect(Handle(), &r);
    int left = r.left + dx, top = r.top + dy, width = r.right - r.left, height = r.bottom - r.top;
    // On the monitor the panel is on, not pulled onto the primary one.
    KeepOnMonitor(left, top, width, height, WindowMonitorRect(Handle()));
    if (left != r.left || top != r.top) SetBounds(left, top, width, height);
    DrawFrames();
}

void TfrmMain::FormKeyUp(TObject*, uint16_t&, TShiftState) {
    ItemHintWindow->ReleaseHandle();
    HintShowing = false;
}

void TfrmMain::LaunchApp() {
    if (CursorIndex >= EntryCount()) return;
    const std::string path = (*RegiFileList)[CursorIndex];
    if (!FileExists(path) && !FolderExists(path)) {
        Application->ShowMessageBox("登録されたファイルが見つかりません", kCaption, MB_ICONSTOP | MB_OK);
    } else {
        if (LauncherSettings.Animation) {
            if (LauncherSettings.ZumaroSound)
                PlaySystemSound(SjisToWide(folder_ + "Zumaro.wav").c_str(), SND_FILENAME | SND_ASYNC);
            if (frmZumaro != nullptr)
                frmZumaro->Fly(LargeIconList[static_cast<size_t>(CursorIndex)].get(), LauncherSettings.ZumaroSpeed);
        }
        ShellExecuteW(Handle(), nullptr, SjisToWide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    if (LauncherSettings.AutoClose) Hide();
}

void TfrmMain::WMHotKey() { TogglePanel(); }

void TfrmMain::TogglePanel() {
    if (Visible()) {
        Hide();
    } else {
        Show();
        SetForegroundWindow(Handle());
    }
}

void TfrmMain::WMLButtonDown() {
    // The system moves the panel with the mouse as if it were dragged by a caption.
    SendMessageW(Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

// A click on the tray icon does what the hot key does.
void TfrmMain::IconTray1Click(TObject*) {
    // Under a dialog the click brings the dialog forward, which its MouseDown has done.
    if (Application->ModalWindow() == nullptr) TogglePanel();
}

void TfrmMain::FormShow(TObject*) { pumShowHide->SetCaption("非表示(&C)"); }

void TfrmMain::FormHide(TObject*) { pumShowHide->SetCaption("表示(&S)"); }

void TfrmMain::pumShowHideClick(TObject*) {
    if (Visible())
        Hide();
    else
        Show();
}

void TfrmMain::pumSettingClick(TObject*) {
    TDialogRun run(*this, new TfrmSetting(Application));
    auto* frmSetting = static_cast<TfrmSetting*>(run.Dialog);
    if (!frmSetting->EditSettings(LauncherSettings, *RegiFileList, *UseAriasList, *AriasList, SmallIconList,
                                  SettingPageIndex))
        return;
    // The icons are asked of the shell again as the pages and rows are shown: a file put back
    // while the dialog was open shows its icon.
    LargeIconList.Cache().Forget();
    LargeIconList.clear();
    SmallIconList.clear();
    for (int i = 0; i < RegiFileList->Count(); ++i) {
        LargeIconList.push_back();
        SmallIconList.push_back();
    }
    CursorIndex = 0;
    PageIndex = 0;
    UpdateHotKey();
    UpdateArrows();
    BuildButtons();
    // A flag that cannot be read is reported once the grid is whole and the file written.
    std::exception_ptr error;
    try {
        ShowPage();
    } catch (...) {
        error = std::current_exception();
    }
    DrawFrames();
    SaveSettings();
    if (error) std::rethrow_exception(error);
}

// The help file where one was put beside the program; otherwise the guide that ships with it, which
// the shell opens in the user's text viewer (current Windows shows no .hlp files at all).
void TfrmMain::pumHelpClick(TObject*) {
    if (FileExists(Application->HelpFile)) {
        WinHelpCall(Handle(), SjisToWide(Application->HelpFile).c_str(), HELP_FINDER, 0);
        return;
    }
    const std::string guide = folder_ + kGuideName;
    if (FileExists(guide)) {
        ShellExecuteCall(Handle(), nullptr, SjisToWide(guide).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    Application->ShowMessageBox(std::string("ヘルプファイル(Zumaro.hlp)も説明書(") + kGuideName +
                                    ")も、インストールされたフォルダに見つかりません。",
                                kCaption, MB_ICONEXCLAMATION | MB_OK);
}

void TfrmMain::pumAboutClick(TObject*) {
    TDialogRun run(*this, new TfrmAbout(Application));
    run.Dialog->ShowModal();
}

void TfrmMain::pumExitClick(TObject*) { Close(); }

void TfrmMain::FileDrop1FileDrop(TObject*, int32_t, TStrings* Files, int32_t X, int32_t Y) {
    if (Files->Count() == 0 || FileDrop1->WideFiles().empty()) return;
    // The drag came from another program: the panel comes forward, over which a refusal is shown.
    SetForegroundWindow(Handle());
    TRegiEntry entry;  // one entry a drop: the first path
    if (!TakeInName(FileDrop1->WideFiles()[0], entry)) return;
    LargeIconList.Cache().Forget(entry.Path);
    int64_t index = DropIndex(Geometry(), CursorIndex, X, Y);
    int32_t at = index < EntryCount() && index >= 0 ? static_cast<int32_t>(index) : EntryCount();
    InsertEntry(at, entry.Path, entry.Flag, entry.Hint);
    CursorIndex = at;
    ++LauncherSettings.NumOfRegi;
    ShowPage();
    DrawFrames();
    UpdateArrows();
    // Kept at once, as the settings dialog's OK keeps its changes: any end but a clean one would
    // lose a drop that lived only here.
    SaveSettings();
}

LRESULT TfrmMain::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_HOTKEY: WMHotKey(); return 0;
        case WM_LBUTTONDOWN:
            // The ground and the gaps drag the panel; a press on a button is the button's.
            if (ControlAtPos(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))) == nullptr) {
                WMLButtonDown();
                return 0;
            }
            break;
        // A dialog or message box of the program disables the panel while it is up. The menu,
        // which the tray icon shows too, then offers nothing that would open a second dialog or
        // end the program under one.
        case WM_ENABLE:
            for (TMenuItem* item : {pumSetting, pumAbout, pumExit}) item->SetEnabled(wParam != FALSE);
            break;
        // The session is ending and the process goes with it: the file is written now. A failure
        // shows nothing, as a box here would hold up the end; the old file is whole anyway.
        case WM_ENDSESSION:
            if (wParam != FALSE) SaveSettings(/*quiet=*/true);
            break;
        default: break;
    }
    return TForm::WndProc(msg, wParam, lParam);
}
