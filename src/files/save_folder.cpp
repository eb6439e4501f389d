#include "files/save_folder.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <utility>

#include "files/staged_file.h"

namespace zek {

namespace {

constexpr std::string_view kFolderLockName = ".zek-folder.lock";
constexpr std::string_view kJournalFirstLine = "ZEK journal 1";
constexpr std::string_view kJournalLastLine = "end";

std::string InFolder(const std::string& folder, std::string_view name) {
    return (std::filesystem::path(folder) / std::string(name)).string();
}

// A name of the set's own, following from its first file's name.
std::string SetLockName(const std::string& folder, const std::string& target) {
    std::uint32_t hash = 2166136261u;
    for (const char c : std::filesystem::path(target).filename().string()) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return OwnName(folder, ".lock", hash);
}

// A journal holds file names one to a line; a name's own line breaks are escaped.
std::string Escaped(const std::string& name) {
    std::string escaped;
    for (const char c : name) {
        if (c == '\\') {
            escaped += "\\\\";
        } else if (c == '\n') {
            escaped += "\\n";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string Unescaped(std::string_view line) {
    std::string name;
    for (std::size_t k = 0; k < line.size(); ++k) {
        if (line[k] == '\\' && k + 1 < line.size()) {
            name += line[++k] == 'n' ? '\n' : line[k];
        } else {
            name += line[k];
        }
    }
    return name;
}

// Every name of a set is checked before anything is written: a name the file system cannot
// take would otherwise fail after the first files had been replaced.
void CheckName(const platform::FileSystem& files, const std::string& shownPath) {
    if (std::filesystem::path(shownPath).filename().string().size() >
            files.LongestName(FolderOf(shownPath)) ||
        shownPath.size() >= files.LongestPath()) {
        FailOnFile(shownPath, "create", ENAMETOOLONG);
    }
}

// The journal of one dataset's replacement: written after its files and put on the disk
// after them, so that a journal that is there names complete files. It goes once every file
// stands at its target, or once the replacement has been undone.
class Journal {
  public:
    Journal(const platform::FileSystem& files, const std::string& folder,
            const std::vector<StagedFile>& staged)
        : files_(files) {
        const std::string& shownPath = staged.front().shownPath();
        OwnFile journal = CreateOwnFile(files, folder, ".journal");
        const int descriptor = journal.descriptor;
        if (descriptor < 0) FailOnFile(shownPath, "create", journal.error);
        path_ = std::move(journal.name);
        written_ = Descriptor(files, descriptor);
        std::string text = std::string(kJournalFirstLine) + "\n";
        for (const StagedFile& file : staged) {
            if (!file.waitsForCommit()) continue;
            text += Escaped(file.temporary()) + "\n" + Escaped(file.target()) + "\n";
        }
        text += std::string(kJournalLastLine) + "\n";
        if (const int error = files.WriteAll(descriptor, text.data(), text.size())) {
            FailOnFile(shownPath, "write", error);
        }
        files.StartWritingOut(descriptor);
    }
    ~Journal() {
        written_.Close();
        files_.RemoveFile(path_);
    }
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    void PutOnDisk(const std::string& shownPath) {
        if (const int error = files_.SyncToDisk(written_.get())) {
            FailOnFile(shownPath, "write", error);
        }
        if (const int error = written_.Close()) FailOnFile(shownPath, "write", error);
    }

  private:
    const platform::FileSystem& files_;
    std::string path_;
    Descriptor written_;
};

std::optional<std::string> ReadWhole(const platform::FileSystem& files, const std::string& path) {
    const platform::OpenedToRead opened = files.OpenToRead(path);
    Descriptor descriptor(files, opened.descriptor);
    if (descriptor.get() < 0 || !opened.regular) return std::nullopt;
    std::string text;
    char buffer[4096];
    while (true) {
        const platform::ReadBytes got = files.ReadSome(descriptor.get(), buffer, sizeof buffer);
        if (got.error != 0) return std::nullopt;
        if (got.count == 0) return text;
        text.append(buffer, got.count);
    }
}

// Finishes the replacement a journal describes. A journal without its last line was cut
// short before any file moved: there is nothing to finish.
void FinishJournal(const platform::FileSystem& files, const std::string& path) {
    const std::optional<std::string> text = ReadWhole(files, path);
    if (!text) return;
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text->find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text->substr(start, end - start));
    }
    if (lines.size() < 2 || lines.front() != kJournalFirstLine ||
        lines.back() != kJournalLastLine || lines.size() % 2 != 0) {
        return;
    }
    for (std::size_t k = 1; k + 1 < lines.size(); k += 2) {
        const std::string temporary = Unescaped(lines[k]);
        const std::string target = Unescaped(lines[k + 1]);
        if (!IsOwnFileName(std::filesystem::path(temporary).filename().string())) continue;
        if (files.StateOf(temporary).regular) files.MoveReplacing(temporary, target);
    }
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

bool IsOwnFileName(std::string_view name) {
    constexpr std::string_view kStart = ".zek-";
    constexpr std::size_t kDigits = 8;
    if (name.size() < kStart.size() + kDigits || name.substr(0, kStart.size()) != kStart) {
        return false;
    }
    for (const char c : name.substr(kStart.size(), kDigits)) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    const std::string_view suffix = name.substr(kStart.size() + kDigits);
    return suffix == ".tmp" || suffix == ".old" || suffix == ".lock" || suffix == ".journal" ||
           suffix == ".xlsx";
}

void TidyFolder(const std::string& folder, const platform::FileSystem& files) {
    const std::vector<std::string> names = files.OwnFilesIn(folder);
    for (const std::string& name : names) {
        if (IsOwnFileName(name) && EndsWith(name, ".journal")) {
            FinishJournal(files, InFolder(folder, name));
        }
    }
    for (const std::string& name : names) {
        if (IsOwnFileName(name)) files.RemoveFile(InFolder(folder, name));
    }
}

// A lock file held open and locked, released (and, where nobody else holds it, removed) when
// it goes out of scope.
class SaveFolder::Lock {
  public:
    enum class Outcome {
        Held,
        Busy,     ///< another program holds it
        NoFile,   ///< the folder takes no new file: nobody can save beside us here
        Refused,  ///< a file stands under the lock's name that may not be opened
    };

    struct Taken {
        std::unique_ptr<Lock> lock;  ///< where `Held`
        Outcome outcome = Outcome::Busy;
        int error = 0;  ///< where `Refused`
    };

    static Taken Take(const platform::FileSystem& files, const std::string& path,
                      platform::LockKind kind) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            const platform::Opened opened = files.OpenLockFile(path);
            const int descriptor = opened.descriptor;
            if (descriptor < 0) {
                const int error = opened.error;
                const bool nothingThere = !files.StateOf(path).exists && error != ELOOP;
                const bool folderClosed =
                    error == EACCES || error == EPERM || error == EROFS || error == ENOENT;
                if (nothingThere && folderClosed) return {nullptr, Outcome::NoFile};
                return {nullptr, Outcome::Refused, error};
            }
            const platform::Lock lock = files.LockFile(descriptor, kind);
            if (lock == platform::Lock::Held) {
                // The lock counts only while its file is still the one of that name: a holder
                // that finished may have removed it between our open and our lock.
                if (files.StillNamed(descriptor, path)) {
                    return {std::make_unique<Lock>(files, path, descriptor), Outcome::Held};
                }
                files.ReleaseLockFile(descriptor, path, false);
                continue;
            }
            files.ReleaseLockFile(descriptor, path, false);
            // A system without locks has nobody to coordinate with either.
            return {nullptr, lock == platform::Lock::Busy ? Outcome::Busy : Outcome::NoFile};
        }
        return {nullptr, Outcome::Busy};
    }

    Lock(const platform::FileSystem& files, std::string path, int descriptor)
        : files_(files), path_(std::move(path)), descriptor_(descriptor) {}
    ~Lock() {
        if (descriptor_ >= 0) Release(removeWhenReleased_);
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    /// The folder's lock stays for others who hold it; the set's goes with us.
    void KeepFileWhenReleased() { removeWhenReleased_ = false; }
    void Release(bool remove) {
        files_.ReleaseLockFile(descriptor_, path_, remove);
        descriptor_ = -1;
    }

  private:
    const platform::FileSystem& files_;
    std::string path_;
    int descriptor_;
    bool removeWhenReleased_ = true;
};

SaveFolder::SaveFolder(const std::string& firstFile, const platform::FileSystem& files)
    : files_(files) {
    if (NotAFileToReplace(firstFile, files)) return;
    const platform::LinkTarget target = files.FollowLinks(firstFile);
    // A refused link is refused by name when its file is written.
    if (target.refusedLink || target.error != 0) return;
    folder_ = FolderOf(target.path);

    // The folder: tidied when nobody else saves in it, then held shared while we do.
    const std::string folderLock = InFolder(folder_, kFolderLockName);
    const Lock::Taken exclusive = Lock::Take(files, folderLock, platform::LockKind::Exclusive);
    if (exclusive.lock) {
        TidyFolder(folder_, files);
        exclusive.lock->Release(false);
    }
    if (exclusive.outcome == Lock::Outcome::Held || exclusive.outcome == Lock::Outcome::Busy) {
        HoldFolderShared(folderLock, firstFile);
    }

    const std::string setLock = SetLockName(folder_, target.path);
    Lock::Taken set = Lock::Take(files, setLock, platform::LockKind::Exclusive);
    switch (set.outcome) {
        case Lock::Outcome::Held:
            locks_.push_back(std::move(set.lock));
            break;
        case Lock::Outcome::Busy:
            FailOnFile(firstFile, "write", "it is being written by another program");
        case Lock::Outcome::Refused:
            FailOnFile(firstFile, "write",
                       "its lock " + setLock +
                           " cannot be taken: " + std::generic_category().message(set.error));
        case Lock::Outcome::NoFile:
            break;
    }
}

// Another program may be tidying the folder, which takes moments; one that keeps it longer
// is stuck, and saving beside it unlocked could lose what it tidies, so the save refuses.
void SaveFolder::HoldFolderShared(const std::string& folderLock, const std::string& firstFile) {
    constexpr auto kPause = std::chrono::milliseconds(20);
    constexpr int kAttempts = 500;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        Lock::Taken shared = Lock::Take(files_, folderLock, platform::LockKind::Shared);
        switch (shared.outcome) {
            case Lock::Outcome::Held:
                shared.lock->KeepFileWhenReleased();
                locks_.push_back(std::move(shared.lock));
                return;
            case Lock::Outcome::NoFile:
                return;
            case Lock::Outcome::Refused:
                FailOnFile(firstFile, "write",
                           "its folder's lock " + folderLock + " cannot be taken: " +
                               std::generic_category().message(shared.error));
            case Lock::Outcome::Busy:
                std::this_thread::sleep_for(kPause);
                break;
        }
    }
    FailOnFile(firstFile, "write",
               "another program has kept its folder locked for " +
                   std::to_string(kPause.count() * kAttempts / 1000) + " seconds (" + folderLock +
                   ")");
}

SaveFolder::~SaveFolder() {
    // The set's lock first, then the folder's, which goes too where nobody else holds it.
    while (!locks_.empty()) locks_.pop_back();
    if (folder_.empty()) return;
    const std::string folderLock = InFolder(folder_, kFolderLockName);
    if (!files_.StateOf(folderLock).exists) return;
    // Taken alone, it is removed as it is released.
    static_cast<void>(Lock::Take(files_, folderLock, platform::LockKind::Exclusive));
}

void SaveFolder::WriteTogether(const std::vector<PendingFile>& files) const {
    if (files.empty()) return;
    for (const PendingFile& file : files) CheckName(files_, file.path);
    std::vector<StagedFile> staged;
    staged.reserve(files.size());
    for (const PendingFile& file : files) staged.push_back(StagedFile::Write(file, files_));

    std::size_t waiting = 0;
    for (const StagedFile& file : staged) waiting += file.waitsForCommit() ? 1 : 0;
    std::optional<Journal> journal;
    if (waiting > 1) journal.emplace(files_, folder_.empty() ? "." : folder_, staged);
    for (StagedFile& file : staged) file.PutOnDisk();
    if (journal) journal->PutOnDisk(staged.front().shownPath());

    // A file alone has no set to undo, and replaces its target at once.
    const auto keep =
        waiting > 1 ? StagedFile::KeepEarlier::UntilTheSetStands : StagedFile::KeepEarlier::No;
    for (std::size_t k = 0; k < staged.size(); ++k) {
        try {
            staged[k].Commit(keep);
        } catch (const FileError& failure) {
            std::string notUndone;
            for (std::size_t earlier = 0; earlier < k; ++earlier) {
                notUndone += staged[earlier].Undo();
            }
            if (notUndone.empty()) throw;
            const std::string said = failure.what();
            throw FileError(failure.path(), said + (said.ends_with('.') ? "" : ".") + notUndone);
        }
    }
    for (StagedFile& file : staged) file.DropEarlier();
}

std::optional<std::string> SaveFolder::SetAside(const std::string& path) const {
    // Only a file: whatever else stands there refuses the new file by name later.
    if (!files_.StateOf(path).regular) return std::nullopt;
    return MoveAside(files_, path, path);
}

bool SaveFolder::PutBack(const std::string& aside, const std::string& path) const {
    return files_.MoveReplacing(aside, path) == 0;
}

bool SaveFolder::Remove(const std::string& path) const {
    return files_.RemoveFile(path) == 0;
}

}  // namespace zek
