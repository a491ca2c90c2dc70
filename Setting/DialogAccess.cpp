#include "DialogAccess.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <new>

#include "AccessKeys.h"
#include "AccessibilityApi.h"
#include "ExceptionWrapper.h"
#include "HighContrast.h"
#include "WindowSubclass.h"

namespace {

constexpr UINT_PTR kSubclassId = 0xACCE;

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring Trimmed(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return std::wstring();
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// The class of a window without the version the platform's visual styles put before it.
std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    ::GetClassNameW(window, name, 64);
    const wchar_t* bare = wcsrchr(name, L'!');
    return bare ? bare + 1 : name;
}

using Kind = CDialogAccess::Kind;

Kind KindByClass(HWND window) {
    const std::wstring name = ClassOf(window);
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    if (_wcsicmp(name.c_str(), L"Button") == 0) {
        switch (style & BS_TYPEMASK) {
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_3STATE:
            case BS_AUTO3STATE:
                return Kind::CheckBox;
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
                return Kind::RadioButton;
            case BS_GROUPBOX:
                return Kind::Grouping;
            default:
                return Kind::PushButton;
        }
    }
    if (_wcsicmp(name.c_str(), L"Static") == 0) return Kind::Text;
    if (_wcsicmp(name.c_str(), L"ComboBox") == 0) return Kind::List;
    if (_wcsicmp(name.c_str(), L"Edit") == 0) return Kind::Edit;
    return Kind::Other;
}

long RoleOf(Kind kind) {
    switch (kind) {
        case Kind::Dialog:
            return ROLE_SYSTEM_DIALOG;
        case Kind::CheckBox:
            return ROLE_SYSTEM_CHECKBUTTON;
        case Kind::RadioButton:
            return ROLE_SYSTEM_RADIOBUTTON;
        case Kind::PushButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        case Kind::Grouping:
            return ROLE_SYSTEM_GROUPING;
        case Kind::Link:
            return ROLE_SYSTEM_LINK;
        case Kind::Text:
            return ROLE_SYSTEM_STATICTEXT;
        case Kind::List:
            return ROLE_SYSTEM_COMBOBOX;
        case Kind::Edit:
            return ROLE_SYSTEM_TEXT;
        default:
            return ROLE_SYSTEM_CLIENT;
    }
}

// What the keyboard can reach and click.
bool TakesFocus(Kind kind) {
    return kind == Kind::CheckBox || kind == Kind::RadioButton || kind == Kind::PushButton ||
           kind == Kind::Link || kind == Kind::List || kind == Kind::Edit;
}
bool Clicks(Kind kind) {
    return kind == Kind::CheckBox || kind == Kind::RadioButton || kind == Kind::PushButton ||
           kind == Kind::Link;
}

bool IsChecked(HWND window) {
    return ::SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
bool IsDropped(HWND window) {
    return ::SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

std::wstring SelectedEntry(HWND list) {
    const LRESULT at = ::SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (at < 0) return std::wstring();
    const LRESULT length = ::SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(at), 0);
    if (length <= 0) return std::wstring();
    std::wstring entry(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = ::SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(at),
                                          reinterpret_cast<LPARAM>(entry.data()));
    entry.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return entry;
}

std::atomic<bool> g_modulePinned{false};

// A still-held object keeps the module's code loaded: its holder will call into it.
void KeepModuleWhileHeld(long held) {
    if (held <= 0 || g_modulePinned.exchange(true)) return;
    HMODULE self = nullptr;
    if (::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                             reinterpret_cast<LPCWSTR>(&KeepModuleWhileHeld), &self)) {
        LogTrace(__LINE__, WFILE,
                 L"a screen reader in this process still holds %ld object(s) of a closed "
                 L"window: the module stays loaded until the process ends",
                 held);
    }
}

}  // namespace

void CDialogAccess::Attach(HWND dialog, std::initializer_list<Marked> marked) {
    Detach();
    if (!dialog) return;
    m_dialog = dialog;
    m_entries.push_back({dialog, Kind::Dialog});
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        Kind kind = KindByClass(child);
        const int id = ::GetDlgCtrlID(child);
        for (const Marked& mark : marked)
            if (mark.id == id) kind = mark.kind;
        m_entries.push_back({child, kind});
    }
    for (const Entry& entry : m_entries)
        ui::SetSubclass(entry.window, &CDialogAccess::Procedure, kSubclassId,
                        reinterpret_cast<DWORD_PTR>(this));
    high_contrast::Ask();
    ApplyVisualStyles();
}

