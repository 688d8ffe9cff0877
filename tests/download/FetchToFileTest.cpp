// FetchToFile against real servers on 127.0.0.1.
#include "FetchToFile.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <chrono>
#include <ctime>
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

TEST_F(FetchTest, StoresARealListByteForByte) {
  const std::string body = ReadBytes(std::string(NUMIRA_DATA_DIR) + "/Num4Correct.txt");
  ASSERT_GT(body.size(), 40000u);
  EXPECT_EQ(FetchToFile(local, server.Url("/Data/Num4Correct.txt"), Options()), FetchResult::Stored);
  // The shipped lists end their lines in CR LF, and so does the stored copy.
  EXPECT_EQ(ReadBytes(local), body);
  EXPECT_EQ(ReadBytes(local).find("\r\r\n"), std::string::npos);
}

TEST_F(FetchTest, EmptyBodyGivesAnEmptyFile) {
  server.Set("/empty", {200, "", ""});
  EXPECT_EQ(FetchToFile(local, server.Url("/empty"), Options()), FetchResult::Stored);
  ASSERT_TRUE(Exists(local));
  EXPECT_EQ(ReadBytes(local), "");
}

TEST_F(FetchTest, EmptyBodyEmptiesAnExistingFile) {
  WriteBytes(local, "old contents\r\n");
  server.Set("/empty", {200, "", ""});
  EXPECT_EQ(FetchToFile(local, server.Url("/empty"), Options()), FetchResult::Stored);
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
    EXPECT_EQ(FetchToFile(local, server.Url("/body"), o), FetchResult::Stored);
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

TEST_F(FetchTest, LineEndsAreStoredAsServedCompressedOrNot) {
  const struct {
    const char* name;
    std::string body;
  } rows[] = {
      {"lf", "007,3\n123,12\n999,1\n"},
      {"crlf", "007,3\r\n123,12\r\n999,1\r\n"},
      {"mixed", "007,3\r\n123,12\n999,1\r\n"},
      {"crcrlf", "007,3\r\r\n123,12\r\r\n"},  // a copy an older version stored, served again
      {"cr_alone_and_no_final_line_end", "007,3\r123,12\r\n999,1"},
  };
  for (const auto& row : rows) {
    for (const bool compress : {true, false}) {
      SCOPED_TRACE(std::string(row.name) + (compress ? " compressed" : " plain"));
      Reply reply{200, row.body};
      reply.compress = compress;
      server.Set("/list", reply);
      EXPECT_EQ(FetchToFile(local, server.Url("/list"), Options()), FetchResult::Stored);
      EXPECT_EQ(ReadBytes(local), row.body);
    }
  }
}

TEST_F(FetchTest, LineEndsAcrossChunkBordersAreStoredAsServed) {
  std::string body;
  while (body.size() < 5000) body += "012345\r\n";  // 8-byte lines: CR LF across every border
  server.Set("/lines", {200, body, ""});
  EXPECT_EQ(FetchToFile(local, server.Url("/lines"), Options()), FetchResult::Stored);
  EXPECT_EQ(ReadBytes(local), body);
}

TEST_F(FetchTest, GzipIsOfferedAndDecoded) {
  const std::string body = ReadBytes(std::string(NUMIRA_DATA_DIR) + "/MiniCorrect.txt");
  const std::string packed = Gzip(body);
  ASSERT_LT(packed.size(), body.size() / 2);
  server.Set("/Data/MiniCorrect.txt", {200, packed, "", "gzip"});
  EXPECT_EQ(FetchToFile(local, server.Url("/Data/MiniCorrect.txt"), Options()), FetchResult::Stored);
  EXPECT_EQ(ReadBytes(local), body);
  const std::vector<SeenRequest> seen = server.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_NE(seen[0].acceptEncoding.find("gzip"), std::string::npos) << seen[0].acceptEncoding;
}

// ---- Conditional requests --------------------------------------------------------------

std::int64_t MTime(const std::string& path) { return ModificationTime(path).value_or(-1); }

void SetMTime(const std::string& path, std::int64_t t) {
  const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(t), 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST_F(FetchTest, StoredCopyTakesTheServersLastModifiedWhicheverItsClockSays) {
  // The server's clock may be anywhere: its date comes back to it unchanged.
  const struct {
    const char* date;
    std::int64_t seconds;
  } rows[] = {
      {"Sun, 06 Nov 1994 08:49:37 GMT", 784111777},
      {"Mon, 01 Jan 1990 00:00:00 GMT", 631152000},    // far in the past
      {"Thu, 01 Jan 2099 00:00:00 GMT", 4070908800},   // far in the future
      {"Fri, 31 Dec 2100 23:59:59 GMT", 4133980799},
  };
  const std::string body = "#2015\x94\x4e" "11\x8c\x8e" "20\x93\xfa\r\n123,4\r\n";
  for (const auto& row : rows) {
    for (const bool gzip : {false, true}) {
      SCOPED_TRACE(std::string(row.date) + (gzip ? " gzip" : " plain"));
      server.Clear();
      Reply reply{200, gzip ? Gzip(body) : body, "", gzip ? "gzip" : ""};
      reply.lastModified = row.date;
      server.Set("/list", reply);
      ::unlink(local.c_str());
      EXPECT_EQ(FetchToFile(local, server.Url("/list"), Options()), FetchResult::Stored);
      EXPECT_EQ(ReadBytes(local), body);
      EXPECT_EQ(MTime(local), row.seconds);

      // The next request asks with that date and the server answers 304: nothing is written.
      FetchOptions o = Options();
      o.validators = StoredValidators(local);
      EXPECT_EQ(o.validators, (Validators{"", row.date}));
      const std::string part = dir / "list.part";
      EXPECT_EQ(FetchToFile(part, server.Url("/list"), o), FetchResult::NotModified);
      EXPECT_FALSE(Exists(part));
      const std::vector<SeenRequest> seen = server.Seen();
      ASSERT_EQ(seen.size(), 2u);
      EXPECT_EQ(seen[0].ifModifiedSince, "");
      EXPECT_EQ(seen[1].ifModifiedSince, row.date);
    }
  }
}

TEST_F(FetchTest, OnlyACopyAsTheServerSentItIsAskedConditionally) {
  Reply dated{200, "dated\r\n"};
  dated.lastModified = "Sun, 06 Nov 1994 08:49:37 GMT";
  server.Set("/dated", dated);
  const Validators kDated{"", "Sun, 06 Nov 1994 08:49:37 GMT"};
  server.Set("/undated", {200, "undated\r\n"});

  // A copy written here (shipped, copied, from an older version) has a time of this
  // machine, even when it happens to equal a server's.
  WriteBytes(local, "mine\r\n");
  EXPECT_EQ(StoredValidators(local), std::nullopt);
  SetMTime(local, 784111777);
  EXPECT_EQ(StoredValidators(local), std::nullopt);

  EXPECT_EQ(FetchToFile(local, server.Url("/dated"), Options()), FetchResult::Stored);
  EXPECT_EQ(StoredValidators(local), kDated);
  // Moved into place by a rename, the copy keeps its mark.
  const std::string moved = dir / "moved.txt";
  ASSERT_EQ(std::rename(local.c_str(), moved.c_str()), 0);
  EXPECT_EQ(StoredValidators(moved), kDated);
  // Changed since it was stored: no longer the server's copy.
  SetMTime(moved, 784111778);
  EXPECT_EQ(StoredValidators(moved), std::nullopt);

  // With only an ETag the copy keeps its time of writing; edited within that same
  // second, it is changed all the same.
  Reply tagged{200, "tagged\r\n"};
  tagged.etag = "\"t1\"";
  server.Set("/tagged", tagged);
  EXPECT_EQ(FetchToFile(local, server.Url("/tagged"), Options()), FetchResult::Stored);
  ASSERT_EQ(StoredValidators(local), (Validators{"\"t1\"", ""}));
  WriteBytes(local, "edited\r\n");
  EXPECT_EQ(StoredValidators(local), std::nullopt);

  // A server without Last-Modified leaves the time of writing, unmarked, also over a
  // copy that was marked before.
  EXPECT_EQ(FetchToFile(local, server.Url("/dated"), Options()), FetchResult::Stored);
  EXPECT_EQ(FetchToFile(local, server.Url("/undated"), Options()), FetchResult::Stored);
  EXPECT_EQ(ReadBytes(local), "undated\r\n");
  EXPECT_EQ(StoredValidators(local), std::nullopt);
  EXPECT_EQ(StoredValidators(dir / "missing.txt"), std::nullopt);
  EXPECT_EQ(StoredValidators(dir.path().string()), std::nullopt);
}

TEST_F(FetchTest, ConditionalRequestOutcomes) {
  // Only the server's 304 keeps the stored copy: any full answer is taken, whatever
  // date it carries (a publisher whose clock is behind, one that once sent a date far
  // ahead, a server that ignores conditions).
  const char* kAsked = "Sun, 06 Nov 1994 08:49:37 GMT";
  const struct {
    const char* name;
    const char* lastModified;  // "" : the server sends none
    const char* etag;          // "" : the server sends none
    bool ignoresConditions;
    Validators asked;  // both empty: an unconditional request
    FetchResult result;
    std::int64_t mtime;  // of the stored file; 0: the time of writing
  } rows[] = {
      {"not_modified", kAsked, "", false, {"", kAsked}, FetchResult::NotModified, -1},
      {"changed_on_the_server", "Mon, 07 Nov 1994 08:49:37 GMT", "", false, {"", kAsked}, FetchResult::Stored, 784198177},
      {"server_clock_behind", "Sat, 05 Nov 1994 08:49:37 GMT", "", false, {"", kAsked}, FetchResult::Stored, 784025377},
      {"stored_date_far_ahead", kAsked, "", false, {"", "Fri, 31 Dec 2100 23:59:59 GMT"}, FetchResult::Stored, 784111777},
      {"ignores_the_condition_same_date", kAsked, "", true, {"", kAsked}, FetchResult::Stored, 784111777},
      {"ignores_the_condition_older_date", "Sat, 05 Nov 1994 08:49:37 GMT", "", true, {"", kAsked}, FetchResult::Stored, 784025377},
      {"ignores_the_condition_newer_date", "Mon, 07 Nov 1994 08:49:37 GMT", "", true, {"", kAsked}, FetchResult::Stored, 784198177},
      {"etag_unchanged", "Sat, 05 Nov 1994 08:49:37 GMT", "\"v1\"", false, {"\"v1\"", kAsked}, FetchResult::NotModified, -1},
      {"etag_changed_same_date", kAsked, "\"v2\"", false, {"\"v1\"", kAsked}, FetchResult::Stored, 784111777},
      {"etag_only", "", "W/\"5f-3a\"", false, {"W/\"5f-3a\"", ""}, FetchResult::NotModified, -1},
      {"no_last_modified_conditional", "", "", false, {"", kAsked}, FetchResult::Stored, 0},
      {"no_last_modified_unconditional", "", "", false, {}, FetchResult::Stored, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    server.Clear();
    Reply reply{200, "fresh\r\n"};
    reply.lastModified = row.lastModified;
    reply.etag = row.etag;
    reply.ignoreConditions = row.ignoresConditions;
    server.Set("/list", reply);
    WriteBytes(local, "old\r\n");
    SetMTime(local, 1000);
    FetchOptions o = Options();
    const bool conditional = !row.asked.etag.empty() || !row.asked.lastModified.empty();
    if (conditional) o.validators = row.asked;
    const auto before = std::time(nullptr);
    EXPECT_EQ(FetchToFile(local, server.Url("/list"), o), row.result);
    if (row.result == FetchResult::NotModified) {
      // Not even touched.
      EXPECT_EQ(ReadBytes(local), "old\r\n");
      EXPECT_EQ(MTime(local), 1000);
    } else {
      EXPECT_EQ(ReadBytes(local), "fresh\r\n");
      if (row.mtime > 0) {
        EXPECT_EQ(MTime(local), row.mtime);
      } else {
        EXPECT_GE(MTime(local), before - 1);
        EXPECT_LE(MTime(local), std::time(nullptr) + 1);
      }
      // What the server sent this time is what the next request sends back.
      const Validators sent{row.etag, row.lastModified};
      EXPECT_EQ(StoredValidators(local), sent.etag.empty() && sent.lastModified.empty() ? std::nullopt : std::optional(sent));
    }
    // The validators go out byte for byte as they came.
    ASSERT_EQ(server.Seen().size(), 1u);
    EXPECT_EQ(server.Seen()[0].ifModifiedSince, row.asked.lastModified);
    EXPECT_EQ(server.Seen()[0].ifNoneMatch, row.asked.etag);
  }
}

TEST_F(FetchTest, FetchesOfOneSessionShareTheConnection) {
  // A server that keeps the connection open and answers every request on it.
  RawServer raw([](int fd, const std::function<bool(int)>&) {
    for (int i = 0; i < 20; ++i) {
      RawServer::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 7\r\nContent-Type: text/plain\r\n\r\n007,3\r\n");
      std::string head;
      char buf[1024];
      while (head.find("\r\n\r\n") == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) return;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) return;  // the client closed it
        head.append(buf, static_cast<std::size_t>(n));
      }
    }
  });
  {
    FetchSession session;
    FetchOptions o = Options();
    o.session = &session;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
      EXPECT_EQ(FetchToFile(dir / name, raw.Url(std::string("/Data/") + name), o), FetchResult::Stored);
      EXPECT_EQ(ReadBytes(dir / name), "007,3\r\n");
    }
    EXPECT_EQ(raw.Connections(), 1);
  }
  // Without a session each fetch connects anew.
  for (const char* name : {"d.txt", "e.txt"}) EXPECT_EQ(FetchToFile(dir / name, raw.Url("/Data/x"), Options()), FetchResult::Stored);
  EXPECT_EQ(raw.Connections(), 3);
}

