#include "toolkit/WinBind.h"

#include <unordered_map>

#include "toolkit/Forms.h"

namespace {

// Windows we create carry their object under one atom; windows we subclass carry the hook's
// object under another, so a hook on one of our own windows reaches both in turn.
ATOM TargetAtom() {
    static ATOM atom = GlobalAddAtomA("ZumaroTarget");
    return atom;
}

ATOM HookAtom() {
    static ATOM atom = GlobalAddAtomA("ZumaroHook");
    return atom;
}

// The procedure a hook replaced: messages still reach it when the hook's object has let go
// while someone who subclassed after us keeps calling our entry.
ATOM FormerAtom() {
    static ATOM atom = GlobalAddAtomA("ZumaroHookFormer");
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
    auto* target = reinterpret_cast<IMessageTarget*>(GetPropA(hwnd, MAKEINTATOM(atom)));
    if (target != nullptr) kept[hwnd] = target;
    return target;
}

void Bind(HWND hwnd, IMessageTarget* target) {
    SetPropA(hwnd, MAKEINTATOM(TargetAtom()), reinterpret_cast<HANDLE>(target));
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
        RemovePropA(hwnd, MAKEINTATOM(atom));
        if (atom == HookAtom()) RemovePropA(hwnd, MAKEINTATOM(FormerAtom()));
        target->WindowDestroyed(hwnd);
    }
    return result;
}

LRESULT CALLBACK HookWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    IMessageTarget* target = Lookup(t_hooks, HookAtom(), hwnd);
    if (target == nullptr) {
        auto former = reinterpret_cast<WNDPROC>(GetPropA(hwnd, MAKEINTATOM(FormerAtom())));
        if (former != nullptr) return CallWindowProcA(former, hwnd, msg, wParam, lParam);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
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
    if (target == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
    return Dispatch(target, TargetAtom(), hwnd, msg, wParam, lParam);
}

void RegisterBoundClass(const char* className, UINT style, HBRUSH background) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, className, &existing)) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = BoundWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = background;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    wc.lpszClassName = className;
    if (!RegisterClassExA(&wc)) throw Exception(std::string("Cannot register window class ") + className);
}

HWND CreateBoundWindow(IMessageTarget* target, const char* className, DWORD exStyle, DWORD style, int x, int y,
                       int width, int height, HWND parent, HMENU menu) {
    IMessageTarget* previous = t_creating;
    t_creating = target;
    HWND hwnd = CreateWindowExA(exStyle, className, "", style, x, y, width, height, parent, menu,
                                GetModuleHandleA(nullptr), nullptr);
    t_creating = previous;
    return hwnd;
}

IMessageTarget* BoundTarget(HWND hwnd) {
    return reinterpret_cast<IMessageTarget*>(GetPropA(hwnd, MAKEINTATOM(TargetAtom())));  // any thread's
}

WNDPROC SubclassBound(HWND hwnd, IMessageTarget* target) {
    SetPropA(hwnd, MAKEINTATOM(HookAtom()), reinterpret_cast<HANDLE>(target));
    t_hooks[hwnd] = target;
    auto former = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    SetPropA(hwnd, MAKEINTATOM(FormerAtom()), reinterpret_cast<HANDLE>(former));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookWindowProc));
    return former;
}

void UnsubclassBound(HWND hwnd, WNDPROC former) {
    if (!IsWindow(hwnd)) return;
    // The object lets go either way; the former procedure stays reachable through our entry.
    RemovePropA(hwnd, MAKEINTATOM(HookAtom()));
    t_hooks.erase(hwnd);
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) == &HookWindowProc) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(former));
        RemovePropA(hwnd, MAKEINTATOM(FormerAtom()));
    }
}
