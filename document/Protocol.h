#pragma once

#include <cstdint>

namespace keyloom {

// Bytes of the keypad's own protocol that more than one part of the program writes or reads.

// PS/2 scan code set 2: an extended key's prefix, and the prefix of a key's release.
inline constexpr uint8_t kExtendedPrefix = 0xE0;
inline constexpr uint8_t kBreakPrefix = 0xF0;

// The keypad's own commands: E2 then the command; a delay carries its count of 4 ms after it.
inline constexpr uint8_t kDevicePrefix = 0xE2;
inline constexpr uint8_t kDelayCommand = 0x01;

// USB device types: mouse codes reach the host only when the keypad reports a mouse too.
inline constexpr int32_t kMultimediaKeyboard = 11;
inline constexpr int32_t kMultimediaKeyboardMouse = 12;

// At most this many keys of the layout in use may be level shift keys, and as many level toggle keys.
inline constexpr int kMaxLevelKeysOfAType = 2;

} // namespace keyloom
