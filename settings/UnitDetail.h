// The detail dialog of one registered entry: whether its own hint text replaces its path as
// the hint, and that text.
#pragma once

#include <string>

#include "toolkit/StdCtrls.h"

class TfrmDetail : public TForm {
public:
    explicit TfrmDetail(TComponent* owner);

    // Shows the entry; on OK writes the box's state and the hint text back and returns true.
    // Otherwise returns false and writes nothing.
    bool EditDetail(const std::string& FileName, bool& UseArias, std::string& Arias);

    void chbUseAriasClick(TObject* Sender);
    void bbnOKClick(TObject* Sender);
    void bbnCancelClick(TObject* Sender);

    // Controls in tab order, then the labels the dialog changes.
    TCheckBox* chbUseArias = nullptr;
    TBitBtn* bbnOK = nullptr;
    TEdit* edtArias = nullptr;
    TEdit* edtFileName = nullptr;
    TBitBtn* bbnCancel = nullptr;
    TStaticLabel* lblArias = nullptr;

private:
    void UpdateAriasControls();
};
