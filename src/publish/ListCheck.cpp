#include "ListCheck.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string_view>

#include "Encoding.h"
#include "Entry.h"
#include "FileIo.h"
#include "Gzip.h"
#include "History.h"
#include "ListReader.h"

namespace numira {
namespace {

std::string AndMore(std::size_t count, const char* what) {
  return count > 1 ? " (" + std::to_string(count) + " " + what + " in all)" : "";
}

// Line ends other than CR LF: a LF without CR, a CR without LF, a last line without one.
void CheckLineEnds(std::string_view bytes, std::vector<ListProblem>& problems) {
  std::uint32_t line = 1, firstLf = 0, firstCr = 0;
  std::size_t lfOnly = 0, bareCr = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      if (i == 0 || bytes[i - 1] != '\r') {
        if (lfOnly++ == 0) firstLf = line;
      }
      ++line;
    } else if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) {
      if (bareCr++ == 0) firstCr = line;
    }
  }
  if (lfOnly > 0) problems.push_back({firstLf, "line ends in LF without CR, not CR LF" + AndMore(lfOnly, "lines")});
  if (bareCr > 0)
    problems.push_back({firstCr, "a CR not followed by LF (line ends must be CR LF)" + AndMore(bareCr, "such CRs")});
  if (!bytes.empty() && bytes.back() != '\n') problems.push_back({line, "the last line has no line end (CR LF)"});
}

// Lines holding bytes that do not decode as code page 932.
void CheckEncoding(std::string_view bytes, std::vector<ListProblem>& problems) {
  if (IsCp932(bytes)) return;  // no line break is part of a character: every line is sound
  std::uint32_t line = 0, first = 0;
  std::size_t bad = 0;
  while (!bytes.empty()) {
    ++line;
    const auto lf = bytes.find('\n');
    const std::string_view text = bytes.substr(0, lf);
    bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
    if (!IsCp932(text) && bad++ == 0) first = line;
  }
  if (bad > 0) problems.push_back({first, "bytes that are not code page 932" + AndMore(bad, "lines")});
}

// One line of a list as a message shows it: decoded, its first 80 bytes, CR as \r.
std::string ShowLine(std::string_view line) {
  constexpr std::size_t kShown = 80;
  QuoteStyle style;
  style.asciiOnly = false;
  style.maxBytes = std::string_view::npos;
  style.namedCarriageReturn = true;
  std::string shown = Quoted(Cp932ToUtf8(line.substr(0, kShown)), style);
  if (line.size() > kShown) shown.insert(shown.size() - 1, "...");
  return shown;
}

// The first line where bytes differ from what build would write.
void CheckAgainst(std::string_view bytes, std::string_view expected, std::vector<ListProblem>& problems) {
  if (bytes == expected) return;
  std::uint32_t line = 1;
  for (;;) {
    const auto lfA = bytes.find('\n'), lfE = expected.find('\n');
    const std::string_view a = bytes.substr(0, lfA == std::string_view::npos ? bytes.size() : lfA + 1);
    const std::string_view e = expected.substr(0, lfE == std::string_view::npos ? expected.size() : lfE + 1);
    if (a != e) {
      const auto show = [](std::string_view l) {
        if (l.empty()) return std::string("the end of the file");
        if (l.back() == '\n') l.remove_suffix(1);
        return ShowLine(l);
      };
      problems.push_back({line, "differs from what build writes from the history: expected " + show(e) +
                                    ", found " + show(a)});
      return;
    }
    bytes.remove_prefix(a.size());
    expected.remove_prefix(e.size());
    ++line;
  }
}

// The two files of a Numbers game together: no number in both, none in neither, one date.
void CheckPair(Game game, const ListContents& won, const ListContents& neverWon, FileCheck& neverWonCheck) {
  const std::size_t wonRow = static_cast<std::size_t>(ListRow(game, ListKind::Correct));
  const NumbersCoverage cover = CoverNumbers(game, won, neverWon);
  if (cover.inBoth > 0)
    neverWonCheck.problems.push_back(
        {cover.firstInBothLine, Quoted(cover.firstInBoth) + " is also in " + kListFiles[wonRow].fileName + " (line " +
                                    std::to_string(cover.firstInBothWonLine) + "): never won and won" +
                                    AndMore(cover.inBoth, "numbers in both files")});
  if (cover.inNeither > 0)
    neverWonCheck.problems.push_back(
        {0, std::to_string(cover.inNeither) + " number" + (cover.inNeither > 1 ? "s" : "") +
                " of the range in neither this file nor " + kListFiles[wonRow].fileName +
                " (the first: " + NumbersEntry(cover.firstInNeither, game) + ")"});
  if (!won.latestDrawDate.empty() && !neverWon.latestDrawDate.empty() && won.latestDrawDate != neverWon.latestDrawDate)
    neverWonCheck.problems.push_back({0, "date " + neverWon.latestDrawDate + " differs from " +
                                             kListFiles[wonRow].fileName + "'s (" + won.latestDrawDate + ")"});
}

