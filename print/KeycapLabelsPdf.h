#pragma once

#include "document/KeypadDocument.h"

#include <QByteArray>
#include <QString>

#include <filesystem>

namespace keyloom::print {

enum class KeycapSize { Large, Small }; // label windows of 0.75 in and 0.5 in

// The keycap label sheet as a PDF of one page: the frames, crop marks and numbering of the
// shipped templates, at their real size, each frame of a key of the layout filled with the key's
// Level 1 description and, smaller, its Level 2 one. A frame without a description keeps only its
// number, faint. title names the file under the sheet. Empty when the PDF could not be drawn.
QByteArray KeycapLabelsPdf(const KeypadDocument& document, int numberOfKeys, KeycapSize size, const QString& title);

// The same, saved at path in one atomic step. Throws FileError.
void WriteKeycapLabelsPdf(const KeypadDocument& document, int numberOfKeys, KeycapSize size, const QString& title,
                          const std::filesystem::path& path);

} // namespace keyloom::print
