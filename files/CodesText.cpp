#include "files/CodesText.h"

#include "document/HexText.h"

#include <algorithm>

namespace keyloom {

std::u32string CodesTextCharacters(std::string_view utf8) {
    std::u32string characters(utf8.begin(), utf8.end());
    // Codes texts are ASCII but for hand-made mistakes.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return characters;
    characters.clear();
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        char32_t value = extra == 0 ? lead : lead & (0x3F >> extra);
        std::size_t used = 1;
        while (used <= extra && i + used < utf8.size()
               && (static_cast<unsigned char>(utf8[i + used]) & 0xC0) == 0x80) {
            value = (value << 6) | (static_cast<unsigned char>(utf8[i + used]) & 0x3F);
            ++used;
        }
        characters.push_back(value);
        i += used;
    }
    return characters;
}

uint8_t HexDigitValue(char32_t character) {
    const auto d = static_cast<uint8_t>((character & 0xFF) - 0x30);
    if (d <= 9)
        return d;
    return static_cast<uint8_t>((d & 0xDF) - 7);
}

ParsedCodes ParseCodesText(std::u32string_view characters, std::span<uint8_t> codes, std::size_t limit) {
    ParsedCodes parsed;
    for (std::size_t i = 0; i < characters.size() && parsed.stored < limit; i += 2) {
        if (i + 1 >= characters.size()) {
            parsed.incomplete = true;
            break;
        }
        codes[parsed.stored++] = static_cast<uint8_t>(HexDigitValue(characters[i]) * 16
                                                      + HexDigitValue(characters[i + 1]));
    }
    return parsed;
}

std::string CodesText(std::span<const uint8_t> codes) {
    const auto end = std::find(codes.begin(), codes.end(), 0);
    return BytesAsHex(codes.first(static_cast<std::size_t>(end - codes.begin())));
}

} // namespace keyloom
