// Start-up and call-up cost under Wine, each against its floor measured in the same run: the
// main window's creation until the panel is shown with 1,000 (and 20,000) distinct files against
// the same with 6 entries; 20,000 entries over 100 files; the private memory of a shown panel with
// no entries, 100 and 20,000; and the time from the hot key's message to the panel fully painted
// against a bare popup of the same size and styles, hidden, shown and painted the same way.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/UnitUtils.h"
#include "panel/UnitMain.h"

namespace {

// <chrono> cannot be compiled to code page 932 (its "µs"): the performance counter it is.
double NowMs() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

void WriteText(const std::string& path, const std::string& text) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD n = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
    CloseHandle(h);
}

// A program's folder with a settings file registering n real files of a few kinds, which lie in
// a folder of their own inside it, as a user's files lie apart from the program. (Beside the
// program they would slow Wine's loader, which looks for every library in the program's folder
// first, and a name that is not there costs a search of the whole folder.)
std::vector<std::string> MakeFolder(const std::string& folder, int n) {
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\files").c_str(), nullptr);
    const char* kinds[] = {".txt", ".bat", ".ini", ".html", ".lnk2"};
    std::vector<std::string> paths;
    std::string ini = "[Initialize]\r\nPannelCol=5\r\nPannelRow=5\r\nLeft=10\r\nTop=10\r\n[Registered Files]\r\n";
    for (int i = 0; i < n; ++i) {
        std::string p = folder + "\\files\\file" + std::to_string(i) + kinds[i % 5];
        WriteText(p, "x");
        paths.push_back(p);
        ini += p + "\r\n";
    }
    WriteText(folder + "\\Zumaro.ini", ini);
    return paths;
}

// n entries cycling over the first `distinct` of the folder's files, on a grid of c x r.
void WriteList(const std::string& folder, const std::vector<std::string>& paths, int n, int distinct, int c, int r) {
    std::string ini = "[Initialize]\r\nPannelCol=" + std::to_string(c) + "\r\nPannelRow=" + std::to_string(r) +
                      "\r\nAnimation=False\r\nAutoClose=False\r\nLeft=10\r\nTop=10\r\n[Registered Files]\r\n";
    for (int i = 0; i < n; ++i) ini += paths[static_cast<size_t>(i % distinct)] + "\r\n";
    WriteText(folder + "\\Zumaro.ini", ini);
}

// A plain popup of the panel's size and styles with no child windows: the floor for the hot key.
LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_HOTKEY:
            // What the panel does with its hot key: shown, brought to the front, made foreground.
            ShowWindow(hwnd, SW_SHOW);
            SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            SetForegroundWindow(hwnd);
            return 0;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            HBRUSH green = CreateSolidBrush(kPanelGreen);
            FillRect(dc, &ps.rcPaint, green);
            DeleteObject(green);
            EndPaint(hwnd, &ps);
            return 0;
        }
        default: return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

HWND MakeBareWindow(HWND like) {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = BareProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "ZumaroBenchBare";
    RegisterClassA(&wc);
    RECT r;
    GetWindowRect(like, &r);
    auto style = static_cast<DWORD>(GetWindowLongA(like, GWL_STYLE)) & ~WS_VISIBLE;
    auto exStyle = static_cast<DWORD>(GetWindowLongA(like, GWL_EXSTYLE));
    return CreateWindowExA(exStyle, wc.lpszClassName, "", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           nullptr, nullptr, wc.hInstance, nullptr);
}

// From the hot key's message to the hidden window until no paint is waiting.
double OneCallUp(HWND hwnd, const std::function<void()>& hide) {
    hide();
    Application->ProcessMessages();
    double t0 = NowMs();
    SendMessageA(hwnd, WM_HOTKEY, kHotKeyId, 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) DispatchMessageA(&msg);
    GdiFlush();
    return NowMs() - t0;
}

struct TCallUp {
    double Median, Worst, BareMedian;
};

