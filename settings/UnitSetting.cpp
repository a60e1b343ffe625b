#include "settings/UnitSetting.h"

#include "app/SystemNames.h"
#include "app/UnitUtils.h"
#include "panel/UnitMain.h"
#include "resources/DialogIds.h"
#include "settings/SettingValues.h"
#include "settings/UnitDetail.h"

namespace {

// The glyph drawn for the DPI: twice as large from 144 dpi on, where the 16-pixel one looks lost.
void LoadGlyph(TBitBtn* button, const std::string& resource, int numGlyphs, int dpi) {
    std::string name = dpi >= 144 ? resource + "_2X" : resource;
    if (!button->Glyph.LoadFromResourceName(name.c_str())) throw Exception("No glyph " + name);
    button->NumGlyphs = numGlyphs;
    if (button->HandleAllocated()) InvalidateRect(button->Handle(), nullptr, TRUE);
}

constexpr int kRowHeight = 18;  // a row of the list at 96 dpi: its 16-pixel picture and a line of text
constexpr int kRowPicture = 16;

}  // namespace

// The list rows and the two working lists, kept parallel for the editor's moves.
class TfrmSetting::TRows : public IRegiRows {
public:
    explicit TRows(TfrmSetting& form) : f_(form) {}
    int Count() const override { return f_.lbxRegiApp->Count(); }
    int Selected() const override { return f_.lbxRegiApp->ItemIndex(); }
    void Select(int index) override { f_.lbxRegiApp->SetItemIndex(index); }
    void Exchange(int a, int b) override {
        f_.lbxRegiApp->Exchange(a, b);
        f_.WorkUseAriasList->Exchange(a, b);
        f_.WorkAriasList->Exchange(a, b);
    }
    void Delete(int index) override {
        f_.lbxRegiApp->Delete(index);
        f_.WorkUseAriasList->Delete(index);
        f_.WorkAriasList->Delete(index);
    }
    void Insert(int index, const std::string& path, const std::string& flag, const std::string& hint) override {
        f_.InsertRow(index, path, flag, hint);
    }

private:
    TfrmSetting& f_;
};

