// What saving promises where POSIX systems can break it: who may replace a file, what a rename
// would change about it, and who may read it while it is written.
#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/IniFile.h"
#include "files/KeyDefinitionFile.h"
#include "support/TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace keyloom {
namespace {

namespace fs = std::filesystem;

using test::Listing;
using test::ReadFile;
using test::WriteFile;
using testing::HasSubstr;

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

struct stat StatOf(const fs::path& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status;
}

// Runs work as the user nobody in a child process: "" when it ran through, else what failed.
std::string AsNobody(const std::function<void()>& work) {
    int pipe[2];
    if (::pipe(pipe) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        std::string result;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0) {
            result = "cannot become nobody";
        } else {
            try {
                work();
            } catch (const std::exception& error) {
                result = error.what();
            }
        }
        [[maybe_unused]] const ssize_t written = ::write(pipe[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::string result;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return result;
}

// Saves as the user nobody: "" when saved, else the error's text.
std::string SaveAsNobody(const fs::path& path, const std::string& bytes) {
    return AsNobody([&] { WriteFileAtomically(path, bytes); });
}

// Saves file in a child process that dies half-way through rewriting it in place, as a kill would
// leave it: the first half of bytes over the old contents. Whether it died there.
bool StopSaveHalfWay(const fs::path& file, const std::string& bytes) {
    const pid_t child = ::fork();
    if (child == 0) {
        SetSaveHooksForTests([&bytes](SaveStep step, const fs::path& target) {
            if (step != SaveStep::ReadyToReplace)
                return;
            const int fd = ::open(target.c_str(), O_WRONLY);
            [[maybe_unused]] const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size() / 2, 0);
            ::_exit(9);
        });
        try {
            WriteFileAtomically(file, bytes);
        } catch (const FileError&) {
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 9;
}

class SavingAsAnotherUserTest : public testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "acting as another user needs root";
        // nobody must reach the folder.
        fs::permissions(m_root.path(), fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
    }

    test::TemporaryFolder m_root;
};

struct IdentityCase {
    const char* name;
    // The folder: its owner and mode.
    uid_t folderOwner;
    mode_t folderMode;
    // The file: its owner, group and mode, and whether a second hard link names it.
    uid_t fileOwner;
    gid_t fileGroup;
    mode_t fileMode;
    bool secondLink;
};

// A save keeps the file's owner, group, links and inode wherever a rename would lose them, and
// nothing is left beside it.
TEST_F(SavingAsAnotherUserTest, ReplacingKeepsWhatTheFileIs) {
    const IdentityCase cases[] = {
        {"own file, usual case", kNobody, 0755, kNobody, kNoGroup, 0644, false},
        {"own file of another group", kNobody, 0755, kNobody, 0, 0664, false},
        {"own file with two links", kNobody, 0755, kNobody, kNoGroup, 0644, true},
        {"root's writable file in a folder nobody may not add to", 0, 0755, 0, 0, 0666, false},
        {"root's writable file in a sticky shared folder", 0, 01777, 0, 0, 0666, false},
    };
    for (const IdentityCase& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = m_root / c.name;
        fs::create_directory(folder);
        ASSERT_EQ(::chown(folder.c_str(), c.folderOwner, c.folderOwner == 0 ? 0 : kNoGroup), 0);
        ASSERT_EQ(::chmod(folder.c_str(), c.folderMode), 0);
        const fs::path file = folder / "keys.ckd";
        WriteFile(file, "old contents");
        ASSERT_EQ(::chown(file.c_str(), c.fileOwner, c.fileGroup), 0);
        ASSERT_EQ(::chmod(file.c_str(), c.fileMode), 0);
        if (c.secondLink)
            fs::create_hard_link(file, folder / "other.ckd");
        const struct stat before = StatOf(file);

        EXPECT_EQ(SaveAsNobody(file, "new"), "");

        EXPECT_EQ(ReadFile(file), "new");
        const struct stat after = StatOf(file);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(after.st_mode, before.st_mode);
        if (c.secondLink) {
            EXPECT_EQ(after.st_ino, before.st_ino);
            EXPECT_EQ(ReadFile(folder / "other.ckd"), "new");
            EXPECT_EQ(Listing(folder), (std::vector<std::string>{"keys.ckd", "other.ckd"}));
        } else {
            EXPECT_EQ(Listing(folder), std::vector<std::string>{"keys.ckd"});
        }
    }
}

// A folder that lets nobody replace root's file by a rename still does not make it nobody's.
TEST_F(SavingAsAnotherUserTest, AFileTheUserMayNotWriteIsRefused) {
    const fs::path folder = m_root / "own folder";
    fs::create_directory(folder);
    ASSERT_EQ(::chown(folder.c_str(), kNobody, kNoGroup), 0);
    const fs::path file = folder / "roots.ckd";
    WriteFile(file, "root's");
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);

    EXPECT_EQ(SaveAsNobody(file, "nobody's"), "Unable to write to " + file.string() + " (permission denied)");

    EXPECT_EQ(ReadFile(file), "root's");
    EXPECT_EQ(StatOf(file).st_uid, 0u);
    EXPECT_EQ(Listing(folder), std::vector<std::string>{"roots.ckd"});
}

// In a folder others may add to, a link another user planted there must not lead a save to one
// of our own files; the links the saver or the folder's owner made are followed.
TEST_F(SavingAsAnotherUserTest, OnlyLinksOfTheSaverOrTheFoldersOwnerAreFollowed) {
    struct LinkCase {
        const char* name;
        uid_t folderOwner;
        uid_t linkOwner;
        bool followed;
    };
    const LinkCase cases[] = {
        {"the saver's own link in another user's folder", kNobody, 0, true},
        {"the folder owner's link", kNobody, kNobody, true},
        {"another user's link in the saver's shared folder", 0, kNobody, false},
    };
    for (const LinkCase& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = m_root / c.name;
        fs::create_directory(folder);
        ASSERT_EQ(::chown(folder.c_str(), c.folderOwner, kNoGroup), 0);
        ASSERT_EQ(::chmod(folder.c_str(), 02777), 0);
        const fs::path notes = m_root / (std::string(c.name) + " notes.txt");
        WriteFile(notes, "the saver's notes");
        const fs::path link = folder / "Team.bin";
        fs::create_symlink(notes, link);
        ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, kNoGroup), 0);

        try {
            WriteFileAtomically(link, "image");
            EXPECT_TRUE(c.followed) << "the link was followed";
        } catch (const FileError& error) {
            EXPECT_FALSE(c.followed) << error.what();
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + link.string() + " (" + link.string() +
                                                     " is a link that another user made)");
        }
        EXPECT_EQ(ReadFile(notes), c.followed ? "image" : "the saver's notes");
        EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    }
}

