#include "Cli.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>

#include "DrawFiles.h"
#include "Encoding.h"
#include "History.h"
#include "HistoryEdit.h"
#include "Gzip.h"
#include "ListBuilder.h"
#include "ListCheck.h"
#include "ListFolder.h"
#include "ListReader.h"
#include "NumiraVersion.h"
#include "Prizes.h"
#include "SetChecks.h"
#include "SetPublisher.h"

namespace numira {
namespace {

constexpr const char* kUsage =
    "usage: numira-lists init [--draws DIR]\n"
    "       numira-lists add GAME DRAW_NO DATE NUMBERS [--bonus N]... [--draws DIR]\n"
    "       numira-lists prizes GAME DRAW_NO WINNERS AMOUNT... [--carryover YEN] [--force] [--draws DIR]\n"
    "       numira-lists import GAME FILE [--prizes FILE] [--draws DIR]\n"
    "       numira-lists undo GAME DRAW_NO [--draws DIR]\n"
    "       numira-lists build --out DIR [--draws DIR] [--force]\n"
    "       numira-lists check DIR [--draws DIR]\n"
    "       numira-lists --help | --version\n"
    "\n"
    "  GAME   numbers3, numbers4, miniloto, loto6, loto7 or bingo5\n"
    "  init   begins an empty history (its column line alone) for each game that has\n"
    "         none in the draws folder, making the folder when it is missing; a history\n"
    "         that is there is never touched\n"
    "  add    appends one draw result to the game's history (DIR/GAME.csv); DATE:\n"
    "         YYYY-MM-DD, not later than today in Japan; NUMBERS: 084 / 0841, or the\n"
    "         numbers of the others separated by '.', ',' or spaces (bingo5: the eight\n"
    "         squares' numbers, 1-5 ... 36-40); --bonus N: the bonus number of a miniloto\n"
    "         or loto6 draw, required; loto7 has two: --bonus 3 --bonus 15 or --bonus 3.15\n"
    "  prizes records the prize table of a draw in the history: for each tier (loto7 6,\n"
    "         loto6 5, miniloto 4), tier 1 first, the winners and the yen paid to each,\n"
    "         whole numbers, the amount 0 exactly when nobody won; --carryover YEN, the\n"
    "         carry-over (loto6, loto7 only, required there; 0 for none); --force replaces\n"
    "         prizes recorded already. Kept in DIR/../prizes/GAME.csv, beside the draws\n"
    "  import adds many draws at once from FILE, a CSV in the history's own format\n"
    "         (draw_no,date,numbers[,bonus]) going on from the history's last draw (draws\n"
    "         it repeats must be the same), with --prizes FILE their prizes from a CSV in\n"
    "         the prize file's own format; all of it or nothing\n"
    "  undo   removes the game's last result, named by its draw number, and its prizes\n"
    "  build  publishes the eight list files built from the histories, the six histories\n"
    "         in draws/ and the prize files in prizes/, each with its .gz copy, as one new\n"
    "         set: --out DIR becomes a link to DIR.sets/NNNNNN, switched in one step, with\n"
    "         index.txt listing every file's size and SHA-256; the set before is kept,\n"
    "         older ones are removed; nothing changes when the files would not; DIR must\n"
    "         be new, empty, or a link build made; no draw may be after tomorrow in Japan\n"
    "  check  checks the list files a folder serves, its draws/ and prizes/ folders (each\n"
    "         file with its .gz copy), that each game's draws agree with its list, and\n"
    "         its index.txt against the files; with --draws also against the histories\n"
    "         and prizes\n"
    "\n"
    "  --draws DIR  the folder of the draw histories; without it, $XDG_DATA_HOME/\n"
    "               numira-lists/draws (~/.local/share/numira-lists/draws when the\n"
    "               variable is unset or not an absolute path); check: only when given.\n"
    "               The prize files are in the folder prizes beside it.\n"
    "  --bonus N    add: a bonus number (each of loto7's two, or both as 3.15)\n"
    "  --carryover YEN  prizes: the carry-over to the next draw (loto6, loto7)\n"
    "  --prizes FILE    import: prize rows to record with the draws\n"
    "  --out DIR    build: the folder a web server serves\n"
    "  --force      build: publish a new set (the next number) even when nothing changed;\n"
    "               prizes: replace a draw's recorded prizes\n"
    "  --version    prints the version\n"
    "A value never starts with '-': a folder named so is written ./-name.\n"
    "exit codes: 0 success, 1 check found problems, 2 bad usage or rejected input\n";

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The options, as bits: which ones a command takes and which ones were given.
enum Option : unsigned {
  kDrawsOption = 1u << 0,
  kOutOption = 1u << 1,
  kBonusOption = 1u << 2,
  kForceOption = 1u << 3,
  kCarryoverOption = 1u << 4,
  kPrizesOption = 1u << 5,
};

struct OptionRow {
  const char* name;
  Option option;
  const char* needs;  // what its value is; nullptr: a flag without a value
  bool repeatable;
};

constexpr OptionRow kOptions[] = {
    {"--draws", kDrawsOption, "a folder", false},
    {"--out", kOutOption, "a folder", false},
    {"--bonus", kBonusOption, "a number", true},
    {"--force", kForceOption, nullptr, false},
    {"--carryover", kCarryoverOption, "a number of yen", false},
    {"--prizes", kPrizesOption, "a file", false},
};

struct Options {
  std::string command;
  std::vector<std::string> positional;
  unsigned given = 0;
  std::optional<std::string> draws, out, carryover, prizes;
  std::vector<std::string> bonus;
  bool help = false, version = false;

