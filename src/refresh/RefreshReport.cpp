#include "RefreshReport.h"

#include <charconv>
#include <cstdint>

#include "Executable.h"

namespace numira {
namespace {

constexpr std::array<std::pair<ListOutcome, std::string_view>, 5> kListWords{{
    {ListOutcome::Refreshed, "refreshed"},
    {ListOutcome::NotModified, "not-modified"},
    {ListOutcome::Failed, "failed"},
    {ListOutcome::LocalFileError, "write-error"},
    {ListOutcome::NotTried, "not-tried"},
}};
constexpr std::string_view kDiskFullWord = "disk-full";

constexpr std::array<std::pair<FailReason, std::string_view>, 16> kReasonWords{{
    {FailReason::NoSuchHost, "no-such-host"},
    {FailReason::NoConnection, "no-connection"},
    {FailReason::TimedOut, "timed-out"},
    {FailReason::ErrorStatus, "error-status"},
    {FailReason::NotAList, "not-a-list"},
    {FailReason::OlderSet, "older-set"},
    {FailReason::BadSet, "bad-set"},
    {FailReason::PairDisagrees, "pair-disagrees"},
    {FailReason::TwinFailed, "twin-failed"},
    {FailReason::Broken, "broken"},
    {FailReason::Insecure, "insecure"},
    {FailReason::NotStored, "not-stored"},
    {FailReason::Stopped, "stopped"},
    {FailReason::ProgramFailed, "program-failed"},
    {FailReason::ProgramHung, "program-hung"},
    {FailReason::FolderBusy, "folder-busy"},
}};

// A detail as one line of the report: no control characters, at most kMaxDetail bytes
// (never cut inside a UTF-8 character).
std::string OneLine(std::string_view detail) {
  std::string out;
  for (char c : detail) out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
  if (out.size() > kMaxDetail) {
    std::size_t cut = kMaxDetail;
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
    out.resize(cut);
  }
  return out;
}

constexpr std::array<std::pair<ExtraOutcome, std::string_view>, 4> kExtraWords{{
    {ExtraOutcome::Refreshed, "refreshed"},
    {ExtraOutcome::NotModified, "not-modified"},
    {ExtraOutcome::Absent, "absent"},
    {ExtraOutcome::Failed, "failed"},
}};

// More extra files than any table holds: a longer report is not ours.
constexpr std::size_t kMaxExtras = 64;

template <class T>
std::optional<T> Number(std::string_view s) {
  T value{};
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
  return value;
}

// "a b c" split at single spaces.
std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  while (!line.empty()) {
    const auto space = line.find(' ');
    words.push_back(line.substr(0, space));
    if (space == std::string_view::npos) break;
    line.remove_prefix(space + 1);
  }
  return words;
}

}  // namespace

std::string RefreshProgramPath(const std::string& executablePath) {
  return BesideExecutable(executablePath, kRefreshProgramName);
}

std::vector<std::string> RefreshArguments(const RefreshRequest& request) {
  const FetchLimits& l = request.limits;
  std::vector<std::string> args{"--server", request.baseUrl, "--agent", request.agent, "--limits",
                                std::to_string(l.connectTimeoutMs) + "," + std::to_string(l.lowSpeedBytesPerSecond) +
                                    "," + std::to_string(l.lowSpeedSeconds) + "," + std::to_string(l.totalTimeoutMs) +
                                    "," + std::to_string(l.maxRedirects) + "," + std::to_string(l.maxBodyBytes)};
  if (request.listsOnly) args.push_back("--lists-only");
  args.push_back("--");
  for (const std::string& path : request.lists) args.push_back(path);
  return args;
}

std::optional<RefreshRequest> ParseRefreshArguments(const std::vector<std::string>& args) {
  RefreshRequest request;
  std::size_t i = 0;
  bool server = false;
  while (i < args.size() && args[i] != "--") {
    if (args[i] == "--lists-only") {
      request.listsOnly = true;
      ++i;
      continue;
    }
    if (i + 1 >= args.size()) return std::nullopt;
    const std::string& value = args[i + 1];
    if (args[i] == "--server") {
      request.baseUrl = value;
      server = true;
    } else if (args[i] == "--agent") {
      request.agent = value;
    } else if (args[i] == "--limits") {
      std::vector<std::string_view> parts;
      std::string_view rest = value;
      for (;;) {
        const auto comma = rest.find(',');
        parts.push_back(rest.substr(0, comma));
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
      }
      if (parts.size() != 6) return std::nullopt;
      FetchLimits& l = request.limits;
      const auto a = Number<long>(parts[0]), b = Number<long>(parts[1]), c = Number<long>(parts[2]),
                 d = Number<long>(parts[3]), e = Number<long>(parts[4]);
      const auto f = Number<std::int64_t>(parts[5]);
      if (!a || !b || !c || !d || !e || !f) return std::nullopt;
      l = {*a, *b, *c, *d, *e, *f};
    } else {
      return std::nullopt;
    }
    i += 2;
  }
  if (!server || i >= args.size() || args.size() - i - 1 != request.lists.size()) return std::nullopt;
  for (std::size_t row = 0; row < request.lists.size(); ++row) request.lists[row] = args[i + 1 + row];
  return request;
}

