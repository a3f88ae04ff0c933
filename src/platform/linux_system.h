#pragma once
// The desktop services on Linux.

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "interfaces/system.h"

namespace emberlrn {

class LinuxSystem final : public System {
 public:
  LinuxSystem() = default;
  LinuxSystem(const LinuxSystem&) = delete;
  LinuxSystem& operator=(const LinuxSystem&) = delete;
  ~LinuxSystem() override;

  std::optional<int32_t> ScreenSaveTimeOut() override;
  void SetScreenSaverRunning(bool running) override { screenSaverRunning_ = running; }
  bool ScreenSaverRunning() const override { return screenSaverRunning_; }
  bool FindTopLevelWindow(std::string_view title) override;
  bool AnotherInstanceRuns() override;
  void ShowCursor(bool show) override;
  void Open(std::string_view target) override;
  void Run(std::string_view commandLine) override;
  void ShowMessage(MessageIcon icon, std::string_view title, std::string_view text) override;
  [[noreturn]] void EndProcess(ExitStatus status = ExitStatus::kSuccess) override;

  // The screen's own cursor and message boxes, from the back end that owns
  // the screen. Without them the cursor is left alone and messages go to
  // standard error. showMessage answers false when it could not show one.
  using CursorControl = std::function<void(bool show)>;
  using MessageBox =
      std::function<bool(MessageIcon icon, std::string_view title, std::string_view text)>;
  void UseScreen(CursorControl showCursor, MessageBox showMessage) {
    showCursor_ = std::move(showCursor);
    showMessage_ = std::move(showMessage);
  }

  // A preview pane sits inside another program's window: the pointer over
  // it is that program's, so ShowCursor leaves it alone from now on.
  void LeaveCursorAlone() { cursorLeftAlone_ = true; }

  // Run by EndProcess, last added first: giving back the display and the
  // sound registers here.
  void AddShutdownStep(std::function<void()> step) { shutdownSteps_.push_back(std::move(step)); }

  // The programs that stand in for a classic command line, best first: those
  // of the current desktop lead.
  static std::vector<std::vector<std::string>> ProgramsFor(std::string_view commandLine);

 private:
  bool screenSaverRunning_ = false;
  bool cursorLeftAlone_ = false;
  CursorControl showCursor_;
  MessageBox showMessage_;
  int instanceLock_ = -1;
  bool instanceChecked_ = false;
  bool anotherInstance_ = false;
  std::vector<std::function<void()>> shutdownSteps_;
};

}  // namespace emberlrn