TfrmSetting::TfrmSetting(TComponent* owner) : TForm(owner, "TfrmSetting") {
    Name = "frmSetting";
    bbnOK = Place<TBitBtn>(this, "bbnOK", IDC_bbnOK);
    bbnCancel = Place<TBitBtn>(this, "bbnCancel", IDC_bbnCancel);
    pgcSetting = Place<TPageControl>(this, "pgcSetting", IDC_pgcSetting);
    tbsRegist = Place<TTabSheet>(this, "tbsRegist", IDC_tbsRegist);
    lbxRegiApp = Place<TListBox>(this, "lbxRegiApp", IDC_lbxRegiApp);
    bbnUp = Place<TBitBtn>(this, "bbnUp", IDC_bbnUp);
    bbnDown = Place<TBitBtn>(this, "bbnDown", IDC_bbnDown);
    bbnAdd = Place<TBitBtn>(this, "bbnAdd", IDC_bbnAdd);
    bbnDelete = Place<TBitBtn>(this, "bbnDelete", IDC_bbnDelete);
    bbnDetail = Place<TBitBtn>(this, "bbnDetail", IDC_bbnDetail);
    tbsLaunchBtn = Place<TTabSheet>(this, "tbsLaunchBtn", IDC_tbsLaunchBtn);
    cmbBtnRow = Place<TComboBox>(this, "cmbBtnRow", IDC_cmbBtnRow);
    cmbButtonSize = Place<TComboBox>(this, "cmbButtonSize", IDC_cmbButtonSize);
    cmbBtnCol = Place<TComboBox>(this, "cmbBtnCol", IDC_cmbBtnCol);
    cmbIconBound = Place<TComboBox>(this, "cmbIconBound", IDC_cmbIconBound);
    tbsShowType = Place<TTabSheet>(this, "tbsShowType", IDC_tbsShowType);
    cmbHotKey1 = Place<TComboBox>(this, "cmbHotKey1", IDC_cmbHotKey1);
    cmbHotKey2 = Place<TComboBox>(this, "cmbHotKey2", IDC_cmbHotKey2);
    chbAnimation = Place<TCheckBox>(this, "chbAnimation", IDC_chbAnimation);
    trbSpeed = Place<TTrackBar>(this, "trbSpeed", IDC_trbSpeed);
    chbAutoClose = Place<TCheckBox>(this, "chbAutoClose", IDC_chbAutoClose);
    chbSound = Place<TCheckBox>(this, "chbSound", IDC_chbSound);
    lblSpeed1 = Place<TStaticLabel>(this, "lblSpeed1", IDC_lblSpeed1);
    lblSpeed2 = Place<TStaticLabel>(this, "lblSpeed2", IDC_lblSpeed2);
    lblSpeed3 = Place<TStaticLabel>(this, "lblSpeed3", IDC_lblSpeed3);
    DlgFileOpen = new TOpenDialog(this);
    DlgFileOpen->Name = "DlgFileOpen";
    DlgFileOpen->Filter = {{"実行ファイル(*.exe,*.lnk,*.bat)", "*.exe;*.lnk;*.bat"}, {"すべてのファイル(*.*)", "*.*"}};
    FileDrop1 = new TFileDrop(this);
    FileDrop1->Name = "FileDrop1";

    trbSpeed->SetRange(kSliderMin, kSliderMax);

    bbnOK->OnClick = [this](TObject* s) { bbnOKClick(s); };
    bbnCancel->OnClick = [this](TObject* s) { bbnCancelClick(s); };
    chbAnimation->OnClick = [this](TObject* s) { chbAnimationClick(s); };
    chbSound->OnClick = [this](TObject* s) { chbAnimationClick(s); };
    lbxRegiApp->OnDrawItem = [this](TListBox* c, int i, TRectI r, TOwnerDrawState st) { lbxRegiAppDrawItem(c, i, r, st); };
    lbxRegiApp->OnKeyDown = [this](TObject* s, uint16_t& k, TShiftState sh) { lbxRegiAppKeyDown(s, k, sh); };
    lbxRegiApp->OnKeyUp = [this](TObject* s, uint16_t& k, TShiftState sh) { lbxRegiAppKeyUp(s, k, sh); };
    lbxRegiApp->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        lbxRegiAppMouseDown(s, b, sh, x, y);
    };
    lbxRegiApp->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        lbxRegiAppMouseUp(s, b, sh, x, y);
    };
    bbnUp->OnClick = [this](TObject* s) { bbnUpClick(s); };
    bbnDown->OnClick = [this](TObject* s) { bbnDownClick(s); };
    bbnAdd->OnClick = [this](TObject* s) { bbnAddClick(s); };
    bbnDelete->OnClick = [this](TObject* s) { bbnDeleteClick(s); };
    bbnDetail->OnClick = [this](TObject* s) { bbnDetailClick(s); };
    FileDrop1->OnFileDrop = [this](TObject* s, int32_t n, TStrings* f, int32_t x, int32_t y) {
        FileDrop1FileDrop(s, n, f, x, y);
    };
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };

    SetTemplate("FRMSETTING");
    // The windows of the layout, so that the drop target takes the list's window, not the form's:
    // files dropped anywhere else on the dialog are refused.
    Handle();
    ApplyDpi();
    FileDrop1->SetControl(lbxRegiApp);
    FileDrop1->SetAccept(true);
    cmbBtnRow->SetItems(CountItems());
    cmbButtonSize->SetItems(ButtonSizeItems());
    cmbBtnCol->SetItems(CountItems());
    cmbIconBound->SetItems(IconBoundItems());
    cmbHotKey1->SetItems(HotKey1Items());
    cmbHotKey2->SetItems(HotKey2Items());
    FinishCreate();
}

void TfrmSetting::ApplyDpi() {
    int dpi = Dpi();
    LoadGlyph(bbnUp, "GLYPH_UP", 2, dpi);
    LoadGlyph(bbnDown, "GLYPH_DOWN", 2, dpi);
    LoadGlyph(bbnAdd, "GLYPH_ADD", 1, dpi);
    LoadGlyph(bbnDelete, "GLYPH_DELETE", 1, dpi);
    LoadGlyph(bbnDetail, "GLYPH_DETAIL", 2, dpi);
    lbxRegiApp->SetItemHeight(ScaleForDpi(kRowHeight, dpi));
}

