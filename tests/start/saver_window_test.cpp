#include "start/saver_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "saver_window_fixture.h"
#include "settings/first_run.h"

namespace emberlrn {
namespace {

TEST_F(SaverWindowTest, AFirstRunWritesTheDefaultsAndReadsThemBack) {
  Load();
  const auto firstRun = FirstRunValues();
  ASSERT_EQ(store.writes.size(), firstRun.size());
  EXPECT_EQ(store.writes.back(), (MemoryStore::Write{"Settings", "SetReg", "2"}));

  const Form1& s = *form;
  EXPECT_EQ(s.TextOverlays().showMessage, 0);
  EXPECT_EQ(s.TextOverlays().messageText, "Place a message here");
  EXPECT_EQ(s.TextOverlays().messageFontSize, 18);
  EXPECT_EQ(s.TextOverlays().calendarCorner, 1);
  EXPECT_EQ(s.TextOverlays().showCalendar, 0);
  EXPECT_EQ(s.Power().monitorSetting, "Never");
  EXPECT_EQ(s.Power().powerManageOn, 0);
  EXPECT_EQ(s.Close().mouseMoveLimit, 4);
  EXPECT_EQ(s.Fire().soundOffSetting, "Never");
  EXPECT_EQ(s.Rotation().showStyle, (std::array<bool, 7>{0, 1, 1, 1, 1, 1, 0}));
  EXPECT_EQ(s.Rotation().fireplaceIndex, 1);
  EXPECT_TRUE(s.Rotation().anyStyleShown);
  EXPECT_EQ(s.Rotation().showMantle, (std::array<bool, 5>{0, 1, 1, 1, 1}));
  EXPECT_EQ(s.Rotation().rotateOn, 1);
  EXPECT_EQ(s.Rotation().rotateTicks, 60);
  EXPECT_EQ(s.SceneDecorations().showAndirons, 1);
  EXPECT_EQ(s.Speed(), 100);
  EXPECT_EQ(s.Fire().soundVolume, -1667);
  EXPECT_EQ(s.Fire().soundOn, 1);
  EXPECT_EQ(s.SceneDecorations().showStocking, (std::array<bool, 4>{0, 0, 0, 0}));
  EXPECT_EQ(s.SceneDecorations().stockingTop, 19);
  EXPECT_FALSE(s.SceneDecorations().showBell[1]);
  EXPECT_FALSE(s.SceneDecorations().showPoinsettia[2]);
  EXPECT_EQ(s.Carols().carolChecked[24], 0);
  EXPECT_FALSE(s.Carols().musicOn);
  EXPECT_EQ(s.Fire().installFolder, "/data/");
  EXPECT_TRUE(s.Clocks().firstFrame);
  EXPECT_FALSE(s.Clocks().mouseArmed);
  EXPECT_EQ(s.Power().startMonotonicMs, clock.MonotonicMs());
  EXPECT_EQ(s.Clocks().featureTip, 1);
  EXPECT_EQ(s.Carols().currentCarol, 1);
  // The scene with andirons and both notice panels, the living fire's walls,
  // lights and shades, and the fire sound.
  EXPECT_TRUE(s.SceneDecorations().fillWide && s.SceneDecorations().firelight &&
              s.SceneDecorations().embers && s.SceneDecorations().livingFlame);
  EXPECT_EQ(ddrw.Count("CreateSprite"), 37 + 20);
  EXPECT_EQ(ds.calls,
            (std::vector<std::string>{"stopWave(0)", "loadWave(/data/fire.wav)", "startWave(1)",
                                      "setWaveVolume(1,-1667)", "setWaveMode(1,0)"}));
  EXPECT_TRUE(snd.calls.empty());  // music is off
}

TEST_F(SaverWindowTest, TheStartUpOrder) {
  Set(kSectionSettings, "SetReg", "2");
  Set(kSectionXmas, "SoundOn", "True");
  Set(kSectionXmas, "Midi1", "1");
  // At the display switch everything before it has happened, and nothing after.
  bool checked = false;
  ddrw.onCall = [&](const std::string& call) {
    if (call.rfind("SetDisplayMode", 0) != 0) return;
    checked = true;
    EXPECT_FALSE(system.cursorShown);
    EXPECT_FALSE(ddrw.visible);
    EXPECT_EQ(form->Rotation().rotateTicks, 60);  // already seconds
    EXPECT_EQ(form->Fire().soundOffSeconds, 60);  // "SoundOff" read as "1"
    EXPECT_TRUE(ds.calls.empty());
    EXPECT_TRUE(snd.calls.empty());
  };
  Load();
  EXPECT_TRUE(checked);
  EXPECT_EQ(ddrw.calls.front(), "SetVisible(false)");
  EXPECT_EQ(ddrw.calls[1], "SetWideCanvas(true)");  // a missing "FillWide" means on
  EXPECT_EQ(ddrw.calls[2], "SetDisplayMode(800,600,24,)");
  EXPECT_EQ(snd.played, (std::vector<std::string>{"/data/midi1.mid"}));
  EXPECT_EQ(system.calls, (std::vector<std::string>{"ShowCursor(false)"}));

  // Shown only after the load: on top, and the system told a saver runs.
  form->Show();
  EXPECT_EQ(ddrw.calls.back(), "SetVisible(true)");
  EXPECT_EQ(system.calls.back(), "SetScreenSaverRunning(true)");
  EXPECT_TRUE(system.ScreenSaverRunning());
}

TEST_F(SaverWindowTest, WithSetRegPresentMissingKeysTakeTheDefaultsOfTheReads) {
  Set(kSectionSettings, "SetReg", "2");
  Load();
  EXPECT_TRUE(store.writes.empty());
  const Form1& s = *form;
  EXPECT_EQ(s.TextOverlays().messageText, "1");
  EXPECT_EQ(s.TextOverlays().messageFontSize, 1);
  EXPECT_EQ(s.TextOverlays().showMessage, 1);
  EXPECT_EQ(s.SceneDecorations().stockingTop, 2);
  EXPECT_EQ(s.Rotation().showStyle, (std::array<bool, 7>{0, 1, 1, 1, 1, 1, 1}));
  EXPECT_TRUE(s.SceneDecorations().showBell[1]);
  EXPECT_TRUE(s.Carols().musicOn);
  EXPECT_EQ(s.Fire().soundOffSetting, "1");
  EXPECT_EQ(s.Fire().soundOffSeconds, 60);
  // "Power" 1 with the monitor time "1", which is no monitor time: no hand-over.
  EXPECT_EQ(s.Power().powerManageOn, 0);
  EXPECT_EQ(s.Power().pmDelaySeconds, 0);
  EXPECT_EQ(std::count(system.calls.begin(), system.calls.end(), "ScreenSaveTimeOut"), 0);
  // "RunMon" and "PwrMsg" missing: the notices show.
  EXPECT_FALSE(s.Clocks().runMonShown);
}

TEST_F(SaverWindowTest, ALostOrGarbledSetReg) {
  Set(kSectionSettings, "SetReg", "1");
  Set(kSectionSettings, "Message", "mine");
  Load();
  EXPECT_EQ(form->TextOverlays().messageText, "Place a message here");  // the defaults came back

  MemoryStore garbled;
  garbled.Preset(kSectionSettings, "SetReg", "two");
  garbled.Preset(kSectionSettings, "Message", "mine");
  store = garbled;
  store.writes.clear();
  form.reset();
  Load();
  // A garbled marker never costs the user the settings: nothing is rewritten.
  EXPECT_TRUE(store.writes.empty());
  EXPECT_EQ(form->TextOverlays().messageText, "mine");
}

TEST_F(SaverWindowTest, StylesChooseTheFirstShownAndNoStyleStopsTheRotation) {
  FirstRunStore();
  for (int i = 1; i <= 6; ++i) Set(kSectionFireplace, "ShowFP" + std::to_string(i), "0");
  Set(kSectionFireplace, "RotateCk", "1");
  Load();
  EXPECT_EQ(form->Rotation().fireplaceIndex, 0);
  EXPECT_FALSE(form->Rotation().anyStyleShown);
  EXPECT_EQ(form->Rotation().rotateOn, 0);
  EXPECT_EQ(ddrw.sprites.at(form->Sprites().andironLSprite).x, 0);
  EXPECT_EQ(ddrw.sprites.at(form->Sprites().andironRSprite).x, 650);

  form.reset();
  Set(kSectionFireplace, "ShowFP4", "1");
  ddrw = FakeDDrw();
  Load();
  EXPECT_EQ(form->Rotation().fireplaceIndex, 4);
  EXPECT_EQ(form->Rotation().rotateOn, 1);
  EXPECT_EQ(ddrw.sprites.at(form->Sprites().andironLSprite).x, 50);
}

TEST_F(SaverWindowTest, AStyleSwitchOtherThanOneCountsAsOff) {
  FirstRunStore();
  for (int i = 1; i <= 6; ++i) Set(kSectionFireplace, "ShowFP" + std::to_string(i), "0");
  Set(kSectionFireplace, "ShowFP3", "2");
  Load();
  EXPECT_EQ(form->Rotation().showStyle[3], 0);
  EXPECT_EQ(form->Rotation().fireplaceIndex, 0);
  EXPECT_EQ(form->Rotation().rotateOn, 0);  // the search is never started

  form.reset();
  Set(kSectionFireplace, "ShowFP5", "1");
  Set(kSectionFireplace, "ShowFP1", "-1");
  Load();
  EXPECT_EQ(form->Rotation().fireplaceIndex, 5);
  EXPECT_EQ(form->Rotation().rotateOn, 1);
}

// Switches become on or off as they are loaded: on only when they hold 1;
// the bells and poinsettias compare as numbers.
TEST_F(SaverWindowTest, StoredSwitchesAreOnOnlyAtOne) {
  for (const char* notOne : {"2", "-1"}) {
    form.reset();
    store = MemoryStore();
    FirstRunStore();
    for (const char* key : {"ShowMsg", "Power", "Calendar"}) Set(kSectionSettings, key, notOne);
    Set(kSectionFireplace, "AndIron", notOne);
    Set(kSectionFireplace, "ShowM6", notOne);
    Set(kSectionXmas, "ShowS1", notOne);
    ddrw = FakeDDrw();
    Load();
    EXPECT_FALSE(form->TextOverlays().showMessage) << notOne;
    EXPECT_FALSE(form->TextOverlays().showCalendar) << notOne;
    EXPECT_FALSE(form->Power().powerManageOn) << notOne;
    EXPECT_FALSE(form->Rotation().showMantle[4]) << notOne;
    EXPECT_FALSE(form->SceneDecorations().showStocking[0]) << notOne;
    EXPECT_EQ(form->Sprites().andironLSprite, 0) << notOne;
  }
  const auto BellShown = [this](const char* stored) {
    form.reset();
    store = MemoryStore();
    FirstRunStore();
    Set(kSectionXmas, "Bell1", stored);
    Set(kSectionXmas, "Poin2", stored);
    Load();
    EXPECT_EQ(form->SceneDecorations().showBell[1], form->SceneDecorations().showPoinsettia[2]);
    return form->SceneDecorations().showBell[1];
  };
  for (const char* one : {"1", "1.0", " 1 ", "1e0", "+1"}) EXPECT_TRUE(BellShown(one)) << one;
  for (const char* notOne : {"0", "2", "-1", "", "True", "1x", "0.999"}) {
    EXPECT_FALSE(BellShown(notOne)) << notOne;
  }
}

TEST_F(SaverWindowTest, TheSoundOffTime) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"0", "Never"},   {"0.0", "Never"}, {"Never", "Never"}, {"", "Never"},
      {"abc", "Never"}, {"1", "1"},       {"25", "25"}};
  for (const auto& [stored, setting] : cases) {
    form.reset();
    store = MemoryStore();
    FirstRunStore();
    Set(kSectionSettings, "SoundOff", stored);
    Load();
    EXPECT_EQ(form->Fire().soundOffSetting, setting) << stored;
    // SoundOff runs only for a time other than never.
    EXPECT_EQ(form->Fire().soundOffSeconds != 0, std::string(setting) != "Never") << stored;
  }
}

