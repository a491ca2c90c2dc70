// What a screen reader is told about one window of the module (Active Accessibility, which the
// platform's UI Automation bridges), answered through WM_GETOBJECT where the platform's own
// proxy cannot know it: the role of a skinned control, a link that is a static text, a list
// named by the check box before it, the state of each. Whatever the proxy does know (where the
// window is, its parent and children, hit testing, the focus) is asked of the proxy.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <atomic>
#include <string>

// The answers about a window, read anew at every question.
struct AccessibleFacts {
    std::wstring name;
    long role = ROLE_SYSTEM_CLIENT;
    long state = 0;
    std::wstring value;          // empty: none
    std::wstring defaultAction;  // empty: none
    std::wstring shortcut;       // empty: none ("Alt+S")
};

// Where the answers come from (the dialog the window belongs to).
class IAccessibleSource {
public:
    virtual AccessibleFacts Describe(HWND window) const = 0;
    // Starts the window's default action (posted: the caller does not wait for it); false
    // when it has none.
    virtual bool DoDefaultAction(HWND window) const = 0;

protected:
    ~IAccessibleSource() = default;
};

// One window's answers. Made with one reference, which its maker gives back after
// Disconnect; a screen reader may hold others for as long as it likes.
class CAccessible final : public IAccessible {
public:
    CAccessible(HWND window, const IAccessibleSource& source);
    CAccessible(const CAccessible&) = delete;
    CAccessible& operator=(const CAccessible&) = delete;

    // The window is going: every later question fails, and the platform drops the references
    // it holds for other processes. Called on the window's thread.
    void Disconnect();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: no type information; screen readers call the interface directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override;
    // IAccessible: what the module knows
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    // IAccessible: what the platform's proxy knows
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override;

private:
    ~CAccessible();
    // Why a question about the window itself cannot be answered (S_OK: it can).
    HRESULT CheckSelf(const VARIANT& child) const;
    // A text answer: S_FALSE and no text when it is empty.
    static HRESULT Text(const std::wstring& text, BSTR* out);
    IAccessible* Proxy();

    std::atomic<ULONG> m_refs{1};
    HWND m_window;
    const IAccessibleSource* m_source;  // null once disconnected
    IAccessible* m_proxy = nullptr;     // the platform's, made at its first question
};
