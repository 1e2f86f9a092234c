#pragma once

#include <array>
#include <cstdint>

namespace keyloom {

// What a key typed on the computer's keyboard records: the Tag of the on-screen key that does the
// same (0 = nothing). Keys arrive as Windows virtual-key codes or, for printable text, as the
// character typed.
inline constexpr int kKeyCodeMapSize = 160;
inline constexpr int kCharacterMapSize = 128;

// Indexed by the virtual-key code. Codes 160 and above (the left/right modifier codes and the
// punctuation keys) have no entry.
extern const std::array<uint8_t, kKeyCodeMapSize> kKeyCodeMap;
// Indexed by the character code modulo 128: the key that types it on a US keyboard, without
// Shift; both cases of a letter give the letter's key.
extern const std::array<uint8_t, kCharacterMapSize> kCharacterMap;

// The Tag of a key code; 0 outside the map.
int KeyCodeTag(int keyCode);
// The Tag of a typed character (taken modulo 128).
int CharacterTag(int character);

} // namespace keyloom
