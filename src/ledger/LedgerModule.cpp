#include "LedgerModule.h"

#include <dlfcn.h>

#include "Executable.h"

namespace numira {

LedgerOpener LedgerFromLibraryBeside(const std::string& executablePath) {
  const std::string library = BesideExecutable(executablePath, kLedgerLibraryName);
  return [library](const std::string& path) {
    Ledger::Opening out;
    // Never closed: the opened files' code lives in it.
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    const auto open = handle ? reinterpret_cast<LedgerLibraryEntry>(::dlsym(handle, kLedgerLibraryEntry)) : nullptr;
    if (!open) {
      const char* why = ::dlerror();
      out.error = "購入記録を扱う部品を読み込めません：" + std::string(why ? why : library);
      return out;
    }
    open(path, out);
    return out;
  };
}

}  // namespace numira
