#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>

namespace keyloom {

// Paths between Qt's texts and the core's std::filesystem, losing nothing: the native wide path
// on Windows; elsewhere UTF-8, where a byte that is not part of valid UTF-8 (a name from another
// system's encoding) travels as the lone surrogate U+DC80 + byte and comes back as that byte.
// On Windows both sides are in the native form with backslashes: Qt's own paths have forward
// slashes, which the user would see and other programs would be given.
std::filesystem::path ToPath(const QString& text);
QString ToQString(const std::filesystem::path& path);

// Whether something exists at path; an error (a folder that may not be read) counts as no.
bool Exists(const std::filesystem::path& path);

// The program's arguments after its name, as texts that ToPath turns back into the very names
// given (Qt's own list cannot hold a name that is not valid UTF-8), on Windows in the native form.
QStringList CommandLineArguments(int argc, char** argv);

} // namespace keyloom
