#include "document/KeypadDocument.h"

#include <algorithm>

namespace keyloom {

std::span<uint8_t> KeyRecord::codes(Level level) {
    if (level == Level::One)
        return level1Codes;
    return level2Codes;
}

std::span<const uint8_t> KeyRecord::codes(Level level) const {
    if (level == Level::One)
        return level1Codes;
    return level2Codes;
}

std::size_t MacroLength(std::span<const uint8_t> codes) {
    return static_cast<std::size_t>(std::find(codes.begin(), codes.end(), 0) - codes.begin());
}

void KeypadDocument::ResetDocument() {
    const int32_t layout = numberOfKeys;
    *this = KeypadDocument{};
    numberOfKeys = layout;
}

int32_t KeypadDocument::LevelCapacity(Level level, int keyIndex) const {
    const KeyRecord& key = keys.at(static_cast<std::size_t>(keyIndex));
    if (level == Level::One)
        return key.level2Codes[0] != 0 ? 111 : 220;
    // Level 1 spilling past byte 111 ("double space") uses the room that Level 2 would have.
    return key.level1Codes[111] != 0 ? 0 : 111;
}

std::size_t KeypadDocument::Length(Level level, int keyIndex) const {
    return MacroLength(keys.at(static_cast<std::size_t>(keyIndex)).codes(level));
}

int KeypadDocument::CountKeysOfType(int32_t keyType) const {
    const auto end = keys.begin() + std::clamp(numberOfKeys, 0, kKeyCount);
    return static_cast<int>(
        std::count_if(keys.begin(), end, [keyType](const KeyRecord& key) { return key.KeyType == keyType; }));
}

namespace {

// Rewrites a level from the kept bytes: the whole array is zeroed first so that nothing stale
// stays behind the new terminator.
void StoreLevel(std::span<uint8_t> array, std::span<const uint8_t> bytes) {
    std::fill(array.begin(), array.end(), 0);
    std::copy(bytes.begin(), bytes.end(), array.begin());
}

} // namespace

int32_t KeypadDocument::InsertCodes(Level level, int keyIndex, int byteOffset,
                                    std::span<const uint8_t> codes) {
    std::span<uint8_t> array = keys.at(static_cast<std::size_t>(keyIndex)).codes(level);
    const std::size_t length = MacroLength(array);
    const std::size_t added = MacroLength(codes);
    const std::size_t total = length + added;
    if (static_cast<std::size_t>(LevelCapacity(level, keyIndex)) < total)
        return 1;
    const std::size_t offset = std::min(static_cast<std::size_t>(std::max(byteOffset, 0)), length);

    std::array<uint8_t, kLevel1ArraySize> scratch{};
    auto out = std::copy_n(array.begin(), offset, scratch.begin());
    out = std::copy_n(codes.begin(), added, out);
    std::copy(array.begin() + static_cast<std::ptrdiff_t>(offset),
              array.begin() + static_cast<std::ptrdiff_t>(length), out);
    StoreLevel(array, std::span<const uint8_t>(scratch.data(), total));
    return 0;
}

int32_t KeypadDocument::EraseCodes(Level level, int keyIndex, int byteOffset, int count) {
    std::span<uint8_t> array = keys.at(static_cast<std::size_t>(keyIndex)).codes(level);
    const std::size_t length = MacroLength(array);
    const std::size_t offset = std::min(static_cast<std::size_t>(std::max(byteOffset, 0)), length);
    const std::size_t end = std::min(offset + static_cast<std::size_t>(std::max(count, 0)), length);

    std::array<uint8_t, kLevel1ArraySize> scratch{};
    auto out = std::copy_n(array.begin(), offset, scratch.begin());
    out = std::copy(array.begin() + static_cast<std::ptrdiff_t>(end),
                    array.begin() + static_cast<std::ptrdiff_t>(length), out);
    const auto newLength = static_cast<std::size_t>(out - scratch.begin());
    StoreLevel(array, std::span<const uint8_t>(scratch.data(), newLength));
    return static_cast<int32_t>(newLength);
}

} // namespace keyloom
