#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace keyloom {

// The characters of a codes text. Codes texts are pairs of hex digits, but a hand-edited file may
// hold anything: both the reader and the image builder count characters, not UTF-8 bytes.
std::u32string CodesTextCharacters(std::string_view utf8);

// Lower-case hex text of the bytes before the first 0 of a code array ("121cf012").
std::string CodesText(std::span<const uint8_t> codes);

} // namespace keyloom
