#include "settings/DialogDriver.h"

#include <shlobj.h>
#include <shellapi.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

#include "app/UnitUtils.h"

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
    SetCursorPos(0, 0);  // no tooltip over the picture
    return [pause, window, name] {
        if (!(*pause)()) return false;
        SaveWindowShot(window->Handle(), name);
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
    size_t bytes = sizeof(DROPFILES) + 1;
    for (const std::string& p : paths) bytes += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND | GMEM_SHARE, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = point;
    drop->fNC = FALSE;
    drop->fWide = FALSE;
    char* out = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& p : paths) {
        memcpy(out, p.c_str(), p.size() + 1);
        out += p.size() + 1;
    }
    *out = '\0';
    GlobalUnlock(memory);
    // The receiver finishes the drop (DragFinish frees the memory).
    SendMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

std::string SaveWindowShot(HWND hwnd, const std::string& name) {
    GdiFlush();
    RECT r;
    GetWindowRect(hwnd, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;  // bottom-up, as a file wants it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    SelectObject(mem, old);
    DWORD rowBytes = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    DWORD size = rowBytes * static_cast<DWORD>(h);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + size;
    std::string folder = ExeFolder() + "..\\screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string path = folder + name + ".bmp";
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD wrote = 0;
        WriteFile(f, &file, sizeof file, &wrote, nullptr);
        WriteFile(f, &info.bmiHeader, sizeof info.bmiHeader, &wrote, nullptr);
        WriteFile(f, bits, size, &wrote, nullptr);
        CloseHandle(f);
    }
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return path;
}
