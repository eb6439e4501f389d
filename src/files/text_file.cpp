#include "files/text_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>

namespace zek {

FileError::FileError(std::string path, const std::string& message)
    : std::runtime_error(message), path_(std::move(path)) {}

std::string LastSystemError() {
    const int error = errno;
    return error != 0 ? std::strerror(error) : std::strerror(EIO);
}

void WriteChecked(std::ostream& out, std::string_view text) {
    errno = 0;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) throw StreamError(LastSystemError());
}

void LineWriter::Flush() {
    WriteChecked(out_, buffer_);
    buffer_.clear();
}

namespace {

std::string SystemMessage(int error) {
    return std::strerror(error != 0 ? error : EIO);
}

// A stream buffer straight over a file descriptor that keeps the system's error of a failed
// write; the formats buffer their lines themselves.
class DescriptorBuffer final : public std::streambuf {
  public:
    explicit DescriptorBuffer(int descriptor) : descriptor_(descriptor) {}
    int error() const { return error_; }

  protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char single = traits_type::to_char_type(c);
        return WriteAll(&single, 1) ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* data, std::streamsize size) override {
        return WriteAll(data, size) ? size : 0;
    }

  private:
    bool WriteAll(const char* data, std::streamsize size) {
        while (size > 0) {
            const ssize_t written = ::write(descriptor_, data, static_cast<std::size_t>(size));
            if (written < 0) {
                if (errno == EINTR) continue;
                error_ = errno;
                return false;
            }
            data += written;
            size -= written;
        }
        return true;
    }

    int descriptor_;
    int error_ = 0;
};

// Closes the descriptor on every way out.
class Descriptor {
  public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    ~Descriptor() {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return descriptor_; }
    /// Closes now; the system's error, or 0.
    int Close() {
        const int result = ::close(descriptor_);
        descriptor_ = -1;
        return result == 0 ? 0 : errno;
    }

  private:
    int descriptor_;
};

// One file of a save on its way to its target.
struct StagedFile {
    std::string shownPath;  ///< as the user chose it, for messages
    std::string target;     ///< with the links that may be followed followed
    std::string temporary;  ///< empty when the file was written in place
    std::string backup;     ///< the earlier target while the files change places
    bool hadTarget = false;
};

[[noreturn]] void Fail(const std::string& shownPath, const char* verb, int error) {
    throw FileError(shownPath, std::string("Cannot ") + verb + " file \"" + shownPath +
                                   "\": " + SystemMessage(error));
}

[[noreturn]] void FailWith(const std::string& shownPath, const char* verb,
                           const std::string& reason) {
    throw FileError(shownPath,
                    std::string("Cannot ") + verb + " file \"" + shownPath + "\": " + reason);
}

std::filesystem::path FolderOf(const std::filesystem::path& path) {
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

// A name of our own beside a target: short and the same length whatever the target's name,
// so that a name the file system takes leaves room for it (".zek-3fa9c1d2.tmp").
std::string ShortName(const std::filesystem::path& folder, std::string_view suffix,
                      std::uint32_t number) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string name = ".zek-";
    for (int shift = 28; shift >= 0; shift -= 4) name += kDigits[(number >> shift) & 0xF];
    name += suffix;
    return (folder / name).string();
}

// Creates a file of our own beside `target`; its descriptor and name, or the system's error.
std::pair<int, std::string> CreateBeside(const std::filesystem::path& target,
                                         std::string_view suffix, int& error) {
    static std::atomic<std::uint32_t> counter{0};
    const std::filesystem::path folder = FolderOf(target);
    const auto seed = static_cast<std::uint32_t>(::getpid()) * 2654435761u;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string name = ShortName(folder, suffix, seed + counter++);
        const int descriptor =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (descriptor >= 0) return {descriptor, name};
        if (errno != EEXIST) {
            error = errno;
            return {-1, {}};
        }
    }
    error = EEXIST;
    return {-1, {}};
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

