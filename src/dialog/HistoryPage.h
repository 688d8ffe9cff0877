#pragma once
// What the history window shows for one game, as texts and numbers ready to be put on
// the screen: the summary lines, the bar chart and the table. The window only shows it.
#include <cstdint>
#include <string>
#include <vector>

#include "DrawHistory.h"
#include "Game.h"
#include "WinningList.h"

namespace numira {

struct HistoryCell {
  std::string text;
  std::uint64_t sortKey = 0;  // the table sorts by this, not by the text
  bool marked = false;        // part of the game's last proposal
  bool operator==(const HistoryCell&) const = default;
};

// One bar set: a value per category.
struct HistoryBars {
  std::string name;
  std::vector<std::uint64_t> values;
  std::vector<bool> marked;
  bool operator==(const HistoryBars&) const = default;
};

struct HistoryPage {
  Game game = Game::Num3;
  std::string tabName;
  bool hasData = false;            // without data, only the lines are shown
  std::vector<std::string> lines;  // the summary lines, or the no-data message
  std::string chartName;           // the chart's accessible name
  std::string tableName;           // the table's accessible name
  std::vector<std::string> categories;
  std::vector<HistoryBars> bars;
  std::vector<std::string> columns;
  std::vector<std::vector<HistoryCell>> rows;
  bool operator==(const HistoryPage&) const = default;
};

// The page of a game from its lists; lastProposal ("123", "3.12.17.25.31") is marked.
// The Loto tables' column 前回から comes from the game's draws (empty cells without them).
HistoryPage BuildHistoryPage(Game game, const WinningList& list, const std::string& lastProposal,
                             const std::vector<Draw>& draws = {});

// The tooltips of a standing proposal, one per result field of the game.
std::vector<std::string> ProposalToolTips(Game game, const WinningList& list, const std::string& proposal);

}  // namespace numira
