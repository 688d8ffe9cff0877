#include "FetchToFile.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>
#include <utility>

namespace numira {
namespace {

std::string DescribeError(const std::string& path, LocalFileError::Stage stage, int error) {
  return std::string(stage == LocalFileError::Stage::Write ? "cannot write " : "cannot close ") + path + ": " +
         std::strerror(error);
}

// libcurl must be set up once per process before the first handle is made.
bool CurlReady() {
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

bool IsSuccess(long status) { return status >= 200 && status <= 299; }

// Keeps, beside a stored copy, the validators the server sent with it: "<modification
// time>\n<ETag>\n<Last-Modified>". The time ties them to the copy as stored: a copy
// changed since has another and is asked for whole. A copy written any other way
// (shipped, copied, edited) has no mark and is never asked about.
constexpr const char* kValidatorsMark = "user.numira.validators";

// The longest validator kept: anything longer is no header a sound server sends.
constexpr std::size_t kMaxValidator = 256;

// A file's modification time to the nanosecond, as the mark names it.
std::string TimeText(const struct stat& st) {
  return std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
}

// Reads ETag and Last-Modified from the header lines of the final answer (an answer
// that redirects starts the lines anew).
struct HeaderTexts {
  Validators got;

  static size_t OnHeader(char* data, size_t size, size_t count, void* self) {
    static_cast<HeaderTexts*>(self)->Take(std::string_view(data, size * count));
    return size * count;
  }

 private:
  void Take(std::string_view line) {
    if (line.size() >= 5 && curl_strnequal(line.data(), "HTTP/", 5)) {
      got = {};
      return;
    }
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) return;
    const std::string_view name = line.substr(0, colon);
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n' || value.back() == ' ' || value.back() == '\t'))
      value.remove_suffix(1);
    // Only printable text goes back to a server: nothing that could end a header line.
    const bool sound = !value.empty() && value.size() <= kMaxValidator &&
                       std::all_of(value.begin(), value.end(), [](char ch) {
                         const auto u = static_cast<unsigned char>(ch);
                         return u >= 0x20 && u != 0x7f;
                       });
    const auto is = [&](const char* header) {
      return name.size() == std::strlen(header) && curl_strnequal(name.data(), header, name.size());
    };
    if (is("ETag")) got.etag = sound ? std::string(value) : std::string();
    else if (is("Last-Modified")) got.lastModified = sound ? std::string(value) : std::string();
  }
};

// A certificate file or folder named by the environment, as OpenSSL's own tools take it.
const char* CertificateSetting(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

// libcurl asks this often, also while the transfer waits: a non-zero answer abandons it.
int OnProgress(void* stop, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<const std::atomic<bool>*>(stop)->load() ? 1 : 0;
}

// The local side of one transfer: the file is opened at the first byte of a successful
// answer; the body goes out in chunks of at most kFetchChunk bytes, byte for byte.
class Sink {
 public:
  Sink(CURL* curl, const std::string& path, const FileOps& ops, std::int64_t maxBytes)
      : curl_(curl), path_(path), ops_(ops), maxBytes_(maxBytes) {}
  Sink(const Sink&) = delete;
  Sink& operator=(const Sink&) = delete;
  ~Sink() {
    if (fd_ >= 0) ::close(fd_);
  }

  static size_t OnBody(char* data, size_t size, size_t count, void* self) {
    return static_cast<Sink*>(self)->Take(data, size * count);
  }

  // Opens (creates or empties) the local file; false when it cannot be created.
  bool Open() {
    if (fd_ >= 0) return true;
    // A link planted in the file's place is not followed.
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    return fd_ >= 0;
  }

  bool Opened() const { return fd_ >= 0; }
  // Why the sink took no more of the body: nothing, an error status, a local file that
  // cannot be created, a body too large.
  enum class Refusal { None, Status, LocalFile, TooLarge };
  Refusal Refused() const { return refused_; }
  int WriteError() const { return writeError_; }

  // Gives the file the server's modification time (Unix seconds; negative: none, the
  // time of writing stays), keeps the server's validators beside it, flushes it to the
  // disk and closes it; the errno of a failure, else 0.
  int Close(std::int64_t modified, const Validators& validators) {
    if (modified >= 0) {
      const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(modified), 0}};
      (void)::futimens(fd_, times);
    }
    // A mark the file system cannot hold only costs the next request its condition.
    struct stat st;
    if ((!validators.etag.empty() || !validators.lastModified.empty()) && ::fstat(fd_, &st) == 0) {
      const std::string mark =
          TimeText(st) + "\n" + validators.etag + "\n" + validators.lastModified;
      if (::fsetxattr(fd_, kValidatorsMark, mark.data(), mark.size(), 0) != 0) (void)::fremovexattr(fd_, kValidatorsMark);
    } else {
      (void)::fremovexattr(fd_, kValidatorsMark);
    }
    int error = 0;
    if (ops_.sync(fd_) != 0) error = errno;
    if (::close(fd_) != 0 && error == 0) error = errno;
    fd_ = -1;
    return error;
  }

