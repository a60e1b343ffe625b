#include "toolkit/StdCtrls.h"

#include <commctrl.h>
#include <commdlg.h>
#include <oleacc.h>

#include <map>

#include "toolkit/Controls.h"
#include "toolkit/DialogTemplate.h"

namespace {

// The layouts' texts are wide already.
const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
std::string ToSjis(const std::u16string& text) { return WideToSjis(Wide(text)); }

void InitControlClasses() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    done = true;
}

// A class of the program's own made from a system class: the same code and window bytes, with
// the bound entry in front. Returns the system's procedure.
WNDPROC Superclass(const std::string& systemClass, const std::string& name) {
    static std::map<std::string, WNDPROC> procs;
    if (auto it = procs.find(name); it != procs.end()) return it->second;
    InitControlClasses();
    std::wstring wideName = SjisToWide(name);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(nullptr, SjisToWide(systemClass).c_str(), &wc))
        throw Exception("No window class " + systemClass + " (" + std::to_string(GetLastError()) + ")");
    WNDPROC system = wc.lpfnWndProc;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = BoundWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = wideName.c_str();
    wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    if (!RegisterClassExW(&wc)) throw Exception("Cannot register window class " + name);
    procs[name] = system;
    return system;
}

// The one tooltip window of a form, made when its first tool is added; it goes with the form.
HWND ToolTipOf(HWND topLevel) {
    static const wchar_t kProp[] = L"ZumaroDialogToolTip";
    auto tip = static_cast<HWND>(GetPropW(topLevel, kProp));
    if (tip != nullptr && IsWindow(tip)) return tip;
    InitControlClasses();
    tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                          topLevel, nullptr, GetModuleHandleW(nullptr), nullptr);
    // Long texts wrap instead of running off the screen.
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 400);
    SetPropW(topLevel, kProp, tip);
    return tip;
}

}  // namespace

// ---- the stored layout ----

TFormTemplate::TFormTemplate(const char* resourceName, int clientWidth, int clientHeight, int dpi) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, TResName(resourceName), MAKEINTRESOURCEW(5));  // RT_DIALOG
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) throw Exception(std::string("No dialog definition ") + resourceName);
    template_ = std::make_unique<TDialogTemplate>(
        ParseDialogTemplate(static_cast<const uint8_t*>(data), SizeofResource(module, found)));
    const TDialogTemplate& t = *template_;
    // Points at the 96 pixels an inch the layouts are drawn for: 9 points are 12 pixels.
    int height = t.PointSize > 0 ? (t.PointSize * 4 + 1) / 3 : 12;
    font96_ = TFont{t.FontName.empty() ? std::string("ＭＳ Ｐゴシック") : ToSjis(t.FontName), height,
                    static_cast<BYTE>(t.PointSize > 0 ? t.Charset : SHIFTJIS_CHARSET)};
    TGdiObject font96(CreateFontHandle(font96_));
    if (!font96) throw Exception("Out of system resources");
    // The dialog units of the layout, measured on its font as the system's dialogs measure them.
    // Always on the 96-dpi font: a font's measures do not grow quite in step with its size, and
    // a layout that grows by the DPI alone keeps its proportions at every scale.
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font96.Get());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    GetTextExtentPoint32W(dc, kLetters, 52, &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    int baseX = (size.cx / 26 + 1) / 2, baseY = tm.tmHeight;
    if (baseX <= 0 || baseY <= 0) throw Exception("Cannot measure the dialog font");
    scale96_ = clientWidth > 0 && clientHeight > 0 ? FixedClientDialogScale(t.Cx, t.Cy, clientWidth, clientHeight)
                                                   : FontDialogScale(baseX, baseY);
    SetDpi(dpi);
}

TFormTemplate::~TFormTemplate() = default;

HFONT TFormTemplate::Font() const { return static_cast<HFONT>(font_.Get()); }

