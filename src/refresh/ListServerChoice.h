#pragma once
// Which list server the refresh asks, chosen when the program starts: the command line
// (--list-server), else the user's configuration file (list-server=), else the server the
// program was built with, if any. And the one place where a list's address is made.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace numira {

// The base address of a list server written as HOST, HOST:PORT, http://HOST[:PORT] or
// https://HOST[:PORT] (one trailing "/" allowed): "http://HOST[:PORT]" or
// "https://HOST[:PORT]", the scheme in lower case. HOST is a DNS name, an IPv4 address
// or an IPv6 address in brackets; PORT is 1 to 65535. Nothing for anything else: spaces,
// a path, a user name, another scheme, a bad port.
std::optional<std::string> ListServerBaseUrl(std::string_view value);

// The address of a list file on a server: the server's base address (or a bare
// HOST[:PORT], which means http), then "/Data/" and the file name.
std::string ListFileUrl(std::string_view server, std::string_view fileName);

enum class ListServerSource { CommandLine, ConfigFile, BuiltIn };

// A source whose value could not be used; the choice went on to the next one.
struct ListServerWarning {
  enum class Problem {
    NotAHost,    // value is not a list server
    Unreadable,  // the configuration file exists but cannot be read (error holds errno)
  };
  ListServerSource source;
  Problem problem;
  std::string value;
  std::string file;  // the configuration file, for ConfigFile
  int line = 0;      // its line, for a value that is not a host
  int error = 0;
};

// A setting as read from the configuration file.
struct ConfigSetting {
  std::optional<std::string> value;  // none: no such line (or no file)
  int line = 0;
  int error = 0;  // errno when the file exists but cannot be read
};

struct ListServerInputs {
  std::optional<std::string> commandLine;  // the value of --list-server
  std::string configFile;                  // the configuration file's path ("" when none)
  ConfigSetting config;
  std::string builtIn;  // the server the program was built with ("" none)
};

struct ListServerChoice {
  std::string baseUrl;  // "" when no source names a usable server
  ListServerSource source = ListServerSource::BuiltIn;
  std::vector<ListServerWarning> warnings;  // in the order the sources were tried
};

// The first usable source in the order command line, configuration file, built-in.
ListServerChoice ChooseListServer(const ListServerInputs& inputs);

// numira.conf holds KEY=VALUE lines: list-server= and the window's own settings.
// Blank lines and lines starting with '#' or ';' are skipped; where a key is given more
// than once, the last line counts. Values are trimmed of blanks.
inline constexpr const char* kListServerKey = "list-server";

// The last "KEY = VALUE" line of a configuration file's text.
ConfigSetting FindConfigSetting(std::string_view text, std::string_view key);
inline ConfigSetting FindListServerSetting(std::string_view text) { return FindConfigSetting(text, kListServerKey); }

// $XDG_CONFIG_HOME/numira/numira.conf, or ~/.config/numira/numira.conf when the variable
// is unset, empty or not an absolute path; "" when home is not absolute either.
std::string ConfigFilePath(std::string_view xdgConfigHome, std::string_view home);

// Reads the setting from the file (a missing file has none).
ConfigSetting ReadConfigSetting(const std::string& path, std::string_view key);
inline ConfigSetting ReadListServerSetting(const std::string& path) { return ReadConfigSetting(path, kListServerKey); }

// A configuration file's text with KEY set to value: the line that counts (the last one)
// is replaced, keeping its line end, or a line is added at the end; every other line
// stays as it was.
std::string WithConfigSetting(std::string_view text, std::string_view key, std::string_view value);
inline std::string WithListServerSetting(std::string_view text, std::string_view value) {
  return WithConfigSetting(text, kListServerKey, value);
}

// Sets KEY in the configuration file at path, which is made (with its folders) when
// missing, and replaced through the file store: staged beside it and renamed into place,
// so that a failure leaves it as it was. 0, or the errno of the step that failed (EINVAL
// for a file that is too large or not a regular file; ENOENT for no path).
int WriteConfigSetting(const std::string& path, std::string_view key, std::string_view value);
inline int WriteListServerSetting(const std::string& path, std::string_view value) {
  return WriteConfigSetting(path, kListServerKey, value);
}

// The inputs of the running process: its environment and the given command-line value.
ListServerInputs ProcessListServerInputs(std::optional<std::string> commandLine, std::string builtIn);

}  // namespace numira
