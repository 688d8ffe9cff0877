#include "ListServerChoice.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "FileStore.h"

namespace numira {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (Lower(s[i]) != prefix[i]) return false;
  return true;
}

// A DNS name of labels of letters, digits, '-' and '_' (no label empty, longer than 63
// or with '-' at either end), at most 253 characters, one trailing dot allowed. A name
// of digits and dots only must be an IPv4 address.
bool IsHostName(std::string_view host) {
  if (!host.empty() && host.back() == '.') host.remove_suffix(1);
  if (host.empty() || host.size() > 253) return false;
  bool allDigits = true;
  std::size_t start = 0;
  while (start <= host.size()) {
    std::size_t end = host.find('.', start);
    if (end == std::string_view::npos) end = host.size();
    const std::string_view label = host.substr(start, end - start);
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') return false;
    for (char c : label) {
      if (!IsAlnum(c) && c != '-' && c != '_') return false;
      if (!IsDigit(c)) allDigits = false;
    }
    start = end + 1;
  }
  if (allDigits) {
    in_addr addr;
    return ::inet_pton(AF_INET, std::string(host).c_str(), &addr) == 1;
  }
  return true;
}

bool IsIpv6Literal(std::string_view inner) {
  if (inner.empty() || inner.size() > 45) return false;
  in6_addr addr;
  return ::inet_pton(AF_INET6, std::string(inner).c_str(), &addr) == 1;
}

bool IsPort(std::string_view port) {
  if (port.empty() || port.size() > 5) return false;
  long n = 0;
  for (char c : port) {
    if (!IsDigit(c)) return false;
    n = n * 10 + (c - '0');
  }
  return n >= 1 && n <= 65535;
}

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// A configuration file larger than this is not one of ours.
constexpr std::size_t kMaxConfigBytes = 64 * 1024;

}  // namespace

std::optional<std::string> ListServerBaseUrl(std::string_view value) {
  std::string scheme = "http";
  if (StartsWithNoCase(value, "https://")) {
    scheme = "https";
    value.remove_prefix(8);
  } else if (StartsWithNoCase(value, "http://")) {
    value.remove_prefix(7);
  }
  if (!value.empty() && value.back() == '/') value.remove_suffix(1);
  std::string_view host = value;
  std::string_view port;
  if (!value.empty() && value.front() == '[') {
    const auto close = value.find(']');
    if (close == std::string_view::npos || !IsIpv6Literal(value.substr(1, close - 1))) return std::nullopt;
    host = value.substr(0, close + 1);
    const std::string_view rest = value.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return std::nullopt;
      port = rest.substr(1);
      if (!IsPort(port)) return std::nullopt;
    }
  } else {
    if (const auto colon = value.find(':'); colon != std::string_view::npos) {
      host = value.substr(0, colon);
      port = value.substr(colon + 1);
      if (!IsPort(port)) return std::nullopt;  // also "ftp://...", "a:b:c"
    }
    if (!IsHostName(host)) return std::nullopt;
  }
  std::string url = scheme + "://";
  url += host;
  if (!port.empty()) {
    url += ':';
    url += port;
  }
  return url;
}

std::string ListFileUrl(std::string_view server, std::string_view fileName) {
  std::string url = server.find("://") == std::string_view::npos ? "http://" : "";
  url += server;
  while (!url.empty() && url.back() == '/') url.pop_back();
  url += "/Data/";
  url += fileName;
  return url;
}

