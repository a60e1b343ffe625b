#include "app/UnitSplash.h"

TfrmSplash::TfrmSplash(TComponent* owner) : TForm(owner, "TfrmSplash") {
    Name = "frmSplash";
    Caption = "Splash Window";
    BorderStyle = TBorderStyle::bsNone;
    CenterOnScreen = true;
    // Shown on the primary monitor before any other window: drawn at the system's scale.
    auto scaled = [dpi = Dpi()](int v) { return ScaleForDpi(v, dpi); };
    SetBounds(0, 0, scaled(300), scaled(60));
    Bevel1 = new TBevel(this, this);
    Bevel1->Name = "Bevel1";
    Bevel1->SetBounds(0, 0, scaled(281), scaled(49));
    Bevel1->Shape = TBevelShape::bsFrame;
    Bevel1->Style = TBevelStyle::bsLowered;
    Label1 = new TLabel(this, this);
    Label1->Name = "Label1";
    Label1->SetBounds(scaled(48), scaled(16), 0, 0);
    Label1->Caption = "ズマロランチャーを起動しています";
    Label1->Font = TFont{"ＭＳ Ｐゴシック", scaled(13), SHIFTJIS_CHARSET};
    OnCreate = [this](TObject* s) { FormCreate(s); };
    FinishCreate();
}

void TfrmSplash::FormCreate(TObject*) {
    // The frame plus one pixel each way, whatever the stored size.
    SetClientSize(Bevel1->Width() + ScaleForDpi(1, Dpi()), Bevel1->Height() + ScaleForDpi(1, Dpi()));
}
