#include "gui/QtPaths.h"
#include "platform/desktop/DesktopPlatform.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWindow>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <signal.h>

namespace keyloom {
namespace {

using testing::HasSubstr;
using testing::Not;

namespace fs = std::filesystem;

void WriteText(const fs::path& path, const std::string& text, bool executable = false) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    if (executable)
        fs::permissions(path, fs::perms::owner_exec, fs::perm_options::add);
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Detached processes write their results in their own time.
bool WaitForFile(const fs::path& path) {
    const QDeadlineTimer deadline(10000);
    while (!fs::exists(path)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

// A script that records its working folder and then its arguments, each ended by NUL, in
// record, which appears at once when complete.
void WriteRecorder(const fs::path& script, const fs::path& record) {
    WriteText(script,
              "#!/bin/sh\n"
              "out='" + record.string() + "'\n"
              "{ printf '%s\\0' \"$(pwd -P)\"; for a in \"$@\"; do printf '%s\\0' \"$a\"; done; }"
              " > \"$out.part\" && mv \"$out.part\" \"$out\"\n",
              true);
}

struct Record {
    std::string folder;
    std::vector<std::string> arguments;
};

Record ReadRecord(const fs::path& record) {
    std::vector<std::string> fields;
    std::string text = ReadText(record);
    for (std::size_t start = 0, end; (end = text.find('\0', start)) != std::string::npos; start = end + 1)
        fields.push_back(text.substr(start, end - start));
    if (fields.empty())
        return {};
    return {fields[0], std::vector<std::string>(fields.begin() + 1, fields.end())};
}

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value) : m_name(name) {
        if (qEnvironmentVariableIsSet(name))
            m_old = qgetenv(name);
        qputenv(name, value);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        if (m_old)
            qputenv(m_name, *m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<QByteArray> m_old;
};

const std::vector<std::string> kAwkwardArguments = {
    "/home/u/My Keys/Office.ckd", "say \"hi\"", "it's", "$(touch pwned)", "`touch pwned`",
    "a;b&c|d > e", "", "back\\slash", "100%",
};

class DesktopPlatformTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_temp.isValid()); }

    // Puts a recording xdg-open first on the search path, for as long as the test runs.
    fs::path InterceptDesktopOpener() {
        const fs::path record = root / "opener.record";
        WriteRecorder(root / "bin" / "xdg-open", record);
        m_path.emplace("PATH", QFile::encodeName(ToQString(root / "bin")) + ":" + qgetenv("PATH"));
        return record;
    }

    QTemporaryDir m_temp;
    const fs::path root = fs::canonical(ToPath(m_temp.path()));
    std::optional<ScopedEnvironment> m_path;
};

TEST_F(DesktopPlatformTest, FoldersFollowTheUsersSettings) {
    ScopedEnvironment home("HOME", QFile::encodeName(ToQString(root / "home")));
    ScopedEnvironment config("XDG_CONFIG_HOME", QFile::encodeName(ToQString(root / "config")));
    WriteText(root / "config" / "user-dirs.dirs",
              "XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n"
              "XDG_DESKTOP_DIR=\"$HOME/Arbeitsfl\xC3\xA4" "che\"\n");
    const DesktopPlatform platform;

    EXPECT_EQ(platform.userDocumentsFolder(), root / "home" / "Papiere");
    EXPECT_EQ(platform.desktopFolder(), root / "home" / "Arbeitsfl\xC3\xA4" "che");
    EXPECT_EQ(platform.sharedDocumentsFolder(), fs::path("/home/Shared"));
    EXPECT_EQ(platform.programFolder(), fs::read_symlink("/proc/self/exe").parent_path());
}

class SingleInstanceTest : public DesktopPlatformTest {
protected:
    void SetUp() override {
        DesktopPlatformTest::SetUp();
        fs::create_directory(root / "runtime");
        fs::permissions(root / "runtime", fs::perms::owner_all);
        m_runtime.emplace("XDG_RUNTIME_DIR", QFile::encodeName(ToQString(root / "runtime")));
    }

