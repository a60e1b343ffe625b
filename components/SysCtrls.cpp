#include "components/SysCtrls.h"

#include <cstring>

#include "app/UnitUtils.h"

TShellNotifyIcon ShellNotifyIcon = &Shell_NotifyIconW;
int32_t TrayIconCount = 0;
UINT TIconTray::RetryInterval = 2000;

namespace {

constexpr size_t kMaxTip = 63;  // bytes of Shift-JIS, as the shell's oldest record took them

// The shell says it has (re)made the notification area: after a restart of the shell every
// icon has to be added again.
UINT TaskbarCreatedMessage() {
    static UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

// At most kMaxTip bytes, never ending in the first half of a double-byte character.
std::string CutTip(const std::string& text) {
    size_t end = 0;
    while (end < text.size()) {
        size_t step = IsLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size() ? 2 : 1;
        if (end + step > kMaxTip) break;
        end += step;
    }
    return text.substr(0, end);
}

TShiftState PressedKeys() {
    TShiftState s = 0;
    const struct {
        int key;
        TShiftFlag flag;
    } keys[] = {{VK_SHIFT, ssShift}, {VK_CONTROL, ssCtrl},   {VK_MENU, ssAlt},
                {VK_LBUTTON, ssLeft}, {VK_RBUTTON, ssRight}, {VK_MBUTTON, ssMiddle}};
    for (const auto& k : keys)
        if (GetKeyState(k.key) < 0) s |= k.flag;
    return s;
}

}  // namespace

TIconTray::TIconTray(TComponent* owner) : TComponent(owner) {
    iconID_ = ++TrayIconCount;
    // A hidden top-level window: the shell's callbacks come to it, and so does the broadcast
    // that the notification area was made anew.
    RegisterBoundClass("TIconTrayWindow", 0);
    msgWindow_ = CreateBoundWindow(this, "TIconTrayWindow", WS_EX_TOOLWINDOW, WS_POPUP, 0, 0, 0, 0, nullptr);
    AllowFromOtherPrograms(msgWindow_, TaskbarCreatedMessage());  // run as administrator too
}

TIconTray::~TIconTray() {
    UpdateIcon(false);
    if (msgWindow_ != nullptr) DestroyWindow(msgWindow_);
    msgWindow_ = nullptr;
}

void TIconTray::SetIcon(const TIcon* value) {
    icon_.Assign(value);
    UpdateIcon(true);
}

void TIconTray::SetHint(const std::string& value) {
    if (value == hint_) return;
    hint_ = CutTip(value);
    UpdateIcon(true);
}

void TIconTray::SetShowHint(bool value) {
    if (value == showHint_) return;
    showHint_ = value;
    UpdateIcon(true);
}

void TIconTray::SetRBtnPopupMenu(TPopupMenu* value) {
    rbtnPopupMenu_ = value;
    if (value != nullptr) value->FreeNotification(this);
}

void TIconTray::SetLBtnPopupMenu(TPopupMenu* value) {
    lbtnPopupMenu_ = value;
    if (value != nullptr) value->FreeNotification(this);
}

void TIconTray::Loaded() {
    TComponent::Loaded();
    if (HideMainForm && Application != nullptr) {
        // The program has no window of its own on the task bar: keeping the main form from being
        // shown at the start is all there is to hide.
        Application->ShowMainForm = false;
    }
    UpdateIcon(true);
}

void TIconTray::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == rbtnPopupMenu_) rbtnPopupMenu_ = nullptr;
    if (component == lbtnPopupMenu_) lbtnPopupMenu_ = nullptr;
}

void TIconTray::UpdateIcon(bool show) {
    if (show && icon_.Empty()) show = false;
    wanted_ = show;
    if (show) {
        notifyData_ = NOTIFYICONDATAW{};
        notifyData_.cbSize = NOTIFYICONDATAW_V1_SIZE;
        notifyData_.hWnd = msgWindow_;
        notifyData_.uID = static_cast<UINT>(iconID_);
        notifyData_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        notifyData_.uCallbackMessage = WM_USER;
        notifyData_.hIcon = icon_.Handle();
        if (showHint_) {  // at most 63 bytes, so as many characters at most
            std::wstring tip = SjisToWide(hint_);
            std::memcpy(notifyData_.szTip, tip.data(), tip.size() * sizeof(wchar_t));
        }
        // After a refused add the icon may be there all the same (the shell answers late, with a
        // time-out): a change tells whether it is.
        iconAdded_ = ((iconAdded_ || retrying_) && ShellNotifyIcon(NIM_MODIFY, &notifyData_)) ||
                     ShellNotifyIcon(NIM_ADD, &notifyData_);
        // At sign-in the task bar may not take icons yet, and no TaskbarCreated need follow when it
        // does: asked again until it takes it.
        SetRetrying(!iconAdded_);
    } else {
        SetRetrying(false);
        if (iconAdded_) ShellNotifyIcon(NIM_DELETE, &notifyData_);
        iconAdded_ = false;
    }
}

