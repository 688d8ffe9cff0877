// The entry of numira-ledger.so: the purchases' SQLite file, for the window that loads it.
#include "LedgerModule.h"

extern "C" __attribute__((visibility("default"))) void numira_open_ledger(const std::string& path,
                                                                          numira::Ledger::Opening& out) {
  out = numira::Ledger::Open(path);
}
