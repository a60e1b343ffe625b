#include "toolkit/Graphics.h"

#include <cstring>

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_ && bits_ != nullptr) {
        GdiFlush();
        std::memset(bits_, 0xFF, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
        return;
    }
    Clear();
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bmp == nullptr) throw Exception("Out of system resources");
    bitmap_.Reset(bmp);
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    std::memset(bits_, 0xFF, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
}

void TBitmap::Assign(const TBitmap* source) {
    if (source == this) return;
    if (source == nullptr || source->Empty()) {
        Clear();
        return;
    }
    SetSize(source->width_, source->height_);
    GdiFlush();  // the source may still have drawing pending in its DIB
    std::memcpy(bits_, source->bits_, static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
}

bool TBitmap::LoadFromResourceName(const char* name) {
    TGdiObject loaded(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!loaded) return false;
    BITMAP info{};
    GetObjectA(loaded.Get(), sizeof info, &info);
    SetSize(info.bmWidth, info.bmHeight);
    TMemoryDC src(CreateCompatibleDC(nullptr));
    HGDIOBJ old = SelectObject(src.Get(), loaded.Get());
    TBitmapCanvas dst(*this);
    BitBlt(dst.Handle(), 0, 0, width_, height_, src.Get(), 0, 0, SRCCOPY);
    SelectObject(src.Get(), old);
    return true;
}

void TBitmap::Clear() {
    bitmap_.Reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

COLORREF TBitmap::Pixel(int x, int y) const {
    if (bits_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    GdiFlush();
    uint32_t p = bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

TBitmapCanvas::TBitmapCanvas(TBitmap& bitmap) : dc_(CreateCompatibleDC(nullptr)) {
    if (!dc_) throw Exception("Out of system resources");
    if (bitmap.Handle() != nullptr) previous_ = SelectObject(dc_.Get(), bitmap.Handle());
}

TBitmapCanvas::~TBitmapCanvas() {
    if (previous_ != nullptr) SelectObject(dc_.Get(), previous_);
}

HFONT CreateFontHandle(const TFont& font) {
    return CreateFontA(-font.Height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, font.Charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.Name.c_str());
}
