#pragma once
// The program's command line, read before any window exists: --help and --version
// answer and end the program, --list-server names the list server.
#include <optional>
#include <string>
#include <vector>

#include "ListServerChoice.h"

namespace numira {

struct CommandLine {
  enum class Action { Run, Help, Version, Error };
  Action action = Action::Run;
  std::optional<std::string> listServer;  // the value of --list-server
  bool purchases = false;                  // --purchases: start with 購入記録 open
  std::string error;                       // for Error: the line for standard error
  // What is left for the toolkit (its own options, such as -platform): argv[0] first.
  std::vector<char*> rest;
};

// Reads --list-server SERVER (or --list-server=SERVER), --purchases, -h/--help and --version, and
// leaves the toolkit's own options (-platform NAME, -style=NAME, ...) in rest. A value
// that starts with '-' is an option, never taken as the server: an Error, like a missing
// value. Any other argument is an Error, whether or not there is a display. The first of
// --help and --version wins over the rest.
CommandLine ParseCommandLine(int argc, char** argv);

// The usage that --help prints.
std::string UsageText(const std::string& builtInServer);

// The standard-error line for an argument that nothing understood.
std::string UnknownArgumentText(const std::string& argument);

// The standard-error line for a source of the list server that could not be used.
std::string WarningText(const ListServerWarning& warning);

}  // namespace numira
