// The small window on screen while the main window is being made.
#pragma once

#include "toolkit/Controls.h"

class TfrmSplash : public TForm {
public:
    explicit TfrmSplash(TComponent* owner);
    void FormCreate(TObject* Sender);

    TBevel* Bevel1;
    TLabel* Label1;
};
