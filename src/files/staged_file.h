// One file of a save on its way to its target, as QSaveFile keeps one: written in full under
// a short temporary name beside the target and then committed over it, or discarded. Until
// it is committed the target is untouched; a staged file that goes out of scope uncommitted
// leaves nothing behind.
#pragma once

#include <string>

#include "files/text_file.h"
#include "platform/files.h"

namespace zek {

/// Closes a descriptor on every way out.
class Descriptor {
  public:
    Descriptor() = default;
    Descriptor(const platform::FileSystem& files, int descriptor)
        : files_(&files), descriptor_(descriptor) {}
    ~Descriptor() {
        if (descriptor_ >= 0) files_->CloseFile(descriptor_);
    }
    Descriptor(Descriptor&& other) noexcept;
    Descriptor& operator=(Descriptor&& other) noexcept;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return descriptor_; }
    /// Closes now; the system's error, or 0.
    int Close();

  private:
    const platform::FileSystem* files_ = nullptr;
    int descriptor_ = -1;
};

/// "Cannot <verb> file "<path>": <the system's text for error>".
[[noreturn]] void FailOnFile(const std::string& shownPath, const char* verb, int error);
[[noreturn]] void FailOnFile(const std::string& shownPath, const char* verb,
                             const std::string& reason);

/// A name of the program's own beside a target: short and the same length whatever the
/// target's name (".zek-3fa9c1d2.tmp"), so that a name the file system takes leaves room
/// for it. Every name of this form belongs to ZEK, which tidies up those left behind.
std::string OwnName(const std::string& folder, std::string_view suffix, std::uint32_t number);
/// A new file under an own name: its descriptor and name, or the error that kept it from
/// being made.
struct OwnFile {
    int descriptor = -1;
    std::string name;
    int error = 0;
};
OwnFile CreateOwnFile(const platform::FileSystem& files, const std::string& folder,
                      std::string_view suffix);
/// The folder a path stands in ("." for a bare name).
std::string FolderOf(const std::string& path);
/// Moves the file at `target` to a new name of ZEK's own beside it (".zek-3fa9c1d2.old"),
/// which it returns; throws `FileError` naming `shownPath`, with the file where it was.
std::string MoveAside(const platform::FileSystem& files, const std::string& target,
                      const std::string& shownPath);

class StagedFile {
  public:
    /// Writes `file`; throws `FileError` naming it, with its target as it was. A target that
    /// is a descriptor the program was given (/dev/stdout), a device or a pipe takes the lines
    /// as they come, and a user's file in a folder that takes no new file is written where it
    /// stands once room for all of it is reserved: neither waits for a commit.
    static StagedFile Write(const PendingFile& file, const platform::FileSystem& files);

    ~StagedFile();
    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&&) = delete;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    /// Whether the file still waits beside its target.
    bool waitsForCommit() const { return !temporary_.empty(); }
    const std::string& shownPath() const { return shownPath_; }
    const std::string& target() const { return target_; }
    const std::string& temporary() const { return temporary_; }

    /// Puts the written bytes on the disk. The files of a set are all written before the
    /// first is waited for, so that the disk takes them together.
    void PutOnDisk();
    /// Whether a commit keeps the earlier target until the set stands: a file alone in its
    /// set replaces it at once, and so never leaves its name without a file.
    enum class KeepEarlier { UntilTheSetStands, No };
    /// The new file takes the target's place, the earlier one stepping aside where it is
    /// kept; throws `FileError` with the target as it was.
    void Commit(KeepEarlier keep = KeepEarlier::UntilTheSetStands);
    /// After a later file of the set failed: the earlier target back in its place, or no
    /// file where there was none. Says what could not be undone, in sentences for the user
    /// (empty when everything was): an earlier target that cannot be put back is kept under
    /// a name beside it that no later save tidies away.
    std::string Undo();
    /// Once the whole set stands: the earlier target, kept aside until then, goes.
    void DropEarlier();

  private:
    /// The earlier target back at its name; what could not be done, as `Undo` says it.
    std::string PutEarlierBack();

    StagedFile(const platform::FileSystem& files, std::string shownPath, std::string target)
        : files_(&files), shownPath_(std::move(shownPath)), target_(std::move(target)) {}

    const platform::FileSystem* files_;
    std::string shownPath_;  ///< as the user chose it, for messages
    std::string target_;     ///< with the links that may be followed followed
    std::string temporary_;  ///< empty once committed, and for a file written where it stands
    std::string earlier_;    ///< the earlier target while the files of a set change places
    bool hadTarget_ = false;
    bool replaced_ = false;  ///< the new file stands at the target
    Descriptor written_;     ///< the temporary file, open until it is on the disk
};

}  // namespace zek
