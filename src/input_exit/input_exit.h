#pragma once
// Sorting the saver window's input, and the one road by which the saver ends.
//
// S and Q switch the fire sound; every other key and every click ends the
// saver at once; mouse movement ends it only after mouseMoveLimit moves close
// together in time. Every close stops the sounds, gives the display back and
// shows the cursor, then either hands over to the power-management warning
// (when the countdown has expired) or unloads the saver and ends the process.
// Once a close has started it is never cancelled: its flags are only set.

#include <cstdint>

#include "interfaces/saver_window.h"

namespace emberlrn {

class CarolPlaylist;
class Clock;
class FireSound;
class SettingsStore;
class System;
class TegoDDrw;
struct PowerManagement;

// Virtual-key codes the handlers tell apart.
inline constexpr int16_t kKeySpace = 32;
inline constexpr int16_t kKeyQ = 81;
inline constexpr int16_t kKeyS = 83;

// A movement window older than this clears the move count.
inline constexpr int64_t kMoveWindowMs = 10000;

// What the close road works on: the display, the system, the store (for
// the S key's sound switch), the clock, the window's host, both sounds and
// the power management.
struct CloseRoadParts {
  TegoDDrw& ddrw;
  System& system;
  const SettingsStore& store;
  const Clock& clock;
  SaverWindowHost& host;
  FireSound& fire;
  CarolPlaylist& carols;
  PowerManagement& power;
};

class CloseRoad {
 public:
  explicit CloseRoad(const CloseRoadParts& parts) : parts_(parts) {}

  int16_t mouseMoveLimit = 0;
  bool closingByKey = false;
  bool closingByMouseClick = false;
  bool closingByMouseMove = false;
  bool keyCloseStarted = false;
  bool clickCloseStarted = false;
  int16_t moveCount = 0;
  int64_t moveWindowStartMs = 0;  // monotonic ms of the window's first move
  bool moveWindowOpen = false;

  // --- events of the drawing control ---

  // A key went down; keyCode is a virtual-key code (S 83, Q 81, space 32,
  // letters and digits by their capital ASCII codes).
  void KeyDown(int16_t keyCode);
  void MouseDown();
  // A pointer movement that is the user's (the window system's own motion
  // events are filtered out before they come here); it counts only once
  // the run clock has armed the mouse.
  void MouseMove(bool mouseArmed);
  // The drawing control lost the screen: ends the saver unless a close is
  // already under way.
  void Deactivated();

  // --- events of the saver window ---

  // A key came up; space, S and Q are ignored here.
  void Form_KeyUp(int16_t keyCode);
  void Form_LostFocus();
  // A repaint during a key or click close finishes it.
  void Form_Paint();
  void Form_Unload();

  // --- the close routines ---

  void KeyPressed();
  void MousePressed();
  void MouseMoveFunc();
  // Chooses between the power-management hand-over and the ordinary close.
  void PrepareToClose();
  // Tells the system the saver stopped, unloads the saver window and ends
  // the process. Never returns.
  void CloseDown();

  // The power-management part of the one-second clock: once the hand-over
  // is due, the fire stops, the display is given back and the close begins.
  void PowerTick();
  // Steps the saver window aside and shows the warning window; if the
  // warning is closed without ending the program, the ordinary close follows.
  void SetUpPowerM();

 private:
  // Every close started by the drawing control silences the waves and the
  // carol before the close routine runs.
  void StopSounds();

  CloseRoadParts parts_;
};

}  // namespace emberlrn
