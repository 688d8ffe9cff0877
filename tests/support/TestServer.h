#pragma once
// Servers on 127.0.0.1 for the download tests: an HTTP server that serves the list
// directory (or whatever a test tells it to answer), and a raw socket server that
// misbehaves in ways a well-made HTTP server cannot (breaking off, stalling).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>
#include <zlib.h>

#include "RawHttp.h"
#include "SetIndex.h"
#include "TestData.h"

namespace numira::testing {

// The files of a set by their path in it.
using SetFiles = std::map<std::string, std::string>;

// The frozen set: the eight lists, the six draw files and the three prize files.
inline SetFiles FrozenSet() {
  namespace fs = std::filesystem;
  SetFiles files;
  for (const auto& e : fs::directory_iterator(NUMIRA_DATA_DIR)) files[e.path().filename().string()] = ReadBytes(e.path());
  for (const auto& [from, to] : {std::pair{NUMIRA_DRAWS_DIR, "draws/"}, std::pair{NUMIRA_PRIZES_DIR, "prizes/"}})
    for (const auto& e : fs::directory_iterator(from)) files[to + e.path().filename().string()] = ReadBytes(e.path());
  return files;
}

// Lays out a served folder as the publisher does: files as set `number` under
// sets/NNNNNN/ with its index, the same files at their plain paths, and the set's index
// as index.txt. The index's bytes.
inline std::string LayOutSet(const std::filesystem::path& root, unsigned number, const SetFiles& files) {
  const auto write = [](const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    WriteBytes(path.string(), bytes);
  };
  SetIndex index{number, "2026-12-07T00:00:00Z", {}};
  const std::filesystem::path set = root / "sets" / SetNumberText(number);
  for (const auto& [path, bytes] : files) {
    index.files.push_back(DescribeSetFile(path, bytes));
    write(set / path, bytes);
    write(root / path, bytes);
  }
  const std::string text = FormatSetIndex(index);
  write(set / "index.txt", text);
  write(root / "index.txt", text);
  return text;
}

// What the local file holds after a fetch of these body bytes: the bytes as served.
inline std::string Stored(const std::string& body) { return body; }

// The bytes in gzip form, as a server that compresses (or serves a .gz file) sends them.
inline std::string Gzip(const std::string& bytes) {
  z_stream z{};
  if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2");
  std::string out(deflateBound(&z, bytes.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  z.avail_in = static_cast<uInt>(bytes.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
  return out;
}

inline bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// The page nginx sends for a missing file: no DOCTYPE in it.
inline const std::string kNginx404 =
    "<html>\r\n<head><title>404 Not Found</title></head>\r\n<body>\r\n<center><h1>404 Not Found</h1></center>\r\n"
    "<hr><center>nginx/1.22.1</center>\r\n</body>\r\n</html>\r\n";
// An error page of the kind many servers send, DOCTYPE first.
inline const std::string kDoctype404 =
    "<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head>\n<body><h1>Not Found</h1>\n"
    "<p>The requested URL was not found on this server.</p></body></html>\n";

struct SeenRequest {
  std::string path, userAgent, cacheControl, pragma, ifModifiedSince, acceptEncoding, ifNoneMatch;
  std::chrono::steady_clock::time_point at = std::chrono::steady_clock::now();  // when it came
};

// One canned answer for a path.
struct Reply {
  Reply(int status = 200, std::string body = {}, std::string location = {}, std::string encoding = {})
      : status(status), body(std::move(body)), location(std::move(location)), encoding(std::move(encoding)) {}
  int status;
  std::string body;
  std::string location;  // for redirects
  std::string encoding;  // Content-Encoding sent whether or not it was asked for
  // Sent as Last-Modified when set; a request whose If-Modified-Since is exactly this
  // date gets 304 Not Modified (as nginx answers), unless conditions are ignored.
  std::string lastModified;
  // Sent as ETag when set; a request whose If-None-Match is exactly this gets 304 (and
  // then If-Modified-Since is not looked at, as nginx does), unless conditions are ignored.
  std::string etag;
  bool ignoreConditions = false;
  bool compress = true;  // false: never compressed, even when the client accepts gzip
  int delayMs = 0;       // the answer waits this long before it goes out
};

// The certificate (PEM, with any intermediates) and private key of an https server.
struct TlsFiles {
  std::string certificate, key;
};

// An HTTP server on an ephemeral port of 127.0.0.1 (https when given TLS files). By
// default GET /Data/<name> serves <name> from the shipped list directory (404 with a
// DOCTYPE page when it is missing); replies set for a path take precedence.
class ListServer {
 public:
  explicit ListServer(std::string dataDir = NUMIRA_DATA_DIR, const TlsFiles* tls = nullptr)
      : dataDir_(std::move(dataDir)), scheme_(tls ? "https" : "http") {
    if (tls)
      server_ = std::make_unique<httplib::SSLServer>(tls->certificate.c_str(), tls->key.c_str());
    else
      server_ = std::make_unique<httplib::Server>();
    if (!server_->is_valid()) throw std::runtime_error("the test server cannot be made (certificate or key)");
    httplib::Server& server = *server_;
    server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
      std::lock_guard<std::mutex> lock(mutex_);
      seen_.push_back({req.path, req.get_header_value("User-Agent"), req.get_header_value("Cache-Control"),
                       req.get_header_value("Pragma"), req.get_header_value("If-Modified-Since"),
                       req.get_header_value("Accept-Encoding"), req.get_header_value("If-None-Match")});
      return httplib::Server::HandlerResponse::Unhandled;
    });
    server.Get(".*", [this](const httplib::Request& req, httplib::Response& res) { Answer(req, res); });
    port_ = server.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("cannot bind the test server");
    // The socket listens already; connections wait in its queue until the loop runs.
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() does nothing until the loop runs: wait for it, so the server can always be stopped.
    for (int i = 0; i < 5000 && !server.is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!server.is_running()) {
      thread_.detach();
      throw std::runtime_error("the test server did not start");
    }
  }
  ListServer(const ListServer&) = delete;
  ListServer& operator=(const ListServer&) = delete;
  ~ListServer() {
    server_->stop();
    thread_.join();
  }

  int Port() const { return port_; }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string Url(const std::string& path) const { return scheme_ + "://" + Host() + path; }

  void Set(const std::string& path, Reply reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_[path] = std::move(reply);
  }
  // Every /Data/ path answers with this reply.
  void SetAll(Reply reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    all_ = std::move(reply);
    useAll_ = true;
  }
  // Back to serving the list directory; the requests seen so far are forgotten.
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_.clear();
    useAll_ = false;
    seen_.clear();
  }
  std::vector<SeenRequest> Seen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }
  int Count(const std::string& path) const {
    int n = 0;
    for (const SeenRequest& r : Seen()) n += r.path == path ? 1 : 0;
    return n;
  }

