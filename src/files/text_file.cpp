#include "files/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
    std::string target;     ///< with links resolved
    std::string temporary;  ///< empty when the file was written in place
    std::string backup;     ///< the earlier target while the files change places
    bool hadTarget = false;
    mode_t targetMode = 0;
};

[[noreturn]] void Fail(const std::string& shownPath, const char* verb, int error) {
    throw FileError(shownPath, std::string("Cannot ") + verb + " file \"" + shownPath +
                                   "\": " + SystemMessage(error));
}

// Creates a file of its own beside `target` ("scores.csv" gives ".scores.csv.1234-0.tmp") and
// returns its descriptor and name. Permissions are those a new file gets, umask included.
std::pair<int, std::string> CreateBeside(const std::filesystem::path& target,
                                         std::string_view suffix, const std::string& shownPath) {
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    const std::string stem = "." + target.filename().string() + "." + std::to_string(::getpid());
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string name =
            (folder / (stem + "-" + std::to_string(attempt) + std::string(suffix))).string();
        const int descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) return {descriptor, name};
        if (errno != EEXIST) Fail(shownPath, "create", errno);
    }
    Fail(shownPath, "create", EEXIST);
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

StagedFile Stage(const PendingFile& file) {
    StagedFile staged;
    staged.shownPath = file.path;
    std::error_code ignored;
    const std::filesystem::path resolved = std::filesystem::canonical(file.path, ignored);
    staged.target = resolved.empty() ? file.path : resolved.string();

    struct stat existing {};
    if (::stat(staged.target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) Fail(file.path, "create", EISDIR);
        if (!S_ISREG(existing.st_mode)) {
            // A device or a pipe has no folder to stand in; it takes the lines as they come.
            Descriptor device(::open(staged.target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
            if (device.get() < 0) Fail(file.path, "create", errno);
            WriteThrough(device.get(), file, false);
            if (const int error = device.Close()) Fail(file.path, "write", error);
            return staged;
        }
        staged.hadTarget = true;
        staged.targetMode = existing.st_mode & 07777;
    }
    auto [descriptor, name] = CreateBeside(staged.target, ".tmp", file.path);
    staged.temporary = std::move(name);
    Descriptor temporary(descriptor);
    try {
        if (staged.hadTarget) ::fchmod(temporary.get(), staged.targetMode);
        WriteThrough(temporary.get(), file, true);
        if (const int error = temporary.Close()) Fail(file.path, "write", error);
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
            auto [descriptor, name] = CreateBeside(file.target, ".old", file.shownPath);
            ::close(descriptor);
            file.backup = std::move(name);
            if (::rename(file.target.c_str(), file.backup.c_str()) != 0) {
                const int error = errno;
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

}  // namespace

void WriteTextFilesTogether(const std::vector<PendingFile>& files) {
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

void ReadTextFile(const std::string& path, const std::function<void(std::istream&)>& read) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileError(path, "Cannot open file \"" + path + "\": " + LastSystemError());
    try {
        read(in);
    } catch (const StreamError& error) {
        throw FileError(path, "Cannot read file \"" + path + "\": " + error.what());
    }
}

}  // namespace zek
