#pragma once

#include <string>
#include <string_view>

namespace keyloom {

// How a text file's bytes were encoded; writing keeps the file's own form.
enum class TextEncoding {
    Utf8,         // no byte order mark, valid UTF-8 (plain ASCII included)
    Utf8Bom,      // EF BB BF
    Utf16LeBom,   // FF FE
    Windows1252,  // no byte order mark and not valid UTF-8: files of older versions
};

// The encoding of bytes by their byte order mark, or by whether they are valid UTF-8.
TextEncoding DetectEncoding(std::string_view bytes);

// Bytes (with any byte order mark) to UTF-8 text without it. Never fails: invalid sequences
// become U+FFFD.
std::string DecodeText(std::string_view bytes, TextEncoding encoding);

// UTF-8 text to bytes of encoding, without the byte order mark. Text for Windows1252 is
// written as UTF-8: names are written as UTF-8.
std::string EncodeText(std::string_view utf8, TextEncoding encoding);

// The byte order mark that starts a file of encoding (empty for Utf8 and Windows1252).
std::string_view ByteOrderMark(TextEncoding encoding);

bool IsValidUtf8(std::string_view bytes);

} // namespace keyloom
