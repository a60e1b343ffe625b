// Start-up cost under Wine: the main window's creation (settings read, icons made, grid built,
// first page shown) with 1,000 registered files, against a bare loop making the same 2,000 shell
// icons; 20,000 entries over 100 files; the private memory of a shown panel with no entries, 100
// and 20,000; and the time from the hot key's message to the panel fully painted.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
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

// A folder of n real files of a few kinds, and a settings file registering them.
std::vector<std::string> MakeFolder(const std::string& folder, int n) {
    CreateDirectoryA(folder.c_str(), nullptr);
    const char* kinds[] = {".txt", ".bat", ".ini", ".html", ".lnk2"};
    std::vector<std::string> paths;
    std::string ini = "[Initialize]\r\nPannelCol=5\r\nPannelRow=5\r\nLeft=10\r\nTop=10\r\n[Registered Files]\r\n";
    for (int i = 0; i < n; ++i) {
        std::string p = folder + "\\file" + std::to_string(i) + kinds[i % 5];
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

// From the hot key's message to the hidden panel until no paint is waiting: median and worst.
std::pair<double, double> HotKeyToPainted(const std::string& folder) {
    auto* form = new TfrmMain(Application, folder + "\\");
    std::vector<double> times;
    for (int i = 0; i < 50; ++i) {
        form->Hide();
        Application->ProcessMessages();
        double t0 = NowMs();
        SendMessageA(form->Handle(), WM_HOTKEY, kHotKeyId, 0);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) DispatchMessageA(&msg);
        GdiFlush();
        times.push_back(NowMs() - t0);
    }
    TComponent::Free(form);
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

double BareLoop(const std::vector<std::string>& paths) {
    TBitmap large, small;
    large.SetSize(32, 32);
    small.SetSize(16, 16);
    TBitmapCanvas lc(large), sc(small);
    double t0 = NowMs();
    for (const std::string& p : paths) {
        SHFILEINFOA info{};
        SHGetFileInfoA(p.c_str(), 0, &info, sizeof info, SHGFI_ICON);
        DrawIconEx(lc.Handle(), 0, 0, info.hIcon, 32, 32, 0, nullptr, DI_NORMAL);
        DestroyIcon(info.hIcon);
        SHGetFileInfoA(p.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON);
        DrawIconEx(sc.Handle(), 0, 0, info.hIcon, 16, 16, 0, nullptr, DI_NORMAL);
        DestroyIcon(info.hIcon);
    }
    return NowMs() - t0;
}

double Launcher(const std::string& folder) {
    double t0 = NowMs();
    auto* form = new TfrmMain(Application, folder + "\\");
    form->Show();
    UpdateWindow(form->Handle());
    double ms = NowMs() - t0;
    TComponent::Free(form);
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

}  // namespace

int main() {
    SetLeadByteTest([](unsigned char b) { return IsDBCSLeadByte(b) != FALSE; });
    CoInitialize(nullptr);
    auto* app = new TApplication();
    app->Title = "ズマロランチャー";
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string base = std::string(temp) + "zumaro-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(base.c_str(), nullptr);

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

    std::vector<std::string> paths = MakeFolder(base + "\\many", 1000);
    BareLoop(paths);  // the shell's icon cache is warm for both from here on
    std::vector<double> bare, launcher;
    for (int i = 0; i < 3; ++i) {
        bare.push_back(BareLoop(paths));
        launcher.push_back(Launcher(base + "\\many"));
    }
    double b = Median(bare), l = Median(launcher);
    std::printf("bare icon loop, 2000 icons:        %8.1f ms (median of 3)\n", b);
    std::printf("main window creation, 1000 entries: %8.1f ms (median of 3)\n", l);
    std::printf("ratio:                              %8.3f\n", l / b);

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

    for (auto [c, r] : {std::pair{3, 2}, std::pair{5, 5}}) {
        std::string folder = base + "\\grid" + std::to_string(c) + std::to_string(r);
        CreateDirectoryA(folder.c_str(), nullptr);
        WriteList(folder, paths, c * r, c * r, c, r);
        auto [median, worst] = HotKeyToPainted(folder);
        std::printf("hot key to painted, %d x %d grid: median %6.2f ms, worst %6.2f ms (of 50)\n", c, r, median, worst);
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
