#include "ListValidation.h"

#include "DrawDate.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <unordered_map>

namespace numira {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string EntryForm(Game game) {
  const EntryRules r = RulesOf(game);
  if (!IsLoto(game)) return std::string(GameName(game)) + " number (" + std::to_string(r.count) + " digits)";
  return std::string(GameName(game)) + " combination (" + std::to_string(r.count) + " distinct numbers 1-" +
         std::to_string(r.largest) + ", ascending, joined by \".\")";
}

}  // namespace

std::string Quoted(std::string_view text, bool asciiOnly) {
  std::string out = "\"";
  const std::size_t shown = std::min<std::size_t>(text.size(), 40);
  for (std::size_t i = 0; i < shown; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const bool plain = asciiOnly ? c >= 0x20 && c < 0x7F && c != '"' && c != '\\' : c >= 0x20 && c != 0x7F;
    if (plain) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  if (shown < text.size()) out += "...";
  return out + "\"";
}

const char* GameName(Game game) {
  static constexpr std::array<const char*, 4> kNames{"Numbers 3", "Numbers 4", "Mini Loto", "Loto 6"};
  return kNames[GameIndex(game)];
}

bool IsValidEntry(std::string_view entry, Game game) {
  const EntryRules r = RulesOf(game);
  if (!IsLoto(game))
    return entry.size() == static_cast<std::size_t>(r.count) && std::all_of(entry.begin(), entry.end(), IsDigit);
  int previous = 0;
  for (int k = 0; k < r.count; ++k) {
    const auto dot = entry.find('.');
    if ((k + 1 == r.count) != (dot == std::string_view::npos)) return false;
    const std::string_view field = entry.substr(0, dot);
    if (field.empty() || field.size() > 2 || field[0] == '0' || !std::all_of(field.begin(), field.end(), IsDigit))
      return false;
    const int n = field.size() == 1 ? field[0] - '0' : (field[0] - '0') * 10 + (field[1] - '0');
    if (n > r.largest || n <= previous) return false;  // ascending, so also distinct
    previous = n;
    if (dot != std::string_view::npos) entry.remove_prefix(dot + 1);
  }
  return true;
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
    if (!IsValidEntry(entry, game)) add(line, Quoted(entry) + " is not a " + EntryForm(game));
    if (auto [it, fresh] = seen.emplace(entry, line); !fresh)
      add(line, Quoted(entry) + " is listed twice (first on line " + std::to_string(it->second) + ")");
  }
  std::stable_sort(problems.begin(), problems.end(),
                   [](const ListProblem& a, const ListProblem& b) { return a.line < b.line; });
  return problems;
}

}  // namespace numira
