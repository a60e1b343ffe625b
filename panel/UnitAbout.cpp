#include "panel/UnitAbout.h"

#include "resources/DialogIds.h"
#include "toolkit/Icon.h"

namespace {

// At 96 dpi, in pixels: the picture's sunken box, its place, the picture, the title's font.
constexpr int kBox = 41;
constexpr int kBoxPlace = 10;
constexpr int kPicture = 32;
constexpr int kTitleHeight = 16;
constexpr COLORREF kTransparent = RGB(255, 0, 255);

// The program's picture centred in its box, the box drawn sunken, on the dialog's own colour. At
// 96 dpi the bitmap made for the dialog; at other scales the program's icon of the picture's size,
// which comes drawn for 120, 144 and 192 dpi.
void DrawPictureBox(TBitmap& box, COLORREF ground, int dpi) {
    int side = ScaleForDpi(kBox, dpi), size = ScaleForDpi(kPicture, dpi);
    box.SetSize(side, side);
    TBitmapCanvas canvas(box);
    RECT all{0, 0, side, side};
    TGdiObject brush(CreateSolidBrush(ground));
    FillRect(canvas.Handle(), &all, static_cast<HBRUSH>(brush.Get()));
    DrawEdge(canvas.Handle(), &all, BDR_SUNKENOUTER, BF_RECT);
    int offset = (side - size) / 2;
    TIcon icon;
    if (dpi != kDefaultDpi && icon.LoadFromResourceName(MAKEINTRESOURCEA(1), size)) {
        DrawIconEx(canvas.Handle(), offset, offset, icon.Handle(), size, size, 0, nullptr, DI_NORMAL);
        return;
    }
    TBitmap picture;
    picture.LoadFromResourceName("ABOUTPICTURE");
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
    FinishCreate();
    ApplyDpi();
}

void TfrmAbout::ApplyDpi() {
    int dpi = Dpi(), place = ScaleForDpi(kBoxPlace, dpi), side = ScaleForDpi(kBox, dpi);
    imgIcon->SetBounds(place, place, side, side);
    DrawPictureBox(imgIcon->Picture, Color, dpi);
    TFont title = Font;
    title.Height = ScaleForDpi(kTitleHeight, dpi);
    TGdiObject font(CreateFontHandle(title));
    lblTitle->SetFont(static_cast<HFONT>(font.Get()));
    titleFont_ = std::move(font);
    imgIcon->PictureChanged();
}

void TfrmAbout::DescribeControl(const TGraphicControl* control, TAccessibleInfo& info) const {
    if (control == imgIcon) info.Name = "ズマロランチャーのアイコン";
}

void TfrmAbout::DpiChanged(int oldDpi, const RECT& suggested) {
    TForm::DpiChanged(oldDpi, suggested);  // the layout's font, which the title then gives up for its own
    ApplyDpi();
}

void TfrmAbout::bbnOKClick(TObject*) { ModalResult = TModalResult::mrOk; }
