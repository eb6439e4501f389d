#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <string>
#include <string_view>

namespace zek::platform {

namespace {

// What an open that returned `descriptor` gave, with errno read at once.
Opened OpenedBy(int descriptor) {
    return descriptor < 0 ? Opened{-1, errno} : Opened{descriptor, 0};
}

std::filesystem::path FolderOf(const std::filesystem::path& path) {
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

// The kernel's rule for links in shared folders (protected_symlinks): a link in a folder that
// is sticky and writable by all is followed only when it belongs to the saver or to the
// folder's owner, so that nobody can plant a link that sends a save over another's file.
bool MayFollow(const std::filesystem::path& link, const struct stat& linkStatus) {
    struct stat folder {};
    if (::stat(FolderOf(link).c_str(), &folder) != 0) return false;
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || linkStatus.st_uid == ::geteuid() || linkStatus.st_uid == folder.st_uid;
}

// The names by which a program reaches the descriptors it was started with.
std::optional<int> DescriptorNumberIn(std::string_view path) {
    if (path == "/dev/stdout") return 1;
    if (path == "/dev/stderr") return 2;
    for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (path.substr(0, prefix.size()) != prefix) continue;
        const std::string_view digits = path.substr(prefix.size());
        if (digits.empty() || digits.size() > 6) return std::nullopt;
        int number = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9') return std::nullopt;
            number = number * 10 + (c - '0');
        }
        return number;
    }
    return std::nullopt;
}

class PosixFiles final : public FileSystem {
  public:
    PathState StateOf(const std::string& path) const override {
        PathState state;
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0) return state;
        state.exists = true;
        state.regular = S_ISREG(status.st_mode);
        state.directory = S_ISDIR(status.st_mode);
        // Root may write anything; a file nobody may write is read-only for a save all the
        // same.
        state.writable = (status.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
        return state;
    }

    LinkTarget FollowLinks(const std::string& path) const override {
        std::filesystem::path current = path;
        for (int hop = 0; hop < 40; ++hop) {
            struct stat status {};
            if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
                return {current.string()};
            }
            if (!MayFollow(current, status)) return {{}, 0, true};
            std::array<char, 4096> buffer{};
            const ssize_t length = ::readlink(current.c_str(), buffer.data(), buffer.size() - 1);
            if (length < 0) return {{}, errno};
            const std::filesystem::path next(
                std::string(buffer.data(), static_cast<std::size_t>(length)));
            current = next.is_absolute() ? next : FolderOf(current) / next;
        }
        return {{}, ELOOP};
    }

    std::optional<int> OpenDescriptorNamed(const std::string& path) const override {
        const std::optional<int> number = DescriptorNumberIn(path);
        if (!number || ::fcntl(*number, F_GETFD) < 0) return std::nullopt;
        return number;
    }

