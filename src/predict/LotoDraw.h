#pragma once
// The three ways a Loto tick draws a combination.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "CandidatePool.h"
#include "Game.h"
#include "RollRandom.h"

namespace numira {

struct LotoRules {
  int count;  // numbers in a combination
  int range;  // drawn from 1 to range
};
// The games' own rules (Game.h): how many numbers, and from 1 to what.
inline constexpr LotoRules kMiniRules{RulesOf(Game::Mini).count, RulesOf(Game::Mini).largest};
inline constexpr LotoRules kLot6Rules{RulesOf(Game::Lot6).count, RulesOf(Game::Lot6).largest};
inline constexpr LotoRules RulesFor(Game g) { return g == Game::Lot6 ? kLot6Rules : kMiniRules; }

// Up to six numbers; only the first rules.count are used.
using Combination = std::array<int, 6>;

// Number of distinct combinations (169911 for Mini, 6096454 for Lot6).
std::int64_t CombinationCount(LotoRules rules);

// Free draw: numbers from 1 to range, each drawn again until it differs from those before.
Combination DrawFree(RollRandom& rng, LotoRules rules);

// A past winning combination: a random pool entry cut at "." into numbers read like atoi.
// Fields missing from a short entry read as 0. The pool must not be empty.
Combination DrawPast(RollRandom& rng, const CandidatePool& pool, LotoRules rules);

// "%d.%d.%d..." of the first rules.count numbers.
std::string FormatCombination(const Combination& c, LotoRules rules);

// Ascending order of the first rules.count numbers.
void SortCombination(Combination& c, LotoRules rules);

// The won combinations a never-won draw must avoid, hashed once when the roll starts.
// A drawn combination matches a pool entry when its "%d.%d..." text equals the entry
// ignoring letter case; only entries in exactly that form can match, so the set keeps
// those, keyed by their numbers.
class NeverWonSet {
 public:
  NeverWonSet() = default;
  NeverWonSet(const CandidatePool& pool, LotoRules rules);

  // c: sorted, distinct numbers from a free draw.
  bool Contains(const Combination& c) const;
  // True when no combination is left to draw.
  bool CoversAll() const { return static_cast<std::int64_t>(size_) >= CombinationCount(rules_); }
  std::size_t size() const { return size_; }

 private:
  // A combination's key: one bit per number (never 0, which marks a free slot).
  std::uint64_t Key(const Combination& c) const;
  std::size_t Slot(std::uint64_t key) const;
  void Insert(std::uint64_t key);

  LotoRules rules_{kMiniRules};
  // Open addressing with linear probing, at most half full: one probe for most lookups.
  std::vector<std::uint64_t> slots_;
  std::size_t size_ = 0;
};

// Free draws until one is not in the set. The set must not cover every combination.
Combination DrawNeverWon(RollRandom& rng, LotoRules rules, const NeverWonSet& won);

}  // namespace numira
