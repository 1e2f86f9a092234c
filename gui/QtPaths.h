#pragma once

#include <QString>

#include <filesystem>

namespace keyloom {

// Paths between Qt's texts and the core's std::filesystem, losing nothing: the native wide path
// on Windows, the bytes Qt uses for file names elsewhere.
std::filesystem::path ToPath(const QString& text);
QString ToQString(const std::filesystem::path& path);

// Whether something exists at path; an error (a folder that may not be read) counts as no.
bool Exists(const std::filesystem::path& path);

} // namespace keyloom
