#pragma once
// Paths as UTF-8 text and back. The program's texts are UTF-8; a path's own
// string() is the system's narrow encoding, which on Windows is a code page
// that cannot hold every name ("Größe €" in another one), so texts and paths
// cross only here.

#include <filesystem>
#include <string>
#include <string_view>

namespace krvx {

inline std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

inline std::filesystem::path pathOfUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

} // namespace krvx
