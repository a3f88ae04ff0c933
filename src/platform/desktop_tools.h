#pragma once
// The desktop's own programs that stand in for the classic command lines of
// the power options and the display properties, and the opener of documents
// and addresses; with the Debian package each comes in, so that a user who
// has none of them can be told what to install.

#include <string>
#include <string_view>
#include <vector>

namespace emberlrn {

struct DesktopTool {
  std::vector<std::string> argv;
  std::string package;  // what to install to have it
  std::string desktop;  // the desktop it belongs to, as users name it; empty for any
};

// The tools for a classic command line, those of the current desktop first
// (currentDesktop is XDG_CURRENT_DESKTOP: names joined by ':'), then the rest
// in a fixed order. Empty for a command line that has no stand-in.
std::vector<DesktopTool> DesktopToolsFor(std::string_view commandLine,
                                         std::string_view currentDesktop);

// The program that opens documents and addresses with the user's choice.
DesktopTool DocumentOpener();

// XDG_CURRENT_DESKTOP, or empty.
std::string CurrentDesktop();

}  // namespace emberlrn
