// Reader speed on the real lists and on a large synthetic list; the cost of one
// never-won Loto 6 tick against won lists of 10 and of 1,000,000 combinations; the
// dialog's initialisation with the real lists, four panels and six (表示するくじ), and one
// never-won tick of each game drawn as numbers against its real list.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "ListReader.h"
#include "ListServerChoice.h"
#include "ListTable.h"
#include "DrawSeed.h"
#include "Ledger.h"
#include "PredictDlg.h"

namespace numira {
namespace {

namespace fs = std::filesystem;

class NullWindow : public WindowServices {
 public:
  void Enable(int, bool) override {}
  void SetText(int, const std::string&) override {}
  std::string Text(int) const override { return {}; }
  int CheckState(int) const override { return checked; }
  void SetDropDownItems(int, const std::vector<std::string>&, int) override {}
  std::string SelectedText(int) const override { return "未当せん"; }
  void MessageBox(const std::string&, const std::string&, MessageIcon) override {}
  void ShowAboutBox() override {}
  void SetTimer(int, int) override {}
  void KillTimer(int) override {}
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  void UpdateNow() override {}
  void StartRefresh(const RefreshRequest&) override {}
  std::string WindowTitle() const override { return "ぬみら"; }
  void CenterWindow() override {}
  void EndDialog(int) override {}
  int checked = 1;
};

void ReadRealLists(benchmark::State& state) {
  std::int64_t bytes = 0;
  for (auto _ : state) {
    for (const ListFileRow& row : kListFiles) {
      const fs::path p = fs::path(NUMIRA_SHIPPED_DIR) / "lists" / row.fileName;
      auto list = ReadListFile(p.string(), row.kind);
      benchmark::DoNotOptimize(list);
      bytes += static_cast<std::int64_t>(fs::file_size(p));
    }
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(ReadRealLists)->Unit(benchmark::kMillisecond);

fs::path ScratchDir() {
  static const fs::path dir = [] {
    std::string t = (fs::temp_directory_path() / "numira-bench-XXXXXX").string();
    return fs::path(::mkdtemp(t.data()));
  }();
  return dir;
}

void ReadSyntheticList(benchmark::State& state) {
  const fs::path path = ScratchDir() / "synthetic.txt";
  const std::size_t target = static_cast<std::size_t>(state.range(0)) << 20;
  {
    std::ofstream out(path, std::ios::binary);
    out << "#2026\x94\x4E" "8\x8C\x8E" "21\x93\xFA\r\n";
    char line[64];
    for (std::size_t written = 0, i = 0; written < target; ++i) {
      const int n = std::snprintf(line, sizeof line, "%zu.%zu.%zu.%zu.%zu.%zu,%zu\r\n", i % 43 + 1, i % 41 + 2,
                                  i % 37 + 3, i % 31 + 4, i % 29 + 5, i % 23 + 6, i % 7);
      out.write(line, n);
      written += static_cast<std::size_t>(n);
    }
  }
  const auto size = static_cast<std::int64_t>(fs::file_size(path));
  for (auto _ : state) {
    auto list = ReadListFile(path.string(), ListKind::Correct);
    benchmark::DoNotOptimize(list);
  }
  state.SetBytesProcessed(size * state.iterations());
  fs::remove(path);
}
BENCHMARK(ReadSyntheticList)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(5);

// A dialog whose Lot6 won list holds `count` distinct combinations, rolling freely
// under the never-won filter.
void NeverWonTick(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  const fs::path dir = ScratchDir() / ("lot6-" + std::to_string(count));
  fs::create_directories(dir);
  {
    std::ofstream out(dir / "Lot6Correct.txt", std::ios::binary);
    out << "#2025\x94\x4E" "9\x8C\x8E" "25\x93\xFA\r\n";
    RollRandom rng;
    rng.Seed(2025);
    std::set<std::uint64_t> seen;
    while (seen.size() < count) {
      Combination c = DrawFree(rng, Game::Lot6);
      SortCombination(c, Game::Lot6);
      std::uint64_t key = 0;
      for (int k = 0; k < 6; ++k) key |= std::uint64_t{1} << c[k];
      if (seen.insert(key).second) out << FormatEntry(c, Game::Lot6) << ",1\r\n";
    }
  }
  NullWindow window;
  SystemClock clock;
  CPredictDlg dlg(window, clock, DialogSetup{(dir / "numira").string(), "127.0.0.1"});
  dlg.OnInitDialog();
  dlg.OnPredict(Game::Lot6);
  if (dlg.Roll(Game::Lot6).lotoMode != LotoMode::NeverWon) state.SkipWithError("the roll did not start in never-won mode");
  for (auto _ : state) dlg.OnRollTick(Game::Lot6);
  state.counters["won"] = static_cast<double>(dlg.List(Game::Lot6).wonEntries.size());
  fs::remove_all(dir);
}
BENCHMARK(NeverWonTick)->Arg(10)->Arg(1000000)->Unit(benchmark::kNanosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// ---- 購入記録 through the dialog: start-up with and without a database of 10,000 tickets,
// recording one (with its commit to disk), the page of 10,000 and checking them after new draws.

// A copy of the lists, draws and prizes, and (tickets > 0) a database of that many one-line
// tickets of every game, 1–10 draws each, spread over each history.
fs::path PurchasesCopy(int tickets) {
  const fs::path dir = ScratchDir() / ("purchases-" + std::to_string(tickets));
  if (fs::exists(dir)) return dir;
  fs::create_directories(dir / "draws");
  fs::create_directories(dir / "prizes");
  for (const auto& e : fs::directory_iterator(NUMIRA_DATA_DIR)) fs::copy_file(e.path(), dir / e.path().filename());
  for (const auto& e : fs::directory_iterator(NUMIRA_DRAWS_DIR)) fs::copy_file(e.path(), dir / "draws" / e.path().filename());
  for (const auto& e : fs::directory_iterator(NUMIRA_PRIZES_DIR)) fs::copy_file(e.path(), dir / "prizes" / e.path().filename());
  if (tickets == 0) return dir;
  const std::array<const char*, 6> lines{"084", "0841", "2.5.9.17.31", "1.8.19.27.33.42", "2.8.15.17.25.28.34",
                                         "1.10.13.19.23.28.35.37"};
  const std::array<std::uint32_t, 6> drawn{7000, 7000, 1300, 2000, 650, 480};
  std::string csv = "くじ,番号,申込タイプ,口数,回号,継続回数,行,受取済み,記録日時\n";
  for (int i = 0; i < tickets; ++i) {
    const std::size_t g = static_cast<std::size_t>(i) % kGames.size();
    csv += std::string(GameId(kGames[g])) + "," + lines[g] + "," + (g < 2 ? "ストレート" : "") + ",1," +
           std::to_string(1 + (static_cast<std::uint32_t>(i) * 7919u) % drawn[g]) + "," + std::to_string(1 + i % 10) +
           ",A,,2026-08-24 21:05\n";
  }
  Ledger::Opening o = Ledger::Open((dir / "numira.db").string());
  if (!o.ledger || o.ledger->ImportCsv(csv, "2026-08-24 21:05") != tickets) std::abort();
  return dir;
}

void StartUp(benchmark::State& state) {
  const fs::path dir = PurchasesCopy(static_cast<int>(state.range(0)));
  const SystemClock clock;
  for (auto _ : state) {
    NullWindow window;
    CPredictDlg dlg(window, clock, DialogSetup{(dir / "numira").string(), "127.0.0.1"});
    dlg.OnInitDialog();
    if (dlg.LedgerOpen()) std::abort();
  }
}
BENCHMARK(StartUp)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

// A dialog on the copy whose purchases' file it opens directly.
DialogSetup LedgerSetup(const fs::path& dir) {
  DialogSetup setup{(dir / "numira").string(), "127.0.0.1"};
  setup.openLedger = &Ledger::Open;
  return setup;
}

void RecordTicket(benchmark::State& state) {
  const fs::path dir = PurchasesCopy(10000);
  const SystemClock clock;
  NullWindow window;
  CPredictDlg dlg(window, clock, LedgerSetup(dir));
  dlg.OnInitDialog();
  if (!dlg.OnRecordTyped(PurchaseForm{3, "1 2 3 4 5 6", 0, "1", "", "3"}).recorded) std::abort();  // opened
  for (auto _ : state)
    if (!dlg.OnRecordTyped(PurchaseForm{3, "1 2 3 4 5 6", 0, "1", "", "3"}).recorded) std::abort();
}
BENCHMARK(RecordTicket)->Unit(benchmark::kMillisecond)->UseRealTime();

void PurchasesPageOf10000(benchmark::State& state) {
  const fs::path dir = PurchasesCopy(10000);
  const SystemClock clock;
  NullWindow window;
  CPredictDlg dlg(window, clock, LedgerSetup(dir));
  dlg.OnInitDialog();
  for (auto _ : state) benchmark::DoNotOptimize(dlg.Purchases());
}
BENCHMARK(PurchasesPageOf10000)->Unit(benchmark::kMillisecond);

// After a refresh: every ticket read from the file and checked against the draws since
// each game's draw 500 back (some 4,000 of the 10,000 cover them).
void CheckAfterNewDraws(benchmark::State& state) {
  const fs::path dir = PurchasesCopy(10000);
  AllGames data;
  std::array<std::uint32_t, 6> before{};
  for (Game g : kGames) {
    GameData& d = data[GameIndex(g)];
    d.draws = *DrawsOfFile((dir / "draws" / HistoryFileName(g)).string(), g);
    if (HasPrizes(g)) d.prizes = *PrizesOfFile((dir / "prizes" / PrizeFileName(g)).string(), g);
    before[GameIndex(g)] = d.draws.back().number > 500 ? d.draws.back().number - 500 : 0;
  }
  Ledger::Opening o = Ledger::Open((dir / "numira.db").string());
  for (auto _ : state) benchmark::DoNotOptimize(NewDrawsSummary(o.ledger->Purchases(), data, before));
}
BENCHMARK(CheckAfterNewDraws)->Unit(benchmark::kMillisecond);
// A scratch folder holding copies of the shipped lists, as beside an executable; with a
// numira.conf that shows all six panels.
fs::path RealListsDir() {
  static const fs::path dir = [] {
    const fs::path d = ScratchDir() / "real";
    fs::create_directories(d);
    for (const ListFileRow& row : kListFiles)
      fs::copy_file(fs::path(NUMIRA_SHIPPED_DIR) / "lists" / row.fileName, d / row.fileName,
                    fs::copy_options::overwrite_existing);
    WriteConfigSetting((d / "six.conf").string(), kGamesKey, "numbers3,numbers4,miniloto,loto6,loto7,bingo5");
    return d;
  }();
  return dir;
}

// OnInitDialog with the real lists: Arg 4, a new user's four panels; Arg 6, all six.
void InitDialog(benchmark::State& state) {
  const fs::path dir = RealListsDir();
  const std::string config = state.range(0) == 6 ? (dir / "six.conf").string() : std::string();
  NullWindow window;
  SystemClock clock;
  for (auto _ : state) {
    CPredictDlg dlg(window, clock, DialogSetup{(dir / "numira").string(), "127.0.0.1", config});
    dlg.OnInitDialog();
    if (dlg.Shown().Games().size() != static_cast<std::size_t>(state.range(0))) state.SkipWithError("wrong panels shown");
  }
}
BENCHMARK(InitDialog)->Arg(4)->Arg(6)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// One never-won tick against the game's real won list: Arg is the game's index (Mini 2,
// Lot6 3, Lot7 4, Bingo5 5).
void RealNeverWonTick(benchmark::State& state) {
  const Game game = kGames[static_cast<std::size_t>(state.range(0))];
  NullWindow window;
  SystemClock clock;
  const fs::path dir = RealListsDir();
  CPredictDlg dlg(window, clock, DialogSetup{(dir / "numira").string(), "127.0.0.1", (dir / "six.conf").string()});
  dlg.OnInitDialog();
  dlg.OnPredict(game);
  if (dlg.Roll(game).lotoMode != LotoMode::NeverWon) state.SkipWithError("the roll did not start in never-won mode");
  for (auto _ : state) dlg.OnRollTick(game);
  state.counters["won"] = static_cast<double>(dlg.List(game).wonEntries.size());
}
BENCHMARK(RealNeverWonTick)->DenseRange(2, 5)->Unit(benchmark::kNanosecond);

}  // namespace
}  // namespace numira
