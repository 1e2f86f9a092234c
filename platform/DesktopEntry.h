#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace keyloom {

// The hot key word of a shortcut as Qt and KDE spell shortcuts: "Ctrl+Alt+A", "Shift+F5",
// "Ctrl+Alt+PgUp", "Num+5". Modifiers come in Qt's order (Ctrl, Alt, Shift); the extended-key
// flag has no spelling and is dropped. Empty for 0 and for a key that has no name.
std::string HotKeyText(uint16_t word);

// A value of type string or localestring: backslash, line breaks and tabs as escapes, and spaces
// at either end as \s so that readers that trim do not lose them.
std::string EscapeDesktopString(std::string_view value);

// One argument of an Exec key, before the string escaping above: quoted when it holds a reserved
// character (or is empty), with ", `, $ and \ escaped inside the quotes; % always doubled so that
// it is never taken for a field code.
std::string QuoteExecArgument(std::string_view argument);

// A freedesktop desktop entry that starts a program.
struct DesktopEntry {
    std::string name;
    std::string comment;              // omitted when empty
    std::vector<std::string> command; // the program, then its arguments
    std::string workingFolder;        // Path; omitted when empty
    std::string shortcut;             // X-KDE-Shortcuts, e.g. "Ctrl+Alt+A"; omitted when empty
};

// The text of the file, lines ended by LF.
std::string DesktopEntryText(const DesktopEntry& entry);

} // namespace keyloom
