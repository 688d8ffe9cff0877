// The purchases: the results of 10,000 slips (1–10 draws each) against the real draws,
// recording one slip with its commit to disk, and opening a file of 10,000 slips.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "Ledger.h"
#include "Results.h"

namespace numira {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

const AllGames& Data() {
  static const AllGames all = [] {
    AllGames a;
    for (Game g : kGames) {
      a[GameIndex(g)].draws = ParseHistory(Read(fs::path(NUMIRA_DRAWS_DIR) / HistoryFileName(g)), g, GameId(g));
      if (HasPrizes(g))
        a[GameIndex(g)].prizes = ParsePrizes(Read(fs::path(NUMIRA_PRIZES_DIR) / PrizeFileName(g)), g, "prizes");
    }
    return a;
  }();
  return all;
}

// 10,000 slips of every game, 1–5 lines, 1–10 draws, spread over each history.
std::vector<Purchase> Slips(std::size_t n) {
  std::mt19937 rng(42);
  std::vector<Purchase> out;
  const std::array<std::string, 6> lines{"084", "0841", "2.5.9.17.31", "1.8.19.27.33.42", "2.8.15.17.25.28.34",
                                         "1.10.13.19.23.28.35.37"};
  for (std::size_t i = 0; i < n; ++i) {
    Purchase p;
    p.game = kGames[i % kGames.size()];
    const std::size_t draws = Data()[GameIndex(p.game)].draws.size();
    p.lines.assign(1 + rng() % 5, PurchaseLine{lines[GameIndex(p.game)], TicketType::Straight});
    p.draws = 1 + static_cast<int>(rng() % 10);
    p.firstDraw = 1 + static_cast<std::uint32_t>(rng() % draws);
    p.created = "2026-08-24 21:05";
    out.push_back(std::move(p));
  }
  return out;
}

void BM_ResultsOf10000Slips(benchmark::State& state) {
  const std::vector<Purchase> slips = Slips(10000);
  const AllGames& data = Data();
  for (auto _ : state) {
    std::size_t won = 0;
    for (const Purchase& p : slips)
      for (const LineResult& r : ResultsOf(p, data[GameIndex(p.game)], Date{2026, 8, 24}))
        won += r.prize != Prize::None ? 1 : 0;
    benchmark::DoNotOptimize(won);
  }
}
BENCHMARK(BM_ResultsOf10000Slips)->Unit(benchmark::kMillisecond);

void BM_TotalsOf10000Slips(benchmark::State& state) {
  const std::vector<Purchase> slips = Slips(10000);
  for (auto _ : state) benchmark::DoNotOptimize(TotalsOf(slips, Data(), Date{2026, 8, 24}));
}
BENCHMARK(BM_TotalsOf10000Slips)->Unit(benchmark::kMillisecond);

std::string ScratchFile() {
  const fs::path dir = fs::temp_directory_path() / ("numira-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  return (dir / "numira.db").string();
}

void BM_RecordOneSlip(benchmark::State& state) {
  const std::string path = ScratchFile();
  auto ledger = Ledger::Open(path).ledger;
  const Purchase slip = Slips(1)[0];
  for (auto _ : state) benchmark::DoNotOptimize(ledger->Add(slip));
  ledger.reset();
  fs::remove_all(fs::path(path).parent_path());
}
BENCHMARK(BM_RecordOneSlip)->Unit(benchmark::kMillisecond)->UseRealTime();

// A file of 10,000 slips (their lines as CSV rows, imported at once).
std::unique_ptr<Ledger> FileOf10000Slips(const std::string& path) {
  auto ledger = Ledger::Open(path).ledger;
  std::string csv = std::string(kCsvHeader) + "\n";
  for (const Purchase& p : Slips(10000))
    for (std::size_t i = 0; i < p.lines.size(); ++i)
      csv += std::string(GameId(p.game)) + "," + p.lines[i].numbers + "," + (IsNumbers(p.game) ? "ストレート" : "") + ",1," +
             std::to_string(p.firstDraw) + "," + std::to_string(p.draws) + "," + LineLetter(static_cast<int>(i)) + ",,\n";
  ledger->ImportCsv(csv, "2026-08-24 21:05");
  return ledger;
}

void BM_Open10000Slips(benchmark::State& state) {
  const std::string path = ScratchFile();
  FileOf10000Slips(path).reset();
  for (auto _ : state) benchmark::DoNotOptimize(Ledger::Open(path).ledger);
  state.counters["bytes"] = static_cast<double>(fs::file_size(path));
  fs::remove_all(fs::path(path).parent_path());
}
BENCHMARK(BM_Open10000Slips)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Read10000Slips(benchmark::State& state) {
  const std::string path = ScratchFile();
  auto ledger = FileOf10000Slips(path);
  for (auto _ : state) benchmark::DoNotOptimize(ledger->Purchases());
  ledger.reset();
  fs::remove_all(fs::path(path).parent_path());
}
BENCHMARK(BM_Read10000Slips)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace numira