void TfrmSetting::DpiChanged(int oldDpi, const RECT& suggested) {
    TForm::DpiChanged(oldDpi, suggested);
    ApplyDpi();
}

void TfrmSetting::FormCreate(TObject*) {
    WorkUseAriasList = std::make_unique<TStringList>();
    WorkAriasList = std::make_unique<TStringList>();
}

void TfrmSetting::FormDestroy(TObject*) {
    // No row may point at a picture once it is gone.
    if (lbxRegiApp->HandleAllocated()) lbxRegiApp->Clear();
    ownImages_.clear();
    WorkUseAriasList.reset();
    WorkAriasList.reset();
}

bool TfrmSetting::EditSettings(TLauncherSettings& Settings, TStrings& RegiFileList, TStrings& UseAriasList,
                               TStrings& AriasList, TIconList& SmallIconList, int32_t& SettingPageIndex) {
    icons_ = &SmallIconList.Cache();
    listDpi_ = SmallIconList.Dpi();
    LoadControls(Settings);
    LoadRegiList(RegiFileList, SmallIconList);
    WorkUseAriasList->Clear();
    WorkAriasList->Clear();
    for (int i = 0; i < UseAriasList.Count(); ++i) WorkUseAriasList->Add(UseAriasList[i]);
    for (int i = 0; i < AriasList.Count(); ++i) WorkAriasList->Add(AriasList[i]);
    UpdateAnimationControls();
    if (SettingPageIndex == 1)
        pgcSetting->SetActivePage(tbsLaunchBtn);
    else if (SettingPageIndex == 2)
        pgcSetting->SetActivePage(tbsShowType);
    TModalResult result = ShowModal();
    icons_ = nullptr;
    // The caller's pictures are borrowed only while the dialog is up.
    for (int i = 0; i < lbxRegiApp->Count(); ++i) {
        TBitmap* image = lbxRegiApp->Image(i);
        bool own = false;
        for (const auto& o : ownImages_) own = own || o.get() == image;
        if (!own) lbxRegiApp->SetImage(i, nullptr);
    }
    if (result != TModalResult::mrOk) return false;
    SaveControls(Settings);
    SaveRegiList(RegiFileList);
    Settings.NumOfRegi = RegiFileList.Count();
    UseAriasList.Clear();
    for (int i = 0; i < WorkUseAriasList->Count(); ++i) UseAriasList.Add((*WorkUseAriasList)[i]);
    AriasList.Clear();
    for (int i = 0; i < WorkAriasList->Count(); ++i) AriasList.Add((*WorkAriasList)[i]);
    TTabSheet* active = pgcSetting->ActivePage();
    SettingPageIndex = active == tbsRegist ? 0 : active == tbsLaunchBtn ? 1 : 2;
    return true;
}

void TfrmSetting::LoadControls(const TLauncherSettings& Settings) {
    TSettingChoices c = ChoicesFromSettings(Settings);
    cmbBtnCol->SetItemIndex(c.BtnCol);
    cmbBtnRow->SetItemIndex(c.BtnRow);
    cmbButtonSize->SetItemIndex(c.ButtonSize);
    cmbIconBound->SetItemIndex(c.IconBound);
    cmbHotKey1->SetItemIndex(c.HotKey1);
    cmbHotKey2->SetItemIndex(c.HotKey2);
    chbAnimation->SetChecked(c.Animation);
    trbSpeed->SetPosition(Settings.ZumaroSpeed);
    chbAutoClose->SetChecked(c.AutoClose);
    chbSound->SetChecked(c.Sound);
}

void TfrmSetting::SaveControls(TLauncherSettings& Settings) {
    TSettingChoices c;
    c.BtnCol = cmbBtnCol->ItemIndex();
    c.BtnRow = cmbBtnRow->ItemIndex();
    c.ButtonSize = cmbButtonSize->ItemIndex();
    c.IconBound = cmbIconBound->ItemIndex();
    c.HotKey1 = cmbHotKey1->ItemIndex();
    c.HotKey2 = cmbHotKey2->ItemIndex();
    c.Animation = chbAnimation->Checked();
    c.Speed = trbSpeed->Position();
    c.AutoClose = chbAutoClose->Checked();
    c.Sound = chbSound->Checked();
    ApplyChoices(c, Settings);
}

