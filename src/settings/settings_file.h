#pragma once
// The settings file on disk (Linux), read and replaced so that nothing is
// lost and nothing hangs: only a regular file of a sane size is read, and
// never waited on; a new text replaces the file whole, in one rename, under
// an advisory lock that every writer of ours takes.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Far above any real settings file (the default one is 10 KiB, a file of 99
// large records about 40 KiB); a larger file is refused, not read into memory.
inline constexpr std::uintmax_t kMaxSettingsFileBytes = std::uintmax_t{64} << 20;

struct SettingsFileText {
    enum Status { kRead, kMissing, kRefused } status = kMissing;
    std::string text;     // kRead: the whole file
    std::string problem;  // kRefused: what is wrong, to follow the file's name ("is a FIFO, not a regular file")
};

// Reads the file behind `path`, links followed. A folder, FIFO, socket or
// device is refused without being opened, and so is a file over the limit
// or one that cannot be read.
SettingsFileText ReadSettingsFile(const std::filesystem::path& path);

// Gets the file's text as it is now (empty for a missing file) and returns the
// new text, or nothing to leave the file as it is.
using SettingsTextChange = std::function<std::optional<std::string>(std::string_view now)>;

// Changes the file under an exclusive lock on the file itself, taken before
// the read and held past the rename, so that a second writer reads what the
// first one wrote. Links are followed to the file. The new text goes into a
// file created exclusively beside it with the old file's permissions, owner
// and group, flushed before the rename, and the folder is flushed after; the
// file's folder is made when missing. A file that is read-only, no regular
// file, or has other hard links (the rename would part them) is refused.
// Returns what went wrong, to follow the file's name; on any failure the
// file is as it was and no temporary file is left.
std::optional<std::string> UpdateSettingsFile(const std::filesystem::path& path, const SettingsTextChange& change);

// Copies `source` to `target` when no file is there, all or nothing: through
// a flushed temporary file in the target's folder (made when missing), moved
// into place only if no file has appeared there meanwhile. Nothing on
// success or when a file is there already, else what went wrong.
std::optional<std::string> InstallFileOnce(const std::filesystem::path& source, const std::filesystem::path& target);

// True when both paths name one existing file: the same device and inode,
// links followed, however each is spelled.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);
