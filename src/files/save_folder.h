// Saves that leave no mixed dataset, whatever stops them.
//
// A save, or a class set of saves, works in the folder of its first file and holds two locks
// there: a shared one on the folder (".zek-folder.lock"), which says that a ZEK is saving in
// it, and an exclusive one on the set's name, so that a second program saving the same name
// stops with "is being written by another program" rather than mixing its files with ours.
//
// The files of one dataset are written beside their targets under short names of ZEK's own
// (".zek-3fa9c1d2.tmp") and put on the disk; then a journal beside them names each file and
// its target, and only then do they take their targets' places. A run that is killed at any
// moment leaves either complete new files with a journal, or untouched targets. The next save
// in that folder that finds no other ZEK saving there finishes every journal's replacement
// and removes whatever else of ZEK's own naming was left behind: temporary files, earlier
// files kept aside, locks. So after any interruption, and at the latest after the next run in
// that folder, every dataset's files come from one run.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "files/text_file.h"
#include "platform/files.h"

namespace zek {

class SaveFolder {
  public:
    /// Tidies the folder of `firstFile` where no other ZEK is saving in it, and takes the
    /// locks of a set named after it. A descriptor's name, a device or a pipe takes no lock.
    /// Throws `FileError` naming `firstFile` when another program saves the set, or when the
    /// set's lock cannot be had although the folder takes new files.
    explicit SaveFolder(const std::string& firstFile,
                        const platform::FileSystem& files = platform::SystemFiles());
    ~SaveFolder();
    SaveFolder(const SaveFolder&) = delete;
    SaveFolder& operator=(const SaveFolder&) = delete;

    /// Writes `files` together: all of them take their targets' places, or none does and
    /// every target is as it was. Throws `FileError` naming the file that failed. Datasets
    /// may be written on several threads at once.
    void WriteTogether(const std::vector<PendingFile>& files) const;

    /// Moves the file at `path` to a name of ZEK's own in its folder, so that it stands no
    /// longer under its name while the set is replaced; where it went, or nothing when no file
    /// stood there. Throws `FileError`.
    std::optional<std::string> SetAside(const std::string& path) const;
    /// Puts a file that was set aside back under `path`; false when it cannot.
    bool PutBack(const std::string& aside, const std::string& path) const;
    /// Removes a file; false when it could not be removed (or was not there).
    bool Remove(const std::string& path) const;

  private:
    class Lock;
    void HoldFolderShared(const std::string& folderLock, const std::string& firstFile);

    const platform::FileSystem& files_;
    std::string folder_;
    std::vector<std::unique_ptr<Lock>> locks_;
};

/// Finishes every replacement that a journal in `folder` describes and removes every other
/// file of ZEK's own naming there. Only for a folder in which no other ZEK is saving.
void TidyFolder(const std::string& folder, const platform::FileSystem& files);

/// Whether `name` (a file name, without its folder) is one that ZEK gives its own files.
bool IsOwnFileName(std::string_view name);

}  // namespace zek
