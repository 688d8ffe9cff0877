#include "ListReader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "Encoding.h"
#include "FileStore.h"

namespace numira {
namespace {

constexpr std::string_view kYearCp932 = "\x94\x4E";
constexpr std::string_view kDayCp932 = "\x93\xFA";
constexpr std::string_view kYearUtf8 = "\xE5\xB9\xB4";
constexpr std::string_view kDayUtf8 = "\xE6\x97\xA5";

// Applies the rules for one line; knows nothing about where the lines come from.
class ListParser {
 public:
  ListParser(ListKind kind, std::size_t maxEntries) : kind_(kind), maxEntries_(maxEntries) {}

  // raw: one chunk as fgets returns it. Returns false once a "DOCTYPE" line ends the file.
  bool Line(std::string_view raw) {
    const std::uint32_t lineNo = line_;
    if (!raw.empty() && raw.back() == '\n') ++line_;
    // Only the bytes before the first zero byte are seen.
    if (const void* nul = std::memchr(raw.data(), 0, raw.size())) {
      raw = raw.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - raw.data()));
      Record(out_.zeroByteLines, lineNo);
    }
    if (raw.find("DOCTYPE") != std::string_view::npos) {
      out_.doctypeLine = lineNo;
      return false;
    }
    const char first = raw.empty() ? '\0' : raw[0];
    if (first == '#') {
      if (out_.latestDrawDate.empty()) out_.latestDrawDate = HeaderDate(raw);
      Record(out_.headerLines, lineNo);
    }
    if (first == '\0' || first == '\n' || first == '\r' || first == '\x1A' || first == '#') return true;

    // A chunk holds at most one LF, as its last byte.
    std::string_view text = raw;
    if (text.back() == '\n') text.remove_suffix(1);
    if (const auto cr = text.find('\r'); cr != std::string_view::npos) text = text.substr(0, cr);

    const auto comma = text.find(',');
    if (kind_ == ListKind::NoCorrect) {
      if (comma != std::string_view::npos) Record(out_.entriesWithMore, LineFault{lineNo, Cut(text)});
      out_.entries.emplace_back(text.substr(0, comma));
    } else {
      // A won-list line without a comma has no count to pair with its entry: it is
      // skipped and not counted, so entries and counts always stay paired.
      if (comma == std::string_view::npos) {
        out_.countlessLines.push_back(lineNo);
        return true;
      }
      out_.entries.emplace_back(text.substr(0, comma));
      const std::string_view count = text.substr(comma + 1);
      if (!IsStrictCount(count)) Record(out_.malformedCounts, LineFault{lineNo, Cut(count)});
      out_.counts.push_back(ParseCount(count));
    }
    out_.entryLines.push_back(lineNo);
    ++out_.lines;
    return out_.entries.size() <= maxEntries_;
  }

  // Makes room for about n more entries, so a large list does not grow step by step.
  void Expect(std::size_t n) {
    if (n > maxEntries_) n = maxEntries_;
    out_.entries.reserve(n);
    out_.entryLines.reserve(n);
    if (kind_ == ListKind::Correct) out_.counts.reserve(n);
  }

  ListContents Take() { return std::move(out_); }

 private:
  static std::string Cut(std::string_view text) { return std::string(text.substr(0, kFaultTextBytes)); }

  // Keeps the first kMaxRecordedFaults of a kind and counts the rest, so that a file of
  // nothing but faults takes no more memory than its entries do.
  template <class T>
  void Record(std::vector<T>& faults, T fault) {
    if (faults.size() < kMaxRecordedFaults)
      faults.push_back(std::move(fault));
    else
      ++out_.faultsNotRecorded;
  }

  ListKind kind_;
  std::size_t maxEntries_;
  ListContents out_;
  std::uint32_t line_ = 1;
};

// Cuts a byte stream into fgets-sized chunks: at most kLineChunk bytes, up to and
// including the first LF. Source: std::size_t(char* dst, std::size_t max), 0 at the end.
template <class Source>
class Chunker {
 public:
  explicit Chunker(Source source) : source_(std::move(source)), buf_(new char[kBufSize]) {}

  // The bytes read so far from the chunk on.
  std::string_view Buffered(std::string_view chunk) const {
    return std::string_view(chunk.data(), static_cast<std::size_t>(buf_.get() + end_ - chunk.data()));
  }

  bool Next(std::string_view& chunk) {
    for (;;) {
      const std::size_t avail = end_ - begin_;
      const std::size_t span = avail < kLineChunk ? avail : kLineChunk;
      if (const void* lf = std::memchr(buf_.get() + begin_, '\n', span)) {
        const std::size_t n = static_cast<std::size_t>(static_cast<const char*>(lf) - (buf_.get() + begin_)) + 1;
        return Emit(chunk, n);
      }
      if (span == kLineChunk || (atEnd_ && avail > 0)) return Emit(chunk, span);
      if (atEnd_) return false;
      Refill();
    }
  }

