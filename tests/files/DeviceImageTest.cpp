#include "files/DeviceImage.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace keyloom {
namespace {

using Bytes = std::vector<uint8_t>;

struct KeyImage {
    uint8_t level2Flags = 0;
    uint8_t level1Flags = 0;
    Bytes level1; // length byte, then the stored bytes
    Bytes level2;
};

// Splits an image into its key records, checking the framing on the way.
std::vector<KeyImage> Keys(const Bytes& image) {
    std::vector<KeyImage> keys;
    std::size_t p = 15;
    while (p < image.size() && image[p] == 0xE4) {
        EXPECT_EQ(image[p + 1], 0x02);
        EXPECT_EQ(image[p + 2], keys.size());
        EXPECT_EQ(image[p + 5], keys.size());
        KeyImage key{image[p + 3], image[p + 4], {}, {}};
        p += 6;
        key.level1.assign(image.begin() + p, image.begin() + p + 1 + image[p]);
        p += key.level1.size();
        key.level2.assign(image.begin() + p, image.begin() + p + 1 + image[p]);
        p += key.level2.size();
        keys.push_back(key);
    }
    EXPECT_EQ(p + 1, image.size());
    EXPECT_EQ(image.back(), 0xE5);
    return keys;
}

TEST(DeviceImage, EmptyFileGivesTheDefaultImage) {
    Bytes expected{0xE4, 0x01, 0x0C, 0xE0, 0x70, 0x80, 0x80, 0x80, 0x80, 0x02, 0x0B, 0x04, 0x01, 0x02, 0x04};
    for (uint8_t i = 0; i < 24; ++i)
        expected.insert(expected.end(), {0xE4, 0x02, i, 0, 0, i, 0, 0});
    expected.push_back(0xE5);
    EXPECT_EQ(BuildDeviceImage(IniFile{}, 24), expected);
    EXPECT_EQ(expected.size(), 208u);
    EXPECT_EQ(BuildDeviceImage(IniFile{}, 48).size(), 400u);
}

TEST(DeviceImage, KeypadRecordTakesTheLowBitsOfTheSettings) {
    const IniFile ini = IniFile::FromBytes(
        "[GLOBAL_PARAMETERS]\r\nKey_Roll_Over=258\r\nUSB_Device_Type=12\r\nCharacter_Pacing=1\r\n"
        "LED_Function=6\r\nLED2_Function=0\r\nLED3_Function=3\r\n");
    const Bytes image = BuildDeviceImage(ini, 24);
    EXPECT_EQ(Bytes(image.begin() + 9, image.begin() + 15), (Bytes{0x02, 0x0C, 0x01, 0x06, 0x00, 0x03}));
}

TEST(DeviceImage, LevelFlagsAndBytesFollowModeAndText) {
    struct Case {
        std::string level1;
        int mode;
        std::string level2;
        uint8_t flags;
        Bytes stored; // length byte and bytes
    };
    const std::string bytes223(446, '1');
    const std::string bytes224(448, '1');
    const Case cases[] = {
        {"1cf01c", 0, "", 0x01, {4, 0x1C, 0xE3, 0x1C, 0}},
        {"1cf01c", 1, "", 0x09, {4, 0x1C, 0xE3, 0x1C, 0}},
        {"12f012", 0, "", 0x09, {2, 0x12, 0}},
        {"12f012", 2, "", 0x01, {4, 0x12, 0xE3, 0x12, 0}},
        {"e01fe0f01f", 0, "", 0x09, {3, 0xE0, 0x1F, 0}},
        {"e027", 0, "", 0x09, {3, 0xE0, 0x27, 0}},
        {"90", 0, "", 0x09, {2, 0x90, 0}},
        {"90", 3, "", 0x05, {2, 0x90, 0}},
        {"1CF01C", 2, "", 0x01, {4, 0x1C, 0xE3, 0x1C, 0}},
        {"f0f0", 2, "", 0x01, {3, 0xE3, 0xE3, 0}},
        {"1c0032", 2, "", 0x01, {0}},
        {"1ce5", 2, "", 0x01, {0}},
        {"1c3", 2, "", 0x01, {2, 0x1C, 0}},
        {bytes223, 2, "", 0x01, [] { Bytes b(1, 224); b.resize(224, 0x11); b.push_back(0); return b; }()},
        {bytes224, 2, "", 0x01, {0}},
        {std::string(222, '1'), 2, "1c", 0x01, [] { Bytes b(1, 112); b.resize(112, 0x11); b.push_back(0); return b; }()},
        {std::string(224, '1'), 2, "1c", 0x01, {0}},
        {std::string(1024, '1'), 2, "", 0x01, {0}},
        {"", 1, "", 0x08, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level1.substr(0, 12) + " mode " + std::to_string(c.mode) + " / " + c.level2);
        const IniFile ini = IniFile::FromBytes("[KEY0]\r\nL1_MacroMode=" + std::to_string(c.mode)
                                               + "\r\nLevel_1_Codes=" + c.level1 + "\r\nLevel_2_Codes="
                                               + c.level2 + "\r\n");
        const std::vector<KeyImage> keys = Keys(BuildDeviceImage(ini, 24));
        ASSERT_EQ(keys.size(), 24u);
        EXPECT_EQ(keys[0].level1Flags, c.flags);
        EXPECT_EQ(keys[0].level1, c.stored);
    }
}

TEST(DeviceImage, Level2FlagsComeFirstInTheRecord) {
    const IniFile ini = IniFile::FromBytes(
        "[KEY1]\r\nL2_AutoRepeat=1\r\nLevel_1_Codes=1c1c1c\r\nLevel_2_Codes=3232f032\r\n");
    const std::vector<KeyImage> keys = Keys(BuildDeviceImage(ini, 24));
    EXPECT_EQ(keys[1].level2Flags, 0x03);
    EXPECT_EQ(keys[1].level1Flags, 0x01);
    EXPECT_EQ(keys[1].level2, (Bytes{5, 0x32, 0x32, 0xE3, 0x32, 0}));
}

TEST(DeviceImage, FirstTwoShiftAndToggleKeysAreRecorded) {
    const IniFile ini = IniFile::FromBytes(
        "[KEY3]\r\nKeyType=2\r\n[KEY7]\r\nKeyType=2\r\n[KEY9]\r\nKeyType=2\r\n"
        "[KEY12]\r\nKeyType=1\r\n[KEY30]\r\nKeyType=1\r\n");
    const Bytes image24 = BuildDeviceImage(ini, 24);
    EXPECT_EQ(Bytes(image24.begin() + 5, image24.begin() + 9), (Bytes{3, 7, 12, 0x80}));
    const Bytes image48 = BuildDeviceImage(ini, 48);
    EXPECT_EQ(Bytes(image48.begin() + 5, image48.begin() + 9), (Bytes{3, 7, 12, 30}));
}

TEST(DeviceImage, KeyCountIsTheLayoutOnScreenNotTheFiles) {
    const IniFile ini48 = IniFile::FromBytes("[GLOBAL_PARAMETERS]\r\nNumber_Of_Keys=48\r\n[KEY40]\r\nLevel_1_Codes=1c\r\n");
    EXPECT_EQ(Keys(BuildDeviceImage(ini48, 24)).size(), 24u);
    const std::vector<KeyImage> keys = Keys(BuildDeviceImage(ini48, 48));
    ASSERT_EQ(keys.size(), 48u);
    EXPECT_EQ(keys[40].level1, (Bytes{2, 0x1C, 0}));
}

TEST(DeviceImage, WritesBesideTheFileAndReportsAnUnwritableImage) {
    test::TemporaryFolder folder;
    test::WriteFile(folder / "keys.ckd", "[KEY0]\r\nLevel_1_Codes=1c\r\n");
    const std::filesystem::path binPath = DeviceImagePath(folder / "keys.ckd");
    EXPECT_EQ(binPath, folder / "keys.bin");
    EXPECT_EQ(DeviceImagePath("folder/noextension"), "folder/noextension.bin");

    ASSERT_EQ(WriteDeviceImage(folder / "keys.ckd", binPath, 24), 0);
    const std::string written = test::ReadFile(binPath);
    EXPECT_EQ(Bytes(written.begin(), written.end()),
              BuildDeviceImage(IniFile::FromBytes("[KEY0]\r\nLevel_1_Codes=1c\r\n"), 24));

    test::WriteFile(folder / "plain", "x");
    EXPECT_EQ(WriteDeviceImage(folder / "keys.ckd", folder / "plain" / "keys.bin", 24), 2);
    // A missing .ckd is read as all defaults.
    EXPECT_EQ(WriteDeviceImage(folder / "absent.ckd", folder / "absent.bin", 24), 0);
    EXPECT_EQ(test::ReadFile(folder / "absent.bin").size(), 208u);
}

} // namespace
} // namespace keyloom
