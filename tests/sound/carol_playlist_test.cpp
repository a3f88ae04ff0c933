// The carol playlist with a recording MIDI control: which carols play, in
// which order, and when, tick by tick of the carol clock.

#include "sound/carol_playlist.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "fakes/fake_sound.h"
#include "sound/fire_sound.h"

namespace emberlrn {
namespace {

using Carols = std::vector<int>;

class CarolPlaylistTest : public ::testing::Test {
 protected:
  CarolPlaylistTest() {
    carols.installFolder = "/data/";
    carols.musicOn = true;
  }

  void Select(std::initializer_list<int> list, int16_t value = 1) {
    for (int carol : list) carols.carolChecked.at(carol) = value;
  }
  void StartUp() { carols.MidiSounds(); }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) carols.CarolTick();
  }
  // The carol numbers asked for so far, in order.
  Carols Played() const {
    Carols carols;
    for (const std::string& path : snd.played) {
      const std::string name = path.substr(std::string("/data/midi").size());
      carols.push_back(std::stoi(name));
    }
    return carols;
  }

  FakeTegoSnd snd;
  CarolPlaylist carols{snd};
};

TEST_F(CarolPlaylistTest, CarolFilesAreNamedAfterTheirNumberInTheInstallFolder) {
  EXPECT_EQ(carols.CarolPath(7), "/data/midi7.mid");
  EXPECT_EQ(carols.CarolPath(24), "/data/midi24.mid");
}

TEST_F(CarolPlaylistTest, CarolsOneAndThreeAlternateFromTheStart) {
  Select({1, 3});
  StartUp();
  EXPECT_EQ(snd.calls, (std::vector<std::string>{"playMidiFile(/data/midi1.mid,0,-1)"}));
  Ticks(40);
  EXPECT_EQ(Played(), (Carols{1, 3, 1, 3, 1, 3, 1, 3, 1, 3, 1}));
}

TEST_F(CarolPlaylistTest, TheNextCarolStartsOnTheFirstTickThatFindsTheLastOneEnded) {
  Select({1, 3});
  snd.pollsPerCarol = 2;
  StartUp();
  snd.calls.clear();
  Ticks(3);
  EXPECT_EQ(snd.calls, (std::vector<std::string>{"isMidiPlaying", "isMidiPlaying",
                                                 "isMidiPlaying",
                                                 "playMidiFile(/data/midi3.mid,0,-1)"}));
  EXPECT_EQ(carols.currentCarol, 3);
}

TEST_F(CarolPlaylistTest, CarolsTwoAndFiveBeginWithFiveAboutASecondAfterTheStart) {
  Select({2, 5});
  StartUp();
  EXPECT_TRUE(snd.calls.empty());
  EXPECT_EQ(carols.currentCarol, 2);
  Ticks(1);
  EXPECT_EQ(Played(), (Carols{5}));
  Ticks(40);
  EXPECT_EQ(Played(), (Carols{5, 2, 5, 2, 5, 2, 5, 2, 5, 2, 5}));
}

TEST_F(CarolPlaylistTest, OnlyCarolTwentyFourRepeatsFromTheFirstTick) {
  Select({24});
  StartUp();
  EXPECT_TRUE(snd.calls.empty());
  Ticks(1);
  EXPECT_EQ(Played(), (Carols{24}));
  Ticks(12);
  EXPECT_EQ(Played(), (Carols{24, 24, 24, 24}));
}

TEST_F(CarolPlaylistTest, AStartUpSelectedCarolOneStaysCurrentWhileItPlays) {
  Select({1, 2});
  StartUp();
  EXPECT_EQ(carols.currentCarol, 1);
  carols.MidiSoundsCheckedNext();
  EXPECT_EQ(carols.currentCarol, 1);
  Ticks(40);
  EXPECT_EQ(Played(), (Carols{1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1}));
}

TEST_F(CarolPlaylistTest, MusicOffCallsNothingWhateverIsSelected) {
  carols.musicOn = false;
  for (int carol = 1; carol <= kCarolCount; ++carol) carols.carolChecked.at(carol) = 1;
  StartUp();
  Ticks(100);
  EXPECT_TRUE(snd.calls.empty());
  EXPECT_EQ(carols.currentCarol, 1);
}

TEST_F(CarolPlaylistTest, WithNothingSelectedTheSearchEndsAndNothingPlays) {
  StartUp();
  Ticks(100);
  EXPECT_TRUE(snd.played.empty());
  EXPECT_EQ(snd.calls.size(), 100u);  // one "is anything playing?" per tick
  EXPECT_GE(carols.currentCarol, 1);
  EXPECT_LE(carols.currentCarol, kCarolCount);
}

TEST_F(CarolPlaylistTest, AnEntryThatIsNeitherZeroNorOneEndsTheSearchButNeverPlays) {
  Select({3}, 2);
  Select({5});
  StartUp();
  Ticks(1);
  EXPECT_TRUE(snd.played.empty());
  EXPECT_EQ(carols.currentCarol, 3);
  // Each round rests one tick on carol 3: three polls of carol 5 playing,
  // the tick that finds it ended and stops on 3, then the tick that plays 5.
  Ticks(40);
  EXPECT_EQ(Played(), (Carols{5, 5, 5, 5, 5, 5, 5, 5}));

  FakeTegoSnd quiet;
  CarolPlaylist onlyOdd(quiet);
  onlyOdd.musicOn = true;
  onlyOdd.carolChecked.at(9) = -1;
  onlyOdd.MidiSounds();
  for (int i = 0; i < 100; ++i) onlyOdd.CarolTick();
  EXPECT_TRUE(quiet.played.empty());
}

TEST_F(CarolPlaylistTest, ACarolThatCannotStartIsPassedOnTheNextTick) {
  Select({1, 3, 4});
  snd.unplayable.insert("/data/midi3.mid");
  StartUp();
  Ticks(4);  // three polls while carol 1 plays, then it ends
  EXPECT_EQ(Played(), (Carols{1, 3}));
  Ticks(1);
  EXPECT_EQ(Played(), (Carols{1, 3, 4}));
  EXPECT_EQ(snd.playing, "/data/midi4.mid");
}

TEST_F(CarolPlaylistTest, QAndTheSoundOffTimeLeaveACarolPlaying) {
  Select({1, 3});
  snd.pollsPerCarol = 100;
  FakeTegoDS ds;
  FireSound fire(ds);
  fire.soundOn = true;
  fire.soundOffSetting = "1";
  fire.SoundOff();
  fire.OpenDirectSoundSession();
  StartUp();

  // Q: stop all waves, stop the fire, soundOn 0.
  ds.stopAllWaves();
  ds.stopWave(fire.fireSoundId);
  fire.soundOn = false;
  for (int second = 0; second < 61; ++second) {
    fire.SoundOffTick();
    carols.CarolTick();
  }
  EXPECT_TRUE(ds.Playing().empty());
  EXPECT_EQ(snd.playing, "/data/midi1.mid");
  EXPECT_EQ(Played(), (Carols{1}));
  for (const std::string& call : snd.calls) EXPECT_NE(call, "stopMidi");
}

}  // namespace
}  // namespace emberlrn
