// The system's own controls as the dialogs use them: buttons with glyphs, check boxes,
// drop-down lists, edit boxes, an owner-drawn list box, a track bar, a page control with its
// pages, labels; and the open-file dialog. Their windows come from the form's stored layout.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

// A control whose window is one of the system's classes, made under a class of its own that
// reaches its object through the bound entry and hands everything else to the system's code.
// Its identifier ties it to the control of the same identifier in the form's stored layout.
class TSysControl : public TWinControl {
public:
    TSysControl(TComponent* owner, int id);

    int Id() const { return id_; }
    TWinControl* Parent() const { return parent_; }

    bool Enabled() const;
    void SetEnabled(bool enabled);
    void SetFocus();
    bool Focused() const;
    std::string Caption() const;
    void SetCaption(const std::string& text);
    // A tooltip over the control (the form's one tooltip window holds it).
    void SetHint(const std::string& hint);
    // Sends the message a click gives, as the user's click does.
    void Click();
    // The font the control draws its text in; the caller keeps it alive.
    void SetFont(HFONT font);
    // The DPI of the form the control is on.
    int Dpi() const;

    // Used by the stored layout: the system class, style and place of this control's window.
    void Prepare(const std::string& systemClass, DWORD style, DWORD exStyle, const std::string& text,
                 TWinControl* parent, HFONT font);

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void HandleCreated() override;
    // The system class a control of this kind is made from when the layout does not say.
    virtual const char* SystemClass() const = 0;
    TShiftState KeyShift() const;

    std::string text_;
    DWORD style_ = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    DWORD exStyle_ = 0;

private:
    void ApplyHint();
    int id_;
    std::string hint_;
    std::string systemClass_;
    WNDPROC systemProc_ = nullptr;
    TWinControl* parent_ = nullptr;
    HFONT font_ = nullptr;
};

// A control of a form's stored layout, made by the form with its name and layout identifier.
template <typename T>
T* Place(TComponent* owner, const char* name, int id) {
    T* control = new T(owner, id);
    control->Name = name;
    return control;
}

// A push button with an optional 16 x 16 glyph beside its caption. The glyph bitmap holds one
// picture, or two side by side (the second drawn while the button is disabled); its lower-left
// pixel's colour is transparent.
class TBitBtn : public TSysControl {
public:
    TBitBtn(TComponent* owner, int id) : TSysControl(owner, id) {}
    TBitmap Glyph;
    int NumGlyphs = 1;
    TNotifyEvent OnClick;

protected:
    const char* SystemClass() const override { return "Button"; }
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Draw(const DRAWITEMSTRUCT& item);
};

class TCheckBox : public TSysControl {
public:
    TCheckBox(TComponent* owner, int id) : TSysControl(owner, id) {}
    bool Checked() const;
    void SetChecked(bool checked);  // raises no OnClick
    TNotifyEvent OnClick;

protected:
    const char* SystemClass() const override { return "Button"; }
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// A drop-down list without typing.
class TComboBox : public TSysControl {
public:
    TComboBox(TComponent* owner, int id) : TSysControl(owner, id) {}
    void SetItems(const std::vector<std::string>& items);
    int ItemCount() const;
    std::string Item(int index) const;
    // -1 when nothing is selected.
    int ItemIndex() const;
    void SetItemIndex(int index);
    TNotifyEvent OnChange;

protected:
    const char* SystemClass() const override { return "ComboBox"; }
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

constexpr COLORREF kNoColor = 0xFFFFFFFF;

class TEdit : public TSysControl {
public:
    TEdit(TComponent* owner, int id) : TSysControl(owner, id) {}
    std::string Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    // The background; kNoColor leaves the system's.
    void SetColor(COLORREF color);

protected:
    const char* SystemClass() const override { return "Edit"; }
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    COLORREF color_ = kNoColor;
    TGdiObject brush_;
};

class TStaticLabel : public TSysControl {
public:
    TStaticLabel(TComponent* owner, int id) : TSysControl(owner, id) {}

protected:
    const char* SystemClass() const override { return "Static"; }
};

// A drawing surface lent to a drawing event, with the colours the control chose.
class TCanvas {
public:
    explicit TCanvas(HDC dc) : dc_(dc) {}
    HDC Handle() const { return dc_; }
    COLORREF BrushColor = RGB(255, 255, 255);
    COLORREF FontColor = RGB(0, 0, 0);
    void FillRect(const TRectI& r);
    void TextOut(int x, int y, const std::string& text);
    // Copies the source rectangle of the bitmap to the destination rectangle, unscaled when the
    // two are the same size.
    void CopyRect(const TRectI& dest, const TBitmap& bitmap, const TRectI& source);

private:
    HDC dc_;
};

enum TOwnerDrawStateFlag : uint8_t { odSelected = 1, odFocused = 2, odDisabled = 4 };
using TOwnerDrawState = uint8_t;
class TListBox;
using TDrawItemEvent = std::function<void(TListBox* Control, int Index, TRectI Rect, TOwnerDrawState State)>;

// A list of one selectable row at a time, drawn by its owner, each row a text and a picture the
// list does not own.
class TListBox : public TSysControl, private IAccessibleSource {
public:
    TListBox(TComponent* owner, int id) : TSysControl(owner, id) {}
    ~TListBox() override;

