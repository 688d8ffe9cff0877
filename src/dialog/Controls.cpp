#include "Controls.h"

namespace numira {

const ControlDef* FindControl(int id) {
  for (const ControlDef& c : kMainControls)
    if (c.id == id) return &c;
  return nullptr;
}

std::string PlainCaption(Game game) {
  return std::string(text::kCaptionOpen) + text::kGameNames[GameIndex(game)] + text::kCaptionClose;
}

std::string DatedCaption(Game game, const std::string& date) { return PlainCaption(game) + text::kDateLabel + date; }

FilterChoice RecogniseFilter(Game game, std::string_view selected) {
  const std::span<const FilterItem> items = FilterItems(game);
  for (const FilterItem& item : items)
    if (selected.find(item.text) != std::string_view::npos) return item.choice;
  return items.back().choice;
}

}  // namespace numira