 private:
  void Answer(const httplib::Request& req, httplib::Response& res) {
    Reply reply;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (auto it = replies_.find(req.path); it != replies_.end()) {
        reply = it->second;
      } else if (useAll_ && req.path.rfind("/Data/", 0) == 0) {
        reply = all_;
      } else if (req.path.rfind("/Data/", 0) == 0 && req.path.find("..") == std::string::npos &&
                 Exists(dataDir_ + "/" + req.path.substr(6))) {
        reply.body = ReadBytes(dataDir_ + "/" + req.path.substr(6));
      } else {
        reply = {404, kDoctype404, ""};
      }
    }
    if (reply.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(reply.delayMs));
    res.status = reply.status;
    if (!reply.location.empty()) res.set_header("Location", reply.location);
    if (!reply.etag.empty()) res.set_header("ETag", reply.etag);
    if (!reply.lastModified.empty()) res.set_header("Last-Modified", reply.lastModified);
    if (!reply.ignoreConditions && reply.status == 200) {
      const bool matched = req.has_header("If-None-Match")
                               ? !reply.etag.empty() && req.get_header_value("If-None-Match") == reply.etag
                               : !reply.lastModified.empty() && req.get_header_value("If-Modified-Since") == reply.lastModified;
      if (matched) {
        res.status = 304;
        return;
      }
    }
    if (!reply.encoding.empty()) {
      // Sent as is: a type the server would not compress again on its own.
      res.set_header("Content-Encoding", reply.encoding);
      res.set_content(reply.body, "application/octet-stream");
      return;
    }
    // The server compresses text for a client that accepts gzip; other types go as they are.
    res.set_content(reply.body, reply.compress ? "text/plain" : "application/octet-stream");
  }

  std::string dataDir_;
  std::string scheme_;
  std::unique_ptr<httplib::Server> server_;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::map<std::string, Reply> replies_;
  Reply all_;
  bool useAll_ = false;
  std::vector<SeenRequest> seen_;
};