TEST_F(SaverWindowTest, PowerManagementDelayAtStart) {
  FirstRunStore();
  Set(kSectionSettings, "Power", "1");
  Set(kSectionSettings, "Monitor", "20 Minutes");
  system.screenSaveTimeOut = 600;
  Load();
  EXPECT_EQ(form->Power().powerManageOn, 1);
  EXPECT_EQ(form->Power().pmDelaySeconds, 1200 - 600 - 45);

  form.reset();
  system.calls.clear();
  Set(kSectionSettings, "Monitor", "Never");
  Load();
  EXPECT_EQ(form->Power().powerManageOn, 0);
  EXPECT_EQ(form->Power().pmDelaySeconds, 0);
  EXPECT_EQ(std::count(system.calls.begin(), system.calls.end(), "ScreenSaveTimeOut"), 0);
}

TEST_F(SaverWindowTest, MalformedAndOutOfRangeValuesNeverStopTheStart) {
  struct Case {
    std::string_view section, key, stored;
    std::function<int(const Form1&)> read;
    int expected;
  };
  const auto RotateT = [](const Form1& s) { return int{s.Rotation().rotateTicks}; };
  const auto FontSize = [](const Form1& s) { return int{s.TextOverlays().messageFontSize}; };
  const auto MouseSen = [](const Form1& s) { return int{s.Close().mouseMoveLimit}; };
  const auto Vol = [](const Form1& s) { return int{s.Fire().soundVolume}; };
  const auto Speed = [](const Form1& s) { return int{s.Speed()}; };
  const auto CalPos = [](const Form1& s) { return int{s.TextOverlays().calendarCorner}; };
  const auto StockLoc = [](const Form1& s) { return int{s.SceneDecorations().stockingTop}; };
  const std::vector<Case> cases = {
      {kSectionFireplace, "RotateT", "546", RotateT, 32760},
      {kSectionFireplace, "RotateT", "547", RotateT, 32760},
      {kSectionFireplace, "RotateT", "9999", RotateT, 32760},
      {kSectionFireplace, "RotateT", "0", RotateT, 0},
      {kSectionFireplace, "RotateT", "-3", RotateT, 0},
      {kSectionFireplace, "RotateT", "", RotateT, 60},          // first-run 1 minute
      {kSectionFireplace, "RotateT", "70000", RotateT, 32760},  // the longest period
      {kSectionFireplace, "RotateT", "2.5", RotateT, 120},      // rounds half to even
      {kSectionSettings, "FontSize", "", FontSize, 18},
      {kSectionSettings, "FontSize", "0", FontSize, 18},
      {kSectionSettings, "FontSize", "-4", FontSize, 18},
      {kSectionSettings, "FontSize", "5000", FontSize, 400},
      {kSectionSettings, "FontSize", "big", FontSize, 18},
      {kSectionSettings, "MouseSen", "0", MouseSen, 2},  // the bar's ends
      {kSectionSettings, "MouseSen", "1", MouseSen, 2},
      {kSectionSettings, "Vol", "500", Vol, 0},
      {kSectionSettings, "Vol", "-20000", Vol, -2500},
      {kSectionFireplace, "Speed", "0", Speed, 25},
      {kSectionFireplace, "Speed", "-100", Speed, 25},
      {kSectionSettings, "CalPos", "7", CalPos, 1},  // no corner: the first-run one
      {kSectionXmas, "StockLoc", "30000", StockLoc, 100},
  };
  for (const Case& c : cases) {
    form.reset();
    store = MemoryStore();
    FirstRunStore();
    Set(c.section, c.key, c.stored);
    ddrw = FakeDDrw();
    Load();
    EXPECT_EQ(c.read(*form), c.expected) << c.key << "=" << c.stored;
    EXPECT_EQ(ddrw.Count("CreateSprite"), 37 + 20) << c.key << "=" << c.stored;
    // A frame is composed without harm.
    form->FrameReady();
    EXPECT_EQ(ddrw.flips, 1);
  }
}

