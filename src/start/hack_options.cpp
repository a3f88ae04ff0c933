#include "start/hack_options.h"

#include <cctype>
#include <cstdlib>

namespace emberlrn {
namespace {

// Options of the X toolkit's that every hack accepts and we ignore, with
// whether they take a value.
struct IgnoredOption {
  const char* name;
  bool takesValue;
};
constexpr IgnoredOption kIgnored[] = {
    {"display", true}, {"geometry", true}, {"visual", true}, {"xrm", true},
    {"name", true},    {"class", true},    {"install", false}, {"noinstall", false},
    {"mono", false},   {"pair", false},    {"nofps", false},
};

// "-x" and "--x" are the same option; a classic switch starts with '/'.
std::optional<std::string> OptionName(const std::string& arg) {
  if (arg.size() < 2 || arg[0] != '-') return std::nullopt;
  return arg.substr(arg[1] == '-' ? 2 : 1);
}

}  // namespace

std::optional<uint32_t> ParseWindowId(const std::string& text) {
  if (text.empty()) return std::nullopt;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > (hex ? 8u : 10u)) return std::nullopt;
  for (char c : digits) {
    const bool ok = hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : (c >= '0' && c <= '9');
    if (!ok) return std::nullopt;
  }
  const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
  if (value == 0 || value > 0xffffffffull) return std::nullopt;
  return static_cast<uint32_t>(value);
}

std::optional<uint32_t> XScreenSaverWindow() {
  const char* value = std::getenv("XSCREENSAVER_WINDOW");
  if (!value) return std::nullopt;
  std::string text(value);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.pop_back();
  while (!text.empty() && text.front() == ' ') text.erase(text.begin());
  return ParseWindowId(text);
}

HackOptions ParseHackOptions(const std::vector<std::string>& args) {
  HackOptions options;
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::optional<std::string> name = OptionName(arg);
    if (!name) {
      rest.push_back(arg);
      continue;
    }
    if (*name == "help" || *name == "h") {
      options.help = true;
    } else if (*name == "version") {
      options.version = true;
    } else if (*name == "root") {
      options.root = true;
    } else if (*name == "fps") {
      options.fps = true;
    } else if (*name == "window-id") {
      if (i + 1 >= args.size()) {
        options.error = "--window-id needs a window id";
        continue;
      }
      if (auto id = ParseWindowId(args[++i])) {
        options.windowId = id;
      } else {
        options.error = "not a window id: " + args[i];
      }
    } else {
      bool ignored = false;
      for (const IgnoredOption& option : kIgnored) {
        if (*name == option.name) {
          ignored = true;
          if (option.takesValue && i + 1 < args.size()) ++i;
        }
      }
      // Anything else ("-s", "--x") stays for the classic dispatch, which
      // ends at once on what it does not know.
      if (!ignored) rest.push_back(arg);
    }
  }
  for (size_t i = 0; i < rest.size(); ++i) {
    if (i > 0) options.classicLine += ' ';
    options.classicLine += rest[i];
  }
  return options;
}

std::string UsageText() {
  return "Usage: emberlrn [MODE]\n"
         "       emberlrn --root | --window-id ID [--fps]\n"
         "\n"
         "Emberlorn, a fireplace screen saver.\n"
         "\n"
         "Modes (the classic screen-saver switches):\n"
         "  /s            the full-screen fireplace (also with no argument)\n"
         "  /p ID         a still picture of the scene inside window ID\n"
         "  /c            the settings dialog\n"
         "  /a            explains that the screen lock uses your login password\n"
         "\n"
         "Hosted by xscreensaver:\n"
         "  --root        draw into $XSCREENSAVER_WINDOW, or the root window\n"
         "  --window-id ID\n"
         "                draw into window ID (decimal or 0x hex), silently\n"
         "  --fps         show frames per second\n"
         "  -display, -geometry and the other toolkit options are accepted and ignored\n"
         "\n"
         "  --help        this text\n"
         "  --version     the version\n"
         "\n"
         "While the full-screen fireplace runs: S starts the fire sound, Q stops it;\n"
         "any other key, a click or a burst of mouse movement ends it.\n"
         "Settings: ${XDG_CONFIG_HOME:-~/.config}/emberlrn/settings.ini\n";
}

std::string VersionText() { return "Emberlorn v 1.2.4\n"; }

}  // namespace emberlrn
