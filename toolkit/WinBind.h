// The one window-procedure entry: every window of the program, and every window a component
// subclasses, reaches its object through here, and no C++ exception leaves it.
#pragma once

#include <windows.h>

class IMessageTarget {
public:
    virtual LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    // The window is gone (WM_NCDESTROY has been handled); the binding is already removed.
    virtual void WindowDestroyed(HWND) {}

protected:
    ~IMessageTarget() = default;
};

// How many windows of bound classes exist right now: the toolkit's own count of the USER objects
// it holds, as LiveGdiObjects is of the GDI ones.
inline int LiveWindows = 0;

LRESULT CALLBACK BoundWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Registers (once) a window class of the given name whose procedure is the bound entry.
void RegisterBoundClass(const char* className, UINT style = CS_DBLCLKS, HBRUSH background = nullptr);

// Creates a window of a bound class; its messages, from the very first, go to target.
HWND CreateBoundWindow(IMessageTarget* target, const char* className, DWORD exStyle, DWORD style, int x, int y,
                       int width, int height, HWND parent, HMENU menu = nullptr);

IMessageTarget* BoundTarget(HWND hwnd);

// Subclassing (one hook per window): routes an existing window's messages to target and returns its former procedure,
// which the target calls for everything it does not handle itself.
WNDPROC SubclassBound(HWND hwnd, IMessageTarget* target);
// Gives the window its former procedure back, but only while the bound entry is still its
// procedure (someone who subclassed it after us keeps their hook).
void UnsubclassBound(HWND hwnd, WNDPROC former);

// A program run as administrator hears nothing from ordinary ones but what it lets through: a drop
// from the file manager, the shell's TaskbarCreated. Every call goes through the pointer, so tests
// can watch them.
using TChangeMessageFilter = BOOL(WINAPI*)(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT info);
extern TChangeMessageFilter ChangeMessageFilter;
void AllowFromOtherPrograms(HWND window, UINT message);
