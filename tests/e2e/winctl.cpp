// winctl: finds, reads and answers the launcher's windows from outside, for the end-to-end scripts.
//   winctl box [yes|no|ok|cancel] [seconds]  waits for a message box of the launcher, prints
//                                             "caption<TAB>text<TAB>buttons" and presses the button
//                                             (its icon cannot be read from another process under Wine:
//                                             the in-process tests check icons)
//   winctl wait CLASS [seconds]              waits for a visible window of that class, prints "x y w h"
//   winctl count CLASS                       prints how many windows of that class exist
//   winctl children CLASS                    prints "class x y w h visible|hidden enabled|disabled" for
//                                             each child window, in the parent's client coordinates
//   winctl client CLASS                      prints "w h" of the client area of the first window of that class
//   winctl controls CLASS                    prints "class x y w h visible|hidden enabled|disabled" for
//                                             each control the first window of that class draws without a
//                                             window of its own, as the program's toolkit tells them
//   winctl key CLASS VK                      posts a key press and release to the first window of that class
//   winctl close CLASS                       posts WM_CLOSE to the first window of that class
//   winctl endsession CLASS                  the end of the Windows session, as the system tells the first
//                                             window of that class: WM_QUERYENDSESSION, then WM_ENDSESSION;
//                                             prints the answer to the first ("1" lets the session end) and the
//                                             milliseconds the second took to return
//   winctl hung CLASS SECONDS                asks every half second for SECONDS whether the system counts the
//                                             first window of that class as not responding; prints "N of M"
//   winctl tip [seconds]                     waits for a visible tooltip of any program, prints the text
//                                             of the tool it shows (read in the tooltip's own process)
//   winctl accepts CLASS                     prints "yes" when the first window of that class takes
//                                             dropped files (WS_EX_ACCEPTFILES), else "no"
//   winctl list                              prints "class visible|hidden x y w h text" for each top-level window
//   winctl hotkey MODS VK                    prints "taken" when another program holds that hot key, else "free"
//   winctl other X Y SECONDS                 another program: a 200 x 100 window at X, Y that takes the
//                                             foreground and stays for SECONDS (clicks on it activate it)
//   winctl select CLASS ID INDEX             selects item INDEX of the drop-down list with that control ID
//                                             in the first window of that class
//   winctl rect CLASS ID                     prints "x y w h" of the control with that ID, in screen pixels
//   winctl press CLASS ID                    clicks the button with that control ID in that window
//   winctl text CLASS ID                     prints the text of the control with that ID in that window
//   winctl at X Y                            prints the windows under a screen point, top-level first, the
//                                             way a drop finds its target: "class id accepts|-" each
//   winctl screen                            prints the screen's width and height
//   winctl font FACE                         prints the face the system gives for a 12-pixel Shift-JIS font
//                                             of that name (GetTextFace) and "variable" or "fixed" pitch
//   winctl boxes N ANSWER [seconds]          answers N different message boxes as "box" does, one line
//                                             each; exit code 1 when fewer came in time
//   winctl lock FILE SECONDS                 another program holding FILE open, sharing nothing, for
//                                             SECONDS; prints "locked" once it holds it
//   winctl errtext CODE                      prints the system's text for an error code, as FormatMessage
//                                             gives it
//   winctl mutex NAME SECONDS                another user's instance: holds the named mutex NAME with a
//                                             security descriptor that lets nobody open it, for SECONDS;
//                                             prints "held", and "denied" or "open" for whether this
//                                             program itself may open it again
//   winctl menu [seconds]                    waits for a popup menu and prints, for each item as it is drawn
//                                             (separators are thinner), "x y enabled|grayed": the screen point
//                                             at its middle, and whether its text is black or greyed. (A menu
//                                             of another process cannot be read under Wine, only seen.)
//   winctl loadlib NAME                      loads a library by its bare name, as a program that does not
//                                             narrow the search would, and prints "loaded" or "failed"
//   winctl acc CLASS                         reads the first visible window of that class as a screen reader
//                                             does (MSAA): its client object's role and name, then one line
//                                             "ID<TAB>role<TAB>name<TAB>states" for each simple child
//   winctl accfocus CLASS SECONDS            prints "ready", then for SECONDS the name of the child that each
//                                             focus event of that window names, one a line, as it comes
//   winctl accdo CLASS ID                    the default action of the client object's child ID
// Texts are read wide and printed in Shift-JIS (code page 932), whatever the system's code page, CR as
// "\r"; arguments are read wide. Exit code 1 on a time-out.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <cstring>
#include <string>
#include <vector>