void TIconTray::SetRetrying(bool value) {
    if (value == retrying_ || msgWindow_ == nullptr) return;
    retrying_ = value;
    if (value)
        SetTimer(msgWindow_, kRetryTimer, RetryInterval, nullptr);
    else
        KillTimer(msgWindow_, kRetryTimer);
}

LRESULT TIconTray::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_USER) {
        TrayWndProc(lParam);
        return 0;
    }
    if (msg == TaskbarCreatedMessage() && wanted_) {
        // The icon went with the old notification area: add it anew.
        iconAdded_ = false;
        UpdateIcon(true);
    }
    if (msg == WM_TIMER && wParam == kRetryTimer) {
        if (wanted_) UpdateIcon(true);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void TIconTray::TrayWndProc(LPARAM mouseMessage) {
    POINT p{};
    GetCursorPos(&p);
    TShiftState shift = PressedKeys();
    switch (mouseMessage) {
        case WM_MOUSEMOVE:
            if (OnMouseMove) OnMouseMove(this, shift, p.x, p.y);
            break;
        case WM_LBUTTONDOWN: MouseDown(TMouseButton::mbLeft, shift, p); break;
        case WM_LBUTTONUP:
            if (OnClick) OnClick(this);
            if (OnMouseUp) OnMouseUp(this, TMouseButton::mbLeft, shift, p.x, p.y);
            PopupAt(p, lbtnPopupMenu_);
            break;
        case WM_LBUTTONDBLCLK:
            if (OnDblClick) OnDblClick(this);
            MouseDown(TMouseButton::mbLeft, shift | ssDouble, p);
            break;
        case WM_RBUTTONDOWN: MouseDown(TMouseButton::mbRight, shift, p); break;
        case WM_RBUTTONUP:
            if (OnMouseUp) OnMouseUp(this, TMouseButton::mbRight, shift, p.x, p.y);
            PopupAt(p, rbtnPopupMenu_);
            break;
        case WM_RBUTTONDBLCLK: MouseDown(TMouseButton::mbRight, shift | ssDouble, p); break;
        case WM_MBUTTONDOWN: MouseDown(TMouseButton::mbMiddle, shift, p); break;
        case WM_MBUTTONUP:
            if (OnMouseUp) OnMouseUp(this, TMouseButton::mbMiddle, shift, p.x, p.y);
            break;
        case WM_MBUTTONDBLCLK: MouseDown(TMouseButton::mbMiddle, shift | ssDouble, p); break;
        default: break;
    }
}

void TIconTray::MouseDown(TMouseButton button, TShiftState shift, POINT p) {
    if (auto* form = dynamic_cast<TForm*>(Owner())) {
        // Under a dialog or message box of the program, that comes forward, not the form it holds.
        HWND modal = Application != nullptr ? Application->ModalWindow() : nullptr;
        SetForegroundWindow(modal != nullptr ? modal : form->Handle());
        if (Application != nullptr) Application->ProcessMessages();
    }
    if (OnMouseDown) OnMouseDown(this, button, shift, p.x, p.y);
}

void TIconTray::PopupAt(POINT p, TPopupMenu* menu) {
    if (menu == nullptr || !menu->AutoPopup) return;
    if (auto* form = dynamic_cast<TForm*>(Owner()); form != nullptr && form->HandleAllocated() &&
                                                    GetActiveWindow() == form->Handle()) {
        // Ends any press or drag in progress on the form before the menu's own loop runs.
        if (HWND focus = GetFocus(); focus != nullptr) SendMessageW(focus, WM_CANCELMODE, 0, 0);
    }
    menu->Popup(p.x, p.y);
}
