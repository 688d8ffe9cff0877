#pragma once
// The list-file reader: one file of the list-file table into entries, counts and a date.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Game.h"

namespace numira {

// A line the reader took although a list's grammar does not allow it, with the text in
// question (cut to kFaultTextBytes).
struct LineFault {
  std::uint32_t line;
  std::string text;
};
inline constexpr std::size_t kFaultTextBytes = 48;
inline constexpr std::size_t kMaxRecordedFaults = 1000;

// What one read of a list file yields.
struct ListContents {
  std::vector<std::string> entries;  // entries in file order, bytes as stored
  std::vector<std::uint32_t> counts;  // won lists only: paired by index with entries
  std::string latestDrawDate;         // from the first header line, as UTF-8
  int lines = 0;                      // data lines counted

  // Where things stand in the file, by line number (1-based; a line longer than a
  // chunk keeps one number): each entry's line, the won-list data lines that were
  // skipped for want of a comma, and the "DOCTYPE" line that ended the reading (0: none).
  std::vector<std::uint32_t> entryLines;
  std::vector<std::uint32_t> countlessLines;
  std::uint32_t doctypeLine = 0;

  // What a strict reading refuses and the tolerant one passes over, by line: every line
  // starting with "#" (a list has one, the first); won-list counts that are not 1 to 9
  // decimal digits with a value of at least 1 (the count's text); never-won lines with
  // more than their entry (the whole line); lines with a zero byte (unseen after it).
  std::vector<std::uint32_t> headerLines;
  std::vector<LineFault> malformedCounts;
  std::vector<LineFault> entriesWithMore;
  std::vector<std::uint32_t> zeroByteLines;
  std::size_t faultsNotRecorded = 0;  // beyond the first kMaxRecordedFaults of a kind
  std::uint64_t fileBytes = 0;  // the size of the whole file (or of the bytes given)
};

// Lines are taken as the C library's fgets into a 512-byte buffer takes them.
inline constexpr std::size_t kLineChunk = 511;

// Reads the file at path; nullopt when it cannot be opened or is not a regular file (a
// FIFO, a device: nothing that could block or never end). A read error ends the
// reading; the lines read before it count.
// With maxEntries, the reading stops after maxEntries + 1 entries: a list longer than
// its game has entries cannot be valid, and need not fill the memory.
std::optional<ListContents> ReadListFile(const std::string& path, ListKind kind,
                                         std::size_t maxEntries = static_cast<std::size_t>(-1));

// The same reading over bytes in memory.
ListContents ParseList(std::string_view bytes, ListKind kind);

// What a list file is at a moment: none, or its file (device and inode), size, and the
// times it was last written and changed. A file replaced, rewritten or touched since has
// another stamp.
struct ListFileStamp {
  bool exists = false;
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t modifiedNs = 0, changedNs = 0;
  bool operator==(const ListFileStamp&) const = default;
};
ListFileStamp StampOf(const std::string& path);

// The date of a header line ("#2015年11月20日" -> "2015年11月20日"), in code page 932 or
// UTF-8; empty when the line carries no well-formed date.
std::string HeaderDate(std::string_view line);

// Whether text is a count as a list writes it: 1 to 9 decimal digits, at least 1.
bool IsStrictCount(std::string_view text);

// Decimal text read as the C library's atoi reads it: leading white space, an optional
// sign, then digits up to the first other byte (none gives 0); saturated to 32 bits.
std::int32_t ParseInt32(std::string_view text);

// The number after a won-list comma: ParseInt32 stored as unsigned 32-bit, so a
// negative count becomes its two's complement.
inline std::uint32_t ParseCount(std::string_view text) { return static_cast<std::uint32_t>(ParseInt32(text)); }

}  // namespace numira
