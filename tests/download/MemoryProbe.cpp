// Peak memory of one fetch of a very large body: a server in a child process streams the
// body, generated as it goes; this process stores it through FetchToFile and compares
// its peak resident size (VmHWM) before and after.
//   download_memory_probe <directory for the file> [body bytes]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <httplib.h>

#include "FetchToFile.h"
#include "RawHttp.h"

namespace {

constexpr std::size_t kLine = 64;  // 63 printable bytes and an LF

using numira::testing::PeakKiB;

// Serves GET /body?n=<bytes> as lines of kLine bytes, never holding more than a block.
[[noreturn]] void Serve(int portPipe) {
  httplib::Server server;
  server.Get("/body", [](const httplib::Request& req, httplib::Response& res) {
    const std::size_t size = std::strtoull(req.get_param_value("n").c_str(), nullptr, 10);
    res.set_content_provider(size, "text/plain", [](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
      static char block[64 * kLine];
      if (block[0] == 0)
        for (std::size_t i = 0; i < sizeof block; ++i) block[i] = i % kLine == kLine - 1 ? '\n' : static_cast<char>('0' + i % 10);
      const std::size_t start = offset % kLine;
      const std::size_t n = std::min(length, sizeof block - start);
      return sink.write(block + start, n);
    });
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  if (write(portPipe, &port, sizeof port) != sizeof port) _exit(1);
  close(portPipe);
  server.listen_after_bind();
  _exit(0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <directory> [body bytes]\n", argv[0]);
    return 2;
  }
  const std::string path = std::string(argv[1]) + "/large-body.txt";
  const std::size_t size = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : std::size_t{1} << 30;

  int fds[2];
  if (pipe(fds) != 0) return 2;
  const pid_t server = fork();
  if (server < 0) return 2;
  if (server == 0) {
    close(fds[0]);
    Serve(fds[1]);
  }
  close(fds[1]);
  int port = 0;
  const bool gotPort = read(fds[0], &port, sizeof port) == sizeof port && port > 0;
  close(fds[0]);
  auto stopServer = [&] {
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
  };
  if (!gotPort) {
    stopServer();
    std::fprintf(stderr, "the body server did not start\n");
    return 2;
  }

  const std::string base = "http://127.0.0.1:" + std::to_string(port) + "/body?n=";
  numira::FetchOptions options;
  options.agent = "download_memory_probe";
  options.limits.totalTimeoutMs = 0;  // a slow disk must not cut the body short
  options.limits.maxBodyBytes = 0;    // the point is a body far larger than any list
  int ok = 0;
  long before = 0, after = 0;
  double seconds = 0;
  try {
    // A small fetch first, so that what the library sets up once is not counted.
    if (numira::FetchToFile(path, base + "65536", options) != numira::FetchResult::Stored) {
      stopServer();
      std::fprintf(stderr, "the warm-up fetch failed\n");
      return 2;
    }
    before = PeakKiB();
    const auto start = std::chrono::steady_clock::now();
    ok = numira::FetchToFile(path, base + std::to_string(size), options) == numira::FetchResult::Stored;
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    after = PeakKiB();
  } catch (const numira::LocalFileError& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
  stopServer();

  std::error_code ec;
  const auto stored = std::filesystem::file_size(path, ec);
  std::filesystem::remove(path, ec);
  const std::size_t expected = size + size / kLine;  // each LF stored as CR LF
  const long growth = after - before;
  std::printf("body %zu bytes, stored %llu bytes (expected %zu) in %.1f s\n", size,
              static_cast<unsigned long long>(stored), expected, seconds);
  std::printf("peak memory (VmHWM) before %ld KiB, after %ld KiB: growth %ld KiB\n", before, after, growth);
  if (ok != 1 || stored != expected) {
    std::printf("FAIL: the fetch did not store the whole body\n");
    return 1;
  }
  if (growth >= 4 * 1024) {
    std::printf("FAIL: peak memory grew by 4 MiB or more\n");
    return 1;
  }
  std::printf("PASS\n");
  return 0;
}
