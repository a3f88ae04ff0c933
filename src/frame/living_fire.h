#pragma once
// What makes the fire live between the flame's ten pictures: the order in
// which the flame's frames play, the firelight's strength on the hearth and
// the surround, and the sparks rising from the logs. Each part is driven by
// the frame's time alone and draws through the drawing control, so it runs
// the same in the saver, in the dialog's preview and in the tests.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <unordered_set>
#include <vector>

namespace emberlrn {

class TegoDDrw;

// A small fast random source with the same numbers on every machine.
class FireRandom {
 public:
  explicit FireRandom(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  // From 0 up to, not including, 1.
  double Uniform();
  double Between(double low, double high) { return low + (high - low) * Uniform(); }

 private:
  uint64_t state_;
};

// The flame's frames as a walk among neighbours of the flame's round: most
// steps go on by one, some skip ahead or fall back, so the tongues never
// rise the same way twice. No run of `kRunLength` frames is played again
// while it is remembered: a step that would repeat one takes another way.
class FlameWalk {
 public:
  static constexpr int kRunLength = 10;
  // How many runs are remembered: minutes of steps at the fastest pace.
  static constexpr size_t kRunsRemembered = 16384;

  FlameWalk(int frames, uint64_t seed);
  // The frame to show next, 1 to frames.
  int Next();

 private:
  uint64_t RunKeyWith(int frame) const;

  int frames_;
  int current_ = 1;
  FireRandom random_;
  std::deque<int> recent_;  // the last kRunLength - 1 frames shown
  std::unordered_set<uint64_t> seen_;
  std::deque<uint64_t> seenOrder_;
};

// The firelight's strength, 0 to 255, as it would light the room: the
// flame's brightness, smoothed, on slow swells, with now and then a short
// dip as a log settles. It moves in small steps and at most a few times a
// second, so the light is seen as warmth and never as flashing.
class Firelight {
 public:
  static constexpr int kMean = 170;
  static constexpr int kLowest = 110;
  static constexpr int kHighest = 230;
  // The smallest change worth drawing, and the shortest time between two.
  static constexpr int kStep = 3;
  // The largest change at once: a dip takes a few of them.
  static constexpr int kMostStep = 12;
  static constexpr int64_t kFewestMsBetween = 1000;

  explicit Firelight(uint64_t seed);
  // The light at `nowMs`, with the flame showing a picture of that
  // brightness (nothing when not known).
  int Step(int64_t nowMs, std::optional<int> flameBrightness);
  int Level() const { return shown_; }

 private:
  FireRandom random_;
  bool started_ = false;
  int64_t lastMs_ = 0;
  int64_t shownAtMs_ = 0;
  double meanBrightness_ = 0.0;  // the flame's own mean, learnt as it plays
  double flame_ = 1.0;           // this picture's brightness against that mean
  double swell_ = 0.0;
  double dip_ = 0.0;
  double smoothed_ = kMean;
  int shown_ = kMean;
};

// One spark: where it is in scene pixels, how it moves, how long it lives.
struct Spark {
  double x = 0, y = 0;
  double vx = 0, vy = 0;
  double age = 0, life = 1;  // seconds
  double heat = 255;         // at birth
  // 255 at its hottest down to 1; 0 once it has cooled away.
  int Heat() const;
};

// Sparks rising from the logs, singly and in small bursts, drifting with a
// wind that wanders, cooling from yellow to red and fading. Between
// kFewest and kMost are in the air at any time.
class Embers {
 public:
  static constexpr size_t kFewest = 10;
  static constexpr size_t kMost = 60;
  // The sparks move at this pace, the flame's default one, so that at that
  // pace they cost no frames of their own; a faster flame moves them faster.
  static constexpr int64_t kStepMs = 100;

  explicit Embers(uint64_t seed);
  // Moves the sparks on to `nowMs`; the first call starts a fire that has
  // burnt for a while, sparks already in the air.
  void Step(int64_t nowMs);
  // Each spark as a glow of added light.
  void Draw(TegoDDrw& ddrw) const;
  // When the sparks move next.
  int64_t NextStepMs() const { return lastMs_ + kStepMs; }
  const std::vector<Spark>& Sparks() const { return sparks_; }

 private:
  void Advance(double seconds);
  void Birth();

  FireRandom random_;
  bool started_ = false;
  int64_t lastMs_ = 0;
  double wind_ = 0.0;        // pixels per second to the right, wandering
  double nextSingle_ = 0.0;  // seconds until the next lone spark
  double nextBurst_ = 0.0;   // seconds until the next burst
  std::vector<Spark> sparks_;
};

// The living fire's state for one scene.
struct LivingFire {
  explicit LivingFire(uint64_t seed, int frames = 10)
      : flameFrames(frames), walk(frames, seed), light(seed ^ 0x5A5A5A5Au), embers(seed ^ 0xA5A5A5A5u) {}
  int flameFrames;
  int flameFrame = 1;  // the flame's frame on screen
  FlameWalk walk;
  Firelight light;
  Embers embers;
};

}  // namespace emberlrn