// The panel and the bare window, taken in turn 50 times each.
TCallUp HotKeyToPainted(const std::string& folder) {
    auto* form = new TfrmMain(Application, folder + "\\");
    HWND bare = MakeBareWindow(form->Handle());
    std::vector<double> panel, floor;
    for (int i = 0; i < 50; ++i) {
        panel.push_back(OneCallUp(form->Handle(), [&] { form->Hide(); }));
        floor.push_back(OneCallUp(bare, [&] { ShowWindow(bare, SW_HIDE); }));
    }
    DestroyWindow(bare);
    TComponent::Free(form);
    std::sort(panel.begin(), panel.end());
    std::sort(floor.begin(), floor.end());
    return {panel[panel.size() / 2], panel.back(), floor[floor.size() / 2]};
}

// Finds the visible panel of a process.
struct TPanelSearch {
    DWORD pid;
    HWND found = nullptr;
};

BOOL CALLBACK FindPanel(HWND hwnd, LPARAM lParam) {
    auto* s = reinterpret_cast<TPanelSearch*>(lParam);
    char cls[32] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || !IsWindowVisible(hwnd) || !GetClassNameA(hwnd, cls, sizeof cls) || std::string(cls) != "TfrmMain")
        return TRUE;
    s->found = hwnd;
    return FALSE;
}

// From starting the program (a copy of Zumaro.exe in the folder, as a user unpacks it) to its
// panel shown and painted, its loop waiting for input; then it is closed.
double ProgramStart(const std::string& folder) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string exe = self;
    exe = exe.substr(0, exe.rfind('\\') + 1) + "portable\\Zumaro.exe";
    std::string copy = folder + "\\Zumaro.exe";
    CopyFileA(exe.c_str(), copy.c_str(), FALSE);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    double t0 = NowMs();
    if (!CreateProcessA(copy.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) {
        std::printf("cannot start %s\n", copy.c_str());
        return 0;
    }
    TPanelSearch s{pi.dwProcessId};
    while (s.found == nullptr && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        EnumWindows(FindPanel, reinterpret_cast<LPARAM>(&s));
        if (s.found == nullptr) Sleep(1);
    }
    WaitForInputIdle(pi.hProcess, 60000);
    double ms = NowMs() - t0;
    if (s.found != nullptr) PostMessageA(s.found, WM_CLOSE, 0, 0);
    WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ms;
}

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
    // Wine leaves PrivateUsage at 0; the commit charge it does fill in is the same figure.
    return pmc.PrivateUsage != 0 ? pmc.PrivateUsage : pmc.PagefileUsage;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The memory of a shown panel with no entries and with 100.
void Memory(const std::string& base) {
    // Memory first, before the large runs have grown the heap.
    MakeFolder(base + "\\none", 0);
    MakeFolder(base + "\\hundred", 100);
    SIZE_T cold = PrivateBytes();
    {
        // The shell loads its icon machinery on the first look-up, whatever the entry count.
        SHFILEINFOA info{};
        SHGetFileInfoA((base + "\\none\\Zumaro.ini").c_str(), 0, &info, sizeof info, SHGFI_ICON);
        DestroyIcon(info.hIcon);
    }
    SIZE_T start = PrivateBytes();
    std::printf("the shell's first icon look-up:                          %8.2f MB\n", (start - cold) / 1048576.0);
    auto* empty = new TfrmMain(Application, base + "\\none\\");
    empty->Show();
    UpdateWindow(empty->Handle());
    SIZE_T none = PrivateBytes();
    TComponent::Free(empty);
    auto* hundred = new TfrmMain(Application, base + "\\hundred\\");
    hundred->Show();
    UpdateWindow(hundred->Handle());
    SIZE_T withHundred = PrivateBytes();
    TComponent::Free(hundred);
    std::printf("private memory, process with the panel shown, no entries: %8.2f MB\n", none / 1048576.0);
    std::printf("  of which the panel itself:                              %8.2f MB\n", (none - start) / 1048576.0);
    std::printf("private memory, process with the panel shown, 100 entries: %7.2f MB (+%.2f MB)\n",
                withHundred / 1048576.0, (static_cast<double>(withHundred) - static_cast<double>(none)) / 1048576.0);
}

