#include "files/AtomicFile.h"

#include "files/FileError.h"
#include "files/PathText.h"

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

namespace keyloom {

namespace fs = std::filesystem;

namespace {

// A name beside target that no other file uses; the leading dot keeps it out of sight in the
// file dialogs while it exists.
fs::path TemporaryPathFor(const fs::path& target) {
    std::random_device random;
    std::uniform_int_distribution<unsigned long long> digits;
    for (;;) {
        fs::path name = ".";
        name += target.filename();
        name += ".";
        name += std::to_string(digits(random));
        name += ".tmp";
        fs::path candidate = target;
        candidate.replace_filename(name);
        std::error_code error;
        if (!fs::exists(fs::symlink_status(candidate, error)))
            return candidate;
    }
}

// Writes bytes to a new file at path; the error text when that fails.
std::string WriteNewFile(const fs::path& path, std::string_view bytes) {
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    if (!stream)
        return "cannot create a file in the folder";
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    stream.flush();
    if (!stream)
        return "cannot write the data";
    stream.close();
    if (!stream)
        return "cannot write the data";
    return {};
}

} // namespace

void WriteFileAtomically(const fs::path& path, std::string_view bytes) {
    std::error_code error;
    // Replacing a link would cut it off from the file it names: write the file it names instead.
    fs::path target = path;
    if (fs::is_symlink(fs::symlink_status(path, error))) {
        target = fs::weakly_canonical(path, error);
        if (error)
            throw UnableToWrite(path, error.message());
    }

    const fs::file_status status = fs::status(target, error);
    const bool exists = fs::exists(status);
    if (exists && !fs::is_regular_file(status))
        throw UnableToWrite(path, "not a file");
    // A rename would replace a read-only file without asking; the user marked it so as not to.
    if (exists && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        throw UnableToWrite(path, "the file is read-only");

    const fs::path temporary = TemporaryPathFor(target);
    const auto fail = [&](const std::string& reason) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return UnableToWrite(path, reason);
    };

    if (std::string reason = WriteNewFile(temporary, bytes); !reason.empty())
        throw fail(reason);
    if (exists) {
        fs::permissions(temporary, status.permissions(), error);
        if (error)
            throw fail(error.message());
    }
    fs::rename(temporary, target, error);
    if (error)
        throw fail(error.message());
}

bool ReadWholeFile(const fs::path& path, std::string& bytes) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found)
        return false;
    if (error)
        throw FileError("Unable to read " + PathText(path) + " (" + error.message() + ")", path);
    if (!fs::is_regular_file(status))
        throw FileError("Unable to read " + PathText(path) + " (not a file)", path);

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
