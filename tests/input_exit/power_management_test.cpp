// The power-management hand-over: the monitor-time table, the start-up
// step, the countdown on the one-second clock and the hand-over itself.

#include "input_exit/power_management.h"

#include <gtest/gtest.h>

#include <limits>

#include "input_exit/saver_rig.h"

namespace emberlrn {
namespace {

using testing::SaverRig;

// The start-up's power-management step with these settings.
void StartWith(SaverRig& rig, bool power, std::string monitor,
               std::optional<int32_t> desktopTimeOut) {
  rig.power.powerManageOn = power;
  rig.power.monitorSetting = std::move(monitor);
  rig.system.screenSaveTimeOut = desktopTimeOut;
  rig.power.StartPowerManagement(rig.system);
  rig.log.clear();
}

// One tick of the one-second clock, a second after the last.
void Tick(SaverRig& rig) {
  rig.clock.AdvanceMs(1000);
  rig.close.PowerTick();
}

// Ticks until the hand-over; the number of the tick that made it, or 0.
int TicksUntilHandover(SaverRig& rig, int limit) {
  for (int tick = 1; tick <= limit; ++tick) {
    Tick(rig);
    if (rig.power.pmHandover) return tick;
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
  EXPECT_EQ(rig.power.monitorOffSeconds, 1200);
  EXPECT_EQ(rig.power.screenSaveTimeOut, 600);
  EXPECT_EQ(rig.power.pmDelaySeconds, 555);
  EXPECT_EQ(rig.power.powerManageOn, 1);
  EXPECT_EQ(TicksUntilHandover(rig, 2000), 555);
}

TEST(PowerStartUp, NeverOrAnUnknownTextSwitchesItOffWithoutReadingTheTimeOut) {
  for (const char* monitor : {"Never", "1", "twenty minutes"}) {
    SaverRig rig;
    rig.power.powerManageOn = 1;
    rig.power.monitorSetting = monitor;
    rig.system.screenSaveTimeOut = 600;
    rig.power.StartPowerManagement(rig.system);
    EXPECT_EQ(rig.power.powerManageOn, 0) << monitor;
    EXPECT_EQ(rig.power.monitorOffSeconds, 0) << monitor;
    EXPECT_EQ(rig.power.screenSaveTimeOut, 0) << monitor;
    EXPECT_EQ(rig.power.pmDelaySeconds, 0) << monitor;
    EXPECT_TRUE(rig.system.calls.empty()) << monitor;
    EXPECT_EQ(TicksUntilHandover(rig, 100), 0) << monitor;
  }
}

TEST(PowerStartUp, PowerOffLeavesTheMonitorTextUnread) {
  {
    SaverRig rig;
    StartWith(rig, false, "20 Minutes", 600);
    EXPECT_EQ(rig.power.monitorOffSeconds, 0);
    EXPECT_EQ(rig.power.pmDelaySeconds, 0);
    EXPECT_TRUE(rig.system.calls.empty());
    EXPECT_EQ(TicksUntilHandover(rig, 100), 0);
  }
}

TEST(PowerStartUp, AnUnreadableTimeOutCountsFromTheSaversStart) {
  SaverRig rig;
  StartWith(rig, 1, "5 Minutes", std::nullopt);
  EXPECT_EQ(rig.system.calls, (std::vector<std::string>{"ScreenSaveTimeOut"}));
  EXPECT_EQ(rig.power.screenSaveTimeOut, 0);
  EXPECT_EQ(rig.power.pmDelaySeconds, 255);
}

TEST(PowerStartUp, TimeOutsAtTheEndsOfTheRangeNeverOverflowTheDelay) {
  SaverRig large;
  StartWith(large, 1, "1 Minute", std::numeric_limits<int32_t>::max());
  EXPECT_EQ(large.power.pmDelaySeconds, 60 - 45 - int64_t{std::numeric_limits<int32_t>::max()});
  EXPECT_EQ(TicksUntilHandover(large, 5), 1);

  SaverRig negative;
  StartWith(negative, 1, "5 hours", std::numeric_limits<int32_t>::min());
  EXPECT_EQ(negative.power.pmDelaySeconds, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(TicksUntilHandover(negative, 5), 0);
}

TEST(PowerCountdown, ANegativeDelayHandsOverOnTheFirstTick) {
  SaverRig rig;
  StartWith(rig, 1, "1 Minute", 60);
  EXPECT_EQ(rig.power.pmDelaySeconds, -45);
  EXPECT_EQ(TicksUntilHandover(rig, 5), 1);
}

TEST(PowerCountdown, ASaverStartedBeforeMidnightHandsOverAfterIt) {
  // 23:50 with a 15-minute delay: the hand-over comes at 00:05.
  SaverRig rig;
  rig.clock.SetLocalTime(2026, 12, 24, 23, 50, 0);
  rig.power.startMonotonicMs = rig.clock.MonotonicMs();
  StartWith(rig, 1, "20 Minutes", 255);
  ASSERT_EQ(rig.power.pmDelaySeconds, 900);
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
  rig.close.PowerTick();
  EXPECT_FALSE(rig.power.pmHandover);
  EXPECT_EQ(rig.power.elapsedSeconds, 254);
  rig.clock.AdvanceMs(1);
  rig.close.PowerTick();
  EXPECT_TRUE(rig.power.pmHandover);
}

TEST(Handover, StopsTheFireSoundGivesTheDisplayBackAndShowsTheWarning) {
  SaverRig rig;
  StartWith(rig, 1, "1 Minute", 60);
  Tick(rig);
  EXPECT_EQ(rig.log, (CallLog{"stopAllWaves", "stopWave(7)", "CloseDisplay", "ShowCursor(true)",
                              "HideSaverWindow", "stopAllWaves", "ShowCursor(true)",
                              "HideSaverWindow", "DropTopMost", "ShowPowerWarning"}));
  EXPECT_TRUE(rig.power.pmHandover);
  EXPECT_EQ(rig.fire.soundOn, 0);
  EXPECT_TRUE(rig.ds.Playing().empty());
  EXPECT_FALSE(rig.snd.playing.empty()) << "the carol plays on behind the warning";
  EXPECT_FALSE(rig.system.ended);
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
  EXPECT_THROW(rig.close.KeyDown(65), ProcessEnded);
  EXPECT_EQ(rig.host.warningsShown, 1);
  EXPECT_EQ(rig.log.back(), "EndProcess");
}

TEST(Handover, AnOrdinaryCloseBeforeTheDelayEndsAsUsual) {
  SaverRig rig;
  StartWith(rig, 1, "20 Minutes", 600);
  for (int i = 0; i < 100; ++i) Tick(rig);
  EXPECT_THROW(rig.close.MouseDown(), ProcessEnded);
  EXPECT_EQ(rig.host.warningsShown, 0);
}

}  // namespace
}  // namespace emberlrn
