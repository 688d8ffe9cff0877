#include "ListValidation.h"

#include "DrawDate.h"
#include "Encoding.h"
#include "Entry.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace numira {
namespace {

std::string EntryFormWords(Game game) {
  return std::string(GameName(game)) + (IsNumbers(game) ? " number (" : " combination (") + EntryFormText(game) + ")";
}

}  // namespace

NumbersCoverage CoverNumbers(Game game, const ListContents& won, const ListContents& neverWon) {
  NumbersCoverage cover;
  // The first line of each number in each list; 0: not there.
  std::vector<std::uint32_t> wonLine(MaxEntries(game), 0), neverLine(wonLine);
  const auto lineOf = [](const ListContents& list, std::size_t i) { return i < list.entryLines.size() ? list.entryLines[i] : 0; };
  for (std::size_t i = 0; i < won.entries.size(); ++i)
    if (const std::optional<int> n = NumbersValue(won.entries[i], game); n && wonLine[static_cast<std::size_t>(*n)] == 0)
      wonLine[static_cast<std::size_t>(*n)] = lineOf(won, i);
  for (std::size_t i = 0; i < neverWon.entries.size(); ++i) {
    const std::optional<int> n = NumbersValue(neverWon.entries[i], game);
    if (!n) continue;
    const auto at = static_cast<std::size_t>(*n);
    const std::uint32_t line = lineOf(neverWon, i);
    if (neverLine[at] == 0) neverLine[at] = line;
    if (wonLine[at] != 0 && cover.inBoth++ == 0) {
      cover.firstInBoth = neverWon.entries[i];
      cover.firstInBothLine = line;
      cover.firstInBothWonLine = wonLine[at];
    }
  }
  for (std::size_t n = 0; n < wonLine.size(); ++n)
    if (wonLine[n] == 0 && neverLine[n] == 0 && cover.inNeither++ == 0) cover.firstInNeither = static_cast<int>(n);
  return cover;
}

std::vector<ListProblem> ValidateList(const ListContents& contents, Game game, ListKind kind, std::size_t maxProblems) {
  std::vector<ListProblem> problems;
  const auto full = [&] { return problems.size() >= maxProblems; };
  const auto add = [&](std::uint32_t line, std::string text) {
    if (!full()) problems.push_back({line, std::move(text)});
  };
  if (contents.fileBytes > kListSizeLimit)
    add(0, std::to_string(contents.fileBytes) + " bytes: larger than a list may be (" +
               std::to_string(kListSizeLimit >> 20) + " MiB)");
  if (contents.doctypeLine != 0) add(contents.doctypeLine, "an HTML page, not a list (\"DOCTYPE\")");
  if (contents.latestDrawDate.empty())
    add(0, "no header line with the date of the latest draw (#YYYY年M月D日)");
  else if (!ParseHeaderDate(contents.latestDrawDate))
    add(0, "the header's date " + Quoted(contents.latestDrawDate, false) + " is not a real date (#YYYY年M月D日)");
  for (std::size_t i = 0; i < contents.headerLines.size(); ++i) {
    const std::uint32_t line = contents.headerLines[i];
    if (i > 0)
      add(line, "a second header line (the first is line " + std::to_string(contents.headerLines[0]) + ")");
    else if (line != 1)
      add(line, "the header line is not the first line");
  }
  if (kind == ListKind::Correct && contents.entries.empty()) add(0, "no entries: a won list lists at least one");
  if (kind == ListKind::Correct)
    for (std::uint32_t line : contents.countlessLines) add(line, "no \",\" and count after the entry");
  for (const LineFault& f : contents.malformedCounts)
    add(f.line, "the count " + Quoted(f.text) + " is not a whole number from 1 to 999999999");
  for (std::uint32_t line : contents.zeroByteLines) add(line, "a zero byte in the line");
  for (const LineFault& f : contents.entriesWithMore)
    add(f.line, Quoted(f.text) + ": a never-drawn line holds its number alone");
  if (contents.faultsNotRecorded > 0)
    add(0, std::to_string(contents.faultsNotRecorded) + " more lines with problems like the ones named");

  std::unordered_map<std::string_view, std::uint32_t> seen;
  seen.reserve(contents.entries.size());
  for (std::size_t i = 0; i < contents.entries.size() && !full(); ++i) {
    const std::string& entry = contents.entries[i];
    const std::uint32_t line = i < contents.entryLines.size() ? contents.entryLines[i] : 0;
    if (!IsValidEntry(entry, game)) add(line, Quoted(entry) + " is not a " + EntryFormWords(game));
    if (auto [it, fresh] = seen.emplace(entry, line); !fresh)
      add(line, Quoted(entry) + " is listed twice (first on line " + std::to_string(it->second) + ")");
  }
  std::stable_sort(problems.begin(), problems.end(),
                   [](const ListProblem& a, const ListProblem& b) { return a.line < b.line; });
  return problems;
}

}  // namespace numira
