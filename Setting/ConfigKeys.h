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
    const char* readBy;
    const char* whenMissing;

    // The name of entry `index` of a List.
    std::wstring EntryName(int index) const;
};

#define CONFIG_KEY(id, file, section, name, kind, readBy, whenMissing) extern const Key id;
#include "ConfigKeyList.h"
#undef CONFIG_KEY

// Every key, in the order of the table.
const Key* const* AllKeys();
size_t KeyCount();

const wchar_t* FileName(File file);  // "Setting.ini", "CreateDisk.ini"
const char* KindName(Kind kind);

}  // namespace config
