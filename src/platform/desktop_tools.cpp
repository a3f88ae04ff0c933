#include "platform/desktop_tools.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace emberlrn {
namespace {

struct Entry {
  DesktopTool tool;
  std::string_view sessionName;  // the desktop's name in XDG_CURRENT_DESKTOP
};

std::vector<Entry> PowerTools() {
  return {{{{"xfce4-power-manager-settings"}, "xfce4-power-manager", "Xfce"}, "xfce"},
          {{{"gnome-control-center", "power"}, "gnome-control-center", "GNOME"}, "gnome"},
          {{{"systemsettings", "kcm_powerdevilprofilesconfig"},
            "systemsettings and powerdevil",
            "KDE Plasma"},
           "kde"},
          {{{"mate-power-preferences"}, "mate-power-manager", "MATE"}, "mate"}};
}

std::vector<Entry> DisplayTools() {
  return {{{{"xfce4-display-settings"}, "xfce4-settings", "Xfce"}, "xfce"},
          {{{"gnome-control-center", "display"}, "gnome-control-center", "GNOME"}, "gnome"},
          {{{"systemsettings", "kcm_kscreen"}, "systemsettings and kscreen", "KDE Plasma"}, "kde"},
          {{{"mate-display-properties"}, "mate-control-center", "MATE"}, "mate"},
          {{{"arandr"}, "arandr", ""}, ""}};
}

bool NamesSession(std::string_view currentDesktop, std::string_view sessionName) {
  if (sessionName.empty()) return false;
  while (!currentDesktop.empty()) {
    const size_t colon = currentDesktop.find(':');
    const std::string_view name = currentDesktop.substr(0, colon);
    const bool same = name.size() == sessionName.size() &&
                      std::equal(name.begin(), name.end(), sessionName.begin(), [](char a, char b) {
                        return std::tolower(static_cast<unsigned char>(a)) == b;
                      });
    if (same) return true;
    if (colon == std::string_view::npos) break;
    currentDesktop.remove_prefix(colon + 1);
  }
  return false;
}

}  // namespace

std::vector<DesktopTool> DesktopToolsFor(std::string_view commandLine,
                                         std::string_view currentDesktop) {
  std::vector<Entry> entries;
  if (commandLine.find("powercfg.cpl") != std::string_view::npos) entries = PowerTools();
  if (commandLine.find("desk.cpl") != std::string_view::npos) entries = DisplayTools();
  // Another desktop's settings program, installed beside, may not work here.
  std::stable_partition(entries.begin(), entries.end(), [&](const Entry& entry) {
    return NamesSession(currentDesktop, entry.sessionName);
  });
  std::vector<DesktopTool> tools;
  for (Entry& entry : entries) tools.push_back(std::move(entry.tool));
  return tools;
}

DesktopTool DocumentOpener() { return {{"xdg-open"}, "xdg-utils", ""}; }

std::string CurrentDesktop() {
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  return desktop ? desktop : "";
}

}  // namespace emberlrn