    Opened CreateNewFile(const std::string& path) const override {
        return OpenedBy(
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
    }

    Opened CreateUnnamedFile(const std::string& folder) const override {
#if defined(O_TMPFILE)
        return OpenedBy(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
#else
        static_cast<void>(folder);
        return {-1, EOPNOTSUPP};
#endif
    }

    std::string NameOfOpenFile(int descriptor) const override {
#if defined(__linux__)
        return "/proc/self/fd/" + std::to_string(descriptor);
#else
        static_cast<void>(descriptor);
        return {};
#endif
    }

    Opened OpenToWrite(const std::string& path) const override {
        // Opened without waiting, so that a pipe with nobody at its other end is refused
        // (ENXIO) rather than holding the program for ever; the writes then wait as usual.
        const int descriptor = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        if (descriptor < 0) return {-1, errno};
        ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
        return {descriptor, 0};
    }

    OpenedToRead OpenToRead(const std::string& path) const override {
        // Opened without waiting, so that a pipe with nobody at its other end cannot hold the
        // program; the caller reads only a regular file.
        const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0) return {-1, errno};
        struct stat status {};
        if (::fstat(descriptor, &status) != 0) {
            const int error = errno;
            ::close(descriptor);
            return {-1, error};
        }
        ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
        return {descriptor, 0, S_ISREG(status.st_mode), S_ISDIR(status.st_mode)};
    }

    int WriteAll(int descriptor, const char* data, std::size_t size) const override {
        while (size > 0) {
            const ssize_t written = ::write(descriptor, data, size);
            if (written < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        return 0;
    }

    ReadBytes ReadSome(int descriptor, char* data, std::size_t size) const override {
        while (true) {
            const ssize_t got = ::read(descriptor, data, size);
            if (got >= 0) return {static_cast<std::size_t>(got), 0};
            if (errno != EINTR) return {0, errno};
        }
    }

    long long Seek(int descriptor, long long offset, int whence) const override {
        return static_cast<long long>(::lseek(descriptor, static_cast<off_t>(offset), whence));
    }

    int Reserve(int descriptor, long long size) const override {
        if (size <= 0) return 0;
        const int error = ::posix_fallocate(descriptor, 0, static_cast<off_t>(size));
        if (error != EOPNOTSUPP && error != EINVAL) return error;
        // A file system that reserves no room is asked how much it has left.
        struct stat status {};
        struct statvfs space {};
        if (::fstat(descriptor, &status) != 0 || ::fstatvfs(descriptor, &space) != 0) {
            return errno;
        }
        const auto available =
            static_cast<long long>(space.f_bavail) * static_cast<long long>(space.f_frsize);
        return size - static_cast<long long>(status.st_size) <= available ? 0 : ENOSPC;
    }

    int Truncate(int descriptor, long long size) const override {
        return ::ftruncate(descriptor, static_cast<off_t>(size)) == 0 ? 0 : errno;
    }

    void StartWritingOut(int descriptor) const override {
#if defined(__linux__)
        // The whole file, its pages queued for writing; any error shows again at the sync.
        ::sync_file_range(descriptor, 0, 0, SYNC_FILE_RANGE_WRITE);
#else
        static_cast<void>(descriptor);
#endif
    }

    int SyncToDisk(int descriptor) const override {
        return ::fsync(descriptor) == 0 ? 0 : errno;
    }

    int CloseFile(int descriptor) const override {
        return ::close(descriptor) == 0 ? 0 : errno;
    }

    void TakePermissionsOf(int descriptor, const std::string& model) const override {
        struct stat existing {};
        if (::stat(model.c_str(), &existing) != 0) return;
        ::fchmod(descriptor, existing.st_mode & 07777);
        // The file keeps its owner where the saver may give it (root, or the same owner).
        if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
            [[maybe_unused]] const int ignored =
                ::fchown(descriptor, existing.st_uid, existing.st_gid);
        }
    }

    int MoveReplacing(const std::string& from, const std::string& to) const override {
        return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    }

    int RemoveFile(const std::string& path) const override {
        return ::unlink(path.c_str()) == 0 ? 0 : errno;
    }

    std::vector<std::string> OwnFilesIn(const std::string& folder) const override {
        std::vector<std::string> names;
        DIR* listing = ::opendir(folder.c_str());
        if (listing == nullptr) return names;
        const uid_t user = ::geteuid();
        while (const dirent* entry = ::readdir(listing)) {
            struct stat status {};
            if (::fstatat(::dirfd(listing), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(status.st_mode) && status.st_uid == user) {
                names.emplace_back(entry->d_name);
            }
        }
        ::closedir(listing);
        return names;
    }

    std::uint32_t ProcessNumber() const override {
        return static_cast<std::uint32_t>(::getpid());
    }

    std::size_t LongestName(const std::string& folder) const override {
        const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
        return longest > 0 ? static_cast<std::size_t>(longest) : 255;
    }

    std::size_t LongestPath() const override {
        return PATH_MAX;
    }

    Opened OpenLockFile(const std::string& path) const override {
        return OpenedBy(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    }

    Lock LockFile(int descriptor, LockKind kind) const override {
        const int operation = kind == LockKind::Exclusive ? LOCK_EX : LOCK_SH;
        if (::flock(descriptor, operation | LOCK_NB) == 0) return Lock::Held;
        return errno == EWOULDBLOCK ? Lock::Busy : Lock::Unavailable;
    }

    bool StillNamed(int descriptor, const std::string& path) const override {
        struct stat held {
        }, named{};
        return ::fstat(descriptor, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
               held.st_ino == named.st_ino && held.st_dev == named.st_dev;
    }

    // The name goes while the lock is still held: a program that opens it afterwards creates
    // a fresh file, and one that opened it before finds, once it has the lock, that its file
    // is no longer the one of that name.
    void ReleaseLockFile(int descriptor, const std::string& path, bool remove) const override {
        if (remove) ::unlink(path.c_str());
        ::close(descriptor);
    }
};

}  // namespace

const FileSystem& SystemFiles() {
    static const PosixFiles files;
    return files;
}

}  // namespace zek::platform