 private:
  size_t Take(const char* data, size_t size) {
    if (fd_ < 0) {
      long status = 0;
      curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
      // An error page is not the list: stop here, before anything touches the disk.
      if (!IsSuccess(status)) {
        refused_ = Refusal::Status;
        return 0;
      }
      if (!Open()) {
        refused_ = Refusal::LocalFile;
        return 0;
      }
    }
    received_ += static_cast<std::int64_t>(size);
    if (maxBytes_ > 0 && received_ > maxBytes_) {
      // Too large to be a list: stop the transfer; what was stored is discarded by the caller.
      refused_ = Refusal::TooLarge;
      return 0;
    }
    for (size_t done = 0; done < size;) {
      const size_t piece = std::min(kFetchChunk, size - done);
      if (!Store(data + done, piece)) return 0;
      done += piece;
    }
    return size;
  }

  // The bytes go out exactly as they came: the stored copy is what the server sent.
  bool Store(const char* data, size_t size) {
    for (size_t off = 0; off < size;) {
      const ssize_t w = ops_.write(fd_, data + off, size - off);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        writeError_ = w < 0 ? errno : EIO;
        return false;
      }
      off += static_cast<size_t>(w);
    }
    return true;
  }

  CURL* curl_;
  const std::string& path_;
  const FileOps& ops_;
  std::int64_t maxBytes_;
  std::int64_t received_ = 0;
  int fd_ = -1;
  Refusal refused_ = Refusal::None;
  int writeError_ = 0;
};

// What a transfer that libcurl ended with an error comes to.
FetchResult Failure(CURLcode rc) {
  switch (rc) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return FetchResult::NoSuchHost;
    case CURLE_COULDNT_CONNECT:
      return FetchResult::NoConnection;
    case CURLE_OPERATION_TIMEDOUT:
      return FetchResult::TimedOut;
    case CURLE_ABORTED_BY_CALLBACK:
      return FetchResult::Stopped;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_USE_SSL_FAILED:
      return FetchResult::Insecure;
    default:
      return FetchResult::Broken;
  }
}

}  // namespace

FetchSession::FetchSession() {
  if (!CurlReady()) return;
  CURLSH* share = curl_share_init();
  if (!share) return;
  if (curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT) != CURLSHE_OK ||
      curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) != CURLSHE_OK) {
    curl_share_cleanup(share);
    return;
  }
  share_ = share;
}

FetchSession::~FetchSession() {
  if (share_) curl_share_cleanup(static_cast<CURLSH*>(share_));
}

LocalFileError::LocalFileError(std::string path, Stage stage, int error)
    : std::runtime_error(DescribeError(path, stage, error)), path_(std::move(path)), stage_(stage), error_(error) {}

bool LocalFileError::DiskFull() const { return error_ == ENOSPC || error_ == EDQUOT || error_ == EFBIG; }

