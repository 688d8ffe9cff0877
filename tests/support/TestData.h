#pragma once
// Test data: a scratch directory, and the frozen copies of the list files, the draw
// histories and the prize files in tests/data (never updated with the shipped data/).
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <locale>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace numira::testing {

namespace fs = std::filesystem;

inline std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteBytes(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out.flush()) throw std::runtime_error("cannot write " + p.string());
}

// A fresh directory that is removed again with the object.
class TempDir {
 public:
  TempDir() {
    std::string templ = (fs::temp_directory_path() / "numira-test-XXXXXX").string();
    path_ = ::mkdtemp(templ.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // The names of the files in it, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // An executable path in this directory, so the dialog looks for its lists here.
  std::string Executable() const { return (path_ / "numira").string(); }
  // Copies the frozen list files here (all eight).
  void CopyRealLists() const {
    for (const auto& e : fs::directory_iterator(NUMIRA_DATA_DIR))
      fs::copy_file(e.path(), path_ / e.path().filename(), fs::copy_options::overwrite_existing);
  }

 private:
  fs::path path_;
};

inline fs::path RealList(const char* name) { return fs::path(NUMIRA_DATA_DIR) / name; }

// The numbers column of a draw history ("draw_no,date,numbers[,bonus]"), in draw order.
inline std::vector<std::string> DrawHistory(const char* csv) {
  std::ifstream in(fs::path(NUMIRA_DRAWS_DIR) / csv);
  std::vector<std::string> draws;
  std::string line;
  std::getline(in, line);  // column names
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    // draw_no,date,numbers[,bonus]: the third field.
    const auto first = line.find(',');
    const auto second = line.find(',', first + 1);
    draws.push_back(line.substr(second + 1, line.find(',', second + 1) - second - 1));
  }
  return draws;
}

inline std::map<std::string, unsigned> DrawCounts(const char* csv) {
  std::map<std::string, unsigned> counts;
  for (const std::string& d : DrawHistory(csv)) ++counts[d];
  return counts;
}

// An environment variable set for one test and restored afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// The draw history of each game, in the order of the games.
inline constexpr std::array<const char*, 6> kDrawFiles{"numbers3.csv", "numbers4.csv", "miniloto.csv",
                                                       "loto6.csv",    "loto7.csv",    "bingo5.csv"};

// The numbers of a dotted entry or bonus field ("3.12.17"; "" none), as a set.
inline std::set<int> DottedNumbers(const std::string& text) {
  std::set<int> numbers;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, '.'))
    if (!part.empty()) numbers.insert(std::stoi(part));
  return numbers;
}

// Loto: in how many draws of the history each number 1..range came up (index n - 1).
inline std::vector<std::uint64_t> NumberDrawCounts(const char* csv, int range) {
  std::vector<std::uint64_t> counts(static_cast<std::size_t>(range));
  for (const std::string& d : DrawHistory(csv)) {
    std::stringstream s(d);
    for (std::string n; std::getline(s, n, '.');) ++counts.at(std::stoul(n) - 1);
  }
  return counts;
}

// Numbers: per position, from the highest, how many draws of the history had each digit there.
inline std::vector<std::array<std::uint64_t, 10>> DigitDrawCounts(const char* csv, std::size_t digits) {
  std::vector<std::array<std::uint64_t, 10>> counts(digits);
  for (const std::string& d : DrawHistory(csv))
    for (std::size_t pos = 0; pos < digits; ++pos) ++counts[pos][static_cast<std::size_t>(d.at(pos) - '0')];
  return counts;
}

// A count as the windows show it, "6,094,417", made by the standard library's own
// grouping of digits.
inline std::string WithCommas(std::int64_t n) {
  struct Commas : std::numpunct<char> {
    char do_thousands_sep() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
  };
  std::ostringstream out;
  out.imbue(std::locale(std::locale::classic(), new Commas));
  out << n;
  return out.str();
}

}  // namespace numira::testing
