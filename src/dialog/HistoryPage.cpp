#include "HistoryPage.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "Controls.h"
#include "Entry.h"
#include "HistoryFigures.h"
#include "TextFill.h"
#include "Texts.h"

namespace numira {
namespace {

// A count as the window shows it: "1,234".
std::string Count(std::uint64_t n) { return Grouped(static_cast<std::int64_t>(n)); }

// Every digit position of a Numbers game has its column name.
static_assert(text::kPositionColumns.size() >= static_cast<std::size_t>(RulesOf(Game::Num3).count) &&
                  text::kPositionColumns.size() >= static_cast<std::size_t>(RulesOf(Game::Num4).count),
              "one position name per digit of the longest Numbers number");

}  // namespace

HistoryPage BuildHistoryPage(Game game, const WinningList& list, const std::string& lastProposal,
                             const std::vector<Draw>& draws) {
  const HistoryFigures f = ComputeFigures(game, list);
  HistoryPage page;
  page.game = game;
  page.tabName = ShownName(game);
  page.hasData = f.hasData;
  if (!f.hasData) {
    page.lines.push_back(text::kNoData);
    return page;
  }
  page.lines.push_back(Fill(text::kHistoryHeadlineFormat, {f.latestDrawDate, Count(f.draws)}));

  if (!IsNumbers(game)) {
    const std::vector<int> proposal = LotoNumbers(lastProposal, game);
    page.chartName = Fill(text::kLotoChartNameFormat, {page.tabName});
    page.tableName = Fill(text::kLotoTableNameFormat, {page.tabName});
    page.columns = {text::kNumberColumn, text::kDrawsColumn, text::kShareColumn, text::kSinceLastColumn};
    const std::vector<std::optional<std::uint32_t>> since = DrawsSinceLast(draws, game);
    HistoryBars bars{text::kDrawsColumn, {}, {}};
    for (std::size_t k = 0; k < f.numberCounts.size(); ++k) {
      const int number = static_cast<int>(k) + 1;
      const std::uint64_t count = f.numberCounts[k];
      const bool marked = std::find(proposal.begin(), proposal.end(), number) != proposal.end();
      page.categories.push_back(std::to_string(number));
      bars.values.push_back(count);
      bars.marked.push_back(marked);
      // The share sorts as the count does: both are over the same draws.
      // A number whose last draw is not known sorts after every known one.
      std::uint64_t ago = std::numeric_limits<std::uint64_t>::max();
      if (k < since.size() && since[k].has_value()) ago = since[k].value();
      const bool agoKnown = ago != std::numeric_limits<std::uint64_t>::max();
      page.rows.push_back({{std::to_string(number), static_cast<std::uint64_t>(number), marked},
                           {Count(count), count, marked},
                           {ShareText(count, f.draws), count, marked},
                           {agoKnown ? Count(ago) : std::string(), ago, false}});
    }
    page.bars.push_back(std::move(bars));
    return page;
  }

  page.lines.push_back(Fill(text::kNeverDrawnFormat, {Count(f.neverDrawn)}));
  page.chartName = Fill(text::kNumbersChartNameFormat, {page.tabName});
  page.tableName = Fill(text::kNumbersTableNameFormat, {page.tabName});
  const std::size_t positions = f.digitCounts.size();
  const std::vector<int> proposal = EntryNumberList(lastProposal, game);
  page.columns = {text::kNumberColumn};
  for (std::size_t pos = 0; pos < positions; ++pos) {
    const char* name = text::kPositionColumns[text::kPositionColumns.size() - positions + pos];
    page.columns.push_back(name);
    HistoryBars bars{name, {}, {}};
    for (int digit = 0; digit < 10; ++digit) {
      bars.values.push_back(f.digitCounts[pos][static_cast<std::size_t>(digit)]);
      bars.marked.push_back(!proposal.empty() && proposal[pos] == digit);
    }
    page.bars.push_back(std::move(bars));
  }
  for (int digit = 0; digit < 10; ++digit) {
    const auto d = static_cast<std::size_t>(digit);
    page.categories.push_back(std::to_string(d));
    std::vector<HistoryCell> row{{std::to_string(d), d, false}};
    for (const HistoryBars& bars : page.bars) row.push_back({Count(bars.values[d]), bars.values[d], bars.marked[d]});
    page.rows.push_back(std::move(row));
  }
  return page;
}

std::vector<std::string> ProposalToolTips(Game game, const WinningList& list, const std::string& proposal) {
  if (IsNumbers(game)) return {Fill(text::kNumbersToolTipFormat, {Count(EntryDrawCount(list, proposal))})};
  const HistoryFigures f = ComputeFigures(game, list);
  std::vector<std::string> tips;
  const std::vector<std::int32_t> fields = EntryFields(proposal);
  for (std::size_t k = 0; k < ResultFields(game).size(); ++k) {
    const std::int32_t n = k < fields.size() ? fields[k] : 0;  // a field missing from a short proposal reads as 0
    const bool known = n >= 1 && static_cast<std::size_t>(n) <= f.numberCounts.size();
    tips.push_back(Fill(text::kLotoToolTipFormat, {std::to_string(n), Count(known ? f.numberCounts[static_cast<std::size_t>(n - 1)] : 0)}));
  }
  return tips;
}

}  // namespace numira
