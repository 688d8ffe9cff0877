#pragma once
// Fetching one file from the list server into a local file.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace numira {

// How long a fetch may wait before it gives up, and how much it takes: a blocked
// refresh must always end, and no answer may fill the memory or the disk.
struct FetchLimits {
  long connectTimeoutMs = 10000;     // name resolution and the connection
  long lowSpeedBytesPerSecond = 1;   // a transfer slower than this ...
  long lowSpeedSeconds = 30;         // ... for this many seconds is abandoned
  long totalTimeoutMs = 60000;       // a fetch, even when it trickles on (and a whole refresh); 0: none
  long maxRedirects = 10;
  // A body (after decoding any content encoding) larger than this is refused while it
  // arrives: the largest real list is some 40 KB. 0: no limit.
  std::int64_t maxBodyBytes = std::int64_t{32} << 20;
};

// The calls that write the local file out. Tests replace them to make a write or the
// final flush fail the way a broken disk would.
struct FileOps {
  ssize_t (*write)(int fd, const void* data, size_t size) = ::write;
  int (*sync)(int fd) = ::fsync;
};

struct FetchOptions {
  std::string agent;  // sent as the User-Agent: the application's name
  FetchLimits limits;
  FileOps file;
  // The fetch ends by this time whatever the server does (none when left empty), so
  // that several fetches can share one bound.
  std::chrono::steady_clock::time_point deadline{};
  // Asks the server for the file only if it changed after this time (Unix seconds): the
  // modification time of the copy already stored.
  std::optional<std::int64_t> ifModifiedSince;
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

// What FetchToFile returns when the server answered 304 Not Modified: nothing written.
inline constexpr int kFetchNotModified = 2;

// Fetches url (http or https; redirects followed within http and https) into localPath.
// Returns 1 when the server answered with a success status and the whole body is
// stored, each LF written as CR LF; 0 when the server cannot be reached, answers with
// an error status, the transfer breaks, stalls, runs out of time or exceeds the size
// limit, or the local file cannot be created. A compressed answer is decoded: what is
// stored is always the body itself.
// The local file is created (or emptied) only once a successful answer has arrived, so
// a fetch that fails before that leaves it as it was; a transfer that breaks part-way
// leaves the part stored so far. A failed write or close of the local file throws
// LocalFileError.
int FetchToFile(const std::string& localPath, const std::string& url, const FetchOptions& options);

}  // namespace numira
