#include "files/AtomicFile.h"

#include "files/FileError.h"
#include "support/SavePause.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

using namespace std::string_literals;

namespace keyloom {
namespace {

namespace fs = std::filesystem;

using test::ReadFile;
using test::SavePause;
using test::WriteFile;

// A save on its own thread; error() is "" when it saved, else the message.
class SaveThread {
public:
    SaveThread(fs::path path, std::string bytes)
        : m_thread([this, path = std::move(path), bytes = std::move(bytes)] {
              try {
                  WriteFileAtomically(path, bytes);
              } catch (const FileError& error) {
                  m_error = error.what();
              }
          }) {}
    ~SaveThread() {
        if (m_thread.joinable())
            m_thread.join();
    }
    const std::string& error() {
        m_thread.join();
        return m_error;
    }

private:
    std::string m_error;
    std::thread m_thread;
};

class AtomicFileTest : public testing::Test {
protected:
    std::vector<std::string> FolderListing() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TemporaryFolder m_folder;
};

TEST_F(AtomicFileTest, CreatesANewFileWithExactlyTheBytes) {
    const std::string bytes = "[A]\r\nK=\0\xFF\r\n"s;
    WriteFileAtomically(m_folder / "new.ckd", bytes);
    EXPECT_EQ(ReadFile(m_folder / "new.ckd"), bytes);
    EXPECT_EQ(FolderListing(), std::vector<std::string>{"new.ckd"});
}

TEST_F(AtomicFileTest, ReplacesAnExistingFileAndKeepsItsPermissions) {
    const fs::path path = m_folder / "old.ckd";
    WriteFile(path, "a much longer old content than the new one");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // Windows keeps only a read-only flag, so compare with what the system made of the request.
    const fs::perms kept = fs::status(path).permissions();

    WriteFileAtomically(path, "new");

    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_EQ(fs::status(path).permissions(), kept);
    EXPECT_EQ(FolderListing(), std::vector<std::string>{"old.ckd"});
}

TEST_F(AtomicFileTest, RefusesAReadOnlyFileAndLeavesItWhole) {
    const fs::path path = m_folder / "locked.ckd";
    WriteFile(path, "old");
    fs::permissions(path, fs::perms::owner_read);

    try {
        WriteFileAtomically(path, "new");
        FAIL() << "a read-only file was replaced";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Unable to write to " + path.string(), 0), 0u)
            << error.what();
        EXPECT_EQ(error.path(), path);
    }
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(FolderListing(), std::vector<std::string>{"locked.ckd"});
}

TEST_F(AtomicFileTest, RefusesAMissingFolder) {
    const fs::path path = m_folder / "missing" / "file.ckd";
    EXPECT_THROW(WriteFileAtomically(path, "x"), FileError);
    EXPECT_FALSE(fs::exists(m_folder / "missing"));
}

TEST_F(AtomicFileTest, RefusesAFolderAsTarget) {
    fs::create_directory(m_folder / "folder.ckd");
    EXPECT_THROW(WriteFileAtomically(m_folder / "folder.ckd", "x"), FileError);
    EXPECT_TRUE(fs::is_directory(m_folder / "folder.ckd"));
}

TEST_F(AtomicFileTest, WritesThroughASymbolicLink) {
    const fs::path target = m_folder / "target.ckd";
    const fs::path link = m_folder / "link.ckd";
    WriteFile(target, "old");
#ifdef _WIN32
    // Windows lets only privileged accounts make links, and Wine not at all.
    std::error_code error;
    fs::create_symlink(target, link, error);
    if (error)
        GTEST_SKIP() << "cannot make a symbolic link here: " << error.message();
#else
    fs::create_symlink(target, link);
#endif

    WriteFileAtomically(link, "new");

    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_EQ(ReadFile(target), "new");
}

// A second save of a file waits while the first one, paused just before it replaces the file,
// holds it; then it saves on top of the first, and both tell the truth. Where the file exists, the
// second save locked the file that the first one's rename took away, and must lock the new one.
TEST_F(AtomicFileTest, TwoSavesOfOneFileTakeTurns) {
    for (const bool exists : {true, false}) {
        SCOPED_TRACE(exists ? "an existing file" : "a new file");
        const fs::path path = m_folder / (exists ? "keys.ckd" : "new.ckd");
        if (exists)
            WriteFile(path, "old");
        SavePause pause(SaveStep::ReadyToReplace);
        SaveThread first(path, "first's " + std::string(100000, '1'));
        ASSERT_TRUE(pause.WaitFor(SaveStep::ReadyToReplace));

        SaveThread second(path, "second's");
        if (exists) {
            ASSERT_TRUE(pause.WaitFor(SaveStep::WaitingForLock));
            EXPECT_EQ(ReadFile(path), "old");
            pause.Release();
            EXPECT_EQ(first.error(), "");
            EXPECT_EQ(second.error(), "");
            EXPECT_EQ(ReadFile(path), "second's");
        } else {
            // Nothing to lock yet: the second takes a temporary file of its own and finishes.
            EXPECT_EQ(second.error(), "");
            EXPECT_EQ(ReadFile(path), "second's");
            pause.Release();
            EXPECT_EQ(first.error(), "");
            EXPECT_EQ(ReadFile(path).substr(0, 8), "first's ");
        }
        EXPECT_EQ(FolderListing(), (exists ? std::vector<std::string>{"keys.ckd"}
                                           : std::vector<std::string>{"keys.ckd", "new.ckd"}));
    }
}

// A save that waits longer than the lock's limit gives up, leaving the other save's file whole.
TEST_F(AtomicFileTest, ASaveThatCannotGetTheFileSaysSo) {
    const fs::path path = m_folder / "keys.ckd";
    WriteFile(path, "old");
    SavePause pause(SaveStep::ReadyToReplace, std::chrono::milliseconds(50));
    SaveThread first(path, "first's");
    ASSERT_TRUE(pause.WaitFor(SaveStep::ReadyToReplace));

    EXPECT_EQ(SaveThread(path, "second's").error(),
              "Unable to write to " + path.string() + " (another save of this file is under way)");

    pause.Release();
    EXPECT_EQ(first.error(), "");
    EXPECT_EQ(ReadFile(path), "first's");
    EXPECT_EQ(FolderListing(), std::vector<std::string>{"keys.ckd"});
}

// Something that is not ours under the temporary file's fixed name does not stop a save, and
// stays.
TEST_F(AtomicFileTest, AFolderUnderTheTemporaryNameBlocksNothing) {
    const fs::path path = m_folder / "keys.ckd";
    fs::create_directory(m_folder / ".keys.ckd.saving");
    for (const bool exists : {false, true}) {
        WriteFileAtomically(path, exists ? "replaced" : "created");
        EXPECT_EQ(ReadFile(path), exists ? "replaced" : "created");
        EXPECT_EQ(FolderListing(), (std::vector<std::string>{".keys.ckd.saving", "keys.ckd"}));
    }
}

TEST_F(AtomicFileTest, ReadsAWholeFileByteForByte) {
    const std::string bytes = "\xEF\xBB\xBF[A]\r\n\0x\r"s;
    WriteFile(m_folder / "file.ckd", bytes);
    std::string read;
    EXPECT_TRUE(ReadWholeFile(m_folder / "file.ckd", read));
    EXPECT_EQ(read, bytes);
}

TEST_F(AtomicFileTest, ReadingAMissingFileAnswersFalse) {
    std::string read = "untouched";
    EXPECT_FALSE(ReadWholeFile(m_folder / "absent.ckd", read));
    EXPECT_EQ(read, "untouched");
}

TEST_F(AtomicFileTest, ReadingAFolderThrows) {
    std::string read;
    EXPECT_THROW(ReadWholeFile(m_folder.path(), read), FileError);
}

} // namespace
} // namespace keyloom
