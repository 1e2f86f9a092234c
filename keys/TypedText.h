#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace keyloom {

// A character of a text that the US keyboard of the typing maps has no key for.
struct UntypableCharacter {
    std::size_t position; // counted in characters from 0
    char32_t character;

    bool operator==(const UntypableCharacter&) const = default;
};

// A text as the codes that typing it into a macro grid records: the make code of each
// character's key, a newline as Enter and a tab as Tab. A run of shifted characters sits
// inside one Left Shift press and release, as typing them with Shift held down records.
struct TypedText {
    std::vector<uint8_t> codes;          // without a terminating 0
    std::vector<std::size_t> codeEnds;   // the end of each code in codes: one per cell it makes
    std::vector<UntypableCharacter> untypable; // left out of codes
};

TypedText TypeText(std::u32string_view text);

} // namespace keyloom
