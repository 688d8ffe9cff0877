// The refresh job run over and over against a server that answers at random: good lists,
// older lists, twins that do not agree, error statuses, HTML pages, compressed bodies,
// unchanged answers, connections reset, bodies cut short, stalls, and now and then a
// port that refuses. With "sets" the server publishes each version as a numbered set
// with its index and answers the index and the set's files at random in the same ways
// (older sets, files other than the index lists among them). After every round the six
// stored lists must be valid, the Numbers pairs must agree, every list must be a
// published one, and nothing but the copy's index may be left beside them; with sets,
// the six must be one set, the one the copy's index names, never older than before.
// Fails on the first broken round, or when the peak memory grows by more than 1 MiB
// between the warm-up and the end.
//   refresh_soak <work directory> [rounds] [seed] [files|sets]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "DrawDate.h"
#include "ListReader.h"
#include "ListValidation.h"
#include "RawHttp.h"
#include "RefreshJob.h"
#include "SetIndex.h"

namespace {

using namespace numira;
namespace fs = std::filesystem;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// What the refresh stores for a body: its bytes as served.
std::string Stored(const std::string& body) { return body; }

// ---- The published versions ---------------------------------------------------------------
// Version v of a list is the shipped list under the header date 2026-01-01 + v days
// (within one year); its entries are those of the shipped list.

constexpr int kVersions = 300;

Date VersionDate(int v) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int month = 0, day = v;
  while (day >= kDays[month]) day -= kDays[month++];
  return {2026, month + 1, day + 1};
}

// "#2026年1月1日" in code page 932.
std::string Header(int v) {
  const Date d = VersionDate(v);
  return "#" + std::to_string(d.year) + "\x94\x4e" + std::to_string(d.month) + "\x8c\x8e" + std::to_string(d.day) +
         "\x93\xfa\r\n";
}

std::string ShippedBody(std::size_t row) {
  std::string body = ReadBytes(std::string(NUMIRA_DATA_DIR) + "/" + kListFiles[row].fileName);
  return body.substr(body.find('\n') + 1);
}

std::string Body(std::size_t row, int v) { return Header(v) + ShippedBody(row); }

int VersionOf(const std::string& utf8Date) {
  const std::optional<Date> d = ParseHeaderDate(utf8Date);
  for (int v = 0; d && v < kVersions; ++v)
    if (VersionDate(v) == *d) return v;
  return -1;
}