std::string FormatListLine(std::size_t row, const ListResult& result) {
  std::string out = "list ";
  out += std::to_string(row);
  out += ' ';
  for (const auto& [outcome, word] : kListWords)
    if (outcome == result.outcome) out += word;
  if (result.outcome == ListOutcome::LocalFileError && result.diskFull) {
    out += ' ';
    out += kDiskFullWord;
  }
  if (result.reason != FailReason::None) {
    for (const auto& [reason, word] : kReasonWords)
      if (reason == result.reason) {
        out += ' ';
        out += word;
      }
    if (!result.detail.empty()) {
      out += ' ';
      out += OneLine(result.detail);
    }
  }
  out += '\n';
  return out;
}

std::string FormatReport(const RefreshReport& report) {
  std::string out;
  for (std::size_t row = 0; row < report.lists.size(); ++row) out += FormatListLine(row, report.lists[row]);
  for (std::size_t i = 0; i < report.extras.size(); ++i) {
    out += "extra ";
    out += std::to_string(i);
    out += ' ';
    for (const auto& [outcome, word] : kExtraWords)
      if (outcome == report.extras[i]) out += word;
    out += "\n";
  }
  return out + "end\n";
}

RefreshReport ParseReport(std::string_view text, FailReason unnamed) {
  RefreshReport report;
  std::array<bool, kFirstLists> named{};
  bool ended = false;
  while (!text.empty() && !ended) {
    const auto nl = text.find('\n');
    if (nl == std::string_view::npos) break;  // a line cut short counts for nothing
    const std::string_view line = text.substr(0, nl);
    const std::vector<std::string_view> w = Words(line);
    text.remove_prefix(nl + 1);
    if (w.size() == 1 && w[0] == "end") {
      ended = true;
    } else if (w.size() >= 3 && w[0] == "list") {
      const auto row = Number<std::size_t>(w[1]);
      if (!row || *row >= report.lists.size()) continue;
      for (const auto& [outcome, word] : kListWords) {
        if (word != w[2]) continue;
        ListResult result{outcome, false, FailReason::None, {}};
        std::size_t next = 3;
        if (outcome == ListOutcome::LocalFileError && w.size() > next && w[next] == kDiskFullWord) {
          result.diskFull = true;
          ++next;
        }
        // Why it failed: a reason word, and the rest of the line as its detail.
        if (w.size() > next && (outcome == ListOutcome::Failed || outcome == ListOutcome::NotTried)) {
          bool known = false;
          for (const auto& [reason, reasonWord] : kReasonWords)
            if (reasonWord == w[next]) {
              result.reason = reason;
              known = true;
            }
          if (!known) break;
          const std::size_t at = static_cast<std::size_t>(w[next].data() + w[next].size() - line.data());
          if (at < line.size()) result.detail = OneLine(line.substr(at + 1));
          next = w.size();
        }
        if (next != w.size() || (result.reason == FailReason::None && !result.detail.empty())) break;
        report.lists[*row] = std::move(result);
        named[*row] = true;
      }
    } else if (w.size() == 3 && w[0] == "extra") {
      const auto index = Number<std::size_t>(w[1]);
      if (!index || *index >= kMaxExtras) continue;
      for (const auto& [outcome, word] : kExtraWords) {
        if (word != w[2]) continue;
        if (report.extras.size() <= *index) report.extras.resize(*index + 1, ExtraOutcome::Failed);
        report.extras[*index] = outcome;
      }
    }
  }
  for (std::size_t row = 0; row < report.lists.size(); ++row)
    if (!named[row]) report.lists[row] = {ListOutcome::Failed, false, unnamed, {}};
  return report;
}

}  // namespace numira
