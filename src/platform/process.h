#pragma once
// Starting other programs without a shell.

#include <optional>
#include <string>
#include <vector>

namespace emberlrn {

// True when the program is found on PATH (or is an executable path).
bool ProgramExists(const std::string& program);

// Starts the program with its arguments and does not wait for it; false when
// it could not be started.
bool StartDetached(const std::vector<std::string>& argv);

// Runs the program and returns what it wrote to standard output, or nothing
// when it is not installed, fails, or takes longer than two seconds.
std::optional<std::string> RunAndCapture(const std::vector<std::string>& argv);

}  // namespace emberlrn
