#include "files/AtomicFile.h"

#include "files/FileError.h"
#include "files/PathText.h"
#include "files/SavingSystem.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <system_error>
#include <utility>

namespace keyloom {

namespace fs = std::filesystem;

namespace {

// Names longer than this many characters (bytes on POSIX, UTF-16 units on Windows) are refused
// by the usual file systems.
constexpr std::size_t kNameLimit = 255;
constexpr int kMaxLinks = 40;

SaveStepHook& StepHook() {
    static SaveStepHook hook;
    return hook;
}

std::chrono::milliseconds& LockWait() {
    static std::chrono::milliseconds wait = kSaveLockWait;
    return wait;
}

} // namespace

void SetSaveHooksForTests(SaveStepHook hook, std::chrono::milliseconds wait) {
    StepHook() = std::move(hook);
    LockWait() = wait;
}

void ReportSaveStep(SaveStep step, const fs::path& target) {
    if (StepHook())
        StepHook()(step, target);
}

std::chrono::milliseconds SaveLockWait() { return LockWait(); }

fs::path SideFileFor(const fs::path& target, std::string_view suffix) {
    using Char = fs::path::value_type;
    const fs::path::string_type name = target.filename().native();
    fs::path::string_type side(1, Char('.'));
    const std::size_t room = kNameLimit - 1 - suffix.size();
    if (name.size() <= room) {
        side += name;
    } else {
        // FNV-1a over the whole name keeps two long names with the same start apart.
        uint64_t hash = 14695981039346656037ull;
        for (Char c : name)
            hash = (hash ^ static_cast<uint64_t>(c)) * 1099511628211ull;
        static constexpr char kDigits[] = "0123456789abcdef";
        fs::path::string_type tail(1, Char('~'));
        for (int shift = 60; shift >= 0; shift -= 4)
            tail += Char(kDigits[(hash >> shift) & 0xF]);
        side += name.substr(0, room - tail.size());
        side += tail;
    }
    for (char c : suffix)
        side += Char(c);
    fs::path result = target;
    result.replace_filename(side);
    return result;
}

namespace {

// The file a chain of links at path ends in, even when it names nothing yet.
fs::path FollowLinks(const fs::path& path) {
    fs::path target = path;
    for (int links = 0;; ++links) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(target, error);
        if (!fs::is_symlink(status))
            return target;
        if (links == kMaxLinks)
            throw UnableToWrite(path, "too many levels of symbolic links");
        if (!MayFollowLink(target))
            throw UnableToWrite(path, PathText(target) + " is a link that another user made");
        const fs::path named = fs::read_symlink(target, error);
        if (error)
            throw UnableToWrite(path, ReasonText(error));
        target = named.is_absolute() ? named : target.parent_path() / named;
    }
}

} // namespace

void WriteFileAtomically(const fs::path& path, std::string_view bytes) {
    // A link is not replaced but followed.
    SaveFile(path, FollowLinks(path), bytes);
}

void RecoverInterruptedSave(const fs::path& path) {
    fs::path target;
    try {
        target = FollowLinks(path);
    } catch (const FileError&) {
        // The read that follows says what is wrong.
        return;
    }
    RecoverInterruptedSave(path, target);
}

std::string ReasonText(const std::error_code& error) {
    std::string text = error.message();
    // Windows' messages end in a full stop and a line break; ours go inside parentheses.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.' || text.back() == ' '))
        text.pop_back();
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' && !(text.size() > 1 && text[1] >= 'A' && text[1] <= 'Z'))
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

bool ReadWholeFile(const fs::path& path, std::string& bytes) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found)
        return false;
    if (error)
        throw FileError("Unable to read " + PathText(path) + " (" + error.message() + ")", path);
    // Checked before opening: a FIFO would block the reader until something writes into it.
    if (fs::is_directory(status))
        throw FileError("Unable to read " + PathText(path) + " (a folder, not a file)", path);
    if (!fs::is_regular_file(status))
        throw FileError("Unable to read " + PathText(path) + " (not a regular file)", path);

    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        throw FileError("Unable to read " + PathText(path), path);
    // One read of the whole file; the size is only a first guess if the file is growing.
    bytes.resize(static_cast<std::size_t>(fs::file_size(path, error)));
    stream.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(stream.gcount()));
    if (stream.bad())
        throw FileError("Unable to read " + PathText(path), path);
    return true;
}

} // namespace keyloom
