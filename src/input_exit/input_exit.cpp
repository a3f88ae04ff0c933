#include "input_exit/input_exit.h"

#include <limits>

#include "input_exit/power_management.h"
#include "interfaces/clock.h"
#include "interfaces/system.h"
#include "interfaces/tego_ddrw.h"
#include "settings/setting_reader.h"
#include "sound/carol_playlist.h"
#include "sound/fire_sound.h"

namespace emberlrn {

void CloseRoad::StopSounds() {
  parts_.fire.Silence();
  parts_.carols.Stop();
}

void CloseRoad::KeyDown(int16_t keyCode) {
  if (keyCode == kKeyS) {
    // keys::kSound is written only by the first run, so S always brings the
    // fire sound back, from the beginning of the file.
    parts_.fire.soundOn = GetIntSetting(parts_.store, keys::kSound) == 1;
    parts_.fire.OpenDirectSoundSession();
    return;
  }
  if (keyCode == kKeyQ) {
    // Only the fire sound stops; a carol plays on.
    parts_.fire.StopFire();
    return;
  }
  closingByKey = true;
  StopSounds();
  KeyPressed();
}

void CloseRoad::MouseDown() {
  closingByMouseClick = true;
  StopSounds();
  MousePressed();
}

void CloseRoad::MouseMove(bool mouseArmed) {
  // For the first seconds of the run the pointer may still be settling.
  if (!mouseArmed) return;

  if (moveCount < std::numeric_limits<int16_t>::max()) ++moveCount;
  if (moveCount == mouseMoveLimit) {
    closingByMouseMove = true;
    StopSounds();
    MouseMoveFunc();
  }

  // The window is tested after the count, so the move that finds it older
  // than ten seconds still counts before the count is cleared. Measured on
  // the monotonic clock, a window open across midnight closes as any other.
  const int64_t now = parts_.clock.MonotonicMs();
  if (!moveWindowOpen) {
    moveWindowOpen = true;
    moveWindowStartMs = now;
  } else if (now - moveWindowStartMs > kMoveWindowMs) {
    moveWindowOpen = false;
    moveWindowStartMs = 0;
    moveCount = 0;
  }
}

void CloseRoad::Deactivated() {
  // A close already under way finishes on its own. The hand-over is one as
  // well: the warning window taking the focus must not end the program.
  if (closingByMouseClick || closingByKey || closingByMouseMove) return;
  if (parts_.power.pmHandover) return;
  CloseDown();
}

void CloseRoad::Form_KeyUp(int16_t keyCode) {
  if (keyCode == kKeySpace || keyCode == kKeyS || keyCode == kKeyQ) return;
  closingByKey = true;
  KeyPressed();
}

void CloseRoad::Form_LostFocus() { parts_.system.ShowCursor(true); }

void CloseRoad::Form_Paint() {
  if (clickCloseStarted || keyCloseStarted) parts_.system.EndProcess();
}

void CloseRoad::Form_Unload() {
  parts_.fire.StopAllWaves();
  parts_.system.ShowCursor(true);
}

void CloseRoad::KeyPressed() {
  keyCloseStarted = true;
  parts_.system.ShowCursor(true);
  parts_.ddrw.CloseDisplay();
  PrepareToClose();
}

void CloseRoad::MousePressed() {
  clickCloseStarted = true;
  parts_.system.ShowCursor(true);
  parts_.ddrw.CloseDisplay();
  PrepareToClose();
}

void CloseRoad::MouseMoveFunc() {
  parts_.fire.StopAllWaves();
  parts_.system.ShowCursor(true);
  parts_.ddrw.CloseDisplay();
  PrepareToClose();
}

void CloseRoad::PrepareToClose() {
  parts_.system.ShowCursor(true);
  // The warning is shown once; a close that still reaches the saver window
  // after that is the user returning, and ends the program.
  if (parts_.power.pmHandover && !parts_.power.pmWarningShown) {
    parts_.host.HideSaverWindow();
    SetUpPowerM();
  } else {
    CloseDown();
  }
}

void CloseRoad::CloseDown() {
  parts_.system.SetScreenSaverRunning(false);
  // The preview and the settings dialog never load in a full-screen run, so
  // the saver window is the only one to unload.
  Form_Unload();
  parts_.system.EndProcess();
}

void CloseRoad::PowerTick() {
  if (!parts_.power.HandOverDue(parts_.clock)) return;
  parts_.fire.StopFire();
  parts_.ddrw.CloseDisplay();
  PrepareToClose();
}

void CloseRoad::SetUpPowerM() {
  parts_.fire.StopAllWaves();
  parts_.system.ShowCursor(true);
  parts_.host.HideSaverWindow();
  parts_.host.DropTopMost();
  parts_.power.pmWarningShown = true;
  // The saver window's clocks keep running while the warning shows; should
  // the warning be closed without ending the program, the ordinary close
  // follows.
  parts_.host.ShowPowerWarning([this] { CloseDown(); });
}

}  // namespace emberlrn