namespace {

// What the scripts read: Shift-JIS, as the program's own text is, on any system.
std::string Sjis(const wchar_t* wide) {
    int n = WideCharToMultiByte(932, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 1), '\0');
    WideCharToMultiByte(932, 0, wide, -1, out.data(), n, nullptr, nullptr);
    out.resize(std::strlen(out.c_str()));
    return out;
}

std::string ClassOf(HWND hwnd) {
    wchar_t cls[256] = {};
    GetClassNameW(hwnd, cls, 256);
    return Sjis(cls);
}

std::string TextOf(HWND hwnd) {
    wchar_t text[4096] = {};
    GetWindowTextW(hwnd, text, 4096);
    return Sjis(text);
}

struct TSearch {
    const char* cls;
    bool visibleOnly;
    HWND found = nullptr;
    int count = 0;
    int all = 0;  // top-level windows seen, of any class
};

// Said on standard error, which the scripts keep in their output: a window that a picture shows
// but winctl did not find has failed runs under load, and the count tells an empty list apart.
void NotFound(const TSearch& s) {
    std::fprintf(stderr, "winctl: no window of class %s among %d top-level windows\n", s.cls, s.all);
}

BOOL CALLBACK FindTop(HWND hwnd, LPARAM lParam) {
    auto* s = reinterpret_cast<TSearch*>(lParam);
    ++s->all;
    if (ClassOf(hwnd) == s->cls && (!s->visibleOnly || IsWindowVisible(hwnd))) {
        ++s->count;
        if (s->found == nullptr) s->found = hwnd;
    }
    return TRUE;
}

// The first top-level window of the class, shown or not; when there is none, says so.
HWND FindFirst(const char* cls) {
    TSearch s{cls, false};
    EnumWindows(FindTop, reinterpret_cast<LPARAM>(&s));
    if (s.found == nullptr) NotFound(s);
    return s.found;
}

HWND WaitFor(const char* cls, double seconds) {
    DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (;;) {
        TSearch s{cls, true};
        EnumWindows(FindTop, reinterpret_cast<LPARAM>(&s));
        if (s.found != nullptr) return s.found;
        if (static_cast<LONG>(GetTickCount() - end) > 0) return nullptr;
        Sleep(50);
    }
}

struct TParts {
    std::string text;
};

BOOL CALLBACK ReadChild(HWND child, LPARAM lParam) {
    auto* p = reinterpret_cast<TParts*>(lParam);
    if (_stricmp(ClassOf(child).c_str(), "Static") != 0) return TRUE;
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) return TRUE;
    if (p->text.empty()) p->text = TextOf(child);
    return TRUE;
}

std::string Escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

int Answer(HWND box, const char* answer) {
    Sleep(100);  // let it finish laying out its texts
    std::string caption = TextOf(box);
    TParts parts;
    EnumChildWindows(box, ReadChild, reinterpret_cast<LPARAM>(&parts));
    std::string buttons;
    struct {
        int id;
        const char* name;
    } ids[] = {{IDOK, "ok"}, {IDCANCEL, "cancel"}, {IDYES, "yes"}, {IDNO, "no"}};
    int press = 0;
    for (auto& b : ids) {
        HWND h = GetDlgItem(box, b.id);
        if (h == nullptr || !IsWindowVisible(h)) continue;
        if (!buttons.empty()) buttons += ",";
        buttons += b.name;
        if (answer != nullptr && std::strcmp(answer, b.name) == 0) press = b.id;
    }
    std::printf("%s\t%s\t%s\n", caption.c_str(), Escaped(parts.text).c_str(), buttons.c_str());
    std::fflush(stdout);
    if (answer != nullptr && press == 0) return 2;
    if (press != 0) PostMessageW(box, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, press)));
    return 0;
}

