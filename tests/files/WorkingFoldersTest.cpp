#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/WorkingFolders.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <functional>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace keyloom {
namespace {

using testing::HasSubstr;

namespace fs = std::filesystem;

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Names of the entries of a folder, sorted; empty when the folder does not exist.
std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A program folder with some of the shipped samples, and two Documents folders that do not exist
// yet, all under a fresh temporary folder.
class WorkingFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        root = fs::temp_directory_path() / ("keyloom-folders-" + std::to_string(random()));
        ASSERT_TRUE(fs::create_directory(root));
        program = root / "program";
        user = root / "home" / "Documents";
        shared = root / "shared";
        // Two of the four samples and two of the six templates, plus a file that is not a sample.
        WriteText(program / "Examples/Macro_Files/DefaultVK24.ckd", "sample 24");
        WriteText(program / "Examples/Macro_Files/MouseClicks.ckd", "mouse");
        WriteText(program / "Examples/Macro_Files/Notes.txt", "not a sample");
        WriteText(program / "Examples/Keycap_Labels/Keycap_Labels_Large.bmp", "large");
        WriteText(program / "Examples/Keycap_Labels/Keycap_Labels_Small.bmp", "small");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    WorkingFolders Prepare() const { return PrepareWorkingFolders(user, shared, program); }

    fs::path root, program, user, shared;
};

TEST_F(WorkingFoldersTest, FirstStartBuildsTheTreeWithTheSamplesThatExist) {
    const WorkingFolders folders = Prepare();

    EXPECT_EQ(folders.problems, std::vector<std::string>{});
    EXPECT_EQ(folders.area, user / "Quorvane" / "KeyloomVKxx");
    EXPECT_EQ(folders.macroFiles, folders.area / "Macro_Files");
    EXPECT_EQ(folders.keycapLabels, folders.area / "Keycap_Labels");
    EXPECT_EQ(Listing(folders.macroFiles), (std::vector<std::string>{"DefaultVK24.ckd", "MouseClicks.ckd"}));
    EXPECT_EQ(ReadText(folders.macroFiles / "DefaultVK24.ckd"), "sample 24");
    EXPECT_EQ(Listing(folders.keycapLabels),
              (std::vector<std::string>{"Keycap_Labels_Large.bmp", "Keycap_Labels_Small.bmp"}));
    EXPECT_FALSE(fs::exists(shared));
}

TEST_F(WorkingFoldersTest, ADeletedSampleStaysDeletedButADeletedFolderComesBackFilled) {
    const WorkingFolders first = Prepare();
    fs::remove(first.macroFiles / "DefaultVK24.ckd");
    WriteText(first.keycapLabels / "Keycap_Labels_Large.bmp", "edited by the user");

    const WorkingFolders second = Prepare();
    EXPECT_EQ(second.problems, std::vector<std::string>{});
    EXPECT_EQ(Listing(second.macroFiles), std::vector<std::string>{"MouseClicks.ckd"});
    EXPECT_EQ(ReadText(second.keycapLabels / "Keycap_Labels_Large.bmp"), "edited by the user");

    fs::remove_all(second.macroFiles);
    const WorkingFolders third = Prepare();
    EXPECT_EQ(third.problems, std::vector<std::string>{});
    EXPECT_EQ(Listing(third.macroFiles), (std::vector<std::string>{"DefaultVK24.ckd", "MouseClicks.ckd"}));
    EXPECT_EQ(ReadText(third.keycapLabels / "Keycap_Labels_Large.bmp"), "edited by the user");
}

TEST_F(WorkingFoldersTest, AFileWhereAFolderShouldBeIsReportedOnceAndTheRestCarriesOn) {
    struct Case {
        const char* file;            // relative to the user's Documents folder
        bool keycapLabelsFilled;     // the independent branch still prepared
    };
    for (const Case& c : {Case{"Quorvane", false}, Case{"Quorvane/KeyloomVKxx", false},
                          Case{"Quorvane/KeyloomVKxx/Macro_Files", true}}) {
        SCOPED_TRACE(c.file);
        fs::remove_all(user);
        WriteText(user / c.file, "in the way");

        WorkingFolders folders;
        ASSERT_NO_THROW(folders = Prepare());
        ASSERT_EQ(folders.problems.size(), 1u);
        EXPECT_THAT(folders.problems[0], HasSubstr((user / c.file).filename().string()))
            << folders.problems[0];
        EXPECT_EQ(folders.keycapLabels, user / "Quorvane/KeyloomVKxx/Keycap_Labels");
        EXPECT_EQ(Listing(folders.keycapLabels).size(), c.keycapLabelsFilled ? 2u : 0u);
    }
}

