#include "toolkit/Forms.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "toolkit/Controls.h"

TApplication* Application = nullptr;

// ---- DPI ----

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDefaultDpi;
}

int WindowDpi(HWND window) {
    // Systems before Windows 10 have one DPI for all monitors, and no such call.
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<TGetDpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    UINT dpi = getDpiForWindow != nullptr && window != nullptr ? getDpiForWindow(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {}

TWinControl::~TWinControl() { DestroyHandle(); }

HWND TWinControl::Handle() {
    if (handle_ == nullptr) CreateHandle();
    return handle_;
}

void TWinControl::CreateHandle() {
    if (handle_ != nullptr) return;
    TCreateParams params;
    CreateParams(params);
    RegisterBoundClass(params.ClassName.c_str());
    DWORD style = params.Style & ~WS_VISIBLE;
    HMENU id = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(params.Id)) : nullptr;
    HWND hwnd = CreateBoundWindow(this, params.ClassName.c_str(), params.ExStyle, style, left_, top_, width_,
                                  height_, params.Parent, id);
    if (hwnd == nullptr)
        throw Exception("Cannot create window " + params.ClassName + " (" + std::to_string(GetLastError()) + ")");
    handle_ = hwnd;
    HandleCreated();
    if (visible_) ShowWindow(handle_, SW_SHOWNA);
}

void TWinControl::DestroyHandle() {
    if (handle_ != nullptr) DestroyWindow(handle_);  // WindowDestroyed clears handle_
    handle_ = nullptr;
}

void TWinControl::WindowDestroyed(HWND hwnd) {
    if (hwnd == handle_) handle_ = nullptr;
}

int TWinControl::Left() const { return left_; }
int TWinControl::Top() const { return top_; }
int TWinControl::Width() const { return width_; }
int TWinControl::Height() const { return height_; }

void TWinControl::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (handle_ != nullptr)
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TWinControl::Visible() const { return handle_ != nullptr ? IsWindowVisible(handle_) != FALSE : visible_; }

void TWinControl::SetVisible(bool visible) {
    visible_ = visible;
    if (handle_ == nullptr && visible) CreateHandle();  // shows it
    else if (handle_ != nullptr) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::Repaint() {
    if (handle_ != nullptr) RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

LRESULT TWinControl::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (handle_ == nullptr) handle_ = hwnd;  // messages of the creation itself
    return WndProc(msg, wParam, lParam);
}

namespace {

BOOL CALLBACK TellRootEnabled(HWND child, LPARAM enabled) {
    SendMessageW(child, CM_ROOTENABLED, static_cast<WPARAM>(enabled), 0);
    return TRUE;
}

// The control window a notification to its parent is about, if the message is one.
HWND NotifyingChild(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND: return reinterpret_cast<HWND>(lParam);
        case WM_HSCROLL:
        case WM_VSCROLL: return reinterpret_cast<HWND>(lParam);
        case WM_NOTIFY: return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
        case WM_DRAWITEM: return reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
        case WM_MEASUREITEM:
            return GetDlgItem(parent, static_cast<int>(reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID));
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC: return reinterpret_cast<HWND>(lParam);
        default: return nullptr;
    }
}

}  // namespace

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (HWND child = NotifyingChild(handle_, msg, wParam, lParam);
        child != nullptr && (GetWindowLongW(child, GWL_STYLE) & WS_CHILD) && GetParent(child) == handle_) {
        // The control answers for itself; one that does not know the message answers 0.
        if (LRESULT r = SendMessageW(child, CN_BASE + msg, wParam, lParam); r != 0) return r;
    }
    if (msg == WM_WINDOWPOSCHANGED) {
        // The window's real place, whoever moved it.
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOMOVE)) {
            left_ = pos->x;
            top_ = pos->y;
        }
        if (!(pos->flags & SWP_NOSIZE)) {
            width_ = pos->cx;
            height_ = pos->cy;
        }
        if (pos->flags & SWP_SHOWWINDOW) visible_ = true;
        if (pos->flags & SWP_HIDEWINDOW) visible_ = false;
    }
    return DefaultHandler(msg, wParam, lParam);
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(handle_, msg, wParam, lParam);
}