// A box of the launcher (of any copy of Zumaro.exe), not a dialog another program left on the
// screen: a console's settings, say, which a click meant for the panel once opened.
bool LaunchersBox(HWND hwnd) {
    if (ClassOf(hwnd) != "#32770" || !IsWindowVisible(hwnd)) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) return false;
    wchar_t image[MAX_PATH * 4] = {};
    DWORD size = MAX_PATH * 4;
    bool ok = QueryFullProcessImageNameW(process, 0, image, &size) != FALSE;
    CloseHandle(process);
    const wchar_t* name = wcsrchr(image, L'\\');
    return ok && lstrcmpiW(name != nullptr ? name + 1 : image, L"Zumaro.exe") == 0;
}

BOOL CALLBACK FindLaunchersBox(HWND hwnd, LPARAM lParam) {
    if (!LaunchersBox(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hwnd;
    return FALSE;
}

int Box(const char* answer, double seconds) {
    for (ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);; Sleep(50)) {
        HWND box = nullptr;
        EnumWindows(FindLaunchersBox, reinterpret_cast<LPARAM>(&box));
        if (box != nullptr) return Answer(box, answer);
        if (GetTickCount64() > end) return 1;
    }
}

struct TNewBox {
    const std::vector<HWND>* seen;
    HWND found = nullptr;
};

BOOL CALLBACK FindNewBox(HWND hwnd, LPARAM lParam) {
    auto* s = reinterpret_cast<TNewBox*>(lParam);
    if (!LaunchersBox(hwnd)) return TRUE;
    for (HWND h : *s->seen)
        if (h == hwnd) return TRUE;
    s->found = hwnd;
    return FALSE;
}

// Several boxes, each answered once: a box just answered may still be on screen for a moment.
int Boxes(int count, const char* answer, double seconds) {
    std::vector<HWND> seen;
    DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    while (static_cast<int>(seen.size()) < count) {
        TNewBox s{&seen};
        EnumWindows(FindNewBox, reinterpret_cast<LPARAM>(&s));
        if (s.found != nullptr) {
            seen.push_back(s.found);
            if (Answer(s.found, answer) != 0) return 2;
            continue;
        }
        if (static_cast<LONG>(GetTickCount() - end) > 0) return 1;
        Sleep(50);
    }
    return 0;
}

int Lock(const wchar_t* path, double seconds) {
    HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::printf("locked\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(seconds * 1000));
    CloseHandle(file);
    return 0;
}

int Mutex(const wchar_t* name, double seconds) {
    // A present but empty access list: nobody is granted anything, this program included.
    ACL acl;
    InitializeAcl(&acl, sizeof acl, ACL_REVISION);
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE);
    SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};
    HANDLE mutex = CreateMutexW(&sa, FALSE, name);
    if (mutex == nullptr) return 1;
    HANDLE again = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name);
    std::printf("held %s\n", again == nullptr ? "denied" : "open");
    std::fflush(stdout);
    if (again != nullptr) CloseHandle(again);
    Sleep(static_cast<DWORD>(seconds * 1000));
    CloseHandle(mutex);
    return 0;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    std::string cls = ClassOf(child);
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    std::printf("%s %ld %ld %ld %ld %s %s\n", cls.c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top,
                IsWindowVisible(child) ? "visible" : "hidden", IsWindowEnabled(child) ? "enabled" : "disabled");
    return TRUE;
}

