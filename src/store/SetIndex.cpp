#include "SetIndex.h"

#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "FileStore.h"

namespace numira {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f'); }

// A decimal number of at most maxDigits digits, no sign, no leading zero.
std::optional<std::uint64_t> Decimal(std::string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits || (text.size() > 1 && text[0] == '0')) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

int Digits(std::string_view text) {
  int value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

// "YYYY-MM-DDTHH:MM:SSZ", a real day and time of day.
bool IsUtcTimeText(std::string_view t) {
  static constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:ddZ";
  if (t.size() != kShape.size()) return false;
  for (std::size_t i = 0; i < t.size(); ++i)
    if (kShape[i] == 'd' ? !IsDigit(t[i]) : t[i] != kShape[i]) return false;
  const int year = Digits(t.substr(0, 4)), month = Digits(t.substr(5, 2)), day = Digits(t.substr(8, 2));
  if (year < 1 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) return false;
  return Digits(t.substr(11, 2)) < 24 && Digits(t.substr(14, 2)) < 60 && Digits(t.substr(17, 2)) < 60;
}

bool Fail(std::string* error, std::size_t line, const std::string& what) {
  if (error) *error = "line " + std::to_string(line) + ": " + what;
  return false;
}

}  // namespace

std::string Sha256Hex(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1 || length != 32)
    return {};
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(64);
  for (unsigned i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 15];
  }
  return hex;
}

bool IsSetFilePath(std::string_view path) {
  if (path.empty() || path.size() > kMaxSetPathBytes) return false;
  std::size_t partStart = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/') {
      if (i == partStart || path[partStart] == '.') return false;
      partStart = i + 1;
      continue;
    }
    const char c = path[i];
    if (!(IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '_' || c == '-'))
      return false;
  }
  return true;
}

std::string SetNumberText(unsigned number) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06u", number);
  return buf;
}

std::string UtcTimeText(std::time_t seconds) {
  std::tm tm{};
  ::gmtime_r(&seconds, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buf;
}

SetIndexFile DescribeSetFile(std::string path, std::string_view bytes) {
  return {std::move(path), bytes.size(), Sha256Hex(bytes)};
}

std::string FormatSetIndex(const SetIndex& index) {
  std::string text = std::string(kSetIndexFormat) + "\nset " + SetNumberText(index.number) + "\nbuilt " + index.built + "\n";
  for (const SetIndexFile& f : index.files)
    text += "file " + std::to_string(f.size) + " " + f.sha256 + " " + f.path + "\n";
  return text;
}

std::optional<SetIndex> ParseSetIndex(std::string_view bytes, std::string* error) {
  if (bytes.size() > kMaxSetIndexBytes) {
    Fail(error, 0, "larger than " + std::to_string(kMaxSetIndexBytes) + " bytes");
    return std::nullopt;
  }
  if (bytes.empty() || bytes.back() != '\n') {
    Fail(error, 0, "does not end with a line end (LF)");
    return std::nullopt;
  }
  SetIndex index;
  std::size_t line = 0;
  bool ok = true;
  while (ok && !bytes.empty()) {
    ++line;
    const std::size_t lf = bytes.find('\n');
    const std::string_view text = bytes.substr(0, lf);
    bytes.remove_prefix(lf + 1);
    if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; })) {
      ok = Fail(error, line, "a control character (lines end in LF alone)");
    } else if (line == 1) {
      ok = text == kSetIndexFormat || Fail(error, line, "not \"" + std::string(kSetIndexFormat) + "\"");
    } else if (line == 2) {
      const std::string_view number = text.substr(std::min<std::size_t>(text.size(), 4));
      const bool sixDigits = text.starts_with("set ") && number.size() == 6 &&
                             std::all_of(number.begin(), number.end(), IsDigit);
      index.number = sixDigits ? static_cast<unsigned>(Digits(number)) : 0;
      ok = index.number >= 1 || Fail(error, line, "not \"set NNNNNN\" (six digits, 000001 to 999999)");
    } else if (line == 3) {
      index.built = text.starts_with("built ") ? std::string(text.substr(6)) : std::string();
      ok = IsUtcTimeText(index.built) || Fail(error, line, "not \"built YYYY-MM-DDTHH:MM:SSZ\"");
    } else if (index.files.size() >= kMaxSetIndexFiles) {
      ok = Fail(error, line, "more than " + std::to_string(kMaxSetIndexFiles) + " files");
    } else {
      // "file SIZE SHA256 PATH"
      if (!text.starts_with("file ")) {
        ok = Fail(error, line, "not \"file SIZE SHA256 PATH\"");
        continue;
      }
      std::string_view rest = text.substr(5);
      const std::size_t space = rest.find(' ');
      const auto size = Decimal(rest.substr(0, space), 10);
      if (space == std::string_view::npos || !size || *size > kMaxSetFileSize) {
        ok = Fail(error, line, "the size is not a number of bytes up to " + std::to_string(kMaxSetFileSize));
        continue;
      }
      rest.remove_prefix(space + 1);
      const std::string_view digest = rest.substr(0, std::min<std::size_t>(rest.size(), 64));
      if (digest.size() != 64 || !std::all_of(digest.begin(), digest.end(), IsHexDigit) || rest.size() < 66 ||
          rest[64] != ' ') {
        ok = Fail(error, line, "the SHA-256 is not 64 lower-case hex digits followed by a space");
        continue;
      }
      const std::string_view path = rest.substr(65);
      if (!IsSetFilePath(path)) {
        ok = Fail(error, line, "not a path of a file of a set");
      } else if (path == kSetIndexName) {
        ok = Fail(error, line, "the index lists itself");
      } else if (!index.files.empty() && !(index.files.back().path < path)) {
        ok = Fail(error, line, index.files.back().path == path ? "a path listed twice" : "paths out of order");
      } else {
        index.files.push_back({std::string(path), *size, std::string(digest)});
      }
    }
  }
  if (ok && line < 3) ok = Fail(error, line, "the index ends before its set number and build time");
  if (!ok) return std::nullopt;
  if (error) error->clear();
  return index;
}

