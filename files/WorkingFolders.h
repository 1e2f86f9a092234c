#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace keyloom {

// In the folder of the shipped files (beside the program in a build folder); chooses the
// Documents folder. Never written by the program.
inline constexpr std::string_view kLocationFileName = "Location.ini";
// In the documents area; remembers the layout between runs.
inline constexpr std::string_view kSettingsFileName = "KeyloomVKxx.ini";

// Copied from <program>/Examples/Macro_Files into a new Macro_Files folder, in this order.
inline constexpr std::array<std::string_view, 4> kSampleMacroFiles = {
    "DefaultVK24.ckd", "DefaultVK48.ckd", "MultiMediaKeys.ckd", "MouseClicks.ckd"};
// Copied from <program>/Examples/Keycap_Labels into a new Keycap_Labels folder, in this order.
inline constexpr std::array<std::string_view, 6> kKeycapLabelTemplates = {
    "Keycap_Labels_Large.bmp", "Keycap_Labels_Large.doc", "Keycap_Labels_Large.xls",
    "Keycap_Labels_Small.bmp", "Keycap_Labels_Small.doc", "Keycap_Labels_Small.xls"};

struct WorkingFolders {
    std::filesystem::path area;         // <Documents>/Quorvane/KeyloomVKxx
    std::filesystem::path macroFiles;   // <area>/Macro_Files
    std::filesystem::path keycapLabels; // <area>/Keycap_Labels
    // One readable line (UTF-8) per folder that could not be made or sample that could not be
    // copied. The program reports them once and carries on with whatever exists.
    std::vector<std::string> problems;
};

// dataFolder is the folder of the shipped files: the program's own folder in a build folder,
// share/keyloomvkxx when installed.
// Finds or creates the documents area and its two folders under the user's or the shared
// Documents folder, as "My_Documents" in Location.ini in dataFolder chooses (missing: the
// user's). A folder that has to be created is filled with the samples shipped in
// <dataFolder>/Examples; a folder that already exists is left alone, so samples the user
// deleted stay deleted. Copies never replace a file; a missing sample is skipped. Failures end
// up in problems, never in an exception. When the chosen Documents folder is empty (unknown) the
// paths stay empty.
WorkingFolders PrepareWorkingFolders(const std::filesystem::path& userDocuments,
                                     const std::filesystem::path& sharedDocuments,
                                     const std::filesystem::path& dataFolder);

// The layout stored in the settings file of area: 24 when the file or the value is missing (or
// the file cannot be read, like a private-profile read, or is damaged: over 1 MB or binary data),
// 48 for any value other than 24 or 48.
int32_t ReadKeyCount(const std::filesystem::path& area);

// Stores keyCount in the settings file of area, creating the file; a damaged one is renamed to
// KeyloomVKxx.ini.damaged (or .damaged2, ...) first. Throws FileError when it cannot be written.
void WriteKeyCount(const std::filesystem::path& area, int32_t keyCount);

// Whether the keypad's keys show their descriptions: yes unless the settings file stores 0.
bool ReadShowKeyDescriptions(const std::filesystem::path& area);
// Stores it beside the layout. Throws FileError when the file cannot be written.
void WriteShowKeyDescriptions(const std::filesystem::path& area, bool shown);

} // namespace keyloom