// The text of the tool a tooltip shows. The tooltip keeps it in its own process, so the record
// and the text buffer are made there.
std::string ToolTipText(HWND tip) {
    DWORD pid = 0;
    GetWindowThreadProcessId(tip, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process == nullptr) return "";
    const SIZE_T textBytes = 1024 * sizeof(wchar_t);
    auto* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, sizeof(TTTOOLINFOW) + textBytes, MEM_COMMIT, PAGE_READWRITE));
    std::string result;
    if (remote != nullptr) {
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof info);
        WriteProcessMemory(process, remote, &info, sizeof info, nullptr);
        if (SendMessageW(tip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(remote))) {
            wchar_t text[1024] = {};
            ReadProcessMemory(process, remote + sizeof info, text, textBytes - sizeof(wchar_t), nullptr);
            result = Sjis(text);
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return result;
}

struct TFindId {
    int id;
    HWND found = nullptr;
};

BOOL CALLBACK FindId(HWND child, LPARAM lParam) {
    auto* f = reinterpret_cast<TFindId*>(lParam);
    if (GetDlgCtrlID(child) != f->id) return TRUE;
    f->found = child;
    return FALSE;
}

std::string g_copied;

LRESULT CALLBACK ReplyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        g_copied.assign(static_cast<const char*>(data->lpData), data->cbData);
        return TRUE;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The program's toolkit answers a registered message with the list of its graphic controls,
// sent back as WM_COPYDATA to a window of ours while we wait for its reply.
int Controls(HWND form) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ReplyProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZumaroWinctlReply";
    RegisterClassW(&wc);
    HWND reply = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    DWORD_PTR answered = 0;
    UINT message = RegisterWindowMessageW(L"ZumaroListControls");
    LRESULT ok = SendMessageTimeoutW(form, message, reinterpret_cast<WPARAM>(reply), 0, SMTO_NORMAL, 10000, &answered);
    DestroyWindow(reply);
    if (ok == 0 || answered == 0) return 1;
    std::printf("%s", g_copied.c_str());
    return 0;
}

LRESULT CALLBACK OtherProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_LBUTTONDOWN) SetForegroundWindow(hwnd);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Stands for another program: its own window, in the foreground, for a while.
int Other(int x, int y, double seconds) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = OtherProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"ZumaroOtherProgram";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"other", WS_POPUP | WS_BORDER | WS_VISIBLE, x, y, 200, 100,
                                nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(hwnd);
    DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    MSG msg;
    while (static_cast<LONG>(GetTickCount() - end) < 0) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return 0;
}

BOOL CALLBACK PrintTop(HWND hwnd, LPARAM) {
    std::string cls = ClassOf(hwnd), text = TextOf(hwnd);
    RECT r;
    GetWindowRect(hwnd, &r);
    std::printf("%s %s %ld %ld %ld %ld %s\n", cls.c_str(), IsWindowVisible(hwnd) ? "visible" : "hidden", r.left, r.top,
                r.right - r.left, r.bottom - r.top, Escaped(text).c_str());
    return TRUE;
}

}  // namespace

