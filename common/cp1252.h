#pragma once
// Windows-1252, the code page of the data files. Texts in the program are UTF-8.

#include <string>
#include <string_view>

namespace krvx {

std::string cp1252ToUtf8(std::string_view bytes);
// Characters that Windows-1252 cannot hold become '?'.
std::string utf8ToCp1252(std::string_view utf8);
// True when every character of the text has a Windows-1252 byte.
bool fitsCp1252(std::string_view utf8);

// Decodes the UTF-8 character at pos and advances pos past it. A broken,
// overlong or surrogate sequence gives U+FFFD and skips one byte.
char32_t nextUtf8Character(std::string_view utf8, std::size_t& pos);

} // namespace krvx