TEST_F(FetchTest, ErrorStatusesFailAndStoreNothing) {
  server.Set("/doctype404", {404, kDoctype404, ""});
  server.Set("/nginx404", {404, kNginx404, ""});
  server.Set("/500", {500, "<html><body>Internal Server Error</body></html>\n", ""});
  server.Set("/503empty", {503, "", ""});
  server.Set("/403", {403, "#2015\x94\x4e" "11\x8c\x8e" "20\x93\xfa\n123,4\n", ""});  // list-like, still an error
  server.Set("/304", {304, ""});  // unasked: says nothing about any copy
  for (const auto& [path, expected] : {std::pair<const char*, long>{"/doctype404", 404}, {"/nginx404", 404}, {"/500", 500},
                                       {"/503empty", 503}, {"/403", 403}, {"/304", 304}}) {
    SCOPED_TRACE(path);
    FetchOptions o = Options();
    long status = 0;
    o.status = &status;
    EXPECT_EQ(FetchToFile(local, server.Url(path), o), FetchResult::ErrorStatus);
    EXPECT_EQ(status, expected);
    EXPECT_FALSE(Exists(local));
    EXPECT_EQ(server.Count(path), 1);
  }
  // An existing file is left exactly as it was.
  WriteBytes(local, "old list\r\n");
  EXPECT_EQ(FetchToFile(local, server.Url("/nginx404"), Options()), FetchResult::ErrorStatus);
  EXPECT_EQ(ReadBytes(local), "old list\r\n");
}

