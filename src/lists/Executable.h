#pragma once
// The running executable: where it lies, and the application's name taken from it.
#include <string>

namespace numira {

// Full path of the running executable (/proc/self/exe); empty if it cannot be found.
std::string ExecutablePath();

// The executable's file name without directory and extension: the application's name.
std::string ApplicationName(const std::string& executablePath);

// The path of a file installed beside the executable (a helper program, a module): in its
// folder, or in the working folder for a bare name.
std::string BesideExecutable(const std::string& executablePath, const std::string& name);

}  // namespace numira