// The file a save lands in: links followed where they may be, live or dangling alike.
std::string ResolveTarget(const std::string& shownPath) {
    std::filesystem::path path = shownPath;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return path.string();
        }
        if (!MayFollow(path, status)) {
            FailWith(shownPath, "write",
                     "it is a link that another user placed in a shared folder");
        }
        std::array<char, 4096> buffer{};
        const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size() - 1);
        if (length < 0) Fail(shownPath, "write", errno);
        const std::filesystem::path next(
            std::string(buffer.data(), static_cast<std::size_t>(length)));
        path = next.is_absolute() ? next : FolderOf(path) / next;
    }
    Fail(shownPath, "write", ELOOP);
}

void WriteThrough(int descriptor, const PendingFile& file, bool syncToDisk) {
    DescriptorBuffer buffer(descriptor);
    std::ostream out(&buffer);
    try {
        file.write(out);
    } catch (const StreamError& error) {
        throw FileError(file.path, "Cannot write file \"" + file.path + "\": " + error.what());
    }
    out.flush();
    if (!out) Fail(file.path, "write", buffer.error());
    // A file that is to replace another must be on the disk before it takes its place.
    if (syncToDisk && ::fsync(descriptor) != 0) Fail(file.path, "write", errno);
}

// Every name of a set is checked before anything is written: a name the file system cannot
// take would otherwise fail after the first files had been replaced.
void CheckName(const std::string& shownPath) {
    const std::filesystem::path path = shownPath;
    long nameMax = ::pathconf(FolderOf(path).c_str(), _PC_NAME_MAX);
    if (nameMax <= 0) nameMax = 255;
    if (path.filename().string().size() > static_cast<std::size_t>(nameMax) ||
        shownPath.size() >= PATH_MAX) {
        Fail(shownPath, "create", ENAMETOOLONG);
    }
}

bool IsWritable(const std::string& target, const struct stat& status) {
    // Root may write anything; a file nobody may write is read-only for a save all the same.
    return (status.st_mode & 0222) != 0 && ::access(target.c_str(), W_OK) == 0;
}

void WriteInPlace(const std::string& target, const PendingFile& file, bool truncate) {
    Descriptor descriptor(::open(target.c_str(), O_WRONLY | O_CLOEXEC | (truncate ? O_TRUNC : 0)));
    if (descriptor.get() < 0) Fail(file.path, "write", errno);
    WriteThrough(descriptor.get(), file, false);
    if (const int error = descriptor.Close()) Fail(file.path, "write", error);
}

StagedFile Stage(const PendingFile& file) {
    StagedFile staged;
    staged.shownPath = file.path;
    staged.target = ResolveTarget(file.path);

    struct stat existing {};
    if (::stat(staged.target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) Fail(file.path, "create", EISDIR);
        if (!S_ISREG(existing.st_mode)) {
            // A device or a pipe has no folder to stand in; it takes the lines as they come.
            WriteInPlace(staged.target, file, true);
            return staged;
        }
        if (!IsWritable(staged.target, existing)) {
            FailWith(file.path, "replace", "the file is read-only");
        }
        staged.hadTarget = true;
    }
    int error = 0;
    auto [descriptor, name] = CreateBeside(staged.target, ".tmp", error);
    if (descriptor < 0) {
        // A folder that takes no new file may still hold a file of the user's that they may
        // write: it is written where it stands, as an editor would.
        if (staged.hadTarget && (error == EACCES || error == EPERM)) {
            WriteInPlace(staged.target, file, true);
            return staged;
        }
        Fail(file.path, "create", error);
    }
    staged.temporary = std::move(name);
    Descriptor temporary(descriptor);
    try {
        if (staged.hadTarget) {
            ::fchmod(temporary.get(), existing.st_mode & 07777);
            // The file keeps its owner where the saver may give it (root, or the same owner).
            if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
                [[maybe_unused]] const int ignored =
                    ::fchown(temporary.get(), existing.st_uid, existing.st_gid);
            }
        }
        WriteThrough(temporary.get(), file, true);
        if (const int closeError = temporary.Close()) Fail(file.path, "write", closeError);
    } catch (...) {
        ::unlink(staged.temporary.c_str());
        throw;
    }
    return staged;
}

