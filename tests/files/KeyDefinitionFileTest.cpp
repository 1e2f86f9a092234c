#include "files/KeyDefinitionFile.h"

#include "files/CodesText.h"
#include "files/FileError.h"
#include "support/TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace keyloom {
namespace {

using testing::HasSubstr;

using test::ReadFile;
using test::TemporaryFolder;
using test::WriteFile;

std::vector<uint8_t> Macro(const KeypadDocument& document, Level level, int key) {
    std::span<const uint8_t> codes = document.keys[key].codes(level);
    return {codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(MacroLength(codes))};
}

KeypadDocument Read(const std::string& text, std::vector<int>* layouts = nullptr) {
    KeypadDocument document;
    document.ResetDocument();
    ReadKeyDefinition(document, IniFile::FromBytes(text), "test.ckd", [&](int keys) {
        if (layouts)
            layouts->push_back(keys);
    });
    return document;
}

TEST(KeyDefinitionFile, NewFortyEightKeyDocumentIsWrittenLineForLine) {
    TemporaryFolder folder;
    KeypadDocument document;
    document.numberOfKeys = 48;
    document.ResetDocument();
    ASSERT_EQ(WriteKeyDefinitionFile(document, folder / "new.ckd"), 0);

    std::string expected =
        "[GLOBAL_PARAMETERS]\r\nModel_Number=VK48\r\nNumber_Of_Keys=48\r\nKey_Roll_Over=2\r\n"
        "LED_Function=1\r\nLED2_Function=2\r\nLED3_Function=4\r\nCharacter_Pacing=1\r\n"
        "USB_Device_Type=11\r\n";
    for (int i = 0; i < 48; ++i)
        expected += "[KEY" + std::to_string(i)
                    + "]\r\nKeyType=0\r\nL1_AutoRepeat=1\r\nL2_AutoRepeat=1\r\nL1_MacroMode=0\r\n"
                      "L2_MacroMode=0\r\nLevel_1_Codes=\r\nLevel_2_Codes=\r\nLevel_1_Name=\r\n"
                      "Level_2_Name=\r\n";
    EXPECT_EQ(ReadFile(folder / "new.ckd"), expected);
}

TEST(KeyDefinitionFile, WriteThenReadGivesTheDocumentBack) {
    TemporaryFolder folder;
    KeypadDocument document;
    document.numberOfKeys = 48;
    document.settings = {16, 10, {0, 6, 3}, 12};
    const uint8_t shiftA[] = {0x12, 0x1C, 0xF0, 0x12, 0};
    const uint8_t click[] = {0xE0, 0x61, 0};
    ASSERT_EQ(document.InsertCodes(Level::One, 0, 0, shiftA), 0);
    ASSERT_EQ(document.InsertCodes(Level::Two, 47, 0, click), 0);
    const uint8_t a[] = {0x1C, 0};
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(document.InsertCodes(Level::One, 30, 0, a), 0);
    document.keys[5].KeyType = kLevelToggleKey;
    document.keys[5].macroMode = {3, 1};
    document.keys[5].autoRepeat = {0, 1};
    document.keys[0].name = {"Capital A", "Grüße, €"};

    ASSERT_EQ(WriteKeyDefinitionFile(document, folder / "doc.ckd"), 0);
    EXPECT_THAT(ReadFile(folder / "doc.ckd"), HasSubstr("Level_1_Codes=121cf012\r\n"));
    KeypadDocument read;
    read.ResetDocument();
    ASSERT_EQ(ReadKeyDefinitionFile(read, folder / "doc.ckd"), 0);
    EXPECT_EQ(read, document);
}

TEST(KeyDefinitionFile, NamesLoseSurroundingBlanksAndQuotes) {
    TemporaryFolder folder;
    KeypadDocument document;
    document.keys[2].name = {"  padded\t", "\"quoted\""};
    WriteKeyDefinitionFile(document, folder / "names.ckd");
    KeypadDocument read;
    ReadKeyDefinitionFile(read, folder / "names.ckd");
    EXPECT_EQ(read.keys[2].name, (std::array<std::string, 2>{"padded", "quoted"}));
}

TEST(KeyDefinitionFile, TwentyFourKeySaveLeavesTheOtherKeysOfAnEarlierSave) {
    TemporaryFolder folder;
    KeypadDocument document;
    document.numberOfKeys = 48;
    const uint8_t a[] = {0x1C, 0};
    document.InsertCodes(Level::One, 40, 0, a);
    WriteKeyDefinitionFile(document, folder / "same.ckd");

    document.numberOfKeys = 24;
    WriteKeyDefinitionFile(document, folder / "same.ckd");
    WriteKeyDefinitionFile(document, folder / "fresh.ckd");

    KeypadDocument same;
    ReadKeyDefinitionFile(same, folder / "same.ckd");
    EXPECT_EQ(same.numberOfKeys, 24);
    EXPECT_EQ(Macro(same, Level::One, 40), std::vector<uint8_t>{0x1C});
    EXPECT_EQ(same.keys[40].autoRepeat, (std::array<uint8_t, 2>{1, 1}));

    KeypadDocument fresh;
    ReadKeyDefinitionFile(fresh, folder / "fresh.ckd");
    EXPECT_EQ(fresh.numberOfKeys, 24);
    EXPECT_TRUE(Macro(fresh, Level::One, 40).empty());
    EXPECT_EQ(fresh.keys[40].autoRepeat, (std::array<uint8_t, 2>{0, 0}));
}

TEST(KeyDefinitionFile, LayoutFollowsNumberOfKeysAndTheOlderProduct) {
    struct Case {
        const char* global;
        int layout;
    };
    const Case cases[] = {
        {"", 48},
        {"Number_Of_Keys=48", 48},
        {"Number_Of_Keys=0", 24},
        {"Number_Of_Keys=7", 24},
        {"Number_Of_Keys=96", 24},
        {"Number_Of_Keys=0x30", 48},
        {"Number_Of_Keys=48\r\nModel_Number=Keyloom307", 24},
        {"Number_Of_Keys=48\r\nModel_Number=keyloom307", 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.global);
        std::vector<int> layouts;
        const KeypadDocument document =
            Read(std::string("[GLOBAL_PARAMETERS]\r\n") + c.global + "\r\n", &layouts);
        EXPECT_EQ(document.numberOfKeys, c.layout);
        ASSERT_FALSE(layouts.empty());
        EXPECT_EQ(layouts.back(), c.layout);
    }
}

TEST(KeyDefinitionFile, MissingFileReadsAsReaderDefaults) {
    TemporaryFolder folder;
    KeypadDocument document;
    document.ResetDocument();
    ASSERT_EQ(ReadKeyDefinitionFile(document, folder / "absent.ckd"), 0);
    EXPECT_EQ(document.numberOfKeys, 48);
    EXPECT_EQ(document.settings, (KeypadSettings{2, 2, {1, 2, 4}, 11}));
    for (const KeyRecord& key : document.keys) {
        EXPECT_EQ(key.autoRepeat, (std::array<uint8_t, 2>{0, 0}));
        EXPECT_EQ(key.level1Codes[0], 0);
    }
}

TEST(KeyDefinitionFile, ValuesAreReadAsTheyStandWithinTheLevelLimits) {
    const KeypadDocument document = Read(
        "[key3]\r\nKeyType=7\r\nL1_AutoRepeat=5\r\nL1_MacroMode=0x1A\r\nL2_MacroMode=$1A\r\n"
        "Level_1_Codes=1C1c\r\nLevel_2_Codes=" + std::string(240, '2') + "\r\n"
        "[KEY4]\r\nLevel_1_Codes=" + std::string(480, '3') + "\r\nLevel_1_Name=" + std::string(3000, 'n')
        + "\r\n[KEY5]\r\nLevel_1_Codes=1c0032\r\n");
    const KeyRecord& key3 = document.keys[3];
    EXPECT_EQ(key3.KeyType, 7);
    EXPECT_EQ(key3.autoRepeat, (std::array<uint8_t, 2>{1, 0}));
    EXPECT_EQ(key3.macroMode, (std::array<int32_t, 2>{26, 26}));
    EXPECT_EQ(Macro(document, Level::One, 3), (std::vector<uint8_t>{0x1C, 0x1C}));
    EXPECT_EQ(Macro(document, Level::Two, 3), std::vector<uint8_t>(111, 0x22));
    EXPECT_EQ(Macro(document, Level::One, 4), std::vector<uint8_t>(220, 0x33));
    EXPECT_EQ(document.keys[4].name[0].size(), 2047u);
    // A 00 pair ends the macro; what follows stays behind it but is not part of it.
    EXPECT_EQ(Macro(document, Level::One, 5), std::vector<uint8_t>{0x1C});
    EXPECT_EQ(document.keys[5].level1Codes[2], 0x32);

    IniFile written;
    WriteKeyDefinition(document, written);
    EXPECT_EQ(written.ReadString("KEY3", "L1_AutoRepeat", ""), "1");
    EXPECT_EQ(written.ReadString("KEY3", "KeyType", ""), "7");
    EXPECT_EQ(written.ReadString("KEY4", "Level_1_Codes", "").size(), 440u);
    EXPECT_EQ(written.ReadString("KEY5", "Level_1_Codes", ""), "1c");
}

TEST(KeyDefinitionFile, OddLengthCodesStopTheReadAfterTheCompletePairs) {
    KeypadDocument document;
    document.ResetDocument();
    const IniFile ini = IniFile::FromBytes(
        "[KEY0]\r\nLevel_1_Codes=1c\r\nLevel_1_Name=first\r\n"
        "[KEY1]\r\nKeyType=1\r\nL1_AutoRepeat=1\r\nLevel_1_Codes=1c0\r\nLevel_2_Codes=1c\r\nLevel_1_Name=x\r\n"
        "[KEY2]\r\nLevel_1_Codes=1c\r\n");
    try {
        ReadKeyDefinition(document, ini, "odd.ckd");
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_STREQ(error.what(), "Range check error");
        EXPECT_EQ(error.section(), "KEY1");
        EXPECT_EQ(error.key(), "Level_1_Codes");
        EXPECT_EQ(error.path(), "odd.ckd");
    }
    EXPECT_EQ(document.keys[0].name[0], "first");
    EXPECT_EQ(document.keys[1].KeyType, 1);
    EXPECT_EQ(document.keys[1].autoRepeat[0], 1);
    EXPECT_EQ(Macro(document, Level::One, 1), std::vector<uint8_t>{0x1C});
    EXPECT_TRUE(Macro(document, Level::Two, 1).empty());
    EXPECT_EQ(document.keys[1].name[0], "");
    EXPECT_TRUE(Macro(document, Level::One, 2).empty());
}

TEST(KeyDefinitionFile, RefusedWriteNamesTheFile) {
    TemporaryFolder folder;
    WriteFile(folder / "plain", "not a folder");
    const std::filesystem::path path = folder / "plain" / "doc.ckd";
    try {
        WriteKeyDefinitionFile(KeypadDocument{}, path);
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Unable to write to " + path.string(), 0), 0u)
            << error.what();
    }
}

TEST(KeyDefinitionFile, HexDigitValueKeepsItsArithmeticForAnyCharacter) {
    const std::pair<char32_t, uint8_t> cases[] = {
        {'0', 0}, {'9', 9}, {'a', 10}, {'f', 15}, {'A', 10}, {'F', 15},
        {'g', 16}, {'G', 16}, {'z', 67}, {' ', 0xC9}, {U'\u0131', 1},
    };
    for (const auto& [character, value] : cases)
        EXPECT_EQ(HexDigitValue(character), value) << static_cast<uint32_t>(character);
}

// Whatever is not a key definition file is named and refused, rather than read as a document of
// defaults that a save would then write over it.
TEST(KeyDefinitionFile, WhatIsNotAKeyDefinitionFileIsRefused) {
    TemporaryFolder folder;
    const struct {
        const char* name;
        std::string bytes;
        const char* reason; // nullptr: it opens
    } cases[] = {
        {"device image", std::string("\xE4\x01\x0C\xE0\x70\x00\x10", 7), "is a device image, not a key definition file"},
        {"binary data", std::string("[GLOBAL_PARAMETERS]\r\n\0\0\x7F", 24), "(it holds NUL bytes: binary data)"},
        {"UTF-16 without a byte order mark", std::string("[\0K\0E\0Y\0""0\0]\0", 12), "(it holds NUL bytes"},
        {"UTF-16 with a NUL character", std::string("\xFF\xFE[\0K\0E\0Y\0""1\0]\0\0\0", 16), "(it holds NUL bytes"},
        {"text without the file's sections", "Dear diary,\r\ntoday=rain\r\n",
         "(no [GLOBAL_PARAMETERS] or [KEYn] section)"},
        {"empty", "", nullptr},
        {"blank lines", "\xEF\xBB\xBF\r\n  \r\n", nullptr},
        {"a key section only, in other case", "[key7]\r\nKeyType=1\r\n", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path path = folder / "input.ckd";
        WriteFile(path, c.bytes);
        KeypadDocument document;
        document.ResetDocument();
        if (c.reason) {
            try {
                ReadKeyDefinitionFile(document, path);
                ADD_FAILURE() << "read as a document";
            } catch (const FileError& error) {
                EXPECT_THAT(error.what(), HasSubstr(c.reason));
                EXPECT_EQ(error.path(), path);
            }
        } else {
            EXPECT_NO_THROW(ReadKeyDefinitionFile(document, path));
        }
    }
}

// Every encoding the reader takes comes back from a save in the same form and reads the same:
// here UTF-16 with its byte order mark, as some editors on Windows save text.
TEST(KeyDefinitionFile, AUtf16FileOpensAndSavesAsUtf16) {
    TemporaryFolder folder;
    const std::filesystem::path path = folder / "u16.ckd";
    std::string bytes = "\xFF\xFE";
    for (const char c : std::string("[GLOBAL_PARAMETERS]\r\nNumber_Of_Keys=24\r\n[KEY3]\r\nLevel_1_Name=caf\xC3\xA9\r\n"))
        bytes += c == '\xC3' ? "" : c == '\xA9' ? std::string("\xE9\0", 2) : std::string(1, c) + '\0';
    WriteFile(path, bytes);
    KeypadDocument document;
    document.ResetDocument();
    ReadKeyDefinitionFile(document, path);
    EXPECT_EQ(document.numberOfKeys, 24);
    EXPECT_EQ(document.keys[3].name[0], "caf\xC3\xA9");

    document.keys[3].name[1] = "saved";
    WriteKeyDefinitionFile(document, path);

    EXPECT_EQ(ReadFile(path).substr(0, 6), std::string("\xFF\xFE[\0G\0", 6));
    KeypadDocument again;
    again.ResetDocument();
    ReadKeyDefinitionFile(again, path);
    EXPECT_EQ(again.keys[3].name[0], "caf\xC3\xA9");
    EXPECT_EQ(again.keys[3].name[1], "saved");
}

TEST(KeyDefinitionFile, KindsOfFileAndSizeAreCheckedBeforeReading) {
    TemporaryFolder folder;
    const std::filesystem::path large = folder / "large.ckd";
    WriteFile(large, "[GLOBAL_PARAMETERS]\r\n");
    std::filesystem::resize_file(large, kMaxKeyDefinitionSize + 1);
    std::filesystem::create_directory(folder / "folder.ckd");
    const struct {
        std::filesystem::path path;
        std::string reason;
    } cases[] = {
        {large, "is too large for a key definition file (16777217 bytes; at most 16 MB)"},
        {folder / "folder.ckd", "(a folder, not a file)"},
    };
    for (const auto& c : cases) {
        KeypadDocument document;
        try {
            ReadKeyDefinitionFile(document, c.path);
            ADD_FAILURE() << c.path << " was read";
        } catch (const FileError& error) {
            EXPECT_THAT(error.what(), HasSubstr(c.reason));
        }
    }
}

} // namespace
} // namespace keyloom