// ---- TForm ----

TForm::TForm(TComponent* owner, const char* className) : TWinControl(owner), className_(className) {}

TForm::~TForm() {
    DetachAccessible(accessible_);
    // The graphic controls outlive this part of the form (their owner frees them later): they
    // must not call back into it.
    for (TGraphicControl* g : graphics_) g->parent_ = nullptr;
    graphics_.clear();
    mouseCapture_ = nullptr;
}

void TForm::FinishCreate() {
    Handle();
    LoadedAll();
    if (OnCreate) {
        try {
            OnCreate(this);
        } catch (const std::exception& e) {
            Application->HandleException(e);
        }
    }
}

void TForm::BeforeDestruction() {
    if (destroyed_) return;
    destroyed_ = true;
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (const std::exception& e) {
            Application->HandleException(e);
        }
    }
}

void TForm::AddGraphic(TGraphicControl* control) { graphics_.push_back(control); }

void TForm::RemoveGraphic(TGraphicControl* control) {
    graphics_.erase(std::remove(graphics_.begin(), graphics_.end(), control), graphics_.end());
    if (mouseCapture_ == control) {
        mouseCapture_ = nullptr;
        if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    }
}

void TForm::Invalidate(const RECT* area) {
    RECT all{0, 0, bufferSize_.cx, bufferSize_.cy};
    UnionRect(&stale_, &stale_, area != nullptr ? area : &all);
    if (HandleAllocated()) InvalidateRect(Handle(), area, FALSE);
}

void TForm::Repaint() {
    Invalidate();
    TWinControl::Repaint();
}

// ---- what a screen reader sees ----

TGraphicControl* TForm::AccessibleControl(int id) const {
    int n = 0;
    for (TGraphicControl* g : graphics_)
        if (g->Visible() && ++n == id) return g;
    return nullptr;
}

int TForm::AccessibleId(const TGraphicControl* control) const {
    int n = 0;
    for (TGraphicControl* g : graphics_) {
        if (!g->Visible()) continue;
        ++n;
        if (g == control) return n;
    }
    return 0;
}

int TForm::AccessibleCount() const {
    return static_cast<int>(std::count_if(graphics_.begin(), graphics_.end(), [](auto* g) { return g->Visible(); }));
}

bool TForm::DescribeAccessible(int id, TAccessibleInfo& info) const {
    const TGraphicControl* g = AccessibleControl(id);
    if (g == nullptr || !HandleAllocated()) return false;
    info = TAccessibleInfo{};
    info.Name = g->AccessibleName();
    info.Role = g->AccessibleRole();
    if (!g->Enabled()) info.State |= STATE_SYSTEM_UNAVAILABLE;
    DescribeControl(g, info);
    if (info.Role == ROLE_SYSTEM_PUSHBUTTON && info.DefaultAction.empty() && !(info.State & STATE_SYSTEM_UNAVAILABLE))
        info.DefaultAction = "押す";
    if (g == FocusedControl()) info.State |= STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED;
    POINT origin{g->Left(), g->Top()};
    ClientToScreen(ExistingHandle(), &origin);
    info.Screen = {origin.x, origin.y, origin.x + g->Width(), origin.y + g->Height()};
    return true;
}

int TForm::AccessibleAt(POINT client) const { return AccessibleId(ControlAtPos(client.x, client.y)); }

int TForm::AccessibleFocus() const { return AccessibleId(FocusedControl()); }

void TForm::AccessibleDefaultAction(int id) {
    // Answered first: the action may run a loop of its own (a flight, a box).
    if (TGraphicControl* g = AccessibleControl(id); g != nullptr && HandleAllocated())
        PostMessageW(Handle(), CM_ACCESSIBLEACTION, 0, reinterpret_cast<LPARAM>(g));
}