int Menu(double seconds) {
    HWND menu = WaitFor("#32768", seconds);
    if (menu == nullptr) return 1;
    Sleep(300);  // drawn by now
    RECT r;
    GetWindowRect(menu, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    auto* px = static_cast<const DWORD*>(bits);
    // The menu's ground: the commonest colour of the margin left of the texts.
    std::map<DWORD, int> margin;
    for (int y = 0; y < h; ++y) ++margin[px[y * w + 4] & 0xFFFFFF];
    DWORD ground = std::max_element(margin.begin(), margin.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    auto band = [&](int y, bool& black) {
        bool ink = false;
        for (int x = 4; x < w - 4; ++x) {
            DWORD c = px[y * w + x] & 0xFFFFFF;
            ink = ink || c != ground;
            black = black || c == 0;
        }
        return ink;
    };
    for (int y = 3; y < h - 3;) {
        bool black = false;
        if (!band(y, black)) {
            ++y;
            continue;
        }
        int top = y;
        while (y < h - 3 && band(y, black)) ++y;
        if (y - top > 4) std::printf("%ld %ld %s\n", r.left + w / 2, r.top + (top + y) / 2, black ? "enabled" : "grayed");
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return 0;
}

// ---- as a screen reader reads the program ----

std::string Bstr(BSTR b) {
    std::string out = b != nullptr ? Sjis(b) : "";
    SysFreeString(b);
    return out;
}

std::string RoleName(const VARIANT& role) {
    if (role.vt != VT_I4) return "?";
    switch (role.lVal) {
        case ROLE_SYSTEM_PUSHBUTTON: return "pushbutton";
        case ROLE_SYSTEM_GRAPHIC: return "graphic";
        case ROLE_SYSTEM_STATICTEXT: return "statictext";
        case ROLE_SYSTEM_TOOLTIP: return "tooltip";
        case ROLE_SYSTEM_CLIENT: return "client";
        default: return "role" + std::to_string(role.lVal);
    }
}

std::string StateNames(const VARIANT& state) {
    if (state.vt != VT_I4) return "?";
    std::string out;
    const std::pair<long, const char*> names[] = {{STATE_SYSTEM_UNAVAILABLE, "unavailable"},
                                                  {STATE_SYSTEM_FOCUSED, "focused"},
                                                  {STATE_SYSTEM_FOCUSABLE, "focusable"},
                                                  {STATE_SYSTEM_INVISIBLE, "invisible"}};
    for (const auto& [flag, name] : names)
        if (state.lVal & flag) out += (out.empty() ? "" : ",") + std::string(name);
    return out.empty() ? "-" : out;
}

VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

IAccessible* ClientObject(HWND window) {
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&acc))))
        return nullptr;
    return acc;
}

int ReadAccessible(HWND window) {
    IAccessible* acc = ClientObject(window);
    if (acc == nullptr) return 1;
    VARIANT role, state;
    BSTR name = nullptr;
    acc->get_accRole(Child(CHILDID_SELF), &role);
    acc->get_accName(Child(CHILDID_SELF), &name);
    std::printf("%s\t%s\n", RoleName(role).c_str(), Escaped(Bstr(name)).c_str());
    long count = 0;
    acc->get_accChildCount(&count);
    for (long id = 1; id <= count; ++id) {
        IDispatch* windowed = nullptr;
        if (acc->get_accChild(Child(id), &windowed) == S_OK && windowed != nullptr) {
            windowed->Release();  // a child window: the system's object tells of it
            continue;
        }
        name = nullptr;
        acc->get_accName(Child(id), &name);
        acc->get_accRole(Child(id), &role);
        acc->get_accState(Child(id), &state);
        std::printf("%ld\t%s\t%s\t%s\n", id, RoleName(role).c_str(), Escaped(Bstr(name)).c_str(),
                    StateNames(state).c_str());
    }
    acc->Release();
    return 0;
}

HWND focusWindow = nullptr;

void CALLBACK FocusEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (hwnd != focusWindow) return;
    IAccessible* acc = nullptr;
    VARIANT which;
    VariantInit(&which);
    if (FAILED(AccessibleObjectFromEvent(hwnd, static_cast<DWORD>(object), static_cast<DWORD>(child), &acc, &which)))
        return;
    BSTR name = nullptr;
    acc->get_accName(which, &name);
    acc->Release();
    std::printf("%s\n", Escaped(Bstr(name)).c_str());
    std::fflush(stdout);
}

int WatchFocus(HWND window, double seconds) {
    focusWindow = window;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, FocusEvent, process, 0,
                                         WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr) return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    for (ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000); GetTickCount64() < end;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    UnhookWinEvent(hook);
    return 0;
}

