#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace keyloom {

// Bytes as text are lower-case hex everywhere: in the .ckd file, the cells' code texts and the
// messages of vkxx, so that one byte always reads the same.

// The hex digit of value's low four bits.
constexpr char HexDigit(unsigned value) { return "0123456789abcdef"[value & 0xF]; }

// Appends byte as two hex digits ("1c").
inline void AppendHexByte(std::string& text, uint8_t byte) {
    text += HexDigit(byte >> 4);
    text += HexDigit(byte);
}

// The bytes as hex, with separator between two bytes ("121cf012", or "e0 f0 75" with " ").
inline std::string BytesAsHex(std::span<const uint8_t> bytes, std::string_view separator = {}) {
    std::string text;
    text.reserve(bytes.size() * (2 + separator.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += separator;
        AppendHexByte(text, bytes[i]);
    }
    return text;
}

} // namespace keyloom
