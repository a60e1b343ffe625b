#include "toolkit/Accessible.h"

#include "toolkit/SystemLibraries.h"
#include "toolkit/WideText.h"

namespace {

// oleacc is not one of Windows' known DLLs: taken from the system folder at the first ask.
struct TOleAcc {
    using TLresultFromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using TCreateStd = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    TLresultFromObject LresultFromObject = nullptr;
    TCreateStd CreateStdAccessibleObject = nullptr;

    static const TOleAcc& Get() {
        static const TOleAcc acc = [] {
            TOleAcc a;
            if (HMODULE dll = SystemLibrary(L"oleacc.dll"); dll != nullptr) {
                a.LresultFromObject =
                    reinterpret_cast<TLresultFromObject>(reinterpret_cast<void*>(GetProcAddress(dll, "LresultFromObject")));
                a.CreateStdAccessibleObject = reinterpret_cast<TCreateStd>(
                    reinterpret_cast<void*>(GetProcAddress(dll, "CreateStdAccessibleObject")));
            }
            return a;
        }();
        return acc;
    }
};

BSTR Bstr(const std::string& sjis) {
    if (sjis.empty()) return nullptr;
    return SysAllocString(SjisToWide(sjis).c_str());
}

bool IsChild(const VARIANT& v) { return v.vt == VT_I4 && v.lVal != CHILDID_SELF; }

}  // namespace

// Simple children 1..n are the source's parts; the system's object's own children (child windows)
// follow them, so a dialog keeps its controls.
class TAccessible final : public IAccessible {
public:
    explicit TAccessible(IAccessibleSource* source) : source_(source) {
        const TOleAcc& acc = TOleAcc::Get();
        if (acc.CreateStdAccessibleObject != nullptr)
            acc.CreateStdAccessibleObject(source->AccessibleWindow(), OBJID_CLIENT, IID_IAccessible,
                                          reinterpret_cast<void**>(&std_));
    }

