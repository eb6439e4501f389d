#include "platform/paths.h"

#include <filesystem>
#include <system_error>

namespace zek::platform {

namespace fs = std::filesystem;

std::string TemporaryFolder() {
    std::error_code error;
    const fs::path folder = fs::temp_directory_path(error);
    return error ? std::string() : folder.string();
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

bool NameTaken(const std::string& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

bool IsFolder(const std::string& path) {
    std::error_code ignored;
    return fs::is_directory(path, ignored);
}

bool SameFile(const std::string& first, const std::string& second) {
    std::error_code ignored;
    return fs::equivalent(first, second, ignored);
}

std::string CreateFolders(const std::string& path) {
    std::error_code error;
    if (!fs::create_directories(path, error) && error) return error.message();
    return {};
}

}  // namespace zek::platform
