#include "input_exit/input_exit.h"

#include <limits>

#include "input_exit/power_management.h"
#include "interfaces/clock.h"
#include "interfaces/system.h"
#include "interfaces/tego_ddrw.h"
#include "settings/setting_reader.h"
#include "sound/fire_sound.h"
#include "interfaces/tego_ds.h"
#include "interfaces/tego_snd.h"

namespace emberlrn {

namespace {

// Every close started by the drawing control silences the waves and the
// carol before the close routine runs.
void StopSounds(SaverState& state, SaverControls& controls) {
  controls.ds.stopAllWaves();
  controls.ds.stopWave(state.fireSoundId);
  controls.snd.stopMidi();
}

}  // namespace

void KeyDown(SaverState& state, SaverControls& controls, SaverWindowHost& host, int16_t keyCode) {
  if (keyCode == kKeyS) {
    // keys::kSound is written only by the first run, so S always brings the
    // fire sound back, from the beginning of the file.
    state.soundOn = GetIntSetting(controls.store, keys::kSound);
    OpenDirectSoundSession(state, controls.ds);
    return;
  }
  if (keyCode == kKeyQ) {
    // Only the fire sound stops; a carol plays on.
    controls.ds.stopAllWaves();
    controls.ds.stopWave(state.fireSoundId);
    state.soundOn = 0;
    return;
  }
  state.closingByKey = true;
  StopSounds(state, controls);
  KeyPressed(state, controls, host);
}

void MouseDown(SaverState& state, SaverControls& controls, SaverWindowHost& host) {
  state.closingByMouseClick = true;
  StopSounds(state, controls);
  MousePressed(state, controls, host);
}

void MouseMove(SaverState& state, SaverControls& controls, SaverWindowHost& host) {
  // For the first seconds of the run the pointer may still be settling.
  if (!state.mouseArmed) return;

  if (state.moveCount < std::numeric_limits<int16_t>::max()) ++state.moveCount;
  if (state.moveCount == state.mouseMoveLimit) {
    state.closingByMouseMove = true;
    StopSounds(state, controls);
    MouseMoveFunc(state, controls, host);
  }

  // The window is tested after the count, so the move that finds it older
  // than ten seconds still counts before the count is cleared. Measured on
  // the monotonic clock, a window open across midnight closes as any other.
  const int64_t now = controls.clock.MonotonicMs();
  if (!state.moveWindowOpen) {
    state.moveWindowOpen = true;
    state.moveWindowStartMs = now;
  } else if (now - state.moveWindowStartMs > kMoveWindowMs) {
    state.moveWindowOpen = false;
    state.moveWindowStartMs = 0;
    state.moveCount = 0;
  }
}

void Deactivated(SaverState& state, SaverControls& controls) {
  // A close already under way finishes on its own. The hand-over is one as
  // well: the warning window taking the focus must not end the program.
  if (state.closingByMouseClick || state.closingByKey || state.closingByMouseMove) return;
  if (state.pmHandover) return;
  CloseDown(state, controls);
}

void Form_KeyUp(SaverState& state, SaverControls& controls, SaverWindowHost& host, int16_t keyCode) {
  if (keyCode == kKeySpace || keyCode == kKeyS || keyCode == kKeyQ) return;
  state.closingByKey = true;
  KeyPressed(state, controls, host);
}

void Form_LostFocus(SaverState&, SaverControls& controls) { controls.system.ShowCursor(true); }

void Form_Paint(SaverState& state, SaverControls& controls) {
  if (state.clickCloseStarted || state.keyCloseStarted) controls.system.EndProcess();
}

void Form_Unload(SaverState&, SaverControls& controls) {
  controls.ds.stopAllWaves();
  controls.system.ShowCursor(true);
}

void KeyPressed(SaverState& state, SaverControls& controls, SaverWindowHost& host) {
  state.keyCloseStarted = true;
  controls.system.ShowCursor(true);
  controls.ddrw.CloseDisplay();
  PrepareToClose(state, controls, host);
}

void MousePressed(SaverState& state, SaverControls& controls, SaverWindowHost& host) {
  state.clickCloseStarted = true;
  controls.system.ShowCursor(true);
  controls.ddrw.CloseDisplay();
  PrepareToClose(state, controls, host);
}

void MouseMoveFunc(SaverState& state, SaverControls& controls, SaverWindowHost& host) {
  controls.ds.stopAllWaves();
  controls.system.ShowCursor(true);
  controls.ddrw.CloseDisplay();
  PrepareToClose(state, controls, host);
}

void PrepareToClose(SaverState& state, SaverControls& controls, SaverWindowHost& host) {
  controls.system.ShowCursor(true);
  // The warning is shown once; a close that still reaches the saver window
  // after that is the user returning, and ends the program.
  if (state.pmHandover && !state.pmWarningShown) {
    host.HideSaverWindow();
    SetUpPowerM(state, controls, host);
  } else {
    CloseDown(state, controls);
  }
}

void CloseDown(SaverState& state, SaverControls& controls) {
  controls.system.SetScreenSaverRunning(false);
  // The preview and the settings dialog never load in a full-screen run, so
  // the saver window is the only one to unload.
  Form_Unload(state, controls);
  controls.system.EndProcess();
}

}  // namespace emberlrn
