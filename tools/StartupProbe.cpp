// Start-up of a window program on the X server of $DISPLAY: runs the program, waits for
// its first top-level window to be mapped, lets it settle, then reads its peak memory
// (VmHWM) and whether a network library is mapped into it, and ends it.
//   numira-startup-probe PROGRAM [ARG...]
// Prints: "<ms to the window> <peak KiB> <network libraries mapped (0/1)> <processor ms to
// the window> <Qt Charts mapped (0/1)>". The processor time depends less on what else the
// machine is doing.
#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

long StatusKiB(pid_t pid, const char* field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::strtol(line.c_str() + std::string(field).size(), nullptr, 10);
  return -1;
}

// The time the process's threads have run on a processor, in milliseconds: to the
// nanosecond from the scheduler's accounts (schedstat), else in clock ticks.
double CpuMs(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  if (DIR* dir = ::opendir(tasks.c_str())) {
    double ns = 0;
    bool read = false;
    while (const dirent* e = ::readdir(dir)) {
      if (e->d_name[0] == '.') continue;
      std::ifstream schedstat(tasks + "/" + e->d_name + "/schedstat");
      double run = 0;
      if (schedstat >> run) {
        ns += run;
        read = true;
      }
    }
    ::closedir(dir);
    if (read) return ns / 1e6;
  }
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  const auto close = line.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream rest(line.substr(close + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i)
    if (i >= 14) ticks += std::stod(field);  // fields 14 and 15: utime, stime
  return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool Maps(pid_t pid, const char* name) {
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  std::string line;
  while (std::getline(maps, line))
    if (line.find(name) != std::string::npos) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: numira-startup-probe PROGRAM [ARG...]\n");
    return 2;
  }
  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(x)) {
    std::fprintf(stderr, "numira-startup-probe: no X display\n");
    return 1;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(x, screen->root, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(x);

  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    ::execv(argv[1], argv + 1);
    ::_exit(127);
  }
  double ms = -1, cpu = -1;
  while (xcb_generic_event_t* e = xcb_wait_for_event(x)) {
    const bool mapped = (e->response_type & 0x7f) == XCB_MAP_NOTIFY;
    std::free(e);
    if (mapped) {
      ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      cpu = CpuMs(child);
      break;
    }
  }
  // Painting and the first events after the mapping count towards the memory.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const long peak = StatusKiB(child, "VmHWM:");
  const bool network = Maps(child, "libcurl") || Maps(child, "libssl");
  const bool charts = Maps(child, "libQt6Charts");
  ::kill(child, SIGTERM);
  ::waitpid(child, nullptr, 0);
  xcb_disconnect(x);
  std::printf("%.1f %ld %d %.1f %d\n", ms, peak, network ? 1 : 0, cpu, charts ? 1 : 0);
  return ms < 0 ? 1 : 0;
}
