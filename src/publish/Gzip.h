#pragma once
// The compressed copies a server hands to clients that accept gzip.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace numira {

// The bytes as one gzip member at zlib's default compression, with no file name and no
// time in its header: the same bytes always give the same copy.
std::string Gzip(std::string_view bytes);

// The bytes of one whole gzip member (nothing after it) of at most maxBytes once
// decoded; nullopt when it is not one or decodes to more.
std::optional<std::string> Gunzip(std::string_view gz, std::size_t maxBytes);

}  // namespace numira
