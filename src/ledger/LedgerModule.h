#pragma once
// The window's way to the purchases' file: numira-ledger.so beside the program holds the
// SQLite file (Ledger::Open) and is loaded when 購入記録 is first needed, so that the
// window's start maps no SQLite. This is the module's whole contract.
#include <string>

#include "Ledger.h"

namespace numira {

inline constexpr const char* kLedgerLibraryName = "numira-ledger.so";
// extern "C" void numira_open_ledger(const std::string& path, Ledger::Opening& out)
inline constexpr const char* kLedgerLibraryEntry = "numira_open_ledger";
using LedgerLibraryEntry = void (*)(const std::string& path, Ledger::Opening& out);

// Opens the purchases' file through the module beside the executable. The module is
// loaded at the first opening and stays loaded; when it cannot be loaded, the opening's
// error says so, naming the module, and the next opening tries again.
LedgerOpener LedgerFromLibraryBeside(const std::string& executablePath);

}  // namespace numira