TEST_F(SaverWindowTest, ARefusedDisplayUnloadsTheWindowAndEndsAsAFailure) {
  FirstRunStore();
  ddrw.modeAnswers[24] = false;
  EXPECT_THROW(Load(), ProcessEnded);
  EXPECT_EQ(system.messages.size(), 1u);
  EXPECT_EQ(system.messages[0].title, "Error opening the display!");
  EXPECT_EQ(ddrw.Count("CreateSprite"), 0);
  // The unload stops the waves and shows the cursor; no sound was opened.
  EXPECT_EQ(ds.calls, (std::vector<std::string>{"stopAllWaves"}));
  EXPECT_EQ(system.calls, (std::vector<std::string>{"ShowCursor(false)",
                                                    "ShowMessage(Error opening the display!)",
                                                    "ShowCursor(true)", "EndProcess(failure)"}));
  EXPECT_FALSE(system.ScreenSaverRunning());
}

// --- the running saver on the event loop, in fake time ---

struct RunningSaverTest : SaverWindowTest {
  void Start() {
    Load();
    form->Show();
  }
  // fireplaceIndex at the end of each period of the given seconds, count times.
  std::vector<int> StylesEvery(int seconds, int count) {
    std::vector<int> styles;
    for (int i = 0; i < count; ++i) {
      loop->RunFor(int64_t{seconds} * 1000);
      styles.push_back(form->Rotation().fireplaceIndex);
    }
    return styles;
  }
  void Styles(std::initializer_list<int> shown) {
    for (int i = 1; i <= 6; ++i) Set(kSectionFireplace, "ShowFP" + std::to_string(i), "0");
    for (int style : shown) Set(kSectionFireplace, "ShowFP" + std::to_string(style), "1");
  }
};

