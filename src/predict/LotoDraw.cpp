#include "LotoDraw.h"

#include <algorithm>

namespace numira {

Combination DrawFree(RollRandom& rng, Game game) {
  const GameRules& rules = RulesOf(game);
  Combination c{};
  if (rules.form == EntryForm::Squares) {
    // One number from each square, in order: ascending and distinct by construction.
    const int size = SquareSize(game);
    for (int k = 0; k < rules.count; ++k) c[static_cast<std::size_t>(k)] = k * size + rng.Below(size) + 1;
    return c;
  }
  c[0] = rng.Below(rules.largest) + 1;
  for (int k = 1; k < rules.count; ++k) {
    int v;
    do v = rng.Below(rules.largest) + 1;
    while (std::find(c.begin(), c.begin() + k, v) != c.begin() + k);
    c[k] = v;
  }
  return c;
}

Combination DrawPast(RollRandom& rng, const CandidatePool& pool, Game game) {
  const std::string& entry = pool[static_cast<std::size_t>(rng.Below(static_cast<int>(pool.size())))];
  const std::vector<std::int32_t> fields = EntryFields(entry);
  Combination c{};
  const std::size_t n = std::min(fields.size(), static_cast<std::size_t>(RulesOf(game).count));
  std::copy(fields.begin(), fields.begin() + static_cast<std::ptrdiff_t>(n), c.begin());
  return c;
}

void SortCombination(Combination& c, Game game) {
  const auto n = std::min(static_cast<std::size_t>(RulesOf(game).count), c.size());
  std::sort(c.begin(), c.begin() + static_cast<std::ptrdiff_t>(n));
}

NeverWonSet::NeverWonSet(const CandidatePool& pool, Game game) : game_(game) {
  std::size_t capacity = 16;
  while (capacity < 2 * pool.size()) capacity *= 2;
  slots_.assign(capacity, 0);
  for (const std::string& entry : pool)
    if (const std::optional<Combination> c = ParseEntry(entry, game)) Insert(Key(*c));
}

std::uint64_t NeverWonSet::Key(const Combination& c) const {
  std::uint64_t key = 0;
  for (int k = 0; k < RulesOf(game_).count; ++k) key |= std::uint64_t{1} << c[k];
  return key;
}

std::size_t NeverWonSet::Slot(std::uint64_t key) const {
  // Fibonacci hashing spreads the bit patterns over the table.
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & mask;
  while (slots_[i] != 0 && slots_[i] != key) i = (i + 1) & mask;
  return i;
}

void NeverWonSet::Insert(std::uint64_t key) {
  const std::size_t i = Slot(key);
  if (slots_[i] == 0) {
    slots_[i] = key;
    ++size_;
  }
}

bool NeverWonSet::Contains(const Combination& c) const {
  if (slots_.empty()) return false;
  const std::uint64_t key = Key(c);
  return slots_[Slot(key)] == key;
}

Combination DrawNeverWon(RollRandom& rng, Game game, const NeverWonSet& won) {
  for (;;) {
    Combination c = DrawFree(rng, game);
    SortCombination(c, game);
    if (!won.Contains(c)) return c;
  }
}

}  // namespace numira