void TForm::ControlDefaultAction(TGraphicControl* control) { control->Click(); }

void TForm::NotifyControl(DWORD event, const TGraphicControl* control) {
    if (int id = AccessibleId(control); id != 0 && HandleAllocated()) NotifyAccessible(ExistingHandle(), event, id);
}

TGraphicControl* TForm::ControlAtPos(int x, int y) const {
    for (auto it = graphics_.rbegin(); it != graphics_.rend(); ++it) {
        TGraphicControl* g = *it;
        if (g->Visible() && x >= g->Left() && y >= g->Top() && x < g->Left() + g->Width() && y < g->Top() + g->Height())
            return g;
    }
    return nullptr;
}

// The form's own drawing, then its graphic controls, each only where the area needs it; the
// ground is laid by the caller.
void TForm::PaintContents(HDC dc, const RECT& area) {
    paintDC_ = dc;
    try {
        if (OnPaint) OnPaint(this);
    } catch (...) {
        paintDC_ = nullptr;
        throw;
    }
    paintDC_ = nullptr;
    for (TGraphicControl* g : graphics_) {
        // A label sized by its text has no rectangle of its own: it is always drawn.
        RECT r{g->Left(), g->Top(), g->Left() + g->Width(), g->Top() + g->Height()}, common;
        if (g->Visible() && (IsRectEmpty(&r) || IntersectRect(&common, &r, &area))) g->Paint(dc);
    }
}

// The form's ground and then its contents, clipped to the area.
void TForm::PaintWithGround(HDC dc, const RECT& area) {
    int saved = SaveDC(dc);
    struct TRestore {
        HDC dc;
        int saved;
        ~TRestore() { RestoreDC(dc, saved); }
    } restore{dc, saved};
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    TGdiObject ground(CreateSolidBrush(Color));
    FillRect(dc, &area, static_cast<HBRUSH>(ground.Get()));
    PaintContents(dc, area);
}

// The picture is drawn off the screen, where it changed, and shown in one copy: no flicker, and
// a form shown again costs one copy. A form too large for a buffer (a grid of 100 x 100 buttons of
// 256 pixels is gigabytes of one) is drawn straight onto the screen, where it must be.
void TForm::PaintBuffered(HDC dc, const RECT& area) {
    RECT client;
    GetClientRect(Handle(), &client);
    if (!buffer_ || bufferSize_.cx != client.right || bufferSize_.cy != client.bottom) {
        buffer_.Reset();
        bufferBitmap_.Reset();
        if (!unbufferable_ || bufferSize_.cx != client.right || bufferSize_.cy != client.bottom) {
            bufferBitmap_.Reset(CreateCompatibleBitmap(dc, client.right, client.bottom));
            buffer_.Reset(CreateCompatibleDC(dc));
        }
        bufferSize_ = {client.right, client.bottom};
        unbufferable_ = !buffer_ || !bufferBitmap_;
        if (unbufferable_) {
            buffer_.Reset();
            bufferBitmap_.Reset();
            PaintWithGround(dc, area);
            return;
        }
        SelectObject(buffer_.Get(), bufferBitmap_.Get());
        stale_ = client;
    }
    HDC buffer = buffer_.Get();
    if (!IsRectEmpty(&stale_)) {
        PaintWithGround(buffer, stale_);
        stale_ = {};
    }
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, buffer, area.left, area.top, SRCCOPY);
}

