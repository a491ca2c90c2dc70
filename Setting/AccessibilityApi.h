// The platform's accessibility and COM functions the module needs only when a screen reader
// asks a window of it (oleacc, ole32, oleaut32) or when high contrast turns the controls'
// visual styles off (uxtheme). They are loaded at the first need, not with the module, and
// stay loaded for the life of the process: a module that a host loads and frees many times
// keeps nothing of them as long as no screen reader is in use.
#pragma once

#include <windows.h>
#include <oleacc.h>

namespace accessibility_api {

// The interface's identity, defined here: the one in mingw's import library is not usable.
extern const IID kIID_IAccessible;
extern const IID kIID_IDispatch;
extern const IID kIID_IUnknown;

// Loads what a screen reader's questions need; false when the platform lacks any of it.
bool Load();

// As the platform's functions of the same names; each needs a successful Load first.
LRESULT LresultFromObject(REFIID riid, WPARAM wParam, IUnknown* object);
HRESULT CreateStdAccessibleObject(HWND window, LONG objectId, REFIID riid, void** object);
BSTR SysAllocString(const wchar_t* text);
HRESULT CoInitializeEx(DWORD model);
void CoUninitialize();
HRESULT CoDisconnectObject(IUnknown* object);

// Turns the visual styles of a control off (on: false gives it back the platform's); false
// when the platform has no visual styles.
bool SetVisualStyles(HWND control, bool on);

}  // namespace accessibility_api
