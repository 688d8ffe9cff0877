#pragma once
// Conversions between the list files' code page 932 bytes and the window's UTF-8 text.
#include <cstddef>
#include <string>
#include <string_view>

namespace numira {

// Code page 932 bytes to UTF-8. Bytes that are not valid code page 932 become U+FFFD;
// nothing is dropped silently and the result is always valid UTF-8.
std::string Cp932ToUtf8(std::string_view bytes);

// Valid UTF-8 passes unchanged; every invalid byte becomes U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

// The longest prefix of a UTF-8 text that fits in maxBytes without splitting a character.
std::string TruncateUtf8(std::string_view text, std::size_t maxBytes);

}  // namespace numira
