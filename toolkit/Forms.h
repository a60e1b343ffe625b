// Windowed controls, forms and the application object.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Accessible.h"
#include "toolkit/Classes.h"
#include "toolkit/DialogTemplate.h"
#include "toolkit/Dpi.h"
#include "toolkit/Graphics.h"
#include "toolkit/WideText.h"
#include "toolkit/WinBind.h"

class TGraphicControl;
class TPopupMenu;
class TSysControl;

// Posted to a form to destroy it once the messages before it are handled.
constexpr UINT CM_RELEASE = WM_APP + 0x100;
// Sent to every child window of a form whose window was enabled (wParam TRUE) or disabled: a
// control's drop target hears so that its dialog is under another one.
constexpr UINT CM_ROOTENABLED = WM_APP + 0x101;
// Posted to a form to do a graphic control's default action (lParam) that a screen reader asked for.
constexpr UINT CM_ACCESSIBLEACTION = WM_APP + 0x102;
// A control's notification (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_HSCROLL, WM_CTLCOLOR...) sent
// back from its parent to the control itself, as CN_BASE plus the message.
constexpr UINT CN_BASE = WM_APP + 0x200;
// The window property under which a top-level window keeps its one tooltip control.
constexpr wchar_t kToolTipProp[] = L"ZumaroToolTip";
// Asks a form from another program what it draws without windows: it sends the lines
// "class x y w h visible|hidden enabled|disabled" of its graphic controls back as WM_COPYDATA
// to the window in wParam. The end-to-end tests' eyes on the panel's cells.
UINT ListControlsMessage();

// A control with a window of its own. Position and size are kept while there is no window.
class TWinControl : public TComponent, public IMessageTarget {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle();  // creates the window on first use
    bool HandleAllocated() const { return handle_ != nullptr; }
    HWND ExistingHandle() const { return handle_; }  // null where there is no window (yet)

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    virtual void SetBounds(int left, int top, int width, int height);

    bool Visible() const;
    void SetVisible(bool visible);
    // Paints the window now, not through a queued paint message.
    virtual void Repaint();

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void WindowDestroyed(HWND hwnd) override;

protected:
    struct TCreateParams {
        std::string ClassName;
        DWORD Style = WS_CHILD;
        DWORD ExStyle = 0;
        HWND Parent = nullptr;
        int Id = 0;  // a child window's identifier
    };
    virtual void CreateParams(TCreateParams& params) = 0;
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
    // The window exists; controls that fill it from a stored definition do so here.
    virtual void HandleCreated() {}
    void CreateHandle();
    void DestroyHandle();

private:
    HWND handle_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = false;
};

enum class TBorderStyle { bsNone, bsSingle, bsDialog };
enum class TModalResult : int { mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL };

class TForm;
// Loads a form's stored layout (a DIALOGEX resource) and makes its control windows; lives in
// StdCtrls.cpp with the controls it creates.
class TFormTemplate {
public:
    // A form that fixes its client area in pixels gives its size: the layout is mapped onto it.
    // Otherwise (0, 0) the layout's dialog units are measured on its font. Sizes are 96-dpi ones,
    // laid out at dpi.
    TFormTemplate(const char* resourceName, int clientWidth, int clientHeight, int dpi);
    ~TFormTemplate();
    TFormTemplate(const TFormTemplate&) = delete;
    TFormTemplate& operator=(const TFormTemplate&) = delete;
    // Window style, client size in pixels, caption, centring, from the definition.
    void ApplyToForm(TForm& form, DWORD& style, DWORD& exStyle);
    // Every control of the definition, in its order: the form's component with the same
    // identifier takes it; the others (labels, frames, bevels) are plain system windows.
    void CreateControls(TForm& form);
    // Lays the layout out at another DPI: a font of that size and every length in proportion.
    // False when it already is.
    bool SetDpi(int dpi);
    // The form's size and every control's place and font, once the DPI has changed.
    void Relayout(TForm& form);
    HFONT Font() const;

private:
    void SizeForm(TForm& form, DWORD style, DWORD exStyle) const;
    // An item's rectangle in pixels in its parent, the form or a page.
    TRectI ItemRect(size_t index) const;
    // The window of an item that no control of the form takes: a label, a frame, a bevel.
    HWND CreatePlainWindow(size_t index, HWND parent) const;
    std::unique_ptr<TDialogTemplate> template_;
    TFont font96_;
    TGdiObject font_;
    TGdiObject retired_;  // the font the controls have until Relayout
    TDialogScale scale96_;
    TDialogScale scale_;
    int dpi_ = 0;
    // What CreateControls made for each item: its window, and the form's control when it has one.
    std::vector<HWND> windows_;
    std::vector<TSysControl*> controls_;
    std::vector<int> parents_;
};

