#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/SavingSystem.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace keyloom {

namespace fs = std::filesystem;

namespace {

std::string Reason(int error) { return ReasonText(std::error_code(error, std::generic_category())); }

// Closes a descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now, for the error a late write may report; 0 or errno.
    int close() {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

// Writes bytes at offset, all of them; 0 or errno.
int WriteAll(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return 0;
}

// bytes become the whole file and are on the disk; 0 or errno.
int WriteWhole(int fd, std::string_view bytes) {
    if (const int error = WriteAll(fd, bytes, 0))
        return error;
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0)
        return errno;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// A rename or removal in folder reaches the disk only with the folder; some file systems cannot
// flush a folder, and the file's own data is already safe then.
void FlushFolder(const fs::path& folder) {
    const Descriptor fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get());
}

// A new file, readable by nobody else while it is written.
int CreatePrivate(const fs::path& file, mode_t mode) {
    // A file of that name is what a stopped save left behind.
    ::unlink(file.c_str());
    return ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Through a temporary file renamed over the target: the usual case.
void SaveByRename(const fs::path& path, const fs::path& target, std::string_view bytes, const struct stat* old) {
    const fs::path temporary = SideFileFor(target, kTemporarySuffix);
    const mode_t finalMode = old ? old->st_mode & 07777 : NewFileMode();
    Descriptor fd(CreatePrivate(temporary, old ? (old->st_mode & 0777) : 0600));
    if (!fd.valid())
        throw UnableToWrite(path, "cannot create a file in the folder: " + Reason(errno));
    const auto fail = [&](int error, const std::string& what) {
        ::unlink(temporary.c_str());
        return UnableToWrite(path, what + Reason(error));
    };
    if (const int error = WriteWhole(fd.get(), bytes))
        throw fail(error, "cannot write the data: ");
    // The umask may have narrowed the mode asked for at creation.
    if (::fchmod(fd.get(), finalMode) != 0)
        throw fail(errno, "");
    if (const int error = fd.close())
        throw fail(error, "cannot write the data: ");
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        throw fail(errno, "");
    FlushFolder(target.parent_path());
}

// Into the existing file, which keeps its owner, group, links and permissions; the old contents
// wait beside it until the new ones are on the disk.
void SaveInPlace(const fs::path& path, const fs::path& target, std::string_view bytes) {
    Descriptor fd(::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid())
        throw UnableToWrite(path, Reason(errno));
    std::string old;
    ReadWholeFile(target, old);

    // Where no file may be created beside the target, there is no room for the copy either.
    const fs::path kept = SideFileFor(target, kKeptSuffix);
    bool keeping = false;
    if (Descriptor copy(CreatePrivate(kept, 0600)); copy.valid()) {
        int error = WriteWhole(copy.get(), old);
        if (error == 0)
            error = copy.close();
        if (error != 0) {
            // A disk too full for the copy is too full for the risk: the target stays untouched.
            ::unlink(kept.c_str());
            throw UnableToWrite(path, "cannot write the data: " + Reason(error));
        }
        FlushFolder(target.parent_path());
        keeping = true;
    }

    if (const int error = WriteWhole(fd.get(), bytes)) {
        // Put the old contents back; when even that fails the copy beside stays for the user.
        if (WriteWhole(fd.get(), old) == 0 && keeping)
            ::unlink(kept.c_str());
        throw UnableToWrite(path, "cannot write the data: " + Reason(error));
    }
    if (keeping) {
        ::unlink(kept.c_str());
        FlushFolder(target.parent_path());
    }
}

} // namespace

void SaveFile(const fs::path& path, const fs::path& target, std::string_view bytes) {
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0) {
        if (errno != ENOENT)
            throw UnableToWrite(path, Reason(errno));
        SaveByRename(path, target, bytes, nullptr);
        return;
    }
    if (!S_ISREG(old.st_mode))
        throw UnableToWrite(path, "not a file");
    // A rename would replace a read-only file without asking; the user marked it so as not to.
    if ((old.st_mode & S_IWUSR) == 0)
        throw UnableToWrite(path, "the file is read-only");
    // Whether the folder lets us replace the file does not matter: the file's own rights do.
    if (::access(target.c_str(), W_OK) != 0)
        throw UnableToWrite(path, Reason(errno));

    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    struct stat folderStatus {};
    const bool canCreate = ::stat(folder.c_str(), &folderStatus) == 0 && ::access(folder.c_str(), W_OK | X_OK) == 0;
    // The group a new file in this folder gets.
    const gid_t newGroup = canCreate && (folderStatus.st_mode & S_ISGID) ? folderStatus.st_gid : ::getegid();
    const bool keepsIdentity = canCreate && old.st_uid == ::geteuid() && old.st_gid == newGroup && old.st_nlink == 1;
    if (keepsIdentity)
        SaveByRename(path, target, bytes, &old);
    else
        SaveInPlace(path, target, bytes);
}

} // namespace keyloom