std::string Gzip(const std::string& plain) {
  z_stream z{};
  deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, plain.size()) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
  z.avail_in = static_cast<uInt>(plain.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// ---- The server (a child process) -----------------------------------------------------------

void SendAll(int fd, const std::string& bytes) {
  for (std::size_t off = 0; off < bytes.size();) {
    const ssize_t n = ::send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
    if (n <= 0) return;
    off += static_cast<std::size_t>(n);
  }
}

// The Last-Modified header of a published version: one hour later for each.
std::string LastModified(int version) {
  const std::time_t t = 1767225600 + static_cast<std::time_t>(version) * 3600;  // 2026-01-01 00:00 UTC
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buf[64];
  std::strftime(buf, sizeof buf, "Last-Modified: %a, %d %b %Y %H:%M:%S GMT\r\n", &tm);
  return buf;
}

// The index of version v, published as set v + 1: the six lists of that version.
std::string IndexBody(int v) {
  SetIndex index{static_cast<unsigned>(v + 1), "2026-01-01T00:00:00Z", {}};
  for (std::size_t row = 0; row < kFirstLists; ++row) index.files.push_back(DescribeSetFile(kListFiles[row].fileName, Body(row, v)));
  std::sort(index.files.begin(), index.files.end(), [](const SetIndexFile& a, const SetIndexFile& b) { return a.path < b.path; });
  return FormatSetIndex(index);
}
std::string IndexETag(int v) { return "\"set-" + std::to_string(v + 1) + "\""; }

std::string Answer(int status, const std::string& body, const std::string& extra = {}) {
  return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n" + extra + "\r\n" + body;
}

class SoakServer {
 public:
  SoakServer(int listenFd, unsigned seed, bool sets) : listen_(listenFd), random_(seed), sets_(sets) {}

  [[noreturn]] void Run() {
    for (;;) {
      const int fd = ::accept(listen_, nullptr, nullptr);
      if (fd < 0) continue;
      std::thread([this, fd] {
        Serve(fd);
        ::close(fd);
      }).detach();
    }
  }

 private:
  void Serve(int fd) {
    const std::string head = testing::ReadRequestHead(fd);
    if (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) return;  // silent or gone
    const std::size_t sp = head.find(' '), sp2 = head.find(' ', sp + 1);
    const std::string path = head.substr(sp + 1, sp2 - sp - 1);
    const bool conditional = head.find("If-Modified-Since:") != std::string::npos;
    int pick, version, older;
    std::size_t cut;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      // A new version is published every 300 requests or so (some 50 rounds); a server of
      // sets, asked mostly for its index alone, every 40.
      version = 1 + static_cast<int>(requests_++ / (sets_ ? 40 : 300));
      if (version >= kVersions) version = kVersions - 1;
      pick = static_cast<int>(random_() % 100);
      older = static_cast<int>(random_() % static_cast<unsigned>(version));
      cut = 1 + random_() % 1000;
    }
    if (path == "/Data/index.txt") {
      if (!sets_) return SendAll(fd, Answer(404, "<html>404</html>\n"));
      const std::string etag = "ETag: " + IndexETag(version) + "\r\n";
      if (pick < 45) {
        if (head.find("If-None-Match: " + IndexETag(version) + "\r\n") != std::string::npos)
          return SendAll(fd, "HTTP/1.1 304 Not Modified\r\nConnection: close\r\n" + etag + "\r\n");
        return SendAll(fd, Answer(200, IndexBody(version), etag + LastModified(version)));
      }
      if (pick < 60) return SendAll(fd, Answer(200, IndexBody(older), "ETag: " + IndexETag(older) + "\r\n"));  // a stale mirror
      if (pick < 66) return SendAll(fd, Answer(200, Gzip(IndexBody(version)), "Content-Encoding: gzip\r\n" + etag));
      if (pick < 70) return SendAll(fd, "HTTP/1.1 304 Not Modified\r\nConnection: close\r\n\r\n");  // whatever was asked
      if (pick < 74) return SendAll(fd, Answer(500, "<html><body>Internal Server Error</body></html>\n"));
      if (pick < 78) return SendAll(fd, Answer(200, "<!DOCTYPE html>\n<html><body>Please log in</body></html>\n"));
      return Misbehave(fd, Answer(200, IndexBody(version), etag), pick, cut);
    }
    if (path.rfind("/Data/sets/", 0) == 0 && sets_) {
      // /Data/sets/NNNNNN/<list>: the set's own file, or at random something else.
      const int set = std::atoi(path.substr(11, 6).c_str());
      int inSet = -1;
      for (std::size_t r = 0; r < kFirstLists; ++r)
        if (path.substr(17) == std::string("/") + kListFiles[r].fileName) inSet = static_cast<int>(r);
      if (set < 1 || set > kVersions || inSet < 0) return SendAll(fd, Answer(404, "<html>404</html>\n"));
      const std::string good = Body(static_cast<std::size_t>(inSet), set - 1);
      if (pick < 60) return SendAll(fd, Answer(200, good));
      if (pick < 68) return SendAll(fd, Answer(200, Gzip(good), "Content-Encoding: gzip\r\n"));
      if (pick < 76) return SendAll(fd, Answer(200, Body(static_cast<std::size_t>(inSet), older)));  // not the index's bytes
      if (pick < 80) return SendAll(fd, Answer(500, "<html><body>Internal Server Error</body></html>\n"));
      return Misbehave(fd, Answer(200, good), pick, cut);
    }
    int row = -1;
    for (std::size_t r = 0; r < kFirstLists; ++r)  // the six; nothing beside them
      if (path == std::string("/Data/") + kListFiles[r].fileName) row = static_cast<int>(r);
    if (row < 0) return SendAll(fd, Answer(404, "<html>404</html>\n"));

    const std::size_t r = static_cast<std::size_t>(row);
    const std::string good = Body(r, version);
    if (pick < 40) return SendAll(fd, Answer(200, good, LastModified(version)));
    if (pick < 52) return SendAll(fd, Answer(200, Body(r, older), LastModified(older)));  // a stale mirror
    if (pick < 58) {
      // Twins that do not agree: the won list also names a never-drawn number.
      if (kListFiles[r].kind == ListKind::Correct && IsNumbers(kListFiles[r].game)) {
        const std::size_t twin = static_cast<std::size_t>(ListRow(kListFiles[r].game, ListKind::NoCorrect));
        const std::string neverWon = ShippedBody(twin);
        return SendAll(fd, Answer(200, good + neverWon.substr(0, neverWon.find('\r')) + ",1\r\n"));
      }
      return SendAll(fd, Answer(200, good));
    }
    if (pick < 66) return SendAll(fd, Answer(200, Gzip(good), "Content-Encoding: gzip\r\n" + LastModified(version)));
    if (pick < 71) return SendAll(fd, conditional ? "HTTP/1.1 304 Not Modified\r\nConnection: close\r\n\r\n" : Answer(200, good));
    if (pick < 76) return SendAll(fd, Answer(500, "<html><body>Internal Server Error</body></html>\n"));
    if (pick < 81) return SendAll(fd, Answer(200, "<!DOCTYPE html>\n<html><body>Please log in</body></html>\n"));
    if (pick < 84) return SendAll(fd, Answer(404, "<html>\r\n<head><title>404 Not Found</title></head>\r\n</html>\r\n"));
    if (pick < 90) {
      // Reset: the connection torn down after a part of the body.
      const std::string answer = Answer(200, good);
      SendAll(fd, answer.substr(0, answer.size() / 2));
      linger l{1, 0};
      ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
      return;
    }
    if (pick < 97) {
      // Cut short: fewer bytes than announced, then a clean close.
      const std::string answer = Answer(200, good);
      return SendAll(fd, answer.substr(0, answer.size() - cut));
    }
    if (pick < 98) {
      // A stall: part of the body, then nothing for longer than the refresh waits.
      const std::string answer = Answer(200, good);
      SendAll(fd, answer.substr(0, answer.size() / 3));
      std::this_thread::sleep_for(std::chrono::milliseconds(2500));
      return;
    }
    // An empty success.
    SendAll(fd, Answer(200, ""));
  }

  // A reset, a body cut short or a stall (picks from 80 on), else an empty success.
  static void Misbehave(int fd, const std::string& answer, int pick, std::size_t cut) {
    if (pick < 88) {
      SendAll(fd, answer.substr(0, answer.size() / 2));
      linger l{1, 0};
      ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
      return;
    }
    if (pick < 96) return SendAll(fd, answer.substr(0, answer.size() - std::min(cut, answer.size() - 1)));
    if (pick < 97) {
      SendAll(fd, answer.substr(0, answer.size() / 3));
      std::this_thread::sleep_for(std::chrono::milliseconds(2500));
      return;
    }
    SendAll(fd, Answer(200, ""));
  }

  int listen_;
  std::mutex mutex_;
  std::mt19937 random_;
  bool sets_;
  unsigned long requests_ = 0;
};

