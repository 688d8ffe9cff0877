// FetchToFile against real servers on 127.0.0.1.
#include "FetchToFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>

#include <cerrno>
#include <csignal>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "Child.h"
#include "TestServer.h"

namespace numira::testing {
namespace {

using Clock = std::chrono::steady_clock;

FetchOptions Options() {
  FetchOptions o;
  o.agent = "Numira";
  o.limits.connectTimeoutMs = 2000;
  o.limits.lowSpeedSeconds = 1;
  return o;
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class FetchTest : public ::testing::Test {
 protected:
  TempDir dir;
  ListServer server;
  std::string local = dir / "list.txt";
};

TEST_F(FetchTest, StoresARealListWithEachLineFeedExpanded) {
  const std::string body = ReadBytes(std::string(NUMIRA_DATA_DIR) + "/Num4Correct.txt");
  ASSERT_GT(body.size(), 40000u);
  EXPECT_EQ(FetchToFile(local, server.Url("/Data/Num4Correct.txt"), Options()), 1);
  // The shipped lists end their lines in CR LF, which the file keeps as CR CR LF.
  EXPECT_EQ(ReadBytes(local), Stored(body));
  EXPECT_NE(ReadBytes(local).find("\r\r\n"), std::string::npos);
}

TEST_F(FetchTest, EmptyBodyGivesAnEmptyFile) {
  server.Set("/empty", {200, "", ""});
  EXPECT_EQ(FetchToFile(local, server.Url("/empty"), Options()), 1);
  ASSERT_TRUE(Exists(local));
  EXPECT_EQ(ReadBytes(local), "");
}

TEST_F(FetchTest, EmptyBodyEmptiesAnExistingFile) {
  WriteBytes(local, "old contents\r\n");
  server.Set("/empty", {200, "", ""});
  EXPECT_EQ(FetchToFile(local, server.Url("/empty"), Options()), 1);
  EXPECT_EQ(ReadBytes(local), "");
}

// Bodies around the chunk size; a file-writing hook records each write.
std::mutex gWritesMutex;
std::vector<std::size_t> gWrites;
ssize_t RecordingWrite(int fd, const void* data, size_t size) {
  {
    std::lock_guard<std::mutex> lock(gWritesMutex);
    gWrites.push_back(size);
  }
  return ::write(fd, data, size);
}

TEST_F(FetchTest, BodiesAroundTheChunkSizeAreStoredWholeInChunksOfAtMost1024Bytes) {
  for (std::size_t size : {std::size_t{1023}, std::size_t{1024}, std::size_t{1025}, std::size_t{1500},
                           std::size_t{2048}, std::size_t{100000}}) {
    SCOPED_TRACE(size);
    std::string body;
    for (std::size_t i = 0; i < size; ++i) body += static_cast<char>('A' + i % 26);
    server.Set("/body", {200, body, ""});
    gWrites.clear();
    FetchOptions o = Options();
    o.file.write = &RecordingWrite;
    EXPECT_EQ(FetchToFile(local, server.Url("/body"), o), 1);
    EXPECT_EQ(ReadBytes(local), body);
    std::size_t total = 0;
    for (std::size_t w : gWrites) {
      EXPECT_LE(w, 1024u);
      total += w;
    }
    EXPECT_EQ(total, size);
    EXPECT_GE(gWrites.size(), (size + 1023) / 1024);
  }
}

TEST_F(FetchTest, LineFeedsBecomeCrLfAndCrLfBecomesCrCrLf) {
  server.Set("/lf", {200, "007,3\n123,12\n999,1\n", ""});
  server.Set("/crlf", {200, "007,3\r\n123,12\r\n999,1\r\n", ""});
  EXPECT_EQ(FetchToFile(local, server.Url("/lf"), Options()), 1);
  EXPECT_EQ(ReadBytes(local), "007,3\r\n123,12\r\n999,1\r\n");
  EXPECT_EQ(FetchToFile(local, server.Url("/crlf"), Options()), 1);
  EXPECT_EQ(ReadBytes(local), "007,3\r\r\n123,12\r\r\n999,1\r\r\n");
}

TEST_F(FetchTest, LineFeedsAcrossChunkBordersAreAllExpanded) {
  std::string body;
  while (body.size() < 5000) body += "0123456\n";  // 8-byte lines: LFs at every border
  server.Set("/lines", {200, body, ""});
  EXPECT_EQ(FetchToFile(local, server.Url("/lines"), Options()), 1);
  EXPECT_EQ(ReadBytes(local), Stored(body));
}

TEST_F(FetchTest, ErrorStatusesFailAndStoreNothing) {
  server.Set("/doctype404", {404, kDoctype404, ""});
  server.Set("/nginx404", {404, kNginx404, ""});
  server.Set("/500", {500, "<html><body>Internal Server Error</body></html>\n", ""});
  server.Set("/503empty", {503, "", ""});
  server.Set("/403", {403, "#2015\x94\x4e" "11\x8c\x8e" "20\x93\xfa\n123,4\n", ""});  // list-like, still an error
  for (const char* path : {"/doctype404", "/nginx404", "/500", "/503empty", "/403"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(FetchToFile(local, server.Url(path), Options()), 0);
    EXPECT_FALSE(Exists(local));
    EXPECT_EQ(server.Count(path), 1);
  }
  // An existing file is left exactly as it was.
  WriteBytes(local, "old list\r\n");
  EXPECT_EQ(FetchToFile(local, server.Url("/nginx404"), Options()), 0);
  EXPECT_EQ(ReadBytes(local), "old list\r\n");
}

TEST_F(FetchTest, ConnectionRefusedFails) {
  const RefusingPort refusing;
  ASSERT_NE(refusing.Port(), 0);
  const std::string url = "http://" + refusing.Host() + "/Data/Num3Correct.txt";
  WriteBytes(local, "old list\r\n");
  const auto start = Clock::now();
  EXPECT_EQ(FetchToFile(local, url, Options()), 0);
  EXPECT_LT(SecondsSince(start), 2.0);
  EXPECT_EQ(ReadBytes(local), "old list\r\n");
  EXPECT_EQ(FetchToFile(dir / "new.txt", url, Options()), 0);
  EXPECT_FALSE(Exists(dir / "new.txt"));
}

TEST_F(FetchTest, UnresolvableHostFails) {
  // In a network namespace of its own the name lookup cannot leave the machine.
  const int code = RunInChild(
      [&] {
        EXPECT_EQ(FetchToFile(local, "http://nonexistent.invalid/Data/Num3Correct.txt", Options()), 0);
        EXPECT_FALSE(Exists(local));
      },
      true);
  if (code == kChildCannotIsolate) GTEST_SKIP() << "no network namespace for the name lookup";
  EXPECT_EQ(code, 0);
}

TEST_F(FetchTest, ConnectTimesOutWhenTheServerNeverAccepts) {
  // A listening socket whose queue is full: the handshake is never answered.
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(::listen(fd, 0), 0);
  ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len), 0);
  std::vector<int> fillers;
  for (int i = 0; i < 3; ++i) {
    const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    (void)::connect(c, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    fillers.push_back(c);
  }
  ::usleep(100000);
  FetchOptions o = Options();
  o.limits.connectTimeoutMs = 700;
  const auto start = Clock::now();
  EXPECT_EQ(FetchToFile(local, "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/x", o), 0);
  const double took = SecondsSince(start);
  EXPECT_GE(took, 0.5);
  EXPECT_LT(took, 5.0);
  EXPECT_FALSE(Exists(local));
  for (int c : fillers) ::close(c);
  ::close(fd);
}

TEST_F(FetchTest, ConnectionDroppedMidBodyFailsAndKeepsThePartReceived) {
  std::string first;
  for (int i = 0; first.size() < 1024; ++i) first += "line " + std::to_string(i) + "\n";
  first.resize(1024);
  RawServer raw([&](int fd, const std::function<bool(int)>&) {
    RawServer::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 4096\r\nContent-Type: text/plain\r\n\r\n" + first);
    ::usleep(100000);  // the first chunk arrives on its own, then the connection breaks
  });
  EXPECT_EQ(FetchToFile(local, raw.Url("/Data/Num3Correct.txt"), Options()), 0);
  EXPECT_EQ(ReadBytes(local), Stored(first));
}

TEST_F(FetchTest, StalledServerIsAbandoned) {
  // Before the answer, and in the middle of the body.
  RawServer silent([](int, const std::function<bool(int)>& waitStop) { waitStop(30000); });
  RawServer slow([](int fd, const std::function<bool(int)>& waitStop) {
    RawServer::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 4096\r\n\r\n#2015\n123,4\n");
    waitStop(30000);
  });
  FetchOptions o = Options();
  o.limits.lowSpeedSeconds = 2;
  for (RawServer* s : {&silent, &slow}) {
    const auto start = Clock::now();
    EXPECT_EQ(FetchToFile(local, s->Url("/Data/Num3Correct.txt"), o), 0);
    const double took = SecondsSince(start);
    // The rate is averaged over the last few seconds, so a stall right after a first
    // burst of bytes is noticed a few seconds later than one without any bytes.
    EXPECT_GE(took, 1.5);
    EXPECT_LT(took, 20.0);
    EXPECT_EQ(s->Connections(), 1);
  }
}

TEST_F(FetchTest, TricklingServerIsCutOffByTheTotalTimeLimit) {
  RawServer raw([](int fd, const std::function<bool(int)>& waitStop) {
    RawServer::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
    for (int i = 0; i < 200 && !waitStop(100); ++i) RawServer::SendAll(fd, "1\n");  // fast enough to pass the rate check
  });
  FetchOptions o = Options();
  o.limits.totalTimeoutMs = 2000;
  const auto start = Clock::now();
  EXPECT_EQ(FetchToFile(local, raw.Url("/Data/Num3Correct.txt"), o), 0);
  const double took = SecondsSince(start);
  EXPECT_GE(took, 1.5);
  EXPECT_LT(took, 10.0);
}

TEST_F(FetchTest, RedirectsAreFollowed) {
  server.Set("/Data/Num3Correct.txt", {302, "", "/Moved/Num3Correct.txt"});
  server.Set("/Moved/Num3Correct.txt", {301, "", server.Url("/Real/Num3Correct.txt")});
  server.Set("/Real/Num3Correct.txt", {200, "007,3\n", ""});
  EXPECT_EQ(FetchToFile(local, server.Url("/Data/Num3Correct.txt"), Options()), 1);
  EXPECT_EQ(ReadBytes(local), "007,3\r\n");
  EXPECT_EQ(server.Count("/Real/Num3Correct.txt"), 1);
}

TEST_F(FetchTest, RedirectToAFileAddressIsRefused) {
  const std::string secret = dir / "secret.txt";
  WriteBytes(secret, "#2015\x94\x4e" "11\x8c\x8e" "20\x93\xfa\r\n123,4\r\n");
  server.Set("/Data/Num3Correct.txt", {302, "", "file://" + secret});
  EXPECT_EQ(FetchToFile(local, server.Url("/Data/Num3Correct.txt"), Options()), 0);
  EXPECT_FALSE(Exists(local));
  // Nor is a file address taken directly.
  EXPECT_EQ(FetchToFile(local, "file://" + secret, Options()), 0);
  EXPECT_FALSE(Exists(local));
}

TEST_F(FetchTest, RedirectLoopEnds) {
  server.Set("/loop", {302, "", "/loop"});
  FetchOptions o = Options();
  o.limits.maxRedirects = 5;
  EXPECT_EQ(FetchToFile(local, server.Url("/loop"), o), 0);
  EXPECT_EQ(server.Count("/loop"), 6);
  EXPECT_FALSE(Exists(local));
}

TEST_F(FetchTest, SendsTheAgentNameAndAsksPastEveryCache) {
  EXPECT_EQ(FetchToFile(local, server.Url("/Data/Num3NoCorrect.txt"), Options()), 1);
  EXPECT_EQ(FetchToFile(local, server.Url("/Data/Num3NoCorrect.txt"), Options()), 1);
  const std::vector<SeenRequest> seen = server.Seen();
  ASSERT_EQ(seen.size(), 2u);  // both fetches reached the server
  for (const SeenRequest& r : seen) {
    EXPECT_EQ(r.path, "/Data/Num3NoCorrect.txt");
    EXPECT_EQ(r.userAgent, "Numira");
    EXPECT_EQ(r.cacheControl, "no-cache");
    EXPECT_EQ(r.pragma, "no-cache");
  }
}

TEST_F(FetchTest, MissingDirectoryFailsAfterTheServerWasAsked) {
  const std::string path = dir / "no/such/dir/list.txt";
  EXPECT_EQ(FetchToFile(path, server.Url("/Data/Num3Correct.txt"), Options()), 0);
  EXPECT_EQ(server.Count("/Data/Num3Correct.txt"), 1);
  EXPECT_FALSE(Exists(path));
}

// The error a fetch ends with, or nothing when it ends without one.
template <class Fetch>
std::optional<LocalFileError> LocalFileErrorOf(Fetch fetch) {
  try {
    fetch();
  } catch (const LocalFileError& e) {
    return e;
  }
  return std::nullopt;
}

TEST_F(FetchTest, FullDiskIsALocalFileErrorNotAFailedFetch) {
  // /dev/full takes the file but refuses every byte with ENOSPC, as a full disk does.
  const auto e = LocalFileErrorOf([&] { FetchToFile("/dev/full", server.Url("/Data/Num3Correct.txt"), Options()); });
  ASSERT_TRUE(e.has_value()) << "no LocalFileError";
  EXPECT_EQ(e->Path(), "/dev/full");
  EXPECT_EQ(e->WhichStage(), LocalFileError::Stage::Write);
  EXPECT_EQ(e->Errno(), ENOSPC);
  EXPECT_TRUE(e->DiskFull());
}

TEST_F(FetchTest, FileSizeLimitIsADiskFullError) {
  const std::string body = ReadBytes(std::string(NUMIRA_DATA_DIR) + "/Num3Correct.txt");
  const int code = RunInChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4000, 4000};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto e = LocalFileErrorOf([&] { FetchToFile(local, server.Url("/Data/Num3Correct.txt"), Options()); });
    ASSERT_TRUE(e.has_value()) << "no LocalFileError";
    EXPECT_EQ(e->Path(), local);
    EXPECT_EQ(e->Errno(), EFBIG);
    EXPECT_TRUE(e->DiskFull());
    // The part written before the limit stays; the caller decides what to do with it.
    EXPECT_EQ(ReadBytes(local), Stored(body).substr(0, 4000));
  });
  EXPECT_EQ(code, 0);
}

