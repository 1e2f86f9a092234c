#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace keyloom {

// Paths as the program's UTF-8 texts and back. On Windows a path's narrow string is in the ANSI
// code page, which cannot spell every file name, so texts never go through path::string().
std::string PathText(const std::filesystem::path& path);
std::filesystem::path PathFromText(std::string_view utf8);

// Whether output names the file input, under any spelling or link: a writer must never replace
// what it reads.
bool SameFile(const std::filesystem::path& input, const std::filesystem::path& output);

} // namespace keyloom
