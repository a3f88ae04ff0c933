#pragma once
// The state of the saver window (Form1): every value the start-up reads from
// the settings, the clocks and their counters, the sprites, the sound and the
// closing flags. Form1 owns one of these for the life of the process; each
// subsystem's routines take it together with the controls they need.
//
// 16-bit values stay int16_t and 32-bit ones int32_t, as the saver has always
// counted; tables indexed from 1 keep an unused element 0.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace emberlrn {

class TegoDDrw;
class TegoDS;
class TegoSnd;
class SettingsStore;
class System;
class Clock;

inline constexpr int kStyleCount = 6;
inline constexpr int kCarolCount = 24;

struct SaverState {
  // --- taken from the settings at start-up ---
  int16_t showMessage = 0;
  std::string messageText;
  int16_t messageFontSize = 0;
  int16_t calendarCorner = 0;
  int16_t showCalendar = 0;
  std::string monitorSetting;
  int16_t powerManageOn = 0;
  int16_t mouseMoveLimit = 0;
  std::string soundOffSetting;                 // minutes as text, or "Never"
  std::array<int16_t, kStyleCount + 1> showStyle{};   // 1..6
  std::array<int16_t, 5> showMantle{};                // 1..4: style k + 2
  int16_t rotateOn = 0;
  int16_t rotateTicks = 0;                     // minutes at load, seconds after RotateFP
  int16_t showAndirons = 0;
  int16_t flameSpeed = 0;
  int16_t soundVolume = 0;
  int16_t soundOn = 0;
  std::array<int16_t, 4> showStocking{};              // 0..3: stocking i + 1
  int16_t stockingTop = 0;
  std::array<std::string, 3> showBell;                // 1..2, text as stored
  std::array<std::string, 3> showPoinsettia;          // 1..2, text as stored
  std::array<int16_t, kCarolCount + 1> carolChecked{};  // 1..24
  bool musicOn = false;

  // --- fixed initial values ---
  std::string installFolder;                   // with its trailing '/'
  bool firstFrame = true;
  bool mouseArmed = false;
  int32_t dayOffset = 86400;
  int16_t clockHalf = 1;
  int32_t startTime = 0;                       // seconds since midnight at load
  int64_t startMonotonicMs = 0;                // the same moment on the monotonic clock
  bool pmHandover = false;
  bool anyStyleShown = false;
  int16_t fireplaceIndex = 0;
  int16_t featureTip = 1;
  int16_t currentCarol = 1;

  // --- the clocks ---
  int16_t rotateCount = 0;
  int32_t soundOffTicks = 0;
  int16_t noticeTicks = 0;
  int16_t featureTicks = 0;
  int32_t runSeconds = 0;
  int16_t noticeCountdown = 0;
  bool featuresOn = false;
  bool runMonShown = false;
  bool pwrMsgShown = false;
  bool timer3Enabled = true;                   // the notice clock stops itself
  bool timer4Enabled = true;                   // the feature-tip clock stops itself
  bool featureTipsDue = false;                 // this run shows the notices, so the tips follow

  // --- the frame's texts that change only with the clocks ---
  std::string noticeCountdownText;             // the countdown line of the notices
  std::optional<int16_t> noticeCountdownTextFor;  // the countdown that line was made for

  // --- fire sound ---
  int32_t fireSoundId = 0;
  int16_t soundOffSeconds = 0;

  // --- power management ---
  int16_t monitorOffSeconds = 0;
  int32_t screenSaveTimeOut = 0;
  int32_t pmDelaySeconds = 0;
  int32_t elapsedSeconds = 0;
  bool pmWarningShown = false;                 // the warning window has been shown

  // --- input and exit ---
  bool closingByKey = false;
  bool closingByMouseClick = false;
  bool closingByMouseMove = false;
  bool keyCloseStarted = false;
  bool clickCloseStarted = false;
  int16_t moveCount = 0;
  int64_t moveWindowStartMs = 0;               // monotonic ms of the window's first move
  bool moveWindowOpen = false;

  // --- sprites (0 = not made) ---
  int32_t stocking1Sprite = 0, stocking2Sprite = 0, stocking3Sprite = 0, stocking4Sprite = 0;
  int32_t poinrSprite = 0, poinlSprite = 0, bellrSprite = 0, belllSprite = 0;
  int32_t calendarSprite = 0, flameSprite = 0, logsSprite = 0;
  std::array<int32_t, kStyleCount + 1> surroundLeft{};   // 1..6
  std::array<int32_t, kStyleCount + 1> surroundRight{};  // 1..6
  std::array<int32_t, kStyleCount + 1> surroundTop{};    // 1..6
  std::array<int32_t, kStyleCount + 1> mantleSprite{};   // 3..6
  int32_t andironLSprite = 0, andironRSprite = 0;
  int32_t monitorNoticeSprite = 0, powerNoticeSprite = 0;
};

// The controls and services the saver window hosts, handed to the routines.
struct SaverControls {
  TegoDDrw& ddrw;
  TegoDS& ds;
  TegoSnd& snd;
  SettingsStore& store;
  System& system;
  const Clock& clock;
};

}  // namespace emberlrn