bool TFormTemplate::SetDpi(int dpi) {
    if (dpi == dpi_) return false;
    TFont font = font96_;
    font.Height = ScaleForDpi(font96_.Height, dpi);
    TGdiObject made(CreateFontHandle(font));
    if (!made) throw Exception("Out of system resources");
    // The controls keep the font they were given until Relayout hands them this one.
    if (!retired_)
        retired_ = std::move(font_);
    else
        font_.Reset();
    font_ = std::move(made);
    scale_ = DialogScaleForDpi(scale96_, dpi);
    dpi_ = dpi;
    return true;
}

TRectI TFormTemplate::ItemRect(size_t index) const {
    const TDialogItem& item = template_->Items[index];
    TRectI r = DialogUnitsToPixels(item.X, item.Y, item.Cx, item.Cy, scale_);
    // A page's controls are placed in the page.
    if (index < parents_.size() && parents_[index] >= 0) {
        const TDialogItem& p = template_->Items[static_cast<size_t>(parents_[index])];
        TRectI pr = DialogUnitsToPixels(p.X, p.Y, p.Cx, p.Cy, scale_);
        r = {r.Left - pr.Left, r.Top - pr.Top, r.Right - pr.Left, r.Bottom - pr.Top};
    }
    return r;
}

HWND TFormTemplate::CreatePlainWindow(size_t index, HWND parent) const {
    const TDialogItem& item = template_->Items[index];
    TRectI r = ItemRect(index);
    InitControlClasses();
    HWND hwnd = CreateWindowExW(item.ExStyle, Wide(item.ClassName), Wide(item.Text), item.Style | WS_CHILD,
                                r.Left, r.Top, r.Width(), r.Height(), parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.Id)), GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) throw Exception("Cannot create window " + ToSjis(item.ClassName));
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    return hwnd;
}

void TFormTemplate::Relayout(TForm& form) {
    if (!form.HandleAllocated()) return;
    HWND h = form.Handle();
    SizeForm(form, static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE)),
             static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE)));
    for (size_t i = 0; i < windows_.size(); ++i) {
        TRectI r = ItemRect(i);
        if (TSysControl* control = controls_[i]) {
            control->SetBounds(r.Left, r.Top, r.Width(), r.Height());
            control->SetFont(Font());
        } else if (HWND old = windows_[i]) {
            // Made again where it was: the system fits some at their making (an etched line takes
            // the height of its edge), and they must come out as they would have been made at this DPI.
            HWND made = CreatePlainWindow(i, GetParent(old));
            SetWindowPos(made, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            DestroyWindow(old);
            windows_[i] = made;
        }
    }
    retired_.Reset();
    InvalidateRect(h, nullptr, TRUE);
}

