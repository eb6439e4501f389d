// Checked reading and writing of the text files ZEK keeps.
//
// The formats write to and read from streams; these helpers open the file, run the format,
// and turn any failure into a `FileError` that carries the system's message and the file's
// name. Nothing is lost on a failure: files are written beside their targets under temporary
// names and take their targets' places only once all of them are complete, so last week's
// data file survives a full disk and a data file never stands beside another run's report
// (see save_folder.h for how an interrupted save is finished).
#pragma once

#include <functional>
#include <iosfwd>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace zek {

/// A failed read or write on a stream, with the system's text for the failure.
class StreamError : public std::runtime_error {
  public:
    explicit StreamError(const std::string& systemMessage) : std::runtime_error(systemMessage) {}
};

/// A failed file operation, naming the file.
class FileError : public std::runtime_error {
  public:
    FileError(std::string path, const std::string& message);
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

/// Writes `text` and throws `StreamError` if the stream fails.
void WriteChecked(std::ostream& out, std::string_view text);

/// Collects lines, each ending with CR LF, and hands them to the stream in large pieces.
class LineWriter {
  public:
    explicit LineWriter(std::ostream& out) : out_(out) { buffer_.reserve(kFlushSize + 1024); }
    ~LineWriter() = default;
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    /// The line being built; `EndLine` finishes it.
    std::string& line() { return buffer_; }
    void EndLine() {
        buffer_ += "\r\n";
        if (buffer_.size() >= kFlushSize) Flush();
    }
    void Line(std::string_view text) {
        buffer_ += text;
        EndLine();
    }
    /// Must be called at the end; throws `StreamError` on a failed write.
    void Flush();

  private:
    static constexpr std::size_t kFlushSize = 64 * 1024;
    std::ostream& out_;
    std::string buffer_;
};

/// One file of a save: where it goes and what fills it.
struct PendingFile {
    std::string path;
    std::function<void(std::ostream&)> write;
};

/// Writes every file to a temporary file in its target's folder and, when all are complete,
/// renames them over their targets, under the locks and with the journal of a `SaveFolder`.
/// On any failure the temporary files are removed, every target is as it was before the
/// call, and `FileError` names the file that failed. A target that is a device or a pipe
/// (/dev/stdout) is written where it stands.
void WriteTextFilesTogether(const std::vector<PendingFile>& files,
                            const platform::FileSystem& system = platform::SystemFiles());

/// Whether `path` is something a save cannot replace with a file of its own: one of the
/// program's descriptors (/dev/stdout), a device, a pipe or a folder. A descriptor, a device
/// or a pipe takes the lines as they come, and a data file alone.
bool NotAFileToReplace(const std::string& path,
                       const platform::FileSystem& system = platform::SystemFiles());

/// Creates a new, empty file of the program's own in `folder` under a short name that no
/// file had, ending in `suffix` (".zek-3fa9c1d2.xlsx"); its path, or nothing when the folder
/// takes no new file.
std::optional<std::string> CreateOwnFileIn(const std::string& folder, std::string_view suffix);

/// `WriteTextFilesTogether` for one file.
void WriteTextFile(const std::string& path, const std::function<void(std::ostream&)>& write);

/// The whole of the file `path`, its bytes as they are; throws `FileError`, also for a file
/// larger than `maxBytes` (which `what` names as the file's kind, "roster").
std::string ReadWholeFile(const std::string& path,
                          std::size_t maxBytes = std::numeric_limits<std::size_t>::max(),
                          std::string_view what = "file");

/// The lines of `text`, without their LF or CR LF; none after a last line break.
std::vector<std::string_view> LinesOf(std::string_view text);

/// Reads the lines of a stream, without their CR LF or LF; throws `StreamError`.
std::vector<std::string> ReadLines(std::istream& in);

/// Opens `path` and lets `read` read it; throws `FileError`.
void ReadTextFile(const std::string& path, const std::function<void(std::istream&)>& read);

/// A stream buffer over a descriptor keeps the system's error of its last failed call, which a
/// failed stream does not pass on (iostreams promise nothing of errno).
class KeepsSystemError {
  public:
    /// The errno value of the last failed call; 0 when none failed.
    virtual int systemError() const = 0;

  protected:
    ~KeepsSystemError() = default;
};

/// The system's text for the failure of `stream`: its buffer's error where the buffer keeps
/// one, else that of an input/output error.
std::string SystemErrorOf(const std::ios& stream);

}  // namespace zek
