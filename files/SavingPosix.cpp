#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/PathText.h"
#include "files/SavingSystem.h"

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
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
    Descriptor(Descriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
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

int CreatePrivate(const fs::path& file, mode_t mode) {
    return ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}

// Removes what a stopped save of ours left under that name. Another user's file, or a folder,
// stays: it is not ours to remove.
void RemoveOurLeftover(const fs::path& file) {
    struct stat status {};
    if (::lstat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid())
        ::unlink(file.c_str());
}

// A new file beside target, created with mode (never wider than the old file's): under the fixed
// name when that is free, else under a name of this process's own, so that what stands under the
// fixed name blocks nothing. file is set to the name used.
int CreateTemporary(const fs::path& target, mode_t mode, fs::path& file) {
    file = SideFileFor(target, kTemporarySuffix);
    int fd = CreatePrivate(file, mode);
    for (int n = 1; fd < 0 && errno == EEXIST && n <= 100; ++n) {
        file = SideFileFor(target, std::string(kTemporarySuffix) + "-" + std::to_string(::getpid()) + "-" +
                                       std::to_string(n));
        fd = CreatePrivate(file, mode);
    }
    return fd;
}

// What taking the lock came to.
enum class Locking { Held, Busy, Unsupported };

// Takes an exclusive lock on the file open at fd, waiting up to SaveLockWait for another save to
// let go of it. flock, not fcntl: the lock belongs to this open file, so closing another
// descriptor of the same file (a read of it, say) does not drop it.
Locking LockFile(int fd, const fs::path& target) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + SaveLockWait();
    bool waiting = false;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        // A file system without locks (some network ones) saves as before, unserialised.
        if (errno != EWOULDBLOCK)
            return Locking::Unsupported;
        if (!waiting) {
            ReportSaveStep(SaveStep::WaitingForLock, target);
            waiting = true;
        }
        if (Clock::now() >= deadline)
            return Locking::Busy;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return Locking::Held;
}

// Opens the file to lock it: for reading where we may, else for writing (a write-only file).
int OpenToLock(const fs::path& target) {
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    const int fd = ::open(target.c_str(), O_RDONLY | kFlags);
    return fd >= 0 || errno != EACCES ? fd : ::open(target.c_str(), O_WRONLY | kFlags);
}

// The mode a new file in folder gets: what the umask allows, and in a folder shared by a group
// (setgid and group-writable, as the shared documents area is) writable by the group too, so that
// the others of the group can save what one of them created.
mode_t NewFileMode(const fs::path& folder) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat status {};
    const bool shared = ::stat(folder.empty() ? "." : folder.c_str(), &status) == 0 && (status.st_mode & S_ISGID) &&
                        (status.st_mode & S_IWGRP);
    return (0666 & ~mask) | (shared ? S_IRGRP | S_IWGRP : 0);
}

// Through a temporary file renamed over the target: the usual case.
void SaveByRename(const fs::path& path, const fs::path& target, std::string_view bytes, const struct stat* old) {
    const mode_t finalMode = old ? old->st_mode & 07777 : NewFileMode(target.parent_path());
    fs::path temporary;
    Descriptor fd(CreateTemporary(target, old ? (old->st_mode & 0777) : 0600, temporary));
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
    ReportSaveStep(SaveStep::ReadyToReplace, target);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        throw fail(errno, "");
    FlushFolder(target.parent_path());
}

// Keeps a whole copy of old beside target, under kKeptSuffix: written under another name and
// renamed only once it is on the disk, so that a copy under that name is always whole and its
// presence alone says that the target may be half-rewritten. False where the folder takes no
// copy; throws when the disk is too full for it, leaving the target untouched.
bool KeepCopy(const fs::path& path, const fs::path& target, std::string_view old) {
    fs::path temporary;
    Descriptor copy(CreateTemporary(target, 0600, temporary));
    if (!copy.valid())
        return false;
    int error = WriteWhole(copy.get(), old);
    if (error == 0)
        error = copy.close();
    if (error != 0) {
        ::unlink(temporary.c_str());
        throw UnableToWrite(path, "cannot write the data: " + Reason(error));
    }
    if (::rename(temporary.c_str(), SideFileFor(target, kKeptSuffix).c_str()) != 0) {
        // A folder, say, stands under the name: no copy can be found there later.
        ::unlink(temporary.c_str());
        return false;
    }
    FlushFolder(target.parent_path());
    return true;
}

