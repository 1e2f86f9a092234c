// What saving promises on Windows, as far as Wine shows it.
#include "files/AtomicFile.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace keyloom {
namespace {

namespace fs = std::filesystem;

using test::Listing;
using test::ReadFile;
using test::WriteFile;

// The file stays what it was: a replace keeps its attributes, where a rename would give it the
// temporary file's.
TEST(WindowsSaving, ReplacingKeepsTheFilesAttributes) {
    test::TemporaryFolder folder;
    const fs::path file = folder / "keys.ckd";
    WriteFile(file, "old");
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    if ((GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN) == 0)
        GTEST_SKIP() << "this file system keeps no hidden attribute (Wine on a file system without extended "
                        "attributes)";

    WriteFileAtomically(file, "new");

    EXPECT_EQ(ReadFile(file), "new");
    EXPECT_NE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(Listing(folder.path()), std::vector<std::string>{"keys.ckd"});
}

// A save stopped half-way leaves its temporary file under a fixed name; the next one clears it.
TEST(WindowsSaving, TheNextSaveRemovesWhatAStoppedOneLeft) {
    test::TemporaryFolder folder;
    const fs::path file = folder / "keys.ckd";
    WriteFile(file, "old");
    WriteFile(SideFileFor(file, ".saving"), "half of a ");

    WriteFileAtomically(file, "new");
    WriteFileAtomically(folder / "new.ckd", "created");

    EXPECT_EQ(ReadFile(file), "new");
    EXPECT_EQ(ReadFile(folder / "new.ckd"), "created");
    EXPECT_EQ(Listing(folder.path()), (std::vector<std::string>{"keys.ckd", "new.ckd"}));
}

} // namespace
} // namespace keyloom
