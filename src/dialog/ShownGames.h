#pragma once
// Which games the window shows (表示するくじ), where its controls stand then, and the
// games= line of numira.conf that remembers the choice.
#include <string>
#include <string_view>
#include <vector>

#include "Controls.h"
#include "Game.h"

namespace numira {

// A set of games: always the panels every window shows, and any of those shown by choice.
class ShownGames {
 public:
  // The panels every window shows (kPanels), and nothing more.
  ShownGames();
  bool Has(Game g) const { return (bits_ >> GameIndex(g) & 1u) != 0; }
  // The set with a panel shown by choice added or taken away; the fixed panels stay.
  ShownGames With(Game g, bool shown) const;
  // The games, in the window's order.
  std::vector<Game> Games() const;
  // How many of the panels shown by choice are shown.
  int ChoiceCount() const;
  bool operator==(const ShownGames& other) const { return bits_ == other.bits_; }

 private:
  unsigned bits_ = 0;
};

// Where a control stands and whether it is shown.
struct ControlPlace {
  int id;
  bool shown;
  int x, y;  // dialog units, relative to the client area
};

// The window with some games shown: its client size and the places of the controls that
// depend on it (the controls of the panels shown by choice and what lies below the
// panels); every other control stands where kMainControls puts it.
struct WindowLayout {
  int width, height;  // dialog units
  std::vector<ControlPlace> places;
};
WindowLayout LayoutFor(const ShownGames& shown);

// numira.conf: games=numbers3,numbers4,miniloto,loto6,loto7,bingo5 (the shown games by
// their ids, in the window's order).
inline constexpr const char* kGamesKey = "games";
std::string GamesSetting(const ShownGames& shown);

// A games= value as read: the games it shows, what was wrong with it.
struct GamesLine {
  ShownGames shown;
  std::vector<std::string> unknown;  // pieces that are no game's id, as written
  std::vector<Game> missing;         // fixed games the line does not list (shown all the same)
};
// The value is split at commas; blanks around an id and empty pieces do not count.
GamesLine ParseGamesSetting(std::string_view value);

// The ids of the given games joined by ", ": for messages.
std::string GameIdList(const std::vector<Game>& games);

}  // namespace numira
