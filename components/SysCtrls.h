// TIconTray: one icon with a tooltip in the notification area; the shell's mouse notifications for
// it become events, and a popup menu opens when a button is released over it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "toolkit/Controls.h"
#include "toolkit/Icon.h"

// Every Shell_NotifyIcon call of the tray icons goes through here, so tests can watch them.
using TShellNotifyIcon = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);
extern TShellNotifyIcon ShellNotifyIcon;

// Numbers the tray icons of the process: the first one made is 1. Never counts down.
extern int32_t TrayIconCount;

class TIconTray : public TComponent, private IMessageTarget {
public:
    explicit TIconTray(TComponent* owner);
    ~TIconTray() override;

    const TIcon* Icon() const { return &icon_; }
    void SetIcon(const TIcon* value);
    int32_t IconID() const { return iconID_; }
    bool HideMainForm = false;
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value);
    TPopupMenu* RBtnPopupMenu() const { return rbtnPopupMenu_; }
    void SetRBtnPopupMenu(TPopupMenu* value);
    TPopupMenu* LBtnPopupMenu() const { return lbtnPopupMenu_; }
    void SetLBtnPopupMenu(TPopupMenu* value);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

    HWND MsgWindow() const { return msgWindow_; }
    bool IconAdded() const { return iconAdded_; }
    const NOTIFYICONDATAW& NotifyData() const { return notifyData_; }

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    // Shows or removes the icon; an add the shell refuses is asked again every RetryInterval ms.
    void UpdateIcon(bool show);
    static UINT RetryInterval;

private:
    static constexpr UINT_PTR kRetryTimer = 1;
    void SetRetrying(bool value);
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void TrayWndProc(LPARAM mouseMessage);
    void MouseDown(TMouseButton button, TShiftState shift, POINT p);
    void PopupAt(POINT p, TPopupMenu* menu);

    TIcon icon_;
    int32_t iconID_ = 0;
    std::string hint_;
    TPopupMenu* rbtnPopupMenu_ = nullptr;
    TPopupMenu* lbtnPopupMenu_ = nullptr;
    bool showHint_ = true;
    HWND msgWindow_ = nullptr;
    bool iconAdded_ = false;
    bool wanted_ = false;
    bool retrying_ = false;
    NOTIFYICONDATAW notifyData_{};
};
