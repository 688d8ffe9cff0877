#pragma once
// What the hand-written loopback servers and the measurement drivers share: reading a
// request's head off a socket, and the process's peak memory.
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace numira::testing {

// Reads until the blank line that ends the request head (or 64 KiB, or 5 s of silence,
// or the peer's close); what was read, possibly cut short.
inline std::string ReadRequestHead(int fd) {
  std::string head;
  char buf[2048];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 5000) <= 0) break;
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) break;
    head.append(buf, static_cast<std::size_t>(n));
  }
  return head;
}

// The process's peak resident memory (VmHWM) in KiB; -1 when it cannot be read.
inline long PeakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

}  // namespace numira::testing
