#include "panel/UnitAbout.h"

#include "resources/DialogIds.h"

namespace {

constexpr int kBox = 41;  // the picture's sunken box, in pixels
constexpr COLORREF kTransparent = RGB(255, 0, 255);

// The 32 x 32 picture centred in its box, the box drawn sunken, on the dialog's own colour.
void DrawPictureBox(TBitmap& box, COLORREF ground) {
    TBitmap picture;
    picture.LoadFromResourceName("ABOUTPICTURE");
    box.SetSize(kBox, kBox);
    TBitmapCanvas canvas(box);
    RECT all{0, 0, kBox, kBox};
    TGdiObject brush(CreateSolidBrush(ground));
    FillRect(canvas.Handle(), &all, static_cast<HBRUSH>(brush.Get()));
    DrawEdge(canvas.Handle(), &all, BDR_SUNKENOUTER, BF_RECT);
    int offset = (kBox - picture.Width()) / 2;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (COLORREF c = picture.Pixel(x, y); c != kTransparent) SetPixel(canvas.Handle(), offset + x, offset + y, c);
}

}  // namespace

TfrmAbout::TfrmAbout(TComponent* owner) : TForm(owner, "TfrmAbout") {
    Name = "frmAbout";
    bbnOK = Place<TBitBtn>(this, "bbnOK", IDC_about_bbnOK);
    bbnOK->OnClick = [this](TObject* s) { bbnOKClick(s); };
    lblTitle = Place<TStaticLabel>(this, "lblTitle", IDC_about_lblTitle);
    // The dialog is 276 x 141 pixels, as its picture box and title are; the layout is spread over
    // exactly that, so a font taller than 12 pixels cannot push the button out of it.
    SetTemplate("FRMABOUT", 276, 141);
    imgIcon = new TImage(this, this);
    imgIcon->Name = "imgIcon";
    imgIcon->SetBounds(10, 10, kBox, kBox);
    DrawPictureBox(imgIcon->Picture, Color);
    FinishCreate();
    TFont title = Font;
    title.Height = 16;
    titleFont_.Reset(CreateFontHandle(title));
    SendMessageA(lblTitle->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.Get()), TRUE);
}

void TfrmAbout::bbnOKClick(TObject*) { ModalResult = TModalResult::mrOk; }
