#include "files/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace keyloom {
namespace {

struct DetectCase {
    const char* name;
    std::string bytes;
    TextEncoding expected;
};

class DetectEncodingTest : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectEncodingTest, TellsTheEncodingFromTheBytes) {
    EXPECT_EQ(DetectEncoding(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DetectEncodingTest,
    testing::Values(DetectCase{"Empty", "", TextEncoding::Utf8},
                    DetectCase{"Ascii", "[KEY0]\r\nKeyType=0\r\n", TextEncoding::Utf8},
                    DetectCase{"Utf8", "Level_1_Name=Caf\xC3\xA9\r\n", TextEncoding::Utf8},
                    DetectCase{"Utf8Bom", "\xEF\xBB\xBF[A]", TextEncoding::Utf8Bom},
                    DetectCase{"Utf16LeBom", "\xFF\xFE[\0A\0]\0"s, TextEncoding::Utf16LeBom},
                    DetectCase{"OlderFile", "Level_1_Name=Caf\xE9\r\n", TextEncoding::Windows1252},
                    DetectCase{"BomAloneIsNotUtf16", "\xFF", TextEncoding::Windows1252}),
    [](const testing::TestParamInfo<DetectCase>& info) { return info.param.name; });

struct ValidityCase {
    const char* name;
    std::string bytes;
    bool valid;
};

class IsValidUtf8Test : public testing::TestWithParam<ValidityCase> {};

TEST_P(IsValidUtf8Test, AcceptsOnlyWellFormedSequences) {
    EXPECT_EQ(IsValidUtf8(GetParam().bytes), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IsValidUtf8Test,
    testing::Values(ValidityCase{"Ascii", "abc", true},
                    ValidityCase{"TwoBytes", "\xC3\xA9", true},
                    ValidityCase{"ThreeBytes", "\xE2\x82\xAC", true},
                    ValidityCase{"FourBytes", "\xF0\x9F\x98\x80", true},
                    ValidityCase{"LastCodePoint", "\xF4\x8F\xBF\xBF", true},
                    ValidityCase{"Overlong", "\xC0\x80", false},
                    ValidityCase{"OverlongThreeBytes", "\xE0\x80\xAF", false},
                    ValidityCase{"Surrogate", "\xED\xA0\x80", false},
                    ValidityCase{"BeyondLastCodePoint", "\xF4\x90\x80\x80", false},
                    ValidityCase{"CutShort", "\xE2\x82", false},
                    ValidityCase{"LoneContinuation", "\x80", false},
                    ValidityCase{"Windows1252", "Caf\xE9", false}),
    [](const testing::TestParamInfo<ValidityCase>& info) { return info.param.name; });

TEST(TextEncodingTest, DecodesUtf8WithoutItsByteOrderMark) {
    EXPECT_EQ(DecodeText("\xEF\xBB\xBF" "Caf\xC3\xA9", TextEncoding::Utf8Bom), "Caf\xC3\xA9");
    // Only one mark belongs to the encoding; a second one is text.
    EXPECT_EQ(DecodeText("\xEF\xBB\xBF\xEF\xBB\xBFx", TextEncoding::Utf8Bom), "\xEF\xBB\xBFx");
}

TEST(TextEncodingTest, ReplacesBrokenUtf8WithoutSwallowingTheLineEnd) {
    EXPECT_EQ(DecodeText("a\xE2\x82\nb\xFF", TextEncoding::Utf8Bom),
              "a\xEF\xBF\xBD\xEF\xBF\xBD\nb\xEF\xBF\xBD");
}

TEST(TextEncodingTest, DecodesWindows1252) {
    EXPECT_EQ(DecodeText("Caf\xE9 \x80 \x93", TextEncoding::Windows1252),
              "Caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9C");
    // Bytes the code page leaves undefined come out as the control characters of that number.
    EXPECT_EQ(DecodeText("\x81", TextEncoding::Windows1252), "\xC2\x81");
}

TEST(TextEncodingTest, DecodesUtf16LittleEndian) {
    EXPECT_EQ(DecodeText("\xFF\xFE" "A\0\xAC\x20=\0"s, TextEncoding::Utf16LeBom),
              "A\xE2\x82\xAC=");
    EXPECT_EQ(DecodeText("\x3D\xD8\x00\xDE"s, TextEncoding::Utf16LeBom), "\xF0\x9F\x98\x80");
}

TEST(TextEncodingTest, ReplacesBrokenUtf16) {
    // A lone high surrogate before a line feed, and a last byte without its partner.
    EXPECT_EQ(DecodeText("\x3D\xD8\n\0x"s, TextEncoding::Utf16LeBom),
              "\xEF\xBF\xBD\n\xEF\xBF\xBD");
    EXPECT_EQ(DecodeText("\x00\xDC"s, TextEncoding::Utf16LeBom), "\xEF\xBF\xBD");
}

TEST(TextEncodingTest, EncodesUtf16LittleEndianWithoutMark) {
    EXPECT_EQ(EncodeText("A\xE2\x82\xAC\xF0\x9F\x98\x80", TextEncoding::Utf16LeBom),
              "A\0\xAC\x20\x3D\xD8\x00\xDE"s);
}

TEST(TextEncodingTest, WritesUtf8ForEveryOtherEncoding) {
    const std::string text = "Caf\xC3\xA9";
    EXPECT_EQ(EncodeText(text, TextEncoding::Utf8), text);
    EXPECT_EQ(EncodeText(text, TextEncoding::Utf8Bom), text);
    EXPECT_EQ(EncodeText(text, TextEncoding::Windows1252), text);
}

TEST(TextEncodingTest, NamesTheByteOrderMarks) {
    EXPECT_EQ(ByteOrderMark(TextEncoding::Utf8), "");
    EXPECT_EQ(ByteOrderMark(TextEncoding::Utf8Bom), "\xEF\xBB\xBF");
    EXPECT_EQ(ByteOrderMark(TextEncoding::Utf16LeBom), "\xFF\xFE");
    EXPECT_EQ(ByteOrderMark(TextEncoding::Windows1252), "");
}

TEST(TextEncodingTest, Utf16RoundTripsThroughUtf8) {
    const std::string bytes = "[\0K\0E\0Y\0]\0\r\0\n\0\xE9\0\x3D\xD8\x00\xDE"s;
    EXPECT_EQ(EncodeText(DecodeText(bytes, TextEncoding::Utf16LeBom), TextEncoding::Utf16LeBom),
              bytes);
}

} // namespace
} // namespace keyloom
