#include "setup/desktop_advice.h"

#include <algorithm>

#include "settings/schema.h"
#include "setup/screen_saver_wait.h"
#include "setup/setup_texts.h"

namespace emberlrn {
namespace {

namespace T = setup_texts;

constexpr int kSecondsPerMinute = 60;

std::string Step(int seconds, std::string_view after, std::string_view never) {
  return seconds > 0 ? std::string(after) + MinutesText(seconds) : std::string(never);
}

// "a, b, or c" for several, "a" alone.
std::string OrList(const std::vector<std::string>& items) {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += (i + 1 == items.size()) ? ", or " : ", ";
    text += items[i];
  }
  return text;
}

}  // namespace

std::string MinutesText(int seconds) {
  if (seconds == kSecondsPerMinute) return "1" + std::string(T::kMinuteSuffix);
  return ShortestDecimal(static_cast<double>(seconds) / kSecondsPerMinute) +
         std::string(T::kMinutesSuffix);
}

std::string_view WaitSourceText(std::optional<WaitSource> source) {
  if (!source) return T::kWaitUnread;
  switch (*source) {
    case WaitSource::kXScreenSaver:
      return T::kWaitFromXScreenSaver;
    case WaitSource::kGnome:
      return T::kWaitFromGnome;
    case WaitSource::kXServer:
      break;
  }
  return T::kWaitFromXServer;
}

std::optional<int> FirstDarkSeconds(const x11::MonitorPowerTimes& times) {
  if (!times.enabled) return std::nullopt;
  std::optional<int> first;
  for (const int seconds : {times.standby, times.suspend, times.off}) {
    if (seconds > 0 && (!first || seconds < *first)) first = seconds;
  }
  return first;
}

std::string MonitorPowerText(const std::optional<x11::MonitorPowerTimes>& times,
                             std::string_view entry, bool powerTicked) {
  std::string text(T::kMonitorPowerBefore);
  if (!times) return text + std::string(T::kMonitorPowerUnread);
  const std::optional<int> dark = FirstDarkSeconds(*times);
  if (dark) {
    text += Step(times->standby, T::kStandbyAfter, T::kStandbyNever) + ", " +
            Step(times->suspend, T::kSuspendAfter, T::kSuspendNever) + ", " +
            Step(times->off, T::kOffAfter, T::kOffNever) + ". ";
  } else {
    text += std::string(T::kMonitorPowerOff) + " ";
  }

  if (!powerTicked) {
    if (!dark) return text + std::string(T::kTimesMatch);
    return text + std::string(T::kTimesDifferUnticked) + MinutesText(*dark) +
           std::string(T::kTimesDifferUntickedAfter);
  }
  // A text that is no entry is never the X server's time.
  const std::optional<int16_t> minutes = MonitorEntryMinutes(entry);
  const std::optional<int> chosen =
      minutes && *minutes > 0 ? std::optional<int>(*minutes * kSecondsPerMinute) : std::nullopt;
  const bool known = minutes.has_value();
  if (known && chosen == dark) return text + std::string(T::kTimesMatch);
  text += std::string(T::kTimesDifferBefore) + std::string(entry);
  if (dark) return text + std::string(T::kTimesDifferDark) + MinutesText(*dark) + ".";
  return text + std::string(T::kTimesDifferByItself);
}

std::string MissingToolText(std::string_view what, const std::vector<DesktopTool>& tried,
                            std::string_view closing) {
  std::vector<std::string> programs;
  std::vector<std::string> packages;
  bool anyDesktop = false;
  for (const DesktopTool& tool : tried) {
    std::string program;
    for (const std::string& word : tool.argv) program += (program.empty() ? "" : " ") + word;
    programs.push_back(program);
    const bool ofDesktop = !tool.desktop.empty();
    anyDesktop = anyDesktop || ofDesktop;
    packages.push_back(tool.package + " (" +
                       (ofDesktop ? tool.desktop : std::string(T::kAnyDesktop)) + ")");
  }
  std::string list;
  for (const std::string& program : programs) list += (list.empty() ? "" : ", ") + program;
  std::string text = std::string(T::kCouldNotOpen) + std::string(what) +
                     std::string(T::kNoneInstalled) + "\n\n" + std::string(T::kTried) + list +
                     ".\n\n";
  if (anyDesktop)
    return text + std::string(T::kInstallOneOf) + OrList(packages) + "." + std::string(closing);
  // A program of no particular desktop: just its package.
  std::vector<std::string> plain;
  for (const DesktopTool& tool : tried) plain.push_back(tool.package);
  return text + std::string(T::kInstall) + OrList(plain) + std::string(closing);
}

}  // namespace emberlrn
