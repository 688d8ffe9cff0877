#include "CommandLine.h"

#include <cstring>
#include <optional>
#include <string_view>

#include "Encoding.h"
#include "TextFill.h"
#include "Texts.h"

namespace numira {
namespace {

// A value as a terminal line shows it: control characters escaped, at most 200 bytes.
std::string Shown(std::string_view value, bool quoted = true) {
  QuoteStyle style;
  style.asciiOnly = false;
  style.maxBytes = 200;
  if (!quoted) style.open = style.close = "";
  return Quoted(value, style);
}

constexpr std::string_view kListServerOption = "--list-server";

// The toolkit's own options, which its application object takes out of the command line
// (also written with two dashes): those that take the next argument as their value, those
// that stand alone, and those whose value follows "=". A few are the X11 platform's own.
constexpr std::string_view kToolkitOptionsWithValue[] = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry", "-qwindowtitle",
    "-qwindowicon", "-session", "-style", "-stylesheet", "-display", "-geometry", "-title", "-icon", "-name"};
constexpr std::string_view kToolkitFlags[] = {"-reverse", "-widgetcount", "-testability", "-nograb", "-dograb", "-sync"};
constexpr std::string_view kToolkitOptionsWithEquals[] = {"-style=", "-stylesheet=", "-qmljsdebugger="};

// How many arguments a toolkit option at argv[i] takes up (1 or 2); 0 when it is none.
int ToolkitArguments(std::string_view arg) {
  if (arg.substr(0, 2) == "--") arg.remove_prefix(1);
  for (std::string_view o : kToolkitOptionsWithValue)
    if (arg == o) return 2;
  for (std::string_view o : kToolkitFlags)
    if (arg == o) return 1;
  for (std::string_view o : kToolkitOptionsWithEquals)
    if (arg.substr(0, o.size()) == o) return 1;
  return 0;
}

}  // namespace

CommandLine ParseCommandLine(int argc, char** argv) {
  CommandLine cl;
  if (argc > 0) cl.rest.push_back(argv[0]);
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      cl.action = CommandLine::Action::Help;
      return cl;
    }
    if (arg == "--version") {
      cl.action = CommandLine::Action::Version;
      return cl;
    }
    const bool joined = arg.substr(0, kListServerOption.size() + 1) == std::string(kListServerOption) + "=";
    if (arg == kListServerOption || joined) {
      std::optional<std::string_view> value;
      if (joined)
        value = arg.substr(kListServerOption.size() + 1);
      else if (i + 1 < argc)
        value = argv[++i];
      // An option is never taken for the value: "--list-server --help" lacks its server.
      if (!value || (!value->empty() && value->front() == '-')) {
        cl.action = CommandLine::Action::Error;
        cl.error = Fill(text::kMissingValue, {text::kServerForms});
        return cl;
      }
      cl.listServer = std::string(*value);
    } else if (arg == "--purchases") {
      cl.purchases = true;
    } else if (const int n = ToolkitArguments(arg); n > 0) {
      // Left for the toolkit, with its value when it has one.
      for (int k = 0; k < n && i < argc; ++k) cl.rest.push_back(argv[i++]);
      --i;
    } else if (cl.error.empty()) {
      // Known before anything needs a display; a later --help or --version still wins.
      cl.error = UnknownArgumentText(argv[i]);
    }
  }
  if (!cl.error.empty()) cl.action = CommandLine::Action::Error;
  return cl;
}

std::string UsageText(const std::string& builtInServer) {
  return Fill(text::kUsageFormat, {builtInServer.empty() ? std::string(text::kNoBuiltInServer) : Shown(builtInServer, false)});
}

std::string UnknownArgumentText(const std::string& argument) {
  return Fill(text::kUnknownArgumentFormat, {Shown(argument)});
}

std::string WarningText(const ListServerWarning& w) {
  if (w.problem == ListServerWarning::Problem::Unreadable)
    return Fill(text::kConfigUnreadableFormat, {Shown(w.file, false), std::strerror(w.error)});
  std::string where;
  switch (w.source) {
    case ListServerSource::CommandLine:
      where = text::kFromCommandLine;
      break;
    case ListServerSource::ConfigFile:
      where = Fill(text::kFromConfigFormat, {Shown(w.file, false), std::to_string(w.line)});
      break;
    case ListServerSource::BuiltIn:
      where = text::kFromBuiltIn;
      break;
  }
  return Fill(text::kNotAListServerFormat, {where, Shown(w.value), text::kServerForms});
}

}  // namespace numira
