// Which list server the refresh asks: the accepted forms, the order of the sources, the
// configuration file, and the address of a list.
#include "ListServerChoice.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <vector>

#include "TestData.h"

namespace numira::testing {
namespace {

TEST(ListServerBaseUrl, AcceptedForms) {
  const struct {
    const char* value;
    const char* url;
  } rows[] = {
      {"lists.numira.example", "http://lists.numira.example"},
      {"127.0.0.1:8080", "http://127.0.0.1:8080"},
      {"localhost", "http://localhost"},
      {"my_host.lan:65535", "http://my_host.lan:65535"},
      {"example.org.", "http://example.org."},
      {"http://example.org:80/", "http://example.org:80"},
      {"HTTPS://Mirror.Example.org", "https://Mirror.Example.org"},
      {"Http://mirror.example.org:1", "http://mirror.example.org:1"},
      {"https://[::1]:8443", "https://[::1]:8443"},
      {"[2001:db8::1]", "http://[2001:db8::1]"},
      {"https://192.168.10.20/", "https://192.168.10.20"},
      {"xn--eckwd4c7c.example", "http://xn--eckwd4c7c.example"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    const auto url = ListServerBaseUrl(row.value);
    ASSERT_TRUE(url.has_value());
    EXPECT_EQ(*url, row.url);
  }
}

TEST(ListServerBaseUrl, WhatIsNotAHostIsRefused) {
  const std::string longLabel(64, 'a');
  const std::string longName = std::string(63, 'a') + "." + std::string(63, 'b') + "." + std::string(63, 'c') + "." +
                               std::string(63, 'd');  // 255 characters
  for (const std::string& value : std::vector<std::string>{"", " ", "lists numira.example", " lists.example", "lists.example ", "lists.example\t", "lists.example\n",
        "lists.example/Data", "http://lists.example/sub/", "lists.example//", "ftp://lists.example",
        "file:///etc/passwd", "gopher://lists.example", "http:/lists.example", "lists.example:0",
        "lists.example:65536", "lists.example:", "lists.example:http", "lists.example:80:81", "lists.example:-80",
        "lists.example:+80", "lists.example:123456", "user@lists.example", "http://user:pw@lists.example", "http://",
        "https://", "https://:443", "::1", "[::1", "[zz::1]", "[::1]x", "[::1]:", "[]", "[127.0.0.1]",
        "-bad.example", "bad-.example", "a..b", ".example", "999.1.1.1", "1.2.3", "256.0.0.1", "exa$mple.org",
        "lists.example?x=1", "lists.example#x", "lists.\xe4\xbe\x8b.example", longLabel + ".example", longName}) {
    SCOPED_TRACE(value);
    EXPECT_FALSE(ListServerBaseUrl(value).has_value());
  }
}

TEST(ListFileUrl, BaseAddressThenDataThenTheFile) {
  EXPECT_EQ(ListFileUrl("http://127.0.0.1:8080", "Num3Correct.txt"), "http://127.0.0.1:8080/Data/Num3Correct.txt");
  EXPECT_EQ(ListFileUrl("127.0.0.1:9", "Num3NoCorrect.txt"), "http://127.0.0.1:9/Data/Num3NoCorrect.txt");
  EXPECT_EQ(ListFileUrl("https://lists.example", "Lot6Correct.txt"), "https://lists.example/Data/Lot6Correct.txt");
  EXPECT_EQ(ListFileUrl("https://[::1]:8443", "MiniCorrect.txt"), "https://[::1]:8443/Data/MiniCorrect.txt");
}

using Problem = ListServerWarning::Problem;
using Source = ListServerSource;

struct Expected {
  Source source;
  Problem problem;
  std::string value;
};

TEST(ChooseListServer, FirstUsableSourceWinsAndEveryRefusalIsReported) {
  const ConfigSetting none;
  const ConfigSetting good{"https://mirror.example:8443", 3, 0};
  const ConfigSetting bad{"mirror example", 4, 0};
  const ConfigSetting unreadable{std::nullopt, 0, EISDIR};
  const struct {
    const char* name;
    std::optional<std::string> commandLine;
    ConfigSetting config;
    std::string builtIn;
    std::string url;
    Source source;
    std::vector<Expected> warnings;
  } rows[] = {
      {"built_in_only", std::nullopt, none, "lists.numira.example", "http://lists.numira.example", Source::BuiltIn, {}},
      {"config_file", std::nullopt, good, "lists.numira.example", "https://mirror.example:8443", Source::ConfigFile, {}},
      {"command_line_over_config", "127.0.0.1:8080", good, "lists.numira.example", "http://127.0.0.1:8080",
       Source::CommandLine, {}},
      {"bad_command_line_then_config", "a/b", good, "lists.numira.example", "https://mirror.example:8443",
       Source::ConfigFile, {{Source::CommandLine, Problem::NotAHost, "a/b"}}},
      {"bad_command_line_and_bad_config", "ftp://x.example", bad, "lists.numira.example",
       "http://lists.numira.example", Source::BuiltIn,
       {{Source::CommandLine, Problem::NotAHost, "ftp://x.example"}, {Source::ConfigFile, Problem::NotAHost, "mirror example"}}},
      {"empty_command_line_value", "", none, "lists.numira.example", "http://lists.numira.example", Source::BuiltIn,
       {{Source::CommandLine, Problem::NotAHost, ""}}},
      {"unreadable_config", std::nullopt, unreadable, "lists.numira.example", "http://lists.numira.example",
       Source::BuiltIn, {{Source::ConfigFile, Problem::Unreadable, ""}}},
      {"command_line_over_unreadable_config", "[::1]:8080", unreadable, "lists.numira.example", "http://[::1]:8080",
       Source::CommandLine, {}},
      {"bad_built_in", std::nullopt, none, "lists numira", "", Source::BuiltIn,
       {{Source::BuiltIn, Problem::NotAHost, "lists numira"}}},
      // A program built without a server has none, and says nothing of it here.
      {"no_server_anywhere", std::nullopt, none, "", "", Source::BuiltIn, {}},
      {"bad_config_and_no_built_in", std::nullopt, bad, "", "", Source::BuiltIn,
       {{Source::ConfigFile, Problem::NotAHost, "mirror example"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ListServerInputs in;
    in.commandLine = row.commandLine;
    in.configFile = "/home/u/.config/numira/numira.conf";
    in.config = row.config;
    in.builtIn = row.builtIn;
    const ListServerChoice choice = ChooseListServer(in);
    EXPECT_EQ(choice.baseUrl, row.url);
    EXPECT_EQ(choice.source, row.source);
    ASSERT_EQ(choice.warnings.size(), row.warnings.size());
    for (std::size_t i = 0; i < row.warnings.size(); ++i) {
      const ListServerWarning& w = choice.warnings[i];
      EXPECT_EQ(w.source, row.warnings[i].source) << i;
      EXPECT_EQ(w.problem, row.warnings[i].problem) << i;
      EXPECT_EQ(w.value, row.warnings[i].value) << i;
      if (w.source == Source::ConfigFile) {
        EXPECT_EQ(w.file, "/home/u/.config/numira/numira.conf");
        EXPECT_EQ(w.line, w.problem == Problem::NotAHost ? 4 : 0);
        EXPECT_EQ(w.error, w.problem == Problem::Unreadable ? EISDIR : 0);
      }
    }
  }
}

TEST(FindListServerSetting, TheLastListServerLineCounts) {
  const struct {
    const char* name;
    std::string text;
    std::optional<std::string> value;
    int line;
  } rows[] = {
      {"plain", "list-server=a.example\n", "a.example", 1},
      {"blanks_comments_crlf", "# mine\n\n  list-server = b.example:81  \r\n", "b.example:81", 3},
      {"last_wins", "list-server=a\nlist-server=b\n", "b", 2},
      {"other_keys", "other=x\nlist-servers=y\nlist-server\n", std::nullopt, 0},
      {"commented_out", "# list-server=x\n; list-server=y\n", std::nullopt, 0},
      {"byte_order_mark", "\xEF\xBB\xBFlist-server=c\n", "c", 1},
      {"empty_value", "list-server=\n", "", 1},
      {"no_final_line_end", "x=1\nlist-server=https://d.example", "https://d.example", 2},
      {"value_with_equals", "list-server=a=b\n", "a=b", 1},
      {"empty_file", "", std::nullopt, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const ConfigSetting s = FindListServerSetting(row.text);
    EXPECT_EQ(s.value, row.value);
    EXPECT_EQ(s.line, row.line);
    EXPECT_EQ(s.error, 0);
  }
}

TEST(ConfigFilePath, XdgConfigHomeElseTheHomeFolder) {
  EXPECT_EQ(ConfigFilePath("/xdg", "/home/u"), "/xdg/numira/numira.conf");
  EXPECT_EQ(ConfigFilePath("/xdg/", "/home/u"), "/xdg/numira/numira.conf");
  EXPECT_EQ(ConfigFilePath("", "/home/u"), "/home/u/.config/numira/numira.conf");
  EXPECT_EQ(ConfigFilePath("relative/xdg", "/home/u"), "/home/u/.config/numira/numira.conf");
  EXPECT_EQ(ConfigFilePath("", ""), "");
  EXPECT_EQ(ConfigFilePath("", "relative"), "");
}

TEST(ReadListServerSetting, FromTheFile) {
  TempDir dir;
  const std::string path = dir / "numira.conf";
  // No file: no setting, no complaint.
  ConfigSetting s = ReadListServerSetting(path);
  EXPECT_FALSE(s.value.has_value());
  EXPECT_EQ(s.error, 0);
  EXPECT_EQ(ReadListServerSetting(dir / "missing/numira.conf").error, 0);
  EXPECT_EQ(ReadListServerSetting("").error, 0);

  WriteBytes(path, "# the list server\nlist-server=https://lists.example\n");
  s = ReadListServerSetting(path);
  EXPECT_EQ(s.value, "https://lists.example");
  EXPECT_EQ(s.line, 2);

  // What cannot be a configuration file is reported, never waited on.
  ASSERT_EQ(::mkdir((dir / "folder.conf").c_str(), 0700), 0);
  EXPECT_EQ(ReadListServerSetting(dir / "folder.conf").error, EISDIR);
  ASSERT_EQ(::mkfifo((dir / "fifo.conf").c_str(), 0600), 0);
  EXPECT_EQ(ReadListServerSetting(dir / "fifo.conf").error, EINVAL);
  WriteBytes(dir / "huge.conf", std::string(100000, '#') + "\nlist-server=x\n");
  s = ReadListServerSetting(dir / "huge.conf");
  EXPECT_EQ(s.error, EFBIG);
  EXPECT_FALSE(s.value.has_value());
}

TEST(ListServerSetting, SettingItKeepsEveryOtherLine) {
  const struct {
    const char* text;
    const char* set;
  } rows[] = {
      {"", "list-server=h.example\n"},
      {"# only a comment", "# only a comment\nlist-server=h.example\n"},
      {"colour=blue\n", "colour=blue\nlist-server=h.example\n"},
      {"list-server = old.example\n", "list-server=h.example\n"},
      {"a=1\r\nlist-server=old\r\nb=2\r\n", "a=1\r\nlist-server=h.example\r\nb=2\r\n"},
      {"list-server=first\n#list-server=commented\nlist-server=last", "list-server=first\n#list-server=commented\nlist-server=h.example"},
      {"\xEF\xBB\xBFlist-server=old\n", "\xEF\xBB\xBFlist-server=h.example\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const std::string set = WithListServerSetting(row.text, "h.example");
    EXPECT_EQ(set, row.set);
    EXPECT_EQ(FindListServerSetting(set).value, std::optional<std::string>("h.example"));
  }
  // Another key is set on its own line and leaves list-server as it was.
  EXPECT_EQ(WithConfigSetting("list-server=h\ngames=loto6\n", "games", "loto7"), "list-server=h\ngames=loto7\n");
  EXPECT_EQ(WithConfigSetting("list-server=h\n", "games", "a,b"), "list-server=h\ngames=a,b\n");
  EXPECT_EQ(FindConfigSetting("games=a\nlist-server=h\n", "games").line, 1);
}

TEST(ListServerSetting, WrittenThroughTheStore) {
  TempDir dir;
  const std::string conf = dir / "a/b/numira.conf";
  ASSERT_EQ(WriteListServerSetting(conf, "http://h:1"), 0);
  EXPECT_EQ(ReadBytes(conf), "list-server=http://h:1\n");
  struct stat st {};
  ASSERT_EQ(::stat((dir / "a").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(ReadListServerSetting(conf).value, std::optional<std::string>("http://h:1"));
  EXPECT_EQ(WriteListServerSetting("relative.conf", "h"), ENOENT);
  ::mkdir((dir / "folder.conf").c_str(), 0700);
  EXPECT_EQ(WriteListServerSetting(dir / "folder.conf", "h"), EISDIR);
}

}  // namespace
}  // namespace numira::testing
