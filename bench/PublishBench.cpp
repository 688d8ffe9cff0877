// numira-lists: building the six lists from the four histories and checking them.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "ListBuilder.h"
#include "ListCheck.h"
#include "Gzip.h"
#include "SetPublisher.h"

namespace numira {
namespace {

namespace fs = std::filesystem;

// A scratch folder removed again at the end.
struct Scratch {
  Scratch() {
    std::string templ = (fs::temp_directory_path() / "numira-bench-XXXXXX").string();
    path = ::mkdtemp(templ.data());
  }
  ~Scratch() { fs::remove_all(path); }
  std::string path;
};

// The lists of the histories, with their .gz copies: the lists of the set build publishes.
FileSet BuiltSet() {
  const ListBytes lists = BuildLists(ReadHistories(NUMIRA_SHIPPED_DIR "/draws"));
  FileSet files;
  for (std::size_t row = 0; row < kListFiles.size(); ++row) files[kListFiles[row].fileName] = lists[row];
  AddCompressedCopies(files);
  return files;
}

// What `build` does when the lists are current: read and check the histories, build
// the six files and their .gz copies, compare them with the set served (nothing written).
void BuildUnchanged(benchmark::State& state) {
  Scratch out;
  const std::string served = out.path + "/lists";
  SetPublisher(served).Publish(BuiltSet());
  for (auto _ : state) benchmark::DoNotOptimize(SetPublisher(served).Publish(BuiltSet()));
}
BENCHMARK(BuildUnchanged)->Unit(benchmark::kMillisecond);

// `build` after a new Loto 6 draw: a new set with that list and its .gz written and
// fsync'd, the ten other files taken over from the set before, the link switched.
void BuildAfterANewDraw(benchmark::State& state) {
  Scratch out;
  const std::string served = out.path + "/lists";
  FileSet files = BuiltSet();
  for (auto _ : state) {
    files["Lot6Correct.txt"] += "#\r\n";  // a change, so that every round publishes
    files["Lot6Correct.txt.gz"] = Gzip(files["Lot6Correct.txt"]);
    benchmark::DoNotOptimize(SetPublisher(served).Publish(files));
  }
}
BENCHMARK(BuildAfterANewDraw)->Unit(benchmark::kMillisecond);

// `check DIR` of the six shipped lists.
void CheckSix(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CheckLists(NUMIRA_SHIPPED_DIR "/lists"));
}
BENCHMARK(CheckSix)->Unit(benchmark::kMillisecond);

// `check DIR --draws DIR`: the histories read and built as well, every byte compared.
void CheckSixAgainstHistories(benchmark::State& state) {
  for (auto _ : state) {
    const ListBytes expected = BuildLists(ReadHistories(NUMIRA_SHIPPED_DIR "/draws"));
    benchmark::DoNotOptimize(CheckLists(NUMIRA_SHIPPED_DIR "/lists", &expected));
  }
}
BENCHMARK(CheckSixAgainstHistories)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace numira
