#include "editor/CodeSearch.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

namespace keyloom {

namespace {

// Lower case, trimmed, with each run of white space made one space.
std::string Folded(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isspace(byte)) {
            if (!folded.empty() && folded.back() != ' ')
                folded += ' ';
        } else {
            folded += static_cast<char>(std::tolower(byte));
        }
    }
    if (!folded.empty() && folded.back() == ' ')
        folded.pop_back();
    return folded;
}

std::string WithoutSpaces(std::string_view text) {
    std::string bare;
    std::copy_if(text.begin(), text.end(), std::back_inserter(bare), [](char c) { return c != ' '; });
    return bare;
}

enum Rank { kEqualName, kNameStart, kWordStart, kInName, kCodeStart, kInCode };

std::optional<Rank> NameRank(const std::string& name, const std::string& query) {
    if (name == query)
        return kEqualName;
    std::optional<Rank> best;
    for (std::size_t at = name.find(query); at != std::string::npos; at = name.find(query, at + 1)) {
        if (at == 0)
            return kNameStart;
        const auto before = static_cast<unsigned char>(name[at - 1]);
        best = std::min(best.value_or(kInName), std::isalnum(before) ? kInName : kWordStart);
    }
    return best;
}

// Hex is matched without its spaces but only from a byte's first digit: "03" does not match
// "e0 32".
std::optional<Rank> CodeRank(const std::string& bareCode, const std::string& bareQuery) {
    for (std::size_t at = bareCode.find(bareQuery); at != std::string::npos; at = bareCode.find(bareQuery, at + 1)) {
        if (at % 2 == 0)
            return at == 0 ? kCodeStart : kInCode;
    }
    return std::nullopt;
}

} // namespace

std::vector<std::size_t> FindCodes(std::span<const CodeSearchEntry> entries, std::string_view query) {
    const std::string folded = Folded(query);
    if (folded.empty())
        return {};
    const bool hex = std::all_of(folded.begin(), folded.end(),
                                 [](char c) { return c == ' ' || std::isxdigit(static_cast<unsigned char>(c)); });
    const std::string bareQuery = WithoutSpaces(folded);

    std::vector<std::pair<Rank, std::size_t>> found;
    for (std::size_t index = 0; index < entries.size(); ++index) {
        std::optional<Rank> best;
        const auto take = [&best](std::optional<Rank> rank) {
            if (rank && (!best || *rank < *best))
                best = rank;
        };
        for (const std::string& name : entries[index].names)
            take(NameRank(Folded(name), folded));
        if (hex) {
            for (const std::string& code : entries[index].codeTexts)
                take(CodeRank(WithoutSpaces(Folded(code)), bareQuery));
        }
        if (best)
            found.emplace_back(*best, index);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::size_t> order;
    order.reserve(found.size());
    for (const auto& [rank, index] : found)
        order.push_back(index);
    return order;
}

} // namespace keyloom
