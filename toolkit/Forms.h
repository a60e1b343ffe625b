// Windowed controls, forms and the application object.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"
#include "toolkit/WinBind.h"

class TGraphicControl;
class TPopupMenu;

// Posted to a form to destroy it once the messages before it are handled.
constexpr UINT CM_RELEASE = WM_APP + 0x100;

// A control with a window of its own. Position and size are kept while there is no window.
class TWinControl : public TComponent, public IMessageTarget {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle();  // creates the window on first use
    bool HandleAllocated() const { return handle_ != nullptr; }

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
    void Repaint();

    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void WindowDestroyed(HWND hwnd) override;

protected:
    struct TCreateParams {
        std::string ClassName;
        DWORD Style = WS_CHILD;
        DWORD ExStyle = 0;
        HWND Parent = nullptr;
    };
    virtual void CreateParams(TCreateParams& params) = 0;
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateHandle();
    void DestroyHandle();

private:
    HWND handle_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = false;
};

enum class TBorderStyle { bsNone, bsSingle, bsDialog };
enum class TModalResult : int { mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL };

class TForm : public TWinControl {
public:
    // className is the form class's own name, under which its window class is registered.
    TForm(TComponent* owner, const char* className);

    void Show();
    void Hide();
    void Close();
    void BringToFront();
    // Destroys the form once the messages already waiting are handled.
    void Release();
    // Sets the size of the client area (the same as the window's for a borderless form).
    void SetClientSize(int width, int height);

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

protected:
    // The end of a form's construction: the window, every component's Loaded, then OnCreate.
    void FinishCreate();
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::string className_;
    bool destroyed_ = false;
    std::vector<TGraphicControl*> graphics_;
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
    // MessageBoxA owned by the active window of the program, if any.
    int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags);

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

// The system's own words for an error code, without the line break at its end.
std::string SystemErrorText(DWORD code);
