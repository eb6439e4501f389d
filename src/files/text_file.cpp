#include "files/text_file.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <istream>
#include <ostream>
#include <system_error>
#include <utility>

#include "files/platform_files.h"

namespace zek {

FileError::FileError(std::string path, const std::string& message)
    : std::runtime_error(message), path_(std::move(path)) {}

// The category's message, unlike strerror, is safe on several threads at once.
std::string LastSystemError() {
    const int error = errno;
    return std::generic_category().message(error != 0 ? error : EIO);
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
    return std::generic_category().message(error != 0 ? error : EIO);
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
        return platform::WriteAll(descriptor_, data, static_cast<std::size_t>(size), error_);
    }

    int descriptor_;
    int error_ = 0;
};

// Closes the descriptor on every way out.
class Descriptor {
  public:
    explicit Descriptor(int descriptor = -1) : descriptor_(descriptor) {}
    ~Descriptor() {
        if (descriptor_ >= 0) platform::CloseFile(descriptor_);
    }
    Descriptor(Descriptor&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(descriptor_, other.descriptor_);
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return descriptor_; }
    /// Closes now; the system's error, or 0.
    int Close() {
        const int error = platform::CloseFile(descriptor_);
        descriptor_ = -1;
        return error;
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
    bool replaced = false;  ///< the new file stands at the target
    Descriptor written;     ///< the temporary file, open until it is on the disk
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

// Creates a file of our own in `folder`; its descriptor and name, or the system's error.
std::pair<int, std::string> CreateIn(const std::filesystem::path& folder, std::string_view suffix,
                                     int& error) {
    static std::atomic<std::uint32_t> counter{0};
    const std::uint32_t seed = platform::ProcessNumber() * 2654435761u;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string name = ShortName(folder, suffix, seed + counter++);
        const int descriptor = platform::CreateNewFile(name, error);
        if (descriptor >= 0) return {descriptor, name};
        if (error != EEXIST) return {-1, {}};
    }
    error = EEXIST;
    return {-1, {}};
}

std::pair<int, std::string> CreateBeside(const std::filesystem::path& target,
                                         std::string_view suffix, int& error) {
    return CreateIn(FolderOf(target), suffix, error);
}

// The file a save lands in: links followed where they may be, live or dangling alike.
std::string ResolveTarget(const std::string& shownPath) {
    const platform::LinkTarget target = platform::FollowLinks(shownPath);
    if (target.refusedLink) {
        FailWith(shownPath, "write", "it is a link that another user placed in a shared folder");
    }
    if (target.error != 0) Fail(shownPath, "write", target.error);
    return target.path;
}

void WriteThrough(int descriptor, const PendingFile& file) {
    DescriptorBuffer buffer(descriptor);
    std::ostream out(&buffer);
    try {
        file.write(out);
    } catch (const StreamError& error) {
        throw FileError(file.path, "Cannot write file \"" + file.path + "\": " + error.what());
    }
    out.flush();
    if (!out) Fail(file.path, "write", buffer.error());
}

// Every name of a set is checked before anything is written: a name the file system cannot
// take would otherwise fail after the first files had been replaced.
void CheckName(const std::string& shownPath) {
    const std::filesystem::path path = shownPath;
    if (path.filename().string().size() > platform::LongestName(FolderOf(path).string()) ||
        shownPath.size() >= platform::LongestPath()) {
        Fail(shownPath, "create", ENAMETOOLONG);
    }
}

void WriteInPlace(const std::string& target, const PendingFile& file, bool truncate) {
    int error = 0;
    Descriptor descriptor(platform::OpenToWrite(target, truncate, error));
    if (descriptor.get() < 0) Fail(file.path, "write", error);
    WriteThrough(descriptor.get(), file);
    if (const int closeError = descriptor.Close()) Fail(file.path, "write", closeError);
}

StagedFile Stage(const PendingFile& file) {
    StagedFile staged;
    staged.shownPath = file.path;
    staged.target = ResolveTarget(file.path);

    const platform::PathState existing = platform::StateOf(staged.target);
    if (existing.exists) {
        if (existing.directory) Fail(file.path, "create", EISDIR);
        if (!existing.regular) {
            // A device or a pipe has no folder to stand in; it takes the lines as they come.
            WriteInPlace(staged.target, file, true);
            return staged;
        }
        if (!existing.writable) FailWith(file.path, "replace", "the file is read-only");
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
        if (staged.hadTarget) platform::TakePermissionsOf(temporary.get(), staged.target);
        WriteThrough(temporary.get(), file);
    } catch (...) {
        // Closed before it is removed: Windows removes no file that is open.
        temporary.Close();
        platform::RemoveFile(staged.temporary);
        throw;
    }
    platform::StartWritingOut(temporary.get());
    staged.written = std::move(temporary);
    return staged;
}

// A file that is to replace another must be on the disk before it takes its place. Every file
// of the set is written before the first is waited for, so that the disk takes them all at
// once rather than one after another.
void PutOnDisk(std::vector<StagedFile>& staged) {
    for (StagedFile& file : staged) {
        if (file.written.get() < 0) continue;
        if (const int error = platform::SyncToDisk(file.written.get())) {
            Fail(file.shownPath, "write", error);
        }
        if (const int error = file.written.Close()) Fail(file.shownPath, "write", error);
    }
}

void RemoveQuietly(const std::string& path) {
    if (!path.empty()) platform::RemoveFile(path);
}

// Puts back what the files before `failed` replaced.
void RollBack(std::vector<StagedFile>& staged, std::size_t failed) {
    for (std::size_t k = 0; k < failed; ++k) {
        StagedFile& file = staged[k];
        if (!file.replaced) continue;
        if (file.hadTarget) {
            platform::MoveReplacing(file.backup, file.target);
            file.backup.clear();
        } else {
            platform::RemoveFile(file.target);
        }
        file.replaced = false;
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
            platform::CloseFile(descriptor);
            file.backup = std::move(name);
            if ((error = platform::MoveReplacing(file.target, file.backup)) != 0) {
                RemoveQuietly(file.backup);
                file.backup.clear();
                RollBack(staged, k);
                Fail(file.shownPath, "replace", error);
            }
        }
        if (const int error = platform::MoveReplacing(file.temporary, file.target)) {
            if (file.hadTarget) platform::MoveReplacing(file.backup, file.target);
            file.backup.clear();
            RollBack(staged, k);
            Fail(file.shownPath, "replace", error);
        }
        file.temporary.clear();
        file.replaced = true;
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
            descriptor_ = platform::OpenLockFile(path_);
            // Without a folder to hold the lock there is nobody to coordinate with here.
            if (descriptor_ < 0) return;
            const platform::Lock lock = platform::LockExclusively(descriptor_);
            if (lock != platform::Lock::Held) {
                platform::CloseFile(descriptor_);
                descriptor_ = -1;
                if (lock == platform::Lock::Busy) {
                    FailWith(shownPath, "write", "it is being written by another program");
                }
                return;
            }
            // The lock counts only while its file is still the one of that name: a holder
            // that finished may have removed it between our open and our lock.
            if (platform::StillNamed(descriptor_, path_)) return;
            platform::CloseFile(descriptor_);
            descriptor_ = -1;
        }
    }
    ~SetLock() {
        if (descriptor_ < 0) return;
        // Closed before it is removed: Windows removes no file that is open.
        platform::CloseFile(descriptor_);
        platform::RemoveFile(path_);
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
        PutOnDisk(staged);
        Commit(staged);
    } catch (...) {
        for (StagedFile& file : staged) {
            // Closed before it is removed: Windows removes no file that is open.
            if (file.written.get() >= 0) file.written.Close();
            RemoveQuietly(file.temporary);
        }
        throw;
    }
}

