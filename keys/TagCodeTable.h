#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace keyloom {

// Every recording source (an on-screen key, a menu item, a typed key) carries a Tag; this table
// turns a Tag into the code bytes it records.
inline constexpr int kTagCount = 168;

// The entry of a Tag: an optional prefix byte (0 = none) and the code byte (0 = the Tag records
// nothing; Tags 0 and 89).
struct TagCode {
    uint8_t prefix;
    uint8_t code;
};

// The entry of tag; {0, 0} for a Tag outside 0..167.
TagCode TagCodeOf(int tag);

// The bytes that tag records, prefix first, without a terminating 0. Empty for a Tag without a
// code and for a Tag outside the table.
std::span<const uint8_t> TagCodes(int tag);

// The Tags of the eight modifier keys in the bit order of the modifier state: L Ctrl, L Shift,
// L Alt, L Win, R Ctrl, R Shift, R Alt, R Win. A modifier's press is its Tag's bytes.
inline constexpr std::array<int, 8> kModifierTags{29, 42, 56, 101, 87, 54, 90, 102};

// The position of tag in kModifierTags (its state bit number), or -1 for any other Tag.
constexpr int ModifierIndexOfTag(int tag) {
    for (std::size_t i = 0; i < kModifierTags.size(); ++i) {
        if (kModifierTags[i] == tag)
            return static_cast<int>(i);
    }
    return -1;
}

// The release of a modifier Tag, ended by a 0: the break code F0 before its code, behind the E0
// prefix of an extended key (F0 12, E0 F0 14). All zero for a Tag that is not a modifier.
std::array<uint8_t, 4> ModifierReleaseCodes(int tag);

} // namespace keyloom