TEST_F(RunningSaverTest, StylesTwoAndFiveAlternateEveryMinute) {
  FirstRunStore();
  Styles({2, 5});
  Start();
  ddrw.recording = false;
  EXPECT_EQ(form->Rotation().fireplaceIndex, 2);
  loop->RunFor(59'500);
  EXPECT_EQ(form->Rotation().fireplaceIndex, 2);
  loop->RunFor(500);
  EXPECT_EQ(form->Rotation().fireplaceIndex, 5);
  EXPECT_EQ(StylesEvery(60, 6), (std::vector<int>{2, 5, 2, 5, 2, 5}));
}

TEST_F(RunningSaverTest, AllSixInTurnAndASingleStyleStays) {
  FirstRunStore();
  Styles({1, 2, 3, 4, 5, 6});
  Start();
  ddrw.recording = false;
  EXPECT_EQ(StylesEvery(60, 7), (std::vector<int>{2, 3, 4, 5, 6, 1, 2}));

  form.reset();
  Styles({4});
  Start();
  ddrw.recording = false;
  EXPECT_EQ(StylesEvery(60, 5), (std::vector<int>{4, 4, 4, 4, 4}));
}

TEST_F(RunningSaverTest, AnHourlyPeriodOverThreeHoursAndRotationValueTwo) {
  FirstRunStore();
  Styles({1, 3});
  Set(kSectionFireplace, "RotateT", "60");
  Start();
  ddrw.recording = false;
  loop->RunFor(3599'000);
  EXPECT_EQ(form->Rotation().fireplaceIndex, 1);
  EXPECT_EQ(StylesEvery(1, 1), (std::vector<int>{3}));
  EXPECT_EQ(StylesEvery(3600, 2), (std::vector<int>{1, 3}));
  EXPECT_GT(ddrw.flips, 60 * 3 * 3600 - 100);  // frames ran all along, at 60 a second

  form.reset();
  Set(kSectionFireplace, "RotateCk", "2");
  Set(kSectionFireplace, "RotateT", "1");
  Start();
  ddrw.recording = false;
  EXPECT_EQ(StylesEvery(600, 6), (std::vector<int>{1, 1, 1, 1, 1, 1}));
  // The surround of style 1 is still drawn.
  ddrw.recording = true;
  loop->RunFor(20);
  EXPECT_NE(std::find(ddrw.lastFrame.begin(), ddrw.lastFrame.end(),
                      "DrawSprite(" + std::to_string(form->Sprites().surroundTop[1]) + ")"),
            ddrw.lastFrame.end());
}

TEST_F(RunningSaverTest, TenHoursWithAPeriodThatIsNeverReached) {
  FirstRunStore();
  Set(kSectionFireplace, "RotateT", "0");
  Start();
  ddrw.recording = false;
  ddrw.open = false;  // the clocks alone, for speed
  loop->RunFor(10LL * 3600 * 1000);
  EXPECT_EQ(form->Rotation().fireplaceIndex, 1);
  EXPECT_GE(form->Rotation().rotateCount, 0);
  EXPECT_EQ(form->Clocks().runSeconds, 36000);
}

TEST_F(RunningSaverTest, TheFirstRunNoticesOnTheirClock) {
  Start();  // an empty store: the first run
  store.writes.clear();
  loop->RunFor(19'999);
  EXPECT_TRUE(store.writes.empty());
  loop->RunFor(1);
  EXPECT_EQ(store.writes, (std::vector<MemoryStore::Write>{{"Settings", "RunMon", "True"}}));
  // Notice 2 shows now, counting down from 20.
  loop->RunFor(20);
  EXPECT_NE(std::find(ddrw.lastFrame.begin(), ddrw.lastFrame.end(),
                      "DrawSprite(" + std::to_string(form->Sprites().powerNoticeSprite) + ")"),
            ddrw.lastFrame.end());
  loop->RunFor(20'000);
  EXPECT_EQ(store.Value(kSectionSettings, "PwrMsg"), "True");
  loop->RunFor(100'000);
  EXPECT_EQ(form->Clocks().noticeTicks, 41);
  EXPECT_FALSE(form->Clocks().timer3Enabled);
  EXPECT_EQ(store.writes.size(), 2u);
  // The tips came after the notices and are gone again.
  EXPECT_EQ(form->Clocks().featureTicks, 85);
  EXPECT_FALSE(form->Clocks().featuresOn);
}

TEST_F(RunningSaverTest, TheFeatureTipsAppearAfterTheNoticesOfAFirstRun) {
  Start();
  loop->RunFor(58'900);
  EXPECT_FALSE(form->Clocks().featuresOn);
  loop->RunFor(200);
  EXPECT_TRUE(form->Clocks().featuresOn);
  EXPECT_NE(std::find(ddrw.lastFrame.begin(), ddrw.lastFrame.end(), "DrawText(FEATURES:,1,1,255)"),
            ddrw.lastFrame.end());
  loop->RunFor(26'000);
  EXPECT_FALSE(form->Clocks().featuresOn);
  EXPECT_EQ(std::count(ddrw.lastFrame.begin(), ddrw.lastFrame.end(), "DrawText(FEATURES:,1,1,255)"),
            0);
}

TEST_F(RunningSaverTest, TheMouseIsArmedFiveSecondsAfterTheFirstFrame) {
  FirstRunStore();
  Start();
  loop->RunFor(4'999);
  EXPECT_FALSE(form->Clocks().mouseArmed);
  loop->RunFor(1);
  EXPECT_TRUE(form->Clocks().mouseArmed);
}

TEST_F(RunningSaverTest, TicksBeforeTheFirstFrameStillArmTheMouse) {
  FirstRunStore();
  Load();
  ddrw.open = false;  // no frames yet
  loop->RunFor(6'000);
  EXPECT_TRUE(form->Clocks().mouseArmed);
  EXPECT_TRUE(form->Clocks().firstFrame);
  ddrw.open = true;
  loop->RunFor(10);
  EXPECT_FALSE(form->Clocks().firstFrame);
  EXPECT_EQ(form->Clocks().runSeconds, 0);
  EXPECT_TRUE(form->Clocks().mouseArmed);
}

TEST_F(RunningSaverTest, AKeyEndsTheRunningSaver) {
  FirstRunStore();
  Start();
  input.After(3'000, [&] { form->KeyDown(65); });
  EXPECT_THROW(loop->RunFor(10'000), ProcessEnded);
  EXPECT_FALSE(system.ScreenSaverRunning());
  EXPECT_FALSE(ddrw.open);
  EXPECT_TRUE(system.cursorShown);
}

TEST_F(RunningSaverTest, AWindowSystemRequestToCloseEndsTheSaver) {
  FirstRunStore();
  Start();
  input.After(1'000, [&] { form->Form_QueryUnload(); });
  EXPECT_THROW(loop->RunFor(10'000), ProcessEnded);
  EXPECT_FALSE(system.ScreenSaverRunning());
  EXPECT_TRUE(system.cursorShown);
}

// --- the crackles over the fire, which play exactly while the fire does ---

struct CrackleTest : RunningSaverTest {
  CrackleTest() { crackles.clock = &clock; }
  // The crackles handed to the voices from `fromMs` (counted from the start
  // of the run) until `toMs`.
  int PlayedBetween(int64_t fromMs, int64_t toMs) const {
    return static_cast<int>(std::count_if(
        crackles.played.begin(), crackles.played.end(),
        [&](const auto& p) { return p.atMs >= startMs + fromMs && p.atMs < startMs + toMs; }));
  }
  void StartRun() {
    startMs = clock.MonotonicMs();
    Start();
  }
  void KeyAt(int64_t atMs, int16_t key) {
    input.At(startMs + atMs, [this, key] { form->KeyDown(key); });
  }
  int64_t startMs = 0;
};

TEST_F(CrackleTest, CracklesFollowTheFireThroughQAndS) {
  FirstRunStore();
  StartRun();
  EXPECT_EQ(crackles.calls.front(), "LoadBank(/data/crackles.wav,/data/crackles.txt)");
  KeyAt(30'000, kKeyQ);
  KeyAt(60'000, kKeyS);
  loop->RunFor(90'000);
  EXPECT_GE(PlayedBetween(0, 30'000), 10);
  EXPECT_EQ(PlayedBetween(30'000, 60'000), 0) << "crackles went on after Q";
  EXPECT_GE(PlayedBetween(60'000, 90'000), 10) << "S did not bring the crackles back";

}

TEST_F(CrackleTest, TheSoundOffTimeAndThePowerHandOverEndTheCrackles) {
  FirstRunStore();
  Set(kSectionSettings, "SoundOff", "1");
  StartRun();
  loop->RunFor(120'000);
  EXPECT_GE(PlayedBetween(0, 60'000), 10);
  EXPECT_EQ(PlayedBetween(60'000, 120'000), 0) << "crackles after the sound-off time";

  form.reset();
  crackles.played.clear();
  Set(kSectionSettings, "SoundOff", "0");
  Set(kSectionSettings, "Power", "1");
  Set(kSectionSettings, "Monitor", "20 Minutes");
  system.screenSaveTimeOut = 1080;  // the hand-over comes after 75 s
  StartRun();
  loop->RunFor(150'000);
  EXPECT_TRUE(form->Power().pmWarningShown);
  EXPECT_GE(PlayedBetween(0, 75'000), 10);
  EXPECT_EQ(PlayedBetween(75'000, 150'000), 0) << "crackles behind the power warning";
}

TEST_F(CrackleTest, AKeyCloseSilencesTheCracklesAtOnce) {
  FirstRunStore();
  StartRun();
  KeyAt(20'000, 65);
  EXPECT_THROW(loop->RunFor(30'000), ProcessEnded);
  EXPECT_GE(PlayedBetween(0, 20'000), 10);
  EXPECT_EQ(crackles.sounding, 0);
  EXPECT_EQ(crackles.calls.back(), "StopAll");
}

TEST_F(CrackleTest, NoCracklesWithTheSwitchOffOrWithoutTheFire) {
  FirstRunStore();
  Set(kSectionSettings, "Crackle", "0");
  StartRun();
  KeyAt(10'000, kKeyS);
  loop->RunFor(30'000);
  EXPECT_TRUE(crackles.played.empty());
  EXPECT_TRUE(crackles.calls.empty()) << "the bank was loaded for nothing";

  // The fire off at the start: no crackles until S starts it.
  form.reset();
  Set(kSectionSettings, "Crackle", "1");
  Set(kSectionSettings, "SoundOn", "0");
  StartRun();
  KeyAt(30'000, kKeyS);
  loop->RunFor(60'000);
  EXPECT_EQ(PlayedBetween(0, 30'000), 0);
  EXPECT_GE(PlayedBetween(30'000, 60'000), 10);
}

}  // namespace
}  // namespace emberlrn
