// What a screen reader sees of a window that draws parts of its own: its client area as an
// IAccessible whose simple children are those parts, with everything else (the window itself, its
// child windows, its parent) left to the system's own object for the window.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>

// What one part is to a screen reader. Name and DefaultAction in Shift-JIS, as the program's text.
struct TAccessibleInfo {
    std::string Name;
    long Role = ROLE_SYSTEM_GRAPHIC;
    long State = 0;
    std::string DefaultAction;
    RECT Screen{};  // where it is, in screen pixels
};

// The window's side: its parts numbered from 1, as the screen reader asks for them.
class IAccessibleSource {
public:
    virtual HWND AccessibleWindow() const = 0;
    virtual int AccessibleCount() const = 0;
    // False when there is no such part (any more).
    virtual bool DescribeAccessible(int id, TAccessibleInfo& info) const = 0;
    // The part at a point of the client area, or 0.
    virtual int AccessibleAt(POINT client) const = 0;
    // The part that has the keyboard, or 0.
    virtual int AccessibleFocus() const = 0;
    // Does the part's default action; the screen reader is answered first (the action is posted).
    virtual void AccessibleDefaultAction(int id) = 0;
    // The window's own role where it is not what the system says (a hint is a tooltip), or 0.
    virtual long AccessibleRole() const { return 0; }

protected:
    ~IAccessibleSource() = default;
};

// The object a window hands out for OBJID_CLIENT. A screen reader may hold it after the window is
// gone: Detach then leaves it answering CO_E_OBJNOTCONNECTED.
class TAccessible;

// Answers WM_GETOBJECT for OBJID_CLIENT with the source's object, made at the first ask and kept
// in holder; 0 where the system's own object should answer (oleacc missing, another object asked).
LRESULT AnswerGetObject(IAccessibleSource* source, TAccessible*& holder, WPARAM wParam, LPARAM lParam);
// The window is going: the object answers nothing more, and the holder's reference is given up.
void DetachAccessible(TAccessible*& holder);
// Tells a screen reader listening to the window of an event of one of its parts (0 is the client
// area itself).
void NotifyAccessible(HWND window, DWORD event, int id);
