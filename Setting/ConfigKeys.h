// The keys of the module's configuration files, as one table (ConfigKeyList.h). The module
// reads every value through these constants; the configuration checker and the key reference
// walk the same table, so none of them can name a key the others do not know.
//
// Free of platform headers: the checker also builds natively.
#pragma once

#include <cstddef>
#include <string>

namespace config {

enum class File { SettingIni, CreateDiskIni };

// The window a value belongs to.
enum class Window {
    None,             // not shown in a window of the module (the tray application's keys)
    SettingsDialog,   // template 102
    PasswordDialog,   // template 103
    MessageDialog,    // template 131, the module's skinned message box
    WaitingBox,       // template 132
    PlainMessageBox,  // a platform message box (sizes itself)
    Balloon,          // the hint balloon of the password fields
};

// How a value appears: the kind of control a text or rectangle belongs to.
enum class Shown {
    None,            // not drawn in a control of its own
    Dialog,          // the rectangle of a whole dialog (only width and height count)
    Title,           // the title band of the skinned frame (13 px bold)
    CheckBox,        // single line after the box
    Label,           // static text, wrapped at word breaks within its rectangle
    Link,            // the resize link: a label, underlined
    Button,          // push button, single line, centred
    ImageButton,     // the OK button: image face with the caption drawn over it (11 px bold)
    Frame,           // group frame: caption 10 pt bold from x 9, one line, controls inside it
    DropDownList,    // drop-down list; its height is that of the opened list
    ListEntry,       // an entry of a drop-down list
    Edit,            // a password field
    MessageHeading,  // red heading of the message dialog (10 pt bold)
    MessageText,     // the message dialog's text, wrapped
    MessageButton,   // Yes or No of the message dialog
    WaitText,        // the waiting box's line, with up to three dots appended
    CloseBoxImage,   // the title-band button strip; the close box is its cell x 20..49, y 0..24
    ButtonImage,     // a face of the OK button, drawn unscaled from its top-left corner
    Spoken,          // never drawn: what screen readers call a control (the close box)
};

// Flags of a key.
enum : unsigned {
    kNoFlags = 0,
    kMayBeEmpty = 1u << 0,    // an empty value is right (the password fields start empty)
    kProductName = 1u << 1,   // "[PRODUCTNAME]" is replaced by the engine's product name
    kUsageFigures = 1u << 2,  // "[USED]" and "[TOTAL]" are replaced by the space figures
    kNeverShown = 1u << 3,    // the control is never visible (its template hides it)
};

// The placeholders the module replaces, and the flag of the keys that replace each.
struct Placeholder {
    const wchar_t* text;
    unsigned flag;
    const char* meaning;
};
const Placeholder* Placeholders();
size_t PlaceholderCount();

enum class Kind {
    Text,          // a control's or box's text, shown as written
    Message,       // a text shown in a message box
    Placeholders,  // a text with "[PRODUCTNAME]", "[USED]" or "[TOTAL]" replaced
    Pattern,       // a text that receives one integer (the first %d)
    Position,      // "x,y,width,height[,hide]" in pixels
    Integer,       // a decimal number
    List,          // numbered entries "TIME_0" ... whose texts start with their value
    Image,         // a file relative to the host folder, starting with a backslash
    Program,       // the same, for a program
};

struct Key {
    File file;
    const wchar_t* section;
    const wchar_t* name;  // for a List, the entry name pattern "TIME_%d"
    Kind kind;
    Window window;
    Shown shown;
    const Key* placedBy;  // the position whose rectangle the value has to fit, or null
    unsigned flags;
    const char* readBy;
    const char* whenMissing;

    bool MayBeEmpty() const { return (flags & kMayBeEmpty) != 0; }

    // The name of entry `index` of a List.
    std::wstring EntryName(int index) const;
};

#define CONFIG_KEY(id, file, section, name, kind, window, shown, placedBy, flags, readBy, \
                   whenMissing)                                                           \
    extern const Key id;
#include "ConfigKeyList.h"
#undef CONFIG_KEY

// Every key, in the order of the table.
const Key* const* AllKeys();
size_t KeyCount();

const wchar_t* FileName(File file);  // "Setting.ini", "CreateDisk.ini"
const char* KindName(Kind kind);
const char* WindowName(Window window);

}  // namespace config
