// The SDL2_mixer sound controls on the disk audio driver: the device writes
// everything it plays into a file, faster than real time, and the tests read
// that file back to hear what a listener would have heard.

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/sdl/sdl_sound_device.h"
#include "platform/sdl/sdl_tego_ds.h"
#include "platform/sdl/sdl_tego_snd.h"
#include "sound/carol_playlist.h"
#include "sound/fire_sound.h"
#include "sound_files.h"
#include "start/saver_state.h"

namespace emberlrn {
namespace {

namespace fs = std::filesystem;
using namespace testing_sound;

// The longest any wait may take in real time; the disk driver is far faster.
constexpr auto kPatience = std::chrono::seconds(60);
// Below this (about -60 dBFS) a stretch of output counts as silence.
constexpr double kSilenceDbfs = -60.0;

double Dbfs(double rms) { return rms <= 0.0 ? -200.0 : 20.0 * std::log10(rms / 32768.0); }

class SdlSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("emberlrn-sound-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    output_ = (dir_ / "output.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
  }
  void TearDown() override {
    device.Close();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  void OpenDevice() {
    ASSERT_TRUE(device.Open());
    int format = 0;
    ASSERT_EQ(Mix_QuerySpec(&rate_, reinterpret_cast<Uint16*>(&format), &channels_), 1);
    ASSERT_EQ(format, AUDIO_S16SYS);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // Seconds of sound written so far.
  double Now() const {
    std::error_code error;
    const auto bytes = fs::file_size(output_, error);
    return error ? 0.0 : static_cast<double>(bytes) / BytesPerSecond();
  }
  double BytesPerSecond() const { return static_cast<double>(rate_) * channels_ * 2; }
  // Waits until the output holds the given seconds of sound.
  void WaitUntil(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (Now() < seconds) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "no sound output";
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  void WaitFor(double seconds) { WaitUntil(Now() + seconds); }

  std::vector<int16_t> Samples(double from, double to) const {
    std::ifstream file(output_, std::ios::binary);
    const auto frameBytes = static_cast<std::streamoff>(channels_ * 2);
    const auto first = static_cast<std::streamoff>(from * rate_) * frameBytes;
    const auto last = static_cast<std::streamoff>(to * rate_) * frameBytes;
    std::vector<int16_t> samples(static_cast<size_t>((last - first) / 2));
    file.seekg(first);
    file.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
    samples.resize(static_cast<size_t>(file.gcount() / 2));
    return samples;
  }
  // The level of the output between two moments, in dB below full scale.
  double LevelDbfs(double from, double to) const {
    const std::vector<int16_t> samples = Samples(from, to);
    if (samples.empty()) return -200.0;
    double sum = 0.0;
    for (int16_t s : samples) sum += static_cast<double>(s) * s;
    return Dbfs(std::sqrt(sum / samples.size()));
  }
  // The first moment after `from` where the output rises above the level.
  double FirstSoundAfter(double from, double to, double dbfs = -40.0) const {
    const std::vector<int16_t> samples = Samples(from, to);
    const double threshold = 32768.0 * std::pow(10.0, dbfs / 20.0);
    for (size_t i = 0; i < samples.size(); ++i) {
      if (std::abs(static_cast<double>(samples[i])) > threshold) {
        return from + static_cast<double>(i / channels_) / rate_;
      }
    }
    return -1.0;
  }
  // The last moment before `to` where the output is above the level.
  double LastSoundBefore(double from, double to, double dbfs = -40.0) const {
    const std::vector<int16_t> samples = Samples(from, to);
    const double threshold = 32768.0 * std::pow(10.0, dbfs / 20.0);
    for (size_t i = samples.size(); i-- > 0;) {
      if (std::abs(static_cast<double>(samples[i])) > threshold) {
        return from + static_cast<double>(i / channels_) / rate_;
      }
    }
    return -1.0;
  }
  std::string ErrorLines(const std::function<void()>& action) {
    ::testing::internal::CaptureStderr();
    action();
    return ::testing::internal::GetCapturedStderr();
  }
  static int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }

  SdlSoundDevice device;
  int rate_ = 0;
  int channels_ = 0;
  fs::path dir_;
  std::string output_;
};

// The three start calls, as the saver makes them.
void StartLooped(TegoDS& ds, int32_t id, int32_t volume) {
  ds.startWave(id);
  ds.setWaveVolume(id, volume);
  ds.setWaveMode(id, 0);
}

TEST_F(SdlSoundTest, TheFireSoundGoesOnPastTheEndOfItsFile) {
  OpenDevice();
  SdlTegoDS ds(device);
  WriteToneWav(Path("fire.wav"), 0.25, 0.25);
  const int32_t id = ds.loadWave(Path("fire.wav"));
  const double started = Now();
  StartLooped(ds, id, 0);
  WaitUntil(started + 3.0);
  // A 0.25 s file heard for ten times its length, at an even level throughout.
  for (double at = started + 0.1; at < started + 2.6; at += 0.25) {
    EXPECT_NEAR(LevelDbfs(at, at + 0.25), -9.0, 0.5) << "at " << at - started << " s";
  }
}

TEST_F(SdlSoundTest, TheSoftestVolumeIsAboutTwentyFiveDecibelsBelowTheLoudest) {
  OpenDevice();
  SdlTegoDS ds(device);
  WriteToneWav(Path("tone.wav"), 1.0, 1.0);
  const int32_t id = ds.loadWave(Path("tone.wav"));
  double at = Now();
  StartLooped(ds, id, 0);
  WaitUntil(at + 1.2);
  const double loudest = LevelDbfs(at + 0.1, at + 1.1);
  at = Now();
  ds.setWaveVolume(id, -1667);
  WaitUntil(at + 1.2);
  const double firstRun = LevelDbfs(at + 0.1, at + 1.1);
  at = Now();
  ds.setWaveVolume(id, -2500);
  WaitUntil(at + 1.2);
  const double softest = LevelDbfs(at + 0.1, at + 1.1);
  std::cout << "tone at 0: " << loudest << " dBFS, at -1667: " << firstRun
            << " dBFS, at -2500: " << softest << " dBFS\n";
  EXPECT_NEAR(loudest, -9.0, 0.5);
  EXPECT_NEAR(loudest - firstRun, 16.67, 1.0);
  EXPECT_NEAR(loudest - softest, 25.0, 1.0);
}

TEST_F(SdlSoundTest, TheInstalledFireSoundAtTheLoudestAndSoftestVolumes) {
  const char* data = std::getenv("EMBERLRN_DATA_DIR");
  const std::string fire = std::string(data ? data : "") + "fire.wav";
  if (!fs::exists(fire)) GTEST_SKIP() << "no installed fire.wav yet";
  OpenDevice();
  SdlTegoDS ds(device);
  const int32_t loud = ds.loadWave(fire);
  double at = Now();
  StartLooped(ds, loud, 0);
  WaitUntil(at + 20.5);
  const double loudest = LevelDbfs(at + 0.1, at + 20.1);
  ds.stopWave(loud);
  const int32_t soft = ds.loadWave(fire);
  at = Now();
  StartLooped(ds, soft, -2500);
  WaitUntil(at + 20.5);
  const double softest = LevelDbfs(at + 0.1, at + 20.1);
  std::cout << "fire.wav at 0: " << loudest << " dBFS, at -2500: " << softest << " dBFS\n";
  EXPECT_GT(loudest, -40.0);
  EXPECT_NEAR(loudest - softest, 25.0, 1.0);
}

TEST_F(SdlSoundTest, AStopLeavesSilenceAndAStopOfNoWaveChangesNothing) {
  OpenDevice();
  SdlTegoDS ds(device);
  WriteToneWav(Path("tone.wav"), 0.5, 0.5);
  const int32_t id = ds.loadWave(Path("tone.wav"));
  StartLooped(ds, id, 0);
  ds.stopWave(0);
  ds.stopWave(id + 100);
  double at = Now();
  WaitUntil(at + 1.0);
  EXPECT_NEAR(LevelDbfs(at + 0.1, at + 1.0), -9.0, 0.5);

  ds.stopWave(id);
  at = Now();
  WaitUntil(at + 1.0);
  EXPECT_LT(LevelDbfs(at + 0.1, at + 1.0), -150.0);
  ds.stopWave(id);  // already stopped: harmless

  StartLooped(ds, id, 0);
  ds.stopAllWaves();
  at = Now();
  WaitUntil(at + 1.0);
  EXPECT_LT(LevelDbfs(at + 0.1, at + 1.0), -150.0);
}

TEST_F(SdlSoundTest, ReopeningRestartsTheFireFromItsBeginningWithOneCopy) {
  OpenDevice();
  SdlTegoDS ds(device);
  // Half a second of tone, then a second and a half of silence.
  WriteToneWav(Path("fire.wav"), 0.5, 2.0);
  SaverState state;
  state.installFolder = dir_.string() + "/";
  state.soundOn = 1;
  state.soundVolume = 0;
  OpenDirectSoundSession(state, ds);
  double at = Now();
  WaitUntil(at + 1.0);  // well inside the silent part
  EXPECT_LT(LevelDbfs(at + 0.7, at + 1.0), -150.0);

  OpenDirectSoundSession(state, ds);  // what S does
  at = Now();
  WaitUntil(at + 0.6);
  EXPECT_NEAR(LevelDbfs(at + 0.1, at + 0.4), -9.0, 0.5);  // one copy, from the start
  EXPECT_EQ(Mix_Playing(-1), 1);
}

TEST_F(SdlSoundTest, AMissingFireSoundIsToldOnceAndStaysSilent) {
  OpenDevice();
  SdlTegoDS ds(device);
  SaverState state;
  state.installFolder = dir_.string() + "/";
  state.soundOn = 1;
  const std::string first = ErrorLines([&] { OpenDirectSoundSession(state, ds); });
  EXPECT_EQ(Lines(first), 1);
  EXPECT_NE(first.find("fire.wav"), std::string::npos);
  EXPECT_NE(state.fireSoundId, 0);
  EXPECT_EQ(ErrorLines([&] { OpenDirectSoundSession(state, ds); }), "");
  const double at = Now();
  WaitUntil(at + 0.5);
  EXPECT_LT(LevelDbfs(at, at + 0.5), -150.0);
}

TEST_F(SdlSoundTest, AGarbledFireSoundIsToldOnceAndStaysSilent) {
  OpenDevice();
  SdlTegoDS ds(device);
  WriteFile(Path("fire.wav"), "RIFF....WAVEjunk and nothing else");
  int32_t id = 0;
  const std::string told = ErrorLines([&] {
    id = ds.loadWave(Path("fire.wav"));
    StartLooped(ds, id, 0);
  });
  EXPECT_EQ(Lines(told), 1);
  EXPECT_NE(id, 0);
  ds.stopWave(id);
}

TEST_F(SdlSoundTest, ACarolPlaysAndEndsAFewSecondsAfterItsLastNote) {
  OpenDevice();
  SdlTegoSnd snd(device);
  WriteTuneMidi(Path("midi1.mid"), {60, 64, 67, 72});  // one second of notes
  snd.playMidiFile(Path("midi1.mid"), 0, -1);
  // Loading the soundfont takes a while, in which the device writes ahead.
  const double started = Now();
  ASSERT_TRUE(snd.isMidiPlaying());
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (snd.isMidiPlaying()) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the carol never ended";
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const double ended = Now();
  WaitUntil(ended + 0.5);
  const double firstNote = FirstSoundAfter(started, ended);
  const double lastSound = LastSoundBefore(started, ended);
  std::cout << "carol: first note " << firstNote - started << " s, last sound "
            << lastSound - started << " s, ended " << ended - started << " s after its start\n";
  ASSERT_GE(firstNote, 0.0);
  EXPECT_LT(firstNote - started, 0.2);
  EXPECT_GT(LevelDbfs(started, started + 1.0), -40.0);
  EXPECT_GT(ended - started, 1.0);
  EXPECT_LT(ended - started, 8.0);
  EXPECT_LT(LevelDbfs(ended + 0.1, ended + 0.5), kSilenceDbfs);
}

TEST_F(SdlSoundTest, StopMidiSilencesTheCarol) {
  OpenDevice();
  SdlTegoSnd snd(device);
  WriteTuneMidi(Path("midi1.mid"), std::vector<int>(40, 67));  // ten seconds
  snd.playMidiFile(Path("midi1.mid"), 0, -1);
  WaitFor(1.0);
  snd.stopMidi();
  EXPECT_FALSE(snd.isMidiPlaying());
  const double at = Now();
  WaitUntil(at + 1.0);
  EXPECT_LT(LevelDbfs(at + 0.1, at + 1.0), -150.0);
}

TEST_F(SdlSoundTest, StoppingEveryWaveLeavesTheCarolPlaying) {
  OpenDevice();
  SdlTegoDS ds(device);
  SdlTegoSnd snd(device);
  WriteToneWav(Path("fire.wav"), 0.5, 0.5);
  WriteTuneMidi(Path("midi1.mid"), std::vector<int>(40, 67));
  const int32_t id = ds.loadWave(Path("fire.wav"));
  StartLooped(ds, id, 0);
  snd.playMidiFile(Path("midi1.mid"), 0, -1);
  WaitFor(0.5);
  // The Q key's calls.
  ds.stopAllWaves();
  ds.stopWave(id);
  const double at = Now();
  WaitUntil(at + 1.5);
  EXPECT_TRUE(snd.isMidiPlaying());
  EXPECT_GT(LevelDbfs(at + 0.1, at + 1.5), -40.0);
  EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(SdlSoundTest, MissingAndBrokenCarolsAreToldOnceEachAndNeverPlay) {
  OpenDevice();
  SdlTegoSnd snd(device);
  WriteFile(Path("midi2.mid"), "MThd this is no tune at all");
  WriteFile(Path("midi3.mid"), "");
  for (const char* name : {"midi1.mid", "midi2.mid", "midi3.mid"}) {
    const std::string first = ErrorLines([&] { snd.playMidiFile(Path(name), 0, -1); });
    EXPECT_FALSE(snd.isMidiPlaying()) << name;
    EXPECT_EQ(Lines(first), 1) << name << ": " << first;
    EXPECT_NE(first.find(name), std::string::npos) << first;
    const std::string again = ErrorLines([&] { snd.playMidiFile(Path(name), 0, -1); });
    EXPECT_FALSE(snd.isMidiPlaying()) << name;
    EXPECT_EQ(again, "") << name;
  }
}

TEST_F(SdlSoundTest, WithoutASoundfontTheCarolsStaySilentAndSaySoOnce) {
  OpenDevice();
  SdlTegoSnd snd(device, Path("no-such.sf2"));
  WriteTuneMidi(Path("midi1.mid"), {60, 64, 67});
  const std::string first = ErrorLines([&] { snd.playMidiFile(Path("midi1.mid"), 0, -1); });
  EXPECT_EQ(Lines(first), 1);
  EXPECT_NE(first.find("soundfont"), std::string::npos);
  EXPECT_FALSE(snd.isMidiPlaying());
  EXPECT_EQ(ErrorLines([&] { snd.playMidiFile(Path("midi1.mid"), 0, -1); }), "");
}

TEST_F(SdlSoundTest, WithoutASoundDeviceEverythingIsSilentAndHarmless) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  bool opened = true;
  const std::string told = ErrorLines([&] { opened = device.Open(); });
  EXPECT_FALSE(opened);
  EXPECT_EQ(Lines(told), 1);
  SdlTegoDS ds(device);
  SdlTegoSnd snd(device);
  WriteToneWav(Path("fire.wav"), 0.5, 0.5);
  WriteTuneMidi(Path("midi1.mid"), {60});
  const std::string later = ErrorLines([&] {
    SaverState state;
    state.installFolder = dir_.string() + "/";
    state.soundOn = 1;
    state.musicOn = true;
    state.carolChecked[1] = 1;
    OpenDirectSoundSession(state, ds);
    EXPECT_NE(state.fireSoundId, 0);
    MidiSounds(state, snd);
    EXPECT_FALSE(snd.isMidiPlaying());
    CarolTick(state, snd);
    ds.stopAllWaves();
    ds.stopWave(state.fireSoundId);
    snd.stopMidi();
  });
  EXPECT_EQ(later, "");
  device.Close();
}

TEST_F(SdlSoundTest, TheNextCarolFollowsWithinASecondOfTheLastOnesEnd) {
  OpenDevice();
  SdlTegoSnd snd(device);
  WriteTuneMidi(Path("midi1.mid"), {60, 64, 67, 72});
  WriteTuneMidi(Path("midi3.mid"), {72, 67, 64, 60});
  SaverState state;
  state.installFolder = dir_.string() + "/";
  state.musicOn = true;
  state.carolChecked[1] = 1;
  state.carolChecked[3] = 1;

  // The carol clock ticks once a second of sound. While a carol loads the
  // device writes ahead, so each start is taken when playMidiFile has
  // returned, and the loading time is measured on the wall clock instead.
  struct Change {
    double endSeenAt;   // the tick that found the last carol ended
    double startedAt;   // the next one's playMidiFile has returned
    double loadSeconds;
  };
  std::vector<Change> changes;
  MidiSounds(state, snd);
  double tick = Now();
  const double firstStart = tick;
  for (int ticks = 0; ticks < 30 && changes.size() < 2; ++ticks) {
    tick += 1.0;
    WaitUntil(tick);
    const double seen = Now();
    const bool playing = snd.isMidiPlaying();
    const auto before = std::chrono::steady_clock::now();
    CarolTick(state, snd);
    if (playing) continue;
    const std::chrono::duration<double> load = std::chrono::steady_clock::now() - before;
    tick = Now();
    changes.push_back({seen, tick, load.count()});
  }
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(state.currentCarol, 1);
  WaitUntil(changes.back().startedAt + 1.0);
  double lastStart = firstStart;
  for (const Change& change : changes) {
    const double lastSound = LastSoundBefore(lastStart, change.endSeenAt);
    const double nextNote = FirstSoundAfter(change.startedAt, change.startedAt + 1.0);
    ASSERT_GT(lastSound, 0.0);
    ASSERT_GT(nextNote, 0.0);
    const double silence = (change.endSeenAt - lastSound) + change.loadSeconds +
                           (nextNote - change.startedAt);
    std::cout << "from the last sound of a carol to the next one's first note: " << silence
              << " s (of which loading " << change.loadSeconds << " s; ended seen "
              << change.endSeenAt - lastStart << " s after its start, last sound at "
              << lastSound - lastStart << " s)\n";
    EXPECT_LT(nextNote - change.startedAt, 0.2);
    EXPECT_LT(silence, 7.0);
    lastStart = change.startedAt;
  }
}

}  // namespace
}  // namespace emberlrn
