#include "platform/DesktopEntry.h"

#include "support/TemporaryFolder.h"

#include <QKeySequence>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace keyloom {
namespace {

TEST(HotKeyTextTest, SpellsTheWordAsKdeReadsIt) {
    struct Case {
        uint16_t word;
        const char* text;
    };
    for (const Case& c : {
             Case{0x0641, "Ctrl+Alt+A"},    // a letter: Ctrl + Alt
             Case{0x0631, "Ctrl+Alt+1"},
             Case{0x06BF, "Ctrl+Alt+/"},    // the question-mark key
             Case{0x06DC, "Ctrl+Alt+\\"},
             Case{0x0E21, "Ctrl+Alt+PgUp"}, // navigation keys carry the extended flag
             Case{0x0E24, "Ctrl+Alt+Home"},
             Case{0x0174, "Shift+F5"},
             Case{0x007B, "F12"},
             Case{0x0372, "Ctrl+Shift+F3"},
             Case{0x0576, "Alt+Shift+F7"},
             Case{0x0687, "Ctrl+Alt+F24"},
             Case{0x0065, "Num+5"},         // numeric keypad digits come without modifiers
             Case{0x0000, ""},
             Case{0x0600, ""},              // modifiers without a key
             Case{0x06FF, ""},              // a key without a name
         }) {
        EXPECT_EQ(HotKeyText(c.word), c.text) << std::hex << c.word;
    }
}

// Whatever name the table gives, Qt (and with it KDE's shortcut daemon) reads it back as the
// same single key combination.
TEST(HotKeyTextTest, EveryNamedWordReadsBackInQt) {
    int named = 0;
    for (unsigned flags = 0; flags < 16; ++flags) {
        for (unsigned key = 0; key < 256; ++key) {
            const std::string text = HotKeyText(static_cast<uint16_t>(flags << 8 | key));
            if (text.empty())
                continue;
            ++named;
            const QKeySequence sequence =
                QKeySequence::fromString(QString::fromStdString(text), QKeySequence::PortableText);
            ASSERT_EQ(sequence.count(), 1) << text;
            EXPECT_NE(sequence[0].key(), Qt::Key_unknown) << text;
            EXPECT_EQ(sequence.toString(QKeySequence::PortableText).toStdString(), text);
        }
    }
    EXPECT_GT(named, 16 * 100); // about a hundred keys, each with every combination of flags
}

TEST(DesktopEntryEscapingTest, StringValues) {
    struct Case {
        const char* value;
        const char* escaped;
    };
    for (const Case& c : {
             Case{"plain text", "plain text"},
             Case{"  padded  ", "\\s\\spadded\\s\\s"},
             Case{"   ", "\\s\\s\\s"},
             Case{"C:\\Keys", "C:\\\\Keys"},
             Case{"two\nlines\tand\rmore", "two\\nlines\\tand\\rmore"},
             Case{"", ""},
         }) {
        EXPECT_EQ(EscapeDesktopString(c.value), c.escaped) << c.value;
    }
}

TEST(DesktopEntryEscapingTest, ExecArguments) {
    struct Case {
        const char* argument;
        const char* quoted;
    };
    for (const Case& c : {
             Case{"/usr/bin/vkxxload", "/usr/bin/vkxxload"},
             Case{"/home/u/My Keys/a.ckd", "\"/home/u/My Keys/a.ckd\""},
             Case{"say \"hi\"", "\"say \\\"hi\\\"\""},
             Case{"it's", "\"it's\""},
             Case{"$(touch x)", "\"\\$(touch x)\""},
             Case{"`id`", "\"\\`id\\`\""},
             Case{"back\\slash", "\"back\\\\slash\""},
             Case{"a;b&c|d", "\"a;b&c|d\""},
             Case{"100%", "100%%"},
             Case{"50% off", "\"50%% off\""},
             Case{"", "\"\""},
         }) {
        EXPECT_EQ(QuoteExecArgument(c.argument), c.quoted) << c.argument;
    }
}

TEST(DesktopEntryTextTest, CarriesEveryField) {
    DesktopEntry entry;
    entry.name = "Office";
    entry.comment = " Switch to Office\\";
    entry.command = {"/opt/keyloom/VKxx Load", "/home/u/My Keys/Office.ckd", "back\\slash", "100%"};
    entry.workingFolder = "/opt/keyloom/";
    entry.shortcut = "Ctrl+Alt+A";

    // A literal backslash inside a quoted argument takes four: the Exec quoting doubles it and
    // the string escaping doubles it again.
    EXPECT_EQ(DesktopEntryText(entry),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Version=1.4\n"
              "Name=Office\n"
              "Comment=\\sSwitch to Office\\\\\n"
              "Exec=\"/opt/keyloom/VKxx Load\" \"/home/u/My Keys/Office.ckd\" \"back\\\\\\\\slash\" 100%%\n"
              "Path=/opt/keyloom/\n"
              "Terminal=false\n"
              "X-KDE-Shortcuts=Ctrl+Alt+A\n");
}

TEST(DesktopEntryTextTest, LeavesOutEmptyFieldsAndAShortcutKdeCannotRead) {
    DesktopEntry entry;
    entry.name = "Notes";
    entry.command = {"xdg-open", "/home/u/notes.txt"};
    entry.shortcut = "Ctrl+Alt+,";

    EXPECT_EQ(DesktopEntryText(entry),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Version=1.4\n"
              "Name=Notes\n"
              "Exec=xdg-open /home/u/notes.txt\n"
              "Terminal=false\n");
}

#ifndef _WIN32
// The desktop's own validator reads what the wizard writes as a valid entry.
TEST(DesktopEntryTextTest, PassesTheDesktopFileValidator) {
    if (std::system("desktop-file-validate --help > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "desktop-file-validate is not installed";
    DesktopEntry entry;
    entry.name = "Office";
    entry.comment = "Switch to Office";
    entry.command = {"/opt/keyloom/VKxx Load", "/home/u/My Keys/Office.ckd"};
    entry.workingFolder = "/opt/keyloom/";
    entry.shortcut = "Ctrl+Alt+A";
    test::TemporaryFolder folder;
    const auto path = folder.path() / "Office.desktop";
    std::ofstream(path) << DesktopEntryText(entry);

    std::string report;
    if (std::FILE* output = popen(("desktop-file-validate '" + path.string() + "' 2>&1").c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, output) != nullptr)
            report += buffer;
        EXPECT_EQ(pclose(output), 0) << report;
    }
    EXPECT_EQ(report.find("error"), std::string::npos) << report;
    EXPECT_EQ(report.find("warning"), std::string::npos) << report;
}
#endif

} // namespace
} // namespace keyloom
