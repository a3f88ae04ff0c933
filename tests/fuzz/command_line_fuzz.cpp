// The program's arguments, split at zero bytes: the hack options, then the
// classic command line they leave, and every window id among them.

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "start/command_line.h"
#include "start/hack_options.h"

using namespace emberlrn;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.emplace_back();
    } else {
      args.back() += static_cast<char>(data[i]);
    }
  }
  for (const std::string& arg : args) (void)ParseWindowId(arg);
  const HackOptions options = ParseHackOptions(args);
  if (!options.error.empty()) return 0;
  const std::string command = CommandText(options.classicLine);
  FUZZ_CHECK(command.empty() || (command.front() != ' ' && command.back() != ' '));
  const std::string key = ModeKey(command);
  FUZZ_CHECK(key.size() <= 2 && command.compare(0, key.size(), key) == 0);
  const Mode mode = ModeOfLine(options.classicLine);
  FUZZ_CHECK(mode == ModeForKey(key));
  (void)PreviewHandle(command);
  return 0;
}
