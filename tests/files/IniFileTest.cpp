#include "files/IniFile.h"

#include "files/FileError.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace keyloom {
namespace {

namespace fs = std::filesystem;

using Names = std::vector<std::string>;

// Reading

TEST(IniFileReadTest, MatchesSectionAndKeyWithoutRegardToCase) {
    const IniFile ini = IniFile::FromBytes("[Global_Parameters]\r\nkey_roll_over=3\r\n");
    EXPECT_EQ(ini.ReadString("GLOBAL_PARAMETERS", "Key_Roll_Over", "x"), "3");
    EXPECT_EQ(ini.ReadInteger("global_parameters", "KEY_ROLL_OVER", 0), 3);
}

TEST(IniFileReadTest, TheFirstMatchingSectionAndKeyCount) {
    const IniFile ini = IniFile::FromBytes("[KEY0]\r\nKeyType=1\r\nkeytype=2\r\n"
                                           "[key0]\r\nKeyType=3\r\nLevel_1_Name=later\r\n");
    EXPECT_EQ(ini.ReadInteger("KEY0", "KeyType", 0), 1);
    // A key that only the second section of that name has is not found.
    EXPECT_EQ(ini.ReadString("KEY0", "Level_1_Name", "default"), "default");
}

TEST(IniFileReadTest, AKeyBelongsOnlyToItsOwnSection) {
    const IniFile ini = IniFile::FromBytes("[KEY0]\r\n[KEY1]\r\nKeyType=2\r\n");
    EXPECT_EQ(ini.ReadInteger("KEY0", "KeyType", 9), 9);
    EXPECT_EQ(ini.ReadInteger("KEY1", "KeyType", 9), 2);
}

TEST(IniFileReadTest, MissingFileSectionOrKeyGivesTheDefault) {
    const IniFile empty;
    EXPECT_EQ(empty.ReadString("GLOBAL_PARAMETERS", "Model_Number", "fallback"), "fallback");
    EXPECT_EQ(empty.ReadInteger("GLOBAL_PARAMETERS", "Number_Of_Keys", 48), 48);

    const IniFile ini = IniFile::FromBytes("[A]\r\nx=1\r\n");
    EXPECT_EQ(ini.ReadString("B", "x", "no section"), "no section");
    EXPECT_EQ(ini.ReadString("A", "y", "no key"), "no key");
}

TEST(IniFileReadTest, KeysBeforeTheFirstSectionBelongToNone) {
    const IniFile ini = IniFile::FromBytes("x=1\r\n[A]\r\ny=2\r\n");
    EXPECT_EQ(ini.ReadString("", "x", "none"), "none");
    EXPECT_EQ(ini.ReadString("A", "x", "none"), "none");
    EXPECT_EQ(ini.SectionNames(), Names{"A"});
}

struct ValueCase {
    const char* name;
    std::string line;
    std::string expected;
};

class IniFileValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(IniFileValueTest, ReadsTheValueAfterTheFirstEqualsSign) {
    const IniFile ini = IniFile::FromBytes("[S]\r\n" + GetParam().line + "\r\n");
    EXPECT_EQ(ini.ReadString("S", "K", "<default>"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniFileValueTest,
    testing::Values(ValueCase{"Plain", "K=121cf012", "121cf012"},
                    ValueCase{"Empty", "K=", ""},
                    ValueCase{"BlanksAroundEverything", " \tK \t=  a b \t", "a b"},
                    ValueCase{"FurtherEqualsSigns", "K=a=b", "a=b"},
                    ValueCase{"DoubleQuotes", "K=\" padded \"", " padded "},
                    ValueCase{"SingleQuotes", "K='x'", "x"},
                    ValueCase{"EmptyQuotes", "K=\"\"", ""},
                    ValueCase{"UnmatchedQuotes", "K=\"x'", "\"x'"},
                    ValueCase{"OpeningQuoteOnly", "K=\"x", "\"x"},
                    ValueCase{"LoneQuote", "K=\"", "\""},
                    ValueCase{"InnerQuotesStay", "K=a \"b\" c", "a \"b\" c"},
                    ValueCase{"SemicolonIsText", "K=1 ; note", "1 ; note"},
                    ValueCase{"NoEqualsSignIsNoKey", "K", "<default>"},
                    ValueCase{"KeyNameMatchesWhole", "KK=x", "<default>"}),
    [](const testing::TestParamInfo<ValueCase>& info) { return info.param.name; });

TEST(IniFileReadTest, CutsAValueAt2047Characters) {
    const std::string longName(3000, 'n');
    const IniFile ini = IniFile::FromBytes("[KEY0]\r\nLevel_1_Name=" + longName + "\r\n");
    EXPECT_EQ(ini.ReadString("KEY0", "Level_1_Name", ""), std::string(2047, 'n'));
}

TEST(IniFileReadTest, CountsCharactersNotBytesWhenCutting) {
    std::string name;
    for (int i = 0; i < 2048; ++i)
        name += "\xC3\xA9"; // é
    const IniFile ini = IniFile::FromBytes("[S]\r\nK=" + name + "\r\n");
    EXPECT_EQ(ini.ReadString("S", "K", ""), name.substr(0, 2 * 2047));
}

TEST(IniFileReadTest, SectionHeadersMayHaveBlanksAndTrailingText) {
    const IniFile ini = IniFile::FromBytes("  [ KEY0 ]  ; first key\r\nKeyType=1\r\n");
    EXPECT_EQ(ini.SectionNames(), Names{"KEY0"});
    EXPECT_EQ(ini.ReadInteger("KEY0", "KeyType", 0), 1);
    EXPECT_EQ(ini.ReadInteger(" KEY0 ", " KeyType ", 0), 1);
}

TEST(IniFileReadTest, ALineWithoutClosingBracketIsNoSection) {
    const IniFile ini = IniFile::FromBytes("[A]\r\n[B\r\nx=1\r\n");
    EXPECT_EQ(ini.SectionNames(), Names{"A"});
    EXPECT_EQ(ini.ReadString("A", "x", ""), "1");
}

struct LineEndCase {
    const char* name;
    std::string bytes;
};

class IniFileLineEndTest : public testing::TestWithParam<LineEndCase> {};

TEST_P(IniFileLineEndTest, ReadsEveryKindOfLineEnd) {
    const IniFile ini = IniFile::FromBytes(GetParam().bytes);
    EXPECT_EQ(ini.ReadString("A", "x", ""), "1");
    EXPECT_EQ(ini.ReadString("B", "y", ""), "2");
    EXPECT_EQ(ini.ToBytes(), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniFileLineEndTest,
    testing::Values(LineEndCase{"CrLf", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
                    LineEndCase{"Lf", "[A]\nx=1\n[B]\ny=2\n"},
                    LineEndCase{"Cr", "[A]\rx=1\r[B]\ry=2\r"},
                    LineEndCase{"Mixed", "[A]\nx=1\r\n\r\r\n[B]\ry=2"},
                    LineEndCase{"NoFinalLineEnd", "[A]\r\nx=1\r\n[B]\r\ny=2"}),
    [](const testing::TestParamInfo<LineEndCase>& info) { return info.param.name; });

struct IntegerCase {
    const char* name;
    std::string text;
    std::optional<int32_t> expected;
};

class ParseIniIntegerTest : public testing::TestWithParam<IntegerCase> {};

TEST_P(ParseIniIntegerTest, ReadsDecimalAndHexadecimal) {
    EXPECT_EQ(ParseIniInteger(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ParseIniIntegerTest,
    testing::Values(IntegerCase{"Decimal", "48", 48},
                    IntegerCase{"Zero", "0", 0},
                    IntegerCase{"LeadingZeros", "007", 7},
                    IntegerCase{"Plus", "+5", 5},
                    IntegerCase{"Minus", "-7", -7},
                    IntegerCase{"Largest", "2147483647", 2147483647},
                    IntegerCase{"Smallest", "-2147483648", INT32_MIN},
                    IntegerCase{"TooLarge", "2147483648", std::nullopt},
                    IntegerCase{"TooSmall", "-2147483649", std::nullopt},
                    IntegerCase{"Huge", "99999999999999999999999", std::nullopt},
                    IntegerCase{"HexLower", "0x1a", 26},
                    IntegerCase{"HexUpperPrefix", "0X1A", 26},
                    IntegerCase{"Dollar", "$1A", 26},
                    IntegerCase{"HexAllBits", "$FFFFFFFF", -1},
                    IntegerCase{"HexTooLong", "0x100000000", std::nullopt},
                    IntegerCase{"PrefixOnly", "0x", std::nullopt},
                    IntegerCase{"DollarOnly", "$", std::nullopt},
                    IntegerCase{"SignedHex", "-0x10", std::nullopt},
                    IntegerCase{"SignOnly", "-", std::nullopt},
                    IntegerCase{"TwoSigns", "+-1", std::nullopt},
                    IntegerCase{"Empty", "", std::nullopt},
                    IntegerCase{"TrailingText", "12a", std::nullopt},
                    IntegerCase{"Fraction", "1.5", std::nullopt},
                    IntegerCase{"Blanks", " 12", std::nullopt},
                    IntegerCase{"HexDigitsWithoutPrefix", "1A", std::nullopt}),
    [](const testing::TestParamInfo<IntegerCase>& info) { return info.param.name; });

TEST(IniFileReadTest, IntegersAreReadFromTheTrimmedUnquotedValue) {
    const IniFile ini =
        IniFile::FromBytes("[S]\r\nA = 12 \r\nB=\"5\"\r\nC=0x1A\r\nD=$1A\r\nE=twelve\r\nF=\r\n");
    EXPECT_EQ(ini.ReadInteger("S", "A", -1), 12);
    EXPECT_EQ(ini.ReadInteger("S", "B", -1), 5);
    EXPECT_EQ(ini.ReadInteger("S", "C", -1), 26);
    EXPECT_EQ(ini.ReadInteger("S", "D", -1), 26);
    EXPECT_EQ(ini.ReadInteger("S", "E", -1), -1);
    EXPECT_EQ(ini.ReadInteger("S", "F", -1), -1);
}

TEST(IniFileReadTest, ListsSectionsAndKeysAsTheFileSpellsThem) {
    const IniFile ini = IniFile::FromBytes("[Global]\r\nModel=VK48\r\nnot a key\r\n=empty name\r\n"
                                           "[KEY0]\r\n[global]\r\nLater=1\r\n");
    EXPECT_EQ(ini.SectionNames(), (Names{"Global", "KEY0", "global"}));
    EXPECT_EQ(ini.KeyNames("GLOBAL"), (Names{"Model", ""}));
    EXPECT_EQ(ini.KeyNames("KEY0"), Names{});
    EXPECT_EQ(ini.KeyNames("absent"), Names{});

    // A section without keys is still found, whatever the case: the write goes into it.
    IniFile written = ini;
    written.WriteString("key0", "New", "0");
    written.WriteString("KEY1", "New", "1");
    EXPECT_EQ(written.ToBytes(), "[Global]\r\nModel=VK48\r\nnot a key\r\n=empty name\r\n"
                                 "[KEY0]\r\nNew=0\r\n[global]\r\nLater=1\r\n[KEY1]\r\nNew=1\r\n");
}

// Writing

TEST(IniFileWriteTest, WritesIntoAnEmptyFileWithCrLf) {
    IniFile ini;
    ini.WriteString("GLOBAL_PARAMETERS", "Model_Number", "VK48");
    ini.WriteInteger("GLOBAL_PARAMETERS", "Number_Of_Keys", 48);
    ini.WriteInteger("KEY0", "KeyType", -1);
    ini.WriteString("KEY0", "Level_1_Codes", "");
    EXPECT_EQ(ini.ToBytes(), "[GLOBAL_PARAMETERS]\r\nModel_Number=VK48\r\nNumber_Of_Keys=48\r\n"
                             "[KEY0]\r\nKeyType=-1\r\nLevel_1_Codes=\r\n");
    EXPECT_TRUE(ini.changed());
}

TEST(IniFileWriteTest, BuildsTheFileInTheOrderOfTheWrites) {
    // The file that Windows itself makes from these writes.
    IniFile ini;
    ini.WriteString("App1", "key1", "string1");
    ini.WriteString("App1", "key2", "string2");
    ini.WriteString("App1", "key3", "string3");
    ini.WriteString("App2", "key4", "string4");
    ini.WriteString("App3", "key5", "string5");
    ini.WriteString("app1", "KEY2", "changed");
    EXPECT_EQ(ini.ToBytes(), "[App1]\r\nkey1=string1\r\nkey2=changed\r\nkey3=string3\r\n"
                             "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n");
}

TEST(IniFileWriteTest, ReplacesTheValueInPlaceKeepingTheKeySpelling) {
    IniFile ini = IniFile::FromBytes("[KEY0]\r\n  keytype = 1 \r\nL1_MacroMode=0\r\n");
    ini.WriteInteger("KEY0", "KeyType", 2);
    EXPECT_EQ(ini.ToBytes(), "[KEY0]\r\nkeytype=2\r\nL1_MacroMode=0\r\n");
}

TEST(IniFileWriteTest, ChangesOnlyTheFirstMatch) {
    IniFile ini = IniFile::FromBytes("[A]\r\nx=1\r\nx=2\r\n[A]\r\nx=3\r\n");
    ini.WriteString("a", "X", "9");
    EXPECT_EQ(ini.ToBytes(), "[A]\r\nx=9\r\nx=2\r\n[A]\r\nx=3\r\n");
}

TEST(IniFileWriteTest, AppendsAMissingKeyAfterTheLastKeyOfItsSection) {
    IniFile ini = IniFile::FromBytes("[A]\r\nx=1\r\n; about B\r\n\r\n[B]\r\ny=2\r\n");
    ini.WriteString("A", "z", "3");
    EXPECT_EQ(ini.ToBytes(), "[A]\r\nx=1\r\nz=3\r\n; about B\r\n\r\n[B]\r\ny=2\r\n");
}

TEST(IniFileWriteTest, AppendsAKeyRightAfterTheHeaderOfASectionWithoutKeys) {
    IniFile ini = IniFile::FromBytes("[A]\n\n[B]\n");
    ini.WriteString("A", "k", "v");
    EXPECT_EQ(ini.ToBytes(), "[A]\nk=v\r\n\n[B]\n");
}

TEST(IniFileWriteTest, AppendsAMissingSectionAtTheEndOfTheFile) {
    IniFile ini = IniFile::FromBytes("[A]\r\nx=1\r\n\r\n");
    ini.WriteString("B", "y", "2");
    EXPECT_EQ(ini.ToBytes(), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
}

TEST(IniFileWriteTest, EndsTheLastLineBeforeAppendingAfterIt) {
    IniFile section = IniFile::FromBytes("[A]\r\nx=1");
    section.WriteString("B", "y", "2");
    EXPECT_EQ(section.ToBytes(), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");

    IniFile key = IniFile::FromBytes("[A]\nx=1");
    key.WriteString("A", "y", "2");
    EXPECT_EQ(key.ToBytes(), "[A]\nx=1\r\ny=2\r\n");
}

TEST(IniFileWriteTest, KeepsEveryOtherLineByteForByte) {
    const std::string before = "; made by hand\n[GLOBAL_PARAMETERS]\n Model_Number = VK24 \n"
                               "junk line\n\n[KEY0]\nKeyType = 0\nLevel_1_Name = 'quoted'\n";
    IniFile ini = IniFile::FromBytes(before);
    ini.WriteInteger("KEY0", "KeyType", 1);
    EXPECT_EQ(ini.ToBytes(), "; made by hand\n[GLOBAL_PARAMETERS]\n Model_Number = VK24 \n"
                             "junk line\n\n[KEY0]\nKeyType=1\nLevel_1_Name = 'quoted'\n");
}

TEST(IniFileWriteTest, WritingWhatTheLineAlreadyHoldsChangesNothing) {
    const std::string before = "[KEY0]\r\nKeyType = 0 \r\nLevel_1_Name=\"\"\r\n";
    IniFile ini = IniFile::FromBytes(before);
    ini.WriteInteger("KEY0", "KeyType", 0);
    EXPECT_FALSE(ini.changed());
    EXPECT_EQ(ini.ToBytes(), before);

    // The quotes make this line read as empty, but writing an empty name must not keep them.
    ini.WriteString("KEY0", "Level_1_Name", "");
    EXPECT_TRUE(ini.changed());
    EXPECT_EQ(ini.ToBytes(), "[KEY0]\r\nKeyType = 0 \r\nLevel_1_Name=\r\n");
}

TEST(IniFileWriteTest, LineBreaksInAValueBecomeBlanks) {
    IniFile ini;
    ini.WriteString("KEY0", "Level_1_Name", "two\r\nlines\nand\rmore");
    EXPECT_EQ(ini.ToBytes(), "[KEY0]\r\nLevel_1_Name=two  lines and more\r\n");
    EXPECT_EQ(ini.ReadString("KEY0", "Level_1_Name", ""), "two  lines and more");
}

TEST(IniFileWriteTest, AValueReadsBackWithoutSurroundingBlanksAndQuotes) {
    IniFile ini;
    ini.WriteString("KEY0", "Level_1_Name", "  padded  ");
    ini.WriteString("KEY0", "Level_2_Name", "\"quoted\"");
    ini.WriteString("KEY1", "Level_1_Name", "Caf\xC3\xA9 \xE2\x82\xAC");
    const IniFile reread = IniFile::FromBytes(ini.ToBytes());
    EXPECT_EQ(reread.ReadString("KEY0", "Level_1_Name", ""), "padded");
    EXPECT_EQ(reread.ReadString("KEY0", "Level_2_Name", ""), "quoted");
    EXPECT_EQ(reread.ReadString("KEY1", "Level_1_Name", ""), "Caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(IniFileWriteTest, ReadsAnswerFromTheWrittenText) {
    IniFile ini = IniFile::FromBytes("[KEY0]\r\nKeyType=0\r\n");
    ini.WriteInteger("KEY0", "KeyType", 2);
    ini.WriteInteger("KEY0", "L1_MacroMode", 3);
    EXPECT_EQ(ini.ReadInteger("KEY0", "KeyType", -1), 2);
    EXPECT_EQ(ini.ReadInteger("KEY0", "L1_MacroMode", -1), 3);
    EXPECT_EQ(ini.KeyNames("KEY0"), (Names{"KeyType", "L1_MacroMode"}));
}

TEST(IniFileWriteTest, KeysAddedToManySectionsBeforeATailLandInTheirSections) {
    IniFile ini = IniFile::FromBytes("[A]\r\nx=1\r\n\r\n[B]\r\n; none yet\r\n[C]\r\ny=2\r\n[TAIL]\r\nt=0\r\n; end");
    ini.WriteString("B", "k", "1");
    ini.WriteString("A", "z", "3");
    ini.WriteString("B", "m", "2");
    ini.WriteString("B", "k", "4"); // a key added above, written again
    ini.WriteString("C", "y", "2"); // unchanged
    // Reads see the added keys before the file's bytes are made.
    EXPECT_EQ(ini.ReadInteger("B", "K", -1), 4);
    EXPECT_EQ(ini.KeyNames("B"), (Names{"k", "m"}));
    EXPECT_EQ(ini.ToBytes(), "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\nk=4\r\nm=2\r\n; none yet\r\n[C]\r\ny=2\r\n"
                             "[TAIL]\r\nt=0\r\n; end");

    // A key whose line reads as a section header takes its place among the sections.
    ini.WriteString("A", "[D]", "5");
    ini.WriteString("D", "w", "6");
    EXPECT_EQ(ini.ToBytes(), "[A]\r\nx=1\r\nz=3\r\n[D]=5\r\nw=6\r\n\r\n[B]\r\nk=4\r\nm=2\r\n; none yet\r\n"
                             "[C]\r\ny=2\r\n[TAIL]\r\nt=0\r\n; end");
}

TEST(IniFileWriteTest, ACopyOutlivesTheFileItWasCopiedFrom) {
    std::optional<IniFile> original = IniFile::FromBytes("[A]\r\nx=1\r\n[B]\r\n");
    original->WriteString("A", "y", "2");
    const IniFile copy = *original;
    original.reset();
    EXPECT_EQ(copy.ReadString("A", "x", ""), "1");
    EXPECT_EQ(copy.ToBytes(), "[A]\r\nx=1\r\ny=2\r\n[B]\r\n");
}

// Encodings

struct RoundTripCase {
    const char* name;
    std::string bytes;
};

class IniFileRoundTripTest : public testing::TestWithParam<RoundTripCase> {};

TEST_P(IniFileRoundTripTest, GivesBackTheBytesItWasMadeFrom) {
    const IniFile ini = IniFile::FromBytes(GetParam().bytes);
    EXPECT_EQ(ini.ToBytes(), GetParam().bytes);
    EXPECT_FALSE(ini.changed());
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniFileRoundTripTest,
    testing::Values(RoundTripCase{"Empty", ""},
                    RoundTripCase{"LineEndsOnly", "\r\n\n\r\r\n"},
                    RoundTripCase{"Utf8Bom", "\xEF\xBB\xBF[A]\r\nx=1\r\n"},
                    RoundTripCase{"BrokenUtf8AfterBom", "\xEF\xBB\xBF[A]\r\nx=\xFF\xC3\r\n"},
                    RoundTripCase{"Windows1252", "[A]\r\nx=Caf\xE9\r\n"},
                    RoundTripCase{"Utf16", "\xFF\xFE[\0A\0]\0\r\0\n\0x\0=\0\xE9\0"s},
                    RoundTripCase{"Utf16OddLastByte", "\xFF\xFE[\0A\0]\0\n\0x"s},
                    RoundTripCase{"Utf16LoneSurrogate", "\xFF\xFE\x3D\xD8\n\0=\0"s},
                    RoundTripCase{"NulBytes", "[A]\r\nx=\0\0\r\n"s}),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

TEST(IniFileEncodingTest, ReadsThroughAUtf8ByteOrderMark) {
    IniFile ini = IniFile::FromBytes("\xEF\xBB\xBF[KEY0]\r\nLevel_1_Name=Caf\xC3\xA9\r\n");
    EXPECT_EQ(ini.SectionNames(), Names{"KEY0"});
    EXPECT_EQ(ini.ReadString("KEY0", "Level_1_Name", ""), "Caf\xC3\xA9");

    ini.WriteString("KEY0", "Level_2_Name", "\xE2\x82\xAC");
    EXPECT_EQ(ini.ToBytes(), "\xEF\xBB\xBF[KEY0]\r\nLevel_1_Name=Caf\xC3\xA9\r\n"
                             "Level_2_Name=\xE2\x82\xAC\r\n");
}

TEST(IniFileEncodingTest, ReadsAndWritesUtf16) {
    IniFile ini = IniFile::FromBytes("\xFF\xFE[\0A\0]\0\r\0\n\0x\0=\0\xE9\0"s);
    EXPECT_EQ(ini.ReadString("a", "X", ""), "\xC3\xA9");

    ini.WriteString("A", "y", "\xE2\x82\xAC");
    EXPECT_EQ(ini.ToBytes(),
              "\xFF\xFE[\0A\0]\0\r\0\n\0x\0=\0\xE9\0\r\0\n\0y\0=\0\xAC\x20\r\0\n\0"s);
}

TEST(IniFileEncodingTest, ReadsOlderWindows1252Files) {
    const IniFile ini = IniFile::FromBytes("[KEY0]\r\nLevel_1_Name=Caf\xE9\r\nKeyType=0\r\n");
    EXPECT_EQ(ini.ReadString("KEY0", "Level_1_Name", ""), "Caf\xC3\xA9");
}

TEST(IniFileEncodingTest, AChangeTurnsAWindows1252FileIntoUtf8) {
    IniFile ini = IniFile::FromBytes("[KEY0]\r\nLevel_1_Name=Caf\xE9\r\nLevel_2_Name=\r\n");
    ini.WriteString("KEY0", "Level_2_Name", "\xE2\x82\xAC");
    EXPECT_EQ(ini.ToBytes(), "[KEY0]\r\nLevel_1_Name=Caf\xC3\xA9\r\nLevel_2_Name=\xE2\x82\xAC\r\n");

    const IniFile reread = IniFile::FromBytes(ini.ToBytes());
    EXPECT_EQ(reread.ReadString("KEY0", "Level_1_Name", ""), "Caf\xC3\xA9");
    EXPECT_EQ(reread.ReadString("KEY0", "Level_2_Name", ""), "\xE2\x82\xAC");
}

TEST(IniFileEncodingTest, OverwritingTheOnlyWindows1252ByteKeepsTheOtherNames) {
    // Without its first line this file is valid UTF-8: written back as it stands, its second name
    // would read as "é" instead of the two characters it holds.
    IniFile ini = IniFile::FromBytes("[KEY0]\r\nLevel_1_Name=\xE9\r\nLevel_2_Name=\xC3\xA9\r\n");
    ini.WriteString("KEY0", "Level_1_Name", "e");
    const IniFile reread = IniFile::FromBytes(ini.ToBytes());
    EXPECT_EQ(reread.ReadString("KEY0", "Level_2_Name", ""), "\xC3\x83\xC2\xA9");
}

TEST(IniFileEncodingTest, AppendsAfterTheLastLineOfAWindows1252File) {
    IniFile ini = IniFile::FromBytes("[KEY0]\r\nLevel_1_Name=Caf\xE9");
    ini.WriteString("KEY0", "Level_2_Name", "x");
    EXPECT_EQ(ini.ToBytes(), "[KEY0]\r\nLevel_1_Name=Caf\xC3\xA9\r\nLevel_2_Name=x\r\n");
}

TEST(IniFileEncodingTest, WritingWhatAWindows1252FileHoldsKeepsItsBytes) {
    const std::string before = "[KEY0]\r\nLevel_1_Name=Caf\xE9\r\n";
    IniFile ini = IniFile::FromBytes(before);
    ini.WriteString("KEY0", "Level_1_Name", "Caf\xC3\xA9");
    EXPECT_FALSE(ini.changed());
    EXPECT_EQ(ini.ToBytes(), before);
}

TEST(IniFileEncodingTest, BrokenUtf8WrittenIsRepairedSoTheFileStaysUtf8) {
    IniFile ini = IniFile::FromBytes("[KEY0]\r\nLevel_1_Name=Caf\xC3\xA9\r\n");
    ini.WriteString("KEY0", "Level_2_Name", "bad\xFF");
    EXPECT_EQ(DetectEncoding(ini.ToBytes()), TextEncoding::Utf8);
    EXPECT_EQ(ini.ReadString("KEY0", "Level_2_Name", ""), "bad\xEF\xBF\xBD");
}

// Files

using test::ReadFile;
using test::WriteFile;

class IniFileDiskTest : public testing::Test {
protected:
    test::TemporaryFolder m_folder;
};

TEST_F(IniFileDiskTest, LoadingAMissingFileGivesAnEmptyFile) {
    const IniFile ini = IniFile::Load(m_folder / "absent.ckd");
    EXPECT_EQ(ini.ToBytes(), "");
    EXPECT_EQ(ini.ReadInteger("GLOBAL_PARAMETERS", "Number_Of_Keys", 48), 48);
}

TEST_F(IniFileDiskTest, LoadingSomethingUnreadableThrows) {
    EXPECT_THROW(IniFile::Load(m_folder.path()), FileError);
}

TEST_F(IniFileDiskTest, SaveCreatesTheFileAndLoadReadsItBack) {
    const fs::path path = m_folder / "new.ckd";
    IniFile ini = IniFile::Load(path);
    ini.WriteString("GLOBAL_PARAMETERS", "Model_Number", "VK24");
    ini.Save(path);

    EXPECT_EQ(ReadFile(path), "[GLOBAL_PARAMETERS]\r\nModel_Number=VK24\r\n");
    EXPECT_EQ(IniFile::Load(path).ReadString("GLOBAL_PARAMETERS", "Model_Number", ""), "VK24");
}

TEST_F(IniFileDiskTest, SavingWithoutChangesLeavesAnExistingFileAlone) {
    const fs::path path = m_folder / "same.ckd";
    WriteFile(path, "[A]\r\nx=1\r\n");
    IniFile ini = IniFile::Load(path);
    ini.WriteString("A", "x", "1");
    WriteFile(path, "changed meanwhile");

    ini.Save(path);
    EXPECT_EQ(ReadFile(path), "changed meanwhile");
}

TEST_F(IniFileDiskTest, SavingAnUnchangedFileStillCreatesAMissingOne) {
    const fs::path path = m_folder / "empty.ini";
    IniFile().Save(path);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(ReadFile(path), "");
}

TEST_F(IniFileDiskTest, SaveIntoAMissingFolderThrowsUnableToWrite) {
    const fs::path path = m_folder / "missing" / "file.ckd";
    IniFile ini;
    ini.WriteString("A", "x", "1");
    try {
        ini.Save(path);
        FAIL() << "saving into a missing folder succeeded";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Unable to write to " + path.string(), 0), 0u)
            << error.what();
    }
}

TEST_F(IniFileDiskTest, AFailedSaveLeavesTheOldFileWhole) {
    const fs::path path = m_folder / "locked.ckd";
    WriteFile(path, "[A]\r\nx=1\r\n");
    fs::permissions(path, fs::perms::owner_read);
    IniFile ini = IniFile::Load(path);
    ini.WriteString("A", "x", "2");

    EXPECT_THROW(ini.Save(path), FileError);
    EXPECT_EQ(ReadFile(path), "[A]\r\nx=1\r\n");
}

} // namespace
} // namespace keyloom
