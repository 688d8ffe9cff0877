// numira-lists: building the six lists from the four histories and checking them.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "ListBuilder.h"
#include "ListCheck.h"

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

// What `build` does when the lists are current: read and check the histories, build
// the six files, compare them with those on disk (nothing written).
void BuildUnchanged(benchmark::State& state) {
  Scratch out;
  WriteLists(out.path, BuildLists(ReadHistories(NUMIRA_DRAWS_DIR)));
  for (auto _ : state) benchmark::DoNotOptimize(WriteLists(out.path, BuildLists(ReadHistories(NUMIRA_DRAWS_DIR))));
}
BENCHMARK(BuildUnchanged)->Unit(benchmark::kMillisecond);

// `build` after a new draw: all six files replaced (temporary file, fsync, rename).
void BuildRewritingAll(benchmark::State& state) {
  Scratch out;
  for (auto _ : state) {
    for (const ListFileRow& r : kListFiles) fs::remove(fs::path(out.path) / r.fileName);
    benchmark::DoNotOptimize(WriteLists(out.path, BuildLists(ReadHistories(NUMIRA_DRAWS_DIR))));
  }
}
BENCHMARK(BuildRewritingAll)->Unit(benchmark::kMillisecond);

// `check DIR` of the six shipped lists.
void CheckSix(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CheckLists(NUMIRA_DATA_DIR));
}
BENCHMARK(CheckSix)->Unit(benchmark::kMillisecond);

// `check DIR --draws DIR`: the histories read and built as well, every byte compared.
void CheckSixAgainstHistories(benchmark::State& state) {
  for (auto _ : state) {
    const ListBytes expected = BuildLists(ReadHistories(NUMIRA_DRAWS_DIR));
    benchmark::DoNotOptimize(CheckLists(NUMIRA_DATA_DIR, &expected));
  }
}
BENCHMARK(CheckSixAgainstHistories)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace numira
