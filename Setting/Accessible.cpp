#include "Accessible.h"

#include "AccessibilityApi.h"

namespace {

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

}  // namespace

CAccessible::CAccessible(HWND window, const IAccessibleSource& source)
    : m_window(window), m_source(&source) {}

CAccessible::~CAccessible() {
    if (m_proxy) m_proxy->Release();
}

void CAccessible::Disconnect() {
    if (!m_source) return;
    m_source = nullptr;
    m_window = nullptr;
    if (m_proxy) {
        m_proxy->Release();
        m_proxy = nullptr;
    }
    // Releases (here and now) every reference the platform keeps for other processes.
    AddRef();
    accessibility_api::CoDisconnectObject(this);
    Release();
}

HRESULT CAccessible::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    using namespace accessibility_api;
    if (IsEqualIID(riid, kIID_IUnknown) || IsEqualIID(riid, kIID_IDispatch) ||
        IsEqualIID(riid, kIID_IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CAccessible::AddRef() {
    return ++m_refs;
}

ULONG CAccessible::Release() {
    const ULONG left = --m_refs;
    if (left == 0) delete this;
    return left;
}

HRESULT CAccessible::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}
HRESULT CAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}
HRESULT CAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}
HRESULT CAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

HRESULT CAccessible::CheckSelf(const VARIANT& child) const {
    if (!m_source) return RPC_E_DISCONNECTED;
    return IsSelf(child) ? S_OK : E_INVALIDARG;
}

HRESULT CAccessible::Text(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = accessibility_api::SysAllocString(text.c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

IAccessible* CAccessible::Proxy() {
    if (!m_proxy && m_window) {
        void* proxy = nullptr;
        if (SUCCEEDED(accessibility_api::CreateStdAccessibleObject(
                m_window, OBJID_CLIENT, accessibility_api::kIID_IAccessible, &proxy))) {
            m_proxy = static_cast<IAccessible*>(proxy);
        }
    }
    return m_proxy;
}

// ---- What the module knows ----------------------------------------------------------------
// Questions about the window itself are answered here; those about a part of it (a child id
// the proxy gave out) go to the proxy.

HRESULT CAccessible::get_accName(VARIANT child, BSTR* name) {
    const HRESULT self = CheckSelf(child);
    if (self == E_INVALIDARG && Proxy()) return Proxy()->get_accName(child, name);
    if (FAILED(self)) return self;
    return Text(m_source->Describe(m_window).name, name);
}

HRESULT CAccessible::get_accRole(VARIANT child, VARIANT* role) {
    const HRESULT self = CheckSelf(child);
    if (self == E_INVALIDARG && Proxy()) return Proxy()->get_accRole(child, role);
    if (FAILED(self)) return self;
    if (!role) return E_POINTER;
    role->vt = VT_I4;
    role->lVal = m_source->Describe(m_window).role;
    return S_OK;
}

HRESULT CAccessible::get_accState(VARIANT child, VARIANT* state) {
    const HRESULT self = CheckSelf(child);
    if (self == E_INVALIDARG && Proxy()) return Proxy()->get_accState(child, state);
    if (FAILED(self)) return self;
    if (!state) return E_POINTER;
    state->vt = VT_I4;
    state->lVal = m_source->Describe(m_window).state;
    return S_OK;
}

HRESULT CAccessible::get_accValue(VARIANT child, BSTR* value) {
    const HRESULT self = CheckSelf(child);
    if (self == E_INVALIDARG && Proxy()) return Proxy()->get_accValue(child, value);
    if (FAILED(self)) return self;
    return Text(m_source->Describe(m_window).value, value);
}

HRESULT CAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    const HRESULT self = CheckSelf(child);
    if (self == E_INVALIDARG && Proxy()) return Proxy()->get_accDefaultAction(child, action);
    if (FAILED(self)) return self;
    return Text(m_source->Describe(m_window).defaultAction, action);
}

HRESULT CAccessible::accDoDefaultAction(VARIANT child) {
    const HRESULT self = CheckSelf(child);
    if (self == E_INVALIDARG && Proxy()) return Proxy()->accDoDefaultAction(child);
    if (FAILED(self)) return self;
    return m_source->DoDefaultAction(m_window) ? S_OK : DISP_E_MEMBERNOTFOUND;
}

HRESULT CAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    const HRESULT self = CheckSelf(child);
    if (self == E_INVALIDARG && Proxy()) return Proxy()->get_accKeyboardShortcut(child, shortcut);
    if (FAILED(self)) return self;
    return Text(m_source->Describe(m_window).shortcut, shortcut);
}

HRESULT CAccessible::get_accDescription(VARIANT child, BSTR* description) {
    const HRESULT self = CheckSelf(child);
    if (self == E_INVALIDARG && Proxy()) return Proxy()->get_accDescription(child, description);
    if (FAILED(self)) return self;
    return Text(std::wstring(), description);
}

HRESULT CAccessible::get_accHelp(VARIANT child, BSTR* help) {
    const HRESULT self = CheckSelf(child);
    if (self == E_INVALIDARG && Proxy()) return Proxy()->get_accHelp(child, help);
    if (FAILED(self)) return self;
    return Text(std::wstring(), help);
}

HRESULT CAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    if (file) *file = nullptr;
    if (topic) *topic = -1;
    return m_source ? S_FALSE : RPC_E_DISCONNECTED;
}

HRESULT CAccessible::put_accName(VARIANT, BSTR) {
    return m_source ? E_NOTIMPL : RPC_E_DISCONNECTED;
}

HRESULT CAccessible::put_accValue(VARIANT, BSTR) {
    return m_source ? E_NOTIMPL : RPC_E_DISCONNECTED;
}

// ---- What the platform's proxy knows ------------------------------------------------------

#define ASK_PROXY(call)                           \
    do {                                          \
        if (!m_source) return RPC_E_DISCONNECTED; \
        IAccessible* proxy = Proxy();             \
        return proxy ? proxy->call : E_FAIL;      \
    } while (false)

HRESULT CAccessible::get_accParent(IDispatch** parent) {
    ASK_PROXY(get_accParent(parent));
}
HRESULT CAccessible::get_accChildCount(long* count) {
    ASK_PROXY(get_accChildCount(count));
}
HRESULT CAccessible::get_accChild(VARIANT child, IDispatch** object) {
    ASK_PROXY(get_accChild(child, object));
}
HRESULT CAccessible::get_accFocus(VARIANT* focus) {
    ASK_PROXY(get_accFocus(focus));
}
HRESULT CAccessible::get_accSelection(VARIANT* selection) {
    ASK_PROXY(get_accSelection(selection));
}
HRESULT CAccessible::accSelect(long flags, VARIANT child) {
    ASK_PROXY(accSelect(flags, child));
}
HRESULT CAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    ASK_PROXY(accLocation(left, top, width, height, child));
}
HRESULT CAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    ASK_PROXY(accNavigate(direction, start, end));
}
HRESULT CAccessible::accHitTest(long x, long y, VARIANT* child) {
    ASK_PROXY(accHitTest(x, y, child));
}

#undef ASK_PROXY
