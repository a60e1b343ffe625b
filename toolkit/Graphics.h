// Bitmaps and small owners of GDI and kernel handles.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/Classes.h"

// How many GDI objects the owners below hold right now. The system's own count
// (GetGuiResources) is not available everywhere, and leaks are what tests look for.
inline int LiveGdiObjects = 0;

// Owns one handle and releases it with Close on every path. Live, when given, counts the
// handles held.
template <typename H, BOOL(WINAPI* Close)(H), int* Live = nullptr>
class THandleOwner {
public:
    THandleOwner() = default;
    explicit THandleOwner(H h) : h_(h) { Count(h_, 1); }
    ~THandleOwner() { Reset(); }
    THandleOwner(const THandleOwner&) = delete;
    THandleOwner& operator=(const THandleOwner&) = delete;
    THandleOwner(THandleOwner&& o) noexcept : h_(std::exchange(o.h_, H{})) {}
    THandleOwner& operator=(THandleOwner&& o) noexcept {
        if (this != &o) {
            Reset();
            h_ = std::exchange(o.h_, H{});
        }
        return *this;
    }
    H Get() const { return h_; }
    explicit operator bool() const { return h_ != H{}; }
    H Release() {
        Count(h_, -1);
        return std::exchange(h_, H{});
    }
    void Reset(H h = H{}) {
        if (h_ != H{}) {
            Count(h_, -1);
            Close(h_);
        }
        h_ = h;
        Count(h_, 1);
    }

private:
    static void Count(H h, int delta) {
        if constexpr (Live != nullptr)
            if (h != H{}) *Live += delta;
    }
    H h_{};
};

inline BOOL WINAPI CloseGdiObject(HGDIOBJ h) { return DeleteObject(h); }
inline BOOL WINAPI CloseRegion(HRGN h) { return DeleteObject(h); }
inline BOOL WINAPI CloseMemoryDC(HDC h) { return DeleteDC(h); }

using TKernelHandle = THandleOwner<HANDLE, CloseHandle>;
using TIconHandle = THandleOwner<HICON, DestroyIcon>;
using TGdiObject = THandleOwner<HGDIOBJ, CloseGdiObject, &LiveGdiObjects>;
using TRegionHandle = THandleOwner<HRGN, CloseRegion, &LiveGdiObjects>;
using TMemoryDC = THandleOwner<HDC, CloseMemoryDC, &LiveGdiObjects>;

struct TFont {
    std::string Name = "ＭＳ Ｐゴシック";
    int Height = 13;  // pixels
    BYTE Charset = SHIFTJIS_CHARSET;
};

// A GDI font for the description; the caller owns it.
HFONT CreateFontHandle(const TFont& font);

// A 32-bit top-down picture. A freshly sized bitmap is white. It is kept as pixels, which copies
// share until one of them is drawn on; a GDI bitmap exists only while a canvas draws on it, so a
// program may hold any number of them (a process gets at most 10,000 GDI objects).
class TBitmap : public TObject {
public:
    TBitmap() = default;
    ~TBitmap() override = default;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    void SetSize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    // Takes the other picture; the pixels are shared until either is drawn on.
    void Assign(const TBitmap* source);
    // Copies a BITMAP resource of the program into this bitmap; false when there is none.
    bool LoadFromResourceName(const char* name);
    void Clear();
    // RGB of a pixel, for drawing checks; CLR_INVALID outside the bitmap.
    COLORREF Pixel(int x, int y) const;
    // Draws the source rectangle (all of it when sw is 0) into the device rectangle, stretched
    // when the sizes differ. Needs no GDI object of its own.
    void Draw(HDC dc, int x, int y, int w, int h, int sx = 0, int sy = 0, int sw = 0, int sh = 0) const;
    // Pixel buffers shared between pictures with the same pixels (for checks).
    bool SharesPixelsWith(const TBitmap& other) const { return pixels_ != nullptr && pixels_ == other.pixels_; }

private:
    friend class TBitmapCanvas;
    // The GDI bitmap a canvas draws on, made from the pixels; given back by EndDrawing.
    HBITMAP BeginDrawing();
    void EndDrawing();
    const uint32_t* Bits() const;

    std::shared_ptr<std::vector<uint32_t>> pixels_;
    TGdiObject dib_;
    uint32_t* dibBits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// A memory drawing surface on a bitmap, for as long as it lives.
class TBitmapCanvas {
public:
    explicit TBitmapCanvas(TBitmap& bitmap);
    ~TBitmapCanvas();
    TBitmapCanvas(const TBitmapCanvas&) = delete;
    TBitmapCanvas& operator=(const TBitmapCanvas&) = delete;
    HDC Handle() const { return dc_.Get(); }

private:
    TMemoryDC dc_;
    TBitmap* bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};
