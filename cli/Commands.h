#pragma once

#include "document/KeypadDocument.h"
#include "files/IniFile.h"

#include <filesystem>
#include <ostream>

namespace keyloom::cli {

void PrintDocument(const KeypadDocument& document, std::ostream& out);
void PrintDocumentJson(const KeypadDocument& document, std::ostream& out);

// Prints one line per problem of a hand-edited file; returns how many it found.
int CheckKeyDefinition(const IniFile& ini, std::ostream& out);

} // namespace keyloom::cli
