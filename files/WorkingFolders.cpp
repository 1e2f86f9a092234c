#include "files/WorkingFolders.h"

#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/IniFile.h"
#include "files/PathText.h"
#include "files/TextEncoding.h"

#include <optional>
#include <string>
#include <system_error>
#include <utility>

namespace keyloom {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kConfigurationSection = "CONFIGURATION";

std::string Quoted(const fs::path& path) { return "\"" + PathText(path) + "\""; }

enum class FolderState { Existed, Created, Failed };

// What is created in the shared area is for the whole group of its users: folders group-writable
// and setgid (so that what is made inside belongs to the group as well), files group-writable.
// The umask of whoever happened to start the editor first must not lock the others out. Windows
// gives the Public Documents folder's rights to what is made inside it already.
void ShareWithTheGroup(const fs::path& item, bool folder) {
#ifndef _WIN32
    std::error_code ignored;
    fs::permissions(item,
                    folder ? fs::perms::group_all | fs::perms::set_gid : fs::perms::group_read | fs::perms::group_write,
                    fs::perm_options::add, ignored);
#else
    (void)item;
    (void)folder;
#endif
}

// A folder that is missing is created; anything else in its place is a problem, not a folder to
// fill.
FolderState MakeFolder(const fs::path& folder, bool withParents, bool shared, std::vector<std::string>& problems) {
    std::error_code error;
    const fs::file_status status = fs::status(folder, error);
    if (status.type() == fs::file_type::directory)
        return FolderState::Existed;
    if (status.type() != fs::file_type::not_found) {
        problems.push_back(error ? "Could not check the folder " + Quoted(folder) + ": " + error.message()
                                 : Quoted(folder) + " is a file, not a folder.");
        return FolderState::Failed;
    }
    error.clear();
    if (withParents)
        fs::create_directories(folder, error);
    else
        fs::create_directory(folder, error);
    if (error) {
        problems.push_back("Could not create the folder " + Quoted(folder) + ": " + error.message());
        return FolderState::Failed;
    }
    if (shared)
        ShareWithTheGroup(folder, true);
    return FolderState::Created;
}

template <std::size_t N>
void PrepareSampleFolder(const fs::path& folder, const fs::path& samples,
                         const std::array<std::string_view, N>& names, bool shared,
                         std::vector<std::string>& problems) {
    if (MakeFolder(folder, false, shared, problems) != FolderState::Created)
        return;
    for (std::string_view name : names) {
        const fs::path from = samples / name;
        const fs::path to = folder / name;
        std::error_code error;
        if (!fs::exists(from, error)) {
            if (error)
                problems.push_back("Could not read the sample " + Quoted(from) + ": " + error.message());
            continue;
        }
        // copy_options::none fails on an existing target: a file the user put there wins.
        fs::copy_file(from, to, fs::copy_options::none, error);
        if (error && error != std::errc::file_exists)
            problems.push_back("Could not copy " + Quoted(from) + " to " + Quoted(to) + ": " +
                               error.message());
        else if (!error && shared)
            ShareWithTheGroup(to, false);
    }
}

bool UsesUserDocuments(const fs::path& dataFolder, std::vector<std::string>& problems) {
    try {
        const IniFile location = IniFile::Load(dataFolder / kLocationFileName);
        return location.ReadInteger(kConfigurationSection, "My_Documents", 1) != 0;
    } catch (const FileError& error) {
        problems.push_back(std::string(error.what()) + "; using the user's Documents folder.");
        return true;
    }
}

} // namespace

