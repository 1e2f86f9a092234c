#include "files/TextEncoding.h"

#include <array>
#include <cstdint>

namespace keyloom {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr char32_t kReplacement = 0xFFFD;

uint8_t ByteAt(std::string_view bytes, std::size_t index) {
    return static_cast<uint8_t>(bytes[index]);
}

// The length of the well-formed UTF-8 sequence at index, or 0 when there is none. A sequence
// cut short, an overlong form, a surrogate and anything past U+10FFFF are all ill-formed; an
// ill-formed sequence never swallows an ASCII byte, so line ends survive any damage around them.
std::size_t SequenceLength(std::string_view bytes, std::size_t index, char32_t& codePoint) {
    const uint8_t lead = ByteAt(bytes, index);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (bytes.size() - index < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const uint8_t continuation = ByteAt(bytes, index + i);
        // Only the second byte has the narrower range that rules out overlongs and surrogates.
        if (continuation < (i == 1 ? low : 0x80) || continuation > (i == 1 ? high : 0xBF))
            return 0;
        codePoint = (codePoint << 6) | (continuation & 0x3F);
    }
    return length;
}

void AppendUtf8(std::string& text, char32_t codePoint) {
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

void AppendUtf16Le(std::string& bytes, char32_t unit) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
}

// The end of the run of ASCII bytes that starts at i: most of a key definition file.
std::size_t AsciiRunEnd(std::string_view bytes, std::size_t i) {
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80)
        ++i;
    return i;
}

std::string DecodeUtf8(std::string_view bytes) {
    const std::size_t asciiEnd = AsciiRunEnd(bytes, 0);
    if (asciiEnd == bytes.size())
        return std::string(bytes);
    std::string text(bytes.substr(0, asciiEnd));
    text.reserve(bytes.size());
    for (std::size_t i = asciiEnd; i < bytes.size();) {
        char32_t codePoint = 0;
        const std::size_t length = SequenceLength(bytes, i, codePoint);
        if (length == 0) {
            AppendUtf8(text, kReplacement);
            ++i;
        } else {
            text.append(bytes.substr(i, length));
            i += length;
        }
    }
    return text;
}

std::string DecodeUtf16Le(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    const auto unitAt = [&](std::size_t index) -> char32_t {
        return ByteAt(bytes, index) | (char32_t{ByteAt(bytes, index + 1)} << 8);
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t next = unitAt(i + 2);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(text, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
    }
    if (i < bytes.size())
        AppendUtf8(text, kReplacement); // a lone last byte
    return text;
}

// 80..9F of Windows-1252. The five bytes that the code page leaves undefined map to the control
// characters of the same number, as Windows itself decodes them.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::string DecodeWindows1252(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (char byte : bytes) {
        const uint8_t value = static_cast<uint8_t>(byte);
        AppendUtf8(text, value >= 0x80 && value <= 0x9F ? kWindows1252High[value - 0x80] : value);
    }
    return text;
}

std::string EncodeUtf16Le(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size() * 2);
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t codePoint = 0;
        const std::size_t length = SequenceLength(utf8, i, codePoint);
        if (length == 0) {
            codePoint = kReplacement;
            i += 1;
        } else {
            i += length;
        }
        if (codePoint >= 0x10000) {
            AppendUtf16Le(bytes, 0xD800 + ((codePoint - 0x10000) >> 10));
            AppendUtf16Le(bytes, 0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            AppendUtf16Le(bytes, codePoint);
        }
    }
    return bytes;
}

} // namespace

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = AsciiRunEnd(bytes, 0); i < bytes.size();) {
        char32_t codePoint = 0;
        const std::size_t length = SequenceLength(bytes, i, codePoint);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

TextEncoding DetectEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom))
        return TextEncoding::Utf8Bom;
    if (bytes.starts_with(kUtf16LeBom))
        return TextEncoding::Utf16LeBom;
    return IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

std::string_view ByteOrderMark(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8Bom:
        return kUtf8Bom;
    case TextEncoding::Utf16LeBom:
        return kUtf16LeBom;
    case TextEncoding::Utf8:
    case TextEncoding::Windows1252:
        break;
    }
    return {};
}

std::string DecodeText(std::string_view bytes, TextEncoding encoding) {
    const std::string_view bom = ByteOrderMark(encoding);
    if (!bom.empty() && bytes.starts_with(bom))
        bytes.remove_prefix(bom.size());
    switch (encoding) {
    case TextEncoding::Utf16LeBom:
        return DecodeUtf16Le(bytes);
    case TextEncoding::Windows1252:
        return DecodeWindows1252(bytes);
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        break;
    }
    return DecodeUtf8(bytes);
}

std::string EncodeText(std::string_view utf8, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf16LeBom)
        return EncodeUtf16Le(utf8);
    return std::string(utf8);
}

} // namespace keyloom
