#pragma once

#include "document/KeypadDocument.h"
#include "files/IniFile.h"
#include "files/KeyDefinitionFile.h"

#include <string>

namespace keyloom::bench {

// Every key of a 48-key document filled: a full Level 1 on even keys, both levels on odd keys.
inline KeypadDocument FullDocument() {
    KeypadDocument document;
    document.numberOfKeys = 48;
    const uint8_t pattern[] = {0x12, 0x1C, 0xF0, 0x12, 0xE2, 0x01, 0x32, 0xE0, 0x75, 0x90, 0x20};
    for (int key = 0; key < 48; ++key) {
        const std::size_t level1 = key % 2 == 0 ? 220 : 111;
        for (std::size_t i = 0; i < level1; ++i)
            document.keys[key].level1Codes[i] = pattern[i % sizeof pattern];
        if (key % 2 == 1)
            for (std::size_t i = 0; i < 111; ++i)
                document.keys[key].level2Codes[i] = pattern[i % sizeof pattern];
        document.keys[key].name = {"Level one of key " + std::to_string(key + 1), "Level two"};
    }
    return document;
}

// The bytes of the full document's key definition file.
inline std::string FullFileBytes() {
    IniFile ini;
    WriteKeyDefinition(FullDocument(), ini);
    return ini.ToBytes();
}

// About size bytes of comment lines of 100 bytes each, under a section of their own: the long
// tail a hand-kept file may carry after its keys.
inline std::string NotesSection(std::size_t size) {
    std::string notes = "[NOTES]\r\n";
    notes.reserve(size + 100);
    while (notes.size() < size) {
        std::string line = "; note " + std::to_string(notes.size());
        line.resize(98, '.');
        notes += line + "\r\n";
    }
    return notes;
}

} // namespace keyloom::bench
