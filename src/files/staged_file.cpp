#include "files/staged_file.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <system_error>
#include <utility>

namespace zek {

Descriptor::Descriptor(Descriptor&& other) noexcept
    : files_(other.files_), descriptor_(std::exchange(other.descriptor_, -1)) {}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
    std::swap(files_, other.files_);
    std::swap(descriptor_, other.descriptor_);
    return *this;
}

int Descriptor::Close() {
    if (descriptor_ < 0) return 0;
    const int error = files_->CloseFile(descriptor_);
    descriptor_ = -1;
    return error;
}

void FailOnFile(const std::string& shownPath, const char* verb, int error) {
    FailOnFile(shownPath, verb, std::generic_category().message(error != 0 ? error : EIO));
}

void FailOnFile(const std::string& shownPath, const char* verb, const std::string& reason) {
    throw FileError(shownPath,
                    std::string("Cannot ") + verb + " file \"" + shownPath + "\": " + reason);
}

std::string FolderOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

std::string OwnName(const std::string& folder, std::string_view suffix, std::uint32_t number) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string name = ".zek-";
    for (int shift = 28; shift >= 0; shift -= 4) name += kDigits[(number >> shift) & 0xF];
    name += suffix;
    return (std::filesystem::path(folder) / name).string();
}

OwnFile CreateOwnFile(const platform::FileSystem& files, const std::string& folder,
                      std::string_view suffix) {
    // Names taken by threads of this program at once differ by the counter, those of other
    // programs by their process number.
    static std::atomic<std::uint32_t> counter{0};
    const std::uint32_t start = files.ProcessNumber() * 2654435761u;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string name = OwnName(folder, suffix, start + counter++);
        const platform::Opened created = files.CreateNewFile(name);
        if (created.descriptor >= 0) return {created.descriptor, std::move(name), 0};
        if (created.error != EEXIST) return {-1, {}, created.error};
    }
    return {-1, {}, EEXIST};
}

std::string MoveAside(const platform::FileSystem& files, const std::string& target,
                      const std::string& shownPath) {
    OwnFile placeholder = CreateOwnFile(files, FolderOf(target), ".old");
    if (placeholder.descriptor < 0) FailOnFile(shownPath, "replace", placeholder.error);
    files.CloseFile(placeholder.descriptor);
    if (const int error = files.MoveReplacing(target, placeholder.name)) {
        files.RemoveFile(placeholder.name);
        FailOnFile(shownPath, "replace", error);
    }
    return std::move(placeholder.name);
}

namespace {

// A stream buffer straight over a file descriptor that keeps the system's error of a failed
// write; the formats buffer their lines themselves.
class DescriptorBuffer final : public std::streambuf, public KeepsSystemError {
  public:
    DescriptorBuffer(const platform::FileSystem& files, int descriptor)
        : files_(files), descriptor_(descriptor) {}
    int systemError() const override { return error_; }

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
        error_ = files_.WriteAll(descriptor_, data, static_cast<std::size_t>(size));
        return error_ == 0;
    }

    const platform::FileSystem& files_;
    int descriptor_;
    int error_ = 0;
};

void WriteThrough(const platform::FileSystem& files, int descriptor, const PendingFile& file) {
    DescriptorBuffer buffer(files, descriptor);
    std::ostream out(&buffer);
    try {
        file.write(out);
    } catch (const StreamError& error) {
        FailOnFile(file.path, "write", error.what());
    }
    out.flush();
    if (!out) FailOnFile(file.path, "write", buffer.systemError());
}

// The file a save lands in: links followed where they may be, live or dangling alike.
std::string ResolveTarget(const platform::FileSystem& files, const std::string& shownPath) {
    const platform::LinkTarget target = files.FollowLinks(shownPath);
    if (target.refusedLink) {
        FailOnFile(shownPath, "write", "it is a link that another user placed in a shared folder");
    }
    if (target.error != 0) FailOnFile(shownPath, "write", target.error);
    return target.path;
}

// A device or a pipe has no folder to stand in; it takes the lines as they come.
void WriteToDevice(const platform::FileSystem& files, const std::string& target,
                   const PendingFile& file) {
    const platform::Opened opened = files.OpenToWrite(target);
    Descriptor descriptor(files, opened.descriptor);
    if (descriptor.get() < 0) {
        if (opened.error == ENXIO) FailOnFile(file.path, "write", "no program reads from the pipe");
        FailOnFile(file.path, "write", opened.error);
    }
    WriteThrough(files, descriptor.get(), file);
    if (const int closeError = descriptor.Close()) FailOnFile(file.path, "write", closeError);
}

// A user's file in a folder that takes no new file is written where it stands, as an editor
// would; but only once the file has room for all of the new text, so that a full disk leaves
// the earlier file whole.
void WriteInPlace(const platform::FileSystem& files, const std::string& target,
                  const PendingFile& file) {
    std::ostringstream text;
    try {
        file.write(text);
    } catch (const StreamError& error) {
        FailOnFile(file.path, "write", error.what());
    }
    const std::string bytes = std::move(text).str();
    const platform::Opened opened = files.OpenToWrite(target);
    Descriptor descriptor(files, opened.descriptor);
    if (descriptor.get() < 0) FailOnFile(file.path, "write", opened.error);
    const auto size = static_cast<long long>(bytes.size());
    int error = 0;
    if ((error = files.Reserve(descriptor.get(), size)) != 0) {
        FailOnFile(file.path, "write", error);
    }
    if ((error = files.WriteAll(descriptor.get(), bytes.data(), bytes.size())) != 0 ||
        (error = files.Truncate(descriptor.get(), size)) != 0 ||
        (error = files.SyncToDisk(descriptor.get())) != 0 || (error = descriptor.Close()) != 0) {
        FailOnFile(file.path, "write", error);
    }
}

}  // namespace

