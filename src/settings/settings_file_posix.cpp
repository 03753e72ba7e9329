// The settings file through POSIX calls: O_NONBLOCK so that a FIFO never
// blocks an open, flock for the writers, fsync before and after the rename.

#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdio.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <utility>

namespace fs = std::filesystem;

namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    // Closes it now, reporting whether the close (the last chance for a write error) went well.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

std::string Reason(int error) { return std::strerror(error); }

// What a file that is no regular file is, for a message.
std::string NotRegular(mode_t mode) {
    if (S_ISDIR(mode)) return "is a folder, not a file";
    if (S_ISFIFO(mode)) return "is a FIFO, not a regular file";
    if (S_ISSOCK(mode)) return "is a socket, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a regular file";
    return "is not a regular file";
}

std::string TooLarge() {
    return "is larger than " + std::to_string(kMaxSettingsFileBytes >> 20) + " MiB, too large for a settings file";
}

// The whole of an open regular file, at most the limit; nothing when a read fails or it grew past the limit.
std::optional<std::string> ReadAll(int fd, std::string& problem) {
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            problem = "cannot be read: " + Reason(errno);
            return std::nullopt;
        }
        if (got == 0) return text;
        if (text.size() + size_t(got) > kMaxSettingsFileBytes) {
            problem = TooLarge();
            return std::nullopt;
        }
        text.append(buffer, size_t(got));
    }
}

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t put = ::write(fd, text.data(), text.size());
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        text.remove_prefix(size_t(put));
    }
    return true;
}

// The file a chain of symlinks ends at (itself when it is none).
std::optional<fs::path> FollowLinks(const fs::path& path) {
    fs::path target = path;
    std::error_code error;
    for (int hops = 0; fs::is_symlink(target, error); ++hops) {
        if (hops == 40) return std::nullopt;
        const fs::path link = fs::read_symlink(target, error);
        if (error) return std::nullopt;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return target;
}

// Flushes the folder that holds `file`, so that a rename in it lasts.
void FlushFolderOf(const fs::path& file) {
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.IsOpen()) ::fsync(fd.get());
}

// A new, empty file beside `target`, created exclusively: nothing of ours or
// anyone's is ever opened or replaced by mistake.
Descriptor CreateBeside(const fs::path& target, mode_t mode, fs::path& made) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        made = target;
        made += ".new-" + std::to_string(random() % 1000000000u);
        Descriptor fd(::open(made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (fd.IsOpen() || errno != EEXIST) return fd;
    }
    return Descriptor();
}

// Writes `text` into a new file beside `target` and flushes it; its name in
// `made`. With `like`, the new file takes that file's permissions and, where
// it may, its owner and group before it holds a byte; without, it is made as
// any new file. Nothing on success, else why not.
std::optional<std::string> WriteBeside(const fs::path& target, std::string_view text, const struct stat* like,
                                       fs::path& made) {
    Descriptor fd = CreateBeside(target, like ? like->st_mode & 0777 : 0666, made);
    if (!fd.IsOpen()) return "cannot make a file beside it: " + Reason(errno);
    bool written = true;
    if (like) {
        // The mode given to open was cut by the umask.
        written = ::fchmod(fd.get(), like->st_mode & 07777) == 0;
        // Root writing a user's file keeps it the user's; others cannot give files away.
        if (written && (like->st_uid != ::geteuid() || like->st_gid != ::getegid()))
            written = ::fchown(fd.get(), like->st_uid, like->st_gid) == 0 || ::geteuid() != 0;
    }
    written = written && WriteAll(fd.get(), text) && ::fsync(fd.get()) == 0;
    const int error = errno;
    written = fd.Close() && written;
    if (written) return std::nullopt;
    ::unlink(made.c_str());
    return Reason(error);  // "No space left on device" and the like say it all
}

// The target opened and locked, still the file its name names.
struct LockedFile {
    Descriptor fd;
    struct stat status {};
    bool created = false;  // an empty file made to hold the lock
};

// Waits up to ten seconds for the lock: another writer holds it for a moment only.
bool Lock(int fd) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::optional<std::string> OpenLocked(const fs::path& target, LockedFile& locked) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        struct stat before {};
        if (::stat(target.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) return NotRegular(before.st_mode);
        locked.created = false;
        Descriptor fd(::open(target.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
        if (!fd.IsOpen() && errno == ENOENT) {
            fd = Descriptor(::open(target.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NONBLOCK | O_CLOEXEC, 0666));
            locked.created = fd.IsOpen();
            if (!fd.IsOpen() && errno == EEXIST) continue;
            if (!fd.IsOpen()) return "cannot be made: " + Reason(errno);
        }
        if (!fd.IsOpen()) return errno == EACCES ? "is read-only" : "cannot be opened: " + Reason(errno);
        if (!Lock(fd.get())) return "is locked by another program";
        // A writer that held the lock before may have put a new file in its place.
        struct stat now {};
        if (::fstat(fd.get(), &locked.status) != 0) return "cannot be read: " + Reason(errno);
        if (::stat(target.c_str(), &now) != 0 || now.st_dev != locked.status.st_dev ||
            now.st_ino != locked.status.st_ino)
            continue;
        if (!S_ISREG(locked.status.st_mode)) return NotRegular(locked.status.st_mode);
        locked.fd = std::move(fd);
        return std::nullopt;
    }
    return "keeps changing under us";
}

}  // namespace

