#pragma once
// Sound controls for tests: each records every call in order, as text, and
// keeps enough state to answer what a listener would hear.
//
// FakeTegoDS hands out identifiers 1, 2, 3, ... and knows which waves play.
// FakeCrackleVoices holds a bank of the kinds it is given and keeps every
// crackle played, with the clock's time when one is handed to it.
// FakeTegoSnd plays a carol for a set number of isMidiPlaying polls, after
// which it has ended; files listed as unplayable never start.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/call_record.h"
#include "interfaces/clock.h"
#include "interfaces/crackle_voices.h"
#include "interfaces/tego_ds.h"
#include "interfaces/tego_snd.h"

namespace emberlrn {

class FakeTegoDS final : public TegoDS, public CallRecord {
 public:
  struct Wave {
    std::string path;
    int32_t volume = 0;
    int32_t mode = 0;
    bool playing = false;
  };

  int32_t loadWave(std::string_view path) override {
    const int32_t id = nextId_++;
    Record("loadWave(" + std::string(path) + ")");
    waves[id] = Wave{std::string(path)};
    return id;
  }
  void stopWave(int32_t id) override {
    Record("stopWave(" + std::to_string(id) + ")");
    if (auto it = waves.find(id); it != waves.end()) it->second.playing = false;
  }
  void stopAllWaves() override {
    Record("stopAllWaves");
    for (auto& [id, wave] : waves) wave.playing = false;
  }
  void startWave(int32_t id) override {
    Record("startWave(" + std::to_string(id) + ")");
    if (auto it = waves.find(id); it != waves.end()) it->second.playing = true;
  }
  void setWaveVolume(int32_t id, int32_t volume) override {
    Record("setWaveVolume(" + std::to_string(id) + "," + std::to_string(volume) + ")");
    if (auto it = waves.find(id); it != waves.end()) it->second.volume = volume;
  }
  void setWaveMode(int32_t id, int32_t mode) override {
    Record("setWaveMode(" + std::to_string(id) + "," + std::to_string(mode) + ")");
    if (auto it = waves.find(id); it != waves.end()) it->second.mode = mode;
  }

  // The identifiers of the waves that play now.
  std::set<int32_t> Playing() const {
    std::set<int32_t> ids;
    for (const auto& [id, wave] : waves) {
      if (wave.playing) ids.insert(id);
    }
    return ids;
  }

  std::map<int32_t, Wave> waves;

 private:
  int32_t nextId_ = 1;
};

class FakeCrackleVoices final : public CrackleVoices, public CallRecord {
 public:
  struct Played {
    int64_t atMs;
    int sound;
    int32_t volume;
    int pan;
  };

  std::vector<std::string> LoadBank(std::string_view wavePath,
                                    std::string_view indexPath) override {
    Record("LoadBank(" + std::string(wavePath) + "," + std::string(indexPath) + ")");
    return bank;
  }
  void Play(int sound, int32_t volume, int pan) override {
    played.push_back({clock ? clock->MonotonicMs() : 0, sound, volume, pan});
    ++sounding;
  }
  void StopAll() override {
    Record("StopAll");
    sounding = 0;
  }

  // The kinds of the bank's sounds: by default three of each at three pitches.
  std::vector<std::string> bank = [] {
    std::vector<std::string> kinds;
    for (const char* kind : {"tick", "snap", "pop", "hiss", "settle"}) {
      for (int i = 0; i < 9; ++i) kinds.emplace_back(kind);
    }
    return kinds;
  }();
  const Clock* clock = nullptr;
  std::vector<Played> played;
  // Crackles started since the last StopAll (each plays once, so this is a
  // bound on what may still sound).
  int sounding = 0;
};

class FakeTegoSnd final : public TegoSnd, public CallRecord {
 public:
  void playMidiFile(std::string_view path, int32_t from, int32_t to) override {
    Record("playMidiFile(" + std::string(path) + "," + std::to_string(from) + "," +
           std::to_string(to) + ")");
    played.emplace_back(path);
    if (unplayable.count(std::string(path)) != 0) {
      playing.clear();
      pollsLeft_ = 0;
      return;
    }
    playing = std::string(path);
    pollsLeft_ = pollsFor ? pollsFor(playing) : pollsPerCarol;
  }
  // Answers true for pollsPerCarol polls after a start, then false for good.
  bool isMidiPlaying() override {
    Record("isMidiPlaying");
    if (playing.empty()) return false;
    if (pollsLeft_ > 0) {
      --pollsLeft_;
      return true;
    }
    playing.clear();
    return false;
  }
  void stopMidi() override {
    Record("stopMidi");
    playing.clear();
    pollsLeft_ = 0;
  }

  // How many polls a carol answers "playing"; set before it starts.
  int pollsPerCarol = 3;
  // When set, the polls of each file (a carol's length in seconds).
  std::function<int(const std::string&)> pollsFor;
  // Files whose playback fails to start.
  std::set<std::string> unplayable;

  std::vector<std::string> played;  // every file asked for, in order
  std::string playing;              // the file that plays now, or empty

 private:
  int pollsLeft_ = 0;
};

}  // namespace emberlrn
