// Driving the real modal dialogs from inside their own loops: steps run one a tick from a thread
// timer, which every modal loop of the thread dispatches (the dialogs', the open-file dialog's).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Forms.h"

class TDialogScript {
public:
    // A step returns false to be tried again on the next tick (waiting for a window to appear).
    using TStep = std::function<bool()>;
    explicit TDialogScript(std::vector<TStep> steps);
    ~TDialogScript();
    TDialogScript(const TDialogScript&) = delete;
    TDialogScript& operator=(const TDialogScript&) = delete;
    // All steps ran.
    bool Finished() const { return next_ >= steps_.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Run();
    std::vector<TStep> steps_;
    size_t next_ = 0;
    int waited_ = 0;
    UINT_PTR timer_ = 0;
    TDialogScript* previous_ = nullptr;
};

// A step that always completes.
TDialogScript::TStep Do(std::function<void()> action);
// A step that lets the loop run for about ms milliseconds (paint, settle).
TDialogScript::TStep Pause(int ms);
// A step that saves a picture of the window (once the loop has let it be drawn).
TDialogScript::TStep Shot(TWinControl* window, const std::string& name);
// A step that waits until the form is up (visible and the active modal one).
TDialogScript::TStep WaitShown(TForm* form);

// A visible window of this thread of the class, or none.
HWND FindThreadWindow(const char* className);
// Presses a button as a click does.
void Press(HWND button);
// A key pressed and released on the focused window, through the modal loop's queue.
void PostKey(HWND target, UINT key);
// Clicks the tab of a page control at index, with the mouse.
void ClickTab(HWND tabControl, int index);
// A shell drop of the paths on the window at the point (client coordinates), as the shell
// hands it over.
void DropFiles(HWND target, const std::vector<std::string>& paths, POINT point);
void DropFiles(HWND target, const std::vector<std::wstring>& paths, POINT point);
// Writes what the screen shows of the window into build/<tree>/screenshots/<name>.png.
std::string SaveWindowShot(HWND hwnd, const std::string& name);

// Tells the window it now stands on a monitor of toDpi, as the system does, suggesting its own
// rectangle grown (or shrunk) from its top-left corner by toDpi / fromDpi. Returns that rectangle.
RECT SendDpiChanged(HWND window, int fromDpi, int toDpi);

// A control as the screen has it: its place in its parent's client area and its font's height. An
// etched line's place is its client area's, which the layout gives: the system sets the edge round it.
struct TControlPlace {
    std::string Name;  // its class and text
    RECT Place;
    int FontHeight;  // 0 without a font of its own
    bool OwnHeight;  // a drop-down list's height is its font's, not the layout's
};
// Every control of the window, those on its pages too, in the system's order.
std::vector<TControlPlace> LayoutOf(HWND window);
// That a layout at dpi is the one at 96 dpi scaled, control by control: each length and font within
// the rounding of both, exactly the same at 96; heights of their own left out.
void ExpectLayoutAtDpi(const std::vector<TControlPlace>& at96, const std::vector<TControlPlace>& layout, int dpi);
// The window's own controls (not their children) reaching out of its client area, by their texts.
std::string ControlsOutside(HWND window);