    int Count() const;
    std::string Item(int index) const;
    TBitmap* Image(int index) const;
    void SetImage(int index, TBitmap* image);
    int Add(const std::string& text, TBitmap* image);
    void Insert(int index, const std::string& text, TBitmap* image);
    void Delete(int index);
    void Clear();
    // Rows and pictures swap places; the selection stays where it was.
    void Exchange(int a, int b);
    int ItemIndex() const;  // -1 when none
    void SetItemIndex(int index);
    int TopIndex() const;
    int ItemHeight = 18;
    // The rows' height, for a list that is already shown too.
    void SetItemHeight(int height);
    // The row at a point of the client area; -1 outside every row.
    int ItemAtPos(int x, int y) const;
    TCanvas* Canvas() const { return canvas_; }

    TDrawItemEvent OnDrawItem;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

protected:
    const char* SystemClass() const override { return "ListBox"; }
    void HandleCreated() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    TCanvas* canvas_ = nullptr;
    // To a screen reader the rows are list items named by their texts, numbered from 1 as the
    // list's own events number them: the system's object knows no superclassed list everywhere.
    TAccessible* accessible_ = nullptr;
    HWND AccessibleWindow() const override { return ExistingHandle(); }
    int AccessibleCount() const override { return Count(); }
    bool DescribeAccessible(int id, TAccessibleInfo& info) const override;
    int AccessibleAt(POINT client) const override { return ItemAtPos(client.x, client.y) + 1; }
    int AccessibleFocus() const override;
    void AccessibleDefaultAction(int) override {}
};

class TTrackBar : public TSysControl {
public:
    TTrackBar(TComponent* owner, int id) : TSysControl(owner, id) {}
    void SetRange(int min, int max);
    int Position() const;
    // Held within the range.
    void SetPosition(int position);

protected:
    const char* SystemClass() const override { return "msctls_trackbar32"; }
    void HandleCreated() override;

private:
    int min_ = 0, max_ = 10;
};

class TPageControl;

// One page of a page control: a window over the control's page area that holds the page's
// controls; only the active page is visible.
class TTabSheet : public TSysControl {
public:
    TTabSheet(TComponent* owner, int id) : TSysControl(owner, id) {}
    TPageControl* PageControl() const;
    int PageIndex() const;

protected:
    const char* SystemClass() const override { return "TTabSheet"; }
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class TPageControl : public TSysControl {
public:
    TPageControl(TComponent* owner, int id) : TSysControl(owner, id) {}
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
    TTabSheet* ActivePage() const;
    int ActivePageIndex() const;
    void SetActivePage(TTabSheet* page);
    void AddPage(TTabSheet* page);
    TNotifyEvent OnChange;

protected:
    const char* SystemClass() const override { return "SysTabControl32"; }
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void ShowActive();
    std::vector<TTabSheet*> pages_;
};

// The system's open-file dialog for one file.
class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
    // Pairs of a description and its patterns ("*.exe;*.lnk"), the first one selected.
    std::vector<std::pair<std::string, std::string>> Filter;
    // The chosen file as the system names it, and its ANSI form ("?" where a character has none).
    std::wstring FileNameW;
    std::string FileName;
    // True with FileName set when the user chose a file.
    bool Execute();
};
