#include "files/CodesText.h"

namespace keyloom {

std::u32string CodesTextCharacters(std::string_view utf8) {
    std::u32string characters;
    characters.reserve(utf8.size());
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

std::string CodesText(std::span<const uint8_t> codes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(codes.size() * 2);
    for (const uint8_t byte : codes) {
        if (byte == 0)
            break;
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

} // namespace keyloom