  std::optional<std::string>* Slot(Option option) {
    switch (option) {
      case kDrawsOption: return &draws;
      case kOutOption: return &out;
      case kCarryoverOption: return &carryover;
      case kPrizesOption: return &prizes;
      default: return nullptr;
    }
  }
};

const OptionRow* FindOption(std::string_view name) {
  for (const OptionRow& row : kOptions)
    if (name == row.name) return &row;
  return nullptr;
}

Options Parse(const std::vector<std::string>& args) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-h" || a == "--help") {
      o.help = true;
      continue;
    }
    if (a == "--version") {
      o.version = true;
      continue;
    }
    if (a.empty() || a.front() != '-') {
      (o.command.empty() ? o.command : o.positional.emplace_back()) = a;
      continue;
    }
    const auto eq = a.find('=');
    const std::string name = a.substr(0, eq);
    const OptionRow* row = a.rfind("--", 0) == 0 ? FindOption(name) : nullptr;
    if (!row) {
      if (name == "--help" || name == "--version") throw UsageError(name + " takes no value");
      throw UsageError("unknown option " + Quoted(name, false) +
                       (a.rfind("--", 0) == 0 ? "" : "; a folder named so is written " + Quoted("./" + a, false)));
    }
    if ((o.given & row->option) && !row->repeatable) throw UsageError(name + " given twice");
    o.given |= row->option;
    if (!row->needs) {
      if (eq != std::string::npos) throw UsageError(name + " takes no value");
      continue;
    }
    std::string value;
    if (eq != std::string::npos)
      value = a.substr(eq + 1);
    else if (i + 1 < args.size())
      value = args[++i];
    if (value.empty()) throw UsageError(name + " needs " + row->needs);
    // An option is never taken for a value: "--out --help" lacks its folder.
    if (value.front() == '-') throw UsageError(name + " needs " + row->needs + ", not " + Quoted(value, false));
    if (std::optional<std::string>* slot = o.Slot(row->option))
      *slot = std::move(value);
    else
      o.bonus.push_back(std::move(value));
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

// The folder of the draw histories: --draws, else the user's own; never one relative to
// wherever the tool happens to be started.
std::string DrawsFolder(const Options& o) {
  if (o.draws) return *o.draws;
  const std::string data = UserDataFolder(ProcessUserEnv(), "numira-lists");
  if (data.empty())
    throw UsageError("no --draws DIR given, and neither XDG_DATA_HOME nor HOME names an absolute folder for the "
                     "default one");
  return data + "draws";
}

// The folder of the histories an edit or a build reads: it must be there.
std::string ExistingDrawsFolder(const Options& o) {
  std::string dir = DrawsFolder(o);
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec))
    throw PublishError(At(dir, 0, "no draw histories here (numira-lists init begins them; --draws DIR names another "
                                  "folder)"));
  return dir;
}