    void Detach() {
        source_ = nullptr;
        if (std_ != nullptr) std_->Release();
        std_ = nullptr;
    }
    bool Usable() const { return source_ != nullptr && std_ != nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            Detach();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch: screen readers call the interface directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count != nullptr) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return Usable() ? std_->get_accParent(parent) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!Usable()) return CO_E_OBJNOTCONNECTED;
        if (count == nullptr) return E_POINTER;
        long windows = 0;
        if (FAILED(std_->get_accChildCount(&windows))) windows = 0;
        *count = Parts() + windows;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!Usable()) return CO_E_OBJNOTCONNECTED;
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (child.vt != VT_I4) return E_INVALIDARG;
        if (child.lVal >= 1 && child.lVal <= Parts()) return S_FALSE;  // a simple element
        return WindowCall(child, [&](VARIANT c) { return std_->get_accChild(c, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, &TAccessibleInfo::Name, [&](VARIANT c) { return std_->get_accName(c, name); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!Usable()) return CO_E_OBJNOTCONNECTED;
        if (value == nullptr) return E_POINTER;
        *value = nullptr;
        if (IsPart(child)) return DISP_E_MEMBERNOTFOUND;
        return WindowCall(child, [&](VARIANT c) { return std_->get_accValue(c, value); });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return Empty(child, text, [&](VARIANT c) { return std_->get_accDescription(c, text); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return Empty(child, text, [&](VARIANT c) { return std_->get_accHelp(c, text); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (!Usable()) return CO_E_OBJNOTCONNECTED;
        if (IsPart(child)) return DISP_E_MEMBERNOTFOUND;
        return WindowCall(child, [&](VARIANT c) { return std_->get_accHelpTopic(file, c, topic); });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return Empty(child, text, [&](VARIANT c) { return std_->get_accKeyboardShortcut(c, text); });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Text(child, action, &TAccessibleInfo::DefaultAction,
                    [&](VARIANT c) { return std_->get_accDefaultAction(c, action); });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!Usable()) return CO_E_OBJNOTCONNECTED;
        if (role == nullptr) return E_POINTER;
        VariantInit(role);
        TAccessibleInfo info;
        if (IsPart(child)) {
            if (!source_->DescribeAccessible(child.lVal, info)) return E_INVALIDARG;
            role->vt = VT_I4;
            role->lVal = info.Role;
            return S_OK;
        }
        if (child.vt == VT_I4 && child.lVal == CHILDID_SELF && source_->AccessibleRole() != 0) {
            role->vt = VT_I4;
            role->lVal = source_->AccessibleRole();
            return S_OK;
        }
        return WindowCall(child, [&](VARIANT c) { return std_->get_accRole(c, role); });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!Usable()) return CO_E_OBJNOTCONNECTED;
        if (state == nullptr) return E_POINTER;
        VariantInit(state);
        if (IsPart(child)) {
            TAccessibleInfo info;
            if (!source_->DescribeAccessible(child.lVal, info)) return E_INVALIDARG;
            state->vt = VT_I4;
            state->lVal = info.State;
            return S_OK;
        }
        return WindowCall(child, [&](VARIANT c) { return std_->get_accState(c, state); });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!Usable()) return CO_E_OBJNOTCONNECTED;
        if (focus == nullptr) return E_POINTER;
        VariantInit(focus);
        if (int id = source_->AccessibleFocus(); id != 0) {
            focus->vt = VT_I4;
            focus->lVal = id;
            return S_OK;
        }
        return Shifted(std_->get_accFocus(focus), focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return Usable() ? std_->get_accSelection(selection) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        if (!Usable()) return CO_E_OBJNOTCONNECTED;
        if (IsPart(child)) return DISP_E_MEMBERNOTFOUND;
        return WindowCall(child, [&](VARIANT c) { return std_->accSelect(flags, c); });
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (!Usable()) return CO_E_OBJNOTCONNECTED;
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
        if (IsPart(child)) {
            TAccessibleInfo info;
            if (!source_->DescribeAccessible(child.lVal, info)) return E_INVALIDARG;
            *left = info.Screen.left;
            *top = info.Screen.top;
            *width = info.Screen.right - info.Screen.left;
            *height = info.Screen.bottom - info.Screen.top;
            return S_OK;
        }
        return WindowCall(child, [&](VARIANT c) { return std_->accLocation(left, top, width, height, c); });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!Usable()) return CO_E_OBJNOTCONNECTED;
        if (end == nullptr) return E_POINTER;
        VariantInit(end);
        long n = Parts(), to = 0;
        bool self = start.vt == VT_I4 && start.lVal == CHILDID_SELF;
        if (self && direction == NAVDIR_FIRSTCHILD && n > 0) to = 1;
        if (IsPart(start) && (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT))
            to = start.lVal < n ? start.lVal + 1 : 0;
        if (IsPart(start) && (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP || direction == NAVDIR_LEFT))
            to = start.lVal - 1;
        if (to > 0) {
            end->vt = VT_I4;
            end->lVal = to;
            return S_OK;
        }
        if (IsPart(start)) return S_FALSE;
        return Shifted(WindowCall(start, [&](VARIANT c) { return std_->accNavigate(direction, c, end); }), end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        if (!Usable()) return CO_E_OBJNOTCONNECTED;
        if (hit == nullptr) return E_POINTER;
        VariantInit(hit);
        POINT p{x, y};
        ScreenToClient(source_->AccessibleWindow(), &p);
        RECT client;
        GetClientRect(source_->AccessibleWindow(), &client);
        if (PtInRect(&client, p)) {
            if (int id = source_->AccessibleAt(p); id != 0) {
                hit->vt = VT_I4;
                hit->lVal = id;
                return S_OK;
            }
        }
        return Shifted(std_->accHitTest(x, y, hit), hit);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!Usable()) return CO_E_OBJNOTCONNECTED;
        if (IsPart(child)) {
            TAccessibleInfo info;
            if (!source_->DescribeAccessible(child.lVal, info)) return E_INVALIDARG;
            if (info.DefaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
            source_->AccessibleDefaultAction(child.lVal);
            return S_OK;
        }
        return WindowCall(child, [&](VARIANT c) { return std_->accDoDefaultAction(c); });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~TAccessible() = default;

    long Parts() const { return source_->AccessibleCount(); }
    bool IsPart(const VARIANT& v) const { return IsChild(v) && v.lVal >= 1 && v.lVal <= Parts(); }

    // A call about the window itself or one of the system object's children, numbered after the parts.
    template <typename Call>
    HRESULT WindowCall(VARIANT child, Call call) {
        if (child.vt != VT_I4) return E_INVALIDARG;
        if (child.lVal != CHILDID_SELF) child.lVal -= Parts();
        if (child.lVal < 0) return E_INVALIDARG;
        return call(child);
    }
    // A child the system's object names by number is numbered after the parts here.
    HRESULT Shifted(HRESULT result, VARIANT* v) const {
        if (SUCCEEDED(result) && v->vt == VT_I4 && v->lVal != CHILDID_SELF) v->lVal += Parts();
        return result;
    }
    template <typename Call>
    HRESULT Text(VARIANT child, BSTR* out, std::string TAccessibleInfo::*field, Call call) {
        if (!Usable()) return CO_E_OBJNOTCONNECTED;
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (IsPart(child)) {
            TAccessibleInfo info;
            if (!source_->DescribeAccessible(child.lVal, info)) return E_INVALIDARG;
            *out = Bstr(info.*field);
            return *out != nullptr ? S_OK : S_FALSE;
        }
        return WindowCall(child, call);
    }
    template <typename Call>
    HRESULT Empty(VARIANT child, BSTR* out, Call call) {
        if (!Usable()) return CO_E_OBJNOTCONNECTED;
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (IsPart(child)) return S_FALSE;
        return WindowCall(child, call);
    }

    LONG refs_ = 1;
    IAccessibleSource* source_;
    IAccessible* std_ = nullptr;
};

LRESULT AnswerGetObject(IAccessibleSource* source, TAccessible*& holder, WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) return 0;
    const TOleAcc& acc = TOleAcc::Get();
    if (acc.LresultFromObject == nullptr) return 0;
    if (holder == nullptr) holder = new TAccessible(source);
    if (!holder->Usable()) return 0;
    LRESULT result = acc.LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(holder));
    return result > 0 ? result : 0;
}

void DetachAccessible(TAccessible*& holder) {
    if (holder == nullptr) return;
    holder->Detach();
    holder->Release();
    holder = nullptr;
}

void NotifyAccessible(HWND window, DWORD event, int id) {
    if (window != nullptr) NotifyWinEvent(event, window, OBJID_CLIENT, id);
}
