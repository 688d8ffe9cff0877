#include "FolderSet.h"

#include <sys/stat.h>
#include <unistd.h>

#include "FileStore.h"

namespace numira {

FolderSetState LookAtFolderSet(const std::string& folder) {
  FolderSetState state;
  struct stat st;
  const std::string index = folder + std::string(kSetIndexName);
  const std::string mark = folder + std::string(kSetSwitchMark);
  state.switching = ::lstat(mark.c_str(), &st) == 0;
  if (::stat(index.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    state.hasIndex = true;
    state.device = static_cast<std::uint64_t>(st.st_dev);
    state.inode = static_cast<std::uint64_t>(st.st_ino);
    state.size = static_cast<std::uint64_t>(st.st_size);
    state.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  }
  return state;
}

int MarkSetSwitch(const std::string& folder) {
  StagedFile mark(folder + std::string(kSetSwitchMark));
  if (const int error = mark.Write("switching\n", NewFileMode::Umask); error != 0) return error;
  return mark.Commit();
}

void UnmarkSetSwitch(const std::string& folder) {
  if (::unlink((folder + std::string(kSetSwitchMark)).c_str()) == 0) SyncFolder(folder.empty() ? "." : folder);
}

void ForgetFolderSet(const std::string& folder) {
  const bool gone = ::unlink((folder + std::string(kSetIndexName)).c_str()) == 0;
  if (::unlink((folder + std::string(kSetSwitchMark)).c_str()) == 0 || gone) SyncFolder(folder.empty() ? "." : folder);
}

}  // namespace numira