ListServerChoice ChooseListServer(const ListServerInputs& inputs) {
  ListServerChoice choice;
  if (inputs.commandLine) {
    if (auto url = ListServerBaseUrl(*inputs.commandLine)) {
      choice.baseUrl = std::move(*url);
      choice.source = ListServerSource::CommandLine;
      return choice;
    }
    choice.warnings.push_back({ListServerSource::CommandLine, ListServerWarning::Problem::NotAHost,
                               *inputs.commandLine, {}, 0, 0});
  }
  if (inputs.config.error != 0) {
    choice.warnings.push_back({ListServerSource::ConfigFile, ListServerWarning::Problem::Unreadable, {},
                               inputs.configFile, 0, inputs.config.error});
  } else if (inputs.config.value) {
    if (auto url = ListServerBaseUrl(*inputs.config.value)) {
      choice.baseUrl = std::move(*url);
      choice.source = ListServerSource::ConfigFile;
      return choice;
    }
    choice.warnings.push_back({ListServerSource::ConfigFile, ListServerWarning::Problem::NotAHost,
                               *inputs.config.value, inputs.configFile, inputs.config.line, 0});
  }
  choice.source = ListServerSource::BuiltIn;
  // A program built without a server has none: the player names one.
  if (inputs.builtIn.empty()) return choice;
  if (auto url = ListServerBaseUrl(inputs.builtIn))
    choice.baseUrl = std::move(*url);
  else
    choice.warnings.push_back({ListServerSource::BuiltIn, ListServerWarning::Problem::NotAHost, inputs.builtIn, {}, 0, 0});
  return choice;
}

ConfigSetting FindConfigSetting(std::string_view text, std::string_view key) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a byte-order mark some editors write
  ConfigSetting setting;
  int lineNo = 0;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++lineNo;
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || Trim(line.substr(0, eq)) != key) continue;
    setting.value = std::string(Trim(line.substr(eq + 1)));
    setting.line = lineNo;
  }
  return setting;
}

std::string ConfigFilePath(std::string_view xdgConfigHome, std::string_view home) {
  std::string base(xdgConfigHome);
  if (base.empty() || base.front() != '/') {
    if (home.empty() || home.front() != '/') return {};
    base = std::string(home) + "/.config";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/numira/numira.conf";
}

ConfigSetting ReadConfigSetting(const std::string& path, std::string_view key) {
  ConfigSetting none;
  if (path.empty()) return none;
  // A FIFO or a device is no configuration (EINVAL), nor is a folder (EISDIR).
  int error = 0;
  const std::optional<std::string> text = ReadRegularFile(path, kMaxConfigBytes, &error);
  if (!text) {
    if (error != ENOENT && error != ENOTDIR) none.error = error;
    return none;
  }
  return FindConfigSetting(*text, key);
}

std::string WithConfigSetting(std::string_view text, std::string_view key, std::string_view value) {
  const std::string line = std::string(key) + "=" + std::string(value);
  const ConfigSetting current = FindConfigSetting(text, key);
  if (!current.value) {
    std::string out(text);
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out + line + "\n";
  }
  // The counted line's place: its number, as FindConfigSetting counts lines.
  std::size_t start = 0;
  for (int n = 1; n < current.line; ++n) start = text.find('\n', start) + 1;
  std::size_t end = text.find('\n', start);
  if (end == std::string_view::npos) end = text.size();
  if (end > start && text[end - 1] == '\r') --end;
  std::string out(text.substr(0, start));
  // A byte-order mark before the first line stays.
  if (start == 0 && text.substr(0, 3) == "\xEF\xBB\xBF") out = "\xEF\xBB\xBF";
  return out + line + std::string(text.substr(end));
}

int WriteConfigSetting(const std::string& path, std::string_view key, std::string_view value) {
  if (path.empty() || path.front() != '/') return ENOENT;
  int error = 0;
  std::optional<std::string> text = ReadRegularFile(path, kMaxConfigBytes, &error);
  if (!text) {
    if (error != ENOENT) return error == EFBIG ? EINVAL : error;
    text.emplace();
    // The folders, private to the user, as far as they are missing.
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
      if (::mkdir(path.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) return errno;
  }
  StagedFile stage(path);
  if (const int e = stage.Write(WithConfigSetting(*text, key, value), NewFileMode::Umask); e != 0) return e;
  return stage.Commit();
}

ListServerInputs ProcessListServerInputs(std::optional<std::string> commandLine, std::string builtIn) {
  ListServerInputs inputs;
  inputs.commandLine = std::move(commandLine);
  inputs.builtIn = std::move(builtIn);
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string home;
  if (const char* v = std::getenv("HOME"); v && *v)
    home = v;
  else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
    home = pw->pw_dir;
  inputs.configFile = ConfigFilePath(xdg ? xdg : "", home);
  inputs.config = ReadListServerSetting(inputs.configFile);
  return inputs;
}

}  // namespace numira