FetchResult FetchToFile(const std::string& localPath, const std::string& url, const FetchOptions& options) {
  if (!CurlReady()) return FetchResult::Broken;
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) return FetchResult::Broken;
  std::unique_ptr<curl_slist, CurlDeleter> headers;
  // Every answer must come from the server itself, never from a cache on the way.
  std::vector<std::string> lines{"Cache-Control: no-cache", "Pragma: no-cache"};
  // The validators go back exactly as the server sent them: whether the file changed is
  // the server's to say, never a comparison of times here.
  const Validators* asked = options.validators ? &*options.validators : nullptr;
  if (asked && !asked->etag.empty()) lines.push_back("If-None-Match: " + asked->etag);
  if (asked && !asked->lastModified.empty()) lines.push_back("If-Modified-Since: " + asked->lastModified);
  const bool conditional = lines.size() > 2;
  for (const std::string& h : lines) {
    curl_slist* grown = curl_slist_append(headers.get(), h.c_str());
    if (!grown) return FetchResult::Broken;
    (void)headers.release();
    headers.reset(grown);
  }
  const FetchLimits& limits = options.limits;
  long timeoutMs = limits.totalTimeoutMs;
  if (options.deadline != std::chrono::steady_clock::time_point{}) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(options.deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) return FetchResult::TimedOut;
    if (timeoutMs <= 0 || left < timeoutMs) timeoutMs = static_cast<long>(left);
  }
  Sink sink(curl.get(), localPath, options.file, limits.maxBodyBytes);
  HeaderTexts texts;
  const bool overTls = url.size() >= 8 && curl_strnequal(url.c_str(), "https://", 8);
  CURL* c = curl.get();
  // Proxies come from the usual environment variables (libcurl's default).
  const bool set =
      curl_easy_setopt(c, CURLOPT_URL, url.c_str()) == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
      // What came over TLS is never sent on without it.
      curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, overTls ? "https" : "http,https") == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_MAXREDIRS, limits.maxRedirects) == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_USERAGENT, options.agent.c_str()) == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get()) == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs) == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytesPerSecond) == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, limits.lowSpeedSeconds) == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, timeoutMs) == CURLE_OK &&
      // Every encoding libcurl can decode is accepted and decoded; compressed bytes are
      // never stored, and the size limit counts the decoded body.
      curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "") == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_BUFFERSIZE, static_cast<long>(kFetchChunk)) == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Sink::OnBody) == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink) == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &HeaderTexts::OnHeader) == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_HEADERDATA, &texts) == CURLE_OK &&
      // The server's Last-Modified becomes the stored file's time.
      curl_easy_setopt(c, CURLOPT_FILETIME, 1L) == CURLE_OK &&
      // https: the peer's certificate and its name are always checked.
      curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK &&
      curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK;
  if (!set) return FetchResult::Broken;
  const char* caFile = CertificateSetting("SSL_CERT_FILE");
  const char* caDir = CertificateSetting("SSL_CERT_DIR");
  if ((caFile && curl_easy_setopt(c, CURLOPT_CAINFO, caFile) != CURLE_OK) ||
      (caDir && curl_easy_setopt(c, CURLOPT_CAPATH, caDir) != CURLE_OK))
    return FetchResult::Broken;
  if (options.session && options.session->Handle() &&
      curl_easy_setopt(c, CURLOPT_SHARE, static_cast<CURLSH*>(options.session->Handle())) != CURLE_OK)
    return FetchResult::Broken;
  if (options.stop) {
    if (options.stop->load()) return FetchResult::Stopped;
    if (curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &OnProgress) != CURLE_OK ||
        curl_easy_setopt(c, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(options.stop)) != CURLE_OK ||
        curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L) != CURLE_OK)
      return FetchResult::Broken;
  }

  const CURLcode rc = curl_easy_perform(c);
  if (const int error = sink.WriteError(); error != 0) throw LocalFileError(localPath, LocalFileError::Stage::Write, error);
  long status = 0;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
  if (options.status) *options.status = status;
  if (sink.Refused() == Sink::Refusal::Status) return FetchResult::ErrorStatus;
  if (sink.Refused() == Sink::Refusal::LocalFile) return FetchResult::LocalFile;
  if (sink.Refused() == Sink::Refusal::TooLarge) return FetchResult::TooLarge;
  if (rc != CURLE_OK) return Failure(rc);  // the file, if opened, keeps the part received
  // Only the server's 304 keeps the copy: any full answer is the file, whatever its date.
  if (conditional && !sink.Opened() && status == 304) return FetchResult::NotModified;
  if (!IsSuccess(status)) return FetchResult::ErrorStatus;
  if (!sink.Open()) return FetchResult::LocalFile;  // an empty body: nothing has created the file yet
  curl_off_t modified = -1;
  if (curl_easy_getinfo(c, CURLINFO_FILETIME_T, &modified) != CURLE_OK) modified = -1;
  if (const int error = sink.Close(static_cast<std::int64_t>(modified), texts.got); error != 0)
    throw LocalFileError(localPath, LocalFileError::Stage::Close, error);
  return FetchResult::Stored;
}

std::optional<std::int64_t> ModificationTime(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec);
}

std::optional<Validators> StoredValidators(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  char mark[3 * kMaxValidator];
  const ssize_t n = ::getxattr(path.c_str(), kValidatorsMark, mark, sizeof mark);
  if (n <= 0) return std::nullopt;
  const std::string text(mark, static_cast<std::size_t>(n));
  const auto first = text.find('\n');
  const auto second = first == std::string::npos ? first : text.find('\n', first + 1);
  if (second == std::string::npos) return std::nullopt;
  // The mark must still name the file's time: a copy changed since it was stored has another.
  if (text.substr(0, first) != TimeText(st)) return std::nullopt;
  Validators v{text.substr(first + 1, second - first - 1), text.substr(second + 1)};
  if (v.etag.empty() && v.lastModified.empty()) return std::nullopt;
  return v;
}

}  // namespace numira
