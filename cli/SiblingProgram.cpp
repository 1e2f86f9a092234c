#include "cli/SiblingProgram.h"

#include "files/PathText.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include "files/WindowsCommandLine.h"

#include <windows.h>

#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;
#endif

namespace keyloom::cli {

namespace {

std::filesystem::path RunningProgram() {
#ifdef _WIN32
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
#else
    std::error_code ignored;
    return std::filesystem::read_symlink("/proc/self/exe", ignored);
#endif
}

} // namespace

std::filesystem::path SiblingProgram(const std::string& name) {
#ifdef _WIN32
    return RunningProgram().parent_path() / PathFromText(name + ".exe");
#else
    return RunningProgram().parent_path() / PathFromText(name);
#endif
}

int RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               std::string& failure) {
#ifdef _WIN32
    // The C runtime joins the arguments into one command line with blanks between them; each is
    // quoted so that the child's runtime splits them back as they were.
    std::vector<std::wstring> quoted;
    quoted.push_back(PathFromText(QuoteWindowsArgument(PathText(program), Quoting::Always)).wstring());
    for (const std::string& argument : arguments)
        quoted.push_back(PathFromText(QuoteWindowsArgument(argument, Quoting::WhenNeeded)).wstring());
    std::vector<const wchar_t*> argv;
    for (const std::wstring& argument : quoted)
        argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    const intptr_t status = _wspawnv(_P_WAIT, program.c_str(), argv.data());
    if (status == -1) {
        failure = std::strerror(errno);
        return -1;
    }
    return static_cast<int>(status);
#else
    std::vector<std::string> owned{program.string()};
    owned.insert(owned.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : owned)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    const int error = posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (error != 0) {
        failure = std::strerror(error);
        return -1;
    }
    int status = 0;
    while (waitpid(child, &status, 0) == -1) {
        if (errno != EINTR) {
            failure = std::strerror(errno);
            return -1;
        }
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    // Killed: reported the way shells report it.
    return 128 + WTERMSIG(status);
#endif
}

} // namespace keyloom::cli
