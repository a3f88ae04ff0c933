#pragma once
// The saver window's controls for the input and exit tests, all writing to
// one log, so that a test can check the order of calls across the drawing
// control, the sound controls, the desktop and the saver window itself.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "fakes/fake_system.h"
#include "fakes/memory_store.h"
#include "input_exit/input_exit.h"
#include "interfaces/tego_ddrw.h"
#include "settings/first_run.h"
#include "interfaces/tego_ds.h"
#include "interfaces/tego_snd.h"
#include "start/saver_state.h"

namespace emberlrn::testing {

using CallLog = std::vector<std::string>;

class LoggingDDrw final : public TegoDDrw {
 public:
  explicit LoggingDDrw(CallLog& log) : log_(log) {}
  bool SetDisplayMode(int, int, int, std::string_view) override {
    log_.push_back("SetDisplayMode");
    return true;
  }
  int32_t CreateSprite() override { return ++sprites_; }
  void LoadSpriteFrame(int32_t, int, std::string_view, int) override {}
  void SetSpriteX(int32_t, int) override {}
  void SetSpriteY(int32_t, int) override {}
  void SetSpriteFrame(int32_t, int) override {}
  void SetSpriteSpeed(int32_t, int) override {}
  bool SpriteFrameDue(int32_t) override { return false; }
  void NextSpriteFrame(int32_t) override {}
  void DrawSprite(int32_t) override {}
  void ClearBackBuffer(Colour) override {}
  void SetTextFont(std::string_view, int, int, bool, bool, bool) override {}
  void DrawText(std::string_view, int, int, Colour) override {}
  void FlipBackBuffer() override {}
  void CloseDisplay() override { log_.push_back("CloseDisplay"); }
  void SetVisible(bool visible) override {
    log_.push_back(visible ? "ddrw.SetVisible(true)" : "ddrw.SetVisible(false)");
  }

 private:
  CallLog& log_;
  int32_t sprites_ = 0;
};

// Keeps which waves play, so that a test sees whether a sound is heard.
class LoggingDS final : public TegoDS {
 public:
  explicit LoggingDS(CallLog& log) : log_(log) {}
  int32_t loadWave(std::string_view path) override {
    log_.push_back("loadWave(" + std::string(path) + ")");
    return ++lastId_;
  }
  void stopWave(int32_t id) override {
    log_.push_back("stopWave(" + std::to_string(id) + ")");
    playing.erase(id);
  }
  void stopAllWaves() override {
    log_.push_back("stopAllWaves");
    playing.clear();
  }
  void startWave(int32_t id) override {
    log_.push_back("startWave(" + std::to_string(id) + ")");
    playing.insert(id);
  }
  void setWaveVolume(int32_t id, int32_t volume) override {
    log_.push_back("setWaveVolume(" + std::to_string(id) + "," + std::to_string(volume) + ")");
  }
  void setWaveMode(int32_t id, int32_t mode) override {
    log_.push_back("setWaveMode(" + std::to_string(id) + "," + std::to_string(mode) + ")");
  }

  std::set<int32_t> playing;
  int32_t lastId_ = 100;

 private:
  CallLog& log_;
};

class LoggingSnd final : public TegoSnd {
 public:
  explicit LoggingSnd(CallLog& log) : log_(log) {}
  void playMidiFile(std::string_view path, int32_t, int32_t) override {
    log_.push_back("playMidiFile(" + std::string(path) + ")");
    midiPlaying = true;
  }
  bool isMidiPlaying() override { return midiPlaying; }
  void stopMidi() override {
    log_.push_back("stopMidi");
    midiPlaying = false;
  }
  bool midiPlaying = false;

 private:
  CallLog& log_;
};

// The desktop: answers and ends as FakeSystem does, and logs each call in
// the common log as well.
class LoggingSystem final : public System {
 public:
  explicit LoggingSystem(CallLog& log) : log_(log) {}
  std::optional<int32_t> ScreenSaveTimeOut() override {
    const auto timeOut = fake.ScreenSaveTimeOut();
    Mirror();
    return timeOut;
  }
  void SetScreenSaverRunning(bool running) override {
    fake.SetScreenSaverRunning(running);
    Mirror();
  }
  bool ScreenSaverRunning() const override { return fake.ScreenSaverRunning(); }
  bool FindTopLevelWindow(std::string_view title) override {
    const bool found = fake.FindTopLevelWindow(title);
    Mirror();
    return found;
  }
  bool AnotherInstanceRuns() override {
    const bool another = fake.AnotherInstanceRuns();
    Mirror();
    return another;
  }
  void ShowCursor(bool show) override {
    fake.ShowCursor(show);
    Mirror();
  }
  void Open(std::string_view target) override {
    fake.Open(target);
    Mirror();
  }
  void Run(std::string_view commandLine) override {
    fake.Run(commandLine);
    Mirror();
  }
  void ShowMessage(MessageIcon icon, std::string_view title, std::string_view text) override {
    fake.ShowMessage(icon, title, text);
    Mirror();
  }
  [[noreturn]] void EndProcess(ExitStatus status = ExitStatus::kSuccess) override {
    log_.push_back("EndProcess");
    fake.EndProcess(status);
  }

  FakeSystem fake;

 private:
  // Copies the fake's newest record into the common log.
  void Mirror() { log_.push_back(fake.calls.back()); }

  CallLog& log_;
};

// The saver window: logs the hand-over steps and keeps what runs when the
// warning is closed without ending the program.
class LoggingHost final : public SaverWindowHost {
 public:
  explicit LoggingHost(CallLog& log) : log_(log) {}
  void HideSaverWindow() override { log_.push_back("HideSaverWindow"); }
  void DropTopMost() override { log_.push_back("DropTopMost"); }
  void ShowPowerWarning(std::function<void()> whenClosed) override {
    log_.push_back("ShowPowerWarning");
    ++warningsShown;
    this->whenClosed = std::move(whenClosed);
  }
  int warningsShown = 0;
  std::function<void()> whenClosed;

 private:
  CallLog& log_;
};

// A saver window in the running state: settings as a first run leaves them,
// the fire sound loaded as id 7 and playing, a carol playing.
struct SaverRig {
  CallLog log;
  LoggingDDrw ddrw{log};
  LoggingDS ds{log};
  LoggingSnd snd{log};
  MemoryStore store;
  LoggingSystem system{log};
  FakeClock clock;
  SaverControls controls{ddrw, ds, snd, store, system, clock};
  LoggingHost host{log};
  SaverState state;

  SaverRig() {
    SetRegistry(store);
    store.writes.clear();
    state.installFolder = "/data/";
    state.fireSoundId = 7;
    state.soundOn = 1;
    state.soundVolume = -1667;
    state.mouseMoveLimit = 4;
    state.startMonotonicMs = clock.MonotonicMs();
    ds.playing.insert(7);
    snd.midiPlaying = true;
    system.fake.SetScreenSaverRunning(true);
    system.fake.calls.clear();
  }

  bool AnyClosingFlag() const {
    return state.closingByKey || state.closingByMouseClick || state.closingByMouseMove ||
           state.keyCloseStarted || state.clickCloseStarted;
  }
};

}  // namespace emberlrn::testing
