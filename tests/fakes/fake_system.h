#pragma once
// A desktop for tests: answers set by the test, and a record of every call.
// EndProcess throws ProcessEnded so that nothing after it runs, as in the
// real program; the test (or the fake event loop) catches it.

#include <optional>
#include <string>
#include <vector>

#include "fakes/call_record.h"

#include "interfaces/system.h"

namespace emberlrn {

struct ProcessEnded {};

class FakeSystem final : public System, public CallRecord {
 public:
  struct Message {
    MessageIcon icon;
    std::string title;
    std::string text;
  };

  std::optional<int32_t> ScreenSaveTimeOut() override {
    Record("ScreenSaveTimeOut");
    return screenSaveTimeOut;
  }
  void SetScreenSaverRunning(bool running) override {
    Record(running ? "SetScreenSaverRunning(true)" : "SetScreenSaverRunning(false)");
    running_ = running;
  }
  bool ScreenSaverRunning() const override { return running_; }
  bool FindTopLevelWindow(std::string_view title) override {
    Record("FindTopLevelWindow(" + std::string(title) + ")");
    for (const std::string& open : openWindows) {
      if (open == title) return true;
    }
    return false;
  }
  bool AnotherInstanceRuns() override {
    Record("AnotherInstanceRuns");
    return anotherInstance;
  }
  void ShowCursor(bool show) override {
    Record(show ? "ShowCursor(true)" : "ShowCursor(false)");
    cursorShown = show;
  }
  void Open(std::string_view target) override {
    Record("Open(" + std::string(target) + ")");
    opened.emplace_back(target);
  }
  void Run(std::string_view commandLine) override {
    Record("Run(" + std::string(commandLine) + ")");
    ran.emplace_back(commandLine);
  }
  void ShowMessage(MessageIcon icon, std::string_view title, std::string_view text) override {
    Record("ShowMessage(" + std::string(title) + ")");
    messages.push_back({icon, std::string(title), std::string(text)});
  }
  [[noreturn]] void EndProcess(ExitStatus status = ExitStatus::kSuccess) override {
    Record(status == ExitStatus::kSuccess ? "EndProcess" : "EndProcess(failure)");
    ended = true;
    throw ProcessEnded{};
  }

  // Answers.
  std::optional<int32_t> screenSaveTimeOut;
  std::vector<std::string> openWindows;
  bool anotherInstance = false;

  // Record.
  std::vector<std::string> opened;
  std::vector<std::string> ran;
  std::vector<Message> messages;
  bool cursorShown = true;
  bool ended = false;

 private:
  bool running_ = false;
};

}  // namespace emberlrn
