#pragma once
// A desktop for tests: answers set by the test, and a record of every call.
// EndProcess throws ProcessEnded so that nothing after it runs, as in the
// real program; the test (or the fake event loop) catches it.

#include <optional>
#include <string>
#include <vector>

#include "interfaces/system.h"

namespace emberlrn {

struct ProcessEnded {};

class FakeSystem final : public System {
 public:
  struct Message {
    MessageIcon icon;
    std::string title;
    std::string text;
  };

  std::optional<int32_t> ScreenSaveTimeOut() override {
    calls.push_back("ScreenSaveTimeOut");
    return screenSaveTimeOut;
  }
  void SetScreenSaverRunning(bool running) override {
    calls.push_back(running ? "SetScreenSaverRunning(true)" : "SetScreenSaverRunning(false)");
    running_ = running;
  }
  bool ScreenSaverRunning() const override { return running_; }
  bool FindTopLevelWindow(std::string_view title) override {
    calls.push_back("FindTopLevelWindow(" + std::string(title) + ")");
    for (const std::string& open : openWindows) {
      if (open == title) return true;
    }
    return false;
  }
  bool AnotherInstanceRuns() override {
    calls.push_back("AnotherInstanceRuns");
    return anotherInstance;
  }
  void ShowCursor(bool show) override {
    calls.push_back(show ? "ShowCursor(true)" : "ShowCursor(false)");
    cursorShown = show;
  }
  void Open(std::string_view target) override {
    calls.push_back("Open(" + std::string(target) + ")");
    opened.emplace_back(target);
  }
  void Run(std::string_view commandLine) override {
    calls.push_back("Run(" + std::string(commandLine) + ")");
    ran.emplace_back(commandLine);
  }
  void ShowMessage(MessageIcon icon, std::string_view title, std::string_view text) override {
    calls.push_back("ShowMessage(" + std::string(title) + ")");
    messages.push_back({icon, std::string(title), std::string(text)});
  }
  [[noreturn]] void EndProcess(ExitStatus status = ExitStatus::kSuccess) override {
    calls.push_back(status == ExitStatus::kSuccess ? "EndProcess" : "EndProcess(failure)");
    ended = true;
    throw ProcessEnded{};
  }

  // Answers.
  std::optional<int32_t> screenSaveTimeOut;
  std::vector<std::string> openWindows;
  bool anotherInstance = false;

  // Record.
  std::vector<std::string> calls;
  std::vector<std::string> opened;
  std::vector<std::string> ran;
  std::vector<Message> messages;
  bool cursorShown = true;
  bool ended = false;

 private:
  bool running_ = false;
};

}  // namespace emberlrn
