// The fire sound with a recording wave control: what each opening, key and
// tick asks of the control, in order, and what is left playing.

#include "sound/fire_sound.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_sound.h"
#include "settings/schema.h"

namespace emberlrn {
namespace {

using Calls = std::vector<std::string>;

class FireSoundTest : public ::testing::Test {
 protected:
  FireSoundTest() {
    fire.installFolder = "/data/";
    fire.soundVolume = -1667;
    fire.soundOn = 1;
  }

  // What the start-up does once the setting is read: SoundOff when it is not
  // "Never", then the first opening.
  void StartUp(const std::string& soundOffSetting, int16_t soundOn) {
    fire.soundOffSetting = soundOffSetting;
    if (fire.soundOffSetting != kSoundOffNever) fire.SoundOff();
    fire.soundOn = soundOn;
    fire.OpenDirectSoundSession();
  }
  // The S key: soundOn from the "Sound" setting (always "1"), then reopen.
  void PressS() {
    fire.soundOn = 1;
    fire.OpenDirectSoundSession();
  }
  // The Q key.
  void PressQ() {
    ds.stopAllWaves();
    ds.stopWave(fire.fireSoundId);
    fire.soundOn = 0;
  }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) fire.SoundOffTick();
  }
  Calls TakeCalls() {
    Calls taken = std::move(ds.calls);
    ds.calls.clear();
    return taken;
  }

  FakeTegoDS ds;
  FireSound fire{ds};
};

TEST_F(FireSoundTest, FirstOpeningStopsNothingLoadsAndStartsLoopedAtTheVolume) {
  StartUp("Never", 1);
  EXPECT_EQ(TakeCalls(), (Calls{"stopWave(0)", "loadWave(/data/fire.wav)", "startWave(1)",
                                "setWaveVolume(1,-1667)", "setWaveMode(1,0)"}));
  EXPECT_EQ(fire.fireSoundId, 1);
  EXPECT_EQ(ds.Playing(), (std::set<int32_t>{1}));
}

TEST_F(FireSoundTest, SoundOffAtStartThenSStartsItAndQStopsItAgain) {
  StartUp("Never", 0);
  EXPECT_EQ(TakeCalls(), (Calls{"stopWave(0)", "loadWave(/data/fire.wav)"}));
  EXPECT_TRUE(ds.Playing().empty());

  PressS();
  EXPECT_EQ(TakeCalls(), (Calls{"stopWave(1)", "loadWave(/data/fire.wav)", "startWave(2)",
                                "setWaveVolume(2,-1667)", "setWaveMode(2,0)"}));
  EXPECT_EQ(ds.Playing(), (std::set<int32_t>{2}));

  PressQ();
  EXPECT_TRUE(ds.Playing().empty());
  EXPECT_EQ(fire.soundOn, 0);
}

TEST_F(FireSoundTest, SWhilePlayingRestartsFromAFreshLoadWithOneCopy) {
  StartUp("Never", 1);
  TakeCalls();
  PressS();
  PressS();
  const Calls calls = TakeCalls();
  // The old wave is stopped before the new one is loaded, every time.
  EXPECT_EQ(calls.at(0), "stopWave(1)");
  EXPECT_EQ(calls.at(1), "loadWave(/data/fire.wav)");
  EXPECT_EQ(calls.at(5), "stopWave(2)");
  EXPECT_EQ(calls.at(6), "loadWave(/data/fire.wav)");
  EXPECT_EQ(fire.fireSoundId, 3);
  EXPECT_EQ(ds.Playing(), (std::set<int32_t>{3}));
  EXPECT_EQ(ds.waves.at(3).mode, 0);
  EXPECT_EQ(ds.waves.at(3).volume, -1667);
}

TEST_F(FireSoundTest, OneMinutesSoundOffStopsOnTheSixtiethTickAndAfterEveryLaterS) {
  StartUp("1", 1);
  EXPECT_EQ(fire.soundOffSeconds, 60);
  TakeCalls();

  Ticks(59);
  EXPECT_TRUE(TakeCalls().empty());
  EXPECT_EQ(ds.Playing(), (std::set<int32_t>{1}));

  Ticks(1);
  EXPECT_EQ(TakeCalls(), (Calls{"stopAllWaves", "stopWave(1)"}));
  EXPECT_TRUE(ds.Playing().empty());
  EXPECT_EQ(fire.soundOn, 0);

  // The stop repeats on each later tick; S brings the fire back for one tick.
  Ticks(5);
  EXPECT_EQ(TakeCalls().size(), 10u);
  PressS();
  EXPECT_EQ(ds.Playing(), (std::set<int32_t>{2}));
  TakeCalls();
  Ticks(1);
  EXPECT_EQ(TakeCalls(), (Calls{"stopAllWaves", "stopWave(2)"}));
  EXPECT_TRUE(ds.Playing().empty());
}

