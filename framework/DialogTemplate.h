// An extended dialog template of the module's resources, read into its header and its items,
// so that a dialog can make its controls itself: each at the rectangle and with the text it
// will show, instead of at the template's place and then moved (a round trip per control).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ui {

struct DialogItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT units{};  // x, y, right, bottom in dialog units
    int id = 0;
    std::wstring className;  // the class ordinals 0x80..0x85 as their names
    std::wstring text;       // a resource ordinal as 0xFFFF and the number, as the platform does
    std::vector<BYTE> creationData;  // with its leading size, or empty
};

class DialogTemplate {
public:
    // False when the resource is missing or is no well-formed extended template.
    bool Load(HINSTANCE module, UINT templateId);

    // The template's header with no items, for CreateDialogIndirectParam.
    const DLGTEMPLATE* Header() const {
        return reinterpret_cast<const DLGTEMPLATE*>(m_header.data());
    }
    const std::vector<DialogItem>& Items() const { return m_items; }

private:
    std::vector<DWORD> m_header;  // DWORD-aligned, as the platform requires
    std::vector<DialogItem> m_items;
};

}  // namespace ui
