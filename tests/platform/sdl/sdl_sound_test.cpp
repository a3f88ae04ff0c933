// The SDL2_mixer sound controls on the disk audio driver, which plays into
// a file faster than real time. The mixer reports every buffer it has made
// (its level, and whether music and waves were playing), so the tests hear
// what a listener would have heard, buffer by buffer, however far the device
// runs ahead of them.

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/sdl/sdl_crackle_voices.h"
#include "platform/sdl/sdl_sound_device.h"
#include "platform/sdl/sdl_tego_ds.h"
#include "platform/sdl/sdl_tego_snd.h"
#include "platform/standard_midi_file.h"
#include "sound/carol_playlist.h"
#include "sound/fire_sound.h"
#include "sound_files.h"

namespace emberlrn {
namespace {

namespace fs = std::filesystem;
using namespace testing_sound;

// The longest any wait may take in real time; the disk driver is far faster.
constexpr auto kPatience = std::chrono::seconds(60);
// Below this a stretch of output counts as silent.
constexpr double kSilenceDbfs = -60.0;
// Digital silence: every sample zero.
constexpr double kNothingDbfs = -150.0;
// A sine of peak 0.5, as the test tones are, played at full volume.
constexpr double kToneDbfs = -9.03;
// The disk driver's pause after each buffer of 2048 frames: real time.
constexpr const char* kRealTimeDelayMs = "46";

double Dbfs(double power) {
  return power <= 0.0 ? -200.0 : 10.0 * std::log10(power / (32768.0 * 32768.0));
}

// Every buffer the mixer has made since the watch began.
class MixWatch {
 public:
  struct Buffer {
    double power;  // mean square of the samples
    bool musicPlaying;
    int wavesPlaying;
  };

  MixWatch() { Mix_SetPostMix(&MixWatch::AfterMix, this); }
  MixWatch(const MixWatch&) = delete;
  MixWatch& operator=(const MixWatch&) = delete;
  ~MixWatch() { Mix_SetPostMix(nullptr, nullptr); }

  std::vector<Buffer> Buffers() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return buffers_;
  }
  size_t Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return buffers_.size();
  }
  int BufferBytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bufferBytes_;
  }

 private:
  static void AfterMix(void* self, Uint8* stream, int length) {
    auto* watch = static_cast<MixWatch*>(self);
    const auto* samples = reinterpret_cast<const int16_t*>(stream);
    const int count = length / 2;
    double sum = 0.0;
    for (int i = 0; i < count; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    // The mixer holds its own lock while it calls here, and takes it again
    // for these questions from the same thread.
    const Buffer buffer{count > 0 ? sum / count : 0.0, Mix_PlayingMusic() != 0, Mix_Playing(-1)};
    std::lock_guard<std::mutex> lock(watch->mutex_);
    watch->buffers_.push_back(buffer);
    watch->bufferBytes_ = length;
  }

  mutable std::mutex mutex_;
  std::vector<Buffer> buffers_;
  int bufferBytes_ = 0;
};

// Where a piece of music started and ended among the buffers, and the last
// buffer in which it was heard.
struct MusicSpan {
  size_t start = 0, lastSound = 0, end = 0;
  bool found = false;
};

MusicSpan FindMusic(const std::vector<MixWatch::Buffer>& buffers, size_t from = 0) {
  MusicSpan span;
  size_t i = from;
  while (i < buffers.size() && !buffers[i].musicPlaying) ++i;
  span.start = i;
  while (i < buffers.size() && buffers[i].musicPlaying) {
    if (Dbfs(buffers[i].power) > kSilenceDbfs) span.lastSound = i;
    ++i;
  }
  span.end = i;
  span.found = span.start < buffers.size() && span.end < buffers.size();
  return span;
}

// Every carol the playlist started, in the order heard, with the seconds
// from the end of its last note to the first sound of the carol after it.
struct CarolGaps {
  std::vector<int16_t> heard;
  std::vector<double> gaps;
};

// When the control told a carol as playing and as ended, in seconds of its
// output. The device runs on while the test asks, so each answer is pinned
// between the output made before the question and after it: the last
// "playing" came with no more than lastPlaying seconds played, the first
// "ended" with no less than firstEnded.
struct EndReading {
  double lastPlaying = 0.0;
  double firstEnded = 0.0;
};

class SdlSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("emberlrn-sound-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir_ / "output.raw").c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
  }
  void TearDown() override {
    watch_.reset();
    device.Close();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // Opens the device running far ahead of the clock, or, with `realTime`,
  // about as fast as a listener hears it: where the saver's own work between
  // two buffers counts, as it does when one carol gives way to the next.
  void OpenDevice(bool realTime = false) {
    if (realTime) setenv("SDL_DISKAUDIODELAY", kRealTimeDelayMs, 1);
    ASSERT_TRUE(device.Open());
    int rate = 0;
    int channels = 0;
    Uint16 format = 0;
    ASSERT_EQ(Mix_QuerySpec(&rate, &format, &channels), 1);
    ASSERT_EQ(format, AUDIO_S16SYS);
    watch_ = std::make_unique<MixWatch>();
    // Every buffer holds the same number of frames; take it from the first.
    WaitForBuffers(1);
    bufferSeconds_ = watch_->BufferBytes() / (2.0 * channels * rate);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // Plays the file until the control reads it as ended.
  EndReading PlayUntilEnded(SdlTegoSnd& snd, const std::string& path);
  // Runs the carol clock until the given number of carols has started.
  CarolGaps TickCarols(CarolPlaylist& playlist, SdlTegoSnd& snd, size_t carols,
                       const std::map<int16_t, double>& lastNoteSeconds);

  // The buffers made so far: a moment in the output.
  size_t Mark() const { return watch_->Count(); }
  size_t Buffers(double seconds) const {
    return static_cast<size_t>(std::ceil(seconds / bufferSeconds_));
  }
  void WaitForBuffers(size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (watch_->Count() < count) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "no sound output";
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  // Waits until the given seconds of output have followed the mark.
  void WaitAfter(size_t mark, double seconds) { WaitForBuffers(mark + Buffers(seconds)); }
  // The level of the output from `seconds` after the mark, for `length` seconds.
  double Level(size_t mark, double from, double length) {
    const size_t first = mark + Buffers(from);
    const size_t last = first + std::max<size_t>(1, Buffers(length));
    WaitForBuffers(last);
    const std::vector<MixWatch::Buffer> buffers = watch_->Buffers();
    double sum = 0.0;
    for (size_t i = first; i < last; ++i) sum += buffers.at(i).power;
    return Dbfs(sum / static_cast<double>(last - first));
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
  std::unique_ptr<MixWatch> watch_;
  double bufferSeconds_ = 0.0;
  fs::path dir_;
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
  StartLooped(ds, id, 0);
  const size_t started = Mark();
  // A quarter-second file heard for ten times its length, evenly throughout.
  for (double at = 0.1; at < 2.6; at += 0.25) {
    EXPECT_NEAR(Level(started, at, 0.25), kToneDbfs, 0.5) << "at " << at << " s";
  }
}

TEST_F(SdlSoundTest, TheSoftestVolumeIsAboutTwentyFiveDecibelsBelowTheLoudest) {
  OpenDevice();
  SdlTegoDS ds(device);
  WriteToneWav(Path("tone.wav"), 1.0, 1.0);
  const int32_t id = ds.loadWave(Path("tone.wav"));
  StartLooped(ds, id, 0);
  const double loudest = Level(Mark(), 0.1, 1.0);
  ds.setWaveVolume(id, -1667);
  const double firstRun = Level(Mark(), 0.1, 1.0);
  ds.setWaveVolume(id, -2500);
  const double softest = Level(Mark(), 0.1, 1.0);
  std::cout << "tone at 0: " << loudest << " dBFS, at -1667: " << firstRun
            << " dBFS, at -2500: " << softest << " dBFS\n";
  EXPECT_NEAR(loudest, kToneDbfs, 0.5);
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
  StartLooped(ds, loud, 0);
  const double loudest = Level(Mark(), 0.0, 20.0);
  ds.stopWave(loud);
  const int32_t soft = ds.loadWave(fire);
  StartLooped(ds, soft, -2500);
  const double softest = Level(Mark(), 0.0, 20.0);
  std::cout << "fire.wav over 20 s at 0: " << loudest << " dBFS, at -2500: " << softest
            << " dBFS\n";
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
  EXPECT_NEAR(Level(Mark(), 0.1, 1.0), kToneDbfs, 0.5);

  ds.stopWave(id);
  EXPECT_LT(Level(Mark(), 0.1, 1.0), kNothingDbfs);
  ds.stopWave(id);  // already stopped: harmless

  StartLooped(ds, id, 0);
  EXPECT_NEAR(Level(Mark(), 0.1, 0.5), kToneDbfs, 0.5);
  ds.stopAllWaves();
  EXPECT_LT(Level(Mark(), 0.1, 1.0), kNothingDbfs);
}

TEST_F(SdlSoundTest, ReopeningRestartsTheFireFromItsBeginningWithOneCopy) {
  OpenDevice();
  SdlTegoDS ds(device);
  // Half a second of tone, then nine and a half seconds of silence.
  constexpr double kToneSeconds = 0.5;
  constexpr double kFileSeconds = 10.0;
  WriteToneWav(Path("fire.wav"), kToneSeconds, kFileSeconds);
  FireSound fire(ds);
  fire.installFolder = dir_.string() + "/";
  fire.soundOn = true;
  fire.soundVolume = 0;
  fire.OpenDirectSoundSession();
  WaitAfter(Mark(), 1.0);  // into the silent part

  const size_t before = Mark();
  fire.OpenDirectSoundSession();  // what S does
  WaitAfter(Mark(), 1.0);
  const std::vector<MixWatch::Buffer> buffers = watch_->Buffers();
  size_t firstStart = 0;
  while (buffers.at(firstStart).wavesPlaying == 0) ++firstStart;
  size_t restart = before;
  while (restart < buffers.size() && Dbfs(buffers[restart].power) < kToneDbfs - 3.0) ++restart;
  ASSERT_LT(restart, buffers.size()) << "S brought no sound";
  // The first copy, had it gone on, would still be in its silence here: the
  // tone is the file's beginning, played again.
  const double firstCopyAt = std::fmod((restart - firstStart) * bufferSeconds_, kFileSeconds);
  EXPECT_GT(firstCopyAt, kToneSeconds + 0.1);
  size_t toneEnd = restart;
  while (toneEnd < buffers.size() && Dbfs(buffers[toneEnd].power) > kSilenceDbfs) ++toneEnd;
  EXPECT_NEAR((toneEnd - restart) * bufferSeconds_, kToneSeconds, 2 * bufferSeconds_);
  EXPECT_NEAR(Level(restart + 1, 0.0, 0.3), kToneDbfs, 0.5);
  for (size_t i = 0; i < buffers.size(); ++i) EXPECT_LE(buffers[i].wavesPlaying, 1) << i;
}

TEST_F(SdlSoundTest, AMissingFireSoundIsToldOnceAndStaysSilent) {
  OpenDevice();
  SdlTegoDS ds(device);
  FireSound fire(ds);
  fire.installFolder = dir_.string() + "/";
  fire.soundOn = true;
  const size_t at = Mark();
  const std::string first = ErrorLines([&] { fire.OpenDirectSoundSession(); });
  EXPECT_EQ(Lines(first), 1);
  EXPECT_NE(first.find("fire.wav"), std::string::npos);
  EXPECT_NE(fire.fireSoundId, 0);
  EXPECT_EQ(ErrorLines([&] { fire.OpenDirectSoundSession(); }), "");
  EXPECT_LT(Level(at, 0.0, 0.5), kNothingDbfs);
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
  EXPECT_LT(Level(Mark(), 0.0, 0.5), kNothingDbfs);
  ds.stopWave(id);
}

EndReading SdlSoundTest::PlayUntilEnded(SdlTegoSnd& snd, const std::string& path) {
  snd.playMidiFile(path, 0, -1);
  size_t lastPlaying = 0;
  size_t firstEnded = 0;
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (true) {
    const size_t before = Mark();
    const bool playing = snd.isMidiPlaying();
    const size_t after = Mark();
    if (!playing) {
      firstEnded = after;
      break;
    }
    lastPlaying = before;
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "the carol never ended";
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const std::vector<MixWatch::Buffer> buffers = watch_->Buffers();
  const MusicSpan carol = FindMusic(buffers);
  EXPECT_LT(carol.start, buffers.size()) << "the carol never played";
  auto seconds = [&](size_t mark) {
    return (static_cast<double>(mark) - static_cast<double>(carol.start)) * bufferSeconds_;
  };
  return {seconds(lastPlaying), seconds(firstEnded)};
}

TEST_F(SdlSoundTest, ACarolReadsAsEndedAtItsLastNoteAndItsTailDiesAway) {
  OpenDevice();
  SdlTegoSnd snd(device);
  WriteTuneMidi(Path("midi1.mid"), {60, 64, 67, 72});  // one second of notes
  const EndReading reading = PlayUntilEnded(snd, Path("midi1.mid"));
  // Nothing else plays: the tail after the last note sounds on and dies away.
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (Mix_PlayingMusic() != 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  WaitAfter(Mark(), 0.5);
  const std::vector<MixWatch::Buffer> buffers = watch_->Buffers();
  const MusicSpan carol = FindMusic(buffers);
  ASSERT_TRUE(carol.found);
  const double heard = (carol.lastSound - carol.start + 1) * bufferSeconds_;
  std::cout << "a second of notes: playing after " << reading.lastPlaying << " s, ended after "
            << reading.firstEnded << " s, heard for " << heard << " s\n";
  EXPECT_GT(Dbfs(buffers[carol.start].power), -40.0);  // the first note at once
  // Ended within the buffer that holds the last note's end, never before it.
  EXPECT_LT(reading.lastPlaying, 1.0 + bufferSeconds_);
  EXPECT_GE(reading.firstEnded + bufferSeconds_, 1.0);
  EXPECT_GT(heard, 1.1);
  EXPECT_LT(heard, 3.0);
  for (size_t i = carol.end + 1; i < buffers.size(); ++i) {
    EXPECT_LT(Dbfs(buffers[i].power), kNothingDbfs) << i;
  }
}

TEST_F(SdlSoundTest, AnInstalledCarolReadsAsEndedAtItsLastNote) {
  const char* data = std::getenv("EMBERLRN_DATA_DIR");
  const std::string path = std::string(data ? data : "") + "midi1.mid";
  if (!fs::exists(path)) GTEST_SKIP() << "no installed carols yet";
  const double notes = ParseStandardMidiFile(ReadFileBytes(path)).durationSeconds;
  OpenDevice();
  SdlTegoSnd snd(device);
  EndReading reading;
  EXPECT_EQ(ErrorLines([&] { reading = PlayUntilEnded(snd, path); }), "");
  std::cout << "midi1.mid: " << notes << " s of notes, playing after " << reading.lastPlaying
            << " s, ended after " << reading.firstEnded << " s\n";
  EXPECT_GT(notes, 10.0);
  EXPECT_LT(reading.lastPlaying, notes + bufferSeconds_);
  EXPECT_GE(reading.firstEnded + bufferSeconds_, notes);
}

TEST_F(SdlSoundTest, StopMidiSilencesTheCarol) {
  OpenDevice();
  SdlTegoSnd snd(device);
  WriteTuneMidi(Path("midi1.mid"), std::vector<int>(40, 67));  // ten seconds
  snd.playMidiFile(Path("midi1.mid"), 0, -1);
  EXPECT_GT(Level(Mark(), 0.0, 1.0), -40.0);
  snd.stopMidi();
  EXPECT_FALSE(snd.isMidiPlaying());
  EXPECT_LT(Level(Mark(), 0.1, 1.0), kNothingDbfs);
}

// The process's last step: everything stops at once and the device stays
// open for the system to take back as the process exits.
TEST_F(SdlSoundTest, SilenceStopsTheWavesAndTheCarolAtOnceAndKeepsTheDevice) {
  OpenDevice();
  SdlTegoDS ds(device);
  SdlTegoSnd snd(device);
  WriteToneWav(Path("fire.wav"), 0.5, 0.5);
  WriteTuneMidi(Path("midi1.mid"), std::vector<int>(40, 67));  // ten seconds
  StartLooped(ds, ds.loadWave(Path("fire.wav")), 0);
  snd.playMidiFile(Path("midi1.mid"), 0, -1);
  EXPECT_GT(Level(Mark(), 0.1, 0.5), -40.0);

  device.Silence();
  const size_t at = Mark();
  EXPECT_TRUE(device.IsOpen());
  EXPECT_LT(Level(at, 0.0, 1.0), kNothingDbfs);
  const std::vector<MixWatch::Buffer> buffers = watch_->Buffers();
  for (size_t i = at; i < buffers.size(); ++i) {
    EXPECT_EQ(buffers[i].wavesPlaying, 0) << i;
    EXPECT_FALSE(buffers[i].musicPlaying) << i;
  }
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
  WaitAfter(Mark(), 0.5);
  // The Q key's calls.
  ds.stopAllWaves();
  ds.stopWave(id);
  const size_t at = Mark();
  EXPECT_GT(Level(at, 0.1, 1.5), -40.0);
  EXPECT_TRUE(snd.isMidiPlaying());
  const std::vector<MixWatch::Buffer> buffers = watch_->Buffers();
  for (size_t i = at + 1; i < buffers.size(); ++i) {
    EXPECT_EQ(buffers[i].wavesPlaying, 0) << i;
    EXPECT_TRUE(buffers[i].musicPlaying) << i;
  }
}

TEST_F(SdlSoundTest, MissingAndBrokenCarolsAreToldOnceEachAndNeverPlay) {
  OpenDevice();
  SdlTegoSnd snd(device);
  WriteFile(Path("midi2.mid"), "MThd this is no tune at all");
  WriteFile(Path("midi3.mid"), "");
  std::string cutShort;
  WriteTuneMidi(Path("midi4.mid"), {60, 62, 64});
  {
    std::ifstream whole(Path("midi4.mid"), std::ios::binary);
    cutShort.assign(std::istreambuf_iterator<char>(whole), {});
  }
  WriteFile(Path("midi4.mid"), cutShort.substr(0, cutShort.size() - 5));
  for (const char* name : {"midi1.mid", "midi2.mid", "midi3.mid", "midi4.mid"}) {
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

TEST_F(SdlSoundTest, ADamagedSoundfontIsNamedOnceAndEveryCarolStaysSilent) {
  OpenDevice();
  std::string noise(20000, '\0');
  std::mt19937 random(7);
  for (char& c : noise) c = static_cast<char>(random());
  WriteFile(Path("noise.sf2"), "RIFF" + noise);
  SdlTegoSnd snd(device, Path("noise.sf2"));
  WriteTuneMidi(Path("midi1.mid"), {60, 64, 67});
  WriteTuneMidi(Path("midi2.mid"), {62, 65, 69});
  const std::string told = ErrorLines([&] {
    for (const char* name : {"midi1.mid", "midi2.mid", "midi1.mid"}) {
      snd.playMidiFile(Path(name), 0, -1);
      EXPECT_FALSE(snd.isMidiPlaying()) << name;
    }
  });
  EXPECT_EQ(Lines(told), 1) << told;
  EXPECT_NE(told.find("noise.sf2"), std::string::npos) << told;
}

// The crackle bank: half a second of tone cut into two sounds, and index
// lines that name nothing the file holds.
TEST_F(SdlSoundTest, CracklesPlayFromTheBankAtTheirVolumeAndPlaceAndNeverCrowdOutTheFire) {
  OpenDevice();
  SdlTegoDS ds(device);
  SdlCrackleVoices voices(device);
  WriteToneWav(Path("crackles.wav"), 0.5, 1.0);
  WriteFile(Path("crackles.txt"),
            "# kind first-frame frames\ntick 0 22050\npop 0 11025\nsnap 1 x\nhiss 40000 9999\n");
  std::vector<std::string> kinds;
  const std::string told =
      ErrorLines([&] { kinds = voices.LoadBank(Path("crackles.wav"), Path("crackles.txt")); });
  EXPECT_EQ(kinds, (std::vector<std::string>{"tick", "pop"}));
  EXPECT_EQ(Lines(told), 1) << told;

  // At full volume in the middle a crackle is as loud as the tone; panned
  // to one side the other falls silent; -20 dB is 20 dB down.
  size_t mark = Mark();
  voices.Play(0, 0, 0);
  EXPECT_NEAR(Level(mark, 0.05, 0.3), kToneDbfs, 0.5);
  WaitAfter(mark, 0.6);
  mark = Mark();
  voices.Play(0, 0, -100);
  EXPECT_NEAR(Level(mark, 0.05, 0.3), kToneDbfs - 3.0, 0.5);
  WaitAfter(mark, 0.6);
  mark = Mark();
  voices.Play(0, -2000, 0);
  EXPECT_NEAR(Level(mark, 0.05, 0.3), kToneDbfs - 20.0, 1.0);
  // Played once: silence after the sound's half second.
  EXPECT_LT(Level(mark, 0.7, 0.3), kNothingDbfs);

  // A crowd of crackles takes only the layer's voices; the fire plays on
  // through it, and stopping the crackles leaves it alone.
  WriteToneWav(Path("fire.wav"), 0.5, 0.5);
  const int32_t fire = ds.loadWave(Path("fire.wav"));
  StartLooped(ds, fire, -2000);
  mark = Mark();
  for (int i = 0; i < 20; ++i) voices.Play(1, -600, 0);
  WaitAfter(mark, 0.1);
  const auto buffers = watch_->Buffers();
  EXPECT_LE(buffers.back().wavesPlaying, SdlCrackleVoices::kVoices + 1);
  voices.StopAll();
  EXPECT_NEAR(Level(Mark(), 0.1, 0.5), kToneDbfs - 20.0, 1.0);
  ds.stopAllWaves();
  EXPECT_LT(Level(Mark(), 0.1, 0.3), kNothingDbfs);
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
    FireSound fire(ds);
    fire.installFolder = dir_.string() + "/";
    fire.soundOn = true;
    CarolPlaylist playlist(snd);
    playlist.installFolder = fire.installFolder;
    playlist.musicOn = true;
    playlist.carolChecked[1] = 1;
    fire.OpenDirectSoundSession();
    EXPECT_NE(fire.fireSoundId, 0);
    playlist.MidiSounds();
    EXPECT_FALSE(snd.isMidiPlaying());
    playlist.CarolTick();
    ds.stopAllWaves();
    ds.stopWave(fire.fireSoundId);
    snd.stopMidi();
  });
  EXPECT_EQ(later, "");
}

CarolGaps SdlSoundTest::TickCarols(CarolPlaylist& playlist, SdlTegoSnd& snd, size_t carols,
                                   const std::map<int16_t, double>& lastNoteSeconds) {
  // The carol clock, ticking once a second of output as the saver's does.
  CarolGaps result;
  playlist.MidiSounds();
  if (snd.isMidiPlaying()) result.heard.push_back(playlist.currentCarol);
  // Short tunes: even with the synthesiser's whole tail, four take under 30.
  constexpr int kMostTicks = 30;
  for (int tick = 0; tick < kMostTicks && result.heard.size() < carols; ++tick) {
    WaitAfter(Mark(), 1.0);
    if (snd.isMidiPlaying()) continue;
    playlist.CarolTick();
    if (snd.isMidiPlaying()) result.heard.push_back(playlist.currentCarol);
  }
  WaitAfter(Mark(), 0.3);
  const std::vector<MixWatch::Buffer> buffers = watch_->Buffers();
  size_t from = 0;
  for (size_t k = 0; k + 1 < result.heard.size(); ++k) {
    const MusicSpan carol = FindMusic(buffers, from);
    const MusicSpan next = FindMusic(buffers, carol.end);
    if (!carol.found || next.start >= buffers.size()) {
      ADD_FAILURE() << "carol " << k + 2 << " never started";
      break;
    }
    size_t firstSound = next.start;
    while (firstSound < next.end && Dbfs(buffers[firstSound].power) < kSilenceDbfs) ++firstSound;
    const double lastNoteEnd = lastNoteSeconds.at(result.heard[k]);
    result.gaps.push_back((firstSound - carol.start) * bufferSeconds_ - lastNoteEnd);
    from = carol.end;
  }
  return result;
}

// The playlist's promise: the next carol within about a second of the end of
// the last one's notes, whatever the synthesiser's tail does meanwhile.
constexpr double kLongestGapSeconds = 1.5;

TEST_F(SdlSoundTest, ThePlaylistStartsTheNextCarolWithinASecondAndAHalfOfTheLastNote) {
  OpenDevice(true);
  SdlTegoSnd snd(device);
  WriteTuneMidi(Path("midi1.mid"), {60, 64, 67, 72});              // 1 s of notes
  WriteTuneMidi(Path("midi3.mid"), {72, 67, 64, 60, 62, 64, 60});  // 1.75 s
  CarolPlaylist playlist(snd);
  playlist.installFolder = dir_.string() + "/";
  playlist.musicOn = true;
  playlist.carolChecked[1] = 1;
  playlist.carolChecked[3] = 1;
  const CarolGaps carols = TickCarols(playlist, snd, 4, {{1, 1.0}, {3, 1.75}});
  EXPECT_EQ(carols.heard, (std::vector<int16_t>{1, 3, 1, 3}));
  std::cout << "from the last note to the next carol:";
  for (double gap : carols.gaps) std::cout << ' ' << gap << " s";
  std::cout << '\n';
  ASSERT_EQ(carols.gaps.size(), 3u);
  for (double gap : carols.gaps) {
    EXPECT_GT(gap, 0.0) << "a carol was cut before its last note";
    EXPECT_LE(gap, kLongestGapSeconds);
  }
}

}  // namespace
}  // namespace emberlrn
