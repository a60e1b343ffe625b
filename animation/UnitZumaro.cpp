#include "animation/UnitZumaro.h"

#include "animation/FlightPlan.h"

TfrmZumaro* frmZumaro = nullptr;

TfrmZumaro::TfrmZumaro(TComponent* owner) : TForm(owner, "TfrmZumaro") {
    Name = "frmZumaro";
    BorderStyle = TBorderStyle::bsNone;
    StayOnTop = true;
    Color = RGB(0, 0, 0);
    Font = TFont{"ＭＳ Ｐゴシック", 11, SHIFTJIS_CHARSET};
    imgZumaro = new TImage(this, this);
    imgZumaro->Name = "imgZumaro";
    imgZumaro->SetBounds(0, 0, 65, 65);
    imgZumaro->Picture.LoadFromResourceName("ZUMARO");
    imgZumaro->OnClick = [this](TObject* s) { FormClick(s); };
    imgApp = new TImage(this, this);
    imgApp->Name = "imgApp";
    imgApp->SetBounds(20, 7, 24, 24);
    imgApp->Stretch = true;
    // Placed last, the icon square lies above the sprite and takes the clicks there.
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnClick = [this](TObject* s) { FormClick(s); };
    FinishCreate();
}

void TfrmZumaro::FormCreate(TObject*) { ApplyDpi(); }

void TfrmZumaro::ApplyDpi() {
    int dpi = Dpi();
    auto scaled = [dpi](int v) { return ScaleForDpi(v, dpi); };
    // The figure's pixels as squares of the scale, so its outline stays one colour against the
    // black that is cut away.
    TBitmap figure;
    figure.LoadFromResourceName("ZUMARO");
    if (dpi == kDefaultDpi || figure.Empty()) {
        imgZumaro->Picture.Assign(&figure);
    } else {
        imgZumaro->Picture.SetSize(scaled(figure.Width()), scaled(figure.Height()));
        TBitmapCanvas canvas(imgZumaro->Picture);
        figure.Draw(canvas.Handle(), 0, 0, imgZumaro->Picture.Width(), imgZumaro->Picture.Height());
    }
    imgZumaro->SetBounds(0, 0, scaled(65), scaled(65));
    imgApp->SetBounds(scaled(20), scaled(7), scaled(24), scaled(24));
    SetBounds(Left(), Top(), SpriteSize(dpi), SpriteSize(dpi));
    BuildRegion();
    TRegionHandle copy(CreateRectRgn(0, 0, 1, 1));
    CombineRgn(copy.Get(), ShapeRegion.Get(), nullptr, RGN_COPY);
    if (SetWindowRgn(Handle(), copy.Get(), TRUE)) copy.Release();  // the window owns it now
}

void TfrmZumaro::DpiChanged(int, const RECT& suggested) {
    ApplyDpi();
    SetBounds(suggested.left, suggested.top, Width(), Height());
}

bool TfrmZumaro::SizeAtDpi(int dpi, SIZE& size) const {
    size = {SpriteSize(dpi), SpriteSize(dpi)};
    return true;
}

void TfrmZumaro::BuildRegion() {
    // The outline of a "." at every pixel of the figure as drawn, traced into a path: the shape
    // follows the sprite without any pixel-by-pixel region arithmetic.
    HWND hwnd = Handle();
    HDC dc = GetDC(hwnd);
    TFont font = Font;
    font.Height = MulDiv(8, kDefaultDpi, 72);  // the dot's size and place fit one pixel
    TGdiObject hfont(CreateFontHandle(font));
    HGDIOBJ oldFont = SelectObject(dc, hfont.Get());
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    SetBkMode(dc, TRANSPARENT);
    if (!BeginPath(dc)) Application->ShowMessageBox("Error", Application->Title, MB_OK);
    const TBitmap& sprite = imgZumaro->Picture;
    for (int y = 0; y < sprite.Height(); ++y)
        for (int x = 0; x < sprite.Width(); ++x) {
            COLORREF c = sprite.Pixel(x, y);
            if (c != CLR_INVALID && c != RGB(0, 0, 0)) TextOutW(dc, x - 1, y - 8, L".", 1);
        }
    if (!EndPath(dc)) Application->ShowMessageBox("Error", Application->Title, MB_OK);
    ShapeRegion.Reset(PathToRegion(dc));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldFont);
    ReleaseDC(hwnd, dc);
}

void TfrmZumaro::FormClick(TObject*) { Close(); }

void TfrmZumaro::Fly(const TBitmap* icon, int32_t speed) {
    int dpi = Dpi();
    int left = FlightLeft(Screen::Width());
    int top = FlightStartTop(Screen::Height(), dpi);
    imgApp->Picture.Assign(icon);
    imgApp->PictureChanged();
    SetBounds(left, top, SpriteSize(dpi), SpriteSize(dpi));
    // On top of everything, without taking the keyboard from the panel.
    SetWindowPos(Handle(), HWND_TOPMOST, left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    for (const TFlightStep& step : FlightPlan(Screen::Height(), speed, dpi)) {
        SetWindowPos(Handle(), nullptr, left, step.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (OnMoved) OnMoved(step.Top);
        if (step.Wait == 0) break;  // off the top: no wait, no repaint
        // No posted message or input is handled during the waits: the sprite is painted at each
        // place before it waits there, from the moment it is shown.
        imgZumaro->Repaint();
        imgApp->Repaint();
        Wait(static_cast<DWORD>(step.Wait));
    }
    Close();
}