    // The exit code of a second process that tries to claim name: 0 got it, 1 refused.
    static int OtherProcessClaims(const QString& name) {
        return QProcess::execute(QStringLiteral(SINGLE_INSTANCE_HELPER), {name});
    }

    std::optional<ScopedEnvironment> m_runtime;
};

TEST_F(SingleInstanceTest, ASecondProcessIsRefusedUntilTheFirstLetsGo) {
    auto first = std::make_unique<DesktopPlatform>();
    ASSERT_TRUE(first->acquireSingleInstance("KeyloomVKxx"));
    EXPECT_TRUE(first->acquireSingleInstance("KeyloomVKxx"));

    EXPECT_EQ(OtherProcessClaims("KeyloomVKxx"), 1);
    EXPECT_EQ(OtherProcessClaims("AnotherName"), 0);

    first.reset();
    EXPECT_EQ(OtherProcessClaims("KeyloomVKxx"), 0);
}

TEST_F(SingleInstanceTest, AKilledHolderDoesNotBlockTheNextStart) {
    QProcess holder;
    holder.start(QStringLiteral(SINGLE_INSTANCE_HELPER), {"KeyloomVKxx", "hold"});
    ASSERT_TRUE(holder.waitForReadyRead(10000));

    DesktopPlatform platform;
    EXPECT_FALSE(platform.acquireSingleInstance("KeyloomVKxx"));

    holder.kill(); // SIGKILL: no chance to clean up
    ASSERT_TRUE(holder.waitForFinished(10000));
    EXPECT_TRUE(platform.acquireSingleInstance("KeyloomVKxx"));
}

// The download utility usually outlives the editor; it must not keep the editor from starting.
TEST_F(SingleInstanceTest, AProgramStartedByTheEditorDoesNotHoldTheClaim) {
    auto editor = std::make_unique<DesktopPlatform>();
    ASSERT_TRUE(editor->acquireSingleInstance("KeyloomVKxx"));
    const fs::path pidFile = root / "utility.pid";
    WriteText(root / "utility", "#!/bin/sh\necho $$ > '" + pidFile.string() + ".part'\nmv '" +
                                    pidFile.string() + ".part' '" + pidFile.string() + "'\nexec sleep 60\n",
              true);
    ASSERT_TRUE(editor->shellExecute("open", root / "utility", {}));
    ASSERT_TRUE(WaitForFile(pidFile));
    const pid_t utility = std::stoi(ReadText(pidFile));

    editor.reset();
    EXPECT_EQ(OtherProcessClaims("KeyloomVKxx"), 0);
    ::kill(utility, SIGKILL);
}

TEST_F(DesktopPlatformTest, OpenRunsAProgramWithItsArgumentsAsTheyAre) {
    const fs::path program = root / "my tools" / "record 'it' $(x).sh";
    WriteRecorder(program, root / "program.record");
    DesktopPlatform platform;

    ASSERT_TRUE(platform.shellExecute("open", program, kAwkwardArguments));
    ASSERT_TRUE(WaitForFile(root / "program.record"));
    EXPECT_EQ(ReadRecord(root / "program.record").arguments, kAwkwardArguments);
}

TEST_F(DesktopPlatformTest, DocumentsAndFoldersGoToTheDesktopOpener) {
    const fs::path record = InterceptDesktopOpener();
    const fs::path document = root / "Keycap Labels" / "Labels $(x) 'large'.bmp";
    const fs::path folder = root / "Documents Area";
    WriteText(document, "BM");
    fs::create_directories(folder);
    DesktopPlatform platform;

    struct Case {
        const char* verb;
        fs::path file;
        std::vector<std::string> arguments;
        bool launched;
    };
    for (const Case& c : {
             Case{"open", document, {}, true},
             Case{"open", document, {"--ignored"}, true}, // a document takes no arguments
             Case{"edit", document, {}, true},
             Case{"explore", folder, {}, true},
             Case{"explore", document, {}, false},
             Case{"print", document, {}, false},
         }) {
        SCOPED_TRACE(std::string(c.verb) + " " + c.file.string());
        fs::remove(record);
        ASSERT_EQ(platform.shellExecute(c.verb, c.file, c.arguments), c.launched);
        if (!c.launched)
            continue;
        ASSERT_TRUE(WaitForFile(record));
        EXPECT_EQ(ReadRecord(record).arguments, std::vector<std::string>{c.file.string()});
    }
}

// With no opener at all, opening a document fails and says so; the editor then tells the user.
TEST_F(DesktopPlatformTest, WithoutAnOpenerOpeningADocumentAnswersFalse) {
    fs::create_directories(root / "empty");
    const ScopedEnvironment path("PATH", QFile::encodeName(ToQString(root / "empty")));
    WriteText(root / "manual.pdf", "%PDF");
    DesktopPlatform platform;
    EXPECT_FALSE(platform.shellExecute("open", root / "manual.pdf", {}));
}

TEST_F(DesktopPlatformTest, KeyStateFollowsTheKeyboard) {
    QWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const DesktopPlatform platform;

    // A modifier key's own release no longer carries the modifier; a keypad key's still does.
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers pressed, released;
        int virtualKey;
    };
    for (const Case& c : {Case{Qt::Key_Shift, Qt::ShiftModifier, Qt::NoModifier, 16},
                          Case{Qt::Key_Control, Qt::ControlModifier, Qt::NoModifier, 17},
                          Case{Qt::Key_Alt, Qt::AltModifier, Qt::NoModifier, 18},
                          Case{Qt::Key_5, Qt::KeypadModifier, Qt::KeypadModifier, 0x65},
                          Case{Qt::Key_0, Qt::KeypadModifier, Qt::KeypadModifier, 0x60}}) {
        SCOPED_TRACE(c.virtualKey);
        QTest::keyPress(&window, c.key, c.pressed);
        for (int virtualKey : {16, 17, 18, 0x60, 0x64, 0x65, 0x69})
            EXPECT_EQ(platform.keyIsDown(virtualKey), virtualKey == c.virtualKey) << virtualKey;
        QTest::keyRelease(&window, c.key, c.released);
        EXPECT_FALSE(platform.keyIsDown(c.virtualKey));
    }

