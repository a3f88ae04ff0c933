#pragma once
// Sorting the saver window's input, and the one road by which the saver ends.
//
// S and Q switch the fire sound; every other key and every click ends the
// saver at once; mouse movement ends it only after mouseMoveLimit moves close
// together in time. Every close stops the sounds, gives the display back and
// shows the cursor, then either hands over to the power-management warning
// (when the countdown has expired) or unloads the saver and ends the process.
// Once a close has started it is never cancelled: its flags are only set.
//
// The handlers are free functions on the saver window's state and controls;
// the saver window (Form1) routes each of its events here in one line.

#include <cstdint>

#include "interfaces/saver_window.h"
#include "start/saver_state.h"

namespace emberlrn {

// Virtual-key codes the handlers tell apart.
inline constexpr int16_t kKeySpace = 32;
inline constexpr int16_t kKeyQ = 81;
inline constexpr int16_t kKeyS = 83;

// A movement window older than this clears the move count.
inline constexpr int64_t kMoveWindowMs = 10000;

// --- events of the drawing control ---

// A key went down; keyCode is a virtual-key code (S 83, Q 81, space 32,
// letters and digits by their capital ASCII codes).
void KeyDown(SaverState& state, SaverControls& controls, SaverWindowHost& host, int16_t keyCode);
void MouseDown(SaverState& state, SaverControls& controls, SaverWindowHost& host);
// A pointer movement that is the user's (the window system's own motion
// events are filtered out before they come here).
void MouseMove(SaverState& state, SaverControls& controls, SaverWindowHost& host);
// The drawing control lost the screen: ends the saver unless a close is
// already under way.
void Deactivated(SaverState& state, SaverControls& controls);

// --- events of the saver window ---

// A key came up; space, S and Q are ignored here.
void Form_KeyUp(SaverState& state, SaverControls& controls, SaverWindowHost& host, int16_t keyCode);
void Form_LostFocus(SaverState& state, SaverControls& controls);
// A repaint during a key or click close finishes it.
void Form_Paint(SaverState& state, SaverControls& controls);
void Form_Unload(SaverState& state, SaverControls& controls);

// --- the close routines ---

void KeyPressed(SaverState& state, SaverControls& controls, SaverWindowHost& host);
void MousePressed(SaverState& state, SaverControls& controls, SaverWindowHost& host);
void MouseMoveFunc(SaverState& state, SaverControls& controls, SaverWindowHost& host);
// Chooses between the power-management hand-over and the ordinary close.
void PrepareToClose(SaverState& state, SaverControls& controls, SaverWindowHost& host);
// Tells the system the saver stopped, unloads the saver window and ends the
// process. Never returns.
void CloseDown(SaverState& state, SaverControls& controls);

}  // namespace emberlrn
