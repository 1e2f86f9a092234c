#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace keyloom {

// What a recordable code can be found by: the names a user knows it by (its button or menu
// caption, the cell names the grid shows for it) and the hex text of its bytes ("e0 32").
struct CodeSearchEntry {
    std::vector<std::string> names;
    std::vector<std::string> codeTexts;
};

// The entries that match query, best first: a name equal to it, a name that starts with it, a
// word of a name that starts with it, a name that holds it, then code texts that start with it or
// hold it at a byte's start. Case and runs of spaces do not count, and a code text matches with
// or without the spaces between its bytes ("e032"). Entries that match equally well keep their
// order. An empty query matches nothing.
std::vector<std::size_t> FindCodes(std::span<const CodeSearchEntry> entries, std::string_view query);

} // namespace keyloom
