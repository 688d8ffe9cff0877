#include "CommandLine.h"

#include <cstring>
#include <optional>
#include <string_view>

#include "Encoding.h"
#include "Texts.h"

namespace numira {
namespace {

// A format with %1, %2 and %3 filled in, in one pass: a value is never read as a format.
std::string Fill(std::string_view format, const std::string& a, const std::string& b = {}, const std::string& c = {}) {
  std::string out;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] >= '1' && format[i + 1] <= '3') {
      const char n = format[++i];
      out += n == '1' ? a : n == '2' ? b : c;
    } else {
      out += format[i];
    }
  }
  return out;
}

constexpr std::string_view kListServerOption = "--list-server";
constexpr std::size_t kMaxShown = 200;

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
        cl.error = Fill(text::kMissingValue, text::kServerForms);
        return cl;
      }
      cl.listServer = std::string(*value);
    } else {
      cl.rest.push_back(argv[i]);
    }
  }
  return cl;
}

std::string UsageText(const std::string& builtInServer) {
  return Fill(text::kUsageFormat, builtInServer.empty() ? std::string(text::kNoBuiltInServer) : Printable(builtInServer));
}

std::string UnknownArgumentText(const std::string& argument) {
  return Fill(text::kUnknownArgumentFormat, Printable(argument));
}

std::string WarningText(const ListServerWarning& w) {
  if (w.problem == ListServerWarning::Problem::Unreadable)
    return Fill(text::kConfigUnreadableFormat, Printable(w.file), std::strerror(w.error));
  std::string where;
  switch (w.source) {
    case ListServerSource::CommandLine:
      where = text::kFromCommandLine;
      break;
    case ListServerSource::ConfigFile:
      where = Fill(text::kFromConfigFormat, Printable(w.file), std::to_string(w.line));
      break;
    case ListServerSource::BuiltIn:
      where = text::kFromBuiltIn;
      break;
  }
  return Fill(text::kNotAListServerFormat, where, Printable(w.value), text::kServerForms);
}

std::string Printable(const std::string& value) {
  std::string out = SanitizeUtf8(value);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  if (out.size() > kMaxShown) out = TruncateUtf8(out, kMaxShown) + "...";
  return out;
}

}  // namespace numira