SettingsFileText ReadSettingsFile(const fs::path& path) {
    SettingsFileText file;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        if (errno == ENOENT) return file;
        file.status = SettingsFileText::kRefused;
        file.problem = errno == ENOTDIR ? "cannot be read: a part of its folder is a file"
                                        : "cannot be read: " + Reason(errno);
        return file;
    }
    file.status = SettingsFileText::kRefused;
    if (!S_ISREG(status.st_mode)) {
        file.problem = NotRegular(status.st_mode);
        return file;
    }
    if (std::uintmax_t(status.st_size) > kMaxSettingsFileBytes) {
        file.problem = TooLarge();
        return file;
    }
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (!fd.IsOpen() || ::fstat(fd.get(), &opened) != 0) {
        file.problem = "cannot be read: " + Reason(errno);
        return file;
    }
    if (!S_ISREG(opened.st_mode)) {  // swapped for something else since the look
        file.problem = NotRegular(opened.st_mode);
        return file;
    }
    if (std::optional<std::string> text = ReadAll(fd.get(), file.problem)) {
        file.status = SettingsFileText::kRead;
        file.text = std::move(*text);
    }
    return file;
}

std::optional<std::string> UpdateSettingsFile(const fs::path& path, const SettingsTextChange& change) {
    const std::optional<fs::path> target = FollowLinks(path);
    if (!target) return "is a link that cannot be followed";
    std::error_code error;
    if (target->has_parent_path() && !fs::is_directory(target->parent_path(), error)) {
        fs::create_directories(target->parent_path(), error);
        if (error) return "cannot be written: cannot make its folder: " + error.message();
    }

    LockedFile locked;
    if (std::optional<std::string> problem = OpenLocked(*target, locked)) return problem;
    // Nothing of ours is left behind: not the empty file made for the lock, nor a new file.
    auto forgetCreated = [&] {
        if (locked.created) ::unlink(target->c_str());
    };
    constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
    if ((locked.status.st_mode & kAnyWrite) == 0) return "is read-only";
    if (locked.status.st_nlink > 1)
        return "has " + std::to_string(locked.status.st_nlink) +
               " hard links, which a new file would part from it; it is left alone";

    std::string problem;
    const std::optional<std::string> now = ReadAll(locked.fd.get(), problem);
    if (!now) return problem;
    const std::optional<std::string> next = change(*now);
    if (!next || (*next == *now && !locked.created)) {
        forgetCreated();
        return std::nullopt;
    }
    fs::path made;
    if (std::optional<std::string> failure = WriteBeside(*target, *next, &locked.status, made)) {
        forgetCreated();
        return "cannot be written: " + *failure;
    }
    if (::rename(made.c_str(), target->c_str()) != 0) {
        const int renameError = errno;
        ::unlink(made.c_str());
        forgetCreated();
        return "cannot be replaced: " + Reason(renameError);
    }
    FlushFolderOf(*target);
    return std::nullopt;  // the lock goes with the old file's descriptor
}

std::optional<std::string> InstallFileOnce(const fs::path& source, const fs::path& target) {
    struct stat status {};
    if (::lstat(target.c_str(), &status) == 0) return std::nullopt;
    const SettingsFileText original = ReadSettingsFile(source);
    if (original.status != SettingsFileText::kRead)
        return "cannot copy " + source.string() + ", which " +
               (original.status == SettingsFileText::kMissing ? "is missing" : original.problem);
    std::error_code error;
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
    if (error) return "cannot make the folder " + target.parent_path().string() + ": " + error.message();

    fs::path made;
    if (std::optional<std::string> failure = WriteBeside(target, original.text, nullptr, made))
        return "cannot be made: " + *failure;
    // Never over a file that appeared meanwhile: that one is the user's and stays.
    bool placed = ::renameat2(AT_FDCWD, made.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0;
    int placeError = errno;
    if (!placed && (placeError == EINVAL || placeError == ENOSYS)) {  // a file system without it: a hard link
        placed = ::link(made.c_str(), target.c_str()) == 0;
        placeError = errno;
        ::unlink(made.c_str());
    } else if (!placed) {
        ::unlink(made.c_str());
    }
    if (!placed && placeError != EEXIST) return "cannot be made: " + Reason(placeError);
    FlushFolderOf(target);
    return std::nullopt;
}

bool IsSameFile(const fs::path& a, const fs::path& b) {
    struct stat first {}, second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}
