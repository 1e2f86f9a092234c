#include "files/FileError.h"

#include "files/PathText.h"

namespace keyloom {

FileError::FileError(const std::string& message, std::filesystem::path path, std::string section,
                     std::string key)
    : std::runtime_error(message), m_path(std::move(path)), m_section(std::move(section)),
      m_key(std::move(key)) {}

FileError UnableToWrite(const std::filesystem::path& path, const std::string& reason) {
    std::string message = "Unable to write to " + PathText(path);
    if (!reason.empty())
        message += " (" + reason + ")";
    return FileError(message, path);
}

namespace {

std::string ValueText(const FileError& error) {
    return "[" + error.section() + "] " + error.key();
}

} // namespace

std::string ErrorPlace(const FileError& error) {
    std::string place = PathText(error.path());
    if (!error.section().empty())
        place += ", " + ValueText(error);
    return place;
}

std::string ErrorText(const FileError& error) {
    return std::string(error.what()) + "\n\n" + ErrorPlace(error);
}

std::string ErrorLine(const FileError& error) {
    std::string line = PathText(error.path()) + ": ";
    if (!error.section().empty())
        line += ValueText(error) + ": ";
    return line + error.what();
}

} // namespace keyloom
