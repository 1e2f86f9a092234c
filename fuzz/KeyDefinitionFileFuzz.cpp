// Reads any bytes as a key definition file, then writes the document and reads it back: the
// reader may throw its range error but must never crash, and what the writer wrote must read back
// as the same document.
#include "files/FileError.h"
#include "files/KeyDefinitionFile.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace keyloom;
    const IniFile ini = IniFile::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    KeypadDocument document;
    document.ResetDocument();
    try {
        ReadKeyDefinition(document, ini, "fuzz.ckd");
    } catch (const FileError&) {
        return 0;
    }
    IniFile written;
    WriteKeyDefinition(document, written);
    KeypadDocument again;
    again.ResetDocument();
    ReadKeyDefinition(again, IniFile::FromBytes(written.ToBytes()), "fuzz.ckd");
    for (int i = 0; i < (document.numberOfKeys == 48 ? 48 : 24); ++i) {
        const KeyRecord& a = document.keys[i];
        const KeyRecord& b = again.keys[i];
        if (a.KeyType != b.KeyType || a.macroMode != b.macroMode || a.autoRepeat != b.autoRepeat
            || MacroLength(a.level1Codes) != MacroLength(b.level1Codes)
            || MacroLength(a.level2Codes) != MacroLength(b.level2Codes))
            std::abort();
    }
    return 0;
}
