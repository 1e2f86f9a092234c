#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace keyloom::cli {

// Exit statuses that other programs rely on.
enum ExitStatus : int {
    kDone = 0,
    kUnreadableInput = 1, // also: check found problems
    kUnwritableOutput = 2,
    kUsage = 64,
};

// Runs vkxx with its arguments (without the program name).
int RunVkxx(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace keyloom::cli
