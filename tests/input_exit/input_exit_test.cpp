// The saver window's input: the sound keys, the closes by key, click and
// movement, the sensitivity rule, and the one road out.

#include "input_exit/input_exit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "input_exit/saver_rig.h"

namespace emberlrn {
namespace {

using testing::SaverRig;

constexpr int16_t kKeyA = 65;
constexpr int16_t kKeyEscape = 27;
constexpr int16_t kKeyShift = 16;

// The unload and the end that every ordinary close finishes with.
const CallLog kCloseDownCalls = {"SetScreenSaverRunning(false)", "stopAllWaves", "ShowCursor(true)",
                                 "EndProcess"};

CallLog Concat(CallLog first, const CallLog& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

TEST(KeyClose, AnOrdinaryKeyRunsTheWholeCloseRoadInOrder) {
  SaverRig rig;
  EXPECT_THROW(rig.close.KeyDown(kKeyA), ProcessEnded);
  EXPECT_EQ(rig.log, Concat({"stopAllWaves", "stopWave(7)", "stopMidi", "ShowCursor(true)",
                             "CloseDisplay", "ShowCursor(true)"},
                            kCloseDownCalls));
  EXPECT_TRUE(rig.close.closingByKey);
  EXPECT_TRUE(rig.close.keyCloseStarted);
  EXPECT_FALSE(rig.close.closingByMouseClick);
  EXPECT_FALSE(rig.system.ScreenSaverRunning());
  EXPECT_TRUE(rig.system.cursorShown);
  EXPECT_TRUE(rig.ds.Playing().empty());
  EXPECT_TRUE(rig.snd.playing.empty());
}

TEST(KeyClose, EscapeShiftAndUnknownKeysEndTheSaverOnKeyDown) {
  for (int16_t key : {kKeyEscape, kKeyShift, kKeySpace, int16_t{0}, int16_t{112}}) {
    SaverRig rig;
    EXPECT_THROW(rig.close.KeyDown(key), ProcessEnded) << key;
    EXPECT_TRUE(rig.close.closingByKey) << key;
  }
}

TEST(KeyClose, SpaceEndsThroughKeyDownButIsIgnoredOnKeyUp) {
  SaverRig up;
  up.close.Form_KeyUp(kKeySpace);
  EXPECT_TRUE(up.log.empty());
  EXPECT_FALSE(up.AnyClosingFlag());

  SaverRig down;
  EXPECT_THROW(down.close.KeyDown(kKeySpace), ProcessEnded);
  EXPECT_TRUE(down.close.closingByKey);
}

TEST(KeyClose, KeyUpOfTheSoundKeysChangesNothing) {
  SaverRig rig;
  rig.close.Form_KeyUp(kKeyS);
  rig.close.Form_KeyUp(kKeyQ);
  EXPECT_TRUE(rig.log.empty());
  EXPECT_FALSE(rig.AnyClosingFlag());
  EXPECT_EQ(rig.fire.soundOn, 1);
}

TEST(KeyClose, KeyUpOfAnotherKeyClosesWithoutSoundCallsOfItsOwn) {
  SaverRig rig;
  EXPECT_THROW(rig.close.Form_KeyUp(kKeyA), ProcessEnded);
  // The waves stop in the unload; the carol ends with the process.
  EXPECT_EQ(rig.log, Concat({"ShowCursor(true)", "CloseDisplay", "ShowCursor(true)"},
                            kCloseDownCalls));
  EXPECT_TRUE(rig.close.closingByKey);
  EXPECT_TRUE(rig.close.keyCloseStarted);
}

TEST(SoundKeys, QStopsOnlyTheFireSoundAndSBringsItBack) {
  SaverRig rig;
  rig.close.KeyDown(kKeyQ);
  EXPECT_EQ(rig.log, (CallLog{"stopAllWaves", "stopWave(7)"}));
  EXPECT_EQ(rig.fire.soundOn, 0);
  EXPECT_TRUE(rig.ds.Playing().empty());
  EXPECT_FALSE(rig.snd.playing.empty()) << "Q leaves the carol playing";

  rig.close.KeyDown(kKeyQ);
  EXPECT_EQ(rig.fire.soundOn, 0);
  EXPECT_TRUE(rig.ds.Playing().empty());

  rig.log.clear();
  rig.close.KeyDown(kKeyS);
  EXPECT_EQ(rig.fire.soundOn, 1);
  const int32_t id = rig.fire.fireSoundId;
  EXPECT_NE(id, 7) << "S loads the file again";
  EXPECT_EQ(rig.ds.Playing(), (std::set<int32_t>{id}));
  EXPECT_EQ(rig.log, (CallLog{"stopWave(7)", "loadWave(/data/fire.wav)",
                              "startWave(" + std::to_string(id) + ")",
                              "setWaveVolume(" + std::to_string(id) + ",-1667)",
                              "setWaveMode(" + std::to_string(id) + ",0)"}));
  EXPECT_FALSE(rig.AnyClosingFlag());
  EXPECT_FALSE(rig.system.ended);
}

TEST(SoundKeys, SWhilePlayingRestartsWithOneCopyOnly) {
  SaverRig rig;
  rig.close.KeyDown(kKeyS);
  rig.close.KeyDown(kKeyS);
  EXPECT_EQ(rig.ds.Playing(), (std::set<int32_t>{rig.fire.fireSoundId}));
  EXPECT_FALSE(rig.AnyClosingFlag());
}

TEST(SoundKeys, SFollowsTheStoredSoundKeyNotTheFireplaceSwitch) {
  SaverRig rig;
  rig.store.Preset(kSectionSettings, "SoundOn", "0");
  rig.fire.soundOn = 0;
  rig.close.KeyDown(kKeyS);
  EXPECT_EQ(rig.fire.soundOn, 1);
  EXPECT_EQ(rig.ds.Playing().size(), 1u);

  // A "Sound" of 0 (written by nothing but a hand edit) loads it silent.
  SaverRig quiet;
  quiet.store.Preset(kSectionSettings, "Sound", "0");
  quiet.close.KeyDown(kKeyQ);
  quiet.close.KeyDown(kKeyS);
  EXPECT_EQ(quiet.fire.soundOn, 0);
  EXPECT_TRUE(quiet.ds.Playing().empty());
}

TEST(ClickClose, AClickRunsTheCloseRoadInOrder) {
  SaverRig rig;
  EXPECT_THROW(rig.close.MouseDown(), ProcessEnded);
  EXPECT_EQ(rig.log, Concat({"stopAllWaves", "stopWave(7)", "stopMidi", "ShowCursor(true)",
                             "CloseDisplay", "ShowCursor(true)"},
                            kCloseDownCalls));
  EXPECT_TRUE(rig.close.closingByMouseClick);
  EXPECT_TRUE(rig.close.clickCloseStarted);
  EXPECT_FALSE(rig.close.closingByKey);
}

// Moves the fake clock to `seconds` after the rig started and moves the mouse.
void MoveAt(SaverRig& rig, int64_t startMs, double seconds) {
  const int64_t target = startMs + std::llround(seconds * 1000);
  rig.clock.AdvanceMs(target - rig.clock.MonotonicMs());
  rig.MouseMove();
}

TEST(MovementClose, MovesBeforeTheMouseIsArmedAreNotCounted) {
  SaverRig rig;
  rig.close.mouseMoveLimit = 1;
  const int64_t start = rig.clock.MonotonicMs();
  for (int i = 0; i < 50; ++i) MoveAt(rig, start, i * 0.1);
  EXPECT_EQ(rig.close.moveCount, 0);
  EXPECT_FALSE(rig.close.moveWindowOpen);
  EXPECT_TRUE(rig.log.empty());
  EXPECT_FALSE(rig.AnyClosingFlag());
}

TEST(MovementClose, FourQuickMovesEndTheSaverInOrder) {
  SaverRig rig;
  rig.clocks.mouseArmed = true;
  const int64_t start = rig.clock.MonotonicMs();
  MoveAt(rig, start, 0.0);
  MoveAt(rig, start, 0.05);
  MoveAt(rig, start, 0.1);
  EXPECT_EQ(rig.close.moveCount, 3);
  EXPECT_TRUE(rig.log.empty());
  EXPECT_THROW(MoveAt(rig, start, 0.15), ProcessEnded);
  EXPECT_EQ(rig.log, Concat({"stopAllWaves", "stopWave(7)", "stopMidi", "stopAllWaves",
                             "ShowCursor(true)", "CloseDisplay", "ShowCursor(true)"},
                            kCloseDownCalls));
  EXPECT_TRUE(rig.close.closingByMouseMove);
  EXPECT_FALSE(rig.close.keyCloseStarted);
  EXPECT_FALSE(rig.close.clickCloseStarted);
}

TEST(MovementClose, TheMoveThatFindsTheWindowOldStillCounts) {
  // 0, 1, 2 and 11 s: the fourth is counted before the window is cleared.
  SaverRig rig;
  rig.clocks.mouseArmed = true;
  const int64_t start = rig.clock.MonotonicMs();
  MoveAt(rig, start, 0);
  MoveAt(rig, start, 1);
  MoveAt(rig, start, 2);
  EXPECT_THROW(MoveAt(rig, start, 11), ProcessEnded);
  EXPECT_TRUE(rig.close.closingByMouseMove);
}

TEST(MovementClose, AnOldWindowClearsTheCountAndTheNextMoveOpensANewOne) {
  // 0 and 11 s, then 12 and 13 s: 11 clears the count, 12 and 13 count 1, 2.
  SaverRig rig;
  rig.clocks.mouseArmed = true;
  const int64_t start = rig.clock.MonotonicMs();
  MoveAt(rig, start, 0);
  MoveAt(rig, start, 11);
  EXPECT_EQ(rig.close.moveCount, 0);
  EXPECT_FALSE(rig.close.moveWindowOpen);
  MoveAt(rig, start, 12);
  MoveAt(rig, start, 13);
  EXPECT_EQ(rig.close.moveCount, 2);
  EXPECT_TRUE(rig.close.moveWindowOpen);
  EXPECT_FALSE(rig.AnyClosingFlag());
  EXPECT_TRUE(rig.log.empty());
}

TEST(MovementClose, TenSecondsExactlyIsStillTheSameWindow) {
  SaverRig rig;
  rig.clocks.mouseArmed = true;
  const int64_t start = rig.clock.MonotonicMs();
  MoveAt(rig, start, 0);
  MoveAt(rig, start, 10);
  EXPECT_EQ(rig.close.moveCount, 2);
  MoveAt(rig, start, 10.001);
  EXPECT_EQ(rig.close.moveCount, 0);
}

TEST(MovementClose, AWindowOpenAcrossMidnightClosesLikeAnyOther) {
  SaverRig rig;
  rig.clock.SetLocalTime(2026, 12, 24, 23, 59, 55);
  rig.clocks.mouseArmed = true;
  rig.close.mouseMoveLimit = 5;
  const int64_t start = rig.clock.MonotonicMs();
  MoveAt(rig, start, 0);
  MoveAt(rig, start, 1);
  MoveAt(rig, start, 2);
  MoveAt(rig, start, 11);  // 00:00:06: counted as the fourth, then cleared
  EXPECT_EQ(rig.clock.Now().tm.tm_hour, 0);
  EXPECT_EQ(rig.close.moveCount, 0);
  MoveAt(rig, start, 12);
  EXPECT_EQ(rig.close.moveCount, 1);
  EXPECT_FALSE(rig.AnyClosingFlag());
}

TEST(MovementClose, ALimitOfOneEndsOnTheFirstCountedMove) {
  SaverRig rig;
  rig.close.mouseMoveLimit = 1;
  rig.MouseMove();
  EXPECT_EQ(rig.close.moveCount, 0);
  rig.clocks.mouseArmed = true;
  EXPECT_THROW(rig.MouseMove(), ProcessEnded);
  EXPECT_TRUE(rig.close.closingByMouseMove);
}

TEST(MovementClose, ALimitNoCountCanEqualNeverEndsTheSaver) {
  for (int16_t limit : {int16_t{0}, int16_t{-3}}) {
    SaverRig rig;
    rig.clocks.mouseArmed = true;
    rig.close.mouseMoveLimit = limit;
    for (int i = 0; i < 100; ++i) {
      rig.clock.AdvanceMs(20);
      rig.MouseMove();
    }
    EXPECT_FALSE(rig.AnyClosingFlag()) << limit;
    EXPECT_EQ(rig.close.moveCount, 100);
  }
}

TEST(Deactivation, WhileTheSaverRunsItEndsWithoutTheOtherPathsCalls) {
  SaverRig rig;
  EXPECT_THROW(rig.close.Deactivated(), ProcessEnded);
  // No sound stops and no CloseDisplay of its own; the unload stops the waves.
  EXPECT_EQ(rig.log, kCloseDownCalls);
}

TEST(Deactivation, DuringACloseItDoesNothing) {
  for (int which = 0; which < 3; ++which) {
    SaverRig rig;
    if (which == 0) rig.close.closingByKey = true;
    if (which == 1) rig.close.closingByMouseClick = true;
    if (which == 2) rig.close.closingByMouseMove = true;
    rig.close.Deactivated();
    EXPECT_TRUE(rig.log.empty()) << which;
    EXPECT_FALSE(rig.system.ended) << which;
  }
}

TEST(Deactivation, DuringThePowerHandoverItDoesNothing) {
  // The warning window taking the focus must not end the program.
  SaverRig rig;
  rig.power.pmHandover = true;
  rig.power.pmWarningShown = true;
  rig.close.Deactivated();
  EXPECT_TRUE(rig.log.empty());
}

TEST(WindowEvents, LostFocusOnlyShowsTheCursor) {
  SaverRig rig;
  rig.system.cursorShown = false;
  rig.close.Form_LostFocus();
  EXPECT_EQ(rig.log, (CallLog{"ShowCursor(true)"}));
  EXPECT_TRUE(rig.system.cursorShown);
  EXPECT_FALSE(rig.AnyClosingFlag());
}

TEST(WindowEvents, ARepaintEndsTheProcessOnlyDuringAKeyOrClickClose) {
  SaverRig running;
  running.close.Form_Paint();
  running.close.closingByMouseMove = true;
  running.close.Form_Paint();
  EXPECT_TRUE(running.log.empty());

  for (bool key : {true, false}) {
    SaverRig rig;
    (key ? rig.close.keyCloseStarted : rig.close.clickCloseStarted) = true;
    EXPECT_THROW(rig.close.Form_Paint(), ProcessEnded);
    EXPECT_EQ(rig.log, (CallLog{"EndProcess"}));
  }
}

TEST(WindowEvents, UnloadStopsTheWavesAndShowsTheCursor) {
  SaverRig rig;
  rig.close.Form_Unload();
  EXPECT_EQ(rig.log, (CallLog{"stopAllWaves", "ShowCursor(true)"}));
  EXPECT_TRUE(rig.ds.Playing().empty());
  EXPECT_FALSE(rig.system.ended);
}

TEST(CloseRoad, NothingRunsAfterTheProcessEnds) {
  SaverRig rig;
  EXPECT_THROW(rig.close.CloseDown(), ProcessEnded);
  EXPECT_EQ(rig.log.back(), "EndProcess");
  EXPECT_EQ(rig.host.warningsShown, 0);
}

}  // namespace
}  // namespace emberlrn
