#include "components/NewCtrls.h"

#include <shellapi.h>

#include <memory>
#include <string>

TFileDrop::TFileDrop(TComponent* owner) : TComponent(owner) {}

TFileDrop::~TFileDrop() { UnhookWindow(); }

void TFileDrop::SetAccept(bool value) {
    if (value == accept_) return;
    accept_ = value;
    if (hookedWnd_ != nullptr) DragAcceptFiles(hookedWnd_, accept_ ? TRUE : FALSE);
}

void TFileDrop::SetControl(TWinControl* value) {
    UnhookWindow();
    control_ = value;
    if (control_ != nullptr) control_->FreeNotification(this);
    HookWindow();
}

void TFileDrop::Loaded() {
    TComponent::Loaded();
    // A target named in the definition was hooked when it was set; the form's own window is
    // there only now.
    if (control_ == nullptr) Rehook();
}

void TFileDrop::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == control_) {
        // Its window is gone or going: nothing to unhook, and no drops until told otherwise.
        control_ = nullptr;
        accept_ = false;
    }
}

HWND TFileDrop::TargetWindow(bool create) {
    TWinControl* target = control_ != nullptr ? control_ : dynamic_cast<TForm*>(Owner());
    if (target == nullptr) return nullptr;
    if (!create && !target->HandleAllocated()) return nullptr;
    return target->Handle();
}

void TFileDrop::HookWindow() {
    HWND target = TargetWindow(true);
    if (target == nullptr) throw Exception("Invalidate Window Handle in FileDrop");
    hookedWnd_ = target;
    oldWndProc_ = SubclassBound(hookedWnd_, this);
    DragAcceptFiles(hookedWnd_, accept_ ? TRUE : FALSE);
}

void TFileDrop::UnhookWindow() {
    if (hookedWnd_ != nullptr) {
        // A window destroyed or replaced meanwhile is left alone.
        if (TargetWindow(false) == hookedWnd_) UnsubclassBound(hookedWnd_, oldWndProc_);
    }
    hookedWnd_ = nullptr;
}

LRESULT TFileDrop::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DROPFILES) {
        auto drop = reinterpret_cast<HDROP>(wParam);
        try {
            DoFileDrop(drop);
        } catch (const std::exception& e) {
            if (Application != nullptr) Application->HandleException(e);
        }
        DragFinish(drop);
        return 0;
    }
    return CallWindowProcA(oldWndProc_, hwnd, msg, wParam, lParam);
}

void TFileDrop::DoFileDrop(HDROP drop) {
    if (!OnFileDrop) return;
    auto files = std::make_unique<TStringList>();
    POINT point{};
    DragQueryPoint(drop, &point);
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    // Each path is read whole, however long: a cut path would be registered as a broken entry.
    for (UINT i = 0; i < count; ++i) {
        UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::string path(length + 1, '\0');
        UINT got = DragQueryFileA(drop, i, path.data(), length + 1);
        path.resize(got <= length ? got : length);
        files->Add(path);
    }
    OnFileDrop(this, static_cast<int32_t>(count), files.get(), point.x, point.y);
}
