#include "gui/QtPaths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace keyloom {
namespace {

namespace fs = std::filesystem;

// Every name the system can hold comes back from Qt's text as the same path.
TEST(QtPaths, NamesComeBackExactlyFromTheirText) {
    const std::vector<fs::path> names = {
        fs::path(u8"/home/u/B\u00fcro/Keys \u2713.ckd"),
        fs::path(u8"/home/u/\U0001F3B9 music.ckd"), // outside the Basic Multilingual Plane
        fs::path("plain.ckd"),
        fs::path(),
#ifndef _WIN32
        // Bytes that are not UTF-8: a name from a Latin-1 system, a cut sequence, an overlong
        // form, an encoded surrogate.
        fs::path("/data/caf\xe9.ckd"),
        fs::path("/data/cut\xe2\x82.ckd"),
        fs::path("/data/overlong\xc0\xaf.ckd"),
        fs::path("/data/surrogate\xed\xa0\x80.ckd"),
#endif
    };
    for (const fs::path& name : names)
        EXPECT_EQ(ToPath(ToQString(name)), name) << name;
    EXPECT_EQ(ToQString(fs::path(u8"B\u00fcro")), QString::fromUtf8("B\xc3\xbcro"));
}

#ifdef _WIN32
// Paths cross to and from Qt in the form Windows writes them, whatever separators Qt or the core
// used: the user sees backslashes, and the programs given a path get them.
TEST(QtPaths, WindowsPathsCrossWithBackslashes) {
    EXPECT_EQ(ToPath(QStringLiteral("C:/Users/u/Macro_Files/x.ckd")).native(), L"C:\\Users\\u\\Macro_Files\\x.ckd");
    EXPECT_EQ(ToQString(fs::path(L"C:/Users/u") / L"x.ckd"), QStringLiteral("C:\\Users\\u\\x.ckd"));
    EXPECT_EQ(ToQString(fs::path(L"\\\\server/share/x.ckd")), QStringLiteral("\\\\server\\share\\x.ckd"));
}
#endif

#ifndef _WIN32
// The editor gets its file argument as given, whatever its bytes (Qt's own list would turn
// them into replacement characters, and the file would be reported as not found).
TEST(QtPaths, CommandLineArgumentsKeepTheirBytes) {
    std::string program = "KeyloomVKxx";
    std::string latin1 = "/data/caf\xe9.ckd";
    std::string utf8 = "/data/B\xc3\xbcro.ckd";
    char* argv[] = {program.data(), latin1.data(), utf8.data(), nullptr};
    const QStringList arguments = CommandLineArguments(3, argv);
    ASSERT_EQ(arguments.size(), 2);
    EXPECT_EQ(ToPath(arguments[0]), fs::path(latin1));
    EXPECT_EQ(ToPath(arguments[1]), fs::path(utf8));
    EXPECT_EQ(arguments[1], QString::fromUtf8(utf8.c_str()));
}
#endif

} // namespace
} // namespace keyloom