// Another user's file under a name our saves use beside the target is neither removed nor
// trusted: the save goes ahead around it, and a planted "copy of the old contents" is not put
// back over the file.
TEST_F(SavingAsAnotherUserTest, OtherUsersFilesBesideTheTargetAreLeftAlone) {
    for (const char* planted : {".keys.ckd.saving", ".keys.ckd.saved"}) {
        SCOPED_TRACE(planted);
        const fs::path folder = m_root / planted;
        fs::create_directory(folder);
        const fs::path file = folder / "keys.ckd";
        WriteFile(file, "[KEY1]\r\nLevel_1_Name=mine\r\n");
        WriteFile(folder / planted, "[KEY1]\r\nLevel_1_Name=planted\r\n");
        ASSERT_EQ(::chown((folder / planted).c_str(), kNobody, kNoGroup), 0);

        EXPECT_EQ(LoadKeyDefinitionIni(file).ReadString("KEY1", "Level_1_Name", ""), "mine");
        WriteFileAtomically(file, "new");

        EXPECT_EQ(ReadFile(file), "new");
        EXPECT_EQ(ReadFile(folder / planted), "[KEY1]\r\nLevel_1_Name=planted\r\n");
        EXPECT_EQ(Listing(folder), (std::vector<std::string>{planted, "keys.ckd"}));
    }
}

// When the user may no longer write a file that a stopped save of theirs left half-rewritten, it
// is refused, naming the copy of its earlier contents, which stays.
TEST_F(SavingAsAnotherUserTest, AStoppedSaveThatCannotBeUndoneIsRefusedNamingTheCopy) {
    const fs::path folder = m_root / "shared";
    fs::create_directory(folder);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    const fs::path file = folder / "keys.ckd";
    const std::string old = "[KEY1]\r\nLevel_1_Name=old\r\n";
    WriteFile(file, old);
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
    ASSERT_EQ(AsNobody([&] {
                  if (!StopSaveHalfWay(file, "[KEY1]\r\nLevel_1_Name=" + std::string(100, 'n')))
                      throw std::runtime_error("the save was not stopped half-way");
              }),
              "");
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);

    const fs::path kept = folder / ".keys.ckd.saved";
    EXPECT_EQ(AsNobody([&] { LoadKeyDefinitionIni(file); }),
              file.string() + " cannot be read now: a save of it stopped half-way, and its earlier contents, kept in " +
                  kept.string() + ", cannot be put back: permission denied");
    EXPECT_EQ(ReadFile(kept), old);
}

class SavingTest : public testing::Test {
protected:
    test::TemporaryFolder m_folder;
};