// The history file of a game in the folder; one that is missing is named with what begins it.
std::string HistoryPath(const Options& o, Game game) {
  const std::string path = (std::filesystem::path(ExistingDrawsFolder(o)) / HistoryFileName(game)).string();
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
    throw PublishError(At(path, 0, std::string("no ") + GameName(game) + " history (numira-lists init begins one)"));
  return path;
}

// A game's history and prize file in the draws folder.
GameFiles FilesOf(const Options& o, Game game) { return {HistoryPath(o, game), PrizeFileBeside(DrawsFolder(o), game)}; }

// "draw 2038 of 2025-09-29: 1.8.19.27.33.43, bonus 7"; Loto 7 "..., bonus numbers 3 and 15"
std::string Described(const Draw& d) {
  std::string text = "draw " + std::to_string(d.number) + " of " + IsoDate(d.date) + ": " + d.numbers;
  for (std::size_t i = 0; i < d.bonus.size(); ++i)
    text += (i == 0 ? (d.bonus.size() == 1 ? ", bonus " : ", bonus numbers ") : i + 1 == d.bonus.size() ? " and " : ", ") +
            std::to_string(d.bonus[i]);
  return text;
}

int Init(const Options& o, std::ostream& out, std::ostream&) {
  if (!o.positional.empty()) throw UsageError("init takes no argument " + Quoted(o.positional[0], false));
  for (const InitOutcome& history : InitHistories(DrawsFolder(o)))
    out << history.path << ": " << (history.created ? "begun, without draws" : "there already, kept as it is") << '\n';
  return kExitOk;
}

int Add(const Options& o, std::ostream& out, std::ostream&) {
  if (o.positional.size() < 4) throw UsageError("add needs GAME DRAW_NO DATE NUMBERS");
  const Game game = GameArgument(o.positional[0]);
  // Several bonus numbers come as one value ("3.15") or one --bonus each.
  std::optional<std::string> bonus;
  for (const std::string& b : o.bonus) bonus = bonus ? *bonus + "." + b : b;
  // The Loto numbers may come as one argument or as several.
  std::string numbers = o.positional[3];
  for (std::size_t i = 4; i < o.positional.size(); ++i) numbers += " " + o.positional[i];
  const std::string path = HistoryPath(o, game);
  const Draw d = AddDraw(path, game, o.positional[1], o.positional[2], numbers, JapanToday(),
                         bonus ? std::optional<std::string_view>(*bonus) : std::nullopt);
  out << path << ": added " << Described(d) << '\n';
  return kExitOk;
}

int Undo(const Options& o, std::ostream& out, std::ostream&) {
  if (o.positional.size() != 2) throw UsageError("undo needs GAME DRAW_NO");
  const Game game = GameArgument(o.positional[0]);
  const GameFiles files = FilesOf(o, game);
  const UndoOutcome undone = UndoDraw(files, game, o.positional[1]);
  out << files.history << ": removed " << Described(undone.draw) << '\n';
  if (undone.prizesRemoved) out << files.prizes << ": removed the prizes of draw " << undone.draw.number << '\n';
  return kExitOk;
}

// "tier 1 0 x 0 yen, tier 2 3 x 19538100 yen, ..., carry-over 0 yen"
std::string Described(const DrawPrizes& p) {
  std::string text;
  for (std::size_t i = 0; i < p.tiers.size(); ++i)
    text += (i == 0 ? "" : ", ") + std::string("tier ") + std::to_string(i + 1) + " " + std::to_string(p.tiers[i].winners) +
            " x " + std::to_string(p.tiers[i].amount) + " yen";
  if (p.carryover) text += ", carry-over " + std::to_string(*p.carryover) + " yen";
  return text;
}

