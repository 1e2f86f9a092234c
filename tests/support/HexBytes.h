#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace keyloom::test {

// Bytes written as hex words ("12 1c f0 12"), as tables of codes read best.
inline std::vector<uint8_t> HexBytes(const std::string& text) {
    std::vector<uint8_t> bytes;
    std::istringstream words(text);
    for (std::string word; words >> word;)
        bytes.push_back(static_cast<uint8_t>(std::stoi(word, nullptr, 16)));
    return bytes;
}

} // namespace keyloom::test
