#pragma once
// The draw histories: one CSV file per game ("draw_no,date,numbers", UTF-8, LF line
// ends), the record every list file is built from.
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "DrawDate.h"
#include "Game.h"

namespace numira {

// A rejected input or a fault in a file: one line, "file:line: what" where a line is known.
class PublishError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "file:line: text"; "file: text" for line 0 (the file as a whole).
std::string At(const std::string& file, std::uint32_t line, const std::string& text);

// The games by their history names, in Game order.
struct HistoryGame {
  Game game;
  const char* name;  // "numbers3": the GAME argument and the file name without ".csv"
};
inline constexpr std::array<HistoryGame, 4> kHistoryGames{{
    {Game::Num3, "numbers3"}, {Game::Num4, "numbers4"}, {Game::Mini, "miniloto"}, {Game::Lot6, "loto6"}}};

std::optional<Game> GameByName(std::string_view name);
inline const char* HistoryName(Game game) { return kHistoryGames[GameIndex(game)].name; }
inline std::string HistoryFileName(Game game) { return std::string(HistoryName(game)) + ".csv"; }

inline constexpr std::string_view kHistoryColumns = "draw_no,date,numbers";

// "YYYY-MM-DD", a real calendar date; nullopt otherwise.
std::optional<Date> ParseDate(std::string_view text);
std::string IsoDate(Date date);        // "2026-08-21"
std::string JapaneseDate(Date date);   // "2026年8月21日" (UTF-8, no zero padding)

struct Draw {
  std::uint32_t number = 0;
  Date date;
  std::string numbers;  // as stored: "084", "2.5.9.17.31"
};

// A history's draws, in file order. Throws PublishError naming file:line for the first
// line that is not a draw following the one before it: wrong column line, field count,
// draw number out of sequence, a date that is not real or not later than the one
// before, numbers not in the stored form of the game. A CR before a LF is allowed.
std::vector<Draw> ParseHistory(std::string_view bytes, Game game, const std::string& file);

// ParseHistory of the file; a file that cannot be read is a PublishError too.
std::vector<Draw> ReadHistory(const std::string& path, Game game);

// The numbers of a result as a user types them, in the stored form: Numbers 3 / 4
// exactly 3 / 4 digits; Mini Loto / Loto 6 five / six distinct numbers from 1 to 31 /
// 43, separated by ".", "," or spaces, in any order, stored ascending without zero
// padding. Throws PublishError (without file or line) saying what is wrong.
std::string NormaliseNumbers(std::string_view text, Game game);

}  // namespace numira