// Starting the program against starting it with a handful of entries, taken in turn; the first
// round warms the system's caches for both. The 1,000 files it makes are returned for the grids.
std::vector<std::string> StartUp(const std::string& base, bool longLists) {
    std::vector<std::string> paths = MakeFolder(base + "\\many", 1000);
    MakeFolder(base + "\\six", 6);
    std::vector<double> six, thousand;
    for (int i = 0; i < 12; ++i) {
        double s = ProgramStart(base + "\\six"), t = ProgramStart(base + "\\many");
        if (i == 0) continue;
        six.push_back(s);
        thousand.push_back(t);
    }
    double s6 = Median(six), t1000 = Median(thousand);
    std::printf("start to panel shown, 1,000 distinct files: %.1f ms; 6 entries: %.1f ms; ratio %.2f\n", t1000, s6,
                t1000 / s6);
    if (!longLists) return paths;
    MakeFolder(base + "\\huge", 20000);
    std::vector<double> sixAgain, huge;
    for (int i = 0; i < 5; ++i) {
        sixAgain.push_back(ProgramStart(base + "\\six"));
        huge.push_back(ProgramStart(base + "\\huge"));
    }
    double s6again = Median(sixAgain), t20000 = Median(huge);
    std::printf("start to panel shown, 20,000 distinct files: %.1f ms; 6 entries: %.1f ms; ratio %.2f\n", t20000,
                s6again, t20000 / s6again);

    // A long list: what entries cost when many share their files.
    std::vector<std::string> hundredPaths(paths.begin(), paths.begin() + 100);
    WriteList(base + "\\long", hundredPaths, 20000, 100, 3, 2);
    CreateDirectoryA((base + "\\long").c_str(), nullptr);
    WriteList(base + "\\long", hundredPaths, 20000, 100, 3, 2);
    SIZE_T beforeLong = PrivateBytes();
    double t0 = NowMs();
    auto* longList = new TfrmMain(Application, base + "\\long\\");
    longList->Show();
    UpdateWindow(longList->Handle());
    double longMs = NowMs() - t0;
    SIZE_T withLong = PrivateBytes();
    TComponent::Free(longList);
    std::printf("main window creation, 20,000 entries over 100 files: %8.1f ms\n", longMs);
    std::printf("private memory added by 20,000 entries:              %8.2f MB\n",
                (static_cast<double>(withLong) - static_cast<double>(beforeLong)) / 1048576.0);

    return paths;
}

}  // namespace

int main(int argc, char** argv) {
    // "hotkey" measures the hot key alone, "startup" the start-up with 1,000 files alone, "huge" the
    // start-ups with 1,000 and 20,000, for a quick look while working on them.
    const std::string only = argc > 1 ? argv[1] : "";
    CoInitialize(nullptr);
    auto* app = new TApplication();
    app->Title = "ズマロランチャー";
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string base = std::string(temp) + "zumaro-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(base.c_str(), nullptr);

    if (only.empty()) Memory(base);
    std::vector<std::string> paths = only == "hotkey" ? MakeFolder(base + "\\many", 25) : StartUp(base, only.empty() || only == "huge");
    std::vector<std::pair<int, int>> grids;
    if (only != "startup" && only != "huge") grids = {{3, 2}, {5, 5}};
    for (auto [c, r] : grids) {
        std::string folder = base + "\\grid" + std::to_string(c) + std::to_string(r);
        CreateDirectoryA(folder.c_str(), nullptr);
        WriteList(folder, paths, c * r, c * r, c, r);
        TCallUp t = HotKeyToPainted(folder);
        std::printf("hot key to painted, %d x %d grid: median %.2f ms, worst %.2f ms (of 50); bare window median %.2f ms; "
                    "ratio to a bare window %.2f\n",
                    c, r, t.Median, t.Worst, t.BareMedian, t.Median / t.BareMedian);
    }

    std::string from = base;
    from.push_back('\0');
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
    TComponent::Free(app);
    return 0;
}