void CDialogAccess::SetName(int id, const std::wstring& name) {
    HWND window = id ? ::GetDlgItem(m_dialog, id) : m_dialog;
    for (Entry& entry : m_entries) {
        if (entry.window != window) continue;
        entry.name = name;
        entry.named = true;
    }
}

LRESULT CALLBACK CDialogAccess::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<CDialogAccess*>(data);
    switch (msg) {
        case WM_GETOBJECT:
            if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
                const LRESULT answer = self->Answer(window, wParam);
                if (answer > 0) return answer;
            }
            break;
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
            if (window == self->m_dialog) self->FollowContrast(msg == WM_SYSCOLORCHANGE);
            break;
        case WM_NCDESTROY:
            if (window == self->m_dialog) {
                self->Detach();
            } else {
                self->Forget(window);
            }
            break;
        default:
            break;
    }
    return ui::DefSubclass(window, msg, wParam, lParam);
}

// The object that answers for `window`, handed to the platform; 0 lets the platform's proxy
// answer instead (no accessibility libraries, no memory).
LRESULT CDialogAccess::Answer(HWND window, WPARAM wParam) {
    auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                              [&](const Entry& e) { return e.window == window; });
    if (entry == m_entries.end() || !accessibility_api::Load()) return 0;
    if (!m_apartmentAsked) {
        // Questions from other processes arrive through this thread's messages.
        m_apartmentAsked = true;
        m_joinedApartment = SUCCEEDED(accessibility_api::CoInitializeEx(COINIT_APARTMENTTHREADED));
    }
    if (!entry->object) entry->object = new (std::nothrow) CAccessible(window, *this);
    if (!entry->object) return 0;
    const LRESULT answer = accessibility_api::LresultFromObject(accessibility_api::kIID_IAccessible,
                                                                wParam, entry->object);
    return answer > 0 ? answer : 0;
}

void CDialogAccess::FollowContrast(bool coloursChanged) {
    const bool switched = high_contrast::Ask();
    if (!switched && !(coloursChanged && high_contrast::IsOn())) return;
    ApplyVisualStyles();
    if (coloursChanged) {
        for (const Entry& entry : m_entries)
            if (entry.window != m_dialog) ::SendMessageW(entry.window, WM_SYSCOLORCHANGE, 0, 0);
    }
    ::RedrawWindow(m_dialog, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// The platform's controls draw in the system colours only without their visual styles.
void CDialogAccess::ApplyVisualStyles() {
    const bool off = high_contrast::IsOn();
    if (off == m_stylesOff) return;
    m_stylesOff = off;
    for (const Entry& entry : m_entries)
        if (entry.window != m_dialog) accessibility_api::SetVisualStyles(entry.window, !off);
}

void CDialogAccess::Forget(HWND window) {
    auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                              [&](const Entry& e) { return e.window == window; });
    if (entry == m_entries.end()) return;
    if (CAccessible* object = entry->object) {
        object->Disconnect();
        // Other processes' references went with the disconnection: what is left is held here.
        if (object->Release() > 0) ++m_stillHeld;
    }
    ui::RemoveSubclass(window, &CDialogAccess::Procedure, kSubclassId);
    m_entries.erase(entry);
}

void CDialogAccess::Detach() {
    while (!m_entries.empty())
        Forget(m_entries.back().window);
    if (m_joinedApartment) accessibility_api::CoUninitialize();
    m_apartmentAsked = m_joinedApartment = m_stylesOff = false;
    m_dialog = nullptr;
    KeepModuleWhileHeld(m_stillHeld);
    m_stillHeld = 0;
}

// ---- The answers ----------------------------------------------------------------------------

const CDialogAccess::Entry* CDialogAccess::Find(HWND window) const {
    for (const Entry& entry : m_entries)
        if (entry.window == window) return &entry;
    return nullptr;
}

// The label or check box right before a list or field, which names it.
HWND CDialogAccess::LabelOf(HWND window) const {
    const Entry* before = Find(::GetWindow(window, GW_HWNDPREV));
    if (!before || (before->kind != Kind::Text && before->kind != Kind::CheckBox)) return nullptr;
    return before->window;
}

std::wstring CDialogAccess::NameOf(const Entry& entry) const {
    if (entry.named) return entry.name;
    HWND source = entry.window;
    if (entry.kind == Kind::List || entry.kind == Kind::Edit) {
        source = LabelOf(entry.window);
        if (!source) return std::wstring();
    }
    const std::wstring text = WindowText(source);
    // Titles and group frames show their texts as written.
    const bool asWritten = entry.kind == Kind::Dialog || entry.kind == Kind::Grouping ||
                           (::GetWindowLongPtrW(source, GWL_STYLE) & SS_NOPREFIX) == SS_NOPREFIX;
    return Trimmed(asWritten ? text : access_keys::ShownText(text));
}

long CDialogAccess::StateOf(const Entry& entry) const {
    HWND window = entry.window;
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    const bool visible = ::IsWindowVisible(window) != FALSE;
    const bool enabled = ::IsWindowEnabled(window) != FALSE;
    long state = 0;
    if (!visible) state |= STATE_SYSTEM_INVISIBLE;
    if (!enabled) state |= STATE_SYSTEM_UNAVAILABLE;
    if (TakesFocus(entry.kind) && visible && enabled) state |= STATE_SYSTEM_FOCUSABLE;
    if (::GetFocus() == window) state |= STATE_SYSTEM_FOCUSED;
    switch (entry.kind) {
        case Kind::CheckBox:
        case Kind::RadioButton: {
            const LRESULT check = ::SendMessageW(window, BM_GETCHECK, 0, 0);
            if (check == BST_CHECKED) state |= STATE_SYSTEM_CHECKED;
            if (check == BST_INDETERMINATE) state |= STATE_SYSTEM_MIXED;
            break;
        }
        case Kind::PushButton:
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) state |= STATE_SYSTEM_DEFAULT;
            break;
        case Kind::Link:
            state |= STATE_SYSTEM_LINKED;
            break;
        case Kind::Text:
            state |= STATE_SYSTEM_READONLY;
            break;
        case Kind::List:
            state |= IsDropped(window) ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
            break;
        case Kind::Edit:
            if (style & ES_PASSWORD) state |= STATE_SYSTEM_PROTECTED;
            if (style & ES_READONLY) state |= STATE_SYSTEM_READONLY;
            break;
        default:
            break;
    }
    return state;
}