int main() {
    // The arguments as the system holds them, wide: a name outside the system's code page stays whole.
    int argc = 0;
    wchar_t** wargv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(Sjis(wargv[i]));
    std::vector<const char*> pointers;
    for (const std::string& a : args) pointers.push_back(a.c_str());
    const char* const* argv = pointers.data();
    // Places and sizes in the screen's own pixels at any DPI, as the launcher sees them, not scaled
    // back to 96 dpi as the system would for a program unaware of DPI.
    SetProcessDPIAware();
    if (argc < 2) return 2;
    std::string cmd = argv[1];
    if (cmd == "box") {
        const char* answer = argc > 2 ? argv[2] : nullptr;
        return Box(answer, argc > 3 ? std::atof(argv[3]) : 20);
    }
    if (cmd == "list") {
        EnumWindows(PrintTop, 0);
        return 0;
    }
    if (cmd == "tip") {
        HWND h = WaitFor("tooltips_class32", argc > 2 ? std::atof(argv[2]) : 20);
        if (h == nullptr) return 1;
        std::printf("%s\n", Escaped(ToolTipText(h)).c_str());
        return 0;
    }
    if (cmd == "hotkey" && argc > 3) {
        UINT mods = static_cast<UINT>(std::atoi(argv[2])), vk = static_cast<UINT>(std::atoi(argv[3]));
        bool free = RegisterHotKey(nullptr, 1, mods, vk) != FALSE;
        if (free) UnregisterHotKey(nullptr, 1);
        std::printf("%s\n", free ? "free" : "taken");
        return 0;
    }
    if (cmd == "other" && argc > 4) return Other(std::atoi(argv[2]), std::atoi(argv[3]), std::atof(argv[4]));
    if (cmd == "at" && argc > 3) {
        POINT p{std::atoi(argv[2]), std::atoi(argv[3])};
        HWND h = GetAncestor(WindowFromPoint(p), GA_ROOT);
        while (h != nullptr) {
            std::printf("%s %d %s\n", ClassOf(h).c_str(), GetDlgCtrlID(h), (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) ? "accepts" : "-");
            POINT c = p;
            ScreenToClient(h, &c);
            HWND child = ChildWindowFromPointEx(h, c, CWP_SKIPDISABLED | CWP_SKIPINVISIBLE);
            h = child != h ? child : nullptr;
        }
        return 0;
    }
    if (cmd == "boxes" && argc > 3) return Boxes(std::atoi(argv[2]), argv[3], argc > 4 ? std::atof(argv[4]) : 20);
    if (cmd == "lock" && argc > 3) return Lock(wargv[2], std::atof(argv[3]));
    if (cmd == "mutex" && argc > 3) return Mutex(wargv[2], std::atof(argv[3]));
    if (cmd == "errtext" && argc > 2) {
        wchar_t* buffer = nullptr;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(std::atoi(argv[2])), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        std::string text = buffer != nullptr ? Sjis(buffer) : "";
        LocalFree(buffer);
        while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
        std::printf("%s\n", Escaped(text).c_str());
        return 0;
    }
    if (cmd == "menu") return Menu(argc > 2 ? std::atof(argv[2]) : 20);
    if (cmd == "loadlib" && argc > 2) {
        std::printf("%s\n", LoadLibraryW(wargv[2]) != nullptr ? "loaded" : "failed");
        return 0;
    }
    if (cmd == "font" && argc > 2) {
        HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, wargv[2]);
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        wchar_t face[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, face);
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        DeleteObject(font);
        // The flag's name says the opposite of what it means: set for a variable pitch.
        std::printf("%s %s\n", Sjis(face).c_str(), (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) ? "variable" : "fixed");
        return 0;
    }
    if (cmd == "screen") {
        std::printf("%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return 0;
    }
    if (argc < 3) return 2;
    const char* cls = argv[2];
    if (cmd == "wait") {
        HWND h = WaitFor(cls, argc > 3 ? std::atof(argv[3]) : 20);
        if (h == nullptr) return 1;
        RECT r;
        GetWindowRect(h, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (cmd == "count") {
        TSearch s{cls, false};
        EnumWindows(FindTop, reinterpret_cast<LPARAM>(&s));
        std::printf("%d\n", s.count);
        return 0;
    }
    if (cmd == "children") {
        HWND h = FindFirst(cls);
        if (h == nullptr) return 1;
        EnumChildWindows(h, PrintChild, 0);
        return 0;
    }
    if (cmd == "client") {
        HWND h = FindFirst(cls);
        if (h == nullptr) return 1;
        RECT r;
        GetClientRect(h, &r);
        std::printf("%ld %ld\n", r.right, r.bottom);
        return 0;
    }
    if (cmd == "controls") {
        HWND h = FindFirst(cls);
        if (h == nullptr) return 1;
        return Controls(h);
    }
    if (cmd == "key" && argc > 3) {
        HWND h = FindFirst(cls);
        if (h == nullptr) return 1;
        PostMessageW(h, WM_KEYDOWN, static_cast<WPARAM>(std::atoi(argv[3])), 0);
        PostMessageW(h, WM_KEYUP, static_cast<WPARAM>(std::atoi(argv[3])), 0);
        return 0;
    }
    if (cmd == "accepts") {
        HWND h = FindFirst(cls);
        if (h == nullptr) return 1;
        std::printf("%s\n", (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) ? "yes" : "no");
        return 0;
    }
    if ((cmd == "select" && argc > 4) || ((cmd == "press" || cmd == "rect" || cmd == "text") && argc > 3)) {
        HWND h = FindFirst(cls);
        if (h == nullptr) return 1;
        TFindId find{std::atoi(argv[3])};
        EnumChildWindows(h, FindId, reinterpret_cast<LPARAM>(&find));
        if (find.found == nullptr) return 1;
        if (cmd == "text") {
            std::printf("%s\n", Escaped(TextOf(find.found)).c_str());
        } else if (cmd == "rect") {
            RECT r;
            GetWindowRect(find.found, &r);
            std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        } else if (cmd == "select") {
            // What the user's choice does: the selection, then the parent told of it.
            SendMessageW(find.found, CB_SETCURSEL, static_cast<WPARAM>(std::atoi(argv[4])), 0);
            SendMessageW(GetParent(find.found), WM_COMMAND, MAKEWPARAM(find.id, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(find.found));
        } else {
            PostMessageW(find.found, BM_CLICK, 0, 0);
        }
        return 0;
    }
    if (cmd == "endsession") {
        HWND h = FindFirst(cls);
        if (h == nullptr) return 1;
        DWORD_PTR agreed = 0, done = 0;
        SendMessageTimeoutW(h, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_NORMAL, 5000, &agreed);
        ULONGLONG start = GetTickCount64();
        SendMessageTimeoutW(h, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_NORMAL, 30000, &done);
        std::printf("%d %llu\n", static_cast<int>(agreed), GetTickCount64() - start);
        return 0;
    }
    if (cmd == "hung" && argc > 3) {
        HWND h = FindFirst(cls);
        if (h == nullptr) return 1;
        int hung = 0, asked = 0;
        for (ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(std::atof(argv[3]) * 1000);
             GetTickCount64() < end; Sleep(500), ++asked)
            if (IsHungAppWindow(h)) ++hung;
        std::printf("%d of %d\n", hung, asked);
        return 0;
    }
    if ((cmd == "acc" && argc > 2) || (cmd == "accfocus" && argc > 3) || (cmd == "accdo" && argc > 3)) {
        HWND window = WaitFor(cls, 10);
        if (window == nullptr) return 1;
        CoInitialize(nullptr);
        if (cmd == "acc") return ReadAccessible(window);
        if (cmd == "accfocus") return WatchFocus(window, std::atof(argv[3]));
        IAccessible* acc = ClientObject(window);
        if (acc == nullptr) return 1;
        HRESULT done = acc->accDoDefaultAction(Child(std::atol(argv[3])));
        acc->Release();
        return SUCCEEDED(done) ? 0 : 1;
    }
    if (cmd == "close") {
        HWND h = FindFirst(cls);
        if (h == nullptr) return 1;
        PostMessageW(h, WM_CLOSE, 0, 0);
        return 0;
    }
    return 2;
}
