#include "Cli.h"

#include <filesystem>
#include <optional>
#include <ostream>

#include "DrawFiles.h"
#include "History.h"
#include "ListBuilder.h"
#include "ListCheck.h"

namespace numira {
namespace {

constexpr const char* kUsage =
    "usage: numira-lists add GAME DRAW_NO DATE NUMBERS [--bonus N] [--draws DIR]\n"
    "       numira-lists build --out DIR [--draws DIR]\n"
    "       numira-lists check DIR [--draws DIR]\n"
    "\n"
    "  add    appends one draw result to the game's history (DIR/GAME.csv)\n"
    "         GAME: numbers3, numbers4, miniloto, loto6; DATE: YYYY-MM-DD;\n"
    "         NUMBERS: 084 / 0841, or the Loto numbers separated by '.', ',' or spaces\n"
    "         --bonus N: the bonus number of a miniloto or loto6 draw\n"
    "  build  writes the six list files built from the histories into the --out folder,\n"
    "         and the four histories into its draws/ folder\n"
    "  check  checks the six list files and the draws/ folder of a folder; with --draws\n"
    "         also against the histories\n"
    "\n"
    "  --draws DIR  the draw histories (default: data/draws; check: only when given)\n"
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
  bool help = false;
};

Options Parse(const std::vector<std::string>& args) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-h" || a == "--help") {
      o.help = true;
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

int Add(const Options& o, std::ostream& out) {
  if (o.out) throw UsageError("add takes no --out");
  if (o.positional.size() < 4) throw UsageError("add needs GAME DRAW_NO DATE NUMBERS");
  const auto game = GameByName(o.positional[0]);
  if (!game) throw UsageError("unknown game \"" + o.positional[0] + "\" (numbers3, numbers4, miniloto, loto6)");
  // The Loto numbers may come as one argument or as several.
  std::string numbers = o.positional[3];
  for (std::size_t i = 4; i < o.positional.size(); ++i) numbers += " " + o.positional[i];
  const std::string path = (std::filesystem::path(o.draws.value_or(kDefaultDraws)) / HistoryFileName(*game)).string();
  const Draw d = AddDraw(path, *game, o.positional[1], o.positional[2], numbers,
                         o.bonus ? std::optional<std::string_view>(*o.bonus) : std::nullopt);
  out << path << ": added draw " << d.number << " of " << IsoDate(d.date) << ": " << d.numbers;
  if (d.bonus) out << ", bonus " << *d.bonus;
  out << '\n';
  return kExitOk;
}

int Build(const Options& o, std::ostream& out) {
  if (o.bonus) throw UsageError("only add takes --bonus");
  if (!o.out) throw UsageError("build needs --out DIR");
  if (!o.positional.empty()) throw UsageError("build takes no argument \"" + o.positional[0] + "\"");
  const Histories histories = ReadHistories(o.draws.value_or(kDefaultDraws));
  const ListBytes files = BuildLists(histories);
  // The draw files first: a reader that already sees the new lists finds their draws too.
  const std::array<bool, 4> drawsWritten = WriteDrawFiles(*o.out, BuildDrawFiles(histories));
  const WriteOutcome written = WriteLists(*o.out, files);
  for (std::size_t row = 0; row < kListFiles.size(); ++row)
    out << (std::filesystem::path(*o.out) / kListFiles[row].fileName).string() << ": "
        << (written[row] ? "written" : "unchanged") << '\n';
  for (Game game : kGames)
    out << (std::filesystem::path(*o.out) / kDrawsFolder / HistoryFileName(game)).string() << ": "
        << (drawsWritten[GameIndex(game)] ? "written" : "unchanged") << '\n';
  return kExitOk;
}

int Check(const Options& o, std::ostream& out, std::ostream& err) {
  if (o.bonus) throw UsageError("only add takes --bonus");
  if (o.out) throw UsageError("check takes no --out");
  if (o.positional.size() != 1) throw UsageError("check needs exactly one folder");
  std::optional<ListBytes> expected;
  std::optional<DrawBytes> expectedDraws;
  if (o.draws) {
    const Histories histories = ReadHistories(*o.draws);
    expected = BuildLists(histories);
    expectedDraws = BuildDrawFiles(histories);
  }
  const std::string& dir = o.positional[0];
  std::size_t problems = PrintCheck(CheckLists(dir, expected ? &*expected : nullptr), dir, out, err);
  problems += PrintDrawsCheck(CheckDrawFiles(dir, expectedDraws ? &*expectedDraws : nullptr), dir, out, err);
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
    if (o.command == "add") return Add(o, out);
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
