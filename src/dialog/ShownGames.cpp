#include "ShownGames.h"

#include <algorithm>

namespace numira {

ShownGames::ShownGames() {
  for (const PanelDef& p : kPanels) bits_ |= 1u << GameIndex(p.game);
}

ShownGames ShownGames::With(Game g, bool shown) const {
  ShownGames s = *this;
  if (!Panel(g).byChoice) return s;
  if (shown)
    s.bits_ |= 1u << GameIndex(g);
  else
    s.bits_ &= ~(1u << GameIndex(g));
  return s;
}

std::vector<Game> ShownGames::Games() const {
  std::vector<Game> games;
  for (const PanelDef& p : kGamePanels)
    if (Has(p.game)) games.push_back(p.game);
  return games;
}

int ShownGames::ChoiceCount() const {
  int n = 0;
  for (const PanelDef& p : kGamePanels) n += p.byChoice && Has(p.game) ? 1 : 0;
  return n;
}

WindowLayout LayoutFor(const ShownGames& shown) {
  WindowLayout layout{kDialogWidth, kDialogHeight + kPanelPitch * shown.ChoiceCount(), {}};
  // A panel shown by choice moves up by a pitch for each one before it that is hidden.
  for (const ControlDef& c : kChoicePanelControls) {
    const PanelDef* panel = PanelOfControl(c.id);
    int hiddenBefore = 0;
    for (const PanelDef& p : kGamePanels)
      if (p.byChoice && p.game < panel->game && !shown.Has(p.game)) ++hiddenBefore;
    layout.places.push_back({c.id, shown.Has(panel->game), c.x, c.y - kPanelPitch * hiddenBefore});
  }
  // What lies below the panels moves down by a pitch for each one shown.
  for (const ControlDef& c : kMainControls)
    if (c.y >= kBelowPanelsTop && !(c.style & kHidden))
      layout.places.push_back({c.id, true, c.x, c.y + kPanelPitch * shown.ChoiceCount()});
  return layout;
}

std::string GameIdList(const std::vector<Game>& games) {
  std::string text;
  for (Game g : games) text += (text.empty() ? "" : ", ") + std::string(GameId(g));
  return text;
}

std::string GamesSetting(const ShownGames& shown) {
  std::string value;
  for (Game g : shown.Games()) value += (value.empty() ? "" : ",") + std::string(GameId(g));
  return value;
}

GamesLine ParseGamesSetting(std::string_view value) {
  GamesLine line;
  std::vector<Game> listed;
  std::size_t start = 0;
  while (start <= value.size()) {
    const std::size_t comma = std::min(value.find(',', start), value.size());
    std::string_view piece = value.substr(start, comma - start);
    start = comma + 1;
    while (!piece.empty() && (piece.front() == ' ' || piece.front() == '\t')) piece.remove_prefix(1);
    while (!piece.empty() && (piece.back() == ' ' || piece.back() == '\t')) piece.remove_suffix(1);
    if (piece.empty()) continue;
    if (const std::optional<Game> g = GameById(piece)) {
      listed.push_back(*g);
      line.shown = line.shown.With(*g, true);
    } else {
      line.unknown.emplace_back(piece);
    }
  }
  for (const PanelDef& p : kPanels)
    if (std::find(listed.begin(), listed.end(), p.game) == listed.end()) line.missing.push_back(p.game);
  return line;
}

}  // namespace numira