// Twice the largest list the program takes: a bigger file is not read at all, a smaller
// one above kListSizeLimit is read and refused by the validation.
constexpr std::size_t kMaxListBytes = 2 * kListSizeLimit;

}  // namespace

void CheckCompressedCopy(const std::string& path, std::string_view bytes, std::size_t maxBytes,
                         std::vector<ListProblem>& problems) {
  const std::string gzPath = path + ".gz";
  const std::string gzName = std::filesystem::path(gzPath).filename().string();
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(gzPath, ec))) return;
  std::string gz;
  try {
    gz = ReadWholeFile(gzPath, maxBytes);
  } catch (const PublishError& e) {
    problems.push_back({0, "its compressed copy " + gzName + ": " + std::string(e.what()).substr(gzPath.size() + 2)});
    return;
  }
  const auto decoded = Gunzip(gz, maxBytes);
  if (!decoded)
    problems.push_back({0, "its compressed copy " + gzName + " is not one whole gzip stream"});
  else if (*decoded != bytes)
    problems.push_back({0, "its compressed copy " + gzName + " holds other bytes (clients accepting gzip get those)"});
}

CheckResult CheckLists(const std::string& dir, const ListBytes* expected) {
  CheckResult result;
  std::array<std::optional<ListContents>, kListFiles.size()> read;
  for (std::size_t row = 0; row < kListFiles.size(); ++row) {
    const ListFileRow& r = kListFiles[row];
    FileCheck& check = result[row];
    const std::string path = (std::filesystem::path(dir) / r.fileName).string();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
      check.problems.push_back({0, "missing"});
      continue;
    }
    std::string bytes;
    try {
      bytes = ReadWholeFile(path, kMaxListBytes);
    } catch (const PublishError& e) {
      const std::string what = e.what();
      check.problems.push_back({0, what.substr(path.size() + 2)});
      continue;
    }
    check.present = true;
    ListContents contents = ParseList(bytes, r.kind);
    check.date = contents.latestDrawDate;
    check.entries = contents.entries.size();
    check.problems = ValidateList(contents, r.game, r.kind);
    CheckLineEnds(bytes, check.problems);
    CheckEncoding(bytes, check.problems);
    if (expected) CheckAgainst(bytes, (*expected)[row], check.problems);
    CheckCompressedCopy(path, bytes, kMaxListBytes, check.problems);
    read[row] = std::move(contents);
  }
  for (Game game : {Game::Num3, Game::Num4}) {
    const auto wonRow = static_cast<std::size_t>(ListRow(game, ListKind::Correct));
    const auto neverRow = static_cast<std::size_t>(ListRow(game, ListKind::NoCorrect));
    if (read[wonRow] && read[neverRow])
      CheckPair(game, *read[wonRow], *read[neverRow], result[neverRow]);
  }
  for (FileCheck& check : result)
    std::stable_sort(check.problems.begin(), check.problems.end(),
                     [](const ListProblem& a, const ListProblem& b) { return a.line < b.line; });
  return result;
}

std::size_t ProblemCount(const CheckResult& result) {
  std::size_t n = 0;
  for (const FileCheck& check : result) n += check.problems.size();
  return n;
}

std::size_t PrintCheck(const CheckResult& result, const std::string& dir, std::ostream& out, std::ostream& err) {
  for (std::size_t row = 0; row < kListFiles.size(); ++row) {
    const FileCheck& check = result[row];
    const std::string path = (std::filesystem::path(dir) / kListFiles[row].fileName).string();
    if (check.present)
      out << path << ": date " << (check.date.empty() ? "(none)" : check.date) << ", " << check.entries
          << (check.entries == 1 ? " entry" : " entries") << '\n';
    out.flush();
    for (const ListProblem& p : check.problems) err << At(path, p.line, p.text) << '\n';
    err.flush();
  }
  return ProblemCount(result);
}

}  // namespace numira
