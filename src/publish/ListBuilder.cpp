#include "ListBuilder.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unordered_map>

#include "FileIo.h"

namespace numira {
namespace {

// UTF-8 to code page 932; every character must have a code page 932 form.
std::string Utf8ToCp932(const std::string& text) {
  iconv_t cd = ::iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw PublishError("iconv cannot convert UTF-8 to CP932");
  std::string out(text.size() * 2 + 8, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* o = out.data();
  std::size_t outLeft = out.size();
  const std::size_t r = ::iconv(cd, &in, &inLeft, &o, &outLeft);
  ::iconv_close(cd);
  if (r == static_cast<std::size_t>(-1) || inLeft != 0)
    throw PublishError("\"" + text + "\" has no code page 932 form");
  out.resize(out.size() - outLeft);
  return out;
}

void AppendPadded(std::string& out, int number, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", digits, number);
  out += buf;
}

// Numbers 3 / 4: the won list and the never-won list from the draw counts.
void BuildNumbers(const std::vector<Draw>& draws, int digits, std::string& won, std::string& neverWon) {
  const int range = digits == 3 ? 1000 : 10000;
  std::vector<std::uint32_t> counts(static_cast<std::size_t>(range), 0);
  for (const Draw& d : draws) {
    int n = 0;
    for (char c : d.numbers) n = n * 10 + (c - '0');
    ++counts[static_cast<std::size_t>(n)];
  }
  for (int n = 0; n < range; ++n) {
    const std::uint32_t count = counts[static_cast<std::size_t>(n)];
    if (count > 0) {
      AppendPadded(won, n, digits);
      won += ',' + std::to_string(count) + "\r\n";
    } else {
      AppendPadded(neverWon, n, digits);
      neverWon += "\r\n";
    }
  }
}

// Mini Loto / Loto 6: each combination once, in the order of its first draw.
void BuildLoto(const std::vector<Draw>& draws, std::string& won) {
  std::vector<std::string_view> order;
  std::unordered_map<std::string_view, std::uint32_t> counts;
  counts.reserve(draws.size());
  for (const Draw& d : draws)
    if (counts[d.numbers]++ == 0) order.push_back(d.numbers);
  for (std::string_view combination : order) {
    won += combination;
    won += ',' + std::to_string(counts[combination]) + "\r\n";
  }
}

}  // namespace

Histories ReadHistories(const std::string& drawsDir) {
  Histories histories;
  for (const HistoryGame& g : kHistoryGames) {
    const std::string path = (std::filesystem::path(drawsDir) / HistoryFileName(g.game)).string();
    histories[GameIndex(g.game)] = ReadHistory(path, g.game);
    if (histories[GameIndex(g.game)].empty()) throw PublishError(At(path, 0, "no draws yet: nothing to build lists from"));
  }
  return histories;
}

std::string ListHeader(Date latestDraw) {
  std::string header = "#";
  header += Utf8ToCp932(JapaneseDate(latestDraw));
  header += "\r\n";
  return header;
}

ListBytes BuildLists(const Histories& histories) {
  ListBytes files;
  for (std::size_t row = 0; row < kListFiles.size(); ++row) {
    const std::vector<Draw>& draws = histories[GameIndex(kListFiles[row].game)];
    if (draws.empty()) throw PublishError(std::string(HistoryName(kListFiles[row].game)) + ": no draws yet");
    files[row] = ListHeader(draws.back().date);
  }
  for (Game game : {Game::Num3, Game::Num4}) {
    const std::vector<Draw>& draws = histories[GameIndex(game)];
    std::string& won = files[static_cast<std::size_t>(ListRow(game, ListKind::Correct))];
    std::string& neverWon = files[static_cast<std::size_t>(ListRow(game, ListKind::NoCorrect))];
    won.reserve(draws.size() * 9);
    neverWon.reserve(game == Game::Num3 ? 6000 : 60000);
    BuildNumbers(draws, game == Game::Num3 ? 3 : 4, won, neverWon);
  }
  for (Game game : {Game::Mini, Game::Lot6}) {
    const std::vector<Draw>& draws = histories[GameIndex(game)];
    std::string& won = files[static_cast<std::size_t>(ListRow(game, ListKind::Correct))];
    won.reserve(draws.size() * 20);
    BuildLoto(draws, won);
  }
  return files;
}

}  // namespace numira
