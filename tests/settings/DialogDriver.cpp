#include "settings/DialogDriver.h"

#include <shlobj.h>
#include <shellapi.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/UnitUtils.h"
#include "support/WinTestSupport.h"

namespace {

TDialogScript* g_script = nullptr;

struct TFind {
    const char* className;
    HWND found = nullptr;
};

BOOL CALLBACK FindOne(HWND hwnd, LPARAM lParam) {
    auto* f = reinterpret_cast<TFind*>(lParam);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) == f->className && IsWindowVisible(hwnd)) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A script that has stalled must not hang the test run: its dialogs are closed.
BOOL CALLBACK CloseOne(HWND hwnd, LPARAM) {
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    std::string c = cls;
    if (IsWindowVisible(hwnd) && (c == "#32770" || c == "TfrmSetting" || c == "TfrmDetail"))
        PostMessageA(hwnd, c == "#32770" ? WM_COMMAND : WM_CLOSE, c == "#32770" ? IDCANCEL : 0, 0);
    return TRUE;
}

}  // namespace

TDialogScript::TDialogScript(std::vector<TStep> steps) : steps_(std::move(steps)), previous_(g_script) {
    g_script = this;
    timer_ = SetTimer(nullptr, 0, 20, &TDialogScript::Tick);
}

TDialogScript::~TDialogScript() {
    KillTimer(nullptr, timer_);
    g_script = previous_;
    EXPECT_TRUE(Finished()) << "the dialog closed before step " << next_ + 1 << " of " << steps_.size();
}

void CALLBACK TDialogScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_script != nullptr) g_script->Run();
}

void TDialogScript::Run() {
    if (next_ >= steps_.size()) {
        if (++waited_ == 150) {
            ADD_FAILURE() << "a dialog is still open after the last step";
            EnumThreadWindows(GetCurrentThreadId(), CloseOne, 0);
        }
        return;
    }
    size_t step = next_;
    // Counted before it runs: a step that opens a nested modal loop lets the next ones run in it.
    ++next_;
    bool done = true;
    try {
        done = steps_[step]();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "step " << step + 1 << " raised: " << e.what();
    }
    if (!done) {
        if (++waited_ > 250) {
            ADD_FAILURE() << "step " << step + 1 << " waited too long";
            next_ = steps_.size();
            EnumThreadWindows(GetCurrentThreadId(), CloseOne, 0);
            return;
        }
        if (next_ == step + 1) next_ = step;  // again on the next tick
        return;
    }
    waited_ = 0;
}

TDialogScript::TStep Do(std::function<void()> action) {
    return [action] {
        action();
        return true;
    };
}

TDialogScript::TStep Pause(int ms) {
    auto until = std::make_shared<DWORD>(0);
    return [until, ms] {
        if (*until == 0) *until = GetTickCount() + static_cast<DWORD>(ms);
        if (static_cast<LONG>(GetTickCount() - *until) < 0) return false;
        *until = 0;
        return true;
    };
}

TDialogScript::TStep Shot(TWinControl* window, const std::string& name) {
    // Wine hands a window's drawing to the X server a moment after it is done: the picture is
    // taken once the loop has idled for a while.
    auto pause = std::make_shared<TDialogScript::TStep>(Pause(600));
    return [pause, window, name] {
        // No tooltip over the picture, wherever the pointer happens to be.
        auto tip = static_cast<HWND>(GetPropA(window->Handle(), "ZumaroDialogToolTip"));
        if (tip != nullptr) SendMessageA(tip, TTM_ACTIVATE, FALSE, 0);
        if (!(*pause)()) return false;
        SaveWindowShot(window->Handle(), name);
        if (tip != nullptr) SendMessageA(tip, TTM_ACTIVATE, TRUE, 0);
        return true;
    };
}

TDialogScript::TStep WaitShown(TForm* form) {
    return [form] { return form->HandleAllocated() && IsWindowVisible(form->Handle()) && form->Modal() &&
                           IsWindowEnabled(form->Handle()); };
}

