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

} // namespace keyloom