TEST_F(FireSoundTest, NeverCountsNothingAndStopsNothing) {
  StartUp("Never", 1);
  TakeCalls();
  Ticks(100000);
  EXPECT_TRUE(TakeCalls().empty());
  EXPECT_EQ(fire.soundOffTicks, 0);
  EXPECT_EQ(fire.soundOffSeconds, 0);
  EXPECT_EQ(ds.Playing(), (std::set<int32_t>{1}));
}

TEST_F(FireSoundTest, AfterADayOfCountingTheCountdownStartsAgain) {
  StartUp("480", 1);
  EXPECT_EQ(fire.soundOffSeconds, 28800);
  Ticks(28799);
  EXPECT_EQ(ds.Playing(), (std::set<int32_t>{1}));
  Ticks(1);
  EXPECT_TRUE(ds.Playing().empty());

  Ticks(86399 - 28800);
  EXPECT_EQ(fire.soundOffTicks, 0);
  PressS();
  Ticks(28799);
  EXPECT_EQ(ds.Playing(), (std::set<int32_t>{2}));
  Ticks(1);
  EXPECT_TRUE(ds.Playing().empty());
}

TEST(SoundOffTest, EveryEntryOfTheDialogsListGivesItsMinutesInSeconds) {
  for (int minutes : {1, 2, 3, 4, 5, 10, 15, 20, 30, 45, 60, 90, 120, 180, 240, 300, 360, 420,
                      480}) {
    FakeTegoDS ds;
    FireSound fire(ds);
    fire.soundOffSetting = std::to_string(minutes);
    fire.SoundOff();
    EXPECT_EQ(fire.soundOffSeconds, minutes * 60) << minutes;
    EXPECT_EQ(fire.soundOffSetting, std::to_string(minutes));
  }
}

// Values the dialog never writes, as a hand-edited file may hold them: a
// positive number of minutes counts as written (held at eight hours), and
// anything that names no time above zero means the sound is never stopped.
TEST(SoundOffTest, HandEditedValuesCountAsWrittenOrAsNever) {
  struct Case {
    const char* setting;
    int16_t seconds;
    const char* settingAfter;
  };
  for (const Case& c : {Case{"25", 1500, "25"}, Case{"7", 420, "7"}, Case{"2.5", 150, "2.5"},
                        Case{" 15 ", 900, " 15 "}, Case{"1000", 28800, "1000"},
                        Case{"1e9", 28800, "1e9"}, Case{"0.001", 1, "0.001"},
                        Case{"-5", 0, "Never"}, Case{"abc", 0, "Never"}, Case{"", 0, "Never"}}) {
    FakeTegoDS ds;
    FireSound fire(ds);
    fire.soundOffSetting = c.setting;
    fire.SoundOff();
    EXPECT_EQ(fire.soundOffSeconds, c.seconds) << c.setting;
    EXPECT_EQ(fire.soundOffSetting, c.settingAfter) << c.setting;
  }
}

TEST_F(FireSoundTest, TwentyFiveMinutesStopTheSoundAfterTwentyFiveMinutes) {
  StartUp("25", 1);
  TakeCalls();
  Ticks(1499);
  EXPECT_TRUE(TakeCalls().empty());
  Ticks(1);
  EXPECT_EQ(TakeCalls(), (Calls{"stopAllWaves", "stopWave(1)"}));
}

TEST_F(FireSoundTest, GarbledSoundOffLeavesTheFirePlaying) {
  StartUp("soon", 1);
  TakeCalls();
  Ticks(3600);
  EXPECT_TRUE(TakeCalls().empty());
  EXPECT_EQ(ds.Playing(), (std::set<int32_t>{1}));
}

}  // namespace
}  // namespace emberlrn