int Prizes(const Options& o, std::ostream& out, std::ostream&) {
  if (o.positional.size() < 2) throw UsageError("prizes needs GAME DRAW_NO and each tier's WINNERS AMOUNT");
  const Game game = GameArgument(o.positional[0]);
  if (!HasPrizes(game)) throw UsageError(std::string(GameName(game)) + " has no prize table");
  PrizeInput input{o.positional[1], {o.positional.begin() + 2, o.positional.end()}, o.carryover,
                   (o.given & kForceOption) != 0};
  const GameFiles files = FilesOf(o, game);
  const PrizeOutcome recorded = RecordPrizes(files, game, input);
  out << files.prizes << ": " << (recorded.replaced ? "replaced" : "recorded") << " the prizes of draw "
      << recorded.prizes.number << " of " << IsoDate(recorded.prizes.date) << ": " << Described(recorded.prizes) << '\n';
  return kExitOk;
}

// "draws 2038 to 2045 (8)", "draw 2038"
std::string DrawRange(std::uint32_t first, std::uint32_t last, std::size_t count) {
  return first == last ? "draw " + std::to_string(first)
                       : "draws " + std::to_string(first) + " to " + std::to_string(last) + " (" + std::to_string(count) + ")";
}

// "; 3 draws of it were there already"
std::string Known(std::size_t known, const char* what) {
  if (known == 0) return {};
  return "; " + std::to_string(known) + " " + what + (known == 1 ? " of it was" : "s of it were") + " there already";
}

int Import(const Options& o, std::ostream& out, std::ostream&) {
  if (o.positional.size() != 2) throw UsageError("import needs GAME FILE");
  const Game game = GameArgument(o.positional[0]);
  if (o.prizes && !HasPrizes(game)) throw UsageError(std::string(GameName(game)) + " has no prize table; --prizes is not taken");
  const GameFiles files = FilesOf(o, game);
  const std::string& file = o.positional[1];
  const ImportOutcome imported = ImportDraws(files, game, file, o.prizes, JapanToday());
  out << files.history << ": ";
  if (imported.added.empty())
    out << "no new draw in " << file;
  else
    out << "added " << DrawRange(imported.added.front().number, imported.added.back().number, imported.added.size())
        << " from " << file;
  out << Known(imported.knownDraws, "draw") << '\n';
  if (!o.prizes) return kExitOk;
  out << files.prizes << ": ";
  if (imported.addedPrizes.empty())
    out << "no new prizes in " << *o.prizes;
  else
    out << "recorded the prizes of "
        << DrawRange(imported.addedPrizes.front().number, imported.addedPrizes.back().number, imported.addedPrizes.size())
        << " from " << *o.prizes;
  out << Known(imported.knownPrizes, "row") << '\n';
  return kExitOk;
}

// The .gz copy of every file of the set. A file whose bytes the set served now holds
// keeps the copy served beside it when that copy decodes to those very bytes; the others
// are compressed anew (at the best compression, the bulk of a build's time).
void AddCompressedCopies(FileSet& files, const SetPublisher& publisher) {
  FileSet fresh;
  for (auto& [name, bytes] : files) {
    if (name.ends_with(".gz")) continue;
    const std::optional<std::string> served = publisher.Served(name);
    const std::optional<std::string> gz = served && *served == bytes ? publisher.Served(name + ".gz") : std::nullopt;
    if (gz && Gunzip(*gz, bytes.size()) == bytes)
      fresh[name + ".gz"] = *gz;
    else
      fresh[name] = bytes;
  }
  numira::AddCompressedCopies(fresh);
  files.merge(fresh);
}