TEST_F(FetchTest, ABodyLargerThanTheLimitIsRefusedWhileItArrives) {
  server.Set("/big", {200, std::string(5000, '1'), ""});
  FetchOptions o = Options();
  o.limits.maxBodyBytes = 4096;
  long status = 0;
  o.status = &status;
  EXPECT_EQ(FetchToFile(local, server.Url("/big"), o), FetchResult::TooLarge);
  EXPECT_EQ(status, 200);
  o.limits.maxBodyBytes = 5000;
  EXPECT_EQ(FetchToFile(local, server.Url("/big"), o), FetchResult::Stored);
}

TEST_F(FetchTest, ConnectionRefusedFails) {
  const RefusingPort refusing;
  ASSERT_NE(refusing.Port(), 0);
  const std::string url = "http://" + refusing.Host() + "/Data/Num3Correct.txt";
  WriteBytes(local, "old list\r\n");
  const auto start = Clock::now();
  EXPECT_EQ(FetchToFile(local, url, Options()), FetchResult::NoConnection);
  EXPECT_LT(SecondsSince(start), 2.0);
  EXPECT_EQ(ReadBytes(local), "old list\r\n");
  EXPECT_EQ(FetchToFile(dir / "new.txt", url, Options()), FetchResult::NoConnection);
  EXPECT_FALSE(Exists(dir / "new.txt"));
}