// The copy a stopped in-place save left beside target, when it is ours: another user's file
// under that name could be anything.
bool HasOurCopy(const fs::path& target) {
    struct stat status {};
    return ::lstat(SideFileFor(target, kKeptSuffix).c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           status.st_uid == ::geteuid();
}

// Puts back the contents a stopped in-place save kept beside target, then removes the copy. The
// caller holds the lock. Returns 0 or errno; the copy stays when anything fails.
int RestoreCopy(const fs::path& target) {
    const fs::path kept = SideFileFor(target, kKeptSuffix);
    std::string old;
    try {
        if (!ReadWholeFile(kept, old))
            return 0;
    } catch (const FileError&) {
        return EIO;
    }
    const Descriptor fd(::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid())
        return errno;
    if (const int error = WriteWhole(fd.get(), old))
        return error;
    ::unlink(kept.c_str());
    FlushFolder(target.parent_path());
    return 0;
}

// Why a file whose interrupted save cannot be undone is refused.
std::string UnrestoredReason(const fs::path& target, int error) {
    return "a save of it stopped half-way, and its earlier contents, kept in " + PathText(SideFileFor(target, kKeptSuffix)) +
           ", cannot be put back: " + Reason(error);
}

// Into the existing file, which keeps its owner, group, links and permissions. A whole copy of
// the old contents is on the disk beside it before the first byte changes, until the new ones
// are; a save killed in between is undone by the next open or save of the file.
void SaveInPlace(const fs::path& path, const fs::path& target, std::string_view bytes) {
    Descriptor fd(::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid())
        throw UnableToWrite(path, Reason(errno));
    std::string old;
    ReadWholeFile(target, old);

    // Where no file may be created beside the target, there is no room for the copy either, and
    // the rewrite goes ahead without one: only a crash during it can damage the file.
    const bool keeping = KeepCopy(path, target, old);
    ReportSaveStep(SaveStep::ReadyToReplace, target);

    const fs::path kept = SideFileFor(target, kKeptSuffix);
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

// The rest of a save, with the lock held on the file that old describes.
void SaveLockedFile(const fs::path& path, const fs::path& target, std::string_view bytes, const struct stat& old) {
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

// Locks the existing file at target for a save or a recovery: the descriptor holding the lock,
// with status set to what the name stands for now; an invalid descriptor when there is no file
// (errno ENOENT). Throws UnableToWrite(path, ...) on other failures.
Descriptor LockExisting(const fs::path& path, const fs::path& target, struct stat& status) {
    for (int tries = 0; tries < 100; ++tries) {
        if (::stat(target.c_str(), &status) != 0) {
            if (errno != ENOENT)
                throw UnableToWrite(path, Reason(errno));
            return Descriptor(-1);
        }
        // Checked before opening: a FIFO would block the open.
        if (!S_ISREG(status.st_mode))
            throw UnableToWrite(path, "not a file");
        Descriptor lock(OpenToLock(target));
        if (!lock.valid()) {
            if (errno == ENOENT)
                continue;
            throw UnableToWrite(path, Reason(errno));
        }
        if (LockFile(lock.get(), target) == Locking::Busy)
            throw UnableToWrite(path, kLockBusyReason);
        // A save that waited may find the name given to a new file by the save before it, and
        // locks that one in turn.
        struct stat locked {};
        if (::fstat(lock.get(), &locked) == 0 && ::stat(target.c_str(), &status) == 0 &&
            locked.st_dev == status.st_dev && locked.st_ino == status.st_ino)
            return lock;
    }
    throw UnableToWrite(path, kLockBusyReason);
}

} // namespace

void SaveFile(const fs::path& path, const fs::path& target, std::string_view bytes) {
    struct stat old {};
    const Descriptor lock = LockExisting(path, target, old);
    if (!lock.valid()) {
        // Nothing to lock: two saves creating one file each rename a whole file into place.
        SaveByRename(path, target, bytes, nullptr);
        return;
    }
    ReportSaveStep(SaveStep::Locked, target);
    // Only a save holding the lock may take away what an earlier one left: without it, the file
    // could be another save's, still being written.
    RemoveOurLeftover(SideFileFor(target, kTemporarySuffix));
    // What a stopped in-place save kept goes back first; a rename would otherwise leave the copy
    // lying there, and the rewrite below would take the damaged file for the old one.
    if (HasOurCopy(target)) {
        if (const int error = RestoreCopy(target))
            throw UnableToWrite(path, UnrestoredReason(target, error));
    }
    SaveLockedFile(path, target, bytes, old);
}

bool MayFollowLink(const fs::path& link) {
    struct stat status {}, folder {};
    const fs::path parent = link.parent_path().empty() ? fs::path(".") : link.parent_path();
    return ::lstat(link.c_str(), &status) == 0 &&
           (status.st_uid == ::geteuid() || (::stat(parent.c_str(), &folder) == 0 && folder.st_uid == status.st_uid));
}

void RecoverInterruptedSave(const fs::path& path, const fs::path& target) {
    if (!HasOurCopy(target))
        return;
    struct stat status {};
    Descriptor lock(-1);
    try {
        lock = LockExisting(path, target, status);
    } catch (const FileError&) {
        // The read that follows says what is wrong with the file.
        return;
    }
    // The save that kept the copy may have been running, and finished while this waited.
    if (lock.valid() && HasOurCopy(target)) {
        if (const int error = RestoreCopy(target))
            throw FileError(PathText(path) + " cannot be read now: " + UnrestoredReason(target, error), path);
    }
}

} // namespace keyloom
