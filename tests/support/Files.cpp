#include "support/Files.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

namespace krvx::test {

std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "cannot read " << file;
        return {};
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) ADD_FAILURE() << "cannot write " << file;
}

std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::filesystem::path goldenPath(std::string_view folder, std::string_view name) {
    return std::filesystem::path(KRVX_TESTS_DIR) / folder / "golden" / name;
}

std::string golden(std::string_view folder, std::string_view name) {
    return readBytes(goldenPath(folder, name));
}

std::filesystem::path seedFile(std::string_view name) {
    return std::filesystem::path(KRVX_SOURCE_DIR) / "packaging" / "seed" / name;
}

void copySeedFiles(const std::filesystem::path& folder, std::initializer_list<std::string_view> names) {
    for (std::string_view name : names) std::filesystem::copy_file(seedFile(name), folder / name);
    if (names.size() > 0) return;
    for (const auto& entry : std::filesystem::directory_iterator(seedFile(""))) {
        if (entry.path().extension() == ".dat")
            std::filesystem::copy_file(entry.path(), folder / entry.path().filename());
    }
}

} // namespace krvx::test