HWND FindThreadWindow(const char* className) {
    TFind f{className};
    EnumThreadWindows(GetCurrentThreadId(), FindOne, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

void Press(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

void PostKey(HWND target, UINT key) {
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

void ClickTab(HWND tabControl, int index) {
    RECT r{};
    SendMessageA(tabControl, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(tabControl, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tabControl, WM_LBUTTONUP, 0, at);
}

void DropFiles(HWND target, const std::vector<std::string>& paths, POINT point) {
    // The receiver finishes the drop (DragFinish frees the memory).
    SendMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropFiles(paths, point.x, point.y)), 0);
}

void DropFiles(HWND target, const std::vector<std::wstring>& paths, POINT point) {
    SendMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropFiles(paths, point.x, point.y)), 0);
}

namespace {

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void Put32(std::string& out, uint32_t v) {
    for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void Chunk(std::string& out, const char* type, const std::string& data) {
    Put32(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    Put32(out, Crc32(reinterpret_cast<const uint8_t*>(body.data()), body.size()));
}

// An RGB picture as a PNG file, its pixels in uncompressed deflate blocks: no library needed.
std::string PngOf(const std::vector<uint8_t>& rgb, int w, int h) {
    std::string raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back('\0');  // no filter
        raw.append(reinterpret_cast<const char*>(rgb.data()) + static_cast<size_t>(y) * w * 3, static_cast<size_t>(w) * 3);
    }
    std::string z = "\x78\x01";
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n >= raw.size() ? 1 : 0);
        z.push_back(static_cast<char>(n & 0xFF));
        z.push_back(static_cast<char>(n >> 8));
        z.push_back(static_cast<char>(~n & 0xFF));
        z.push_back(static_cast<char>((~n >> 8) & 0xFF));
        z.append(raw, at, n);
        if (raw.empty()) break;
    }
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    Put32(header, static_cast<uint32_t>(w));
    Put32(header, static_cast<uint32_t>(h));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", "");
    return png;
}

}  // namespace

