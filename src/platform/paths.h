// What the program asks the system about names of files and folders, beside the calls of a
// save (platform/files.h). The same code serves every system, through std::filesystem.
#pragma once

#include <string>

namespace zek::platform {

/// The folder for the user's temporary files; empty when the system names none.
std::string TemporaryFolder();

/// `path` made absolute against the current folder, with "." and ".." resolved in its text;
/// `path` itself when the current folder cannot be known.
std::string AbsolutePath(const std::string& path);

/// Whether anything stands under `path`, a link that leads nowhere included.
bool NameTaken(const std::string& path);

/// Whether `path` is a folder, links followed.
bool IsFolder(const std::string& path);

/// Whether the two names lead to the same file; false when either is missing.
bool SameFile(const std::string& first, const std::string& second);

/// Creates the folder `path` with every folder above it that is missing; the system's
/// reason when it cannot, else empty.
std::string CreateFolders(const std::string& path);

}  // namespace zek::platform