// A port on 127.0.0.1 that is bound but not listening: connections to it are refused
// for as long as the object lives.
class RefusingPort {
 public:
  RefusingPort() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
      port_ = ntohs(addr.sin_port);
  }
  ~RefusingPort() { ::close(fd_); }
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;
  int Port() const { return port_; }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  int fd_ = -1;
  int port_ = 0;
};

// A bare TCP server on 127.0.0.1: for each connection it reads the request head and
// hands the socket to the test's behaviour. Stopping wakes any behaviour that waits.
class RawServer {
 public:
  // The behaviour gets the socket and a function that waits up to the given time for
  // the server to stop (true when it stopped).
  using Behaviour = std::function<void(int fd, const std::function<bool(int ms)>& waitStop)>;

  explicit RawServer(Behaviour behaviour) : behaviour_(std::move(behaviour)) {
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (listen_ < 0 || ::bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listen_, 8) != 0 || ::getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
        ::pipe2(stop_, O_CLOEXEC) != 0)
      throw std::runtime_error("cannot start the raw test server");
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;
  ~RawServer() {
    (void)!::write(stop_[1], "x", 1);
    thread_.join();
    for (std::thread& w : workers_) w.join();
    ::close(listen_);
    ::close(stop_[0]);
    ::close(stop_[1]);
  }

  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string Url(const std::string& path) const { return "http://" + Host() + path; }
  int Connections() const { return connections_; }
  // The head of the request a behaviour answers (read before it is called).
  static const std::string& RequestHead() { return Head(); }

  static void SendAll(int fd, const std::string& bytes) {
    for (std::size_t off = 0; off < bytes.size();) {
      const ssize_t n = ::send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
      if (n <= 0) return;
      off += static_cast<std::size_t>(n);
    }
  }

 private:
  static std::string& Head() {
    thread_local std::string head;
    return head;
  }

  bool WaitStop(int ms) {
    pollfd p{stop_[0], POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
  }

  void Run() {
    // Bounded: a test never needs more than a few connections, nor more than a minute.
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (std::chrono::steady_clock::now() < end) {
      pollfd p[2] = {{listen_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
      if (::poll(p, 2, 1000) <= 0) continue;
      if (p[1].revents) return;
      const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      ++connections_;
      // Each connection on its own thread, so a stalled one does not hold up the next.
      if (workers_.size() >= 16) {
        ::close(fd);
        continue;
      }
      workers_.emplace_back([this, fd] {
        Head() = ReadRequestHead(fd);
        behaviour_(fd, [this](int ms) { return WaitStop(ms); });
        ::close(fd);
      });
    }
  }

  Behaviour behaviour_;
  int listen_ = -1;
  int stop_[2] = {-1, -1};
  int port_ = 0;
  std::atomic<int> connections_{0};
  std::thread thread_;
  std::vector<std::thread> workers_;  // touched by the accepting thread only, until it is joined
};

}  // namespace numira::testing
