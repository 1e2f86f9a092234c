#include "files/AtomicFile.h"

#include "files/FileError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace keyloom {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("keyloom-atomic-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_folder);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_folder, ignored);
    }

    static void Put(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Get(const fs::path& path) {
        std::ifstream stream(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> FolderListing() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_folder;
};

TEST_F(AtomicFileTest, CreatesANewFileWithExactlyTheBytes) {
    const std::string bytes = "[A]\r\nK=\0\xFF\r\n"s;
    WriteFileAtomically(m_folder / "new.ckd", bytes);
    EXPECT_EQ(Get(m_folder / "new.ckd"), bytes);
    EXPECT_EQ(FolderListing(), std::vector<std::string>{"new.ckd"});
}

TEST_F(AtomicFileTest, ReplacesAnExistingFileAndKeepsItsPermissions) {
    const fs::path path = m_folder / "old.ckd";
    Put(path, "a much longer old content than the new one");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    WriteFileAtomically(path, "new");

    EXPECT_EQ(Get(path), "new");
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(FolderListing(), std::vector<std::string>{"old.ckd"});
}

TEST_F(AtomicFileTest, RefusesAReadOnlyFileAndLeavesItWhole) {
    const fs::path path = m_folder / "locked.ckd";
    Put(path, "old");
    fs::permissions(path, fs::perms::owner_read);

    try {
        WriteFileAtomically(path, "new");
        FAIL() << "a read-only file was replaced";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Unable to write to " + path.string(), 0), 0u)
            << error.what();
        EXPECT_EQ(error.path(), path);
    }
    EXPECT_EQ(Get(path), "old");
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
    Put(target, "old");
    fs::create_symlink(target, link);

    WriteFileAtomically(link, "new");

    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_EQ(Get(target), "new");
}

TEST_F(AtomicFileTest, ReadsAWholeFileByteForByte) {
    const std::string bytes = "\xEF\xBB\xBF[A]\r\n\0x\r"s;
    Put(m_folder / "file.ckd", bytes);
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
    EXPECT_THROW(ReadWholeFile(m_folder, read), FileError);
}

} // namespace
} // namespace keyloom
