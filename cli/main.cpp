#include "cli/Vkxx.h"
#include "files/PathText.h"

#include <filesystem>
#include <iostream>

namespace {

// The standard streams keep their own buffers instead of passing every piece of output to C's
// stdio: a listing is thousands of small writes.
void BufferOutput() { std::ios::sync_with_stdio(false); }

} // namespace

#ifdef _WIN32
// Windows' narrow arguments are in the ANSI code page, which cannot spell every file name; the
// wide ones are UTF-16 and become the UTF-8 that the tool works in.
int wmain(int argc, wchar_t** argv) {
    BufferOutput();
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(keyloom::PathText(std::filesystem::path(argv[i])));
    return keyloom::cli::RunVkxx(arguments, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
    BufferOutput();
    return keyloom::cli::RunVkxx(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
#endif