// Hands a mouse message to the graphic control under the pointer, or to the one holding the
// mouse; true when a control took it.
bool TForm::MouseToControl(UINT msg, WPARAM wParam, LPARAM lParam) {
    int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    TShiftState shift = MouseShift(wParam);
    TGraphicControl* target = mouseCapture_ != nullptr ? mouseCapture_ : ControlAtPos(x, y);
    if (target == nullptr) return false;
    int cx = x - target->Left(), cy = y - target->Top();
    if (msg == WM_LBUTTONDBLCLK && target->DoubleClickPresses()) msg = WM_LBUTTONDOWN;
    switch (msg) {
        case WM_MOUSEMOVE: target->MouseMove(shift, cx, cy); return true;
        case WM_LBUTTONDOWN:
            if (!target->Enabled()) return true;
            mouseCapture_ = target;
            SetCapture(Handle());
            target->MouseDown(TMouseButton::mbLeft, shift, cx, cy);
            return true;
        case WM_LBUTTONUP:
            if (mouseCapture_ == target) {
                mouseCapture_ = nullptr;  // before the release, which tells of the capture's end
                ReleaseCapture();
                target->MouseUp(TMouseButton::mbLeft, shift, cx, cy);
            }
            return true;
        case WM_LBUTTONDBLCLK: return true;
        default: return false;
    }
}

void TForm::ReleaseHeldControl() {
    if (mouseCapture_ == nullptr) return;
    TGraphicControl* held = mouseCapture_;
    mouseCapture_ = nullptr;
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    held->CaptureLost();
}

void TForm::Release() {
    if (HandleAllocated()) PostMessageW(Handle(), CM_RELEASE, 0, 0);
}

void TForm::SetClientSize(int width, int height) {
    RECT r{0, 0, width, height};
    if (HandleAllocated())
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE)));
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::SetTemplate(const char* resourceName, int clientWidth, int clientHeight) {
    template_ = std::make_unique<TFormTemplate>(resourceName, clientWidth, clientHeight, dpi_);
}

void TForm::HandleCreated() {
    dpi_ = WindowDpi(Handle());
    if (template_) {
        // Made on a monitor of another DPI than the system's: sized for it before its controls come.
        if (template_->SetDpi(dpi_)) template_->Relayout(*this);
        template_->CreateControls(*this);
    }
}

void TForm::DpiChanged(int, const RECT& suggested) {
    if (template_ && template_->SetDpi(dpi_)) template_->Relayout(*this);
    SetBounds(suggested.left, suggested.top, suggested.right - suggested.left, suggested.bottom - suggested.top);
}

bool TForm::SizeAtDpi(int, SIZE&) const { return false; }

void TForm::CreateParams(TCreateParams& params) {
    params.ClassName = className_;
    if (template_) {
        // A dialog of the program, not a panel: it has its own place on the task bar.
        // No WS_CLIPCHILDREN: group frames leave their inside to the form to paint.
        template_->ApplyToForm(*this, params.Style, params.ExStyle);
        return;
    }
    switch (BorderStyle) {
        case TBorderStyle::bsNone: params.Style = WS_POPUP; break;
        case TBorderStyle::bsDialog:
            params.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
            params.ExStyle = WS_EX_DLGMODALFRAME;
            break;
        case TBorderStyle::bsSingle: params.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX; break;
    }
    // Drawing on the form never covers its child windows.
    params.Style |= WS_CLIPCHILDREN;
    // A launcher panel lives in the notification area, not on the task bar.
    params.ExStyle |= WS_EX_TOOLWINDOW;
    if (StayOnTop) params.ExStyle |= WS_EX_TOPMOST;
}

void TForm::Show() {
    HWND h = Handle();
    bool wasVisible = IsWindowVisible(h) != FALSE;
    if (!wasVisible && CenterOnScreen)
        SetBounds((Screen::Width() - Width()) / 2, (Screen::Height() - Height()) / 2, Width(), Height());
    ShowWindow(h, SW_SHOW);
    if (!wasVisible && OnShow) OnShow(this);
    BringToFront();
}

void TForm::Hide() {
    HWND h = Handle();
    bool wasVisible = IsWindowVisible(h) != FALSE;
    SetVisible(false);
    if (wasVisible && OnHide) OnHide(this);
}

