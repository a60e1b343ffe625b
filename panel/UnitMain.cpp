#include "panel/UnitMain.h"

#include <shellapi.h>

#include "app/SettingsFile.h"
#include "app/UnitUtils.h"

TfrmMain* frmMain = nullptr;

namespace {

const char kCaption[] = "ズマロランチャー";

// Start-up questions about entries whose file has gone.
class TMainLoadHost : public IRegiLoadHost {
public:
    explicit TMainLoadHost(TfrmMain& form, void (TfrmMain::*append)(const TRegiEntry&))
        : form_(form), append_(append) {}
    bool EntryExists(const std::string& path) override { return FileExists(path) || FolderExists(path); }
    bool AskRemoveMissing(const std::string& path) override {
        std::string text = "登録されたファイル(" + path + ")が見つかりません。登録リストから削除" + "してもいいですか？";
        return Application->ShowMessageBox(text, kCaption, MB_ICONEXCLAMATION | MB_YESNO) == IDYES;
    }
    void AppendEntry(const TRegiEntry& entry) override { (form_.*append_)(entry); }

private:
    TfrmMain& form_;
    void (TfrmMain::*append_)(const TRegiEntry&);
};

}  // namespace

TfrmMain::TfrmMain(TComponent* owner, std::string folder) : TForm(owner, "TfrmMain"), folder_(std::move(folder)) {
    Name = "frmMain";
    BorderStyle = TBorderStyle::bsNone;
    StayOnTop = true;
    Color = RGB(0, 128, 0);
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };
    FinishCreate();
}

void TfrmMain::FormCreate(TObject*) {
    RegiFileList = std::make_unique<TStringList>();
    UseAriasList = std::make_unique<TStringList>();
    AriasList = std::make_unique<TStringList>();
    RegisterHotKey(Handle(), kHotKeyId, MOD_CONTROL | MOD_SHIFT, 'A');
    IniPath = folder_ + "Zumaro.ini";
    Application->HelpFile = folder_ + "Zumaro.hlp";
    CursorIndex = 0;
    PageIndex = 0;
    SettingPageIndex = 0;
    HintShowing = false;
    DialogOpen = false;
    if (FileExists(IniPath)) {
        LoadSettings();
    } else {
        Application->ShowMessageBox(std::string("初期化ファイル(Zumaro.ini)がインストールされたフォルダに見つかりません。") +
                                    "\r" + "既定値に初期化されます。",
                                kCaption, MB_ICONEXCLAMATION | MB_OK);
        LauncherSettings = NoFileDefaults(Screen::Width(), Screen::Height());
    }
    UpdateHotKey();
    SetBounds(LauncherSettings.Left, LauncherSettings.Top, 64, 64);
}

void TfrmMain::FormDestroy(TObject*) {
    SaveSettings();
    LargeIconList.clear();
    SmallIconList.clear();
    RegiFileList.reset();
    UseAriasList.reset();
    AriasList.reset();
    UnregisterHotKey(Handle(), kHotKeyId);
}

void TfrmMain::LoadSettings() {
    std::string text;
    DWORD error = 0;
    TReadResult result = ReadWholeFile(IniPath, text, error);
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

void TfrmMain::AppendEntry(const TRegiEntry& entry) {
    RegiFileList->Add(entry.Path);
    UseAriasList->Add(entry.Flag);
    AriasList->Add(entry.Hint);
    LargeIconList.push_back(std::make_unique<TBitmap>());
    SmallIconList.push_back(std::make_unique<TBitmap>());
    MakeIconBitmaps(entry.Path, LargeIconList.back().get(), SmallIconList.back().get());
}

void TfrmMain::SaveSettings() {
    if (KeepSettingsFile) return;
    RECT r{LauncherSettings.Left, LauncherSettings.Top, 0, 0};
    if (HandleAllocated()) GetWindowRect(Handle(), &r);
    std::string text = FormatSettings(LauncherSettings, r.left, r.top, *RegiFileList, *UseAriasList, *AriasList);
    DWORD error = ReplaceFileContents(IniPath, text);
    if (error != 0)
        Application->ShowMessageBox("設定ファイル(" + IniPath + ")を保存できませんでした。\r" + SystemErrorText(error),
                                kCaption, MB_ICONEXCLAMATION | MB_OK);
}

void TfrmMain::MakeIconBitmaps(const std::string& path, TBitmap* large, TBitmap* small) {
    struct TSize {
        TBitmap* bitmap;
        UINT flags;
        int size;
    };
    // Only a path that is there is shown to the shell: for a vanished one some shells still hand
    // out a generic icon, and the entry must look empty.
    bool exists = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    for (const TSize& s : {TSize{large, SHGFI_ICON, 32}, TSize{small, SHGFI_ICON | SHGFI_SMALLICON, 16}}) {
        SHFILEINFOA info{};
        if (exists) SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, s.flags);
        TIconHandle icon(info.hIcon);
        s.bitmap->SetSize(s.size, s.size);
        if (!icon) continue;  // no icon from the shell: the bitmap stays white
        TBitmapCanvas canvas(*s.bitmap);
        DrawIconEx(canvas.Handle(), 0, 0, icon.Get(), s.size, s.size, 0, nullptr, DI_NORMAL);
    }
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
    RegisterHotKey(Handle(), kHotKeyId, modifiers, key);  // a combination taken elsewhere is no error
}

LRESULT TfrmMain::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // The session is ending and the process goes with it: the file is written now.
    if (msg == WM_ENDSESSION && wParam != FALSE) SaveSettings();
    return TForm::WndProc(msg, wParam, lParam);
}
