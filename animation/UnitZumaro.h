// The launch animation: a shaped sprite that carries the entry's icon up the screen.
#pragma once

#include <functional>

#include "toolkit/Controls.h"

class TfrmZumaro : public TForm {
public:
    explicit TfrmZumaro(TComponent* owner);

    void FormCreate(TObject* Sender);
    void FormClick(TObject* Sender);
    void BuildRegion();
    // Flies icon up from the bottom of the screen at speed (1 slow .. 10 fast); returns once the
    // sprite has left the screen and the window is hidden again.
    void Fly(const TBitmap* icon, int32_t speed);

    TImage* imgZumaro = nullptr;
    TImage* imgApp = nullptr;
    TRegionHandle ShapeRegion;

    // The wait between steps: input and posted messages wait for the flight's end, while what is
    // sent is answered and the system sees a program that responds. Tests put their own here.
    std::function<void(DWORD)> Wait = [](DWORD ms) { WaitResponsive(ms); };
    // Called after every move with the window's top edge, for tests.
    std::function<void(int)> OnMoved;

protected:
    // On a monitor of another scale the figure, its shape and the icon's square are made again.
    void DpiChanged(int oldDpi, const RECT& suggested) override;
    bool SizeAtDpi(int dpi, SIZE& size) const override;

private:
    void ApplyDpi();
};

extern TfrmZumaro* frmZumaro;
