#include "start/command_line.h"

#include <cmath>

#include "settings/conversions.h"

namespace emberlrn {

std::string CommandText(std::string_view commandLine) {
  auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!commandLine.empty() && isBlank(commandLine.front())) commandLine.remove_prefix(1);
  while (!commandLine.empty() && isBlank(commandLine.back())) commandLine.remove_suffix(1);
  std::string text(commandLine);
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string ModeKey(std::string_view commandText) { return std::string(commandText.substr(0, 2)); }

int32_t PreviewHandle(std::string_view commandText) {
  for (std::string_view tail = commandText; !tail.empty(); tail.remove_prefix(1)) {
    if (std::optional<double> number = ParseNumber(tail)) {
      double rounded = RoundHalfEven(*number);
      if (rounded < -2147483648.0 || rounded > 2147483647.0) return 0;
      return static_cast<int32_t>(rounded);
    }
  }
  return 0;
}

Mode ModeForKey(std::string_view key) {
  if (key.empty() || key == "/s") return Mode::kFullScreen;
  if (key == "/p") return Mode::kPreview;
  if (key == "/c") return Mode::kSettings;
  if (key == "/a") return Mode::kPassword;
  return Mode::kNone;
}

Mode ModeOfLine(std::string_view commandLine) {
  return ModeForKey(ModeKey(CommandText(commandLine)));
}

}  // namespace emberlrn
