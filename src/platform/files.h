// The few calls that saving and reading files need from the operating system, behind one
// seam: one implementation for POSIX systems, one for Windows, and in the tests one that
// fails any chosen call. Everything above it (staging beside the target, replacing a set of
// files together, the journal, rolling back, tidying up after an interrupted run) is the same
// code on every system. Descriptors are the C runtime's int handles on both; errors are errno
// values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zek::platform {

/// What stands at a path, links followed.
struct PathState {
    bool exists = false;
    bool regular = false;
    bool directory = false;
    bool writable = false;  ///< the user may write it, and it is not marked read-only
};

/// Where a save of `path` lands: links followed where they may be. `refusedLink` when a
/// link belongs to another user in a shared folder, else `error` on a failure.
struct LinkTarget {
    std::string path;
    int error = 0;
    bool refusedLink = false;
};

/// A descriptor from an open or a create, or the errno value that kept the call from one.
struct Opened {
    int descriptor = -1;
    int error = 0;
};

/// A file opened to read, and what it is.
struct OpenedToRead {
    int descriptor = -1;
    int error = 0;
    bool regular = false;
    bool directory = false;
};

/// The bytes a read gave: none at the end of the file; `error` when it failed.
struct ReadBytes {
    std::size_t count = 0;
    int error = 0;
};

/// A lock on an open file, without waiting: held, taken by another program, or not to be had
/// here (nobody to coordinate with).
enum class Lock { Held, Busy, Unavailable };
enum class LockKind { Exclusive, Shared };

/// The calls themselves. The program's own instance is stateless (`SystemFiles`); a test may
/// pass another to see what a failure of any one call leaves behind.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    virtual PathState StateOf(const std::string& path) const = 0;
    virtual LinkTarget FollowLinks(const std::string& path) const = 0;
    /// The descriptor that a name such as /dev/stdout or /proc/self/fd/1 stands for, which
    /// is written where it stands (a pipe, a terminal, or a file the shell opened).
    virtual std::optional<int> OpenDescriptorNamed(const std::string& path) const = 0;

    /// A new file that did not exist, for writing (EEXIST when the name is taken). Never
    /// follows a link.
    virtual Opened CreateNewFile(const std::string& path) const = 0;
    /// A new file in `folder` that has no name and so goes with the program, however it
    /// ends; an error where the system has no such files.
    virtual Opened CreateUnnamedFile(const std::string& folder) const = 0;
    /// A name by which another library can open the file at `descriptor` again; empty where
    /// there is none.
    virtual std::string NameOfOpenFile(int descriptor) const = 0;
    /// An existing file for writing, not emptied. A pipe that nobody reads is refused with
    /// ENXIO instead of being waited on.
    virtual Opened OpenToWrite(const std::string& path) const = 0;
    /// A file for reading, without waiting on a pipe nobody writes.
    virtual OpenedToRead OpenToRead(const std::string& path) const = 0;

    /// All of `size` bytes; 0 or the error.
    virtual int WriteAll(int descriptor, const char* data, std::size_t size) const = 0;
    /// Up to `size` bytes.
    virtual ReadBytes ReadSome(int descriptor, char* data, std::size_t size) const = 0;
    /// Moves the file position like lseek; -1 on a failure.
    virtual long long Seek(int descriptor, long long offset, int whence) const = 0;
    /// Makes sure the file has room for `size` bytes from its start, so that writing them
    /// cannot fail for want of space; 0 or the error (ENOSPC).
    virtual int Reserve(int descriptor, long long size) const = 0;
    /// Cuts the file to `size` bytes; 0 or the error.
    virtual int Truncate(int descriptor, long long size) const = 0;
    /// Asks the system to start putting the written bytes on the disk without waiting for
    /// them, so that `SyncToDisk` later finds them there or on their way. Only a hint.
    virtual void StartWritingOut(int descriptor) const = 0;
    /// Puts the written bytes on the disk; 0 or the error.
    virtual int SyncToDisk(int descriptor) const = 0;
    /// 0 or the error.
    virtual int CloseFile(int descriptor) const = 0;

    /// Gives the file at `descriptor` the permissions and, where the saver may, the owner of
    /// the file at `model`, so that a replaced file keeps them.
    virtual void TakePermissionsOf(int descriptor, const std::string& model) const = 0;

    /// Moves `from` to `to`, replacing a file there in one step; 0 or the error.
    virtual int MoveReplacing(const std::string& from, const std::string& to) const = 0;
    /// Removes a file; 0 or the error.
    virtual int RemoveFile(const std::string& path) const = 0;
    /// The names of the regular files in `folder` that belong to this user.
    virtual std::vector<std::string> OwnFilesIn(const std::string& folder) const = 0;

    /// A number that differs between programs running at once, for names of temporary files.
    virtual std::uint32_t ProcessNumber() const = 0;
    /// The longest file name the folder takes, and the longest path.
    virtual std::size_t LongestName(const std::string& folder) const = 0;
    virtual std::size_t LongestPath() const = 0;

    /// Opens or creates a lock file, never through a link.
    virtual Opened OpenLockFile(const std::string& path) const = 0;
    virtual Lock LockFile(int descriptor, LockKind kind) const = 0;
    /// Whether `descriptor` is still the file named `path` (a holder of the lock that
    /// finished may have removed the name between our open and our lock).
    virtual bool StillNamed(int descriptor, const std::string& path) const = 0;
    /// Gives up a held lock; with `remove` its file goes too, in the order that lets no
    /// other program lock a file that is about to lose its name.
    virtual void ReleaseLockFile(int descriptor, const std::string& path, bool remove) const = 0;
};

/// The operating system's calls.
const FileSystem& SystemFiles();

}  // namespace zek::platform
