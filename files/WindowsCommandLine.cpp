#include "files/WindowsCommandLine.h"

namespace keyloom {

std::string QuoteWindowsArgument(std::string_view argument, Quoting quoting) {
    const bool needed = argument.empty() || argument.find_first_of(" \t\n\v\"") != std::string_view::npos;
    if (quoting == Quoting::WhenNeeded && !needed)
        return std::string(argument);

    // Backslashes are literal except in front of a quote, where each pair stands for one; so the
    // ones before an inner quote or before the closing quote are doubled.
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char character : argument) {
        if (character == '\\') {
            ++backslashes;
            continue;
        }
        if (character == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted += character;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

std::string JoinWindowsArguments(const std::vector<std::string>& arguments, Quoting quoting) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty())
            line += ' ';
        line += QuoteWindowsArgument(argument, quoting);
    }
    return line;
}

} // namespace keyloom
