// The few calls that saving and reading files need from the operating system, behind one
// seam: one implementation for POSIX systems, one for Windows. Everything above it (staging
// beside the target, replacing a set of files together, rolling back) is the same code on
// every system. Descriptors are the C runtime's int handles on both; errors are errno values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zek::platform {

/// What stands at a path, links followed.
struct PathState {
    bool exists = false;
    bool regular = false;
    bool directory = false;
    bool writable = false;  ///< the user may write it, and it is not marked read-only
};
PathState StateOf(const std::string& path);

/// Where a save of `path` lands: links followed where they may be. `refusedLink` when a
/// link belongs to another user in a shared folder, else `error` on a failure.
struct LinkTarget {
    std::string path;
    int error = 0;
    bool refusedLink = false;
};
LinkTarget FollowLinks(const std::string& path);

/// A new file that did not exist, for writing; -1 with `error` (EEXIST when the name is
/// taken). Never follows a link.
int CreateNewFile(const std::string& path, int& error);
/// An existing file for writing, emptied first when `truncate`; -1 with `error`.
int OpenToWrite(const std::string& path, bool truncate, int& error);
/// A file for reading, without waiting on a pipe nobody writes; -1 with `error`. `regular`
/// and `directory` say what was opened.
int OpenToRead(const std::string& path, int& error, bool& regular, bool& directory);

/// All of `size` bytes; false with `error`.
bool WriteAll(int descriptor, const char* data, std::size_t size, int& error);
/// Up to `size` bytes; 0 at the end, -1 with `error`.
long ReadSome(int descriptor, char* data, std::size_t size, int& error);
/// Moves the file position like lseek; -1 on a failure.
long long Seek(int descriptor, long long offset, int whence);
/// Asks the system to start putting the written bytes on the disk without waiting for them,
/// so that `SyncToDisk` later finds them there or on their way. Only a hint: nothing where
/// the system takes none.
void StartWritingOut(int descriptor);
/// Puts the written bytes on the disk; 0 or the error.
int SyncToDisk(int descriptor);
/// 0 or the error.
int CloseFile(int descriptor);

/// Gives the file at `descriptor` the permissions and, where the saver may, the owner of the
/// file at `model`, so that a replaced file keeps them.
void TakePermissionsOf(int descriptor, const std::string& model);

/// Moves `from` to `to`, replacing a file there in one step; 0 or the error.
int MoveReplacing(const std::string& from, const std::string& to);
/// Removes a file, quietly.
void RemoveFile(const std::string& path);

/// A number that differs between programs running at once, for names of temporary files.
std::uint32_t ProcessNumber();
/// The longest file name the folder takes, and the longest path.
std::size_t LongestName(const std::string& folder);
std::size_t LongestPath();

/// An exclusive lock on an open file, without waiting: held, taken by another program, or
/// not to be had here (nobody to coordinate with).
enum class Lock { Held, Busy, Unavailable };
Lock LockExclusively(int descriptor);
/// Whether `descriptor` is still the file named `path` (a holder of the lock that finished
/// may have removed the name between our open and our lock).
bool StillNamed(int descriptor, const std::string& path);
/// Opens or creates a lock file; -1 when there is none to be had.
int OpenLockFile(const std::string& path);

}  // namespace zek::platform