void TForm::BringToFront() {
    HWND h = Handle();
    SetWindowPos(h, StayOnTop ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm::Close() {
    if (modal_)
        ModalResult = TModalResult::mrCancel;
    else if (Application != nullptr && Application->MainForm == this)
        Application->Terminate();
    else
        Hide();
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
        // The tooltip hears of the mouse from here: its tools are rectangles of this window.
        if (toolTip_ != nullptr && IsWindow(toolTip_)) {
            MSG m{Handle(), msg, wParam, lParam, 0, {}};
            SendMessageW(toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
        }
        if (MouseToControl(msg, wParam, lParam)) return 0;
    }
    if (msg == ListControlsMessage() && IsWindow(reinterpret_cast<HWND>(wParam))) {
        std::string lines;
        for (TGraphicControl* g : graphics_) {
            char line[160];
            std::snprintf(line, sizeof line, "%s %d %d %d %d %s %s\n", g->ClassName(), g->Left(), g->Top(), g->Width(),
                          g->Height(), g->Visible() ? "visible" : "hidden", g->Enabled() ? "enabled" : "disabled");
            lines += line;
        }
        COPYDATASTRUCT data{0, static_cast<DWORD>(lines.size()), lines.data()};
        SendMessageW(reinterpret_cast<HWND>(wParam), WM_COPYDATA, reinterpret_cast<WPARAM>(Handle()),
                     reinterpret_cast<LPARAM>(&data));
        return 1;
    }
    switch (msg) {
        case WM_CREATE: SetWindowTextW(Handle(), SjisToWide(Caption).c_str()); break;
        case WM_CLOSE: Close(); return 0;
        case WM_ERASEBKGND: {
            // A form built in code paints its ground with the rest, into its back buffer.
            if (!template_) return 1;
            RECT r;
            GetClientRect(Handle(), &r);
            HBRUSH brush = CreateSolidBrush(Color);
            FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
            DeleteObject(brush);
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Handle(), &ps);
            const RECT& area = ps.rcPaint;
            int w = area.right - area.left, h = area.bottom - area.top;
            try {
                if (template_) {
                    // No WS_CLIPCHILDREN here: a buffer copied over the area would cover the
                    // layout's windows. The ground was laid by WM_ERASEBKGND.
                    PaintContents(dc, area);
                } else if (w > 0 && h > 0) {
                    PaintBuffered(dc, area);
                }
            } catch (...) {
                EndPaint(Handle(), &ps);
                throw;
            }
            EndPaint(Handle(), &ps);
            return 0;
        }
        case WM_DPICHANGED: {
            // One that comes inside the form's own move or resize for the last one (it took the
            // window back over the monitors' edge) is not followed: the window would bounce
            // between the two scales.
            if (dpiChanging_) return 0;
            dpiChanging_ = true;
            struct TChanging {
                bool& flag;
                ~TChanging() { flag = false; }
            } changing{dpiChanging_};
            int old = dpi_;
            dpi_ = LOWORD(wParam);
            DpiChanged(old, *reinterpret_cast<const RECT*>(lParam));
            return 0;
        }
        case WM_GETDPISCALEDSIZE:
            if (SIZE size{}; SizeAtDpi(LOWORD(wParam), size)) {
                *reinterpret_cast<SIZE*>(lParam) = size;
                return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            toolTip_ = nullptr;  // it goes with the form's window, which owns it
            DetachAccessible(accessible_);
            break;
        case WM_GETOBJECT:
            // Only a form that draws controls of its own has more to say than the system.
            if (!graphics_.empty())
                if (LRESULT answer = AnswerGetObject(this, accessible_, wParam, lParam); answer != 0) return answer;
            break;
        case CM_ACCESSIBLEACTION: {
            auto* g = reinterpret_cast<TGraphicControl*>(lParam);
            // Still one of the form's, still there to be acted on.
            if (std::find(graphics_.begin(), graphics_.end(), g) != graphics_.end() && g->Visible() && g->Enabled() &&
                IsWindowEnabled(Handle()))
                ControlDefaultAction(g);
            return 0;
        }
        case WM_SETFOCUS:
            // The keyboard's place inside the form, after the system told of the window's.
            if (TGraphicControl* focused = FocusedControl(); focused != nullptr) NotifyControl(EVENT_OBJECT_FOCUS, focused);
            break;
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED: Invalidate(); break;
        case WM_CAPTURECHANGED:
            if (TGraphicControl* lost = mouseCapture_; lost != nullptr && reinterpret_cast<HWND>(lParam) != Handle()) {
                mouseCapture_ = nullptr;
                lost->CaptureLost();
            }
            break;
        case WM_ACTIVATEAPP:
            // A button held while the program loses the foreground is no press any more: its release
            // would come to a window that no longer shows what was pressed.
            if (wParam == FALSE) ReleaseHeldControl();
            Application->ActivateApp(wParam != FALSE);
            break;
        case WM_SHOWWINDOW:
            if (wParam == FALSE) ReleaseHeldControl();
            break;
        case WM_ENABLE: EnumChildWindows(Handle(), TellRootEnabled, static_cast<LPARAM>(wParam)); break;
        case WM_CONTEXTMENU: {
            POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (lParam == -1) GetCursorPos(&p);  // from the keyboard
            // A control's own menu where it has one, the form's elsewhere.
            POINT c = p;
            ScreenToClient(Handle(), &c);
            TGraphicControl* control = lParam != -1 ? ControlAtPos(c.x, c.y) : nullptr;
            TPopupMenu* menu = control != nullptr && control->PopupMenu != nullptr ? control->PopupMenu : PopupMenu;
            if (menu != nullptr) {
                menu->Popup(p.x, p.y);
                return 0;
            }
            break;
        }
        case WM_LBUTTONUP:
            if (OnClick) OnClick(this);
            break;
        case CM_RELEASE: Free(this); return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            const TKeyEvent& handler = (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) ? OnKeyDown : OnKeyUp;
            if (handler) {
                TShiftState shift = 0;
                if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
                if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
                if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
                auto key = static_cast<uint16_t>(wParam);
                handler(this, key, shift);
                if (key == 0) return 0;
            }
            break;
        }
        default: break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

namespace {

struct TDisabledWindows {
    HWND except;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableOne(HWND hwnd, LPARAM lParam) {
    auto* d = reinterpret_cast<TDisabledWindows*>(lParam);
    if (hwnd != d->except && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        d->windows.push_back(hwnd);
    }
    return TRUE;
}

bool TakesTab(HWND hwnd) {
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    return (style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

// The controls that take the focus with Tab, in order: each window in its parent's order, then
// the ones inside it when it holds controls (a page control, its visible page).
void CollectTabStops(HWND parent, std::vector<HWND>& out) {
    for (HWND h = GetWindow(parent, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
        LONG style = GetWindowLongW(h, GWL_STYLE);
        if (!(style & WS_VISIBLE) || (style & WS_DISABLED)) continue;
        if (TakesTab(h)) out.push_back(h);
        if (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) CollectTabStops(h, out);
    }
}

bool IsPushButton(HWND hwnd) {
    LONG type = GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK;
    return (SendMessageW(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) &&
           (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW);
}

}  // namespace

HWND TForm::FirstTabStop() {
    std::vector<HWND> stops;
    CollectTabStops(Handle(), stops);
    return stops.empty() ? nullptr : stops.front();
}

void TForm::SelectNext(bool forward) {
    std::vector<HWND> stops;
    CollectTabStops(Handle(), stops);
    if (stops.empty()) return;
    HWND focus = GetFocus();
    // The focus may sit in a part of a control (a combo box's edit): find the stop that holds it.
    auto at = stops.end();
    for (HWND h = focus; h != nullptr && h != Handle() && at == stops.end(); h = GetParent(h))
        at = std::find(stops.begin(), stops.end(), h);
    size_t i = at == stops.end() ? (forward ? stops.size() - 1 : 0) : static_cast<size_t>(at - stops.begin());
    size_t next = forward ? (i + 1) % stops.size() : (i + stops.size() - 1) % stops.size();
    HWND target = stops[next];
    SetFocus(target);
    // As in the system's dialogs, Tab onto an edit box selects its text.
    if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(target, EM_SETSEL, 0, -1);
}

bool TForm::DialogKey(MSG& msg) {
    HWND self = Handle();
    if (msg.hwnd != self && !IsChild(self, msg.hwnd)) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_CHAR) {
        auto key = static_cast<UINT>(msg.wParam);
        bool dialogKey = msg.message == WM_KEYDOWN ? (key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE)
                                                   : (key == '\t' || key == '\r' || key == 0x1B);
        if (dialogKey) {
            HWND focus = GetFocus();
            // A control that wants the key (an open drop-down list and its Enter or Escape) keeps it.
            LRESULT code = focus != nullptr ? SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) : 0;
            if (code & (DLGC_WANTMESSAGE | DLGC_WANTALLKEYS)) return false;
            if (key == VK_TAB && !(code & DLGC_WANTTAB)) {
                if (msg.message == WM_KEYDOWN) SelectNext(GetKeyState(VK_SHIFT) >= 0);
                return true;
            }
            if (key == VK_TAB) return false;
            // No default button: Enter presses the focused button and nothing else.
            if (msg.message == WM_KEYDOWN && key == VK_RETURN && focus != nullptr && IsPushButton(focus))
                SendMessageW(focus, BM_CLICK, 0, 0);
            return true;  // and Escape closes nothing
        }
    }
    return IsDialogMessageW(self, &msg) != FALSE;
}

TModalResult TForm::ShowModal() {
    if (modal_ || Visible()) throw Exception("Cannot make a visible window modal");
    HWND self = Handle();
    HWND previousActive = GetActiveWindow();
    TDisabledWindows disabled{self, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
    // Above the program's stay-on-top windows (the panel) while it runs, or the panel would
    // cover it; they are disabled meanwhile anyway.
    bool raised = false;
    for (HWND h : disabled.windows)
        raised = raised || (IsWindowVisible(h) && (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST));
    if (raised && !StayOnTop) SetWindowPos(self, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    modal_ = true;
    ModalResult = TModalResult::mrNone;
    bool quit = false;
    WPARAM quitCode = 0;
    try {
        Show();
        SetForegroundWindow(self);
        if (HWND first = FirstTabStop()) SetFocus(first);
        MSG msg;
        while (ModalResult == TModalResult::mrNone) {
            BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0 || got == -1) {
                // The program is ending: the dialog goes as if cancelled and the main loop hears it too.
                quit = true;
                quitCode = got == 0 ? msg.wParam : 0;
                ModalResult = TModalResult::mrCancel;
                break;
            }
            if (DialogKey(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    } catch (...) {
        for (HWND h : disabled.windows)
            if (IsWindow(h)) EnableWindow(h, TRUE);
        modal_ = false;
        if (raised && !StayOnTop) SetWindowPos(self, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        throw;
    }
    // The others come back before this one goes, so the system activates one of ours.
    for (HWND h : disabled.windows)
        if (IsWindow(h)) EnableWindow(h, TRUE);
    modal_ = false;
    Hide();
    if (raised && !StayOnTop) SetWindowPos(self, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (previousActive != nullptr && IsWindow(previousActive) && IsWindowVisible(previousActive))
        SetActiveWindow(previousActive);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return ModalResult;
}

// ---- TApplication ----

TApplication::TApplication() : TComponent(nullptr) { Application = this; }

TApplication::~TApplication() {
    // Forms go while Application is still set: their destruction handlers may report errors.
    DestroyComponents();
    if (Application == this) Application = nullptr;
}

void TApplication::Run() {
    if (ShowMainForm && MainForm != nullptr) MainForm->Show();
    // The loop takes WM_QUIT itself: left in the queue, it would end every message box of the
    // teardown (a failed save's warning) before it is seen.
    MSG msg;
    for (;;) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    terminated_ = true;
}

void TApplication::ActivateApp(bool active) {
    if (active == active_) return;
    active_ = active;
    if (!active && OnDeactivate) OnDeactivate(this);
}

void TApplication::Terminate() {
    if (!terminated_) PostQuitMessage(0);
    terminated_ = true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Left for the loop that runs the program, which ends on it.
            terminated_ = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void TApplication::HandleException(const std::exception& e) {
    // An error raised while its box is up (a paint of the window behind it, say) is not stacked.
    if (handlingException_) return;
    handlingException_ = true;
    ShowMessageBox(ErrorBoxText(e.what()), Title, MB_ICONSTOP | MB_OK);
    handlingException_ = false;
}

int TApplication::ShowMessageBox(const std::string& text, const std::string& caption, UINT flags) {
    // Like a modal form, the box holds the program's other windows while it is up, so that
    // nothing reaches what it asks about; the box itself disables and restores its owner.
    // Owned by the open dialog, else the panel, even when the program is not in front (a drop
    // gives it no foreground): a box of no owner would open behind the other program's windows
    // while the disabled panel looks frozen. Brought to the front for the same reason.
    HWND owner = GetActiveWindow();
    if (owner == nullptr) owner = ModalWindow();
    if (owner == nullptr && MainForm != nullptr && MainForm->HandleAllocated()) owner = MainForm->Handle();
    TDisabledWindows disabled{owner, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
    struct TRestore {
        TDisabledWindows& d;
        ~TRestore() {
            for (HWND h : d.windows)
                if (IsWindow(h)) EnableWindow(h, TRUE);
        }
    } restore{disabled};
    // A line of a damaged file can be megabytes long: the box shows its start, where laying all of
    // it out would take minutes.
    constexpr size_t kMaxText = 1024;
    std::wstring wide = SjisToWide(text);
    if (wide.size() > kMaxText) wide.replace(kMaxText, std::wstring::npos, L"\x2026");
    return MessageBoxW(owner, wide.c_str(), SjisToWide(caption).c_str(), flags | MB_SETFOREGROUND);
}

namespace {

BOOL CALLBACK FindEnabledWindow(HWND hwnd, LPARAM lParam) {
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
    // Not a tooltip or the hint, which show over a dialog but never take the input.
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    if ((GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_NOACTIVATE) || lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0) return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hwnd;
    return FALSE;
}

}  // namespace

HWND TApplication::ModalWindow() const {
    if (MainForm == nullptr || !MainForm->HandleAllocated() || IsWindowEnabled(MainForm->Handle())) return nullptr;
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindEnabledWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// ---- helpers ----

UINT ListControlsMessage() {
    static const UINT message = RegisterWindowMessageW(L"ZumaroListControls");
    return message;
}

void WaitResponsive(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        // Runs the messages sent to the thread, and tells the system the queue is being read.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
        ULONGLONG now = GetTickCount64();
        if (now >= end) return;
        // Woken by anything new, which the peek above then answers or leaves queued; at least
        // once a second, whatever the system's rule for a thread that only waits.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 1000)),
                                  QS_ALLINPUT);
    }
}

namespace Screen {
int Width() { return GetSystemMetrics(SM_CXSCREEN); }
int Height() { return GetSystemMetrics(SM_CYSCREEN); }
}  // namespace Screen

std::string SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = n != 0 && buffer != nullptr ? WideToSjisReadable(std::wstring_view(buffer, n)) : std::string();
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
    if (text.empty()) text = "エラー " + std::to_string(code);
    return text;
}