namespace {

// The window size for a client area at a DPI, where the system can tell borders by DPI.
SIZE WindowSizeForClient(int width, int height, DWORD style, DWORD exStyle, int dpi) {
    using TAdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<TAdjustForDpi>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    RECT r{0, 0, width, height};
    if (adjustForDpi == nullptr || !adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

void TFormTemplate::SizeForm(TForm& form, DWORD style, DWORD exStyle) const {
    TRectI client = DialogUnitsToPixels(0, 0, template_->Cx, template_->Cy, scale_);
    SIZE size = WindowSizeForClient(client.Width(), client.Height(), style, exStyle, dpi_);
    form.SetBounds(form.Left(), form.Top(), size.cx, size.cy);
}

void TFormTemplate::ApplyToForm(TForm& form, DWORD& style, DWORD& exStyle) {
    const TDialogTemplate& t = *template_;
    constexpr DWORD kModalFrame = 0x80, kCenter = 0x800;  // DS_MODALFRAME, DS_CENTER
    style = t.Style & 0xFFFF0000u;
    exStyle = t.ExStyle;
    if (t.Style & kModalFrame) exStyle |= WS_EX_DLGMODALFRAME;
    form.CenterOnScreen = (t.Style & kCenter) != 0;
    form.Caption = ToSjis(t.Caption);
    SizeForm(form, style, exStyle);
}

void TFormTemplate::CreateControls(TForm& form) {
    const std::vector<TDialogItem>& items = template_->Items;
    std::vector<bool> containers;
    for (const TDialogItem& item : items) containers.push_back(IsContainerClass(item.ClassName));
    parents_ = ContainerIndices(items, containers);
    const std::vector<int>& parents = parents_;
    controls_.assign(items.size(), nullptr);
    windows_.assign(items.size(), nullptr);
    std::vector<TSysControl*>& made = controls_;
    std::vector<HWND> frames;
    for (size_t i = 0; i < items.size(); ++i) {
        const TDialogItem& item = items[i];
        TRectI r = ItemRect(i);
        TWinControl* parent = &form;
        if (parents[i] >= 0) {
            parent = made[static_cast<size_t>(parents[i])];
            if (parent == nullptr) throw Exception("A page in a dialog definition has no control of the form");
        }
        TSysControl* control = nullptr;
        for (int c = 0; c < form.ComponentCount() && control == nullptr && item.Id > 0; ++c) {
            auto* candidate = dynamic_cast<TSysControl*>(form.Components(c));
            if (candidate != nullptr && candidate->Id() == item.Id) control = candidate;
        }
        std::string className = ToSjis(item.ClassName), text = ToSjis(item.Text);
        if (control != nullptr) {
            control->Prepare(className, item.Style, item.ExStyle, text, parent, Font());
            control->SetBounds(r.Left, r.Top, r.Width(), r.Height());
            if (item.Style & WS_VISIBLE)
                control->SetVisible(true);
            else
                control->Handle();
            made[i] = control;
            windows_[i] = control->Handle();
        } else {
            HWND hwnd = CreatePlainWindow(i, parent->Handle());
            windows_[i] = hwnd;
            if (_stricmp(className.c_str(), "Button") == 0 && (item.Style & 0x0F) == BS_GROUPBOX) frames.push_back(hwnd);
        }
    }
    // A group frame lies behind what it frames, so that a point inside it finds the control there
    // (Wine looks for a drop's window this way). Later windows are made below earlier ones: the
    // frames go down once all are made.
    for (HWND frame : frames) SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    retired_.Reset();  // no control was given it
    // A control of the form that the layout does not place is a fault of the definition.
    for (int c = 0; c < form.ComponentCount(); ++c) {
        auto* control = dynamic_cast<TSysControl*>(form.Components(c));
        if (control != nullptr && !control->HandleAllocated())
            throw Exception("The layout of " + form.Name + " has no control " + control->Name);
    }
}

// ---- TSysControl ----

TSysControl::TSysControl(TComponent* owner, int id) : TWinControl(owner), id_(id) {}

void TSysControl::Prepare(const std::string& systemClass, DWORD style, DWORD exStyle, const std::string& text,
                          TWinControl* parent, HFONT font) {
    systemClass_ = systemClass;
    style_ = style;
    exStyle_ = exStyle;
    text_ = text;
    parent_ = parent;
    font_ = font;
}

void TSysControl::CreateParams(TCreateParams& params) {
    std::string base = systemClass_.empty() ? SystemClass() : systemClass_;
    params.ClassName = "Zumaro." + base;
    systemProc_ = Superclass(base, params.ClassName);
    params.Style = (style_ | WS_CHILD) & ~static_cast<DWORD>(WS_POPUP);
    params.ExStyle = exStyle_;
    auto* parent = parent_ != nullptr ? parent_ : dynamic_cast<TWinControl*>(Owner());
    if (parent == nullptr) throw Exception("A control needs a parent window: " + Name);
    params.Parent = parent->Handle();
    params.Id = id_;
}

void TSysControl::HandleCreated() {
    if (font_ != nullptr) SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (!text_.empty()) SetWindowTextW(Handle(), SjisToWide(text_).c_str());
    if (!hint_.empty()) ApplyHint();
}

LRESULT TSysControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND h = HandleAllocated() ? Handle() : nullptr;
    if (systemProc_ == nullptr) return DefWindowProcW(h, msg, wParam, lParam);
    return CallWindowProcW(systemProc_, h, msg, wParam, lParam);
}

bool TSysControl::Enabled() const {
    if (!HandleAllocated()) return !(style_ & WS_DISABLED);
    return IsWindowEnabled(const_cast<TSysControl*>(this)->Handle()) != FALSE;
}

void TSysControl::SetEnabled(bool enabled) {
    if (enabled)
        style_ &= ~static_cast<DWORD>(WS_DISABLED);
    else
        style_ |= WS_DISABLED;
    if (HandleAllocated()) EnableWindow(Handle(), enabled ? TRUE : FALSE);
}

void TSysControl::SetFocus() { ::SetFocus(Handle()); }

bool TSysControl::Focused() const {
    return HandleAllocated() && GetFocus() == const_cast<TSysControl*>(this)->Handle();
}

std::string TSysControl::Caption() const {
    if (!HandleAllocated()) return text_;
    HWND h = const_cast<TSysControl*>(this)->Handle();
    int n = GetWindowTextLengthW(h);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    int got = GetWindowTextW(h, s.data(), n + 1);
    s.resize(static_cast<size_t>(got < 0 ? 0 : got));
    return WideToSjis(s);
}

void TSysControl::SetCaption(const std::string& text) {
    text_ = text;
    if (HandleAllocated()) SetWindowTextW(Handle(), SjisToWide(text).c_str());
}

void TSysControl::SetHint(const std::string& hint) {
    hint_ = hint;
    if (HandleAllocated()) ApplyHint();
}

void TSysControl::ApplyHint() {
    const std::string& hint = hint_;
    HWND self = Handle();
    HWND tip = ToolTipOf(GetAncestor(self, GA_ROOT));
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = GetAncestor(self, GA_ROOT);
    ti.uId = reinterpret_cast<UINT_PTR>(self);
    std::wstring text = SjisToWide(hint);
    ti.lpszText = text.data();
    SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    if (!hint.empty()) SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void TSysControl::Click() { SendMessageW(Handle(), BM_CLICK, 0, 0); }

void TSysControl::SetFont(HFONT font) {
    font_ = font;
    if (HandleAllocated()) SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

int TSysControl::Dpi() const {
    for (TComponent* c = Owner(); c != nullptr; c = c->Owner())
        if (auto* form = dynamic_cast<TForm*>(c)) return form->Dpi();
    return SystemDpi();
}

TShiftState TSysControl::KeyShift() const {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

// ---- TBitBtn ----

void TBitBtn::CreateParams(TCreateParams& params) {
    TSysControl::CreateParams(params);
    // Drawn here, glyph and caption, by the button's owner: the window is the system's button.
    params.Style = (params.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

LRESULT TBitBtn::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case CN_BASE + WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && OnClick) OnClick(this);
            return 1;
        case CN_BASE + WM_DRAWITEM: Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return 1;
        case WM_GETDLGCODE:
            // A button like any other to the keyboard: Enter on it presses it.
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        default: break;
    }
    return TSysControl::WndProc(msg, wParam, lParam);
}

void TBitBtn::Draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    bool pressed = (item.itemState & ODS_SELECTED) != 0;
    bool disabled = (item.itemState & ODS_DISABLED) != 0;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    std::wstring caption = SjisToWide(Caption());
    UINT prefix = (item.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
    RECT textSize{0, 0, 0, 0};
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textSize, DT_CALCRECT | DT_SINGLELINE | prefix);
    int glyphW = Glyph.Empty() ? 0 : Glyph.Width() / (NumGlyphs > 1 ? NumGlyphs : 1);
    int glyphH = Glyph.Height();
    int dpi = Dpi();
    int gap = glyphW > 0 && !caption.empty() ? ScaleForDpi(4, dpi) : 0;
    int total = glyphW + gap + textSize.right;
    int shift = pressed ? 1 : 0;
    int x = (r.left + r.right - total) / 2 + shift;
    int midY = (r.top + r.bottom) / 2 + shift;
    if (glyphW > 0) {
        int index = disabled && NumGlyphs > 1 ? 1 : 0;
        COLORREF transparent = Glyph.Pixel(index * glyphW, glyphH - 1);
        int y0 = midY - glyphH / 2;
        for (int y = 0; y < glyphH; ++y) {
            for (int gx = 0; gx < glyphW; ++gx) {
                COLORREF c = Glyph.Pixel(index * glyphW + gx, y);
                if (c == transparent) continue;
                if (disabled && NumGlyphs < 2) {  // no greyed picture: an etched shape
                    SetPixelV(dc, x + gx + 1, y0 + y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
                    c = GetSysColor(COLOR_BTNSHADOW);
                }
                SetPixelV(dc, x + gx, y0 + y, c);
            }
        }
    }
    RECT t{x + glyphW + gap, midY - textSize.bottom / 2, x + total + 1, midY - textSize.bottom / 2 + textSize.bottom};
    SetBkMode(dc, TRANSPARENT);
    if (disabled) {
        RECT light = t;
        OffsetRect(&light, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &light, DT_SINGLELINE | prefix);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    } else {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    }
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &t, DT_SINGLELINE | prefix);
    if (item.itemState & ODS_FOCUS) {
        RECT f = item.rcItem;
        InflateRect(&f, -ScaleForDpi(4, dpi), -ScaleForDpi(4, dpi));
        DrawFocusRect(dc, &f);
    }
}

// ---- TCheckBox ----

bool TCheckBox::Checked() const {
    if (!HandleAllocated()) return false;
    return SendMessageW(const_cast<TCheckBox*>(this)->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked) {
    SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

LRESULT TCheckBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == CN_BASE + WM_COMMAND) {
        if (HIWORD(wParam) == BN_CLICKED && OnClick) OnClick(this);
        return 1;
    }
    return TSysControl::WndProc(msg, wParam, lParam);
}

// ---- TComboBox ----

void TComboBox::SetItems(const std::vector<std::string>& items) {
    HWND h = Handle();
    SendMessageW(h, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(SjisToWide(item).c_str()));
}

int TComboBox::ItemCount() const {
    return static_cast<int>(SendMessageW(const_cast<TComboBox*>(this)->Handle(), CB_GETCOUNT, 0, 0));
}

std::string TComboBox::Item(int index) const {
    HWND h = const_cast<TComboBox*>(this)->Handle();
    LRESULT n = SendMessageW(h, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == CB_ERR) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    LRESULT got = SendMessageW(h, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(got == CB_ERR ? 0 : static_cast<size_t>(got));
    return WideToSjis(s);
}

int TComboBox::ItemIndex() const {
    LRESULT i = SendMessageW(const_cast<TComboBox*>(this)->Handle(), CB_GETCURSEL, 0, 0);
    return i == CB_ERR ? -1 : static_cast<int>(i);
}

void TComboBox::SetItemIndex(int index) {
    // An index outside the items leaves the list with no selection.
    SendMessageW(Handle(), CB_SETCURSEL, index >= 0 && index < ItemCount() ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

LRESULT TComboBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == CN_BASE + WM_COMMAND) {
        if (HIWORD(wParam) == CBN_SELCHANGE && OnChange) OnChange(this);
        return 1;
    }
    return TSysControl::WndProc(msg, wParam, lParam);
}

// ---- TEdit ----

void TEdit::SetColor(COLORREF color) {
    color_ = color;
    brush_.Reset(color == kNoColor ? nullptr : CreateSolidBrush(color));
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((msg == CN_BASE + WM_CTLCOLOREDIT || msg == CN_BASE + WM_CTLCOLORSTATIC) && brush_) {
        auto dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, color_);
        SetTextColor(dc, GetSysColor(IsWindowEnabled(Handle()) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        return reinterpret_cast<LRESULT>(brush_.Get());
    }
    return TSysControl::WndProc(msg, wParam, lParam);
}

// ---- TCanvas ----

void TCanvas::FillRect(const TRectI& r) {
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    TGdiObject brush(CreateSolidBrush(BrushColor));
    ::FillRect(dc_, &rc, static_cast<HBRUSH>(brush.Get()));
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, FontColor);
    std::wstring wide = SjisToWide(text);
    ::TextOutW(dc_, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

void TCanvas::CopyRect(const TRectI& dest, const TBitmap& bitmap, const TRectI& source) {
    bitmap.Draw(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), source.Left, source.Top, source.Width(),
                source.Height());
}

// ---- TListBox ----

void TListBox::HandleCreated() {
    TSysControl::HandleCreated();
    SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, ItemHeight);
}

void TListBox::SetItemHeight(int height) {
    ItemHeight = height;
    if (HandleAllocated()) {
        SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, height);
        InvalidateRect(Handle(), nullptr, TRUE);
    }
}

int TListBox::Count() const {
    return static_cast<int>(SendMessageW(const_cast<TListBox*>(this)->Handle(), LB_GETCOUNT, 0, 0));
}

std::string TListBox::Item(int index) const {
    HWND h = const_cast<TListBox*>(this)->Handle();
    LRESULT n = SendMessageW(h, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == LB_ERR) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    LRESULT got = SendMessageW(h, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    return WideToSjis(s);
}

TBitmap* TListBox::Image(int index) const {
    LRESULT data = SendMessageW(const_cast<TListBox*>(this)->Handle(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (data == LB_ERR) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    return reinterpret_cast<TBitmap*>(data);
}

void TListBox::SetImage(int index, TBitmap* image) {
    if (SendMessageW(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(image)) == LB_ERR)
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    InvalidateRect(Handle(), nullptr, TRUE);
}

int TListBox::Add(const std::string& text, TBitmap* image) {
    int index = Count();
    Insert(index, text, image);
    return index;
}

void TListBox::Insert(int index, const std::string& text, TBitmap* image) {
    HWND h = Handle();
    LRESULT at = SendMessageW(h, LB_INSERTSTRING, static_cast<WPARAM>(index),
                              reinterpret_cast<LPARAM>(SjisToWide(text).c_str()));
    if (at == LB_ERR || at == LB_ERRSPACE) throw Exception("Cannot insert into the list (" + std::to_string(index) + ")");
    SendMessageW(h, LB_SETITEMDATA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(image));
}

void TListBox::Delete(int index) {
    if (SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0) == LB_ERR)
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
}

void TListBox::Clear() { SendMessageW(Handle(), LB_RESETCONTENT, 0, 0); }

void TListBox::Exchange(int a, int b) {
    int selected = ItemIndex();
    std::string ta = Item(a), tb = Item(b);
    TBitmap* ia = Image(a);
    TBitmap* ib = Image(b);
    // Replace the higher row first so that the lower index stays valid.
    int lo = a < b ? a : b, hi = a < b ? b : a;
    std::string tlo = lo == a ? tb : ta, thi = lo == a ? ta : tb;
    TBitmap* ilo = lo == a ? ib : ia;
    TBitmap* ihi = lo == a ? ia : ib;
    Delete(hi);
    Insert(hi, thi, ihi);
    Delete(lo);
    Insert(lo, tlo, ilo);
    SetItemIndex(selected);
}

int TListBox::ItemIndex() const {
    LRESULT i = SendMessageW(const_cast<TListBox*>(this)->Handle(), LB_GETCURSEL, 0, 0);
    return i == LB_ERR ? -1 : static_cast<int>(i);
}

void TListBox::SetItemIndex(int index) {
    SendMessageW(Handle(), LB_SETCURSEL, index >= 0 && index < Count() ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

int TListBox::TopIndex() const {
    return static_cast<int>(SendMessageW(const_cast<TListBox*>(this)->Handle(), LB_GETTOPINDEX, 0, 0));
}

int TListBox::ItemAtPos(int x, int y) const {
    HWND h = const_cast<TListBox*>(this)->Handle();
    RECT client;
    GetClientRect(h, &client);
    POINT p{x, y};
    if (!PtInRect(&client, p)) return -1;
    LRESULT r = SendMessageW(h, LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
    if (HIWORD(r) != 0) return -1;  // below the last row
    return LOWORD(r);
}

TListBox::~TListBox() { DetachAccessible(accessible_); }

bool TListBox::DescribeAccessible(int id, TAccessibleInfo& info) const {
    if (id < 1 || id > Count()) return false;
    HWND h = ExistingHandle();
    info = TAccessibleInfo{};
    info.Name = Item(id - 1);
    info.Role = ROLE_SYSTEM_LISTITEM;
    info.State = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (ItemIndex() == id - 1) info.State |= STATE_SYSTEM_SELECTED | (GetFocus() == h ? STATE_SYSTEM_FOCUSED : 0);
    RECT r{};
    SendMessageW(h, LB_GETITEMRECT, static_cast<WPARAM>(id - 1), reinterpret_cast<LPARAM>(&r));
    MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
    RECT client;
    GetClientRect(h, &client);
    MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&client), 2);
    if (RECT shown; !IntersectRect(&shown, &r, &client)) info.State |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
    info.Screen = r;
    return true;
}

int TListBox::AccessibleFocus() const { return GetFocus() == ExistingHandle() ? ItemIndex() + 1 : 0; }

LRESULT TListBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETOBJECT:
            if (LRESULT answer = AnswerGetObject(this, accessible_, wParam, lParam); answer != 0) return answer;
            break;
        case WM_DESTROY: DetachAccessible(accessible_); break;
        case CN_BASE + WM_MEASUREITEM:
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(ItemHeight);
            return 1;
        case CN_BASE + WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            RECT rc = item.rcItem;
            if (item.itemAction == ODA_FOCUS || item.itemID == static_cast<UINT>(-1)) {
                if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &rc);
                return 1;
            }
            TCanvas canvas(item.hDC);
            bool selected = (item.itemState & ODS_SELECTED) != 0;
            canvas.BrushColor = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
            canvas.FontColor = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
            TOwnerDrawState state = (selected ? odSelected : 0) | ((item.itemState & ODS_FOCUS) ? odFocused : 0) |
                                    ((item.itemState & ODS_DISABLED) ? odDisabled : 0);
            TRectI r{rc.left, rc.top, rc.right, rc.bottom};
            canvas_ = &canvas;
            try {
                if (OnDrawItem) {
                    OnDrawItem(this, static_cast<int>(item.itemID), r, state);
                } else {
                    canvas.FillRect(r);
                    canvas.TextOut(r.Left + 2, r.Top, Item(static_cast<int>(item.itemID)));
                }
            } catch (...) {
                canvas_ = nullptr;
                throw;
            }
            canvas_ = nullptr;
            if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &rc);
            return 1;
        }
        // With Alt held a key comes as a system key; the events see it all the same.
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP: {
            const TKeyEvent& handler = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN ? OnKeyDown : OnKeyUp;
            if (handler) {
                auto key = static_cast<uint16_t>(wParam);
                handler(this, key, KeyShift());
                if (key == 0) return 0;
            }
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            // The list moves its selection first; the handler sees the row the press chose.
            LRESULT r = TSysControl::WndProc(msg, wParam, lParam);
            bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
            TMouseButton button = (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP)   ? TMouseButton::mbLeft
                                  : (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP) ? TMouseButton::mbRight
                                                                                   : TMouseButton::mbMiddle;
            const TMouseEvent& handler = down ? OnMouseDown : OnMouseUp;
            if (handler)
                handler(this, button, MouseShift(wParam), static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            return r;
        }
        default: break;
    }
    return TSysControl::WndProc(msg, wParam, lParam);
}

// ---- TTrackBar ----

void TTrackBar::HandleCreated() {
    TSysControl::HandleCreated();
    HWND h = Handle();
    SendMessageW(h, TBM_SETRANGE, TRUE, MAKELPARAM(min_, max_));
    SendMessageW(h, TBM_SETLINESIZE, 0, 1);
    SendMessageW(h, TBM_SETPAGESIZE, 0, 1);
    SendMessageW(h, TBM_SETTICFREQ, 1, 0);
}

void TTrackBar::SetRange(int min, int max) {
    min_ = min;
    max_ = max;
    if (HandleAllocated()) {
        SendMessageW(Handle(), TBM_SETRANGE, TRUE, MAKELPARAM(min_, max_));
        SendMessageW(Handle(), TBM_SETTICFREQ, 1, 0);
    }
}

int TTrackBar::Position() const {
    return static_cast<int>(SendMessageW(const_cast<TTrackBar*>(this)->Handle(), TBM_GETPOS, 0, 0));
}

void TTrackBar::SetPosition(int position) {
    if (position < min_) position = min_;
    if (position > max_) position = max_;
    SendMessageW(Handle(), TBM_SETPOS, TRUE, position);
}

// ---- pages ----

void TTabSheet::CreateParams(TCreateParams& params) {
    // Not a system class: a plain window of the program's own that holds the page's controls.
    if (Parent() == nullptr) throw Exception("A page needs its page control: " + Name);
    params.ClassName = "TTabSheet";
    // No WS_CLIPCHILDREN: the group frames on a page leave their inside to the page to paint.
    params.Style = (style_ | WS_CHILD) & ~static_cast<DWORD>(WS_POPUP);
    params.ExStyle = exStyle_ | WS_EX_CONTROLPARENT;
    params.Parent = Parent()->Handle();
    params.Id = Id();
}

void TPageControl::CreateParams(TCreateParams& params) {
    TSysControl::CreateParams(params);
    // Its pages are inside it: Tab goes from the page control on to the active page's controls.
    params.ExStyle |= WS_EX_CONTROLPARENT;
    params.Style |= WS_CLIPCHILDREN;
}

LRESULT TTabSheet::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(HandleAllocated() ? Handle() : nullptr, msg, wParam, lParam);
}

void TTabSheet::HandleCreated() {
    TSysControl::HandleCreated();
    if (TPageControl* pages = PageControl()) pages->AddPage(this);
}

LRESULT TTabSheet::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(Handle(), &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    return TSysControl::WndProc(msg, wParam, lParam);
}

TPageControl* TTabSheet::PageControl() const { return dynamic_cast<TPageControl*>(Parent()); }

int TTabSheet::PageIndex() const {
    TPageControl* pages = PageControl();
    if (pages == nullptr) return -1;
    for (int i = 0; i < pages->PageCount(); ++i)
        if (pages->Pages(i) == this) return i;
    return -1;
}

void TPageControl::AddPage(TTabSheet* page) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    std::wstring caption = SjisToWide(page->Caption());
    item.pszText = caption.data();
    SendMessageW(Handle(), TCM_INSERTITEMW, pages_.size(), reinterpret_cast<LPARAM>(&item));
    pages_.push_back(page);
    if (pages_.size() == 1) SendMessageW(Handle(), TCM_SETCURSEL, 0, 0);
    ShowActive();
}

