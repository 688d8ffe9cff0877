#include "Cli.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>

#include "DrawFiles.h"
#include "Encoding.h"
#include "History.h"
#include "HistoryEdit.h"
#include "ListBuilder.h"
#include "ListCheck.h"
#include "ListReader.h"
#include "SetChecks.h"
#include "SetPublisher.h"

namespace numira {
namespace {

constexpr const char* kUsage =
    "usage: numira-lists add GAME DRAW_NO DATE NUMBERS [--bonus N] [--draws DIR]\n"
    "       numira-lists undo GAME DRAW_NO [--draws DIR]\n"
    "       numira-lists build --out DIR [--draws DIR] [--force]\n"
    "       numira-lists check DIR [--draws DIR]\n"
    "\n"
    "  add    appends one draw result to the game's history (DIR/GAME.csv)\n"
    "         GAME: numbers3, numbers4, miniloto, loto6; DATE: YYYY-MM-DD, not later\n"
    "         than today in Japan; NUMBERS: 084 / 0841, or the Loto numbers separated\n"
    "         by '.', ',' or spaces; --bonus N: the bonus number of a miniloto or loto6 draw\n"
    "  undo   removes the game's last result, named by its draw number\n"
    "  build  publishes the six list files built from the histories, each with its\n"
    "         .gz copy, and the four histories in draws/, as one new set: --out DIR\n"
    "         becomes a link to DIR.sets/NNNNNN, switched in one step, with index.txt\n"
    "         listing every file's size and SHA-256; the set before is kept, older\n"
    "         ones are removed; nothing changes when the files would not; DIR must be\n"
    "         new, empty, or a link build made; no draw may be after tomorrow in Japan\n"
    "  check  checks the six list files a folder serves and its draws/ folder (each\n"
    "         file with its .gz copy) and its index.txt against the files; with --draws\n"
    "         also against the histories\n"
    "\n"
    "  --draws DIR  the draw histories (default: data/draws; check: only when given)\n"
    "  --force      build: publish a new set (the next number) even when nothing changed\n"
    "exit codes: 0 success, 1 check found problems, 2 bad usage or rejected input\n";

constexpr const char* kDefaultDraws = "data/draws";

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Options {
  std::string command;
  std::vector<std::string> positional;
  std::optional<std::string> draws, out, bonus;
  bool help = false, force = false;
};

Options Parse(const std::vector<std::string>& args) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-h" || a == "--help") {
      o.help = true;
    } else if (a == "--force") {
      o.force = true;
    } else if (a.rfind("--", 0) == 0) {
      const auto eq = a.find('=');
      const std::string name = a.substr(0, eq);
      std::optional<std::string>* slot = name == "--draws" ? &o.draws
                                         : name == "--out" ? &o.out
                                         : name == "--bonus" ? &o.bonus
                                                             : nullptr;
      if (!slot) throw UsageError("unknown option " + name);
      const std::string needs = name + (slot == &o.bonus ? " needs a number" : " needs a folder");
      if (eq != std::string::npos) {
        *slot = a.substr(eq + 1);
      } else if (i + 1 < args.size()) {
        *slot = args[++i];
      } else {
        throw UsageError(needs);
      }
      if ((*slot)->empty()) throw UsageError(needs);
    } else if (o.command.empty()) {
      o.command = a;
    } else {
      o.positional.push_back(a);
    }
  }
  return o;
}

// The game a GAME argument names; anything else is a usage error that names the games.
Game GameArgument(const std::string& argument) {
  if (const std::optional<Game> game = GameById(argument)) return *game;
  std::string ids;
  for (const GameRules& rules : kGameRules) ids += (ids.empty() ? "" : ", ") + std::string(rules.id);
  throw UsageError("unknown game " + Quoted(argument, false) + " (" + ids + ")");
}

int Add(const Options& o, std::ostream& out) {
  if (o.out) throw UsageError("add takes no --out");
  if (o.positional.size() < 4) throw UsageError("add needs GAME DRAW_NO DATE NUMBERS");
  const Game game = GameArgument(o.positional[0]);
  // The Loto numbers may come as one argument or as several.
  std::string numbers = o.positional[3];
  for (std::size_t i = 4; i < o.positional.size(); ++i) numbers += " " + o.positional[i];
  const std::string path = (std::filesystem::path(o.draws.value_or(kDefaultDraws)) / HistoryFileName(game)).string();
  const Draw d = AddDraw(path, game, o.positional[1], o.positional[2], numbers, JapanToday(),
                         o.bonus ? std::optional<std::string_view>(*o.bonus) : std::nullopt);
  out << path << ": added draw " << d.number << " of " << IsoDate(d.date) << ": " << d.numbers;
  if (d.bonus) out << ", bonus " << *d.bonus;
  out << '\n';
  return kExitOk;
}