void TfrmSetting::LoadRegiList(const TStrings& RegiFileList, TIconList& SmallIconList) {
    lbxRegiApp->Clear();
    for (int i = 0; i < RegiFileList.Count(); ++i) {
        // A shorter picture list is the caller's fault; the row goes without a picture. The
        // others are made when their rows are first drawn.
        TBitmap* image = static_cast<size_t>(i) < SmallIconList.size() ? SmallIconList.Peek(static_cast<size_t>(i)) : nullptr;
        lbxRegiApp->Add(RegiFileList[i], image);
    }
    lbxRegiApp->SetItemIndex(-1);
}

void TfrmSetting::SaveRegiList(TStrings& RegiFileList) {
    RegiFileList.Clear();
    for (int i = 0; i < lbxRegiApp->Count(); ++i) RegiFileList.Add(lbxRegiApp->Item(i));
}

void TfrmSetting::UpdateAnimationControls() {
    bool on = chbAnimation->Checked();
    Caption = on ? "ズマロランチャーの設定" : "ただのランチャーの設定";
    SetWindowTextW(Handle(), SjisToWide(Caption).c_str());
    for (TSysControl* c : std::initializer_list<TSysControl*>{lblSpeed1, lblSpeed2, lblSpeed3, trbSpeed, chbSound})
        c->SetEnabled(on);
}

void TfrmSetting::chbAnimationClick(TObject*) { UpdateAnimationControls(); }

void TfrmSetting::bbnOKClick(TObject*) { ModalResult = TModalResult::mrOk; }

void TfrmSetting::bbnCancelClick(TObject*) { ModalResult = TModalResult::mrCancel; }

// ---- the registration list editor ----

void TfrmSetting::InsertRow(int index, const std::string& path, const std::string& flag, const std::string& hint) {
    int selected = lbxRegiApp->ItemIndex();
    auto image = std::make_unique<TBitmap>();
    if (icons_ != nullptr) {
        icons_->Forget(path);  // a file just dropped or chosen shows as it is now
        image->Assign(&icons_->Small(path, Dpi()));
    } else {
        image->SetSize(ScaleForDpi(kRowPicture, Dpi()), ScaleForDpi(kRowPicture, Dpi()));
    }
    WorkUseAriasList->Insert(index, flag);
    WorkAriasList->Insert(index, hint);
    ownImages_.push_back(std::move(image));
    lbxRegiApp->Insert(index, path, ownImages_.back().get());
    // The row that was selected stays selected, wherever it now stands.
    if (selected >= 0) lbxRegiApp->SetItemIndex(selected >= index ? selected + 1 : selected);
}

void TfrmSetting::lbxRegiAppDrawItem(TListBox* Control, int Index, TRectI Rect, TOwnerDrawState) {
    TCanvas* canvas = Control->Canvas();
    canvas->FillRect(Rect);
    int w = 0;
    int dpi = Dpi();
    const TBitmap* image = Control->Image(Index);
    // A row of the panel's list shows its picture for the first time: it is made now, for the
    // panel too when both are drawn at one DPI.
    if (image != nullptr && image->Empty() && icons_ != nullptr && listDpi_ == dpi)
        Control->Image(Index)->Assign(&icons_->Small(Control->Item(Index), dpi));
    // One made for another DPI is not stretched: the cache has the icon of this one.
    if (image != nullptr && image->Width() != ScaleForDpi(kRowPicture, dpi) && icons_ != nullptr)
        image = &icons_->Small(Control->Item(Index), dpi);
    if (image != nullptr) {
        w = image->Width();
        canvas->CopyRect({0, Rect.Top, w, Rect.Top + image->Height()}, *image, {0, 0, w, image->Height()});
    }
    canvas->TextOut(w + ScaleForDpi(2, dpi), Rect.Top + ScaleForDpi(2, dpi), Control->Item(Index));
}

