#pragma once
// The options of xscreensaver's hack protocol, the X toolkit's -display and
// the usual --help and --version, read before the classic screen-saver
// switches. A command line with none of them is handed on unchanged.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace emberlrn {

struct HackOptions {
  bool help = false;
  bool version = false;
  bool root = false;                   // --root / -root
  std::optional<uint32_t> windowId;    // --window-id ID / -window-id ID
  bool fps = false;                    // --fps / -fps
  std::optional<std::string> display;  // --display X / -display X, in every mode
  std::string error;                   // a malformed or unknown option, for the usage message
  std::string classicLine;             // what is left, joined by blanks

  // Hosted by xscreensaver: draw into a window given to us.
  bool Hosted() const { return root || windowId.has_value(); }
};

HackOptions ParseHackOptions(const std::vector<std::string>& args);

// A window id as X tools print it: "0x1a00003" or decimal; nothing when it is
// neither or does not fit 32 bits.
std::optional<uint32_t> ParseWindowId(const std::string& text);

// The window an --root run draws into: $XSCREENSAVER_WINDOW when it names a
// window, else nothing (the root window).
std::optional<uint32_t> XScreenSaverWindow();

std::string UsageText();
std::string VersionText();

}  // namespace emberlrn