TEST_F(WorkingFoldersTest, ASampleThatCannotBeCopiedIsReportedAndTheOthersAreCopied) {
    fs::create_directories(program / "Examples/Macro_Files/DefaultVK48.ckd");

    const WorkingFolders folders = Prepare();
    ASSERT_EQ(folders.problems.size(), 1u);
    EXPECT_THAT(folders.problems[0], HasSubstr("DefaultVK48.ckd")) << folders.problems[0];
    EXPECT_EQ(Listing(folders.macroFiles), (std::vector<std::string>{"DefaultVK24.ckd", "MouseClicks.ckd"}));
}

TEST_F(WorkingFoldersTest, TheLocationFileChoosesTheDocumentsFolder) {
    struct Case {
        const char* locationFile; // nullptr: no file
        bool sharedChosen;
    };
    for (const Case& c : {Case{nullptr, false}, Case{"[CONFIGURATION]\r\n", false},
                          Case{"[CONFIGURATION]\r\nMy_Documents=1\r\n", false},
                          Case{"[CONFIGURATION]\r\nMy_Documents=0\r\n", true},
                          Case{"[CONFIGURATION]\r\nMy_Documents=7\r\n", false}}) {
        SCOPED_TRACE(c.locationFile ? c.locationFile : "no location file");
        fs::remove_all(user);
        fs::remove_all(shared);
        fs::remove(program / "Location.ini");
        if (c.locationFile)
            WriteText(program / "Location.ini", c.locationFile);

        const WorkingFolders folders = Prepare();
        EXPECT_EQ(folders.problems, std::vector<std::string>{});
        EXPECT_EQ(folders.area, (c.sharedChosen ? shared : user) / "Quorvane" / "KeyloomVKxx");
        EXPECT_EQ(Listing(folders.macroFiles).size(), 2u);
        EXPECT_NE(fs::exists(user), c.sharedChosen);
    }
}

TEST_F(WorkingFoldersTest, AnUnknownDocumentsFolderLeavesThePathsEmpty) {
    user.clear();
    const WorkingFolders folders = Prepare();
    EXPECT_EQ(folders.problems.size(), 1u);
    EXPECT_TRUE(folders.area.empty());
    EXPECT_TRUE(folders.macroFiles.empty());
}

TEST_F(WorkingFoldersTest, TheLayoutReadsAs24Or48) {
    struct Case {
        const char* settings; // nullptr: no file
        int32_t keys;
    };
    for (const Case& c : {Case{nullptr, 24}, Case{"[CONFIGURATION]\r\n", 24},
                          Case{"[CONFIGURATION]\r\nNumber_of_Keys=24\r\n", 24},
                          Case{"[CONFIGURATION]\r\nNumber_of_Keys=48\r\n", 48},
                          Case{"[CONFIGURATION]\r\nNumber_of_Keys=36\r\n", 48},
                          Case{"[CONFIGURATION]\r\nNumber_of_Keys=0\r\n", 48},
                          // A damaged value is not a missing one.
                          Case{"[CONFIGURATION]\r\nNumber_of_Keys=abc\r\n", 48},
                          Case{"[CONFIGURATION]\r\nNumber_of_Keys=\r\n", 48},
                          Case{"[CONFIGURATION]\r\nnumber_of_keys= 0x18 \r\n", 24},
                          Case{"[CONFIGURATION]\r\nOther=1\r\n", 24}}) {
        SCOPED_TRACE(c.settings ? c.settings : "no settings file");
        fs::remove(root / "KeyloomVKxx.ini");
        if (c.settings)
            WriteText(root / "KeyloomVKxx.ini", c.settings);
        EXPECT_EQ(ReadKeyCount(root), c.keys);
    }
}

TEST_F(WorkingFoldersTest, AWrittenLayoutReadsBack) {
    WriteKeyCount(root, 48);
    EXPECT_EQ(ReadKeyCount(root), 48);
    WriteKeyCount(root, 24);
    EXPECT_EQ(ReadKeyCount(root), 24);
    EXPECT_THAT(ReadText(root / "KeyloomVKxx.ini"), HasSubstr("[CONFIGURATION]"));
}

TEST_F(WorkingFoldersTest, ALayoutThatCannotBeWrittenThrowsAndReadsAsTheDefault) {
    fs::create_directories(root / "KeyloomVKxx.ini");
    EXPECT_THROW(WriteKeyCount(root, 48), FileError);
    EXPECT_EQ(ReadKeyCount(root), 24);
}

