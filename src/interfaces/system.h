#pragma once
// The services of the desktop that the saver and the dialog use, behind one
// interface so that every routine can be tested without a desktop.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace emberlrn {

enum class MessageIcon { kInformation, kWarning, kCritical };

// How the process ends: a launcher can tell a saver that ran from one that
// could not be shown.
enum class ExitStatus { kSuccess = 0, kFailure = 1 };

class System {
 public:
  virtual ~System() = default;

  // The desktop's screen-saver wait in seconds, or nothing when it cannot be
  // read. Sources, first found: ~/.xscreensaver "timeout:", GNOME's
  // idle-delay, the X server's own screen-saver time-out.
  virtual std::optional<int32_t> ScreenSaveTimeOut() = 0;

  // Whether a screen saver runs, as the program last told the system.
  virtual void SetScreenSaverRunning(bool running) = 0;
  virtual bool ScreenSaverRunning() const = 0;

  // True when a top-level window with exactly this title is on the desktop.
  virtual bool FindTopLevelWindow(std::string_view title) = 0;

  // True when another full-screen saver of this user holds the instance lock.
  // The first call takes the lock when it is free and keeps it for the life
  // of the process; the kernel frees it when the process dies, however.
  virtual bool AnotherInstanceRuns() = 0;

  virtual void ShowCursor(bool show) = 0;

  // Opens a document, program or address with the desktop's own opener;
  // the outcome is not examined.
  virtual void Open(std::string_view target) = 0;

  // Starts one of the desktop's settings programs for a classic command
  // line (the power options or the display properties); does nothing when
  // the desktop has none.
  virtual void Run(std::string_view commandLine) = 0;

  // A modal message with an OK button; on a machine without a display the
  // text goes to standard error instead.
  virtual void ShowMessage(MessageIcon icon, std::string_view title, std::string_view text) = 0;

  // Gives the display and the sound back and ends the process at once:
  // status 0 after a normal close, non-zero when the saver could not be
  // shown. Settings are already on disk, so nothing is lost.
  [[noreturn]] virtual void EndProcess(ExitStatus status = ExitStatus::kSuccess) = 0;
};

}  // namespace emberlrn
