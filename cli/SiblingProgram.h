#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace keyloom::cli {

// A program installed in the same folder as the running one ("vkxx-print" becomes
// "/usr/bin/vkxx-print", or "C:\...\vkxx-print.exe" on Windows).
std::filesystem::path SiblingProgram(const std::string& name);

// Runs program with arguments (without the program name), each passed whole, never through a
// shell, and waits for it. The child shares the standard streams. Returns its exit status, or
// -1 with failure set when it could not be started.
int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               std::string& failure);

} // namespace keyloom::cli
