#include "toolkit/Graphics.h"

#include <algorithm>
#include <cstring>

#include "toolkit/WideText.h"

namespace {

BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

void TBitmap::SetSize(int width, int height) {
    Clear();
    if (width <= 0 || height <= 0) return;
    pixels_ = std::make_shared<std::vector<uint32_t>>(static_cast<size_t>(width) * static_cast<size_t>(height),
                                                      0xFFFFFFFFu);
    width_ = width;
    height_ = height;
}

void TBitmap::Assign(const TBitmap* source) {
    if (source == this) return;
    if (source == nullptr || source->Empty()) {
        Clear();
        return;
    }
    Clear();
    if (source->dib_) {
        // Being drawn on: take what it shows now.
        GdiFlush();
        pixels_ = std::make_shared<std::vector<uint32_t>>(
            source->dibBits_, source->dibBits_ + static_cast<size_t>(source->width_) * source->height_);
    } else {
        pixels_ = source->pixels_;
    }
    width_ = source->width_;
    height_ = source->height_;
}

bool TBitmap::LoadFromResourceName(const char* name) {
    TGdiObject loaded(LoadImageW(GetModuleHandleW(nullptr), TResName(name), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!loaded) return false;
    BITMAP info{};
    GetObjectW(loaded.Get(), sizeof info, &info);
    SetSize(info.bmWidth, info.bmHeight);
    TMemoryDC src(CreateCompatibleDC(nullptr));
    HGDIOBJ old = SelectObject(src.Get(), loaded.Get());
    {
        TBitmapCanvas dst(*this);
        BitBlt(dst.Handle(), 0, 0, width_, height_, src.Get(), 0, 0, SRCCOPY);
    }
    SelectObject(src.Get(), old);
    return true;
}

void TBitmap::Clear() {
    dib_.Reset();
    dibBits_ = nullptr;
    pixels_.reset();
    width_ = height_ = 0;
}

const uint32_t* TBitmap::Bits() const {
    if (dib_) {
        GdiFlush();  // drawing may still be pending in the GDI bitmap
        return dibBits_;
    }
    return pixels_ ? pixels_->data() : nullptr;
}

COLORREF TBitmap::Pixel(int x, int y) const {
    const uint32_t* bits = Bits();
    if (bits == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    uint32_t p = bits[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void TBitmap::Draw(HDC dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh) const {
    const uint32_t* bits = Bits();
    if (bits == nullptr) return;
    if (sw == 0 || sh == 0) {
        sw = width_;
        sh = height_;
    }
    BITMAPINFO info = TopDownInfo(width_, height_);
    if (w != sw || h != sh) SetStretchBltMode(dc, COLORONCOLOR);
    // A top-down picture counts its source rows from the bottom here.
    StretchDIBits(dc, x, y, w, h, sx, height_ - sy - sh, sw, sh, bits, &info, DIB_RGB_COLORS, SRCCOPY);
}

HBITMAP TBitmap::BeginDrawing() {
    if (Empty()) return nullptr;
    if (!dib_) {
        BITMAPINFO info = TopDownInfo(width_, height_);
        void* bits = nullptr;
        HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bmp == nullptr) throw Exception("Out of system resources");
        dib_.Reset(bmp);
        dibBits_ = static_cast<uint32_t*>(bits);
        std::copy(pixels_->begin(), pixels_->end(), dibBits_);
    }
    return static_cast<HBITMAP>(dib_.Get());
}

void TBitmap::EndDrawing() {
    if (!dib_) return;
    GdiFlush();
    // The drawn pixels are this picture's own from now on; others that shared the old ones keep them.
    pixels_ = std::make_shared<std::vector<uint32_t>>(dibBits_, dibBits_ + static_cast<size_t>(width_) * height_);
    dib_.Reset();
    dibBits_ = nullptr;
}

TBitmapCanvas::TBitmapCanvas(TBitmap& bitmap) : dc_(CreateCompatibleDC(nullptr)) {
    if (!dc_) throw Exception("Out of system resources");
    if (HBITMAP handle = bitmap.BeginDrawing(); handle != nullptr) {
        bitmap_ = &bitmap;
        previous_ = SelectObject(dc_.Get(), handle);
    }
}

TBitmapCanvas::~TBitmapCanvas() {
    if (bitmap_ == nullptr) return;
    SelectObject(dc_.Get(), previous_);
    bitmap_->EndDrawing();
}

HFONT CreateFontHandle(const TFont& font) {
    return CreateFontW(-font.Height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, font.Charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, SjisToWide(font.Name).c_str());
}
