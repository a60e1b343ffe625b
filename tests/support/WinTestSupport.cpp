#include "support/WinTestSupport.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <stdexcept>

#include "toolkit/Forms.h"

namespace {

TBoxAnswerer* g_answerer = nullptr;

struct TFound {
    HWND box = nullptr;
};

BOOL CALLBACK FindBox(HWND hwnd, LPARAM lParam) {
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(hwnd)) {
        reinterpret_cast<TFound*>(lParam)->box = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct TBoxParts {
    std::string text;
    HICON icon = nullptr;
};

BOOL CALLBACK ReadPart(HWND child, LPARAM lParam) {
    auto* parts = reinterpret_cast<TBoxParts*>(lParam);
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (_stricmp(cls, "Static") != 0) return TRUE;
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
        parts->icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    } else {
        std::string text = WindowText(child);
        if (!text.empty() && parts->text.empty()) parts->text = text;
    }
    return TRUE;
}

std::string IconName(HICON icon) {
    if (icon == nullptr) return "";
    if (icon == LoadIconA(nullptr, MAKEINTRESOURCEA(32513))) return "stop";
    if (icon == LoadIconA(nullptr, MAKEINTRESOURCEA(32515))) return "exclamation";
    if (icon == LoadIconA(nullptr, MAKEINTRESOURCEA(32516))) return "information";
    if (icon == LoadIconA(nullptr, MAKEINTRESOURCEA(32514))) return "question";
    return "other";
}

}  // namespace

TBoxAnswerer::TBoxAnswerer(std::vector<int> answers) : answers_(std::move(answers)), previous_(g_answerer) {
    g_answerer = this;
    timer_ = SetTimer(nullptr, 0, 30, &TBoxAnswerer::Tick);
}

TBoxAnswerer::~TBoxAnswerer() {
    KillTimer(nullptr, timer_);
    g_answerer = previous_;
}

void CALLBACK TBoxAnswerer::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_answerer == nullptr) return;
    TFound found;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&found));
    if (found.box != nullptr) g_answerer->Answer(found.box);
}

void TBoxAnswerer::Answer(HWND box) {
    // A box already answered may still be visible until its loop sees the command.
    if (GetPropA(box, "ZumaroAnswered") != nullptr) return;
    SetPropA(box, "ZumaroAnswered", reinterpret_cast<HANDLE>(1));
    TBoxSeen seen;
    seen.Caption = WindowText(box);
    TBoxParts parts;
    EnumChildWindows(box, ReadPart, reinterpret_cast<LPARAM>(&parts));
    seen.Text = parts.text;
    seen.Icon = IconName(parts.icon);
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO})
        if (GetDlgItem(box, id) != nullptr && IsWindowVisible(GetDlgItem(box, id))) seen.Buttons.push_back(id);
    seen.Owner = GetWindow(box, GW_OWNER);
    seen.Answer = next_ < answers_.size() ? answers_[next_++] : IDOK;
    Seen.push_back(seen);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(seen.Answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, seen.Answer)));
}

TTempFolder::TTempFolder(const std::string& name) {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    for (;;) {
        path_ = WideToSjis(base) + name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter) + "\\";
        if (CreateDirectoryW(SjisToWide(path_).c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create " + path_);
    }
}

TTempFolder::~TTempFolder() {
    std::wstring from = SjisToWide(path_.substr(0, path_.size() - 1));
    from.push_back(L'\0');  // the list ends with two NULs
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&op);
}

namespace {

template <typename String>
HGLOBAL MakeDrop(const std::vector<String>& paths, int x, int y) {
    String list;
    for (const String& p : paths) list += p + typename String::value_type(0);
    list += typename String::value_type(0);
    size_t bytes = list.size() * sizeof(typename String::value_type);
    HGLOBAL block = GlobalAlloc(GHND | GMEM_SHARE, sizeof(DROPFILES) + bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = {x, y};
    drop->fNC = FALSE;
    drop->fWide = sizeof(typename String::value_type) == sizeof(wchar_t);
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), bytes);
    GlobalUnlock(block);
    return block;
}

}  // namespace

HGLOBAL MakeDropFiles(const std::vector<std::string>& paths, int x, int y) {
    // The program's paths as a sender of ANSI drops writes them: in the system's code page.
    std::vector<std::string> ansi;
    for (const std::string& p : paths) {
        std::wstring wide = SjisToWide(p);
        int units = static_cast<int>(wide.size());
        int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.data(), units, bytes.data(), n, nullptr, nullptr);
        ansi.push_back(bytes);
    }
    return MakeDrop(ansi, x, y);
}

HGLOBAL MakeDropFiles(const std::vector<std::wstring>& paths, int x, int y) { return MakeDrop(paths, x, y); }

std::wstring WidePath(const std::string& ansi) { return SjisToWide(ansi); }

bool MakeWideFile(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE h =
        CreateFileW(SjisToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
    DWORD wrote = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
    CloseHandle(h);
}

std::string ReadFileBytes(const std::string& path) {
    HANDLE h = CreateFileW(SjisToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes(GetFileSize(h, nullptr), '\0');
    DWORD got = 0;
    ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(h);
    bytes.resize(got);
    return bytes;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(SjisToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return WideToSjis(text);
}

bool SetText(HWND hwnd, const std::string& text) { return SetWindowTextW(hwnd, SjisToWide(text).c_str()); }

HWND FindChild(HWND parent, const std::string& text) {
    return FindWindowExW(parent, nullptr, nullptr, SjisToWide(text).c_str());
}