int Undo(const Options& o, std::ostream& out) {
  if (o.out) throw UsageError("undo takes no --out");
  if (o.bonus) throw UsageError("only add takes --bonus");
  if (o.positional.size() != 2) throw UsageError("undo needs GAME DRAW_NO");
  const Game game = GameArgument(o.positional[0]);
  const std::string path = (std::filesystem::path(o.draws.value_or(kDefaultDraws)) / HistoryFileName(game)).string();
  const Draw d = UndoDraw(path, game, o.positional[1]);
  out << path << ": removed draw " << d.number << " of " << IsoDate(d.date) << ": " << d.numbers << '\n';
  return kExitOk;
}

int Build(const Options& o, std::ostream& out) {
  if (o.bonus) throw UsageError("only add takes --bonus");
  if (!o.out) throw UsageError("build needs --out DIR");
  if (!o.positional.empty()) throw UsageError("build takes no argument \"" + o.positional[0] + "\"");
  // The lock comes first: a build that waited for another reads the histories after it.
  SetPublisher publisher(*o.out);
  const Histories histories = ReadHistories(o.draws.value_or(kDefaultDraws));
  RefuseDrawsAfter(histories, o.draws.value_or(kDefaultDraws), NextDay(JapanToday()));
  const ListBytes lists = BuildLists(histories);
  FileSet files;
  for (std::size_t row = 0; row < kListFiles.size(); ++row) files[kListFiles[row].fileName] = lists[row];
  // The draw files travel in the same set, so a reader finds the draws of the lists it sees.
  const DrawBytes draws = BuildDrawFiles(histories);
  for (Game game : kGames)
    files[(std::filesystem::path(kDrawsFolder) / HistoryFileName(game)).string()] = draws[GameIndex(game)];
  AddCompressedCopies(files);
  const PublishOutcome outcome = publisher.Publish(files, o.force);
  for (const auto& [name, bytes] : files) {
    const bool written =
        std::find(outcome.written.begin(), outcome.written.end(), name) != outcome.written.end();
    out << (std::filesystem::path(*o.out) / name).string() << ": " << (written ? "written" : "unchanged") << '\n';
  }
  if (outcome.changed)
    out << *o.out << ": serves " << outcome.set
        << (outcome.previous.empty() ? "" : " (the set before, " + outcome.previous + ", kept)") << '\n';
  else
    out << *o.out << ": unchanged, serves " << outcome.set << '\n';
  return kExitOk;
}

int Check(const Options& o, std::ostream& out, std::ostream& err) {
  if (o.bonus) throw UsageError("only add takes --bonus");
  if (o.out) throw UsageError("check takes no --out");
  if (o.positional.size() != 1) throw UsageError("check needs exactly one folder");
  std::optional<ListBytes> expected;
  std::optional<DrawBytes> expectedDraws;
  const Date lastDay = NextDay(JapanToday());
  if (o.draws) {
    const Histories histories = ReadHistories(*o.draws);
    RefuseDrawsAfter(histories, *o.draws, lastDay);
    expected = BuildLists(histories);
    expectedDraws = BuildDrawFiles(histories);
  }
  const std::string& dir = o.positional[0];
  // What the folder serves now, resolved once: a switch meanwhile cannot mix two sets.
  const std::string served = ResolveServedFolder(dir);
  const CheckResult lists = CheckLists(served, expected ? &*expected : nullptr);
  const DrawsCheck draws = CheckDrawFiles(served, expectedDraws ? &*expectedDraws : nullptr);
  std::size_t problems = PrintCheck(lists, dir, out, err) + PrintDrawsCheck(draws, dir, out, err);
  problems += PrintDatesAfter(lists, draws, dir, lastDay, err) + PrintIndexCheck(served, dir, out, err);
  if (problems == 0) {
    out << dir << ": the six lists are sound" << (expected ? " and match the histories" : "") << '\n';
    return kExitOk;
  }
  out << dir << ": " << problems << (problems == 1 ? " problem" : " problems") << '\n';
  return kExitProblems;
}

}  // namespace

int RunLists(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    const Options o = Parse(args);
    if (o.help) {
      out << kUsage;
      return kExitOk;
    }
    if (o.force && o.command != "build") throw UsageError("only build takes --force");
    if (o.command == "add") return Add(o, out);
    if (o.command == "undo") return Undo(o, out);
    if (o.command == "build") return Build(o, out);
    if (o.command == "check") return Check(o, out, err);
    throw UsageError(o.command.empty() ? "no command given" : "unknown command \"" + o.command + "\"");
  } catch (const UsageError& e) {
    err << "numira-lists: " << e.what() << " (numira-lists --help)\n";
  } catch (const PublishError& e) {
    err << e.what() << '\n';
  } catch (const std::exception& e) {
    err << "numira-lists: " << e.what() << '\n';
  }
  return kExitRejected;
}

}  // namespace numira
