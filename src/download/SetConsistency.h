#pragma once
// Whether the files of a set hold together before a copy takes them: each list sound for
// its kind, the two Numbers lists of a game in agreement, each game's draw file ending on
// its won list's date with as many draws as the list counts wins, the prize files of the
// draws in the set, and no date after a given last day.
#include <map>
#include <string>

#include "DrawDate.h"
#include "Game.h"
#include "ListReader.h"

namespace numira {

// The never-won and the won list of a Numbers game belong together: the same date, no
// number in both, every number in one of them. What keeps them apart; "" when they agree.
std::string NumbersPairDisagreement(const ListContents& neverWon, const ListContents& won, Game game);

// The files of a set by their path in it ("Num3Correct.txt", "draws/numbers3.csv",
// "prizes/loto6.csv") and where each is to be read now. A file the set does not hold is
// not looked for (a set without draw files is sound). What keeps the set from holding
// together, naming the file; "" when it does. lastDay: the last date a list or a draw may
// carry (tomorrow in Japan).
std::string SetDisagreement(const std::map<std::string, std::string>& files, Date lastDay);

}  // namespace numira
