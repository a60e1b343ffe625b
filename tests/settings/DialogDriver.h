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

// A form's move to a monitor of another DPI and back to 96, as the system tells of them: its controls
// before, there and back, and the rectangle the system suggested there against the one it took.
struct TControlPlace {
    std::string Name;  // its class and text
    RECT Place;        // in its parent's client area
    int FontHeight;    // 0 without a font of its own
    bool OwnHeight;    // a drop-down list's height is its font's, not the layout's
};
struct TDpiTrip {
    std::vector<TControlPlace> At96, There, Back;
    RECT Suggested{}, Taken{};
};
// The step that makes the trip, from the screen's corner. While there, once the form has been drawn,
// its picture is saved as shot and there() runs.
TDialogScript::TStep DpiTrip(std::function<HWND()> window, int dpi, TDpiTrip& trip, const std::string& shot,
                             std::function<void()> there = {});
// That the form took the suggested rectangle; that there each control's place and font were its 96-dpi
// ones scaled, within the rounding of both (heights of their own left out); and that it came back
// exactly as it was.
void ExpectDpiTrip(const TDpiTrip& trip, int dpi);
