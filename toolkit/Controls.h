// The controls the forms use: painted-on-parent label and bevel, image, speed button, popup menu
// and the hint window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

// The shift state a mouse message carries (Alt read from the keyboard).
TShiftState MouseShift(WPARAM wParam);

class TPopupMenu;

// A control without a window of its own, as the classic toolkits have them: its parent form
// paints it in its one paint, finds it under the pointer and hands it the mouse, and shows its
// hint as a rectangle of the form's tooltip. A form may hold any number of them at the cost of
// no window and no GDI object.
class TGraphicControl : public TComponent {
public:
    TGraphicControl(TComponent* owner, TForm* parent);
    ~TGraphicControl() override;

    TForm* Parent() const { return parent_; }
    // The name of its kind, as a window class would be named (the tests' listing shows it).
    virtual const char* ClassName() const = 0;
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    TRectI BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    void SetBounds(int left, int top, int width, int height);
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Asks the form to paint the control's rectangle with its next paint, or at once.
    void Invalidate();
    void Repaint();
    // Draws the control on the form's surface, in the form's client coordinates.
    virtual void Paint(HDC dc) = 0;

    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    // What a screen reader calls it (its hint, a label's caption) and takes it for.
    virtual std::string AccessibleName() const { return hint_; }
    virtual long AccessibleRole() const;
    void SetShowHint(bool show);
    TPopupMenu* PopupMenu = nullptr;
    TNotifyEvent OnClick;
    TMouseMoveEvent OnMouseMove;

protected:
    friend class TForm;
    // The mouse, handed over by the form in the control's own coordinates. A left press
    // captures the mouse for the control until the button is released; the release over the
    // control is a click.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y) {}
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // The capture went elsewhere before the button came up.
    virtual void CaptureLost() {}
    virtual void Click();
    // The second press of a double click is a press like the first, so that two quick clicks are
    // two clicks (a speed button's); otherwise it is ignored (a cell launches once).
    virtual bool DoubleClickPresses() const { return false; }

private:
    void UpdateTool();
    TForm* parent_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    std::string hint_;
    bool showHint_ = false;
    bool toolAdded_ = false;
};

enum class TBevelShape { bsFrame };
enum class TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    TBevelShape Shape = TBevelShape::bsFrame;
    TBevelStyle Style = TBevelStyle::bsLowered;
    const char* ClassName() const override { return "TBevel"; }
    void Paint(HDC dc) override;
};

class TLabel : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    std::string Caption;
    TFont Font;
    const char* ClassName() const override { return "TLabel"; }
    std::string AccessibleName() const override { return Caption; }
    long AccessibleRole() const override;
    void Paint(HDC dc) override;
};

// One command of a popup menu; its caption lives in the menu itself.
class TMenuItem : public TComponent {
public:
    TMenuItem(TPopupMenu* menu, UINT command);
    UINT Command() const { return command_; }
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    bool Enabled() const;
    void SetEnabled(bool enabled);  // a disabled item is greyed and cannot be chosen
    TNotifyEvent OnClick;

private:
    TPopupMenu* menu_;
    UINT command_;
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;
    HMENU Handle() const { return menu_; }
    // Takes the first popup of a MENU resource of the program, with an item for each command.
    void LoadFromResourceName(const char* name);
    TMenuItem* FindItem(UINT command) const;
    // Shows the menu at a screen point and runs the chosen item's OnClick once it has closed.
    void Popup(int x, int y);
    HWND Window = nullptr;  // owns the menu while it is up; the owner form's window when not set
    // Whether the components that show it on their own (the tray icon) pop it up at all.
    bool AutoPopup = true;

private:
    HMENU bar_ = nullptr;  // the resource's menu, when loaded from one
    HMENU menu_ = nullptr;
};

// A picture on the form, stretched or centred in its rectangle; an empty one shows the form.
class TImage : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    TBitmap Picture;
    bool Stretch = false;
    bool Center = false;
    const char* ClassName() const override { return "TImage"; }
    void Paint(HDC dc) override;
    void PictureChanged() { Invalidate(); }  // repaint after Picture was changed
};

// A flat push button with a one-bit glyph; held down while the left button is, clicked when
// released over it; greyed and deaf while disabled.
class TSpeedButton : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    // A one-bit picture: black pixels are drawn, white ones are transparent. Rows of '#' and '.'.
    void SetGlyph(const std::vector<std::string>& rows);
    // The glyph's pixels are drawn as squares of this side: whole dots keep it sharp at any scale.
    int GlyphDot = 1;
    bool Down() const { return down_; }
    const char* ClassName() const override { return "TSpeedButton"; }
    long AccessibleRole() const override;
    void Paint(HDC dc) override;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void CaptureLost() override;
    bool DoubleClickPresses() const override { return true; }

private:
    std::vector<std::string> glyph_;
    bool down_ = false;
};

// The tooltip-style window that shows a text at a place on the screen.
class THintWindow : public TWinControl, private IAccessibleSource {
public:
    explicit THintWindow(TComponent* owner);
    ~THintWindow() override;
    COLORREF Color = GetSysColor(COLOR_INFOBK);
    // The dots per inch of the window the hint belongs to: its font and margins are drawn for it.
    int Dpi = SystemDpi();
    // The rectangle at (0, 0) that the text needs, wrapped at maxWidth.
    TRectI CalcHintRect(int maxWidth, const std::string& text);
    // Shows the text at a screen rectangle, top-most and without taking the focus, moved back
    // onto the screen where it would leave it.
    void ActivateHint(TRectI rect, const std::string& text);
    // Hides the hint by releasing its window.
    void ReleaseHandle();
    const std::string& Text() const { return text_; }

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    HFONT HintFont();
    // To a screen reader, a tooltip named by its text, read when it appears.
    HWND AccessibleWindow() const override { return ExistingHandle(); }
    int AccessibleCount() const override { return 0; }
    bool DescribeAccessible(int, TAccessibleInfo&) const override { return false; }
    int AccessibleAt(POINT) const override { return 0; }
    int AccessibleFocus() const override { return 0; }
    void AccessibleDefaultAction(int) override {}
    long AccessibleRole() const override;
    TAccessible* accessible_ = nullptr;
    TGdiObject font_;
    int fontDpi_ = 0;
    std::string text_;
};
