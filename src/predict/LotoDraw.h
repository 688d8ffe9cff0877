#pragma once
// The three ways a tick of a game drawn as numbers (Loto, ビンゴ５) draws a combination.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "CandidatePool.h"
#include "Entry.h"
#include "Game.h"
#include "RollRandom.h"

namespace numira {

// A Loto game's numbers (Entry.h); only the first RulesOf(game).count are used.
using Combination = EntryNumbers;

// Free draw: numbers from 1 to the game's largest, each drawn again until it differs from
// those before; ビンゴ５ (EntryForm::Squares) one number of each square in turn, each a
// random number of its square's range.
Combination DrawFree(RollRandom& rng, Game game);

// A past winning combination: a random pool entry's fields (EntryFields), the first
// `count` of them. Fields missing from a short entry read as 0. The pool must not be empty.
Combination DrawPast(RollRandom& rng, const CandidatePool& pool, Game game);

// Ascending order of the first `count` numbers.
void SortCombination(Combination& c, Game game);

// The won combinations a never-won draw must avoid, hashed once when the roll starts.
// A drawn combination matches a pool entry when its written form (FormatEntry) equals
// the entry ignoring letter case; only entries in exactly that form (ParseEntry) can
// match, so the set keeps those, keyed by their numbers.
class NeverWonSet {
 public:
  NeverWonSet() = default;
  NeverWonSet(const CandidatePool& pool, Game game);

  // c: sorted, distinct numbers from a free draw.
  bool Contains(const Combination& c) const;
  // True when no combination is left to draw.
  bool CoversAll() const { return size_ >= MaxEntries(game_); }
  std::size_t size() const { return size_; }

 private:
  // A combination's key: one bit per number (never 0, which marks a free slot).
  std::uint64_t Key(const Combination& c) const;
  std::size_t Slot(std::uint64_t key) const;
  void Insert(std::uint64_t key);

  Game game_ = Game::Mini;
  // Open addressing with linear probing, at most half full: one probe for most lookups.
  std::vector<std::uint64_t> slots_;
  std::size_t size_ = 0;
};

// Free draws until one is not in the set. The set must not cover every combination.
Combination DrawNeverWon(RollRandom& rng, Game game, const NeverWonSet& won);

}  // namespace numira