// A settings file far larger than any we write, or binary data, is not read (the program starts
// with the defaults at once) and is set aside, not written over, by the next setting stored.
TEST_F(WorkingFoldersTest, ADamagedSettingsFileIsSetAside) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"too large", "[CONFIGURATION]\r\nNumber_of_Keys=48\r\n" + std::string(2 << 20, ';')},
        {"binary data", std::string("[CONFIGURATION]\r\nNumber_of_Keys=48\r\n\0\0\x01", 38)},
    };
    const fs::path area = root / "area";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(area);
        WriteText(area / "KeyloomVKxx.ini", c.bytes);
        if (c.bytes.size() < 100)
            WriteText(area / "KeyloomVKxx.ini.damaged", "an older damaged one");

        EXPECT_EQ(ReadKeyCount(area), 24);
        WriteKeyCount(area, 48);

        EXPECT_EQ(ReadKeyCount(area), 48);
        EXPECT_LT(fs::file_size(area / "KeyloomVKxx.ini"), 100u);
        const fs::path aside = area / (c.bytes.size() < 100 ? "KeyloomVKxx.ini.damaged2" : "KeyloomVKxx.ini.damaged");
        EXPECT_EQ(ReadText(aside), c.bytes);
    }
}

#ifndef _WIN32
// Runs work in a child process as a user of group alone, with the usual umask 022: "" when it
// ran through, else what failed.
std::string AsUser(uid_t uid, gid_t group, const std::function<void()>& work) {
    int pipe[2];
    if (::pipe(pipe) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        std::string result;
        ::umask(022);
        if (::setgroups(1, &group) != 0 || ::setgid(group) != 0 || ::setuid(uid) != 0) {
            result = "cannot become another user";
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

// The first user of the shared area to start the program creates it; every other member of the
// group must be able to save there too: the settings, the samples, the first user's documents.
TEST_F(WorkingFoldersTest, EveryUserOfTheGroupCanSaveInTheSharedArea) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as two throwaway users needs root";
    // Users and a group that exist only as numbers, for this test.
    constexpr gid_t kKeypadUsers = 61000;
    constexpr uid_t kFirst = 61001;
    constexpr uid_t kSecond = 61002;
    WriteText(program / "Location.ini", "[CONFIGURATION]\r\nMy_Documents=0\r\n");
    // As an administrator makes it: the group's, setgid.
    fs::create_directory(shared);
    ASSERT_EQ(::chown(shared.c_str(), 0, kKeypadUsers), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 02775), 0);
    fs::permissions(root, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);

    EXPECT_EQ(AsUser(kFirst, kKeypadUsers, [this] {
                  const WorkingFolders folders = Prepare();
                  if (!folders.problems.empty())
                      throw std::runtime_error(folders.problems.front());
                  WriteKeyCount(folders.area, 48);
                  WriteFileAtomically(folders.macroFiles / "Team.ckd", "first's");
              }),
              "");
    EXPECT_EQ(AsUser(kSecond, kKeypadUsers, [this] {
                  const WorkingFolders folders = Prepare();
                  WriteKeyCount(folders.area, 24);
                  for (const fs::path& file : {folders.macroFiles / "Team.ckd", folders.macroFiles / "DefaultVK24.ckd",
                                               folders.keycapLabels / "Keycap_Labels_Large.bmp",
                                               folders.area / "Quorvane.ckd", folders.macroFiles / "New.ckd"})
                      WriteFileAtomically(file, "second's");
              }),
              "");

    const fs::path area = shared / "Quorvane" / "KeyloomVKxx";
    EXPECT_EQ(ReadKeyCount(area), 24);
    EXPECT_EQ(ReadText(area / "Macro_Files" / "Team.ckd"), "second's");
    EXPECT_EQ(ReadText(area / "Macro_Files" / "DefaultVK24.ckd"), "second's");
    EXPECT_EQ(Listing(area / "Macro_Files"),
              (std::vector<std::string>{"DefaultVK24.ckd", "MouseClicks.ckd", "New.ckd", "Team.ckd"}));

    // The user's own area stays the user's alone.
    fs::remove(program / "Location.ini");
    const mode_t mask = ::umask(022);
    const WorkingFolders own = Prepare();
    ::umask(mask);
    EXPECT_EQ(fs::status(own.macroFiles).permissions() & (fs::perms::group_write | fs::perms::set_gid), fs::perms::none);
    EXPECT_EQ(fs::status(own.macroFiles / "DefaultVK24.ckd").permissions() & fs::perms::group_write, fs::perms::none);
}
#endif

} // namespace
} // namespace keyloom
