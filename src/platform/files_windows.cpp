#include "platform/files.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cerrno>
#include <climits>

namespace zek::platform {

namespace {

// Names are UTF-8 inside the program and UTF-16 for Windows.
std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

int ErrnoOf(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
            return EACCES;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EBUSY;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return ENOENT;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS:
            return EEXIST;
        default:
            return EIO;
    }
}

// Binary, so that the C runtime never turns a line end into another; not inherited by
// programs this one starts.
Opened Open(const std::string& path, int flags) {
    int descriptor = -1;
    const errno_t result =
        ::_wsopen_s(&descriptor, Wide(path).c_str(), flags | _O_BINARY | _O_NOINHERIT, _SH_DENYNO,
                    _S_IREAD | _S_IWRITE);
    if (result != 0) return {-1, result};
    return {descriptor, 0};
}

class WindowsFiles final : public FileSystem {
  public:
    PathState StateOf(const std::string& path) const override {
        PathState state;
        struct _stat64 status {};
        if (::_wstat64(Wide(path).c_str(), &status) != 0) return state;
        state.exists = true;
        state.regular = (status.st_mode & _S_IFMT) == _S_IFREG;
        state.directory = (status.st_mode & _S_IFMT) == _S_IFDIR;
        state.writable = (status.st_mode & _S_IWRITE) != 0;
        return state;
    }

    // Links are rare on Windows and replacing one replaces the link; the name is taken as it
    // is.
    LinkTarget FollowLinks(const std::string& path) const override { return {path}; }

    std::optional<int> OpenDescriptorNamed(const std::string& /*path*/) const override {
        return std::nullopt;
    }

    Opened CreateNewFile(const std::string& path) const override {
        return Open(path, _O_WRONLY | _O_CREAT | _O_EXCL);
    }

    Opened CreateUnnamedFile(const std::string& /*folder*/) const override { return {-1, ENOSYS}; }

    std::string NameOfOpenFile(int /*descriptor*/) const override { return {}; }

    Opened OpenToWrite(const std::string& path) const override { return Open(path, _O_WRONLY); }

    OpenedToRead OpenToRead(const std::string& path) const override {
        if (StateOf(path).directory) return {-1, EISDIR, false, true};
        const Opened opened = Open(path, _O_RDONLY);
        if (opened.descriptor < 0) return {-1, opened.error};
        struct _stat64 status {};
        if (::_fstat64(opened.descriptor, &status) != 0) {
            const int error = errno;
            ::_close(opened.descriptor);
            return {-1, error};
        }
        return {opened.descriptor, 0, (status.st_mode & _S_IFMT) == _S_IFREG, false};
    }

    int WriteAll(int descriptor, const char* data, std::size_t size) const override {
        while (size > 0) {
            const auto piece = static_cast<unsigned int>(size < (1u << 30) ? size : (1u << 30));
            const int written = ::_write(descriptor, data, piece);
            if (written < 0) return errno;
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        return 0;
    }

    ReadBytes ReadSome(int descriptor, char* data, std::size_t size) const override {
        const auto piece = static_cast<unsigned int>(size < (1u << 30) ? size : (1u << 30));
        const int got = ::_read(descriptor, data, piece);
        if (got < 0) return {0, errno};
        return {static_cast<std::size_t>(got), 0};
    }

    long long Seek(int descriptor, long long offset, int whence) const override {
        return ::_lseeki64(descriptor, offset, whence);
    }

    // Windows allocates what a file is extended by, so extending it reserves the room; the
    // writer cuts it to its length at the end.
    int Reserve(int descriptor, long long size) const override {
        const long long current = ::_lseeki64(descriptor, 0, SEEK_END);
        if (current < 0) return errno;
        if (current >= size) return 0;
        return ::_chsize_s(descriptor, size);
    }

    int Truncate(int descriptor, long long size) const override {
        return ::_chsize_s(descriptor, size);
    }

    void StartWritingOut(int) const override {}

    int SyncToDisk(int descriptor) const override { return ::_commit(descriptor) == 0 ? 0 : errno; }

    int CloseFile(int descriptor) const override { return ::_close(descriptor) == 0 ? 0 : errno; }

    // A file that may be replaced is writable; Windows keeps no owner or mode to carry over.
    void TakePermissionsOf(int /*descriptor*/, const std::string& /*model*/) const override {}

    int MoveReplacing(const std::string& from, const std::string& to) const override {
        if (::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
            return 0;
        }
        return ErrnoOf(::GetLastError());
    }

    int RemoveFile(const std::string& path) const override {
        return ::_wunlink(Wide(path).c_str()) == 0 ? 0 : errno;
    }

    // Every file of a folder the user may list counts as the user's own here.
    std::vector<std::string> OwnFilesIn(const std::string& folder) const override {
        std::vector<std::string> names;
        WIN32_FIND_DATAW found{};
        const HANDLE search = ::FindFirstFileW(Wide(folder + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
            const int length = ::WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, nullptr, 0,
                                                     nullptr, nullptr);
            if (length <= 1) continue;
            std::string name(static_cast<std::size_t>(length - 1), '\0');
            ::WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, name.data(), length, nullptr,
                                  nullptr);
            names.push_back(std::move(name));
        } while (::FindNextFileW(search, &found) != 0);
        ::FindClose(search);
        return names;
    }

    std::uint32_t ProcessNumber() const override {
        return static_cast<std::uint32_t>(::GetCurrentProcessId());
    }

    std::size_t LongestName(const std::string& /*folder*/) const override { return 255; }

    std::size_t LongestPath() const override { return MAX_PATH; }

    Opened OpenLockFile(const std::string& path) const override {
        return Open(path, _O_RDWR | _O_CREAT);
    }

    Lock LockFile(int descriptor, LockKind kind) const override {
        const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
        OVERLAPPED start{};
        const DWORD flags =
            LOCKFILE_FAIL_IMMEDIATELY | (kind == LockKind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
        if (::LockFileEx(handle, flags, 0, 1, 0, &start) != 0) return Lock::Held;
        return ::GetLastError() == ERROR_LOCK_VIOLATION ? Lock::Busy : Lock::Unavailable;
    }

    // Windows removes no file that another program holds open, so the name cannot have gone.
    bool StillNamed(int /*descriptor*/, const std::string& /*path*/) const override { return true; }

    // Closed before it is removed: Windows removes no file that is open, and refuses while
    // another program holds it, which then keeps it.
    void ReleaseLockFile(int descriptor, const std::string& path, bool remove) const override {
        ::_close(descriptor);
        if (remove) ::_wunlink(Wide(path).c_str());
    }
};

}  // namespace

const FileSystem& SystemFiles() {
    static const WindowsFiles files;
    return files;
}

}  // namespace zek::platform
