// Checking tickets against the shipped histories: one ticket of each game against every
// draw of its game, as 照合 does it (the outcome's lines, the wins table with what each
// win paid, the ビンゴ５ card), and the prize rules alone.
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "CheckPage.h"
#include "DrawSeed.h"

namespace numira {
namespace {

struct GameFiles {
  std::vector<Draw> draws;
  std::vector<DrawPrizes> prizes;
};

// The six games' shipped draws and prizes, read once.
const std::array<GameFiles, 6>& Shipped() {
  static const std::array<GameFiles, 6> files = [] {
    std::array<GameFiles, 6> f;
    for (const Game game : kGames) {
      const std::string folder = NUMIRA_SHIPPED_DIR;
      f[GameIndex(game)].draws = DrawsOfFile(folder + "/draws/" + HistoryFileName(game), game).value_or(std::vector<Draw>{});
      if (HasPrizes(game))
        f[GameIndex(game)].prizes =
            PrizesOfFile(folder + "/prizes/" + PrizeFileName(game), game).value_or(std::vector<DrawPrizes>{});
    }
    return f;
  }();
  return files;
}

// A ticket of each game as a player types it, winning now and then.
constexpr std::array<const char*, 6> kTickets{"286", "9577", "6 11 13 14 18", "7 12 20 23 27 29", "8 10 20 22 23 27 37",
                                              "1 9 13 17 23 28 34 40"};

// One ticket of every game against every draw of its game, with the window's texts.
void CheckOneTicketOfEveryGame(benchmark::State& state) {
  const auto& files = Shipped();
  std::size_t draws = 0;
  for (const GameFiles& f : files) draws += f.draws.size();
  if (draws == 0) state.SkipWithError("no shipped draws");
  for (auto _ : state) {
    for (const Game game : kGames) {
      const GameFiles& f = files[GameIndex(game)];
      CheckOutcome o = CheckTypedTicket(game, f.draws, f.prizes, kTickets[GameIndex(game)], 0);
      benchmark::DoNotOptimize(o);
    }
  }
  state.counters["draws"] = static_cast<double>(draws);
}
BENCHMARK(CheckOneTicketOfEveryGame)->Unit(benchmark::kMillisecond);

// The prize rules alone: the same tickets, read once, against every draw.
void PrizeRulesOfEveryDraw(benchmark::State& state) {
  const auto& files = Shipped();
  std::array<Ticket, 6> tickets;
  for (const Game game : kGames)
    tickets[GameIndex(game)] = *ReadTicket(kTickets[GameIndex(game)], game, TicketType::Straight).ticket;
  for (auto _ : state) {
    for (const Game game : kGames) {
      TicketCheck c = CheckTicket(tickets[GameIndex(game)], files[GameIndex(game)].draws);
      benchmark::DoNotOptimize(c);
    }
  }
}
BENCHMARK(PrizeRulesOfEveryDraw)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace numira
