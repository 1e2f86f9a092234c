#include "files/WindowsCommandLine.h"

#include <gtest/gtest.h>

namespace keyloom {
namespace {

struct QuotingCase {
    const char* argument;
    const char* whenNeeded;
    const char* always;
};

TEST(WindowsCommandLineTest, QuotesSoThatEachArgumentArrivesWhole) {
    const QuotingCase cases[] = {
        {R"(C:\Keys\Office.ckd)", R"(C:\Keys\Office.ckd)", R"("C:\Keys\Office.ckd")"},
        {R"(C:\Key files\Office.ckd)", R"("C:\Key files\Office.ckd")", R"("C:\Key files\Office.ckd")"},
        {"", R"("")", R"("")"},
        {"tab\there", "\"tab\there\"", "\"tab\there\""},
        {R"(say "hi")", R"("say \"hi\"")", R"("say \"hi\"")"},
        // Backslashes count only before a quote, the closing one included.
        {R"(C:\Key files\)", R"("C:\Key files\\")", R"("C:\Key files\\")"},
        {R"(C:\Keys\)", R"(C:\Keys\)", R"("C:\Keys\\")"},
        {R"(a\"b)", R"("a\\\"b")", R"("a\\\"b")"},
        {R"(\\server\share\a b)", R"("\\server\share\a b")", R"("\\server\share\a b")"},
    };
    for (const QuotingCase& c : cases) {
        SCOPED_TRACE(c.argument);
        EXPECT_EQ(QuoteWindowsArgument(c.argument, Quoting::WhenNeeded), c.whenNeeded);
        EXPECT_EQ(QuoteWindowsArgument(c.argument, Quoting::Always), c.always);
    }
}

TEST(WindowsCommandLineTest, JoinsWithSingleSpaces) {
    EXPECT_EQ(JoinWindowsArguments({"a", "b c", ""}, Quoting::WhenNeeded), R"(a "b c" "")");
    EXPECT_EQ(JoinWindowsArguments({"a", "b"}, Quoting::Always), R"("a" "b")");
    EXPECT_EQ(JoinWindowsArguments({}, Quoting::Always), "");
}

} // namespace
} // namespace keyloom
