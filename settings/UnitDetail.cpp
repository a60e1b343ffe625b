#include "settings/UnitDetail.h"

#include "resources/DialogIds.h"

TfrmDetail::TfrmDetail(TComponent* owner) : TForm(owner, "TfrmDetail") {
    Name = "frmDetail";
    chbUseArias = Place<TCheckBox>(this, "chbUseArias", IDC_chbUseArias);
    bbnOK = Place<TBitBtn>(this, "bbnOK", IDC_detail_bbnOK);
    edtArias = Place<TEdit>(this, "edtArias", IDC_edtArias);
    edtFileName = Place<TEdit>(this, "edtFileName", IDC_edtFileName);
    bbnCancel = Place<TBitBtn>(this, "bbnCancel", IDC_detail_bbnCancel);
    lblArias = Place<TStaticLabel>(this, "lblArias", IDC_lblArias);
    chbUseArias->SetHint("ここをチェックすると下のテキストボックスの内容がヒントに表示されます");
    edtFileName->SetColor(GetSysColor(COLOR_BTNFACE));
    chbUseArias->OnClick = [this](TObject* s) { chbUseAriasClick(s); };
    bbnOK->OnClick = [this](TObject* s) { bbnOKClick(s); };
    bbnCancel->OnClick = [this](TObject* s) { bbnCancelClick(s); };
    SetTemplate("FRMDETAIL");
    FinishCreate();
}

bool TfrmDetail::EditDetail(const std::string& FileName, bool& UseArias, std::string& Arias) {
    edtFileName->SetText(FileName);
    chbUseArias->SetChecked(UseArias);
    edtArias->SetText(Arias);
    UpdateAriasControls();
    if (ShowModal() != TModalResult::mrOk) return false;
    UseArias = chbUseArias->Checked();
    Arias = edtArias->Text();
    return true;
}

void TfrmDetail::UpdateAriasControls() {
    bool use = chbUseArias->Checked();
    edtArias->SetEnabled(use);
    lblArias->SetEnabled(use);
}

void TfrmDetail::chbUseAriasClick(TObject*) { UpdateAriasControls(); }

void TfrmDetail::bbnOKClick(TObject*) { ModalResult = TModalResult::mrOk; }

void TfrmDetail::bbnCancelClick(TObject*) { ModalResult = TModalResult::mrCancel; }
