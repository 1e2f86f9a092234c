#pragma once

#include <cstdint>
#include <string_view>

namespace keyloom {

enum CodeClass : uint8_t { kBlankClass = 0, kLetterClass = 1, kShiftedSymbolClass = 2, kPlainClass = 3 };

struct KeyCodeEntry {
    uint8_t width = 0;          // bytes the code occupies; 0 marks an unassigned code
    uint8_t codeClass = kBlankClass;
    std::string_view codeText;  // shown when codes are revealed
    std::string_view name;
    std::string_view shiftedName; // letters and shifted symbols only
};

inline constexpr int kSingleByteTableSize = 150; // codes 00..95
inline constexpr int kExtendedTableSize = 127;   // the byte after E0, 00..7E

// Entry of a one-byte code; a blank entry for 96 and above.
const KeyCodeEntry& SingleByteEntry(uint8_t code);
// Entry of the byte following E0; a blank entry for 7F and above.
const KeyCodeEntry& ExtendedEntry(uint8_t code);

} // namespace keyloom
