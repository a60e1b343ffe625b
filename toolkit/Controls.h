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

// A control without a window of its own: its parent form paints it.
class TGraphicControl : public TComponent {
public:
    TGraphicControl(TComponent* owner, TForm* parent);
    ~TGraphicControl() override;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    virtual void Paint(HDC dc) = 0;
    void SetBounds(int left, int top, int width, int height);

protected:
    TForm* parent_;
};

enum class TBevelShape { bsFrame };
enum class TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    TBevelShape Shape = TBevelShape::bsFrame;
    TBevelStyle Style = TBevelStyle::bsLowered;
    void Paint(HDC dc) override;
};

class TLabel : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    std::string Caption;
    TFont Font;
    void Paint(HDC dc) override;
};

class TPopupMenu;

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

// A child window with a picture, a hover tooltip, a popup menu, click and mouse-move events.
class TImage : public TWinControl {
public:
    TImage(TComponent* owner, TWinControl* parent);
    ~TImage() override;

    TBitmap Picture;
    bool Stretch = false;
    bool Center = false;
    TPopupMenu* PopupMenu = nullptr;
    TNotifyEvent OnClick;
    TMouseMoveEvent OnMouseMove;

    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    void SetShowHint(bool show);
    void PictureChanged();  // repaint after Picture was changed

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void UpdateTool();
    TWinControl* parent_;
    std::string hint_;
    bool showHint_ = false;
    bool toolAdded_ = false;
    bool pressed_ = false;
};

class TSpeedButton : public TWinControl {
public:
    TSpeedButton(TComponent* owner, TWinControl* parent);
    // A one-bit picture: black pixels are drawn, white ones are transparent. Rows of '#' and '.'.
    void SetGlyph(const std::vector<std::string>& rows);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    TNotifyEvent OnClick;

protected:
    void CreateParams(TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    TWinControl* parent_;
    std::vector<std::string> glyph_;
    bool enabled_ = true;
    bool down_ = false;
};

// The tooltip-style window that shows a text at a place on the screen.
class THintWindow : public TWinControl {
public:
    explicit THintWindow(TComponent* owner);
    COLORREF Color = GetSysColor(COLOR_INFOBK);
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
    TGdiObject font_;
    std::string text_;
};