std::string SaveWindowShot(HWND hwnd, const std::string& name) {
    GdiFlush();
    RECT r;
    GetWindowRect(hwnd, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    TBitmap shot;
    shot.SetSize(w, h);
    {
        HDC screen = GetDC(nullptr);
        TBitmapCanvas canvas(shot);
        BitBlt(canvas.Handle(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    }
    std::vector<uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = shot.Pixel(x, y);
            rgb.insert(rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
        }
    // Those of a run under another ANSI code page beside them, not over them.
    std::string folder =
        ExeFolder() + "..\\screenshots" + (GetACP() == 932 ? "" : "-cp" + std::to_string(GetACP())) + "\\";
    CreateDirectoryW(SjisToWide(folder).c_str(), nullptr);
    std::string path = folder + name + ".png";
    std::string png = PngOf(rgb, w, h);
    HANDLE f = CreateFileW(SjisToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD wrote = 0;
        WriteFile(f, png.data(), static_cast<DWORD>(png.size()), &wrote, nullptr);
        CloseHandle(f);
    }
    return path;
}

namespace {

// Tells the window it now stands on a monitor of toDpi, suggesting its own rectangle grown (or
// shrunk) from its top-left corner by toDpi / fromDpi. Returns that rectangle.
RECT SendDpiChanged(HWND window, int fromDpi, int toDpi) {
    RECT r;
    GetWindowRect(window, &r);
    RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, toDpi, fromDpi),
                   r.top + MulDiv(r.bottom - r.top, toDpi, fromDpi)};
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(toDpi, toDpi), reinterpret_cast<LPARAM>(&suggested));
    return suggested;
}

BOOL CALLBACK AddPlace(HWND hwnd, LPARAM lParam) {
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    std::string text = WindowText(hwnd);
    RECT r;
    // An etched line's place is its client area, which the layout gives: the system sets its edge round it.
    bool etched = _stricmp(cls, "Static") == 0 && (GetWindowLongA(hwnd, GWL_STYLE) & SS_TYPEMASK) == SS_ETCHEDHORZ;
    if (etched) {
        GetClientRect(hwnd, &r);
        MapWindowPoints(hwnd, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    } else {
        GetWindowRect(hwnd, &r);
        MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    }
    LOGFONTA font{};
    auto handle = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    int height = handle != nullptr && GetObjectA(handle, sizeof font, &font) ? std::abs(font.lfHeight) : 0;
    auto* places = reinterpret_cast<std::vector<TControlPlace>*>(lParam);
    places->push_back({std::string(cls) + " " + text, r, height, _strnicmp(cls, "Zumaro.ComboBox", 15) == 0});
    return TRUE;
}

// The client area, then every control, those on the pages too, in the system's order.
std::vector<TControlPlace> LayoutOf(HWND window) {
    std::vector<TControlPlace> out;
    RECT client;
    GetClientRect(window, &client);
    out.push_back({"client area", client, 0, false});
    EnumChildWindows(window, AddPlace, reinterpret_cast<LPARAM>(&out));
    return out;
}

void ExpectLayoutAtDpi(const std::vector<TControlPlace>& at96, const std::vector<TControlPlace>& layout, int dpi) {
    ASSERT_EQ(layout.size(), at96.size());
    // round(v * s) against round(v) * s: half a pixel, and half of s.
    auto within = [dpi](int scaled, int v96) {
        return dpi == 96 ? scaled == v96 : std::abs(scaled * 96 - v96 * dpi) <= 48 + dpi / 2;
    };
    // The client area is the suggested rectangle's, less the borders the system draws at its DPI.
    for (size_t i = dpi == 96 ? 0 : 1; i < at96.size(); ++i) {
        const RECT &a = at96[i].Place, &b = layout[i].Place;
        EXPECT_EQ(layout[i].Name, at96[i].Name);
        EXPECT_TRUE(within(b.left, a.left) && within(b.top, a.top) && within(b.right - b.left, a.right - a.left) &&
                    (layout[i].OwnHeight || within(b.bottom - b.top, a.bottom - a.top)) &&
                    std::abs(layout[i].FontHeight * 96 - at96[i].FontHeight * dpi) < (dpi == 96 ? 1 : 96))
            << at96[i].Name << " at " << dpi << " dpi: " << b.left << "," << b.top << " " << b.right - b.left << "x"
            << b.bottom - b.top << " font " << layout[i].FontHeight << "; at 96: " << a.left << "," << a.top << " "
            << a.right - a.left << "x" << a.bottom - a.top << " font " << at96[i].FontHeight;
    }
}

}  // namespace

TDialogScript::TStep DpiTrip(std::function<HWND()> window, int dpi, TDpiTrip& trip, const std::string& shot,
                             std::function<void()> there) {
    auto wait = std::make_shared<TDialogScript::TStep>();
    return [=, &trip] {
        HWND h = window();
        if (!*wait) {
            // From the screen's corner, so that all of it is on the screen for its picture.
            SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            trip.At96 = LayoutOf(h);
            trip.Suggested = SendDpiChanged(h, 96, dpi);
            GetWindowRect(h, &trip.Taken);
            trip.There = LayoutOf(h);
            *wait = Pause(600);
        }
        if (!(*wait)()) return false;
        SaveWindowShot(h, shot);
        if (there) there();
        SendDpiChanged(h, dpi, 96);
        trip.Back = LayoutOf(h);
        return true;
    };
}

void ExpectDpiTrip(const TDpiTrip& trip, int dpi) {
    EXPECT_TRUE(EqualRect(&trip.Taken, &trip.Suggested)) << "the suggested rectangle";
    ExpectLayoutAtDpi(trip.At96, trip.There, dpi);
    ExpectLayoutAtDpi(trip.At96, trip.Back, 96);
}
