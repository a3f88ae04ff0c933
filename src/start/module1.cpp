#include "start/module1.h"

#include <string>

#include "interfaces/system.h"
#include "start/command_line.h"

namespace emberlrn {

int Main(std::string_view commandLine, ModeHost& host, System& system) {
  const std::string text = CommandText(commandLine);
  const std::string key = ModeKey(text);
  const bool displayProperties = system.FindTopLevelWindow(kDisplayPropertiesTitle);

  const Mode mode = ModeForKey(key);
  if (mode == Mode::kFullScreen) {
    // Every full-screen run holds the instance lock; only "/s" gives way to
    // one that already runs, unless the desktop's settings window is open.
    const bool another = system.AnotherInstanceRuns();
    if (key == "/s" && !displayProperties && another) return 0;
  }

  switch (mode) {
    case Mode::kFullScreen:
      return host.RunFullScreen();
    case Mode::kPreview:
      return host.RunPreview(PreviewHandle(text));
    case Mode::kSettings:
      return host.RunSettings();
    case Mode::kPassword:
      return host.RunPassword();
    case Mode::kNone:
      break;
  }
  return 0;
}

int PasswordMode(System& system) {
  system.ShowMessage(MessageIcon::kInformation, "Emberlorn",
                     "Emberlorn never asks for a password of its own.\n\n"
                     "When your desktop locks the screen, it asks for your login password. "
                     "To change it, change your login password (for example with the passwd "
                     "command or your desktop's user settings).");
  return 0;
}

}  // namespace emberlrn