    // The 5 of the main block is not the keypad's.
    QTest::keyPress(&window, Qt::Key_5);
    EXPECT_FALSE(platform.keyIsDown(0x65));
    QTest::keyRelease(&window, Qt::Key_5);
}

class ShortcutTest : public DesktopPlatformTest {
protected:
    void SetUp() override {
        DesktopPlatformTest::SetUp();
        fs::create_directories(desktop);
    }

    // Desktop entries are launched the way a desktop does, through GLib's launcher.
    static QString Launcher() { return QStandardPaths::findExecutable(QStringLiteral("gio")); }
    static int Launch(const fs::path& entry) {
        return QProcess::execute(Launcher(), {"launch", ToQString(entry)});
    }

    const fs::path desktop = root / "Desktop";
    DesktopPlatform platform;
};

TEST_F(ShortcutTest, AKeyDefinitionShortcutRunsTheUtilityWithThePathInItsFolder) {
    if (Launcher().isEmpty())
        GTEST_SKIP() << "gio is needed to launch the desktop entry";
    const fs::path programFolder = root / "Program Files";
    WriteRecorder(programFolder / "VKxx Load", root / "utility.record");
    ShellLink link;
    link.target = programFolder / "VKxx Load";
    link.workingFolder = programFolder;
    link.arguments = kAwkwardArguments;
    link.description = "Switch the keypad to \"Office\"";
    link.hotKey = 0x0641;

    ASSERT_EQ(platform.createShortcut(link, desktop / "Office.lnk"), ShortcutResult::Success);

    const fs::path entry = desktop / "Office.desktop";
    EXPECT_FALSE(fs::exists(desktop / "Office.lnk"));
    EXPECT_NE(fs::status(entry).permissions() & fs::perms::owner_exec, fs::perms::none);
    const std::string text = ReadText(entry);
    EXPECT_THAT(text, HasSubstr("\nName=Office\n")) << text;
    EXPECT_THAT(text, HasSubstr("\nComment=Switch the keypad to \"Office\"\n")) << text;
    EXPECT_THAT(text, HasSubstr("\nX-KDE-Shortcuts=Ctrl+Alt+A\n")) << text;

    ASSERT_EQ(Launch(entry), 0);
    ASSERT_TRUE(WaitForFile(root / "utility.record"));
    const Record record = ReadRecord(root / "utility.record");
    EXPECT_EQ(record.folder, programFolder.string());
    EXPECT_EQ(record.arguments, kAwkwardArguments);
}