 private:
  static constexpr std::size_t kBufSize = 1 << 16;

  bool Emit(std::string_view& chunk, std::size_t n) {
    chunk = std::string_view(buf_.get() + begin_, n);
    begin_ += n;
    return true;
  }

  void Refill() {
    std::memmove(buf_.get(), buf_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    const std::size_t got = source_(buf_.get() + end_, kBufSize - end_);
    if (got == 0) atEnd_ = true;
    end_ += got;
  }

  Source source_;
  std::unique_ptr<char[]> buf_;
  std::size_t begin_ = 0, end_ = 0;
  bool atEnd_ = false;
};

// totalBytes: the size of the whole input if known (0 if not); the line count is
// estimated from the first block and the entries reserved once.
template <class Source>
ListContents Parse(Source source, ListKind kind, std::size_t totalBytes,
                   std::size_t maxEntries = static_cast<std::size_t>(-1)) {
  ListParser parser(kind, maxEntries);
  Chunker<Source> chunks(std::move(source));
  std::string_view chunk;
  bool first = true;
  while (chunks.Next(chunk)) {
    if (first && totalBytes > 0) {
      const std::string_view block = chunks.Buffered(chunk);
      const auto lineEnds = static_cast<std::size_t>(std::count(block.begin(), block.end(), '\n'));
      // Capped so that an odd first block cannot make the reservation outgrow the file. A
      // file that fits in the first block (every real list) has at most a line per LF and
      // one more after the last.
      if (block.size() < totalBytes)
        parser.Expect(std::min(totalBytes / block.size() * lineEnds + lineEnds, totalBytes / 8));
      else
        parser.Expect(lineEnds + 1);
    }
    first = false;
    if (!parser.Line(chunk)) break;
  }
  return parser.Take();
}

}  // namespace

std::string HeaderDate(std::string_view line) {
  std::string_view day = kDayCp932;
  auto year = line.find(kYearCp932);
  bool utf8 = false;
  if (year == std::string_view::npos) {
    year = line.find(kYearUtf8);
    day = kDayUtf8;
    utf8 = true;
  }
  const auto dayPos = line.find(day);
  if (year == std::string_view::npos || dayPos == std::string_view::npos || year < 4 || dayPos < year)
    return {};
  const std::string_view date = line.substr(year - 4, dayPos + day.size() - (year - 4));
  return utf8 ? SanitizeUtf8(date) : Cp932ToUtf8(date);
}

bool IsStrictCount(std::string_view text) {
  if (text.empty() || text.size() > 9) return false;
  bool nonZero = false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    nonZero = nonZero || c != '0';
  }
  return nonZero;
}

std::int32_t ParseInt32(std::string_view text) {
  std::size_t i = 0;
  auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    if (value <= kMax) value = value * 10 + (text[i] - '0');
  if (negative) return static_cast<std::int32_t>(value > kMax + 1 ? -(kMax + 1) : -value);
  return static_cast<std::int32_t>(value > kMax ? kMax : value);
}

std::optional<ListContents> ReadListFile(const std::string& path, ListKind kind, std::size_t maxEntries) {
  if (path.empty()) return std::nullopt;
  // Only a regular file is read (a FIFO, /dev/zero or /dev/urandom would never end).
  RegularFile regular(path);
  if (!regular.IsOpen()) return std::nullopt;
  const std::uint64_t bytes = regular.Size();
  const int fd = regular.Release();
  std::unique_ptr<FILE, int (*)(FILE*)> file(::fdopen(fd, "rb"), &std::fclose);
  if (!file) {
    ::close(fd);
    return std::nullopt;
  }
  FILE* f = file.get();
  const auto size = static_cast<std::size_t>(bytes);
  // A read error ends the reading like the end of the file does.
  ListContents contents =
      Parse([f](char* dst, std::size_t max) { return std::fread(dst, 1, max, f); }, kind, size, maxEntries);
  contents.fileBytes = bytes;
  return contents;
}

ListFileStamp StampOf(const std::string& path) {
  ListFileStamp stamp;
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return stamp;
  stamp.exists = true;
  stamp.device = static_cast<std::uint64_t>(st.st_dev);
  stamp.inode = static_cast<std::uint64_t>(st.st_ino);
  stamp.size = static_cast<std::uint64_t>(st.st_size);
  stamp.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  stamp.changedNs = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
  return stamp;
}

ListContents ParseList(std::string_view bytes, ListKind kind) {
  ListContents contents = Parse(
      [bytes](char* dst, std::size_t max) mutable {
        const std::size_t n = bytes.size() < max ? bytes.size() : max;
        if (n > 0) std::memcpy(dst, bytes.data(), n);
        bytes.remove_prefix(n);
        return n;
      },
      kind, bytes.size());
  contents.fileBytes = bytes.size();
  return contents;
}

}  // namespace numira
