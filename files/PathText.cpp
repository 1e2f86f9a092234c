#include "files/PathText.h"

namespace keyloom {

std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::filesystem::path PathFromText(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool SameFile(const std::filesystem::path& input, const std::filesystem::path& output) {
    std::error_code error;
    if (std::filesystem::equivalent(input, output, error))
        return true;
    return std::filesystem::weakly_canonical(input, error) == std::filesystem::weakly_canonical(output, error);
}

} // namespace keyloom
