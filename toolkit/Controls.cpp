#include "toolkit/Controls.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>

namespace {

// The one tooltip control of a top-level window, made when its first tool is added.
HWND ToolTipOf(HWND topLevel) {
    auto tip = static_cast<HWND>(GetPropW(topLevel, kToolTipProp));
    if (tip != nullptr && IsWindow(tip)) return tip;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0,
                          0, topLevel, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetPropW(topLevel, kToolTipProp, tip);
    return tip;
}

void Line(HDC dc, COLORREF color, std::initializer_list<POINT> points) {
    TGdiObject pen(CreatePen(PS_SOLID, 1, color));
    HGDIOBJ old = SelectObject(dc, pen.Get());
    auto it = points.begin();
    MoveToEx(dc, it->x, it->y, nullptr);
    for (++it; it != points.end(); ++it) LineTo(dc, it->x, it->y);
    SelectObject(dc, old);
}

}  // namespace

TShiftState MouseShift(WPARAM wParam) {
    TShiftState s = 0;
    if (wParam & MK_SHIFT) s |= ssShift;
    if (wParam & MK_CONTROL) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    if (wParam & MK_LBUTTON) s |= ssLeft;
    if (wParam & MK_RBUTTON) s |= ssRight;
    if (wParam & MK_MBUTTON) s |= ssMiddle;
    return s;
}

// ---- graphic controls ----

TGraphicControl::TGraphicControl(TComponent* owner, TForm* parent) : TComponent(owner), parent_(parent) {
    if (parent_ != nullptr) parent_->AddGraphic(this);
}

TGraphicControl::~TGraphicControl() {
    if (parent_ == nullptr) return;
    if (toolAdded_ && parent_->HandleAllocated()) {
        TTTOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = parent_->Handle();
        ti.uId = reinterpret_cast<UINT_PTR>(this);
        SendMessageW(ToolTipOf(ti.hwnd), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    Invalidate();
    parent_->RemoveGraphic(this);
}

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    Invalidate();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();
    if (toolAdded_) UpdateTool();
}

void TGraphicControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Invalidate();
    UpdateTool();
}

void TGraphicControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Invalidate();
    if (parent_ != nullptr) parent_->NotifyControl(EVENT_OBJECT_STATECHANGE, this);
}

long TGraphicControl::AccessibleRole() const { return ROLE_SYSTEM_GRAPHIC; }
long TLabel::AccessibleRole() const { return ROLE_SYSTEM_STATICTEXT; }
long TSpeedButton::AccessibleRole() const { return ROLE_SYSTEM_PUSHBUTTON; }

void TGraphicControl::Invalidate() {
    if (parent_ == nullptr || !parent_->HandleAllocated() || width_ <= 0 || height_ <= 0) return;
    RECT r{left_, top_, left_ + width_, top_ + height_};
    parent_->Invalidate(&r);
}

