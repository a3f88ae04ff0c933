// The saver window's input: the sound keys, the closes by key, click and
// movement, the sensitivity rule, and the one road out.

#include "input_exit/input_exit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "recording_controls.h"

namespace emberlrn {
namespace {

using testing::CallLog;
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
  EXPECT_THROW(KeyDown(rig.state, rig.controls, rig.host, kKeyA), ProcessEnded);
  EXPECT_EQ(rig.log, Concat({"stopAllWaves", "stopWave(7)", "stopMidi", "ShowCursor(true)",
                             "CloseDisplay", "ShowCursor(true)"},
                            kCloseDownCalls));
  EXPECT_TRUE(rig.state.closingByKey);
  EXPECT_TRUE(rig.state.keyCloseStarted);
  EXPECT_FALSE(rig.state.closingByMouseClick);
  EXPECT_FALSE(rig.system.ScreenSaverRunning());
  EXPECT_TRUE(rig.system.fake.cursorShown);
  EXPECT_TRUE(rig.ds.playing.empty());
  EXPECT_FALSE(rig.snd.midiPlaying);
}

TEST(KeyClose, EscapeShiftAndUnknownKeysEndTheSaverOnKeyDown) {
  for (int16_t key : {kKeyEscape, kKeyShift, kKeySpace, int16_t{0}, int16_t{112}}) {
    SaverRig rig;
    EXPECT_THROW(KeyDown(rig.state, rig.controls, rig.host, key), ProcessEnded) << key;
    EXPECT_TRUE(rig.state.closingByKey) << key;
  }
}

TEST(KeyClose, SpaceEndsThroughKeyDownButIsIgnoredOnKeyUp) {
  SaverRig up;
  Form_KeyUp(up.state, up.controls, up.host, kKeySpace);
  EXPECT_TRUE(up.log.empty());
  EXPECT_FALSE(up.AnyClosingFlag());

  SaverRig down;
  EXPECT_THROW(KeyDown(down.state, down.controls, down.host, kKeySpace), ProcessEnded);
  EXPECT_TRUE(down.state.closingByKey);
}

TEST(KeyClose, KeyUpOfTheSoundKeysChangesNothing) {
  SaverRig rig;
  Form_KeyUp(rig.state, rig.controls, rig.host, kKeyS);
  Form_KeyUp(rig.state, rig.controls, rig.host, kKeyQ);
  EXPECT_TRUE(rig.log.empty());
  EXPECT_FALSE(rig.AnyClosingFlag());
  EXPECT_EQ(rig.state.soundOn, 1);
}

TEST(KeyClose, KeyUpOfAnotherKeyClosesWithoutSoundCallsOfItsOwn) {
  SaverRig rig;
  EXPECT_THROW(Form_KeyUp(rig.state, rig.controls, rig.host, kKeyA), ProcessEnded);
  // The waves stop in the unload; the carol ends with the process.
  EXPECT_EQ(rig.log, Concat({"ShowCursor(true)", "CloseDisplay", "ShowCursor(true)"},
                            kCloseDownCalls));
  EXPECT_TRUE(rig.state.closingByKey);
  EXPECT_TRUE(rig.state.keyCloseStarted);
}

TEST(SoundKeys, QStopsOnlyTheFireSoundAndSBringsItBack) {
  SaverRig rig;
  KeyDown(rig.state, rig.controls, rig.host, kKeyQ);
  EXPECT_EQ(rig.log, (CallLog{"stopAllWaves", "stopWave(7)"}));
  EXPECT_EQ(rig.state.soundOn, 0);
  EXPECT_TRUE(rig.ds.playing.empty());
  EXPECT_TRUE(rig.snd.midiPlaying) << "Q leaves the carol playing";

  KeyDown(rig.state, rig.controls, rig.host, kKeyQ);
  EXPECT_EQ(rig.state.soundOn, 0);
  EXPECT_TRUE(rig.ds.playing.empty());

  rig.log.clear();
  KeyDown(rig.state, rig.controls, rig.host, kKeyS);
  EXPECT_EQ(rig.state.soundOn, 1);
  const int32_t id = rig.state.fireSoundId;
  EXPECT_NE(id, 7) << "S loads the file again";
  EXPECT_EQ(rig.ds.playing, (std::set<int32_t>{id}));
  EXPECT_EQ(rig.log, (CallLog{"stopWave(7)", "loadWave(/data/fire.wav)",
                              "startWave(" + std::to_string(id) + ")",
                              "setWaveVolume(" + std::to_string(id) + ",-1667)",
                              "setWaveMode(" + std::to_string(id) + ",0)"}));
  EXPECT_FALSE(rig.AnyClosingFlag());
  EXPECT_FALSE(rig.system.fake.ended);
}

TEST(SoundKeys, SWhilePlayingRestartsWithOneCopyOnly) {
  SaverRig rig;
  KeyDown(rig.state, rig.controls, rig.host, kKeyS);
  KeyDown(rig.state, rig.controls, rig.host, kKeyS);
  EXPECT_EQ(rig.ds.playing, (std::set<int32_t>{rig.state.fireSoundId}));
  EXPECT_FALSE(rig.AnyClosingFlag());
}

TEST(SoundKeys, SFollowsTheStoredSoundKeyNotTheFireplaceSwitch) {
  SaverRig rig;
  rig.store.Preset(kSectionSettings, "SoundOn", "0");
  rig.state.soundOn = 0;
  KeyDown(rig.state, rig.controls, rig.host, kKeyS);
  EXPECT_EQ(rig.state.soundOn, 1);
  EXPECT_EQ(rig.ds.playing.size(), 1u);

  // A "Sound" of 0 (written by nothing but a hand edit) loads it silent.
  SaverRig quiet;
  quiet.store.Preset(kSectionSettings, "Sound", "0");
  KeyDown(quiet.state, quiet.controls, quiet.host, kKeyQ);
  KeyDown(quiet.state, quiet.controls, quiet.host, kKeyS);
  EXPECT_EQ(quiet.state.soundOn, 0);
  EXPECT_TRUE(quiet.ds.playing.empty());
}

TEST(ClickClose, AClickRunsTheCloseRoadInOrder) {
  SaverRig rig;
  EXPECT_THROW(MouseDown(rig.state, rig.controls, rig.host), ProcessEnded);
  EXPECT_EQ(rig.log, Concat({"stopAllWaves", "stopWave(7)", "stopMidi", "ShowCursor(true)",
                             "CloseDisplay", "ShowCursor(true)"},
                            kCloseDownCalls));
  EXPECT_TRUE(rig.state.closingByMouseClick);
  EXPECT_TRUE(rig.state.clickCloseStarted);
  EXPECT_FALSE(rig.state.closingByKey);
}

// Moves the fake clock to `seconds` after the rig started and moves the mouse.
void MoveAt(SaverRig& rig, int64_t startMs, double seconds) {
  const int64_t target = startMs + std::llround(seconds * 1000);
  rig.clock.AdvanceMs(target - rig.clock.MonotonicMs());
  MouseMove(rig.state, rig.controls, rig.host);
}

TEST(MovementClose, MovesBeforeTheMouseIsArmedAreNotCounted) {
  SaverRig rig;
  rig.state.mouseMoveLimit = 1;
  const int64_t start = rig.clock.MonotonicMs();
  for (int i = 0; i < 50; ++i) MoveAt(rig, start, i * 0.1);
  EXPECT_EQ(rig.state.moveCount, 0);
  EXPECT_FALSE(rig.state.moveWindowOpen);
  EXPECT_TRUE(rig.log.empty());
  EXPECT_FALSE(rig.AnyClosingFlag());
}

TEST(MovementClose, FourQuickMovesEndTheSaverInOrder) {
  SaverRig rig;
  rig.state.mouseArmed = true;
  const int64_t start = rig.clock.MonotonicMs();
  MoveAt(rig, start, 0.0);
  MoveAt(rig, start, 0.05);
  MoveAt(rig, start, 0.1);
  EXPECT_EQ(rig.state.moveCount, 3);
  EXPECT_TRUE(rig.log.empty());
  EXPECT_THROW(MoveAt(rig, start, 0.15), ProcessEnded);
  EXPECT_EQ(rig.log, Concat({"stopAllWaves", "stopWave(7)", "stopMidi", "stopAllWaves",
                             "ShowCursor(true)", "CloseDisplay", "ShowCursor(true)"},
                            kCloseDownCalls));
  EXPECT_TRUE(rig.state.closingByMouseMove);
  EXPECT_FALSE(rig.state.keyCloseStarted);
  EXPECT_FALSE(rig.state.clickCloseStarted);
}

TEST(MovementClose, TheMoveThatFindsTheWindowOldStillCounts) {
  // 0, 1, 2 and 11 s: the fourth is counted before the window is cleared.
  SaverRig rig;
  rig.state.mouseArmed = true;
  const int64_t start = rig.clock.MonotonicMs();
  MoveAt(rig, start, 0);
  MoveAt(rig, start, 1);
  MoveAt(rig, start, 2);
  EXPECT_THROW(MoveAt(rig, start, 11), ProcessEnded);
  EXPECT_TRUE(rig.state.closingByMouseMove);
}

TEST(MovementClose, AnOldWindowClearsTheCountAndTheNextMoveOpensANewOne) {
  // 0 and 11 s, then 12 and 13 s: 11 clears the count, 12 and 13 count 1, 2.
  SaverRig rig;
  rig.state.mouseArmed = true;
  const int64_t start = rig.clock.MonotonicMs();
  MoveAt(rig, start, 0);
  MoveAt(rig, start, 11);
  EXPECT_EQ(rig.state.moveCount, 0);
  EXPECT_FALSE(rig.state.moveWindowOpen);
  MoveAt(rig, start, 12);
  MoveAt(rig, start, 13);
  EXPECT_EQ(rig.state.moveCount, 2);
  EXPECT_TRUE(rig.state.moveWindowOpen);
  EXPECT_FALSE(rig.AnyClosingFlag());
  EXPECT_TRUE(rig.log.empty());
}

TEST(MovementClose, TenSecondsExactlyIsStillTheSameWindow) {
  SaverRig rig;
  rig.state.mouseArmed = true;
  const int64_t start = rig.clock.MonotonicMs();
  MoveAt(rig, start, 0);
  MoveAt(rig, start, 10);
  EXPECT_EQ(rig.state.moveCount, 2);
  MoveAt(rig, start, 10.001);
  EXPECT_EQ(rig.state.moveCount, 0);
}

TEST(MovementClose, AWindowOpenAcrossMidnightClosesLikeAnyOther) {
  SaverRig rig;
  rig.clock.SetLocalTime(2026, 12, 24, 23, 59, 55);
  rig.state.mouseArmed = true;
  rig.state.mouseMoveLimit = 5;
  const int64_t start = rig.clock.MonotonicMs();
  MoveAt(rig, start, 0);
  MoveAt(rig, start, 1);
  MoveAt(rig, start, 2);
  MoveAt(rig, start, 11);  // 00:00:06: counted as the fourth, then cleared
  EXPECT_EQ(rig.clock.Now().tm.tm_hour, 0);
  EXPECT_EQ(rig.state.moveCount, 0);
  MoveAt(rig, start, 12);
  EXPECT_EQ(rig.state.moveCount, 1);
  EXPECT_FALSE(rig.AnyClosingFlag());
}

TEST(MovementClose, ALimitOfOneEndsOnTheFirstCountedMove) {
  SaverRig rig;
  rig.state.mouseMoveLimit = 1;
  MouseMove(rig.state, rig.controls, rig.host);
  EXPECT_EQ(rig.state.moveCount, 0);
  rig.state.mouseArmed = true;
  EXPECT_THROW(MouseMove(rig.state, rig.controls, rig.host), ProcessEnded);
  EXPECT_TRUE(rig.state.closingByMouseMove);
}

TEST(MovementClose, ALimitNoCountCanEqualNeverEndsTheSaver) {
  for (int16_t limit : {int16_t{0}, int16_t{-3}}) {
    SaverRig rig;
    rig.state.mouseArmed = true;
    rig.state.mouseMoveLimit = limit;
    for (int i = 0; i < 100; ++i) {
      rig.clock.AdvanceMs(20);
      MouseMove(rig.state, rig.controls, rig.host);
    }
    EXPECT_FALSE(rig.AnyClosingFlag()) << limit;
    EXPECT_EQ(rig.state.moveCount, 100);
  }
}

TEST(Deactivation, WhileTheSaverRunsItEndsWithoutTheOtherPathsCalls) {
  SaverRig rig;
  EXPECT_THROW(Deactivated(rig.state, rig.controls), ProcessEnded);
  // No sound stops and no CloseDisplay of its own; the unload stops the waves.
  EXPECT_EQ(rig.log, kCloseDownCalls);
}

TEST(Deactivation, DuringACloseItDoesNothing) {
  for (int which = 0; which < 3; ++which) {
    SaverRig rig;
    if (which == 0) rig.state.closingByKey = true;
    if (which == 1) rig.state.closingByMouseClick = true;
    if (which == 2) rig.state.closingByMouseMove = true;
    Deactivated(rig.state, rig.controls);
    EXPECT_TRUE(rig.log.empty()) << which;
    EXPECT_FALSE(rig.system.fake.ended) << which;
  }
}

TEST(Deactivation, DuringThePowerHandoverItDoesNothing) {
  // The warning window taking the focus must not end the program.
  SaverRig rig;
  rig.state.pmHandover = true;
  rig.state.pmWarningShown = true;
  Deactivated(rig.state, rig.controls);
  EXPECT_TRUE(rig.log.empty());
}

TEST(WindowEvents, LostFocusOnlyShowsTheCursor) {
  SaverRig rig;
  rig.system.fake.cursorShown = false;
  Form_LostFocus(rig.state, rig.controls);
  EXPECT_EQ(rig.log, (CallLog{"ShowCursor(true)"}));
  EXPECT_TRUE(rig.system.fake.cursorShown);
  EXPECT_FALSE(rig.AnyClosingFlag());
}

TEST(WindowEvents, ARepaintEndsTheProcessOnlyDuringAKeyOrClickClose) {
  SaverRig running;
  Form_Paint(running.state, running.controls);
  running.state.closingByMouseMove = true;
  Form_Paint(running.state, running.controls);
  EXPECT_TRUE(running.log.empty());

  for (bool key : {true, false}) {
    SaverRig rig;
    (key ? rig.state.keyCloseStarted : rig.state.clickCloseStarted) = true;
    EXPECT_THROW(Form_Paint(rig.state, rig.controls), ProcessEnded);
    EXPECT_EQ(rig.log, (CallLog{"EndProcess"}));
  }
}

TEST(WindowEvents, UnloadStopsTheWavesAndShowsTheCursor) {
  SaverRig rig;
  Form_Unload(rig.state, rig.controls);
  EXPECT_EQ(rig.log, (CallLog{"stopAllWaves", "ShowCursor(true)"}));
  EXPECT_TRUE(rig.ds.playing.empty());
  EXPECT_FALSE(rig.system.fake.ended);
}

TEST(CloseRoad, NothingRunsAfterTheProcessEnds) {
  SaverRig rig;
  EXPECT_THROW(CloseDown(rig.state, rig.controls), ProcessEnded);
  EXPECT_EQ(rig.log.back(), "EndProcess");
  EXPECT_EQ(rig.host.warningsShown, 0);
}

}  // namespace
}  // namespace emberlrn
