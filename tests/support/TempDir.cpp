#include "support/TempDir.h"

#include "sheetjob/common/Path.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace sheetjob::testing {

TempDir::TempDir() {
    // A new folder of a random name, made by this call alone.
    constexpr int kAttempts = 100;
    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::filesystem::path candidate = base / ("sheetjob-test-" + std::to_string(random()));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Folders a test made read-only must become writable again to be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path fromUtf8(std::string_view utf8) { return common::filesystemPath(utf8); }

std::set<std::string> namesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::u8string name = entry.path().filename().u8string();
        names.emplace(name.begin(), name.end());
    }
    return names;
}

void writeFile(const std::filesystem::path& file, const std::string& content) {
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

common::Folder TempDir::openFolder(const std::filesystem::path& path) {
    std::string error;
    const std::u8string utf8 = path.u8string();
    auto folder = common::Folder::open(std::string(utf8.begin(), utf8.end()), error);
    if (!folder)
        throw std::runtime_error("cannot open folder " + path.string() + ": " + error);
    return std::move(*folder);
}

common::Folder TempDir::subfolder(const std::string& relative) const {
    std::filesystem::create_directories(path_ / relative);
    return openFolder(path_ / relative);
}

} // namespace sheetjob::testing
