#pragma once
// Form1, the saver window of the full-screen run. It holds the saver's
// subsystems for the life of the process (the style rotation, the animation
// clocks, the scene and its overlays, the fire sound, the carol playlist,
// the power management and the close road), hosts the drawing, wave-sound
// and MIDI controls and six one-second timers, and routes every event to
// the subsystem that answers it. Reading this class shows every event of
// the saver and where it goes.

#include <string>

#include "frame/clocks.h"
#include "frame/living_fire.h"
#include "frame/overlays.h"
#include "frame/rotation.h"
#include "input_exit/input_exit.h"
#include "input_exit/power_management.h"
#include "interfaces/saver_window.h"
#include "interfaces/tego_ddrw.h"
#include "platform/event_loop.h"
#include "scene/scene_catalogue.h"
#include "sound/carol_playlist.h"
#include "sound/crackle_layer.h"
#include "sound/fire_sound.h"

namespace emberlrn {

class Clock;
class CrackleVoices;
class DisplayModes;
class SettingsStore;
class System;
class TegoDS;
class TegoSnd;

// The controls and services the saver window hosts.
struct SaverControls {
  TegoDDrw& ddrw;
  TegoDS& ds;
  TegoSnd& snd;
  SettingsStore& store;
  System& system;
  const Clock& clock;
  CrackleVoices& crackles;
};

// The interval of the six timers of the saver window.
inline constexpr int64_t kTimerIntervalMs = 1000;

class Form1 final : public TegoDDrwEvents, public SaverWindowEvents {
 public:
  // The timers are made here, in the order Timer1, Timer2, Timer3, Timer4,
  // Timer5, TimerTotal, then the crackle layer's short timer, and tick from
  // one interval after the window loads.
  Form1(SaverControls controls, DisplayModes& modes, SaverWindowHost& host, EventLoop& loop,
        std::string installFolder);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // The start-up: reads every setting into the subsystems, hides the cursor
  // and opens the display with the scene, the fire sound and the carols.
  // When the display is refused the user is told, the window unloads and
  // the process ends.
  void Form_Load();
  // After the load: the window goes on top of every other, covering the
  // desktop, and the system is told that a screen saver runs.
  void Show();

  // --- events of the drawing control ---
  void FrameReady() override;
  void KeyDown(int16_t keyCode) override;
  void MouseDown() override;
  void MouseMove() override;
  void Deactivated() override;

  // --- events of the window ---
  void Form_KeyUp(int16_t keyCode) override;
  void Form_LostFocus() override;
  void Form_Paint() override;
  void Form_QueryUnload() override;
  void Form_Unload();

  // --- the timers ---
  void Timer1_Timer();      // rotation clock
  void Timer2_Timer();      // sound-off and power-management clock
  void Timer3_Timer();      // first-run notice clock
  void Timer4_Timer();      // feature-tip clock
  void Timer5_Timer();      // carol clock
  void TimerTotal_Timer();  // run clock
  void TimerCrackle_Timer();  // the crackles that have come due

  // --- the subsystems, for a look from outside ---
  const StyleRotation& Rotation() const { return rotation_; }
  const AnimationClocks& Clocks() const { return clocks_; }
  const Overlays& TextOverlays() const { return overlays_; }
  const Decorations& SceneDecorations() const { return decorations_; }
  const SceneSprites& Sprites() const { return sprites_; }
  const FireSound& Fire() const { return fire_; }
  const CrackleLayer& Crackles() const { return crackles_; }
  const CarolPlaylist& Carols() const { return carols_; }
  const PowerManagement& Power() const { return power_; }
  const CloseRoad& Close() const { return close_; }
  int16_t Speed() const { return flameSpeed_; }

 private:
  void ReadSettings();

  SaverControls controls_;
  DisplayModes& modes_;
  EventLoop& loop_;
  std::string installFolder_;
  int16_t flameSpeed_ = 0;

  StyleRotation rotation_;
  AnimationClocks clocks_;
  Overlays overlays_;
  Decorations decorations_;
  SceneSprites sprites_;
  CrackleLayer crackles_;
  LivingFire living_;
  FireSound fire_;
  CarolPlaylist carols_;
  PowerManagement power_;
  CloseRoad close_;

  EventLoop::TimerId timer3_ = -1;
  EventLoop::TimerId timer4_ = -1;
};

}  // namespace emberlrn
