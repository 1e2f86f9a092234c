#pragma once

#include <array>
#include <string>
#include <string_view>

// The section and key names of a key definition file (.ckd). The reader, the writer, the image
// builder and vkxx check all name them from here, so a misspelt name cannot read as a default in
// one of them only. Per-level names are indexed by levelIndex().
namespace keyloom::ckd {

inline constexpr std::string_view kGlobalSection = "GLOBAL_PARAMETERS";
inline constexpr std::string_view kModelNumber = "Model_Number";
inline constexpr std::string_view kNumberOfKeys = "Number_Of_Keys";
inline constexpr std::string_view kKeyRollOver = "Key_Roll_Over";
// LED 1, 2 and 3.
inline constexpr std::array<std::string_view, 3> kLedFunction{"LED_Function", "LED2_Function",
                                                              "LED3_Function"};
inline constexpr std::string_view kCharacterPacing = "Character_Pacing";
inline constexpr std::string_view kUsbDeviceType = "USB_Device_Type";

// Values of Model_Number: what the writer stores, and the older 24-key product's.
inline constexpr std::string_view kModel24 = "VK24";
inline constexpr std::string_view kModel48 = "VK48";
inline constexpr std::string_view kOlderModel = "Keyloom307";

// The section of one key: "KEY0" to "KEY47".
inline std::string KeySection(int keyIndex) { return "KEY" + std::to_string(keyIndex); }

inline constexpr std::string_view kKeyType = "KeyType";
inline constexpr std::array<std::string_view, 2> kAutoRepeat{"L1_AutoRepeat", "L2_AutoRepeat"};
inline constexpr std::array<std::string_view, 2> kMacroMode{"L1_MacroMode", "L2_MacroMode"};
inline constexpr std::array<std::string_view, 2> kCodes{"Level_1_Codes", "Level_2_Codes"};
inline constexpr std::array<std::string_view, 2> kName{"Level_1_Name", "Level_2_Name"};
// Every key of a [KEYn] section.
inline constexpr std::array<std::string_view, 9> kKeyNames{kKeyType,  kAutoRepeat[0], kAutoRepeat[1],
                                                           kMacroMode[0], kMacroMode[1], kCodes[0],
                                                           kCodes[1], kName[0],      kName[1]};

} // namespace keyloom::ckd