TEST_F(FetchTest, UnresolvableHostFails) {
  // In a network namespace of its own the name lookup cannot leave the machine.
  const int code = RunInChild(
      [&] {
        EXPECT_EQ(FetchToFile(local, "http://nonexistent.invalid/Data/Num3Correct.txt", Options()), FetchResult::NoSuchHost);
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
  EXPECT_EQ(FetchToFile(local, "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/x", o), FetchResult::TimedOut);
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
  EXPECT_EQ(FetchToFile(local, raw.Url("/Data/Num3Correct.txt"), Options()), FetchResult::Broken);
  EXPECT_EQ(ReadBytes(local), first);
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
    EXPECT_EQ(FetchToFile(local, s->Url("/Data/Num3Correct.txt"), o), FetchResult::TimedOut);
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
  EXPECT_EQ(FetchToFile(local, raw.Url("/Data/Num3Correct.txt"), o), FetchResult::TimedOut);
  const double took = SecondsSince(start);
  EXPECT_GE(took, 1.5);
  EXPECT_LT(took, 10.0);
}

TEST_F(FetchTest, RedirectsAreFollowed) {
  server.Set("/Data/Num3Correct.txt", {302, "", "/Moved/Num3Correct.txt"});
  server.Set("/Moved/Num3Correct.txt", {301, "", server.Url("/Real/Num3Correct.txt")});
  server.Set("/Real/Num3Correct.txt", {200, "007,3\n", ""});
  EXPECT_EQ(FetchToFile(local, server.Url("/Data/Num3Correct.txt"), Options()), FetchResult::Stored);
  EXPECT_EQ(ReadBytes(local), "007,3\n");
  EXPECT_EQ(server.Count("/Real/Num3Correct.txt"), 1);
}

TEST_F(FetchTest, RedirectToAFileAddressIsRefused) {
  const std::string secret = dir / "secret.txt";
  WriteBytes(secret, "#2015\x94\x4e" "11\x8c\x8e" "20\x93\xfa\r\n123,4\r\n");
  server.Set("/Data/Num3Correct.txt", {302, "", "file://" + secret});
  EXPECT_EQ(FetchToFile(local, server.Url("/Data/Num3Correct.txt"), Options()), FetchResult::Broken);
  EXPECT_FALSE(Exists(local));
  // Nor is a file address taken directly.
  EXPECT_EQ(FetchToFile(local, "file://" + secret, Options()), FetchResult::Broken);
  EXPECT_FALSE(Exists(local));
}

TEST_F(FetchTest, RedirectLoopEnds) {
  server.Set("/loop", {302, "", "/loop"});
  FetchOptions o = Options();
  o.limits.maxRedirects = 5;
  EXPECT_EQ(FetchToFile(local, server.Url("/loop"), o), FetchResult::Broken);
  EXPECT_EQ(server.Count("/loop"), 6);
  EXPECT_FALSE(Exists(local));
}

TEST_F(FetchTest, SendsTheAgentNameAndAsksPastEveryCache) {
  EXPECT_EQ(FetchToFile(local, server.Url("/Data/Num3NoCorrect.txt"), Options()), FetchResult::Stored);
  EXPECT_EQ(FetchToFile(local, server.Url("/Data/Num3NoCorrect.txt"), Options()), FetchResult::Stored);
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
  EXPECT_EQ(FetchToFile(path, server.Url("/Data/Num3Correct.txt"), Options()), FetchResult::LocalFile);
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
    EXPECT_EQ(ReadBytes(local), body.substr(0, 4000));
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
