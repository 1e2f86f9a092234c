#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace keyloom {

// The characters of a codes text. Codes texts are pairs of hex digits, but a hand-edited file may
// hold anything: both the reader and the image builder count characters, not UTF-8 bytes.
std::u32string CodesTextCharacters(std::string_view utf8);

// The value of one hex digit, as the reader has always computed it: 0-9, a-f and A-F give their
// values, any other character gives what the arithmetic yields.
uint8_t HexDigitValue(char32_t character);

struct ParsedCodes {
    std::size_t stored = 0;  // bytes stored
    bool incomplete = false; // a lone last digit was reached before the limit
};

// Stores the hex pairs of characters in codes until limit bytes are stored, the way opening a
// file reads them: the digits are not checked, only that each pair is complete.
ParsedCodes ParseCodesText(std::u32string_view characters, std::span<uint8_t> codes, std::size_t limit);

// Lower-case hex text of the bytes before the first 0 of a code array ("121cf012").
std::string CodesText(std::span<const uint8_t> codes);

} // namespace keyloom
