#include "sound/crackle_layer.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "interfaces/clock.h"
#include "interfaces/crackle_voices.h"

namespace emberlrn {
namespace {

using Kind = CrackleLayer::Kind;

constexpr std::array<std::string_view, CrackleLayer::kKindCount> kKindNames = {
    "tick", "snap", "pop", "hiss", "settle"};

// Crackles are planned this far ahead, so a burst is laid out whole.
constexpr int64_t kPlanAheadMs = 1000;
// A crackle later than this (the saver was busy) is dropped, not played late
// in a heap with the others.
constexpr int64_t kStaleMs = 250;

// Single crackles a second on an ordinary moment of the fire, and the mean
// time between bursts.
constexpr double kSinglesPerSecond = 1.6;
constexpr double kBurstGapSeconds = 14.0;
// How far the fire's liveliness wanders (natural logarithm of the rate) and
// how slowly: it takes about half a minute to forget where it stood. It
// never sinks far, so that even a quiet minute has crackles of its own.
constexpr double kLivelinessSpread = 0.5;
constexpr double kLivelinessSeconds = 30.0;
constexpr double kQuietestLiveliness = -0.5;
constexpr double kLivelinessLimit = 1.0;

// A burst: a run of ticks and snaps from one spot of the fire.
constexpr int kBurstFewest = 4;
constexpr int kBurstMost = 12;
constexpr double kBurstStepMinSeconds = 0.035;
constexpr double kBurstStepMeanSeconds = 0.06;
constexpr double kBurstSpread = 15.0;

// After a pop, a few fragments may fall.
constexpr double kFragmentChance = 0.6;
constexpr int kFragmentsMost = 3;

constexpr double kPanReach = 70.0;
constexpr int kPanLimit = 100;

// The layer stands this far above the fire's own volume, so that its pops
// rise well out of the bed; each kind then has its own range below that.
constexpr double kLiftDb = 10.7;
struct LevelRange {
  double lowDb;
  double highDb;
};
constexpr std::array<LevelRange, CrackleLayer::kKindCount> kLevels = {{
    {-12.0, -3.0},   // tick
    {-12.0, -3.0},   // snap
    {-19.0, -11.0},  // pop
    {-32.0, -22.0},  // hiss
    {-22.0, -14.0},  // settle
}};
constexpr std::array<double, CrackleLayer::kKindCount> kSingleWeights = {0.40, 0.32, 0.14, 0.09,
                                                                          0.05};
constexpr std::array<double, CrackleLayer::kKindCount> kBurstWeights = {0.65, 0.35, 0.0, 0.0, 0.0};

constexpr int32_t kLoudest = 0;
constexpr int32_t kQuietest = -10000;
constexpr double kHundredthsPerDb = 100.0;
constexpr double kMsPerSecond = 1000.0;

int64_t Ms(double seconds) { return static_cast<int64_t>(std::llround(seconds * kMsPerSecond)); }

}  // namespace

CrackleLayer::CrackleLayer(CrackleVoices& voices, const Clock& clock, uint64_t seed)
    : voices_(voices), clock_(clock), random_(seed) {}

void CrackleLayer::Load(const std::string& installFolder) {
  if (loaded_) return;
  loaded_ = true;
  const std::vector<std::string> kinds =
      voices_.LoadBank(installFolder + std::string(kCrackleWaveFile),
                       installFolder + std::string(kCrackleIndexFile));
  for (size_t sound = 0; sound < kinds.size(); ++sound) {
    const auto known = std::find(kKindNames.begin(), kKindNames.end(), kinds[sound]);
    if (known == kKindNames.end()) continue;  // a kind of a later bank: left out
    const auto kind = static_cast<Kind>(known - kKindNames.begin());
    kinds_.push_back(kind);
    soundsOf_[static_cast<size_t>(kind)].push_back(static_cast<int>(sound));
  }
}

double CrackleLayer::Uniform(double low, double high) {
  const double unit = static_cast<double>(random_() >> 11) * 0x1.0p-53;
  return low + (high - low) * unit;
}

double CrackleLayer::Exponential(double mean) { return -mean * std::log1p(-Uniform(0.0, 1.0)); }

bool CrackleLayer::Chance(double probability) { return Uniform(0.0, 1.0) < probability; }

void CrackleLayer::Start(int32_t fireVolume) {
  Stop();
  if (!crackleOn || kinds_.empty()) return;
  playing_ = true;
  fireVolume_ = fireVolume;
  const int64_t now = clock_.MonotonicMs();
  nextSingleMs_ = now + Ms(Exponential(1.0 / kSinglesPerSecond));
  nextBurstMs_ = now + Ms(Exponential(kBurstGapSeconds));
}

void CrackleLayer::Stop() {
  if (playing_) voices_.StopAll();
  playing_ = false;
  pending_.clear();
}

void CrackleLayer::Tick() {
  if (!playing_) return;
  const int64_t now = clock_.MonotonicMs();
  PlanUntil(now + kPlanAheadMs);
  while (!pending_.empty() && pending_.front().dueMs <= now) {
    const Planned crackle = pending_.front();
    pending_.pop_front();
    if (now - crackle.dueMs <= kStaleMs) voices_.Play(crackle.sound, crackle.volume, crackle.pan);
  }
}

std::optional<int64_t> CrackleLayer::NextDueMs() const {
  if (!playing_) return std::nullopt;
  // Planning starts once the next single or burst is less than the plan-ahead away.
  int64_t due = std::min(nextSingleMs_, nextBurstMs_) - kPlanAheadMs + 1;
  if (!pending_.empty()) due = std::min(due, pending_.front().dueMs);
  return due;
}

// An Ornstein-Uhlenbeck walk: it wanders, and is drawn back to the usual.
void CrackleLayer::DriftRate(double seconds) {
  const double keep = std::exp(-seconds / kLivelinessSeconds);
  const double step = Uniform(-1.0, 1.0) + Uniform(-1.0, 1.0) + Uniform(-1.0, 1.0);
  // Three uniforms of -1..1 make a bell of variance 1.
  liveliness_ = liveliness_ * keep + kLivelinessSpread * std::sqrt(1.0 - keep * keep) * step;
  liveliness_ = std::clamp(liveliness_, kQuietestLiveliness, kLivelinessLimit);
}

void CrackleLayer::PlanUntil(int64_t endMs) {
  while (std::min(nextSingleMs_, nextBurstMs_) < endMs) {
    const double lively = std::exp(liveliness_);
    if (nextSingleMs_ <= nextBurstMs_) {
      const int64_t at = nextSingleMs_;
      PlanSingle(at);
      const double gap = Exponential(1.0 / (kSinglesPerSecond * lively));
      DriftRate(gap);
      nextSingleMs_ = at + std::max<int64_t>(1, Ms(gap));
    } else {
      const int64_t at = nextBurstMs_;
      PlanBurst(at);
      nextBurstMs_ = at + std::max<int64_t>(1, Ms(Exponential(kBurstGapSeconds / lively)));
    }
  }
}

CrackleLayer::Kind CrackleLayer::PickKind(bool inBurst) {
  const auto& weights = inBurst ? kBurstWeights : kSingleWeights;
  double total = 0.0;
  for (size_t k = 0; k < weights.size(); ++k) total += soundsOf_[k].empty() ? 0.0 : weights[k];
  if (total <= 0.0) return kinds_.front();
  double pick = Uniform(0.0, total);
  for (size_t k = 0; k < weights.size(); ++k) {
    if (soundsOf_[k].empty()) continue;
    pick -= weights[k];
    if (pick < 0.0) return static_cast<Kind>(k);
  }
  return kinds_.front();
}

void CrackleLayer::PlanSingle(int64_t atMs) {
  const Kind kind = PickKind(false);
  const LevelRange range = kLevels[static_cast<size_t>(kind)];
  const double level = Uniform(range.lowDb, range.highDb);
  const int pan = static_cast<int>(std::lround(Uniform(-kPanReach, kPanReach)));
  Plan(atMs, kind, level, pan);
  if (kind != Kind::kPop || soundsOf_[static_cast<size_t>(Kind::kTick)].empty() ||
      !Chance(kFragmentChance)) {
    return;
  }
  const int fragments = 1 + static_cast<int>(Uniform(0.0, kFragmentsMost));
  int64_t at = atMs;
  for (int i = 0; i < fragments; ++i) {
    at += Ms(Uniform(0.04, 0.25));
    const int near = pan + static_cast<int>(std::lround(Uniform(-kBurstSpread, kBurstSpread)));
    Plan(at, Kind::kTick, level - Uniform(8.0, 14.0), near);
  }
}

void CrackleLayer::PlanBurst(int64_t atMs) {
  const int count = kBurstFewest + static_cast<int>(Uniform(0.0, kBurstMost - kBurstFewest + 1));
  const double level = Uniform(-13.0, -5.0);
  const double centre = Uniform(-kPanReach + kBurstSpread, kPanReach - kBurstSpread);
  int64_t at = atMs;
  for (int i = 0; i < count; ++i) {
    const Kind kind = PickKind(true);
    const int pan = static_cast<int>(std::lround(centre + Uniform(-kBurstSpread, kBurstSpread)));
    Plan(at, kind, level + Uniform(-4.0, 4.0), pan);
    at += Ms(kBurstStepMinSeconds + Exponential(kBurstStepMeanSeconds));
  }
}

void CrackleLayer::Plan(int64_t atMs, Kind kind, double levelDb, int pan) {
  const auto& sounds = soundsOf_[static_cast<size_t>(kind)];
  if (sounds.empty()) return;
  // Any sound of the kind, at any of its pitches.
  const auto which = std::min(sounds.size() - 1, static_cast<size_t>(Uniform(0.0, sounds.size())));
  const double volume = fireVolume_ + kHundredthsPerDb * (kLiftDb + levelDb);
  const Planned crackle{atMs, sounds[which],
                        static_cast<int32_t>(std::clamp(std::lround(volume), long{kQuietest},
                                                        long{kLoudest})),
                        std::clamp(pan, -kPanLimit, kPanLimit)};
  const auto later = std::upper_bound(
      pending_.begin(), pending_.end(), crackle,
      [](const Planned& a, const Planned& b) { return a.dueMs < b.dueMs; });
  pending_.insert(later, crackle);
}

}  // namespace emberlrn
