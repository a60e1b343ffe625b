#include "toolkit/WinBind.h"

#include <unordered_map>

#include "toolkit/Forms.h"
#include "toolkit/WideText.h"

namespace {

// Windows we create carry their object under one atom; windows we subclass carry the hook's
// object under another, so a hook on one of our own windows reaches both in turn.
ATOM TargetAtom() {
    static ATOM atom = GlobalAddAtomW(L"ZumaroTarget");
    return atom;
}

ATOM HookAtom() {
    static ATOM atom = GlobalAddAtomW(L"ZumaroHook");
    return atom;
}

// The procedure a hook replaced: messages still reach it when the hook's object has let go
// while someone who subclassed after us keeps calling our entry.
ATOM FormerAtom() {
    static ATOM atom = GlobalAddAtomW(L"ZumaroHookFormer");
    return atom;
}

// The object whose window is being created: messages before WM_NCCREATE's return go to it.
thread_local IMessageTarget* t_creating = nullptr;

// The properties are kept by the window server (under Wine a round trip each), and every message
// asks for its window's object: the thread that handles a window's messages keeps its bindings
// at hand too, in step with the properties.
thread_local std::unordered_map<HWND, IMessageTarget*> t_targets, t_hooks;

IMessageTarget* Lookup(std::unordered_map<HWND, IMessageTarget*>& kept, ATOM atom, HWND hwnd) {
    if (auto found = kept.find(hwnd); found != kept.end()) return found->second;
    auto* target = reinterpret_cast<IMessageTarget*>(GetPropW(hwnd, MAKEINTATOM(atom)));
    if (target != nullptr) kept[hwnd] = target;
    return target;
}

void Bind(HWND hwnd, IMessageTarget* target) {
    SetPropW(hwnd, MAKEINTATOM(TargetAtom()), reinterpret_cast<HANDLE>(target));
    t_targets[hwnd] = target;
}

LRESULT Dispatch(IMessageTarget* target, ATOM atom, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    try {
        result = target->HandleMessage(hwnd, msg, wParam, lParam);
    } catch (const std::exception& e) {
        if (Application != nullptr) Application->HandleException(e);
    } catch (...) {
        if (Application != nullptr) Application->HandleException(Exception("Unknown error"));
    }
    if (msg == WM_NCDESTROY) {
        if (atom == TargetAtom()) --LiveWindows;
        (atom == TargetAtom() ? t_targets : t_hooks).erase(hwnd);
        RemovePropW(hwnd, MAKEINTATOM(atom));
        if (atom == HookAtom()) RemovePropW(hwnd, MAKEINTATOM(FormerAtom()));
        target->WindowDestroyed(hwnd);
    }
    return result;
}

LRESULT CALLBACK HookWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    IMessageTarget* target = Lookup(t_hooks, HookAtom(), hwnd);
    if (target == nullptr) {
        auto former = reinterpret_cast<WNDPROC>(GetPropW(hwnd, MAKEINTATOM(FormerAtom())));
        if (former != nullptr) return CallWindowProcW(former, hwnd, msg, wParam, lParam);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return Dispatch(target, HookAtom(), hwnd, msg, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK BoundWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    IMessageTarget* target = Lookup(t_targets, TargetAtom(), hwnd);
    if (target == nullptr && t_creating != nullptr) {
        target = t_creating;
        t_creating = nullptr;
        Bind(hwnd, target);
        ++LiveWindows;
    }
    if (target == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return Dispatch(target, TargetAtom(), hwnd, msg, wParam, lParam);
}

void RegisterBoundClass(const char* className, UINT style, HBRUSH background) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    std::wstring name = SjisToWide(className);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, name.c_str(), &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = BoundWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = background;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.lpszClassName = name.c_str();
    if (!RegisterClassExW(&wc)) throw Exception(std::string("Cannot register window class ") + className);
}

HWND CreateBoundWindow(IMessageTarget* target, const char* className, DWORD exStyle, DWORD style, int x, int y,
                       int width, int height, HWND parent, HMENU menu) {
    IMessageTarget* previous = t_creating;
    t_creating = target;
    HWND hwnd = CreateWindowExW(exStyle, SjisToWide(className).c_str(), L"", style, x, y, width, height, parent, menu,
                                GetModuleHandleW(nullptr), nullptr);
    t_creating = previous;
    return hwnd;
}

IMessageTarget* BoundTarget(HWND hwnd) {
    return reinterpret_cast<IMessageTarget*>(GetPropW(hwnd, MAKEINTATOM(TargetAtom())));  // any thread's
}

WNDPROC SubclassBound(HWND hwnd, IMessageTarget* target) {
    SetPropW(hwnd, MAKEINTATOM(HookAtom()), reinterpret_cast<HANDLE>(target));
    t_hooks[hwnd] = target;
    auto former = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    SetPropW(hwnd, MAKEINTATOM(FormerAtom()), reinterpret_cast<HANDLE>(former));
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookWindowProc));
    return former;
}

void UnsubclassBound(HWND hwnd, WNDPROC former) {
    if (!IsWindow(hwnd)) return;
    // The object lets go either way; the former procedure stays reachable through our entry.
    RemovePropW(hwnd, MAKEINTATOM(HookAtom()));
    t_hooks.erase(hwnd);
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == &HookWindowProc) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(former));
        RemovePropW(hwnd, MAKEINTATOM(FormerAtom()));
    }
}

TChangeMessageFilter ChangeMessageFilter = &ChangeWindowMessageFilterEx;

void AllowFromOtherPrograms(HWND window, UINT message) {
    if (window != nullptr) ChangeMessageFilter(window, message, MSGFLT_ALLOW, nullptr);
}
