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

#include "files/save_folder.h"
#include "files/staged_file.h"
#include "platform/files.h"

namespace zek {

FileError::FileError(std::string path, const std::string& message)
    : std::runtime_error(message), path_(std::move(path)) {}

namespace {

// The category's message, unlike strerror, is safe on several threads at once.
std::string SystemMessage(int error) {
    return std::generic_category().message(error != 0 ? error : EIO);
}

}  // namespace

std::string SystemErrorOf(const std::ios& stream) {
    const auto* keeping = dynamic_cast<const KeepsSystemError*>(stream.rdbuf());
    return SystemMessage(keeping != nullptr ? keeping->systemError() : 0);
}

void WriteChecked(std::ostream& out, std::string_view text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) throw StreamError(SystemErrorOf(out));
}

void LineWriter::Flush() {
    WriteChecked(out_, buffer_);
    buffer_.clear();
}

void WriteTextFilesTogether(const std::vector<PendingFile>& files,
                            const platform::FileSystem& system) {
    if (files.empty()) return;
    const SaveFolder folder(files.front().path, system);
    folder.WriteTogether(files);
}

bool NotAFileToReplace(const std::string& path, const platform::FileSystem& system) {
    if (system.OpenDescriptorNamed(path)) return true;
    const platform::PathState state = system.StateOf(path);
    return state.exists && !state.regular;
}

std::optional<std::string> CreateOwnFileIn(const std::string& folder, std::string_view suffix) {
    const platform::FileSystem& system = platform::SystemFiles();
    OwnFile created = CreateOwnFile(system, folder, suffix);
    if (created.descriptor < 0) return std::nullopt;
    system.CloseFile(created.descriptor);
    return std::move(created.name);
}

void WriteTextFile(const std::string& path, const std::function<void(std::ostream&)>& write) {
    WriteTextFilesTogether({PendingFile{path, write}});
}

std::vector<std::string> ReadLines(std::istream& in) {
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        line.clear();
    }
    if (in.bad()) throw StreamError(SystemErrorOf(in));
    return lines;
}

namespace {

// A stream buffer that reads straight from a descriptor and can seek, so that a reader can
// measure what is left before it reads it.
class DescriptorInput final : public std::streambuf, public KeepsSystemError {
  public:
    explicit DescriptorInput(int descriptor) : descriptor_(descriptor) {}
    int systemError() const override { return error_; }

  protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        const platform::ReadBytes got =
            platform::SystemFiles().ReadSome(descriptor_, buffer_.data(), buffer_.size());
        error_ = got.error;
        if (got.count == 0) return traits_type::eof();
        setg(buffer_.data(), buffer_.data(), buffer_.data() + got.count);
        return traits_type::to_int_type(*gptr());
    }
    pos_type seekoff(off_type offset, std::ios_base::seekdir direction,
                     std::ios_base::openmode) override {
        const int whence = direction == std::ios_base::beg   ? SEEK_SET
                           : direction == std::ios_base::cur ? SEEK_CUR
                                                             : SEEK_END;
        // The buffered characters have been read from the file but not yet from the stream.
        if (direction == std::ios_base::cur) offset -= egptr() - gptr();
        const long long position = platform::SystemFiles().Seek(descriptor_, offset, whence);
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
    const platform::FileSystem& system = platform::SystemFiles();
    const platform::OpenedToRead opened = system.OpenToRead(path);
    Descriptor descriptor(system, opened.descriptor);
    if (descriptor.get() < 0) {
        throw FileError(path, "Cannot open file \"" + path + "\": " + SystemMessage(opened.error));
    }
    if (!opened.regular) {
        throw FileError(path, "Cannot open file \"" + path + "\": " +
                                  (opened.directory ? std::string("it is a folder")
                                                    : "it is not a regular file"));
    }
    DescriptorInput buffer(descriptor.get());
    std::istream in(&buffer);
    try {
        read(in);
    } catch (const StreamError& error) {
        throw FileError(path, "Cannot read file \"" + path + "\": " + error.what());
    }
    if (buffer.systemError() != 0) {
        throw FileError(
            path, "Cannot read file \"" + path + "\": " + SystemMessage(buffer.systemError()));
    }
}

std::string ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string_view what) {
    std::string contents;
    ReadTextFile(path, [&](std::istream& in) {
        std::array<char, 4096> buffer{};
        while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) {
            contents.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
            if (contents.size() > maxBytes) {
                throw FileError(path, "The " + std::string(what) + " \"" + path +
                                          "\" is larger than " + std::to_string(maxBytes / 1024) +
                                          " KB: is it a " + std::string(what) + "?");
            }
        }
    });
    return contents;
}

std::vector<std::string_view> LinesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

}  // namespace zek
