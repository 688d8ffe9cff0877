#include "Executable.h"

#include <unistd.h>

#include <climits>
#include <vector>

namespace numira {

std::string ExecutablePath() {
  std::vector<char> buf(PATH_MAX + 1);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<std::size_t>(n));
    buf.resize(buf.size() * 2);
  }
}

std::string ApplicationName(const std::string& executablePath) {
  std::string name = executablePath.substr(executablePath.rfind('/') + 1);
  if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::string BesideExecutable(const std::string& executablePath, const std::string& name) {
  const auto slash = executablePath.rfind('/');
  return (slash == std::string::npos ? std::string(".") : executablePath.substr(0, slash)) + "/" + name;
}

}  // namespace numira
