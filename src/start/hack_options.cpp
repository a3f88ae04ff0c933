#include "start/hack_options.h"

#include <cctype>
#include <cstdlib>

namespace emberlrn {
namespace {

// Options that xscreensaver gives every hack and that we accept and ignore,
// with whether they take a value. They mean something only to a hosted run.
struct HostOnlyOption {
  const char* name;
  bool takesValue;
};
constexpr HostOnlyOption kHostOnly[] = {
    {"geometry", true}, {"visual", true},   {"xrm", true},        {"name", true},
    {"class", true},    {"install", false}, {"noinstall", false}, {"mono", false},
    {"pair", false},    {"nofps", false},   {"fps", false},
};

// "-x" and "--x" are the same option; a classic switch starts with '/'.
std::optional<std::string> OptionName(const std::string& arg) {
  if (arg.size() < 2 || arg[0] != '-') return std::nullopt;
  return arg.substr(arg[1] == '-' ? 2 : 1);
}

const HostOnlyOption* FindHostOnly(const std::string& name) {
  for (const HostOnlyOption& option : kHostOnly) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

}  // namespace

std::optional<uint32_t> ParseWindowId(const std::string& text) {
  if (text.empty()) return std::nullopt;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > (hex ? 8u : 10u)) return std::nullopt;
  for (char c : digits) {
    const bool ok =
        hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : (c >= '0' && c <= '9');
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
  std::string hostOnlyGiven;
  const auto fail = [&options](std::string message) {
    if (options.error.empty()) options.error = std::move(message);
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::optional<std::string> name = OptionName(arg);
    if (!name) {
      rest.push_back(arg);
      continue;
    }
    const bool hasValue = i + 1 < args.size();
    if (*name == "help" || *name == "h") {
      options.help = true;
    } else if (*name == "version") {
      options.version = true;
    } else if (*name == "root") {
      options.root = true;
    } else if (*name == "display") {
      if (!hasValue || args[i + 1].empty()) {
        fail(arg + " needs a display name, such as :0");
        continue;
      }
      options.display = args[++i];
    } else if (*name == "window-id") {
      if (!hasValue) {
        fail("--window-id needs a window id");
        continue;
      }
      if (auto id = ParseWindowId(args[++i])) {
        options.windowId = id;
      } else {
        fail("not a window id: " + args[i]);
      }
    } else if (const HostOnlyOption* option = FindHostOnly(*name)) {
      if (option->takesValue && hasValue) ++i;
      if (*name == "fps") options.fps = true;
      if (hostOnlyGiven.empty()) hostOnlyGiven = arg;
    } else {
      fail("unknown option " + arg);
    }
  }
  // Without the host's window they would silently start a full-screen run.
  if (!hostOnlyGiven.empty() && !options.Hosted()) {
    fail(hostOnlyGiven + " is an option of the hosted saver; give it with --root or --window-id");
  }
  for (size_t i = 0; i < rest.size(); ++i) {
    if (i > 0) options.classicLine += ' ';
    options.classicLine += rest[i];
  }
  // A line of options alone asks for the saver as "/s" does; only a truly
  // empty line is the desktop's own start that skips the single-instance rule.
  if (rest.empty() && !args.empty() && !options.Hosted()) options.classicLine = "/s";
  return options;
}

std::string UsageText() {
  return "Usage: emberlrn [--display X] [MODE]\n"
         "       emberlrn [--display X] --root | --window-id ID [--fps]\n"
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
         "                draw into window ID (decimal or 0x hex): a preview pane,\n"
         "                silent, and the settings are only read\n"
         "  --fps         show frames per second\n"
         "  -geometry, -mono and xscreensaver's other options are accepted and ignored\n"
         "\n"
         "  --display X   the X display to use, in every mode (else $DISPLAY)\n"
         "  --help        this text\n"
         "  --version     the version\n"
         "\n"
         "While the full-screen fireplace runs: S starts the fire sound, Q stops it;\n"
         "any other key, a click or a burst of mouse movement ends it.\n"
         "Settings: ${XDG_CONFIG_HOME:-~/.config}/emberlrn/settings.ini\n";
}

std::string VersionText() { return "Emberlorn v " EMBERLRN_VERSION "\n"; }

}  // namespace emberlrn