ssize_t FailingIoWrite(int, const void*, size_t) {
  errno = EIO;
  return -1;
}
int FailingSync(int) {
  errno = ENOSPC;
  return -1;
}

TEST_F(FetchTest, OtherWriteErrorsAreNotDiskFull) {
  FetchOptions o = Options();
  o.file.write = &FailingIoWrite;
  const auto e = LocalFileErrorOf([&] { FetchToFile(local, server.Url("/Data/Num3Correct.txt"), o); });
  ASSERT_TRUE(e.has_value()) << "no LocalFileError";
  EXPECT_EQ(e->Path(), local);
  EXPECT_EQ(e->WhichStage(), LocalFileError::Stage::Write);
  EXPECT_EQ(e->Errno(), EIO);
  EXPECT_FALSE(e->DiskFull());
}

TEST_F(FetchTest, FailedFlushAtCloseIsReported) {
  FetchOptions o = Options();
  o.file.sync = &FailingSync;
  const auto e = LocalFileErrorOf([&] { FetchToFile(local, server.Url("/Data/Num3Correct.txt"), o); });
  ASSERT_TRUE(e.has_value()) << "no LocalFileError";
  EXPECT_EQ(e->Path(), local);
  EXPECT_EQ(e->WhichStage(), LocalFileError::Stage::Close);
  EXPECT_TRUE(e->DiskFull());
}

}  // namespace
}  // namespace numira::testing
