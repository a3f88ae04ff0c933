#include "frame/living_fire.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "interfaces/tego_ddrw.h"

namespace emberlrn {
namespace {

// One draw from the normal distribution, mean 0 and deviation 1.
double Normal(FireRandom& random) {
  const double u = std::max(random.Uniform(), 1e-12);
  const double v = random.Uniform();
  return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
}

// How far a value moves toward its target in `seconds`, at that time constant.
double Follow(double seconds, double timeConstant) { return 1.0 - std::exp(-seconds / timeConstant); }

}  // namespace

uint64_t FireRandom::Next() {
  // SplitMix64: every seed gives a long stream with no short period.
  uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

double FireRandom::Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

FlameWalk::FlameWalk(int frames, uint64_t seed) : frames_(std::max(frames, 1)), random_(seed) {
  current_ = 1 + static_cast<int>(random_.Next() % static_cast<uint64_t>(frames_));
}

uint64_t FlameWalk::RunKeyWith(int frame) const {
  const auto base = static_cast<uint64_t>(frames_ + 1);
  uint64_t key = 0;
  for (int f : recent_) key = key * base + static_cast<uint64_t>(f);
  return key * base + static_cast<uint64_t>(frame);
}

int FlameWalk::Next() {
  // Steps through the round, by weight: on by one mostly, sometimes two or
  // three, and now and then one back, as a tongue falls.
  struct Step {
    int by;
    int weight;
  };
  static constexpr std::array<Step, 4> kSteps = {{{1, 6}, {2, 2}, {-1, 1}, {3, 1}}};
  const auto Wrapped = [this](int frame) { return ((frame - 1) % frames_ + frames_) % frames_ + 1; };

  int roll = static_cast<int>(random_.Next() % 10);
  size_t chosen = 0;
  while (roll >= kSteps[chosen].weight) roll -= kSteps[chosen++].weight;
  int frame = Wrapped(current_ + kSteps[chosen].by);
  const bool remembering = recent_.size() + 1 == static_cast<size_t>(kRunLength);
  if (remembering && frames_ > 1 && seen_.contains(RunKeyWith(frame))) {
    // The chosen step would play a remembered run again: the other steps
    // first, then any other frame.
    bool found = false;
    for (size_t k = 1; k < kSteps.size() && !found; ++k) {
      const int other = Wrapped(current_ + kSteps[(chosen + k) % kSteps.size()].by);
      if (!seen_.contains(RunKeyWith(other))) {
        frame = other;
        found = true;
      }
    }
    for (int other = 1; other <= frames_ && !found; ++other) {
      if (other != current_ && !seen_.contains(RunKeyWith(other))) {
        frame = other;
        found = true;
      }
    }
  }
  if (remembering) {
    const uint64_t key = RunKeyWith(frame);
    if (seen_.insert(key).second) seenOrder_.push_back(key);
    if (seenOrder_.size() > kRunsRemembered) {
      seen_.erase(seenOrder_.front());
      seenOrder_.pop_front();
    }
  }
  recent_.push_back(frame);
  if (recent_.size() >= static_cast<size_t>(kRunLength)) recent_.pop_front();
  current_ = frame;
  return frame;
}

Firelight::Firelight(uint64_t seed) : random_(seed) {}

int Firelight::Step(int64_t nowMs, std::optional<int> flameBrightness) {
  if (!started_) {
    started_ = true;
    lastMs_ = shownAtMs_ = nowMs;
  }
  // A long pause (the saver hidden) is taken as a short one.
  const double seconds = std::clamp(static_cast<double>(nowMs - lastMs_) / 1000.0, 0.0, 0.5);
  lastMs_ = nowMs;

  // The flame's picture against the flame's own mean: brighter tongues
  // light the room more.
  if (flameBrightness && *flameBrightness > 0) {
    const double b = *flameBrightness;
    meanBrightness_ = meanBrightness_ <= 0.0 ? b : meanBrightness_ + (b - meanBrightness_) * Follow(seconds, 8.0);
    flame_ = std::clamp(b / meanBrightness_, 0.7, 1.3);
  } else {
    flame_ += (1.0 - flame_) * Follow(seconds, 1.0);
  }
  // Slow swells: a wandering value pulled back to none over seconds.
  constexpr double kSwellSeconds = 2.5;
  constexpr double kSwellSpread = 0.11;
  swell_ += -swell_ * seconds / kSwellSeconds +
            kSwellSpread * std::sqrt(2.0 * seconds / kSwellSeconds) * Normal(random_);
  swell_ = std::clamp(swell_, -0.22, 0.22);
  // Short dips, a few a minute, quickly in and out.
  constexpr double kDipsPerSecond = 1.0 / 15.0;
  if (random_.Uniform() < kDipsPerSecond * seconds) dip_ = random_.Between(0.08, 0.16);
  dip_ -= dip_ * Follow(seconds, 0.5);

  const double target = kMean * (1.0 + 0.6 * (flame_ - 1.0)) * (1.0 + swell_) * (1.0 - dip_);
  smoothed_ += (target - smoothed_) * Follow(seconds, 0.3);
  const int wanted = std::clamp(static_cast<int>(std::lround(smoothed_)), kLowest, kHighest);
  if (std::abs(wanted - shown_) >= kStep && nowMs - shownAtMs_ >= kFewestMsBetween) {
    shown_ += std::clamp(wanted - shown_, -kMostStep, kMostStep);
    shownAtMs_ = nowMs;
  }
  return shown_;
}

int Spark::Heat() const {
  if (age >= life) return 0;
  const double left = 1.0 - age / life;
  return std::clamp(static_cast<int>(heat * std::pow(left, 0.7)), 0, 255);
}

Embers::Embers(uint64_t seed) : random_(seed) {
  sparks_.reserve(kMost);
  nextSingle_ = random_.Between(0.05, 0.3);
  nextBurst_ = random_.Between(1.0, 4.0);
}

void Embers::Birth() {
  if (sparks_.size() >= kMost) return;
  Spark s;
  // From the glowing tops of the logs, most near the middle of the fire.
  s.x = 400.0 + 230.0 * (random_.Uniform() + random_.Uniform() - 1.0);
  s.y = random_.Between(445.0, 475.0);
  s.vx = random_.Between(-12.0, 12.0);
  s.vy = -random_.Between(50.0, 140.0);
  s.life = random_.Between(1.2, 3.6);
  s.heat = random_.Between(170.0, 255.0);
  sparks_.push_back(s);
}

void Embers::Advance(double seconds) {
  // The wind wanders slowly and is pulled back to still air.
  wind_ += -wind_ * seconds / 4.0 + 14.0 * std::sqrt(seconds) * Normal(random_);
  wind_ = std::clamp(wind_, -30.0, 30.0);
  for (Spark& s : sparks_) {
    s.age += seconds;
    // Hot air lifts a spark, less as it cools and the air holds it back;
    // each one jitters on its own.
    s.vy += (-25.0 * s.Heat() / 255.0 - 0.4 * s.vy) * seconds;
    s.vx += (wind_ - s.vx) * Follow(seconds, 1.5) + 30.0 * std::sqrt(seconds) * Normal(random_);
    s.x += s.vx * seconds;
    s.y += s.vy * seconds;
  }
  std::erase_if(sparks_, [](const Spark& s) { return s.Heat() <= 0 || s.y < 0.0; });
  nextSingle_ -= seconds;
  while (nextSingle_ <= 0.0) {
    Birth();
    nextSingle_ += random_.Between(0.05, 0.35);
  }
  nextBurst_ -= seconds;
  if (nextBurst_ <= 0.0) {
    const int count = 3 + static_cast<int>(random_.Next() % 6);
    for (int k = 0; k < count; ++k) Birth();
    nextBurst_ = random_.Between(1.5, 6.0);
  }
  while (sparks_.size() < kFewest) Birth();
}

void Embers::Step(int64_t nowMs) {
  if (!started_) {
    started_ = true;
    lastMs_ = nowMs;
    // A fire that has burnt for a while has sparks in the air already.
    for (int k = 0; k < 100; ++k) Advance(kStepMs / 1000.0);
    return;
  }
  if (nowMs <= lastMs_) return;
  // A long pause (the saver hidden) moves the sparks on as a short one.
  const double seconds = std::min(static_cast<double>(nowMs - lastMs_) / 1000.0, 0.25);
  lastMs_ = nowMs;
  Advance(seconds);
}

void Embers::Draw(TegoDDrw& ddrw) const {
  for (const Spark& s : sparks_) {
    const int heat = s.Heat();
    if (heat > 0) ddrw.DrawSpark(static_cast<int>(std::lround(s.x)), static_cast<int>(std::lround(s.y)), heat);
  }
}

}  // namespace emberlrn
