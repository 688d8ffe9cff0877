#include "ListReplacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <utility>

namespace numira {
namespace {

constexpr const char* kPartSuffix = ".part";

// The directory of a path ("." for a bare name) and the name in it.
std::pair<std::string, std::string> Split(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// Makes a rename in a directory durable; a failure here changes nothing the user can
// see, so it is not reported.
void SyncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The process id of "<listName>.<pid>.part", or 0 when the name is not of that form.
long PartOwner(const std::string& name, const std::string& listName) {
  const std::string suffix = kPartSuffix;
  if (name.size() <= listName.size() + 1 + suffix.size() || name.compare(0, listName.size(), listName) != 0 ||
      name[listName.size()] != '.' || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    return 0;
  const std::string digits = name.substr(listName.size() + 1, name.size() - listName.size() - 1 - suffix.size());
  if (digits.empty() || digits.size() > 9 || digits[0] == '0') return 0;
  long pid = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  return pid;
}

bool ProcessGone(long pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

}  // namespace

std::string PartPathOf(const std::string& listPath) {
  return listPath + "." + std::to_string(static_cast<long>(::getpid())) + kPartSuffix;
}

ListReplacement::ListReplacement(std::string listPath) : listPath_(std::move(listPath)), partPath_(PartPathOf(listPath_)) {}

ListReplacement::~ListReplacement() {
  if (!committed_) ::unlink(partPath_.c_str());
}

bool ListReplacement::Commit() {
  if (std::rename(partPath_.c_str(), listPath_.c_str()) != 0) return false;
  committed_ = true;
  SyncDirectory(Split(listPath_).first);
  return true;
}

int RemoveStaleParts(std::span<const std::string> listPaths) {
  int removed = 0;
  for (const std::string& list : listPaths) {
    if (list.empty()) continue;
    const auto [dir, name] = Split(list);
    std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.c_str()), &::closedir);
    if (!d) continue;
    while (const dirent* e = ::readdir(d.get())) {
      const long pid = PartOwner(e->d_name, name);
      if (pid == 0 || pid == static_cast<long>(::getpid()) || !ProcessGone(pid)) continue;
      const std::string path = dir + "/" + e->d_name;
      struct stat st;
      if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0) ++removed;
    }
  }
  return removed;
}

}  // namespace numira
