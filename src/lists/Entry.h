#pragma once
// A game's entries as the lists, the draw histories and the proposals write them
// ("084", "3.12.17.25.31"): the one parser and the one formatter.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Game.h"

namespace numira {

// The numbers of an entry: a Numbers game's digits, the other games' numbers. Only the first
// RulesOf(game).count are used; the rest stay 0.
using EntryNumbers = std::array<int, kMaxEntryCount>;

// An entry in its exact written form: Numbers `count` decimal digits; Loto `count`
// distinct numbers from 1 to `largest`, ascending, in decimal without leading zeros,
// joined by "."; ビンゴ５ the same form with the i-th number from the i-th square
// (SquareSize numbers each); nullopt for anything else.
std::optional<EntryNumbers> ParseEntry(std::string_view entry, Game game);

inline bool IsValidEntry(std::string_view entry, Game game) { return ParseEntry(entry, game).has_value(); }

// ParseEntry's numbers as a list of `count` numbers; empty when the entry is not in exact form.
std::vector<int> EntryNumberList(std::string_view entry, Game game);

// The fields of a Loto entry between its dots, each read as C's atoi reads it
// (ParseInt32): how an entry that may not be in exact form is taken by a past
// combination's draw, the figures and a proposal's tooltips. "" is one field, 0.
std::vector<std::int32_t> EntryFields(std::string_view entry);

// The written form of the first `count` numbers, in the order given: Numbers the digits
// side by side ("084"), the others the numbers in decimal joined by "." ("3.12.17.25.31").
std::string FormatEntry(const EntryNumbers& numbers, Game game);

// A Numbers game's number (0 to MaxEntries - 1) as its entry, zero-padded ("007").
std::string NumbersEntry(int value, Game game);

// The number a Numbers entry stands for ("007" -> 7); nullopt when it is not one.
std::optional<int> NumbersValue(std::string_view entry, Game game);

// The form of an entry in words, for messages: "3 digits", or "5 distinct numbers 1-31,
// ascending, joined by ".""
std::string EntryFormText(Game game);

}  // namespace numira