void TfrmSetting::bbnUpClick(TObject*) {
    lbxRegiApp->SetFocus();
    TRows rows(*this);
    MoveUp(rows);
}

void TfrmSetting::bbnDownClick(TObject*) {
    lbxRegiApp->SetFocus();
    TRows rows(*this);
    MoveDown(rows);
}

void TfrmSetting::bbnDeleteClick(TObject*) {
    lbxRegiApp->SetFocus();
    TRows rows(*this);
    DeleteSelected(rows);
}

void TfrmSetting::bbnAddClick(TObject*) {
    lbxRegiApp->SetFocus();
    if (!DlgFileOpen->Execute()) return;
    TRegiEntry entry;
    if (!TakeInName(DlgFileOpen->FileNameW, entry)) return;
    TRows rows(*this);
    rows.Insert(rows.Count(), entry.Path, entry.Flag, entry.Hint);
}

void TfrmSetting::FileDrop1FileDrop(TObject*, int32_t, TStrings* Files, int32_t X, int32_t Y) {
    if (Files == nullptr || Files->Count() == 0 || FileDrop1->WideFiles().empty()) return;
    // The drag came from another program's window.
    SetForegroundWindow(Handle());
    TRegiEntry entry;
    if (!TakeInName(FileDrop1->WideFiles()[0], entry)) return;
    TRows rows(*this);
    rows.Insert(DropInsertIndex(lbxRegiApp->ItemAtPos(X, Y), rows.Count()), entry.Path, entry.Flag, entry.Hint);
}

void TfrmSetting::bbnDetailClick(TObject*) {
    int i = lbxRegiApp->ItemIndex();
    if (i >= 0) {
        // Read before the dialog is made: an unreadable flag stops here, leaving nothing behind.
        bool flag = StrToBool((*WorkUseAriasList)[i]);
        std::string hint = (*WorkAriasList)[i];
        std::string path = lbxRegiApp->Item(i);
        auto* frmDetail = new TfrmDetail(Application);
        bool ok = false;
        try {
            ok = frmDetail->EditDetail(path, flag, hint);
        } catch (...) {
            frmDetail->Release();
            throw;
        }
        if (ok) {
            WorkUseAriasList->Put(i, BoolToStr(flag));
            WorkAriasList->Put(i, hint);
        }
        frmDetail->Release();
    }
    lbxRegiApp->SetFocus();
}

void TfrmSetting::ShowItemHint(const std::string& Text) {
    if (ItemHintWindow == nullptr) return;
    ItemHintWindow->Dpi = Dpi();
    int x = Left() + pgcSetting->Left() + tbsRegist->Left() + lbxRegiApp->Left();
    int y = Top() + pgcSetting->Top() + tbsRegist->Top() + lbxRegiApp->Top() +
            (lbxRegiApp->ItemIndex() - lbxRegiApp->TopIndex() + 1) * lbxRegiApp->ItemHeight;
    TRectI r = ItemHintWindow->CalcHintRect(ScaleForDpi(300, Dpi()), Text);
    ItemHintWindow->ActivateHint({r.Left + x, r.Top + y, r.Right + x, r.Bottom + y}, Text);
}

void TfrmSetting::ShowSelectedHint() {
    int i = lbxRegiApp->ItemIndex();
    if (i < 0) return;  // no entry to show
    ShowItemHint(RowHint((*WorkUseAriasList)[i], (*WorkAriasList)[i], lbxRegiApp->Item(i)));
}

void TfrmSetting::lbxRegiAppKeyDown(TObject*, uint16_t& Key, TShiftState) {
    if (Key == 0x49) ShowSelectedHint();  // I, whatever modifiers are held
}

void TfrmSetting::lbxRegiAppKeyUp(TObject*, uint16_t&, TShiftState) {
    if (ItemHintWindow != nullptr) ItemHintWindow->ReleaseHandle();
}

void TfrmSetting::lbxRegiAppMouseDown(TObject*, TMouseButton, TShiftState, int, int) { ShowSelectedHint(); }

void TfrmSetting::lbxRegiAppMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    if (ItemHintWindow != nullptr) ItemHintWindow->ReleaseHandle();
}
