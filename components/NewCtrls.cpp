#include "components/NewCtrls.h"

#include <shellapi.h>

#include <memory>
#include <string>

namespace {
constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA, which the headers do not name
}  // namespace

TFileDrop::TFileDrop(TComponent* owner) : TComponent(owner) {}

TFileDrop::~TFileDrop() { UnhookWindow(); }

void TFileDrop::SetAccept(bool value) {
    if (value == accept_) return;
    accept_ = value;
    UpdateAcceptFiles();
}

// While a dialog or message box of the program is open, its other windows are disabled: a drop
// there would change what the dialog is editing, so it is refused as on any window that takes none.
void TFileDrop::UpdateAcceptFiles() {
    if (hookedWnd_ == nullptr) return;
    bool enabled = IsWindowEnabled(GetAncestor(hookedWnd_, GA_ROOT)) != FALSE;
    DragAcceptFiles(hookedWnd_, accept_ && enabled ? TRUE : FALSE);
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
    // A drop from the file manager reaches a launcher run as administrator: the drop itself, and
    // the two messages that carry its data across.
    for (UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData})
        AllowFromOtherPrograms(hookedWnd_, message);
    UpdateAcceptFiles();
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
        // The drop's memory is given back whatever the handler throws.
        struct TFinish {
            HDROP drop;
            ~TFinish() { DragFinish(drop); }
        } finish{reinterpret_cast<HDROP>(wParam)};
        // One already on its way when a dialog opened is not taken either.
        if (!IsWindowEnabled(GetAncestor(hwnd, GA_ROOT))) return 0;
        try {
            DoFileDrop(finish.drop);
        } catch (const std::exception& e) {
            if (Application != nullptr) Application->HandleException(e);
        }
        return 0;
    }
    if (msg == CM_ROOTENABLED) {  // the dialog the control is on went under another one, or came back
        UpdateAcceptFiles();
        return 0;
    }
    LRESULT result = CallWindowProcW(oldWndProc_, hwnd, msg, wParam, lParam);
    // The root window's own enabling reaches a hooked form directly.
    if (msg == WM_ENABLE) UpdateAcceptFiles();
    return result;
}

void TFileDrop::DoFileDrop(HDROP drop) {
    if (!OnFileDrop) return;
    auto files = std::make_unique<TStringList>();
    POINT point{};
    DragQueryPoint(drop, &point);
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    // Each name is read whole, however long, and as the system holds it: a cut path, or one with
    // look-alike characters, would be registered as a broken entry.
    std::vector<std::wstring> wide;
    for (UINT i = 0; i < count; ++i) {
        UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        UINT got = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(got <= length ? got : length);
        std::string ansi;
        WideToSjisExact(path, ansi);
        files->Add(ansi);
        wide.push_back(std::move(path));
    }
    wideFiles_ = std::move(wide);
    struct TForget {
        std::vector<std::wstring>& names;
        ~TForget() { names.clear(); }
    } forget{wideFiles_};
    OnFileDrop(this, static_cast<int32_t>(count), files.get(), point.x, point.y);
}
