#pragma once
// The index of a published set, "index.txt" at the set's top: the set's number, when it
// was built, and every file of the set with its size and SHA-256. The publisher writes
// it; a copy reads it from a server, so the parser takes nothing it does not expect and
// reads within fixed bounds.
//
// The format: UTF-8 text, each line ended by one LF, no other control character, in
// this order:
//   numira-set-index 1                      the format and its version
//   set 000042                              the set's number, six digits, 000001-999999
//   built 2026-12-07T19:45:05Z              when it was built, UTC, to the second
//   file SIZE SHA256 PATH                   one line per file, sorted by PATH (bytes)
// SIZE is the file's length in bytes in decimal (no sign, no leading zero), SHA256 its
// digest in 64 lower-case hex digits, PATH its path in the set ("draws/loto6.csv"):
// parts of letters, digits, '.', '_' and '-' separated by '/', no part empty or
// starting with '.'. Every path once; the index does not list itself. Nothing follows
// the last file line.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "FolderSet.h"
#include <vector>

namespace numira {

inline constexpr std::string_view kSetIndexFormat = "numira-set-index 1";
// The bounds of what an index may hold: a bigger file, more files, a longer path or a
// larger file size is refused.
inline constexpr std::size_t kMaxSetIndexBytes = 256 * 1024;
inline constexpr std::size_t kMaxSetIndexFiles = 2000;
inline constexpr std::size_t kMaxSetPathBytes = 100;
inline constexpr std::uint64_t kMaxSetFileSize = 1ull << 32;
inline constexpr unsigned kMaxSetNumber = 999999;

// The SHA-256 digest of bytes in 64 lower-case hex digits (OpenSSL's libcrypto).
std::string Sha256Hex(std::string_view bytes);

// Whether path may name a file of a set, as the index writes it.
bool IsSetFilePath(std::string_view path);

// "000042": the name of set 42 and how the index writes its number.
std::string SetNumberText(unsigned number);

// "2026-12-07T19:45:05Z" for a time in seconds since the epoch (UTC).
std::string UtcTimeText(std::time_t seconds);

struct SetIndexFile {
  std::string path;
  std::uint64_t size = 0;
  std::string sha256;  // 64 lower-case hex digits
  bool operator==(const SetIndexFile&) const = default;
};

struct SetIndex {
  unsigned number = 0;
  std::string built;                // "2026-12-07T19:45:05Z"
  std::vector<SetIndexFile> files;  // sorted by path
  bool operator==(const SetIndex&) const = default;
};

// An entry for path with bytes' size and digest.
SetIndexFile DescribeSetFile(std::string path, std::string_view bytes);

// The index as the format writes it. The files must be sorted by path, each path valid
// and listed once (the parser would refuse the bytes otherwise).
std::string FormatSetIndex(const SetIndex& index);

// The index in bytes; nullopt for anything the format does not allow, with the reason
// in *error ("line 4: ..."; line 0: the file as a whole).
std::optional<SetIndex> ParseSetIndex(std::string_view bytes, std::string* error = nullptr);

// Whether bytes are the file entry describes: its size, then its digest.
bool MatchesSetFile(const SetIndexFile& entry, std::string_view bytes);

// The disagreements between an index and the folder of its set, each one line naming
// the file: a listed file missing, not a regular file, of another size or other bytes;
// a file of the folder the index does not list (the index itself aside). Links are not
// followed. Empty when they agree.
std::vector<std::string> CompareSetFolder(const SetIndex& index, const std::string& folder);

// The index a copy's folder holds (its kSetIndexName); nullopt when it has none or none
// that reads. The rest of what a copy's folder says of its set is in FolderSet.h.
std::optional<SetIndex> FolderSetIndex(const std::string& folder);

}  // namespace numira
