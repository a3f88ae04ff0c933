#include "platform/screen_saver_timeout.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/x11/x11_desktop.h"

namespace emberlrn {
namespace {

std::string_view Trim(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::optional<long> Digits(std::string_view s) {
  if (s.empty() || s.size() > 9) return std::nullopt;
  long value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::optional<int> ParseXScreenSaverTimeout(std::string_view fileText) {
  std::istringstream lines{std::string(fileText)};
  std::string line;
  while (std::getline(lines, line)) {
    std::string_view text = Trim(line);
    if (text.rfind("timeout:", 0) != 0) continue;
    std::string_view value = Trim(text.substr(8));
    std::vector<long> parts;
    size_t start = 0;
    for (;;) {
      size_t colon = value.find(':', start);
      auto part = Digits(value.substr(start, colon == std::string_view::npos ? colon : colon - start));
      if (!part) return std::nullopt;
      parts.push_back(*part);
      if (colon == std::string_view::npos) break;
      start = colon + 1;
    }
    long seconds = 0;
    if (parts.size() == 1) {
      seconds = parts[0] * 60;
    } else if (parts.size() == 2) {
      seconds = parts[0] * 60 + parts[1];
    } else if (parts.size() == 3) {
      seconds = parts[0] * 3600 + parts[1] * 60 + parts[2];
    } else {
      return std::nullopt;
    }
    if (seconds <= 0 || seconds > 86400 * 7) return std::nullopt;
    return static_cast<int>(seconds);
  }
  return std::nullopt;
}

std::optional<int> ParseGnomeIdleDelay(std::string_view output) {
  std::string_view text = Trim(output);
  if (text.rfind("uint32", 0) == 0) text = Trim(text.substr(6));
  auto value = Digits(text);
  if (!value || *value == 0) return std::nullopt;
  return static_cast<int>(*value);
}

bool IsGnomeSession(std::string_view currentDesktop) {
  while (!currentDesktop.empty()) {
    const size_t colon = currentDesktop.find(':');
    std::string name(currentDesktop.substr(0, colon));
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name == "gnome" || name == "unity") return true;
    if (colon == std::string_view::npos) break;
    currentDesktop.remove_prefix(colon + 1);
  }
  return false;
}

std::optional<ScreenSaverWait> ReadScreenSaverWait() {
  if (const char* home = std::getenv("HOME"); home && *home) {
    std::ifstream file(std::string(home) + "/.xscreensaver");
    if (file) {
      std::stringstream text;
      text << file.rdbuf();
      if (auto seconds = ParseXScreenSaverTimeout(text.str())) {
        return ScreenSaverWait{*seconds, WaitSource::kXScreenSaver};
      }
    }
  }
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  if (IsGnomeSession(desktop ? desktop : "")) {
    if (auto output =
            RunAndCapture({"gsettings", "get", "org.gnome.desktop.session", "idle-delay"})) {
      if (auto seconds = ParseGnomeIdleDelay(*output)) {
        return ScreenSaverWait{*seconds, WaitSource::kGnome};
      }
    }
  }
  if (auto seconds = x11::ServerScreenSaverTimeout()) {
    return ScreenSaverWait{*seconds, WaitSource::kXServer};
  }
  return std::nullopt;
}

std::optional<int> ReadScreenSaveTimeOut() {
  if (auto wait = ReadScreenSaverWait()) return wait->seconds;
  return std::nullopt;
}

}  // namespace emberlrn
