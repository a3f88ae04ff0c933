// The power-management hand-over: the monitor-time table, the start-up
// step, the countdown on the one-second clock and the hand-over itself.

#include "input_exit/power_management.h"

#include <gtest/gtest.h>

#include <limits>

#include "recording_controls.h"

namespace emberlrn {
namespace {

using testing::CallLog;
using testing::SaverRig;

// The start-up's power-management step with these settings.
void StartWith(SaverRig& rig, int16_t power, std::string monitor,
               std::optional<int32_t> desktopTimeOut) {
  rig.state.powerManageOn = power;
  rig.state.monitorSetting = std::move(monitor);
  rig.system.fake.screenSaveTimeOut = desktopTimeOut;
  StartPowerManagement(rig.state, rig.system);
  rig.log.clear();
}

// One tick of the one-second clock, a second after the last.
void Tick(SaverRig& rig) {
  rig.clock.AdvanceMs(1000);
  PowerTick(rig.state, rig.controls, rig.host);
}

// Ticks until the hand-over; the number of the tick that made it, or 0.
int TicksUntilHandover(SaverRig& rig, int limit) {
  for (int tick = 1; tick <= limit; ++tick) {
    Tick(rig);
    if (rig.state.pmHandover) return tick;
  }
  return 0;
}

TEST(MonitorTimes, EveryTextOfTheDialogHasItsSeconds) {
  const std::pair<const char*, int> table[] = {
      {"1 Minute", 60},     {"2 Minutes", 120},   {"3 Minutes", 180},   {"5 Minutes", 300},
      {"10 Minutes", 600},  {"15 Minutes", 900},  {"20 Minutes", 1200}, {"25 Minutes", 1500},
      {"30 Minutes", 1800}, {"45 Minutes", 2700}, {"1 hour", 3600},     {"2 hours", 7200},
      {"3 hours", 10800},   {"4 hours", 14400},   {"5 hours", 18000},   {"Never", 0}};
  for (const auto& [text, seconds] : table) {
    EXPECT_EQ(MonitorTimeSeconds(text), seconds) << text;
  }
  // Matched exactly.
  for (const char* text : {"1", "1 minute", "1 Minutes", " 1 Minute", "1 Hour", "", "60"}) {
    EXPECT_EQ(MonitorTimeSeconds(text), std::nullopt) << text;
  }
}

TEST(PowerStartUp, TwentyMinutesWithATenMinuteTimeOutHandsOverAt555Seconds) {
  SaverRig rig;
  StartWith(rig, 1, "20 Minutes", 600);
  EXPECT_EQ(rig.state.monitorOffSeconds, 1200);
  EXPECT_EQ(rig.state.screenSaveTimeOut, 600);
  EXPECT_EQ(rig.state.pmDelaySeconds, 555);
  EXPECT_EQ(rig.state.powerManageOn, 1);
  EXPECT_EQ(TicksUntilHandover(rig, 2000), 555);
}

TEST(PowerStartUp, NeverOrAnUnknownTextSwitchesItOffWithoutReadingTheTimeOut) {
  for (const char* monitor : {"Never", "1", "twenty minutes"}) {
    SaverRig rig;
    rig.state.powerManageOn = 1;
    rig.state.monitorSetting = monitor;
    rig.system.fake.screenSaveTimeOut = 600;
    StartPowerManagement(rig.state, rig.system);
    EXPECT_EQ(rig.state.powerManageOn, 0) << monitor;
    EXPECT_EQ(rig.state.monitorOffSeconds, 0) << monitor;
    EXPECT_EQ(rig.state.screenSaveTimeOut, 0) << monitor;
    EXPECT_EQ(rig.state.pmDelaySeconds, 0) << monitor;
    EXPECT_TRUE(rig.system.fake.calls.empty()) << monitor;
    EXPECT_EQ(TicksUntilHandover(rig, 100), 0) << monitor;
  }
}

TEST(PowerStartUp, PowerOffLeavesTheMonitorTextUnread) {
  for (int16_t power : {int16_t{0}, int16_t{2}, int16_t{-1}}) {
    SaverRig rig;
    StartWith(rig, power, "20 Minutes", 600);
    EXPECT_EQ(rig.state.monitorOffSeconds, 0);
    EXPECT_EQ(rig.state.pmDelaySeconds, 0);
    EXPECT_TRUE(rig.system.fake.calls.empty());
    EXPECT_EQ(TicksUntilHandover(rig, 100), 0) << power;
  }
}

TEST(PowerStartUp, AnUnreadableTimeOutCountsFromTheSaversStart) {
  SaverRig rig;
  StartWith(rig, 1, "5 Minutes", std::nullopt);
  EXPECT_EQ(rig.system.fake.calls, (std::vector<std::string>{"ScreenSaveTimeOut"}));
  EXPECT_EQ(rig.state.screenSaveTimeOut, 0);
  EXPECT_EQ(rig.state.pmDelaySeconds, 255);
}

TEST(PowerStartUp, TimeOutsAtTheEndsOfTheRangeNeverOverflowTheDelay) {
  SaverRig large;
  StartWith(large, 1, "1 Minute", std::numeric_limits<int32_t>::max());
  EXPECT_EQ(large.state.pmDelaySeconds, 60 - 45 - int64_t{std::numeric_limits<int32_t>::max()});
  EXPECT_EQ(TicksUntilHandover(large, 5), 1);

  SaverRig negative;
  StartWith(negative, 1, "5 hours", std::numeric_limits<int32_t>::min());
  EXPECT_EQ(negative.state.pmDelaySeconds, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(TicksUntilHandover(negative, 5), 0);
}

TEST(PowerCountdown, ANegativeDelayHandsOverOnTheFirstTick) {
  SaverRig rig;
  StartWith(rig, 1, "1 Minute", 60);
  EXPECT_EQ(rig.state.pmDelaySeconds, -45);
  EXPECT_EQ(TicksUntilHandover(rig, 5), 1);
}

TEST(PowerCountdown, ASaverStartedBeforeMidnightHandsOverAfterIt) {
  // 23:50 with a 15-minute delay: the hand-over comes at 00:05.
  SaverRig rig;
  rig.clock.SetLocalTime(2026, 12, 24, 23, 50, 0);
  rig.state.startMonotonicMs = rig.clock.MonotonicMs();
  StartWith(rig, 1, "20 Minutes", 255);
  ASSERT_EQ(rig.state.pmDelaySeconds, 900);
  EXPECT_EQ(TicksUntilHandover(rig, 2000), 900);
  const LocalDateTime now = rig.clock.Now();
  EXPECT_EQ(now.tm.tm_mday, 25);
  EXPECT_EQ(now.tm.tm_hour, 0);
  EXPECT_EQ(now.tm.tm_min, 5);
}

TEST(PowerCountdown, TicksThatComeLateStillHandOverOnTime) {
  // The clock's ticks can be delayed or dropped; the elapsed time is the
  // clock's, not a count of ticks.
  SaverRig rig;
  StartWith(rig, 1, "5 Minutes", 0);
  rig.clock.AdvanceMs(254 * 1000 + 999);
  PowerTick(rig.state, rig.controls, rig.host);
  EXPECT_FALSE(rig.state.pmHandover);
  EXPECT_EQ(rig.state.elapsedSeconds, 254);
  rig.clock.AdvanceMs(1);
  PowerTick(rig.state, rig.controls, rig.host);
  EXPECT_TRUE(rig.state.pmHandover);
}

TEST(Handover, StopsTheFireSoundGivesTheDisplayBackAndShowsTheWarning) {
  SaverRig rig;
  StartWith(rig, 1, "1 Minute", 60);
  Tick(rig);
  EXPECT_EQ(rig.log, (CallLog{"stopAllWaves", "stopWave(7)", "CloseDisplay", "ShowCursor(true)",
                              "HideSaverWindow", "stopAllWaves", "ShowCursor(true)",
                              "HideSaverWindow", "DropTopMost", "ShowPowerWarning"}));
  EXPECT_TRUE(rig.state.pmHandover);
  EXPECT_EQ(rig.state.soundOn, 0);
  EXPECT_TRUE(rig.ds.playing.empty());
  EXPECT_TRUE(rig.snd.midiPlaying) << "the carol plays on behind the warning";
  EXPECT_FALSE(rig.system.fake.ended);
  EXPECT_EQ(rig.host.warningsShown, 1);
}

TEST(Handover, HappensOnceWhileTheClockTicksOnBehindTheWarning) {
  SaverRig rig;
  StartWith(rig, 1, "1 Minute", 60);
  Tick(rig);
  rig.log.clear();
  for (int i = 0; i < 600; ++i) Tick(rig);
  EXPECT_TRUE(rig.log.empty());
  EXPECT_EQ(rig.host.warningsShown, 1);
}

TEST(Handover, ClosingTheWarningWithoutEndingRunsTheOrdinaryClose) {
  SaverRig rig;
  StartWith(rig, 1, "1 Minute", 60);
  Tick(rig);
  ASSERT_TRUE(rig.host.whenClosed);
  rig.log.clear();
  EXPECT_THROW(rig.host.whenClosed(), ProcessEnded);
  EXPECT_EQ(rig.log, (CallLog{"SetScreenSaverRunning(false)", "stopAllWaves", "ShowCursor(true)",
                              "EndProcess"}));
}

TEST(Handover, AKeyThatStillReachesTheSaverWindowEndsTheProgram) {
  SaverRig rig;
  StartWith(rig, 1, "1 Minute", 60);
  Tick(rig);
  rig.log.clear();
  EXPECT_THROW(KeyDown(rig.state, rig.controls, rig.host, 65), ProcessEnded);
  EXPECT_EQ(rig.host.warningsShown, 1);
  EXPECT_EQ(rig.log.back(), "EndProcess");
}

TEST(Handover, AnOrdinaryCloseBeforeTheDelayEndsAsUsual) {
  SaverRig rig;
  StartWith(rig, 1, "20 Minutes", 600);
  for (int i = 0; i < 100; ++i) Tick(rig);
  EXPECT_THROW(MouseDown(rig.state, rig.controls, rig.host), ProcessEnded);
  EXPECT_EQ(rig.host.warningsShown, 0);
}

}  // namespace
}  // namespace emberlrn
