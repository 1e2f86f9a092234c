#include "files/FileError.h"

#include "files/PathText.h"

#include <gtest/gtest.h>

#include <string>

namespace keyloom {
namespace {

TEST(FileError, TextsNameWhatFailedThenWhere) {
    const std::string file = "folder/B\xC3\xBCro.ckd";
    const std::filesystem::path path = PathFromText(file);
    const struct {
        FileError error;
        std::string text; // a message box's
        std::string line; // vkxx's
    } cases[] = {
        {FileError("Range check error", path, "KEY1", "Level_1_Codes"),
         "Range check error\n\n" + file + ", [KEY1] Level_1_Codes",
         file + ": [KEY1] Level_1_Codes: Range check error"},
        {UnableToWrite(path, "not a file"), "Unable to write to " + file + " (not a file)\n\n" + file,
         file + ": Unable to write to " + file + " (not a file)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorText(c.error), c.text);
        EXPECT_EQ(ErrorLine(c.error), c.line);
    }
}

} // namespace
} // namespace keyloom