bool MatchesSetFile(const SetIndexFile& entry, std::string_view bytes) {
  return bytes.size() == entry.size && Sha256Hex(bytes) == entry.sha256;
}

std::vector<std::string> CompareSetFolder(const SetIndex& index, const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> problems;
  std::map<std::string, const SetIndexFile*> listed;
  for (const SetIndexFile& f : index.files) listed[f.path] = &f;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::end(it); it.increment(ec)) {
    const fs::file_status st = it->symlink_status(ec);
    if (fs::is_directory(st)) continue;
    const std::string path = it->path().lexically_relative(folder).generic_string();
    if (path == kSetIndexName) continue;
    const auto found = listed.find(path);
    if (found == listed.end()) {
      problems.push_back(path + ": not listed in " + std::string(kSetIndexName));
      continue;
    }
    const SetIndexFile& entry = *found->second;
    listed.erase(found);
    if (!fs::is_regular_file(st)) {
      problems.push_back(path + ": not a regular file");
      continue;
    }
    // The size first, so that no file larger than listed is read.
    const RegularFile file(it->path().string());
    if (file.IsOpen() && file.Size() != entry.size) {
      problems.push_back(path + ": " + std::to_string(file.Size()) + " bytes, " + std::string(kSetIndexName) +
                         " lists " + std::to_string(entry.size));
      continue;
    }
    int err = file.IsOpen() ? 0 : file.Error();
    const std::optional<std::string> bytes =
        err == 0 ? ReadRegularFile(it->path().string(), entry.size, &err) : std::nullopt;
    if (!bytes)
      problems.push_back(path + ": cannot read: " + ReadErrorText(err, entry.size));
    else if (!MatchesSetFile(entry, *bytes))
      problems.push_back(path + ": other bytes than " + std::string(kSetIndexName) + " lists (SHA-256 " +
                         Sha256Hex(*bytes) + ", listed " + entry.sha256 + ")");
  }
  if (ec) problems.push_back(folder + ": cannot read the folder: " + ec.message());
  for (const auto& [path, entry] : listed) problems.push_back(path + ": listed in " + std::string(kSetIndexName) + ", missing");
  std::sort(problems.begin(), problems.end());
  return problems;
}

std::optional<SetIndex> FolderSetIndex(const std::string& folder) {
  const std::optional<std::string> bytes = ReadRegularFile(folder + std::string(kSetIndexName), kMaxSetIndexBytes);
  if (!bytes) return std::nullopt;
  return ParseSetIndex(*bytes);
}

}  // namespace numira
