#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace keyloom {

// The two levels of a key. Level 1 is the level played when no level shift or toggle is active.
enum class Level { One = 0, Two = 1 };

inline constexpr int kKeyCount = 48;
inline constexpr std::size_t kLevel1ArraySize = 221;
inline constexpr std::size_t kLevel2ArraySize = 112;

constexpr int levelNumber(Level level) { return level == Level::One ? 1 : 2; }
constexpr std::size_t levelIndex(Level level) { return level == Level::One ? 0 : 1; }
// The level of an index as the windows count levels (0 = Level 1, anything else Level 2).
constexpr Level LevelOf(int index) { return index == 0 ? Level::One : Level::Two; }

struct KeypadSettings {
    int32_t keyRollOver = 2;
    int32_t characterPacing = 1;              // in units of 2 ms
    std::array<int32_t, 3> ledFunction{1, 2, 4}; // LED 1, 2 and 3
    int32_t usbDeviceType = 11;

    bool operator==(const KeypadSettings&) const = default;
};

enum KeyTypeValue : int32_t { kNormalKey = 0, kLevelShiftKey = 1, kLevelToggleKey = 2 };

struct KeyRecord {
    int32_t KeyType = kNormalKey;
    std::array<uint8_t, 2> autoRepeat{1, 1};  // index by levelIndex()
    std::array<int32_t, 2> macroMode{0, 0};
    std::array<uint8_t, kLevel1ArraySize> level1Codes{};
    std::array<uint8_t, kLevel2ArraySize> level2Codes{};
    std::array<std::string, 2> name;

    // The whole zero-terminated array of a level (221 or 112 bytes).
    std::span<uint8_t> codes(Level level);
    std::span<const uint8_t> codes(Level level) const;

    bool operator==(const KeyRecord&) const = default;
};

// Bytes before the first 0 of a zero-terminated code array (the whole span when it holds no 0).
std::size_t MacroLength(std::span<const uint8_t> codes);

// The one configuration being edited: keypad-wide settings, the layout in use and always 48 keys.
struct KeypadDocument {
    KeypadSettings settings;
    int32_t numberOfKeys = 24;
    std::array<KeyRecord, kKeyCount> keys;

    // Everything back to the New state except numberOfKeys: New keeps the layout on screen.
    void ResetDocument();

    // Room of a level: the two levels of a key share 220 bytes (see the room rule in the manual).
    int32_t LevelCapacity(Level level, int keyIndex) const;

    // Inserts the bytes of codes before the first 0 at byteOffset. 0 when inserted, 1 when there
    // is no room (nothing changes then).
    int32_t InsertCodes(Level level, int keyIndex, int byteOffset, std::span<const uint8_t> codes);

    // Removes count bytes at byteOffset and returns the level's new length.
    int32_t EraseCodes(Level level, int keyIndex, int byteOffset, int count);

    std::size_t Length(Level level, int keyIndex) const;

    // How many keys of the layout in use have this key type: the keys beyond it are not on the
    // keypad, so they never count against the two-key limits.
    int CountKeysOfType(int32_t keyType) const;

    bool operator==(const KeypadDocument&) const = default;
};

} // namespace keyloom
