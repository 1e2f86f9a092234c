#include "platform/DesktopEntry.h"

namespace keyloom {

namespace {

// Qt's portable names of the keys a hot key word can carry (QKeySequence::PortableText). The
// numeric keypad is Qt's keypad modifier, written "Num+" just before the key.
std::string KeyName(uint8_t key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= 0x60 && key <= 0x69)
        return "Num+" + std::string(1, static_cast<char>('0' + key - 0x60));
    if (key >= 0x70 && key <= 0x87)
        return "F" + std::to_string(key - 0x6F);
    switch (key) {
    case 0x08: return "Backspace";
    case 0x09: return "Tab";
    case 0x0C: return "Clear";
    case 0x0D: return "Return";
    case 0x13: return "Pause";
    case 0x14: return "CapsLock";
    case 0x1B: return "Esc";
    case 0x20: return "Space";
    case 0x21: return "PgUp";
    case 0x22: return "PgDown";
    case 0x23: return "End";
    case 0x24: return "Home";
    case 0x25: return "Left";
    case 0x26: return "Up";
    case 0x27: return "Right";
    case 0x28: return "Down";
    case 0x2C: return "Print";
    case 0x2D: return "Ins";
    case 0x2E: return "Del";
    case 0x6A: return "Num+*";
    case 0x6B: return "Num++";
    case 0x6D: return "Num+-";
    case 0x6E: return "Num+.";
    case 0x6F: return "Num+/";
    case 0x90: return "NumLock";
    case 0x91: return "ScrollLock";
    // The punctuation keys of the US layout, by their unshifted character.
    case 0xBA: return ";";
    case 0xBB: return "=";
    case 0xBC: return ",";
    case 0xBD: return "-";
    case 0xBE: return ".";
    case 0xBF: return "/";
    case 0xC0: return "`";
    case 0xDB: return "[";
    case 0xDC: return "\\";
    case 0xDD: return "]";
    case 0xDE: return "'";
    default: return {};
    }
}

bool IsExecReserved(char c) {
    switch (c) {
    case ' ': case '\t': case '\n': case '"': case '\'': case '\\': case '>': case '<': case '~':
    case '|': case '&': case ';': case '$': case '*': case '?': case '#': case '(': case ')':
    case '`':
        return true;
    default:
        return false;
    }
}

} // namespace

std::string HotKeyText(uint16_t word) {
    const std::string key = KeyName(static_cast<uint8_t>(word & 0xFF));
    if (key.empty())
        return {};
    const unsigned flags = word >> 8;
    std::string text;
    if (flags & 0x02)
        text += "Ctrl+";
    if (flags & 0x04)
        text += "Alt+";
    if (flags & 0x01)
        text += "Shift+";
    return text + key;
}

std::string EscapeDesktopString(std::string_view value) {
    std::size_t first = 0;
    while (first < value.size() && value[first] == ' ')
        ++first;
    std::size_t last = value.size();
    while (last > first && value[last - 1] == ' ')
        --last;

    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == ' ' && (i < first || i >= last))
            text += "\\s";
        else if (c == '\\')
            text += "\\\\";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\r')
            text += "\\r";
        else if (c == '\t')
            text += "\\t";
        else
            text += c;
    }
    return text;
}

std::string QuoteExecArgument(std::string_view argument) {
    bool quote = argument.empty();
    std::string inner;
    for (char c : argument) {
        quote = quote || IsExecReserved(c);
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            inner += '\\';
        inner += c;
        if (c == '%')
            inner += '%';
    }
    if (quote)
        return "\"" + inner + "\"";
    // Every character that takes a backslash is reserved, so an unquoted argument has none.
    return inner;
}

std::string DesktopEntryText(const DesktopEntry& entry) {
    std::string exec;
    for (const std::string& argument : entry.command) {
        if (!exec.empty())
            exec += ' ';
        exec += QuoteExecArgument(argument);
    }

    std::string text = "[Desktop Entry]\nType=Application\nVersion=1.4\n";
    text += "Name=" + EscapeDesktopString(entry.name) + "\n";
    if (!entry.comment.empty())
        text += "Comment=" + EscapeDesktopString(entry.comment) + "\n";
    text += "Exec=" + EscapeDesktopString(exec) + "\n";
    if (!entry.workingFolder.empty())
        text += "Path=" + EscapeDesktopString(entry.workingFolder) + "\n";
    text += "Terminal=false\n";
    // KDE reads this key as a comma-separated list of alternatives, so a shortcut on the comma
    // key cannot be written; the entry then simply has none.
    if (!entry.shortcut.empty() && entry.shortcut.find(',') == std::string::npos)
        text += "X-KDE-Shortcuts=" + EscapeDesktopString(entry.shortcut) + "\n";
    return text;
}

} // namespace keyloom
