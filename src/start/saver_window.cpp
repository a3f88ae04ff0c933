#include "start/saver_window.h"

#include <random>
#include <utility>

#include "frame/compose_frame.h"
#include "interfaces/clock.h"
#include "interfaces/system.h"
#include "settings/first_run.h"
#include "settings/schema.h"
#include "settings/setting_reader.h"
#include "settings/setting_rules.h"

namespace emberlrn {
namespace {

constexpr int16_t kSetRegWritten = 2;

}  // namespace

Form1::Form1(SaverControls controls, DisplayModes& modes, SaverWindowHost& host, EventLoop& loop,
             std::string installFolder)
    : controls_(controls),
      modes_(modes),
      loop_(loop),
      installFolder_(std::move(installFolder)),
      // Every run seeds its crackles afresh, so no two runs sound alike.
      crackles_(controls.crackles, controls.clock, std::random_device{}()),
      // And its fire: no two runs show the same sparks or the same flame.
      living_(uint64_t{std::random_device{}()} << 32 | std::random_device{}()),
      fire_(controls.ds, &crackles_),
      carols_(controls.snd),
      close_(CloseRoadParts{controls.ddrw, controls.system, controls.store, controls.clock, host,
                            fire_, carols_, power_}) {
  fire_.installFolder = installFolder_;
  carols_.installFolder = installFolder_;
  loop_.AddTimer(kTimerIntervalMs, [this] { Timer1_Timer(); });
  loop_.AddTimer(kTimerIntervalMs, [this] { Timer2_Timer(); });
  timer3_ = loop_.AddTimer(kTimerIntervalMs, [this] {
    Timer3_Timer();
    loop_.SetTimerEnabled(timer3_, clocks_.timer3Enabled);
  });
  timer4_ = loop_.AddTimer(kTimerIntervalMs, [this] {
    Timer4_Timer();
    loop_.SetTimerEnabled(timer4_, clocks_.timer4Enabled);
  });
  loop_.AddTimer(kTimerIntervalMs, [this] { Timer5_Timer(); });
  loop_.AddTimer(kTimerIntervalMs, [this] { TimerTotal_Timer(); });
  const EventLoop::TimerId crackle = loop_.AddTimer(
      kCrackleTickMs, [this] { TimerCrackle_Timer(); }, EventLoop::Touches::kSoundOnly);
  // Between crackles the loop sleeps instead of looking every tick.
  loop_.SetTimerWorkDue(crackle, [this] { return crackles_.NextDueMs(); });
}

void Form1::Form_Load() {
  // The first run, or a store that has lost its kSetReg: every first-run
  // value is written, and the reads below see them.
  if (GetIntSetting(controls_.store, keys::kSetReg) != kSetRegWritten) {
    SetRegistry(controls_.store);
  }
  power_.startMonotonicMs = controls_.clock.MonotonicMs();

  ReadSettings();
  rotation_.Start();

  controls_.ddrw.SetVisible(false);
  if (fire_.soundOffSetting != kSoundOffNever) fire_.SoundOff();
  power_.StartPowerManagement(controls_.system);
  controls_.system.ShowCursor(false);

  const SceneChoices choices{installFolder_, decorations_, overlays_.calendarCorner, flameSpeed_,
                             rotation_.anyStyleShown};
  if (!OpenDirectDrawSession(choices, sprites_, controls_.ddrw, modes_, controls_.store,
                             controls_.system)) {
    Form_Unload();
    controls_.system.EndProcess(ExitStatus::kFailure);
  }
  clocks_.NoticesSeen(sprites_.runMonShown, sprites_.pwrMsgShown);
  if (crackles_.crackleOn) crackles_.Load(installFolder_);
  fire_.OpenDirectSoundSession();
  carols_.MidiSounds();
}

// Every stored value becomes the type its subsystem counts in: a switch is
// on only when it holds 1, numbers within limits come through the rules the
// dialog shows them by, and the bells and poinsettias by their own rule.
void Form1::ReadSettings() {
  const SettingsStore& store = controls_.store;
  const auto Int = [&store](const SettingKey& key) { return GetIntSetting(store, key); };
  const auto Flag = [&store](const SettingKey& key) { return GetIntSetting(store, key) == 1; };
  const auto Text = [&store](const SettingKey& key) { return GetTextSetting(store, key); };
  using namespace keys;

  overlays_.showMessage = Flag(kShowMsg);
  overlays_.messageText = Text(kMessage);
  overlays_.messageFontSize = MessageFontSize(Text(kFontSize));
  overlays_.calendarCorner = CalendarCorner(Text(kCalPos));
  overlays_.showCalendar = Flag(kCalendar);
  power_.monitorSetting = Text(kMonitor);
  power_.powerManageOn = Flag(kPower);
  close_.mouseMoveLimit = MouseSensitivity(Text(kMouseSen));

  for (int i = 1; i <= kStyleCount; ++i) rotation_.showStyle[i] = Flag(kShowFP[i - 1]);
  for (int k = 1; k <= 4; ++k) rotation_.showMantle[k] = Flag(kShowM[k - 1]);
  rotation_.rotateOn = Int(kRotateCk);
  rotation_.rotateTicks = RotationMinutes(Text(kRotateT));
  decorations_.showAndirons = Flag(kAndIron);
  decorations_.fillWide = Flag(kFillWide);
  decorations_.firelight = Flag(kFirelight);
  decorations_.embers = Flag(kEmbers);
  decorations_.livingFlame = Flag(kLivingFlame);
  flameSpeed_ = FlameSpeed(Text(kSpeed));
  fire_.soundVolume = SoundVolume(Text(kVol));
  fire_.soundOn = Flag(kSoundOn);
  crackles_.crackleOn = Flag(kCrackle);
  // SoundOff turns a time that means never into "Never" when it is called.
  fire_.soundOffSetting = Text(kSoundOff);

  for (int i = 0; i < 4; ++i) decorations_.showStocking[i] = Flag(kShowS[i]);
  decorations_.stockingTop = StockingTop(Text(kStockLoc));
  for (int i = 1; i <= 2; ++i) {
    decorations_.showBell[i] = DecorationShown(Text(kBell[i - 1]));
    decorations_.showPoinsettia[i] = DecorationShown(Text(kPoin[i - 1]));
  }
  for (int n = 1; n <= kCarolCount; ++n) carols_.carolChecked[n] = Int(kMidi[n - 1]);
  carols_.musicOn = GetBoolSetting(store, kMusicOn);
}

void Form1::Show() {
  controls_.ddrw.SetVisible(true);
  controls_.system.SetScreenSaverRunning(true);
}

// --- events: one line each, into the subsystem that answers them ---

void Form1::FrameReady() {
  ComposeFrame({sprites_, decorations_, rotation_, overlays_, clocks_, &living_}, controls_.ddrw,
               controls_.clock);
}
void Form1::KeyDown(int16_t keyCode) { close_.KeyDown(keyCode); }
void Form1::MouseDown() { close_.MouseDown(); }
void Form1::MouseMove() { close_.MouseMove(clocks_.mouseArmed); }
void Form1::Deactivated() { close_.Deactivated(); }

void Form1::Form_KeyUp(int16_t keyCode) { close_.Form_KeyUp(keyCode); }
void Form1::Form_LostFocus() { close_.Form_LostFocus(); }
void Form1::Form_Paint() { close_.Form_Paint(); }
void Form1::Form_QueryUnload() { close_.CloseDown(); }
void Form1::Form_Unload() { close_.Form_Unload(); }

void Form1::Timer1_Timer() { rotation_.Tick(); }
void Form1::Timer2_Timer() {
  fire_.SoundOffTick();
  close_.PowerTick();
}
void Form1::Timer3_Timer() { clocks_.NoticeClockTick(controls_.store); }
void Form1::Timer4_Timer() { clocks_.FeatureClockTick(); }
void Form1::Timer5_Timer() { carols_.CarolTick(); }
void Form1::TimerTotal_Timer() { clocks_.RunClockTick(); }
void Form1::TimerCrackle_Timer() { crackles_.Tick(); }

}  // namespace emberlrn
