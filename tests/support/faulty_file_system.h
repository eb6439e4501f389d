// The operating system's file calls, of which any one chosen call fails, or ends the process
// as a kill would, so that a test can see what each failure point of a save leaves behind.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <functional>
#include <string>

#include "platform/files.h"

namespace zek::testing {

class FaultyFileSystem final : public platform::FileSystem {
  public:
    enum class Fault { Fail, Kill };

    /// The `call`th call (from 1) that acts on the disk fails with `error`, or ends the
    /// process there; 0 for none.
    FaultyFileSystem(int call = 0, Fault fault = Fault::Fail, int error = EIO)
        : faultyCall_(call), fault_(fault), error_(error) {}

    /// How many calls acted on the disk.
    int calls() const { return calls_.load(); }
    /// The `call`th call fails too, as the first faulty one does.
    void AlsoFail(int call) { alsoFaultyCall_ = call; }
    /// Every folder takes no new file, as one the user may not add to.
    void RefuseNewFiles() { refuseNewFiles_ = true; }
    /// The disk is full: no room can be reserved and no byte written.
    void FillDisk() { diskFull_ = true; }
    /// Called with a lock file's name each time one is opened, before it is locked: to play
    /// another program that removes it meanwhile.
    std::function<void(const std::string&)> afterLockFileOpened;

    platform::PathState StateOf(const std::string& path) const override {
        return system_.StateOf(path);
    }
    platform::LinkTarget FollowLinks(const std::string& path) const override {
        return system_.FollowLinks(path);
    }
    std::optional<int> OpenDescriptorNamed(const std::string& path) const override {
        return system_.OpenDescriptorNamed(path);
    }
    platform::Opened CreateNewFile(const std::string& path) const override {
        if (refuseNewFiles_) return {-1, EACCES};
        const int error = Failure();
        return error != 0 ? platform::Opened{-1, error} : system_.CreateNewFile(path);
    }
    platform::Opened CreateUnnamedFile(const std::string& folder) const override {
        const int error = Failure();
        return error != 0 ? platform::Opened{-1, error} : system_.CreateUnnamedFile(folder);
    }
    std::string NameOfOpenFile(int descriptor) const override {
        return system_.NameOfOpenFile(descriptor);
    }
    platform::Opened OpenToWrite(const std::string& path) const override {
        const int error = Failure();
        return error != 0 ? platform::Opened{-1, error} : system_.OpenToWrite(path);
    }
    platform::OpenedToRead OpenToRead(const std::string& path) const override {
        return system_.OpenToRead(path);
    }
    int WriteAll(int descriptor, const char* data, std::size_t size) const override {
        if (diskFull_ && size > 0) return ENOSPC;
        const int error = Failure();
        return error != 0 ? error : system_.WriteAll(descriptor, data, size);
    }
    platform::ReadBytes ReadSome(int descriptor, char* data, std::size_t size) const override {
        return system_.ReadSome(descriptor, data, size);
    }
    long long Seek(int descriptor, long long offset, int whence) const override {
        return system_.Seek(descriptor, offset, whence);
    }
    int Reserve(int descriptor, long long size) const override {
        if (diskFull_ && size > 0) return ENOSPC;
        const int error = Failure();
        return error != 0 ? error : system_.Reserve(descriptor, size);
    }
    int Truncate(int descriptor, long long size) const override {
        const int error = Failure();
        return error != 0 ? error : system_.Truncate(descriptor, size);
    }
    void StartWritingOut(int descriptor) const override { system_.StartWritingOut(descriptor); }
    int SyncToDisk(int descriptor) const override {
        const int error = Failure();
        return error != 0 ? error : system_.SyncToDisk(descriptor);
    }
    // A failed close still closes, as it does on POSIX systems.
    int CloseFile(int descriptor) const override {
        const int error = Failure();
        const int closeError = system_.CloseFile(descriptor);
        return error != 0 ? error : closeError;
    }
    void TakePermissionsOf(int descriptor, const std::string& model) const override {
        system_.TakePermissionsOf(descriptor, model);
    }
    int MoveReplacing(const std::string& from, const std::string& to) const override {
        const int error = Failure();
        return error != 0 ? error : system_.MoveReplacing(from, to);
    }
    int RemoveFile(const std::string& path) const override {
        const int error = Failure();
        return error != 0 ? error : system_.RemoveFile(path);
    }
    std::vector<std::string> OwnFilesIn(const std::string& folder) const override {
        return system_.OwnFilesIn(folder);
    }
    std::uint32_t ProcessNumber() const override { return system_.ProcessNumber(); }
    std::size_t LongestName(const std::string& folder) const override {
        return system_.LongestName(folder);
    }
    std::size_t LongestPath() const override { return system_.LongestPath(); }
    platform::Opened OpenLockFile(const std::string& path) const override {
        if (refuseNewFiles_ && !system_.StateOf(path).exists) return {-1, EACCES};
        if (const int error = Failure()) return {-1, error};
        const platform::Opened opened = system_.OpenLockFile(path);
        if (opened.descriptor >= 0 && afterLockFileOpened) afterLockFileOpened(path);
        return opened;
    }
    platform::Lock LockFile(int descriptor, platform::LockKind kind) const override {
        return Failure() != 0 ? platform::Lock::Unavailable : system_.LockFile(descriptor, kind);
    }
    bool StillNamed(int descriptor, const std::string& path) const override {
        return system_.StillNamed(descriptor, path);
    }
    void ReleaseLockFile(int descriptor, const std::string& path, bool remove) const override {
        system_.ReleaseLockFile(descriptor, path, remove);
    }

  private:
    // Counts the call; the error it fails with, or 0.
    int Failure() const {
        const int call = ++calls_;
        if (call != faultyCall_ && call != alsoFaultyCall_) return 0;
        // As SIGKILL would: no destructor runs, no buffer is flushed.
        if (fault_ == Fault::Kill) ::_exit(137);
        return error_;
    }

    const platform::FileSystem& system_ = platform::SystemFiles();
    int faultyCall_;
    int alsoFaultyCall_ = 0;
    Fault fault_;
    int error_;
    bool refuseNewFiles_ = false;
    bool diskFull_ = false;
    mutable std::atomic<int> calls_{0};
};

/// Runs `work` in a child process over a file system that ends it at its `call`th call;
/// whether it ended there, as a kill would have.
template <typename Work>
bool KilledAtCall(int call, Work work) {
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        const FaultyFileSystem killing(call, FaultyFileSystem::Fault::Kill);
        try {
            work(killing);
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 137;
}

}  // namespace zek::testing