void TGraphicControl::Repaint() {
    if (parent_ == nullptr || !parent_->HandleAllocated() || width_ <= 0 || height_ <= 0) return;
    RECT r{left_, top_, left_ + width_, top_ + height_};
    parent_->Invalidate(&r);
    RedrawWindow(parent_->Handle(), &r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TGraphicControl::SetHint(const std::string& hint) {
    bool changed = hint != hint_;
    hint_ = hint;
    UpdateTool();
    if (changed && parent_ != nullptr) parent_->NotifyControl(EVENT_OBJECT_NAMECHANGE, this);
}

void TGraphicControl::SetShowHint(bool show) {
    showHint_ = show;
    UpdateTool();
}

// The control's rectangle is a tool of the form's tooltip, which the form tells of the mouse.
void TGraphicControl::UpdateTool() {
    if (parent_ == nullptr) return;
    HWND form = parent_->Handle();
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = form;
    ti.uId = reinterpret_cast<UINT_PTR>(this);
    ti.rect = {left_, top_, left_ + width_, top_ + height_};
    std::wstring hint = SjisToWide(hint_);
    ti.lpszText = hint.data();
    // A control with nothing to say is no tool at all: the system's tooltip keeps its tools in one
    // array it copies whole on every tool added or taken away, and a panel of ten thousand empty
    // cells took seconds to open and to close.
    if (!showHint_ || !visible_ || hint_.empty()) {
        if (toolAdded_) SendMessageW(ToolTipOf(form), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        toolAdded_ = false;
        return;
    }
    HWND tip = ToolTipOf(form);
    parent_->toolTip_ = tip;
    if (!toolAdded_) {
        toolAdded_ = SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) != FALSE;
    } else {
        SendMessageW(tip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
        SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void TGraphicControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TGraphicControl::MouseUp(TMouseButton button, TShiftState, int x, int y) {
    if (button == TMouseButton::mbLeft && enabled_ && x >= 0 && y >= 0 && x < width_ && y < height_) Click();
}

void TGraphicControl::Click() {
    if (OnClick) OnClick(this);
}

void TBevel::Paint(HDC dc) {
    // An etched frame: the shadow rectangle and, one pixel down and right, the highlight one.
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF outer = Style == TBevelStyle::bsLowered ? shadow : light;
    COLORREF inner = Style == TBevelStyle::bsLowered ? light : shadow;
    auto frame = [&](int l, int t, int r, int b, COLORREF c) {
        Line(dc, c, {{l, b}, {l, t}, {r, t}});
        Line(dc, c, {{r, t}, {r, b}, {l - 1, b}});
    };
    int l = Left(), t = Top(), w = Width(), h = Height();
    frame(l + 1, t + 1, l + w - 1, t + h - 1, inner);
    frame(l, t, l + w - 2, t + h - 2, outer);
}

void TLabel::Paint(HDC dc) {
    TGdiObject font(CreateFontHandle(Font));
    HGDIOBJ old = SelectObject(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    std::wstring text = SjisToWide(Caption);
    TextOutW(dc, Left(), Top(), text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, old);
}

// ---- popup menu ----

TMenuItem::TMenuItem(TPopupMenu* menu, UINT command) : TComponent(menu), menu_(menu), command_(command) {}

std::string TMenuItem::Caption() const {
    wchar_t text[256] = {};
    GetMenuStringW(menu_->Handle(), command_, text, 256, MF_BYCOMMAND);
    return WideToSjis(text);
}

void TMenuItem::SetCaption(const std::string& caption) {
    std::wstring text = SjisToWide(caption);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    SetMenuItemInfoW(menu_->Handle(), command_, FALSE, &info);
}

bool TMenuItem::Enabled() const {
    return !(GetMenuState(menu_->Handle(), command_, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
}

void TMenuItem::SetEnabled(bool enabled) {
    EnableMenuItem(menu_->Handle(), command_, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), menu_(CreatePopupMenu()) {}

TPopupMenu::~TPopupMenu() {
    DestroyComponents();  // the items, while the menu they read from is still there
    if (bar_ != nullptr)
        DestroyMenu(bar_);
    else if (menu_ != nullptr)
        DestroyMenu(menu_);
}

void TPopupMenu::LoadFromResourceName(const char* name) {
    HMENU bar = LoadMenuW(GetModuleHandleW(nullptr), TResName(name));
    HMENU popup = bar != nullptr ? GetSubMenu(bar, 0) : nullptr;
    if (popup == nullptr) {
        if (bar != nullptr) DestroyMenu(bar);
        throw Exception(std::string("Cannot load menu ") + name);
    }
    DestroyComponents();
    if (bar_ != nullptr)
        DestroyMenu(bar_);
    else
        DestroyMenu(menu_);
    bar_ = bar;
    menu_ = popup;
    for (int i = 0, n = GetMenuItemCount(menu_); i < n; ++i) {
        UINT id = GetMenuItemID(menu_, i);
        if (id != 0 && id != static_cast<UINT>(-1)) new TMenuItem(this, id);  // owned by the menu
    }
}

TMenuItem* TPopupMenu::FindItem(UINT command) const {
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* item = dynamic_cast<TMenuItem*>(Components(i)); item != nullptr && item->Command() == command)
            return item;
    return nullptr;
}

void TPopupMenu::Popup(int x, int y) {
    HWND target = Window;
    if (target == nullptr)
        if (auto* form = dynamic_cast<TWinControl*>(Owner())) target = form->Handle();
    // Under a dialog or message box the menu is theirs, and they stay in front of the panel.
    if (HWND modal = Application != nullptr ? Application->ModalWindow() : nullptr; modal != nullptr) target = modal;
    if (target == nullptr || GetMenuItemCount(menu_) <= 0) return;
    // The menu closes on a click elsewhere only when its window is in the foreground.
    SetForegroundWindow(target);
    UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, target, nullptr));
    PostMessageW(target, WM_NULL, 0, 0);
    if (TMenuItem* item = chosen != 0 ? FindItem(chosen) : nullptr; item != nullptr && item->OnClick)
        item->OnClick(item);
}

// ---- image ----

void TImage::Paint(HDC dc) {
    if (Picture.Empty()) return;  // the form's ground shows through
    int w = Width(), h = Height();
    if (Stretch) {
        Picture.Draw(dc, Left(), Top(), w, h);
    } else {
        int x = Center ? (w - Picture.Width()) / 2 : 0;
        int y = Center ? (h - Picture.Height()) / 2 : 0;
        // Clipped to the control, as a window of its own would be.
        int cw = std::min(Picture.Width(), w - x), ch = std::min(Picture.Height(), h - y);
        int sx = std::max(0, -x), sy = std::max(0, -y);
        if (cw - sx > 0 && ch - sy > 0)
            Picture.Draw(dc, Left() + x + sx, Top() + y + sy, cw - sx, ch - sy, sx, sy, cw - sx, ch - sy);
    }
}

// ---- speed button ----

void TSpeedButton::SetGlyph(const std::vector<std::string>& rows) {
    glyph_ = rows;
    Invalidate();
}

void TSpeedButton::Paint(HDC dc) {
    RECT r{Left(), Top(), Left() + Width(), Top() + Height()};
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down_ ? DFCS_PUSHED : 0));
    int gh = static_cast<int>(glyph_.size());
    int gw = gh > 0 ? static_cast<int>(glyph_[0].size()) : 0;
    int dot = std::max(1, GlyphDot);
    int x0 = r.left + (Width() - gw * dot) / 2 + (down_ ? dot : 0);
    int y0 = r.top + (Height() - gh * dot) / 2 + (down_ ? dot : 0);
    auto dots = [&](int dx, int dy, COLORREF c) {
        TGdiObject brush(CreateSolidBrush(c));
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x)
                if (glyph_[static_cast<size_t>(y)][static_cast<size_t>(x)] == '#') {
                    RECT d{x0 + x * dot + dx, y0 + y * dot + dy, x0 + (x + 1) * dot + dx, y0 + (y + 1) * dot + dy};
                    FillRect(dc, &d, static_cast<HBRUSH>(brush.Get()));
                }
    };
    if (Enabled()) {
        dots(0, 0, RGB(0, 0, 0));
    } else {  // embossed, as disabled glyphs are
        dots(dot, dot, GetSysColor(COLOR_BTNHIGHLIGHT));
        dots(0, 0, GetSysColor(COLOR_BTNSHADOW));
    }
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState, int, int) {
    if (button != TMouseButton::mbLeft || !Enabled()) return;
    down_ = true;
    Repaint();
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (!down_) return;
    down_ = false;
    Repaint();
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::CaptureLost() {
    if (!down_) return;
    down_ = false;
    Repaint();
}

// ---- hint window ----

THintWindow::THintWindow(TComponent* owner) : TWinControl(owner) {}

THintWindow::~THintWindow() { DetachAccessible(accessible_); }

long THintWindow::AccessibleRole() const { return ROLE_SYSTEM_TOOLTIP; }

void THintWindow::CreateParams(TCreateParams& params) {
    params.ClassName = "THintWindow";
    params.Style = WS_POPUP | WS_BORDER;
    params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
}

HFONT THintWindow::HintFont() {
    if (!font_ || fontDpi_ != Dpi) {
        fontDpi_ = Dpi;
        // The system's status font as it is at the hint's DPI; where the system cannot say for a
        // given DPI, its own (at the system's DPI) in proportion.
        using TParametersForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
        static const auto forDpi = reinterpret_cast<TParametersForDpi>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoForDpi")));
        NONCLIENTMETRICSW m{};
        m.cbSize = sizeof m;
        if (forDpi != nullptr && forDpi(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0, static_cast<UINT>(Dpi))) {
            font_.Reset(CreateFontIndirectW(&m.lfStatusFont));
        } else if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0)) {
            m.lfStatusFont.lfHeight = MulDiv(m.lfStatusFont.lfHeight, Dpi, SystemDpi());
            font_.Reset(CreateFontIndirectW(&m.lfStatusFont));
        } else {
            font_.Reset(CreateFontHandle(TFont{"ＭＳ Ｐゴシック", ScaleForDpi(12, Dpi), SHIFTJIS_CHARSET}));
        }
    }
    return static_cast<HFONT>(font_.Get());
}

TRectI THintWindow::CalcHintRect(int maxWidth, const std::string& text) {
    RECT r{0, 0, maxWidth, 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, HintFont());
    std::wstring wide = SjisToWide(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    // Room for the border and a little air around the text.
    return {0, 0, r.right + ScaleForDpi(6, Dpi), r.bottom + ScaleForDpi(4, Dpi)};
}

void THintWindow::ActivateHint(TRectI rect, const std::string& text) {
    text_ = text;
    int w = rect.Width(), h = rect.Height();
    int x = rect.Left, y = rect.Top;
    // On the monitor it is asked for (the panel's), not pulled onto the primary one.
    RECT asked{rect.Left, rect.Top, rect.Right, rect.Bottom};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT m{0, 0, Screen::Width(), Screen::Height()};
    if (GetMonitorInfoW(MonitorFromRect(&asked, MONITOR_DEFAULTTONEAREST), &monitor)) m = monitor.rcMonitor;
    if (x + w > m.right) x = m.right - w;
    if (y + h > m.bottom) y = m.bottom - h;
    if (x < m.left) x = m.left;
    if (y < m.top) y = m.top;
    HWND hwnd = Handle();
    SetWindowTextW(hwnd, SjisToWide(text).c_str());  // what a screen reader reads
    SetBounds(x, y, w, h);
    InvalidateRect(hwnd, nullptr, TRUE);
    SetWindowPos(hwnd, HWND_TOPMOST, x, y, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    UpdateWindow(hwnd);
}

void THintWindow::ReleaseHandle() { DestroyHandle(); }

LRESULT THintWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETOBJECT:
            if (LRESULT answer = AnswerGetObject(this, accessible_, wParam, lParam); answer != 0) return answer;
            break;
        case WM_DESTROY: DetachAccessible(accessible_); break;
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_NCHITTEST: return HTTRANSPARENT;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(Handle(), &ps);
            RECT r;
            GetClientRect(Handle(), &r);
            TGdiObject brush(CreateSolidBrush(Color));
            FillRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
            HGDIOBJ old = SelectObject(dc, HintFont());
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
            int mx = ScaleForDpi(2, Dpi), my = ScaleForDpi(1, Dpi);
            RECT t{r.left + mx, r.top + my, r.right - mx, r.bottom - my};
            std::wstring text = SjisToWide(text_);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
            SelectObject(dc, old);
            EndPaint(Handle(), &ps);
            return 0;
        }
        default: break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}
