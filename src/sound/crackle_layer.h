#pragma once
// The crackle layer over the fire's bed: pops, snaps, ticks, hisses and the
// odd settling log from the crackle bank, at random moments, pitches, places
// and levels. Their rate drifts slowly and now and then a burst comes, so no
// two minutes sound alike. The layer plays only while the fire sound plays:
// the fire sound starts and stops it, and it takes the fire's volume.

#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace emberlrn {

class Clock;
class CrackleVoices;

// The bank in the install folder: the sounds, and where each one lies.
inline constexpr std::string_view kCrackleWaveFile = "crackles.wav";
inline constexpr std::string_view kCrackleIndexFile = "crackles.txt";

// How often the layer looks for crackles that have come due.
inline constexpr int64_t kCrackleTickMs = 20;

class CrackleLayer {
 public:
  enum class Kind { kTick, kSnap, kPop, kHiss, kSettle };
  static constexpr int kKindCount = 5;

  // A crackle waiting for its moment.
  struct Planned {
    int64_t dueMs;
    int sound;
    int32_t volume;  // hundredths of a decibel
    int pan;         // -100 left to 100 right
  };

  // The seed makes every run's crackles its own.
  CrackleLayer(CrackleVoices& voices, const Clock& clock, uint64_t seed);

  // The "Crackle" setting: when off the layer never plays.
  bool crackleOn = true;

  // Loads the bank from the install folder (with its trailing '/'); a second
  // call keeps the bank already loaded.
  void Load(const std::string& installFolder);
  // Starts scattering crackles from now on, as loud as the fire at its
  // volume (hundredths of a decibel). Nothing plays when the setting is off
  // or the bank has no sounds.
  void Start(int32_t fireVolume);
  // The crackles sounding stop, and no more come until the next Start.
  void Stop();
  // Plays every crackle that has come due; called every kCrackleTickMs.
  void Tick();

  // When Tick next has something to play or plan; nothing while stopped.
  std::optional<int64_t> NextDueMs() const;

  bool Playing() const { return playing_; }
  size_t BankSize() const { return kinds_.size(); }
  // The crackles planned and not yet played, soonest first.
  const std::deque<Planned>& Pending() const { return pending_; }

 private:
  double Uniform(double low, double high);
  double Exponential(double mean);
  bool Chance(double probability);
  void DriftRate(double seconds);
  void PlanUntil(int64_t endMs);
  void PlanSingle(int64_t atMs);
  void PlanBurst(int64_t atMs);
  void Plan(int64_t atMs, Kind kind, double levelDb, int pan);
  Kind PickKind(bool inBurst);

  CrackleVoices& voices_;
  const Clock& clock_;
  std::mt19937_64 random_;
  bool loaded_ = false;
  bool playing_ = false;
  int32_t fireVolume_ = 0;
  // The sounds of each kind, by their numbers in the bank.
  std::vector<std::vector<int>> soundsOf_ = std::vector<std::vector<int>>(kKindCount);
  std::vector<Kind> kinds_;
  // The natural logarithm of how much livelier than usual the fire is now.
  double liveliness_ = 0.0;
  int64_t nextSingleMs_ = 0;
  int64_t nextBurstMs_ = 0;
  std::deque<Planned> pending_;
};

}  // namespace emberlrn