void RemoveQuietly(const std::string& path) {
    if (!path.empty()) ::unlink(path.c_str());
}

// Puts back what the files before `failed` replaced.
void RollBack(std::vector<StagedFile>& staged, std::size_t failed) {
    for (std::size_t k = 0; k < failed; ++k) {
        StagedFile& file = staged[k];
        if (file.temporary.empty()) continue;
        if (file.hadTarget) {
            ::rename(file.backup.c_str(), file.target.c_str());
            file.backup.clear();
        } else {
            ::unlink(file.target.c_str());
        }
    }
}

// The earlier target steps aside to a backup name, the new file takes its place; should any
// step fail, every target gets its earlier file back.
void Commit(std::vector<StagedFile>& staged) {
    for (std::size_t k = 0; k < staged.size(); ++k) {
        StagedFile& file = staged[k];
        if (file.temporary.empty()) continue;
        if (file.hadTarget) {
            int error = 0;
            auto [descriptor, name] = CreateBeside(file.target, ".old", error);
            if (descriptor < 0) {
                RollBack(staged, k);
                Fail(file.shownPath, "replace", error);
            }
            ::close(descriptor);
            file.backup = std::move(name);
            if (::rename(file.target.c_str(), file.backup.c_str()) != 0) {
                error = errno;
                RemoveQuietly(file.backup);
                file.backup.clear();
                RollBack(staged, k);
                Fail(file.shownPath, "replace", error);
            }
        }
        if (::rename(file.temporary.c_str(), file.target.c_str()) != 0) {
            const int error = errno;
            if (file.hadTarget) ::rename(file.backup.c_str(), file.target.c_str());
            file.backup.clear();
            RollBack(staged, k);
            Fail(file.shownPath, "replace", error);
        }
        file.temporary.clear();
    }
    for (StagedFile& file : staged) RemoveQuietly(file.backup);
}

// While a set of files is replaced, a lock beside its first file tells another ZEK that is
// about to replace the same set to stand back; otherwise two saves of one name could leave
// the data of one beside the report of the other. The lock's name is as short as the
// temporary names and follows from the file's name.
class SetLock {
  public:
    explicit SetLock(const std::string& target, const std::string& shownPath) {
        std::uint32_t hash = 2166136261u;
        for (const char c : std::filesystem::path(target).filename().string()) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
        }
        path_ = ShortName(FolderOf(target), ".lock", hash);
        for (int attempt = 0; attempt < 10; ++attempt) {
            descriptor_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
            // Without a folder to hold the lock there is nobody to coordinate with here.
            if (descriptor_ < 0) return;
            if (::flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
                const int error = errno;
                ::close(descriptor_);
                descriptor_ = -1;
                if (error == EWOULDBLOCK) {
                    FailWith(shownPath, "write", "it is being written by another program");
                }
                return;
            }
            // The lock counts only while its file is still the one of that name: a holder
            // that finished may have removed it between our open and our lock.
            struct stat held {
            }, named{};
            if (::fstat(descriptor_, &held) == 0 && ::lstat(path_.c_str(), &named) == 0 &&
                held.st_ino == named.st_ino && held.st_dev == named.st_dev) {
                return;
            }
            ::close(descriptor_);
            descriptor_ = -1;
        }
    }
    ~SetLock() {
        if (descriptor_ < 0) return;
        ::unlink(path_.c_str());
        ::close(descriptor_);
    }
    SetLock(const SetLock&) = delete;
    SetLock& operator=(const SetLock&) = delete;

  private:
    std::string path_;
    int descriptor_ = -1;
};

}  // namespace

