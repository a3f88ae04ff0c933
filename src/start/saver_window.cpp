#include "start/saver_window.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "frame/clocks.h"
#include "frame/compose_frame.h"
#include "frame/rotation.h"
#include "input_exit/power_management.h"
#include "interfaces/clock.h"
#include "interfaces/system.h"
#include "scene/scene_catalogue.h"
#include "settings/first_run.h"
#include "settings/setting_reader.h"
#include "settings/setting_rules.h"
#include "sound/carol_playlist.h"
#include "sound/fire_sound.h"

namespace emberlrn {
namespace {

constexpr int16_t kSetRegWritten = 2;

int32_t SecondsSinceMidnight(const Clock& clock) {
  const std::tm& tm = clock.Now().tm;
  return tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
}

}  // namespace

void KeepStoredValuesSane(SaverState& state) {
  for (int16_t& style : state.showStyle) style = style == 1 ? 1 : 0;
}

Form1::Form1(SaverControls controls, DisplayModes& modes, SaverWindowHost& host, EventLoop& loop,
             std::string installFolder)
    : controls_(controls), modes_(modes), host_(host), loop_(loop) {
  state_.installFolder = std::move(installFolder);
  loop_.AddTimer(kTimerIntervalMs, [this] { Timer1_Timer(); });
  loop_.AddTimer(kTimerIntervalMs, [this] { Timer2_Timer(); });
  timer3_ = loop_.AddTimer(kTimerIntervalMs, [this] {
    Timer3_Timer();
    loop_.SetTimerEnabled(timer3_, state_.timer3Enabled);
  });
  timer4_ = loop_.AddTimer(kTimerIntervalMs, [this] {
    Timer4_Timer();
    loop_.SetTimerEnabled(timer4_, state_.timer4Enabled);
  });
  loop_.AddTimer(kTimerIntervalMs, [this] { Timer5_Timer(); });
  loop_.AddTimer(kTimerIntervalMs, [this] { TimerTotal_Timer(); });
}

void Form1::Form_Load() {
  // The first run, or a store that has lost its kSetReg: every first-run
  // value is written, and the reads below see them.
  if (GetIntSetting(controls_.store, keys::kSetReg) != kSetRegWritten) {
    SetRegistry(controls_.store);
  }

  state_.mouseArmed = false;
  state_.firstFrame = true;
  state_.dayOffset = 86400;
  state_.clockHalf = 1;
  state_.startTime = SecondsSinceMidnight(controls_.clock);
  state_.startMonotonicMs = controls_.clock.MonotonicMs();
  state_.pmHandover = false;
  state_.anyStyleShown = false;
  state_.featureTip = 1;
  state_.currentCarol = 1;

  ReadSettings();
  KeepStoredValuesSane(state_);
  for (int style = 1; style <= kStyleCount; ++style) {
    if (state_.showStyle[style] == 1) {
      if (state_.fireplaceIndex == 0) state_.fireplaceIndex = static_cast<int16_t>(style);
      state_.anyStyleShown = true;
    }
  }
  // With no style enabled the rotation search is never started.
  if (!state_.anyStyleShown) state_.rotateOn = 0;
  RotateFP(state_);

  controls_.ddrw.SetVisible(false);
  if (state_.soundOffSetting != kSoundOffNever) SoundOff(state_);
  StartPowerManagement(state_, controls_.system);
  controls_.system.ShowCursor(false);

  if (!OpenDirectDrawSession(state_, controls_.ddrw, modes_, controls_.store, controls_.system)) {
    Form_Unload();
    controls_.system.EndProcess(ExitStatus::kFailure);
  }
  OpenDirectSoundSession(state_, controls_.ds);
  MidiSounds(state_, controls_.snd);
}

void Form1::ReadSettings() {
  const SettingsStore& store = controls_.store;
  const auto Int = [&store](const SettingKey& key) { return GetIntSetting(store, key); };
  const auto Text = [&store](const SettingKey& key) { return GetTextSetting(store, key); };
  using namespace keys;

  state_.showMessage = Int(kShowMsg);
  state_.messageText = Text(kMessage);
  state_.messageFontSize = MessageFontSize(Text(kFontSize));
  state_.calendarCorner = CalendarCorner(Text(kCalPos));
  state_.showCalendar = Int(kCalendar);
  state_.monitorSetting = Text(kMonitor);
  state_.powerManageOn = Int(kPower);
  state_.mouseMoveLimit = MouseSensitivity(Text(kMouseSen));
  state_.soundOffSetting = Text(kSoundOff);

  for (int i = 1; i <= kStyleCount; ++i) state_.showStyle[i] = Int(kShowFP[i - 1]);
  for (int k = 1; k <= 4; ++k) state_.showMantle[k] = Int(kShowM[k - 1]);
  state_.rotateOn = Int(kRotateCk);
  state_.rotateTicks = RotationMinutes(Text(kRotateT));
  state_.showAndirons = Int(kAndIron);
  state_.flameSpeed = FlameSpeed(Text(kSpeed));
  state_.soundVolume = SoundVolume(Text(kVol));
  state_.soundOn = Int(kSoundOn);
  // SoundOff turns a time that means never into "Never" when it is called.
  state_.soundOffSetting = Text(kSoundOff);

  for (int i = 0; i < 4; ++i) state_.showStocking[i] = Int(kShowS[i]);
  state_.stockingTop = StockingTop(Text(kStockLoc));
  state_.showBell[1] = Text(kBell[0]);
  state_.showBell[2] = Text(kBell[1]);
  state_.showPoinsettia[1] = Text(kPoin[0]);
  state_.showPoinsettia[2] = Text(kPoin[1]);
  for (int n = 1; n <= kCarolCount; ++n) state_.carolChecked[n] = Int(kMidi[n - 1]);
  state_.musicOn = GetBoolSetting(store, kMusicOn);
}

void Form1::Show() {
  controls_.ddrw.SetVisible(true);
  controls_.system.SetScreenSaverRunning(true);
}

// --- events: one line each, into the subsystem that answers them ---

void Form1::FrameReady() { ComposeFrame(state_, controls_.ddrw, controls_.clock); }
void Form1::KeyDown(int16_t keyCode) { emberlrn::KeyDown(state_, controls_, host_, keyCode); }
void Form1::MouseDown() { emberlrn::MouseDown(state_, controls_, host_); }
void Form1::MouseMove() { emberlrn::MouseMove(state_, controls_, host_); }
void Form1::Deactivated() { emberlrn::Deactivated(state_, controls_); }

void Form1::Form_KeyUp(int16_t keyCode) { emberlrn::Form_KeyUp(state_, controls_, host_, keyCode); }
void Form1::Form_LostFocus() { emberlrn::Form_LostFocus(state_, controls_); }
void Form1::Form_Paint() { emberlrn::Form_Paint(state_, controls_); }
void Form1::Form_QueryUnload() { CloseDown(state_, controls_); }
void Form1::Form_Unload() { emberlrn::Form_Unload(state_, controls_); }

void Form1::Timer1_Timer() { RotationClockTick(state_); }
void Form1::Timer2_Timer() {
  SoundOffTick(state_, controls_.ds);
  PowerTick(state_, controls_, host_);
}
void Form1::Timer3_Timer() { NoticeClockTick(state_, controls_.store); }
void Form1::Timer4_Timer() { FeatureClockTick(state_); }
void Form1::Timer5_Timer() { CarolTick(state_, controls_.snd); }
void Form1::TimerTotal_Timer() { RunClockTick(state_); }

}  // namespace emberlrn