class TForm : public TWinControl, private IAccessibleSource {
public:
    // className is the form class's own name, under which its window class is registered.
    TForm(TComponent* owner, const char* className);
    ~TForm() override;

    void Show();
    void Hide();
    void Close();
    void BringToFront();
    // Destroys the form once the messages already waiting are handled.
    void Release();
    // Sets the size of the client area (the same as the window's for a borderless form).
    void SetClientSize(int width, int height);

    // Shows the form and runs a loop of its own until ModalResult is set; the program's other
    // windows are disabled meanwhile but their messages keep flowing. The close box gives
    // mrCancel. Enter presses only a focused button and Escape does nothing: no default or
    // cancel button.
    TModalResult ShowModal();
    bool Modal() const { return modal_; }
    // The dots per inch the form is drawn at: its window's, and the new one from WM_DPICHANGED.
    int Dpi() const { return dpi_; }
    TModalResult ModalResult = TModalResult::mrNone;
    // Moves the focus to the next (or previous) control that takes it with Tab.
    void SelectNext(bool forward);
    // The first control that takes the focus with Tab, or none.
    HWND FirstTabStop();

    std::string Caption;
    TBorderStyle BorderStyle = TBorderStyle::bsSingle;
    bool StayOnTop = false;
    bool CenterOnScreen = false;
    COLORREF Color = GetSysColor(COLOR_BTNFACE);
    TFont Font;
    TPopupMenu* PopupMenu = nullptr;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnPaint;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnClick;

    void BeforeDestruction() override;
    void AddGraphic(TGraphicControl* control);
    void RemoveGraphic(TGraphicControl* control);
    // The visible graphic control at a client point, the last placed first; disabled ones
    // count (a press on them goes nowhere), hidden ones do not.
    TGraphicControl* ControlAtPos(int x, int y) const;
    // The surface OnPaint draws on, while it runs: the form's back buffer (or its window for a
    // form with a stored layout), in client coordinates.
    HDC PaintDC() const { return paintDC_; }
    // What the form draws has changed (all of it, or the rectangle): it is drawn again with the
    // next paint. A form built in code keeps its picture in its back buffer and otherwise only
    // copies it to the screen, so every change must come through here (or Repaint, or a graphic
    // control's own Invalidate and Repaint).
    void Invalidate(const RECT* area = nullptr);
    void Repaint() override;

    // A screen reader sees the visible graphic controls as the client area's parts, numbered from
    // 1 in the order they were made; 0 for one it does not see.
    int AccessibleId(const TGraphicControl* control) const;
    // Tells a screen reader of a change to a control it sees (EVENT_OBJECT_FOCUS, ...NAMECHANGE...).
    void NotifyControl(DWORD event, const TGraphicControl* control);

protected:
    // What a control is to a screen reader: filled from its kind; a form changes what it knows
    // better (a picture that is a button, a name it gives).
    virtual void DescribeControl(const TGraphicControl* control, TAccessibleInfo& info) const {}
    // A screen reader's default action on a control: a click unless the form says otherwise.
    virtual void ControlDefaultAction(TGraphicControl* control);
    // The control that has the keyboard while the form is active, or none.
    virtual TGraphicControl* FocusedControl() const { return nullptr; }