void WriteTextFilesTogether(const std::vector<PendingFile>& files) {
    if (files.empty()) return;
    for (const PendingFile& file : files) CheckName(file.path);
    const SetLock lock(ResolveTarget(files.front().path), files.front().path);
    std::vector<StagedFile> staged;
    staged.reserve(files.size());
    try {
        for (const PendingFile& file : files) staged.push_back(Stage(file));
        Commit(staged);
    } catch (...) {
        for (const StagedFile& file : staged) RemoveQuietly(file.temporary);
        throw;
    }
}

void WriteTextFile(const std::string& path, const std::function<void(std::ostream&)>& write) {
    WriteTextFilesTogether({PendingFile{path, write}});
}

std::vector<std::string> ReadLines(std::istream& in) {
    std::vector<std::string> lines;
    std::string line;
    errno = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        line.clear();
    }
    if (in.bad()) throw StreamError(LastSystemError());
    return lines;
}

namespace {

// A stream buffer that reads straight from a descriptor and can seek, so that a reader can
// measure what is left before it reads it.
class DescriptorInput final : public std::streambuf {
  public:
    explicit DescriptorInput(int descriptor) : descriptor_(descriptor) {}
    int error() const { return error_; }

  protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        while (true) {
            const ssize_t got = ::read(descriptor_, buffer_.data(), buffer_.size());
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) error_ = errno;
            if (got <= 0) return traits_type::eof();
            setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
            return traits_type::to_int_type(*gptr());
        }
    }
    pos_type seekoff(off_type offset, std::ios_base::seekdir direction,
                     std::ios_base::openmode) override {
        const int whence = direction == std::ios_base::beg   ? SEEK_SET
                           : direction == std::ios_base::cur ? SEEK_CUR
                                                             : SEEK_END;
        // The buffered characters have been read from the file but not yet from the stream.
        if (direction == std::ios_base::cur) offset -= egptr() - gptr();
        const off_t position = ::lseek(descriptor_, static_cast<off_t>(offset), whence);
        if (position < 0) return pos_type(off_type(-1));
        setg(buffer_.data(), buffer_.data(), buffer_.data());
        return pos_type(static_cast<off_type>(position));
    }
    pos_type seekpos(pos_type position, std::ios_base::openmode which) override {
        return seekoff(off_type(position), std::ios_base::beg, which);
    }

  private:
    int descriptor_;
    int error_ = 0;
    std::array<char, std::size_t{64} * 1024> buffer_{};
};

}  // namespace

void ReadTextFile(const std::string& path, const std::function<void(std::istream&)>& read) {
    // Opened without waiting, so that a pipe with nobody at its other end cannot hold the
    // program; only a regular file is read.
    Descriptor descriptor(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (descriptor.get() < 0) {
        throw FileError(path, "Cannot open file \"" + path + "\": " + SystemMessage(errno));
    }
    struct stat status {};
    if (::fstat(descriptor.get(), &status) != 0) {
        throw FileError(path, "Cannot open file \"" + path + "\": " + SystemMessage(errno));
    }
    if (!S_ISREG(status.st_mode)) {
        throw FileError(path, "Cannot open file \"" + path + "\": " +
                                  (S_ISDIR(status.st_mode) ? std::string("it is a folder")
                                                           : "it is not a regular file"));
    }
    ::fcntl(descriptor.get(), F_SETFL, ::fcntl(descriptor.get(), F_GETFL) & ~O_NONBLOCK);
    DescriptorInput buffer(descriptor.get());
    std::istream in(&buffer);
    try {
        read(in);
    } catch (const StreamError& error) {
        throw FileError(path, "Cannot read file \"" + path + "\": " + error.what());
    }
    if (buffer.error() != 0) {
        throw FileError(path,
                        "Cannot read file \"" + path + "\": " + SystemMessage(buffer.error()));
    }
}

}  // namespace zek
