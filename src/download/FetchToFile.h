#pragma once
// Fetching one file from the list server into a local file.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "FetchLimits.h"
#include "ListValidation.h"

namespace numira {

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

// What a server said identifies the version of a file it sent: its ETag and its
// Last-Modified, both as the text of the header (empty when it sent none). They are
// only ever handed back to that server, never read as times here.
struct Validators {
  std::string etag;
  std::string lastModified;
  bool operator==(const Validators&) const = default;
};

struct FetchOptions {
  std::string agent;  // sent as the User-Agent: the application's name
  FetchLimits limits;
  FileOps file;
  // The fetch ends by this time whatever the server does (none when left empty), so
  // that several fetches can share one bound.
  std::chrono::steady_clock::time_point deadline{};
  // Asks for the file only if it changed since the copy these validators came with:
  // the caller passes StoredValidators() of its stored copy, sent back to the server
  // exactly as it sent them. None: always fetched.
  std::optional<Validators> validators;
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

// How a fetch ended.
enum class FetchResult {
  Stored,        // the server answered with a success status and the whole body is stored
  NotModified,   // the server answered 304: the file has not changed since the validators
  NoSuchHost,    // the server's name cannot be resolved
  NoConnection,  // nothing takes the connection at the server's address (refused, unreachable)
  TimedOut,      // no connection, answer or whole body within the time limits
  ErrorStatus,   // the server answered with an error status (FetchOptions::status has it)
  TooLarge,      // the body exceeds FetchLimits::maxBodyBytes
  Broken,        // the transfer broke off, or the answer is no HTTP the fetch can take
  Insecure,      // https: the server's certificate cannot be verified, or TLS failed
  LocalFile,     // the local file cannot be created
  Stopped,       // FetchOptions::stop asked the fetch to end
};

FetchResult FetchToFile(const std::string& localPath, const std::string& url, const FetchOptions& options);

// The modification time (Unix seconds) of the regular file at path; none when there is
// no such file.
std::optional<std::int64_t> ModificationTime(const std::string& path);

// For FetchOptions::validators: the ETag and Last-Modified texts the server sent with the
// copy at path, kept beside it by the fetch that stored it, as long as the copy has not
// changed since; none for any other file (a shipped or copied list, one edited by hand,
// one from a server that sent neither, or where the file system keeps no extended
// attributes), which is then fetched in full.
std::optional<Validators> StoredValidators(const std::string& path);

}  // namespace numira
