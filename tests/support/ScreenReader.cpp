#include "ScreenReader.h"

#include <oleacc.h>

#include <memory>

namespace testsupport {

namespace {

// Defined here: the identity in mingw's import library does not read right.
const IID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct ReleaseObject {
    void operator()(IAccessible* object) const { object->Release(); }
};
using AccessibleRef = std::unique_ptr<IAccessible, ReleaseObject>;

AccessibleRef ClientObject(HWND window) {
    void* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                            &object))) {
        return nullptr;
    }
    return AccessibleRef(static_cast<IAccessible*>(object));
}

VARIANT Self() {
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

// A text answer, the string freed at once.
template <class Ask>
std::wstring TextOf(Ask ask) {
    BSTR text = nullptr;
    std::wstring result;
    if (ask(&text) == S_OK && text) result.assign(text, ::SysStringLen(text));
    ::SysFreeString(text);
    return result;
}

long NumberOf(HRESULT status, VARIANT& answer) {
    const long number = SUCCEEDED(status) && answer.vt == VT_I4 ? answer.lVal : 0;
    ::VariantClear(&answer);
    return number;
}

}  // namespace

ComApartment::ComApartment()
    : m_joined(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ComApartment::~ComApartment() {
    if (m_joined) ::CoUninitialize();
}

Heard Hear(HWND window) {
    Heard heard;
    const AccessibleRef object = ClientObject(window);
    if (!object) return heard;
    heard.answered = true;
    const VARIANT self = Self();
    heard.name = TextOf([&](BSTR* out) { return object->get_accName(self, out); });
    heard.value = TextOf([&](BSTR* out) { return object->get_accValue(self, out); });
    heard.defaultAction =
        TextOf([&](BSTR* out) { return object->get_accDefaultAction(self, out); });
    VARIANT answer;
    ::VariantInit(&answer);
    heard.role = NumberOf(object->get_accRole(self, &answer), answer);
    heard.state = NumberOf(object->get_accState(self, &answer), answer);
    return heard;
}

bool DoDefaultAction(HWND window) {
    const AccessibleRef object = ClientObject(window);
    return object && object->accDoDefaultAction(Self()) == S_OK;
}

}  // namespace testsupport
