#include "Controls.h"

namespace numira {

const ControlDef* FindControl(int id) {
  for (const ControlDef& c : kMainControls)
    if (c.id == id) return &c;
  for (const ControlDef& c : kChoicePanelControls)
    if (c.id == id) return &c;
  return nullptr;
}

const PanelDef* PanelOfControl(int id) {
  for (const PanelDef& p : kGamePanels) {
    if (id == p.groupBox || id == p.checkBox || id == p.dropDown || id == p.predictButton) return &p;
    for (int field : ResultFields(p.game))
      if (field == id) return &p;
  }
  return nullptr;
}

std::vector<const ControlDef*> WindowControls() {
  std::vector<const ControlDef*> controls;
  controls.reserve(kMainControls.size() + kChoicePanelControls.size());
  for (const ControlDef& c : kMainControls) {
    if (c.id == ctl::kDownload)
      for (const ControlDef& added : kChoicePanelControls) controls.push_back(&added);
    controls.push_back(&c);
  }
  return controls;
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