int TPageControl::ActivePageIndex() const {
    LRESULT i = SendMessageW(const_cast<TPageControl*>(this)->Handle(), TCM_GETCURSEL, 0, 0);
    return i < 0 || i >= static_cast<LRESULT>(pages_.size()) ? -1 : static_cast<int>(i);
}

TTabSheet* TPageControl::ActivePage() const {
    int i = ActivePageIndex();
    return i < 0 ? nullptr : pages_[static_cast<size_t>(i)];
}

void TPageControl::SetActivePage(TTabSheet* page) {
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i] == page) {
            SendMessageW(Handle(), TCM_SETCURSEL, i, 0);
            ShowActive();
            return;
        }
    }
}

void TPageControl::ShowActive() {
    TTabSheet* active = ActivePage();
    // The new page first, so that the area is never empty; then the others go.
    if (active != nullptr) {
        SetWindowPos(active->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        active->SetVisible(true);
    }
    for (TTabSheet* page : pages_)
        if (page != active) page->SetVisible(false);
}

LRESULT TPageControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == CN_BASE + WM_NOTIFY) {
        if (reinterpret_cast<const NMHDR*>(lParam)->code == TCN_SELCHANGE) {
            ShowActive();
            if (OnChange) OnChange(this);
        }
        return 0;
    }
    return TSysControl::WndProc(msg, wParam, lParam);
}

// ---- open-file dialog ----

bool TOpenDialog::Execute() {
    std::wstring filter;
    for (const auto& [description, patterns] : Filter) filter += SjisToWide(description) + L'\0' + SjisToWide(patterns) + L'\0';
    filter += L'\0';
    // Wide, so that a name outside the code page comes back whole; and room for any path the
    // dialog can give: a cut one would be registered as a broken entry.
    std::wstring buffer(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    HWND owner = GetActiveWindow();
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING |
                OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&ofn)) return false;
    FileNameW = buffer.c_str();
    WideToSjisExact(FileNameW, FileName);
    return true;
}