// Nobody else may read the data while it is written, whatever the umask lets new files be.
TEST_F(SavingTest, TheTemporaryFileIsPrivateFromItsFirstByte) {
    const std::string bytes(64 << 20, 'x');
    for (const bool exists : {true, false}) {
        SCOPED_TRACE(exists ? "replacing a private file" : "a new file");
        const fs::path file = m_folder / (exists ? "private.ckd" : "new.ckd");
        if (exists) {
            WriteFile(file, "secret");
            fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
        }
        const fs::path temporary = SideFileFor(file, ".saving");
        std::atomic<bool> done = false;
        mode_t seen = 0;
        std::thread watcher([&] {
            struct stat status {};
            while (!done) {
                if (::stat(temporary.c_str(), &status) == 0) {
                    seen = status.st_mode;
                    return;
                }
            }
        });
        const mode_t mask = ::umask(022);
        WriteFileAtomically(file, bytes);
        ::umask(mask);
        done = true;
        watcher.join();
        ASSERT_NE(seen, 0u) << "the temporary file was never seen";
        EXPECT_EQ(seen & 077, 0u) << std::oct << seen;
        // Then the file takes the mode it had, or the one a new file gets.
        EXPECT_EQ(StatOf(file).st_mode & 0777, exists ? 0600u : 0644u);
    }
}

TEST_F(SavingTest, ADanglingLinkGetsTheFileItNames) {
    const fs::path link = m_folder / "link.ckd";
    fs::create_symlink("named.ckd", link);

    WriteFileAtomically(link, "new");

    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_EQ(ReadFile(m_folder / "named.ckd"), "new");
    EXPECT_EQ(Listing(m_folder.path()), (std::vector<std::string>{"link.ckd", "named.ckd"}));
}

// A save stopped half-way leaves its temporary file under a fixed name; the next one clears it.
TEST_F(SavingTest, TheNextSaveRemovesWhatAStoppedOneLeft) {
    const fs::path file = m_folder / "keys.ckd";
    WriteFile(file, "old");
    WriteFile(m_folder / ".keys.ckd.saving", "half of a ");

    WriteFileAtomically(file, "new");

    EXPECT_EQ(ReadFile(file), "new");
    EXPECT_EQ(Listing(m_folder.path()), std::vector<std::string>{"keys.ckd"});
}

// A file rewritten in place (here, one with a second link) by a save that dies half-way is whole
// again, with its earlier contents, before anything reads it or saves over it; the copy that made
// it possible is gone then.
TEST_F(SavingTest, AnInPlaceSaveStoppedHalfWayIsUndoneBeforeTheFileIsUsed) {
    const std::string old = "[GLOBAL_PARAMETERS]\r\nModel_Number=VK48\r\n" + std::string(200, ';') + "\r\n";
    const std::string unfinished = "[GLOBAL_PARAMETERS]\r\nModel_Number=VK24\r\n" + std::string(600, '#');
    struct NextUse {
        const char* name;
        std::function<void(const fs::path&)> use;
        bool unlink;         // the second link goes first, so that the save takes a rename
        const char* result;  // the file's contents afterwards; empty for the old ones
    };
    const NextUse uses[] = {
        {"read as settings", [](const fs::path& file) { IniFile::Load(file); }, false, ""},
        {"opened as a key definition file", [](const fs::path& file) { LoadKeyDefinitionIni(file); }, false, ""},
        {"saved in place", [](const fs::path& file) { WriteFileAtomically(file, "saved"); }, false, "saved"},
        {"saved by a rename", [](const fs::path& file) { WriteFileAtomically(file, "saved"); }, true, "saved"},
    };
    for (const NextUse& next : uses) {
        SCOPED_TRACE(next.name);
        const test::TemporaryFolder folder;
        const fs::path file = folder / "keys.ckd";
        WriteFile(file, old);
        fs::create_hard_link(file, folder / "link.ckd");
        ASSERT_TRUE(StopSaveHalfWay(file, unfinished)) << "the save was not stopped half-way";
        ASSERT_NE(ReadFile(file), old) << "the save did not damage the file";
        if (next.unlink)
            fs::remove(folder / "link.ckd");

        next.use(file);

        const std::string expected = *next.result ? next.result : old;
        EXPECT_EQ(ReadFile(file), expected);
        if (!next.unlink) {
            EXPECT_EQ(ReadFile(folder / "link.ckd"), expected);
        }
        const std::vector<std::string> left = Listing(folder.path());
        EXPECT_EQ(std::count(left.begin(), left.end(), ".keys.ckd.saved"), 0);
    }
}

TEST_F(SavingTest, NamesUpToTheSystemsLimitSave) {
    for (const std::size_t length : {230u, 250u, 255u}) {
        const std::string name = std::string(length - 4, 'k') + ".ckd";
        const fs::path file = m_folder / name;
        WriteFile(file, "old");
        WriteFileAtomically(file, "new");
        EXPECT_EQ(ReadFile(file), "new") << length;
        EXPECT_EQ(Listing(m_folder.path()), std::vector<std::string>{name}) << length;
        fs::remove(file);
    }
    // Two long names with the same start keep their temporary files apart.
    const std::string start(250, 'k');
    EXPECT_NE(SideFileFor(m_folder / (start + "1.ckd"), ".saving"), SideFileFor(m_folder / (start + "2.ckd"), ".saving"));
}

} // namespace
} // namespace keyloom