std::optional<std::string> CreateOwnFileIn(const std::string& folder, std::string_view suffix) {
    int error = 0;
    auto [descriptor, name] = CreateIn(folder, suffix, error);
    if (descriptor < 0) return std::nullopt;
    platform::CloseFile(descriptor);
    return std::move(name);
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
        const long got = platform::ReadSome(descriptor_, buffer_.data(), buffer_.size(), error_);
        if (got <= 0) return traits_type::eof();
        setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
        return traits_type::to_int_type(*gptr());
    }
    pos_type seekoff(off_type offset, std::ios_base::seekdir direction,
                     std::ios_base::openmode) override {
        const int whence = direction == std::ios_base::beg   ? SEEK_SET
                           : direction == std::ios_base::cur ? SEEK_CUR
                                                             : SEEK_END;
        // The buffered characters have been read from the file but not yet from the stream.
        if (direction == std::ios_base::cur) offset -= egptr() - gptr();
        const long long position = platform::Seek(descriptor_, offset, whence);
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
    int openError = 0;
    bool regular = false;
    bool directory = false;
    Descriptor descriptor(platform::OpenToRead(path, openError, regular, directory));
    if (descriptor.get() < 0) {
        throw FileError(path, "Cannot open file \"" + path + "\": " + SystemMessage(openError));
    }
    if (!regular) {
        throw FileError(
            path, "Cannot open file \"" + path + "\": " +
                      (directory ? std::string("it is a folder") : "it is not a regular file"));
    }
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
