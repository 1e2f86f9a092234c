#pragma once

#include "document/KeypadDocument.h"

#include <QByteArray>
#include <QString>

#include <filesystem>

namespace keyloom::print {

// The keymap as a PDF: a first page with the keypad in the layout of numberOfKeys (24 or 48),
// each key showing its number, its type and its Level 1 and Level 2 descriptions, then a table of
// every key's levels with their macros as the cell names the grid shows. title names the file on
// the page. Empty when the PDF could not be drawn.
QByteArray KeymapPdf(const KeypadDocument& document, int numberOfKeys, const QString& title);

// The same, saved at path in one atomic step. Throws FileError.
void WriteKeymapPdf(const KeypadDocument& document, int numberOfKeys, const QString& title,
                    const std::filesystem::path& path);

} // namespace keyloom::print