StagedFile StagedFile::Write(const PendingFile& file, const platform::FileSystem& files) {
    if (const std::optional<int> given = files.OpenDescriptorNamed(file.path)) {
        WriteThrough(files, *given, file);
        return StagedFile(files, file.path, file.path);
    }
    StagedFile staged(files, file.path, ResolveTarget(files, file.path));

    const platform::PathState existing = files.StateOf(staged.target_);
    if (existing.exists) {
        if (existing.directory) FailOnFile(file.path, "create", EISDIR);
        if (!existing.regular) {
            WriteToDevice(files, staged.target_, file);
            return staged;
        }
        if (!existing.writable) FailOnFile(file.path, "replace", "the file is read-only");
        staged.hadTarget_ = true;
    }
    OwnFile temporary = CreateOwnFile(files, FolderOf(staged.target_), ".tmp");
    const int descriptor = temporary.descriptor;
    if (descriptor < 0) {
        if (staged.hadTarget_ && (temporary.error == EACCES || temporary.error == EPERM)) {
            WriteInPlace(files, staged.target_, file);
            return staged;
        }
        FailOnFile(file.path, "create", temporary.error);
    }
    staged.temporary_ = std::move(temporary.name);
    staged.written_ = Descriptor(files, descriptor);
    if (staged.hadTarget_) files.TakePermissionsOf(descriptor, staged.target_);
    WriteThrough(files, descriptor, file);
    files.StartWritingOut(descriptor);
    return staged;
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : files_(other.files_),
      shownPath_(std::move(other.shownPath_)),
      target_(std::move(other.target_)),
      temporary_(std::exchange(other.temporary_, {})),
      earlier_(std::exchange(other.earlier_, {})),
      hadTarget_(other.hadTarget_),
      replaced_(std::exchange(other.replaced_, false)),
      written_(std::move(other.written_)) {}

StagedFile::~StagedFile() {
    if (temporary_.empty()) return;
    // Closed before it is removed: Windows removes no file that is open.
    written_.Close();
    files_->RemoveFile(temporary_);
}

void StagedFile::PutOnDisk() {
    if (written_.get() < 0) return;
    if (const int error = files_->SyncToDisk(written_.get())) {
        FailOnFile(shownPath_, "write", error);
    }
    if (const int error = written_.Close()) FailOnFile(shownPath_, "write", error);
}

namespace {

// "scores (earlier).csv", or "scores (earlier 2).csv" where that is taken.
std::string KeptName(const platform::FileSystem& files, const std::string& target) {
    const std::filesystem::path path(target);
    const std::string stem = (path.parent_path() / path.stem()).string();
    const std::string extension = path.extension().string();
    for (int number = 1; number < 100; ++number) {
        std::string name =
            stem + (number == 1 ? " (earlier)" : " (earlier " + std::to_string(number) + ")") +
            extension;
        if (!files.StateOf(name).exists) return name;
    }
    return {};
}

}  // namespace

void StagedFile::Commit(KeepEarlier keep) {
    if (temporary_.empty()) return;
    const bool stepAside = hadTarget_ && keep == KeepEarlier::UntilTheSetStands;
    if (stepAside) earlier_ = MoveAside(*files_, target_, shownPath_);
    if (const int error = files_->MoveReplacing(temporary_, target_)) {
        const std::string reason = std::generic_category().message(error);
        FailOnFile(shownPath_, "replace", stepAside ? reason + "." + PutEarlierBack() : reason);
    }
    temporary_.clear();
    replaced_ = true;
}

std::string StagedFile::Undo() {
    if (!replaced_) return {};
    replaced_ = false;
    if (hadTarget_) return PutEarlierBack();
    if (files_->RemoveFile(target_) == 0) return {};
    return " The new file \"" + shownPath_ + "\" could not be removed again.";
}

std::string StagedFile::PutEarlierBack() {
    if (earlier_.empty()) return {};
    if (files_->MoveReplacing(earlier_, target_) == 0) {
        earlier_.clear();
        return {};
    }
    // Under ZEK's own name the next save would tidy it away.
    const std::string notBack = " The earlier \"" + shownPath_ + "\" could not be put back";
    const std::string kept = KeptName(*files_, target_);
    if (!kept.empty() && files_->MoveReplacing(earlier_, kept) == 0) {
        earlier_.clear();
        return notBack + "; it is kept as \"" + kept + "\".";
    }
    return notBack + "; it is kept as \"" + earlier_ +
           "\" until the next save in its folder removes it.";
}

void StagedFile::DropEarlier() {
    if (earlier_.empty()) return;
    files_->RemoveFile(earlier_);
    earlier_.clear();
}

}  // namespace zek
