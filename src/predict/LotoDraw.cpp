#include "LotoDraw.h"

#include <algorithm>
#include <cstdio>

#include "ListReader.h"

namespace numira {

std::int64_t CombinationCount(LotoRules rules) {
  std::int64_t c = 1;
  for (int k = 1; k <= rules.count; ++k) c = c * (rules.range - rules.count + k) / k;
  return c;
}

Combination DrawFree(RollRandom& rng, LotoRules rules) {
  Combination c{};
  c[0] = rng.Below(rules.range) + 1;
  for (int k = 1; k < rules.count; ++k) {
    int v;
    do v = rng.Below(rules.range) + 1;
    while (std::find(c.begin(), c.begin() + k, v) != c.begin() + k);
    c[k] = v;
  }
  return c;
}

Combination DrawPast(RollRandom& rng, const CandidatePool& pool, LotoRules rules) {
  const std::string& entry = pool[static_cast<std::size_t>(rng.Below(static_cast<int>(pool.size())))];
  Combination c{};
  std::string_view rest = entry;
  for (int k = 0; k < rules.count; ++k) {
    c[k] = ParseInt32(rest);
    const auto dot = rest.find('.');
    if (dot == std::string_view::npos) break;  // the remaining fields stay 0
    rest.remove_prefix(dot + 1);
  }
  return c;
}

std::string FormatCombination(const Combination& c, LotoRules rules) {
  std::string text;
  char num[16];
  for (int k = 0; k < rules.count; ++k) {
    std::snprintf(num, sizeof num, k ? ".%d" : "%d", c[k]);
    text += num;
  }
  return text;
}

void SortCombination(Combination& c, LotoRules rules) {
  const auto n = std::min(static_cast<std::size_t>(rules.count), c.size());
  std::sort(c.begin(), c.begin() + static_cast<std::ptrdiff_t>(n));
}

NeverWonSet::NeverWonSet(const CandidatePool& pool, LotoRules rules) : rules_(rules) {
  std::size_t capacity = 16;
  while (capacity < 2 * pool.size()) capacity *= 2;
  slots_.assign(capacity, 0);
  for (const std::string& entry : pool) {
    Combination c{};
    std::string_view rest = entry;
    bool ok = true;
    for (int k = 0; k < rules.count && ok; ++k) {
      const auto dot = rest.find('.');
      const std::string_view field = rest.substr(0, dot);
      ok = !field.empty() && field.size() <= 2 && std::all_of(field.begin(), field.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
      if (ok) c[k] = ParseInt32(field);
      ok = ok && c[k] >= 1 && c[k] <= rules.range && (k == 0 || c[k] > c[k - 1]);
      ok = ok && ((k + 1 == rules.count) == (dot == std::string_view::npos));
      if (dot != std::string_view::npos) rest.remove_prefix(dot + 1);
    }
    // Only the exact "%d.%d..." form of an ascending combination can equal a drawn text.
    if (ok && FormatCombination(c, rules) == entry) Insert(Key(c));
  }
}

std::uint64_t NeverWonSet::Key(const Combination& c) const {
  std::uint64_t key = 0;
  for (int k = 0; k < rules_.count; ++k) key |= std::uint64_t{1} << c[k];
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

Combination DrawNeverWon(RollRandom& rng, LotoRules rules, const NeverWonSet& won) {
  for (;;) {
    Combination c = DrawFree(rng, rules);
    SortCombination(c, rules);
    if (!won.Contains(c)) return c;
  }
}

}  // namespace numira
