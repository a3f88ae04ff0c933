#pragma once
// Sound controls for tests: each records every call in order, as text, and
// keeps enough state to answer what a listener would hear.
//
// FakeTegoDS hands out identifiers 1, 2, 3, ... and knows which waves play.
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
