#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace keyloom {

// Windows hands a program one command-line string, which the program splits into arguments
// (CommandLineToArgvW and the C runtime split it the same way). These build that string so that
// each argument arrives whole and unchanged.
enum class Quoting {
    WhenNeeded, // plain words stay exactly as given: empty ones and those with blanks or quotes get quotes
    Always,     // every argument in quotes
};

std::string QuoteWindowsArgument(std::string_view argument, Quoting quoting);

// The arguments quoted and joined by single spaces.
std::string JoinWindowsArguments(const std::vector<std::string>& arguments, Quoting quoting);

} // namespace keyloom
