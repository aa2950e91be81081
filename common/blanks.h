#pragma once
// Blanks and line ends, as the data files and the number texts know them.

#include <string_view>

namespace krvx {

// A blank (a space or a tab) pads and separates fields and numbers.
inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
inline bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}
inline bool isBlankOrLineEnd(char c) {
    return isBlank(c) || isLineEnd(c);
}

// The text without the characters of that kind at either end.
inline std::string_view trimmed(std::string_view text, bool (*strip)(char) = isBlank) {
    while (!text.empty() && strip(text.front())) text.remove_prefix(1);
    while (!text.empty() && strip(text.back())) text.remove_suffix(1);
    return text;
}

} // namespace krvx
