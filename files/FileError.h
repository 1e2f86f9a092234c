#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace keyloom {

// The one error type of the file layer. It ends the running command; the command boundary shows
// what() and may use the place fields to point at the fault.
class FileError : public std::runtime_error {
public:
    FileError(const std::string& message, std::filesystem::path path, std::string section = {},
              std::string key = {});

    const std::filesystem::path& path() const { return m_path; }
    const std::string& section() const { return m_section; }
    const std::string& key() const { return m_key; }

private:
    std::filesystem::path m_path;
    std::string m_section;
    std::string m_key;
};

// The message of a refused write, with the path as the user chose it.
FileError UnableToWrite(const std::filesystem::path& path, const std::string& reason = {});

// Where the failure lies: the path and, for a faulty value, its section and key
// ("keys.ckd, [KEY1] Level_1_Codes").
std::string ErrorPlace(const FileError& error);
// The text shown in a message box: what failed, a blank line, then where.
std::string ErrorText(const FileError& error);
// The same on one line, as vkxx prints it: "keys.ckd: [KEY1] Level_1_Codes: Range check error".
std::string ErrorLine(const FileError& error);

} // namespace keyloom
