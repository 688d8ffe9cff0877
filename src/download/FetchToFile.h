#pragma once
// Fetching one file from the list server into a local file.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "ListValidation.h"

namespace numira {

// How long a fetch may wait before it gives up, and how much it takes: a blocked
// refresh must always end, and no answer may fill the memory or the disk.
struct FetchLimits {
  long connectTimeoutMs = 10000;     // name resolution and the connection
  long lowSpeedBytesPerSecond = 1;   // a transfer slower than this ...
  long lowSpeedSeconds = 30;         // ... for this many seconds is abandoned
  long totalTimeoutMs = 60000;       // a fetch, even when it trickles on (and a whole refresh); 0: none
  long maxRedirects = 10;
  // A body (after decoding any content encoding) larger than a list may be is refused
  // while it arrives. 0: no limit.
  std::int64_t maxBodyBytes = static_cast<std::int64_t>(kListSizeLimit);
};

// The calls that write the local file out. Tests replace them to make a write or the
// final flush fail the way a broken disk would.
struct FileOps {
  ssize_t (*write)(int fd, const void* data, size_t size) = ::write;
  int (*sync)(int fd) = ::fsync;
};

// Fetches that share a session reuse the server's connection (and its name lookup) from
// one file to the next, as long as the server keeps it open: a refresh of several lists
// then costs one connection instead of one each. Used by one thread at a time.
class FetchSession {
 public:
  FetchSession();
  ~FetchSession();
  FetchSession(const FetchSession&) = delete;
  FetchSession& operator=(const FetchSession&) = delete;

  // The libcurl share handle; null when it could not be made (each fetch then connects anew).
  void* Handle() const { return share_; }

 private:
  void* share_ = nullptr;
};

struct FetchOptions {
  std::string agent;  // sent as the User-Agent: the application's name
  FetchLimits limits;
  FileOps file;
  // The fetch ends by this time whatever the server does (none when left empty), so
  // that several fetches can share one bound.
  std::chrono::steady_clock::time_point deadline{};
  // Asks for the file only if it changed since this time (Unix seconds): the caller
  // passes ServerTime() of its stored copy, the server's own Last-Modified that the
  // fetch which stored it set as its modification time. None: always fetched.
  std::optional<std::int64_t> ifModifiedSince;
  // None: the fetch makes its own connection.
  FetchSession* session = nullptr;
  // When set and it turns true (from another thread or a signal handler), the transfer
  // is abandoned at once and the fetch fails.
  const std::atomic<bool>* stop = nullptr;
  // When set, receives the status of the server's last answer (0: none).
  long* status = nullptr;
};

// The local file could not be written or closed. The fetch has stopped; the file keeps
// what was written before the error.
class LocalFileError : public std::runtime_error {
 public:
  enum class Stage { Write, Close };
  LocalFileError(std::string path, Stage stage, int error);

  const std::string& Path() const { return path_; }
  Stage WhichStage() const { return stage_; }
  int Errno() const { return error_; }
  // No room left for the file: a full disk, a used-up quota or a file-size limit.
  bool DiskFull() const;

 private:
  std::string path_;
  Stage stage_;
  int error_;
};

// Body bytes handed to the local file at a time.
inline constexpr std::size_t kFetchChunk = 1024;

// The server said the file has not changed since FetchOptions::ifModifiedSince.
inline constexpr int kFetchNotModified = 2;

// Fetches url (http or https; redirects followed within http and https, from https only
// to https) into localPath.
// Returns 1 when the server answered with a success status and the whole body is
// stored, byte for byte as the server sent it; kFetchNotModified when ifModifiedSince
// was given and the server answered 304 Not Modified (or its Last-Modified is not
// later): localPath is then neither created nor touched; 0 when the server cannot be
// reached, answers with an error status, the transfer breaks, stalls, runs out of time
// or exceeds the size limit, or the local file cannot be created. A compressed answer
// (gzip and every other encoding libcurl decodes) is decoded: what is stored is always
// the body itself.
// A stored file's modification time is the server's Last-Modified when it sent one
// (as `curl -R`), and the file is marked as carrying the server's time (see
// ServerTime); else the time of writing stays, unmarked.
// https is verified in full against the system's certificates; SSL_CERT_FILE and
// SSL_CERT_DIR, when set, name other ones, as for OpenSSL's own tools.
// The local file is created (or emptied) only once a successful answer has arrived, so
// a fetch that fails before that leaves it as it was; a transfer that breaks part-way
// leaves the part stored so far. A failed write or close of the local file throws
// LocalFileError.
int FetchToFile(const std::string& localPath, const std::string& url, const FetchOptions& options);

// The modification time (Unix seconds) of the regular file at path; none when there is
// no such file.
std::optional<std::int64_t> ModificationTime(const std::string& path);

// For FetchOptions::ifModifiedSince: the modification time of the copy at path when it
// is the server's own Last-Modified, set by the fetch that stored the copy and not
// changed since; none for any other file (a shipped or copied list, one edited by hand,
// one from a server that sent no Last-Modified, or where the file system keeps no
// extended attributes), which is then fetched in full.
std::optional<std::int64_t> ServerTime(const std::string& path);

}  // namespace numira