TEST_F(ShortcutTest, ADocumentShortcutOpensTheDocumentInItsFolder) {
    if (Launcher().isEmpty())
        GTEST_SKIP() << "gio is needed to launch the desktop entry";
    const fs::path record = InterceptDesktopOpener();
    const fs::path reports = root / "Reports";
    WriteText(reports / "report $(1).xls", "cells");
    ShellLink link;
    link.target = reports / "report $(1).xls";
    link.workingFolder = reports;

    ASSERT_EQ(platform.createShortcut(link, desktop / "report $(1).lnk"), ShortcutResult::Success);
    const std::string text = ReadText(desktop / "report $(1).desktop");
    EXPECT_THAT(text, Not(HasSubstr("X-KDE-Shortcuts"))) << text;

    ASSERT_EQ(Launch(desktop / "report $(1).desktop"), 0);
    ASSERT_TRUE(WaitForFile(record));
    EXPECT_EQ(ReadRecord(record).folder, reports.string());
    EXPECT_EQ(ReadRecord(record).arguments, std::vector<std::string>{link.target.string()});
}

TEST_F(ShortcutTest, AnExistingShortcutIsReplaced) {
    ShellLink link;
    link.target = "/usr/bin/true";
    link.description = "first";
    ASSERT_EQ(platform.createShortcut(link, desktop / "Again.lnk"), ShortcutResult::Success);
    link.description = "second";
    ASSERT_EQ(platform.createShortcut(link, desktop / "Again.lnk"), ShortcutResult::Success);

    EXPECT_THAT(ReadText(desktop / "Again.desktop"), HasSubstr("\nComment=second\n"));
    EXPECT_NE(fs::status(desktop / "Again.desktop").permissions() & fs::perms::owner_exec,
              fs::perms::none);
}

TEST_F(ShortcutTest, EachFailureIsToldApart) {
    WriteText(root / "NotAFolder", "file");
    fs::create_directories(desktop / "Busy.desktop");
    ShellLink program;
    program.target = "/usr/bin/true";

    struct Case {
        const char* name;
        ShellLink link;
        fs::path file;
        ShortcutResult result;
    };
    for (const Case& c : {
             Case{"no target", ShellLink{}, desktop / "Empty.lnk", ShortcutResult::CannotCreateLink},
             Case{"no desktop folder", program, root / "Gone" / "x.lnk", ShortcutResult::NoPersistFile},
             Case{"a file for a folder", program, root / "NotAFolder" / "x.lnk",
                  ShortcutResult::NoPersistFile},
             Case{"a folder in the way", program, desktop / "Busy.lnk", ShortcutResult::SaveFailed},
         }) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(platform.createShortcut(c.link, c.file), c.result);
    }
    EXPECT_FALSE(fs::exists(desktop / "Empty.desktop"));
    EXPECT_FALSE(fs::exists(root / "Gone"));
}

} // namespace
} // namespace keyloom