WorkingFolders PrepareWorkingFolders(const fs::path& userDocuments, const fs::path& sharedDocuments,
                                     const fs::path& dataFolder) {
    WorkingFolders folders;
    const bool user = UsesUserDocuments(dataFolder, folders.problems);
    const fs::path& documents = user ? userDocuments : sharedDocuments;
    if (documents.empty()) {
        folders.problems.push_back(user ? "The user's Documents folder could not be determined."
                                        : "The shared Documents folder could not be determined.");
        return folders;
    }

    const fs::path maker = documents / "Quorvane";
    folders.area = maker / "KeyloomVKxx";
    folders.macroFiles = folders.area / "Macro_Files";
    folders.keycapLabels = folders.area / "Keycap_Labels";

    // A fresh account may have no Documents folder yet; below it, one level at a time. A level
    // that fails is reported once instead of once more for each folder beneath it.
    // The shared Documents folder itself is the administrator's, made as they chose.
    const bool shared = !user;
    if (MakeFolder(documents, true, false, folders.problems) == FolderState::Failed ||
        MakeFolder(maker, false, shared, folders.problems) == FolderState::Failed ||
        MakeFolder(folders.area, false, shared, folders.problems) == FolderState::Failed)
        return folders;

    const fs::path examples = dataFolder / "Examples";
    PrepareSampleFolder(folders.macroFiles, examples / "Macro_Files", kSampleMacroFiles, shared,
                        folders.problems);
    PrepareSampleFolder(folders.keycapLabels, examples / "Keycap_Labels", kKeycapLabelTemplates, shared,
                        folders.problems);
    return folders;
}

namespace {

// The settings file holds a few lines; one this large was not written by us, and reading it
// whole at every start would cost seconds and memory.
constexpr std::uintmax_t kMaxSettingsSize = 1u << 20;

// The settings file at path, or nothing when it is damaged: too large, or binary data (NUL bytes
// outside UTF-16 with its byte order mark). Missing reads as empty; throws FileError when it
// cannot be read.
std::optional<IniFile> LoadSettings(const fs::path& path) {
    std::error_code error;
    if (const std::uintmax_t size = fs::file_size(path, error); !error && size > kMaxSettingsSize)
        return std::nullopt;
    RecoverInterruptedSave(path);
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return IniFile{};
    const bool utf16 = DetectEncoding(bytes) == TextEncoding::Utf16LeBom;
    if (!utf16 && bytes.find('\0') != std::string::npos)
        return std::nullopt;
    return IniFile::FromBytes(std::move(bytes));
}

// A value of the settings file of area; nothing when the file or the value is missing or the file
// cannot be read, like a private-profile read, or is damaged.
std::optional<std::string> ReadSetting(const fs::path& area, const char* name) {
    if (area.empty())
        return std::nullopt;
    std::optional<IniFile> settings;
    try {
        settings = LoadSettings(area / kSettingsFileName);
    } catch (const FileError&) {
        return std::nullopt;
    }
    if (!settings)
        return std::nullopt;
    // A value never holds a line break, so this default tells a missing key from a damaged value.
    constexpr std::string_view kMissing = "\n";
    std::string value = settings->ReadString(kConfigurationSection, name, kMissing);
    if (value == kMissing)
        return std::nullopt;
    return value;
}

void WriteSetting(const fs::path& area, const char* name, int32_t value) {
    const fs::path path = area / kSettingsFileName;
    if (area.empty())
        throw UnableToWrite(path, "the documents area is unknown");
    std::optional<IniFile> settings = LoadSettings(path);
    if (!settings) {
        // A damaged file is set aside for whoever wants to look at it, never written over: under
        // the first free name of KeyloomVKxx.ini.damaged, .damaged2, ...
        fs::path aside = path;
        aside += ".damaged";
        std::error_code error;
        for (int n = 2; fs::exists(fs::symlink_status(aside, error)) && n < 100; ++n) {
            aside = path;
            aside += ".damaged" + std::to_string(n);
        }
        fs::rename(path, aside, error);
        if (error)
            throw UnableToWrite(path, "it is damaged and cannot be set aside: " + error.message());
        settings.emplace();
    }
    settings->WriteInteger(kConfigurationSection, name, value);
    settings->Save(path);
}

} // namespace

int32_t ReadKeyCount(const fs::path& area) {
    const std::optional<std::string> value = ReadSetting(area, "Number_of_Keys");
    if (!value)
        return 24;
    return ParseIniInteger(*value) == 24 ? 24 : 48;
}

void WriteKeyCount(const fs::path& area, int32_t keyCount) { WriteSetting(area, "Number_of_Keys", keyCount); }

bool ReadShowKeyDescriptions(const fs::path& area) {
    const std::optional<std::string> value = ReadSetting(area, "Show_Key_Descriptions");
    return !value || ParseIniInteger(*value) != 0;
}

void WriteShowKeyDescriptions(const fs::path& area, bool shown) {
    WriteSetting(area, "Show_Key_Descriptions", shown ? 1 : 0);
}

} // namespace keyloom