// ---- The rounds --------------------------------------------------------------------------------

using testing::PeakKiB;

int ListenOnLoopback(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
    return -1;
  port = ntohs(addr.sin_port);
  return fd;
}

// What is wrong with the stored set after a round ("" when nothing is).
std::string Check(const RefreshRequest& request, std::array<int, 6>& versions, const RefreshReport& report,
                  const std::array<std::string, 6>& before, bool sets, unsigned& lastSet) {
  std::array<ListContents, 6> read;
  for (std::size_t row = 0; row < 6; ++row) {
    const ListFileRow& list = kListFiles[row];
    const std::string bytes = ReadBytes(request.lists[row]);
    std::optional<ListContents> c = ReadListFile(request.lists[row], list.kind);
    if (!c || !IsValidList(*c, list.game, list.kind)) return std::string(list.fileName) + " is not a valid list";
    const int v = VersionOf(c->latestDrawDate);
    if (v < 0 || bytes != Stored(Body(row, v))) return std::string(list.fileName) + " is no published version";
    // File by file, the server's list is taken whatever its date (a copy of sets is
    // checked by its set below).
    if (bytes != before[row] && report.lists[row].outcome != ListOutcome::Refreshed)
      return std::string(list.fileName) + " changed without being reported refreshed";
    versions[row] = v;
    read[row] = std::move(*c);
  }
  for (Game g : {Game::Num3, Game::Num4}) {
    const ListContents& never = read[static_cast<std::size_t>(ListRow(g, ListKind::NoCorrect))];
    const ListContents& won = read[static_cast<std::size_t>(ListRow(g, ListKind::Correct))];
    if (never.latestDrawDate != won.latestDrawDate) return "a Numbers pair of different dates";
    std::set<std::string> all(never.entries.begin(), never.entries.end());
    for (const std::string& e : won.entries)
      if (!all.insert(e).second) return "a Numbers number both drawn and never drawn";
    if (all.size() != MaxEntries(g)) return "a Numbers number neither drawn nor never drawn";
  }
  std::size_t names = 0;
  bool index = false;
  for (const auto& e : fs::directory_iterator(fs::path(request.lists[0]).parent_path())) {
    index = index || e.path().filename() == kSetIndexName;
    ++names;
  }
  if (names != 6u + (index ? 1u : 0u)) return "something was left beside the lists";
  if (!sets) return index ? "an index without a server of sets" : "";
  // Before its first set a copy may take lists one by one from what is no index; once it
  // holds a set, it keeps one.
  if (!index) return lastSet == 0 ? "" : "a copy of sets lost its index";
  // The six are one set, the one the copy's index names, never older than before.
  const std::optional<SetIndex> mine = FolderSetIndex(fs::path(request.lists[0]).parent_path().string() + "/");
  if (!mine) return "an index that does not read";
  if (mine->number < lastSet) return "the copy went back to an older set";
  lastSet = mine->number;
  for (std::size_t row = 0; row < 6; ++row)
    if (versions[row] + 1 != static_cast<int>(mine->number)) return "lists of two sets, or not the index's set";
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: refresh_soak <work directory> [rounds] [seed]\n");
    return 2;
  }
  const std::string work = argv[1];
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 1000;
  const unsigned seed = argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 20261207u;
  const bool sets = argc > 4 && std::string(argv[4]) == "sets";

  int port = 0, refusedPort = 0;
  const int listenFd = ListenOnLoopback(port);
  // A bound port that does not listen: connections to it are refused.
  const int refusing = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(refusing, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(refusing, reinterpret_cast<sockaddr*>(&addr), &len);
    refusedPort = ntohs(addr.sin_port);
  }
  if (listenFd < 0 || refusedPort == 0) {
    std::fprintf(stderr, "refresh_soak: cannot listen on 127.0.0.1\n");
    return 1;
  }
  const pid_t server = ::fork();
  if (server == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives the soak
    SoakServer(listenFd, seed, sets).Run();
  }
  ::close(listenFd);

  const std::string dir = work + "/lists";
  fs::create_directories(dir);
  RefreshRequest request;
  request.agent = "numira";
  request.limits.connectTimeoutMs = 1000;
  request.limits.lowSpeedSeconds = 1;
  request.limits.totalTimeoutMs = 1000;
  std::array<int, 6> versions{};
  for (std::size_t row = 0; row < 6; ++row) {
    request.lists[row] = dir + "/" + kListFiles[row].fileName;
    std::ofstream(request.lists[row], std::ios::binary) << Stored(Body(row, 0));
  }

  std::mt19937 random(seed + 1);
  std::map<ListOutcome, long> outcomes;
  unsigned lastSet = 0;  // the set the copy's index named after the last round (0: none yet)
  long warmPeak = 0;
  int failures = 0, done = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int round = 1; round <= rounds; ++round) {
    std::array<std::string, 6> before;
    for (std::size_t row = 0; row < 6; ++row) before[row] = ReadBytes(request.lists[row]);
    request.baseUrl = "http://127.0.0.1:" + std::to_string(random() % 20 == 0 ? refusedPort : port);
    const RefreshReport report = RunRefresh(request);
    done = round;
    for (const ListResult& r : report.lists) ++outcomes[r.outcome];
    const std::string problem = Check(request, versions, report, before, sets, lastSet);
    if (!problem.empty()) {
      std::fprintf(stderr, "round %d: %s\n", round, problem.c_str());
      ++failures;
      break;
    }
    if (round == std::min(50, rounds)) warmPeak = PeakKiB();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long endPeak = PeakKiB();
  ::kill(server, SIGKILL);
  ::waitpid(server, nullptr, 0);

  std::printf("%s: ", sets ? "numbered sets with their index" : "file by file (no index)");
  std::printf("rounds %d in %.1f s; list outcomes: refreshed %ld, not modified %ld, failed %ld, not tried %ld\n", done,
              seconds, outcomes[ListOutcome::Refreshed], outcomes[ListOutcome::NotModified],
              outcomes[ListOutcome::Failed], outcomes[ListOutcome::NotTried]);
  if (sets) std::printf("the copy's set at the end: %u\n", lastSet);
  std::printf("stored versions at the end:");
  for (int v : versions) std::printf(" %d", v);
  std::printf("\npeak memory: %ld KiB after round 50, %ld KiB at the end (growth %ld KiB, limit 1024)\n", warmPeak,
              endPeak, endPeak - warmPeak);
  if (failures) return 1;
  if (endPeak - warmPeak > 1024) {
    std::fprintf(stderr, "refresh_soak: peak memory grew by more than 1 MiB\n");
    return 1;
  }
  return 0;
}
