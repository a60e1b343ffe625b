// The settings dialog: the registration list editor, the button grid and size, the hot key, auto
// close, the launch animation, its speed and its sound. It works on copies of what it is handed
// and writes them back only on OK.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/SettingsText.h"
#include "components/NewCtrls.h"
#include "panel/IconCache.h"
#include "settings/RegiListEditor.h"
#include "toolkit/StdCtrls.h"

class TfrmSetting : public TForm {
public:
    explicit TfrmSetting(TComponent* owner);

    // Shows the record and the lists on the page SettingPageIndex names (0, 1 or 2; any other
    // value opens the first). On OK writes the record (NumOfRegi and ButtonsPerPage included),
    // replaces the three lists, stores the page that was showing and returns true; otherwise
    // changes nothing and returns false. A row's picture is SmallIconList's, made from its cache
    // when the row is first drawn, and only while the dialog is up: the list may go as soon as
    // this returns.
    bool EditSettings(TLauncherSettings& Settings, TStrings& RegiFileList, TStrings& UseAriasList,
                      TStrings& AriasList, TIconList& SmallIconList, int32_t& SettingPageIndex);

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void chbAnimationClick(TObject* Sender);
    void bbnOKClick(TObject* Sender);
    void bbnCancelClick(TObject* Sender);
    // The registration list editor of the first page.
    void lbxRegiAppDrawItem(TListBox* Control, int Index, TRectI Rect, TOwnerDrawState State);
    void bbnUpClick(TObject* Sender);
    void bbnDownClick(TObject* Sender);
    void bbnAddClick(TObject* Sender);
    void bbnDeleteClick(TObject* Sender);
    void bbnDetailClick(TObject* Sender);
    void FileDrop1FileDrop(TObject* Sender, int32_t Num, TStrings* Files, int32_t X, int32_t Y);
    void lbxRegiAppKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
    void lbxRegiAppKeyUp(TObject* Sender, uint16_t& Key, TShiftState Shift);
    void lbxRegiAppMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void lbxRegiAppMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // Controls in tab order: the form's, then each page's.
    TBitBtn* bbnOK = nullptr;
    TBitBtn* bbnCancel = nullptr;
    TPageControl* pgcSetting = nullptr;
    TTabSheet* tbsRegist = nullptr;
    TListBox* lbxRegiApp = nullptr;
    TBitBtn* bbnUp = nullptr;
    TBitBtn* bbnDown = nullptr;
    TBitBtn* bbnAdd = nullptr;
    TBitBtn* bbnDelete = nullptr;
    TBitBtn* bbnDetail = nullptr;
    TTabSheet* tbsLaunchBtn = nullptr;
    TComboBox* cmbBtnRow = nullptr;
    TComboBox* cmbButtonSize = nullptr;
    TComboBox* cmbBtnCol = nullptr;
    TComboBox* cmbIconBound = nullptr;
    TTabSheet* tbsShowType = nullptr;
    TComboBox* cmbHotKey1 = nullptr;
    TComboBox* cmbHotKey2 = nullptr;
    TCheckBox* chbAnimation = nullptr;
    TTrackBar* trbSpeed = nullptr;
    TCheckBox* chbAutoClose = nullptr;
    TCheckBox* chbSound = nullptr;
    TStaticLabel* lblSpeed1 = nullptr;
    TStaticLabel* lblSpeed2 = nullptr;
    TStaticLabel* lblSpeed3 = nullptr;
    // Non-visual components.
    TOpenDialog* DlgFileOpen = nullptr;
    TFileDrop* FileDrop1 = nullptr;

    // One entry per list row, in the rows' order.
    std::unique_ptr<TStringList> WorkUseAriasList;
    std::unique_ptr<TStringList> WorkAriasList;

    // The pictures this dialog made for rows it added, deleted ones included; they go with it.
    int OwnRowImageCount() const { return static_cast<int>(ownImages_.size()); }

protected:
    // The rows, their pictures and the glyphs follow the dialog's new DPI.
    void DpiChanged(int oldDpi, const RECT& suggested) override;

private:
    class TRows;
    void ApplyDpi();
    void LoadControls(const TLauncherSettings& Settings);
    void SaveControls(TLauncherSettings& Settings);
    void LoadRegiList(const TStrings& RegiFileList, TIconList& SmallIconList);
    void SaveRegiList(TStrings& RegiFileList);
    void UpdateAnimationControls();
    void ShowItemHint(const std::string& Text);
    void ShowSelectedHint();
    void InsertRow(int index, const std::string& path, const std::string& flag, const std::string& hint);
    std::vector<std::unique_ptr<TBitmap>> ownImages_;
    TIconCache* icons_ = nullptr;  // where the rows' pictures come from, while editing
    int listDpi_ = kDefaultDpi;  // the DPI the panel's pictures handed in are made for
};