int Build(const Options& o, std::ostream& out, std::ostream&) {
  if (!o.out) throw UsageError("build needs --out DIR");
  if (!o.positional.empty()) throw UsageError("build takes no argument " + Quoted(o.positional[0], false));
  for (Game game : kGames) HistoryPath(o, game);
  // The lock comes first: a build that waited for another reads the histories after it.
  SetPublisher publisher(*o.out);
  const std::string drawsDir = ExistingDrawsFolder(o);
  const Histories histories = ReadHistories(drawsDir);
  RefuseDrawsAfter(histories, drawsDir, NextDay(JapanToday()));
  const PrizeBytes prizes = BuildPrizeFiles(drawsDir, histories);
  const ListBytes lists = BuildLists(histories);
  FileSet files;
  for (std::size_t row = 0; row < kListFiles.size(); ++row) files[kListFiles[row].fileName] = lists[row];
  // The draw files travel in the same set, so a reader finds the draws of the lists it sees.
  const DrawBytes draws = BuildDrawFiles(histories);
  for (Game game : kGames)
    files[(std::filesystem::path(kDrawsFolder) / HistoryFileName(game)).string()] = draws[GameIndex(game)];
  // And the prizes known of those draws.
  for (Game game : kGames)
    if (const std::optional<std::string>& bytes = prizes[GameIndex(game)])
      files[(std::filesystem::path(kPrizesFolder) / PrizeFileName(game)).string()] = *bytes;
  AddCompressedCopies(files, publisher);
  const PublishOutcome outcome = publisher.Publish(files, (o.given & kForceOption) != 0);
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
  if (o.positional.size() != 1) throw UsageError("check needs exactly one folder");
  std::optional<ListBytes> expected;
  std::optional<DrawBytes> expectedDraws;
  std::optional<PrizeBytes> expectedPrizes;
  const Date lastDay = NextDay(JapanToday());
  if (o.draws) {
    const std::string drawsDir = ExistingDrawsFolder(o);
    const Histories histories = ReadHistories(drawsDir);
    RefuseDrawsAfter(histories, drawsDir, lastDay);
    expected = BuildLists(histories);
    expectedDraws = BuildDrawFiles(histories);
    expectedPrizes = BuildPrizeFiles(drawsDir, histories);
  }
  const std::string& dir = o.positional[0];
  // What the folder serves now, resolved once: a switch meanwhile cannot mix two sets.
  const std::string served = ResolveServedFolder(dir);
  const CheckResult lists = CheckLists(served, expected ? &*expected : nullptr);
  const DrawsCheck draws = CheckDrawFiles(served, expectedDraws ? &*expectedDraws : nullptr,
                                          expectedPrizes ? &*expectedPrizes : nullptr);
  std::size_t problems = PrintCheck(lists, dir, out, err) + PrintDrawsCheck(draws, dir, out, err);
  problems += PrintDatesAfter(lists, draws, dir, lastDay, err) + PrintIndexCheck(served, dir, out, err);
  if (problems == 0) {
    out << dir << ": the " << kListFiles.size() << " lists, the draw files and the prize files are sound"
        << (expected ? " and match the histories" : "") << '\n';
    return kExitOk;
  }
  out << dir << ": " << problems << (problems == 1 ? " problem" : " problems") << '\n';
  return kExitProblems;
}

struct CommandRow {
  const char* name;
  unsigned options;  // the options it takes
  int (*run)(const Options&, std::ostream& out, std::ostream& err);
};

constexpr CommandRow kCommands[] = {
    {"init", kDrawsOption, Init},
    {"add", kDrawsOption | kBonusOption, Add},
    {"prizes", kDrawsOption | kCarryoverOption | kForceOption, Prizes},
    {"undo", kDrawsOption, Undo},
    {"import", kDrawsOption | kPrizesOption, Import},
    {"build", kDrawsOption | kOutOption | kForceOption, Build},
    {"check", kDrawsOption, Check},
};

}  // namespace

int RunLists(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    const Options o = Parse(args);
    if (o.help) {
      out << kUsage;
      return kExitOk;
    }
    if (o.version) {
      out << "numira-lists " << NUMIRA_VERSION << '\n';
      return kExitOk;
    }
    if (o.command.empty()) throw UsageError("no command given");
    const auto command = std::find_if(std::begin(kCommands), std::end(kCommands),
                                      [&](const CommandRow& row) { return o.command == row.name; });
    if (command == std::end(kCommands)) throw UsageError("unknown command " + Quoted(o.command, false));
    for (const OptionRow& row : kOptions)
      if ((o.given & row.option) && !(command->options & row.option))
        throw UsageError(std::string(command->name) + " takes no " + row.name);
    return command->run(o, out, err);
  } catch (const UsageError& e) {
    err << "numira-lists: " << e.what() << " (numira-lists --help)\n";
  } catch (const ArgumentError& e) {
    err << "numira-lists: " << e.what() << '\n';
  } catch (const PublishError& e) {
    err << e.what() << '\n';
  } catch (const std::exception& e) {
    err << "numira-lists: " << e.what() << '\n';
  }
  return kExitRejected;
}

}  // namespace numira
