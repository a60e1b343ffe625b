// TFileDrop: makes one window a target for files dragged from the shell and reports each drop,
// with its paths and the drop point, as one event.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Forms.h"

// Num paths in Files (the component's list, gone after the handler returns), X and Y in the
// client coordinates of the hooked window. Files holds the ANSI form of each name, with "?" for a
// character that has none; WideFiles, during the event, the names as the system gave them.
using TFileDropEvent = std::function<void(TObject* Sender, int32_t Num, TStrings* Files, int32_t X, int32_t Y)>;

class TFileDrop : public TComponent, private IMessageTarget {
public:
    explicit TFileDrop(TComponent* owner);
    ~TFileDrop() override;

    bool Accept() const { return accept_; }
    void SetAccept(bool value);
    // The control whose window takes the drops; none means the owner form's window.
    TWinControl* Control() const { return control_; }
    void SetControl(TWinControl* value);
    // Unhooks and hooks the current target again (after its window was re-created).
    void Rehook() { SetControl(control_); }

    TFileDropEvent OnFileDrop;

    HWND HookedWnd() const { return hookedWnd_; }
    // The dropped names in wide characters, while OnFileDrop runs.
    const std::vector<std::wstring>& WideFiles() const { return wideFiles_; }

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    virtual void DoFileDrop(HDROP drop);
    virtual void HookWindow();
    virtual void UnhookWindow();

private:
    // Every message of the hooked window comes here first.
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    HWND TargetWindow(bool create);

    // Whether the hooked window tells the shell that it takes files now.
    void UpdateAcceptFiles();

    bool accept_ = true;
    std::vector<std::wstring> wideFiles_;
    TWinControl* control_ = nullptr;
    HWND hookedWnd_ = nullptr;
    WNDPROC oldWndProc_ = nullptr;
};
