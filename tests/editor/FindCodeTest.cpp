#include "editor/CodeSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace keyloom {
namespace {

TEST(CodeSearch, RanksNamesBeforeCodesAndMatchesHexByBytes) {
    const std::vector<CodeSearchEntry> entries = {
        {{"Volume Knob"}, {"e0 99"}}, // 0
        {{"Vol"}, {"e0 32"}},         // 1
        {{"Mute Vol"}, {"03"}},       // 2
        {{"Evolve"}, {"32 e0"}},      // 3
        {{"Ctrl  Down"}, {"14"}},     // 4
    };
    struct Case {
        const char* query;
        std::vector<std::size_t> found;
    };
    for (const Case& c : {
             Case{"vol", {1, 0, 2, 3}}, // equal, start, word start, inside
             Case{"VOL", {1, 0, 2, 3}},
             Case{"e0 32", {1}},
             Case{"e032", {1}},
             Case{"03", {2}}, // not the 0 of e0 and the 3 of 32
             Case{"32", {3, 1}}, // a code's start before a later byte
             Case{" ctrl   down ", {4}},
             Case{"zzz", {}},
             Case{"  ", {}},
         }) {
        EXPECT_EQ(FindCodes(entries, c.query), c.found) << '"' << c.query << '"';
    }
}

} // namespace
} // namespace keyloom
