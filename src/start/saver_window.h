#pragma once
// Form1, the saver window of the full-screen run. It owns the saver's state
// for the life of the process, hosts the drawing, wave-sound and MIDI
// controls and six one-second timers, and routes every event to the routine
// of the subsystem that answers it. Reading this class shows every event of
// the saver and where it goes.

#include <string>

#include "input_exit/input_exit.h"
#include "platform/event_loop.h"
#include "interfaces/tego_ddrw.h"
#include "start/saver_state.h"

namespace emberlrn {

class DisplayModes;

// The interval of every timer of the saver window.
inline constexpr int64_t kTimerIntervalMs = 1000;

class Form1 final : public TegoDDrwEvents, public SaverWindowEvents {
 public:
  // The timers are made here, in the order Timer1, Timer2, Timer3, Timer4,
  // Timer5, TimerTotal, and tick from one interval after the window loads.
  Form1(SaverControls controls, DisplayModes& modes, SaverWindowHost& host, EventLoop& loop,
        std::string installFolder);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // The start-up: reads every setting into the state, hides the cursor and
  // opens the display with the scene, the fire sound and the carols. When
  // the display is refused the user is told, the window unloads and the
  // process ends.
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

  const SaverState& State() const { return state_; }
  SaverState& State() { return state_; }

 private:
  void ReadSettings();

  SaverState state_;
  SaverControls controls_;
  DisplayModes& modes_;
  SaverWindowHost& host_;
  EventLoop& loop_;
  EventLoop::TimerId timer3_ = -1;
  EventLoop::TimerId timer4_ = -1;
};

// What start-up does with style switches the dialog never writes: one other
// than 1 counts as off. (The numbers within limits were read through the
// rules that the dialog shares, so both mean the same by any stored text.)
void KeepStoredValuesSane(SaverState& state);

}  // namespace emberlrn
