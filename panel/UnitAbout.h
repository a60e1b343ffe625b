// The version information: the program's picture, its name, its version and the rights notice.
#pragma once

#include "toolkit/Controls.h"
#include "toolkit/StdCtrls.h"

class TfrmAbout : public TForm {
public:
    explicit TfrmAbout(TComponent* owner);

    void bbnOKClick(TObject* Sender);

    TBitBtn* bbnOK = nullptr;
    TStaticLabel* lblTitle = nullptr;
    TImage* imgIcon = nullptr;

protected:
    void DpiChanged(int oldDpi, const RECT& suggested) override;
    void DescribeControl(const TGraphicControl* control, TAccessibleInfo& info) const override;

private:
    void ApplyDpi();
    TGdiObject titleFont_;
};