AccessibleFacts CDialogAccess::Describe(HWND window) const {
    AccessibleFacts facts;
    const Entry* entry = Find(window);
    if (!entry) return facts;
    const Kind kind = entry->kind;
    facts.name = NameOf(*entry);
    facts.role = RoleOf(kind);
    facts.state = StateOf(*entry);
    if (kind == Kind::List) facts.value = SelectedEntry(window);
    if (kind == Kind::Edit && !(facts.state & STATE_SYSTEM_PROTECTED))
        facts.value = WindowText(window);
    switch (kind) {
        case Kind::CheckBox:
            facts.defaultAction = IsChecked(window) ? L"Uncheck" : L"Check";
            break;
        case Kind::RadioButton:
            facts.defaultAction = L"Check";
            break;
        case Kind::PushButton:
            facts.defaultAction = L"Press";
            break;
        case Kind::Link:
            facts.defaultAction = L"Jump";
            break;
        case Kind::List:
            facts.defaultAction = IsDropped(window) ? L"Close" : L"Open";
            break;
        default:
            break;
    }
    // The access key that reaches the control: its own, or a label's that moves the focus on.
    HWND keyed = Clicks(kind) ? window : nullptr;
    if (kind == Kind::List || kind == Kind::Edit) {
        HWND label = LabelOf(window);
        const Entry* labelEntry = Find(label);
        if (labelEntry && labelEntry->kind == Kind::Text) keyed = label;
    }
    if (keyed) facts.shortcut = access_keys::Shortcut(access_keys::KeyOf(WindowText(keyed)));
    return facts;
}

// What a click of the mouse (or a list's button) does, posted.
bool CDialogAccess::DoDefaultAction(HWND window) const {
    const Entry* entry = Find(window);
    if (!entry || !::IsWindowVisible(window) || !::IsWindowEnabled(window)) return false;
    if (Clicks(entry->kind)) return ::PostMessageW(window, BM_CLICK, 0, 0) != FALSE;
    if (entry->kind == Kind::List)
        return ::PostMessageW(window, CB_SHOWDROPDOWN, IsDropped(window) ? FALSE : TRUE, 0) !=
               FALSE;
    return false;
}