    // The end of a form's construction: the window, every component's Loaded, then OnCreate.
    void FinishCreate();
    // A form with a stored layout names its DIALOGEX resource before its window is made; one whose
    // client area is a fixed number of pixels gives them, and the layout fills exactly that area.
    void SetTemplate(const char* resourceName, int clientWidth = 0, int clientHeight = 0);
    void HandleCreated() override;
    // WM_DPICHANGED: Dpi() is the new one already; the form takes the system's suggested window
    // rectangle, and a stored layout is laid out again with its font at the new size. A form that
    // draws itself draws again at the new scale.
    virtual void DpiChanged(int oldDpi, const RECT& suggested);
    // WM_GETDPISCALEDSIZE: a form whose size is not its present one scaled gives the window size
    // it takes at that DPI, so that the system's suggested rectangle fits it; false leaves the
    // scaling to the system.
    virtual bool SizeAtDpi(int dpi, SIZE& size) const;
    // Tab, Enter and Escape of the modal loop, and the system's own dialog keys; true when the
    // message has been dealt with.
    bool DialogKey(MSG& msg);
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    friend class TGraphicControl;
    std::string className_;
    bool destroyed_ = false;
    bool modal_ = false;
    int dpi_ = SystemDpi();
    bool dpiChanging_ = false;
    std::unique_ptr<TFormTemplate> template_;
    void PaintContents(HDC dc, const RECT& area);
    void PaintBuffered(HDC dc, const RECT& area);
    void PaintWithGround(HDC dc, const RECT& area);
    bool MouseToControl(UINT msg, WPARAM wParam, LPARAM lParam);
    // The graphic control holding the mouse lets go of it, as if the capture had gone elsewhere.
    void ReleaseHeldControl();
    std::vector<TGraphicControl*> graphics_;
    TAccessible* accessible_ = nullptr;
    HWND AccessibleWindow() const override { return ExistingHandle(); }
    int AccessibleCount() const override;
    bool DescribeAccessible(int id, TAccessibleInfo& info) const override;
    int AccessibleAt(POINT client) const override;
    int AccessibleFocus() const override;
    void AccessibleDefaultAction(int id) override;
    TGraphicControl* AccessibleControl(int id) const;
    TGraphicControl* mouseCapture_ = nullptr;  // holds the mouse while its left button is down
    HWND toolTip_ = nullptr;  // the tooltip of the controls' hints, once there is one
    HDC paintDC_ = nullptr;
    // The back buffer: the form's whole picture, of which stale_ must be drawn again. The bitmap
    // goes after the surface that holds it.
    TGdiObject bufferBitmap_;
    TMemoryDC buffer_;
    SIZE bufferSize_{};
    bool unbufferable_ = false;  // no buffer of bufferSize_ could be made: drawn straight
    RECT stale_{};
};

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    std::string Title;
    std::string HelpFile;
    TForm* MainForm = nullptr;
    bool ShowMainForm = true;
    TNotifyEvent OnDeactivate;

    // Creates a form owned by the application; the first one becomes the main form.
    template <typename T>
    T* CreateForm() {
        T* form = new T(this);
        if (MainForm == nullptr) MainForm = form;
        return form;
    }

    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();
    void HandleException(const std::exception& e);
    // WM_ACTIVATEAPP, from whichever of the program's windows hears it first.
    void ActivateApp(bool active);
    // A message box owned by the active window of the program, if any.
    int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags);
    // The window of the program's that a dialog or message box holds the input in (the only one
    // enabled while it is up), or null when none is up.
    HWND ModalWindow() const;

private:
    bool terminated_ = false;
    bool handlingException_ = false;
    bool active_ = false;
};

extern TApplication* Application;

namespace Screen {
int Width();
int Height();
}  // namespace Screen

// Waits ms milliseconds without handling the queue's posted messages or input, which stay for the
// loop after. What other threads and programs send is answered meanwhile, and the queue is looked at,
// so the system never counts the program as not responding however long the wait.
void WaitResponsive(DWORD ms);

// The system's own words for an error code, without the line break at its end.
std::string SystemErrorText(DWORD code);

