// The crackle layer's scheduling on a fake clock: how often, how varied and
// how unlike each other its minutes are, and what it does with a bank that
// is missing or a clock that jumps.

#include "sound/crackle_layer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "fakes/fake_clock.h"
#include "fakes/fake_sound.h"
#include "sound/fire_sound.h"

namespace emberlrn {
namespace {

constexpr int32_t kFireVolume = -1667;

struct CrackleLayerTest : ::testing::Test {
  CrackleLayerTest() { voices.clock = &clock; }
  CrackleLayer& Started(uint64_t seed = 7) {
    layer = std::make_unique<CrackleLayer>(voices, clock, seed);
    layer->Load("/data/");
    layer->Start(kFireVolume);
    startMs = clock.MonotonicMs();
    return *layer;
  }
  void RunFor(int64_t ms) {
    for (int64_t t = 0; t < ms; t += kCrackleTickMs) {
      clock.AdvanceMs(kCrackleTickMs);
      layer->Tick();
    }
  }
  // Crackles in each second of the run.
  std::vector<double> PerSecond(int seconds) const {
    std::vector<double> counts(static_cast<size_t>(seconds), 0.0);
    for (const auto& p : voices.played) {
      const auto second = static_cast<size_t>((p.atMs - startMs) / 1000);
      if (second < counts.size()) counts[second] += 1.0;
    }
    return counts;
  }

  FakeClock clock;
  FakeCrackleVoices voices;
  std::unique_ptr<CrackleLayer> layer;
  int64_t startMs = 0;
};

double Correlation(const double* a, const double* b, size_t n) {
  double ma = 0, mb = 0;
  for (size_t i = 0; i < n; ++i) ma += a[i], mb += b[i];
  ma /= static_cast<double>(n), mb /= static_cast<double>(n);
  double ab = 0, aa = 0, bb = 0;
  for (size_t i = 0; i < n; ++i) {
    ab += (a[i] - ma) * (b[i] - mb), aa += (a[i] - ma) * (a[i] - ma), bb += (b[i] - mb) * (b[i] - mb);
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 1.0;
}

TEST_F(CrackleLayerTest, TenMinutesOfVariedCracklesWithADriftingRateAndBursts) {
  Started();
  RunFor(600'000);
  const auto& played = voices.played;
  const double perSecond = static_cast<double>(played.size()) / 600.0;
  EXPECT_GE(perSecond, 1.2);
  EXPECT_LE(perSecond, 4.0);

  // Every kind, most sounds of the bank at their pitches, both sides, and
  // levels over a wide range.
  std::set<int> sounds;
  std::set<std::string> kinds;
  int left = 0, right = 0;
  int32_t softest = 0, loudest = -10000;
  for (const auto& p : played) {
    sounds.insert(p.sound);
    kinds.insert(voices.bank.at(static_cast<size_t>(p.sound)));
    left += p.pan < -20 ? 1 : 0;
    right += p.pan > 20 ? 1 : 0;
    softest = std::min(softest, p.volume);
    loudest = std::max(loudest, p.volume);
  }
  EXPECT_EQ(kinds.size(), 5u);
  EXPECT_GE(sounds.size(), voices.bank.size() * 9 / 10);
  EXPECT_GT(left, static_cast<int>(played.size()) / 4);
  EXPECT_GT(right, static_cast<int>(played.size()) / 4);
  EXPECT_GE(loudest - softest, 2000);
  EXPECT_LE(loudest, 0);

  // Bursts: four or more crackles within 400 ms, now and then.
  int bursts = 0;
  for (size_t i = 0; i + 3 < played.size(); ++i) {
    if (played[i + 3].atMs - played[i].atMs <= 400 &&
        (i == 0 || played[i].atMs - played[i - 1].atMs > 400)) {
      ++bursts;
    }
  }
  EXPECT_GE(bursts, 20);

  // The rate drifts: some minutes are much livelier than others.
  const auto seconds = PerSecond(600);
  std::vector<double> minutes(10, 0.0);
  for (size_t s = 0; s < seconds.size(); ++s) minutes[s / 60] += seconds[s];
  EXPECT_GE(*std::max_element(minutes.begin(), minutes.end()),
            1.3 * *std::min_element(minutes.begin(), minutes.end()));

  // No two minutes are alike, second by second.
  for (size_t a = 0; a < 10; ++a) {
    for (size_t b = a + 1; b < 10; ++b) {
      EXPECT_LT(Correlation(&seconds[a * 60], &seconds[b * 60], 60), 0.5) << a << " " << b;
    }
  }
}

TEST_F(CrackleLayerTest, TheFireSoundStartsThemAtItsVolumeAndALouderFireHasLouderCrackles) {
  std::vector<FakeCrackleVoices::Played> heard[2];
  const int16_t volumes[2] = {-2500, -1667};
  for (int i = 0; i < 2; ++i) {
    FakeTegoDS ds;
    voices.played.clear();
    CrackleLayer same(voices, clock, 11);
    same.Load("/data/");
    FireSound fire(ds, &same);
    fire.soundOn = true;
    fire.soundVolume = volumes[i];
    fire.OpenDirectSoundSession();
    for (int t = 0; t < 30'000; t += kCrackleTickMs) {
      clock.AdvanceMs(kCrackleTickMs);
      same.Tick();
    }
    heard[i] = voices.played;
  }
  ASSERT_EQ(heard[0].size(), heard[1].size());
  ASSERT_GT(heard[0].size(), 10u);
  for (size_t k = 0; k < heard[0].size(); ++k) {
    EXPECT_EQ(heard[0][k].sound, heard[1][k].sound);
    // Each as much louder as the fire, unless held at the loudest.
    EXPECT_EQ(heard[1][k].volume, std::min(0, heard[0][k].volume + 833));
  }
}

TEST_F(CrackleLayerTest, EachSeedGivesItsOwnCrackles) {
  Started(1);
  RunFor(20'000);
  const auto first = voices.played;
  voices.played.clear();
  Started(2);
  RunFor(20'000);
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(voices.played.empty());
  int same = 0;
  for (size_t i = 0; i < std::min(first.size(), voices.played.size()); ++i) {
    same += first[i].sound == voices.played[i].sound ? 1 : 0;
  }
  EXPECT_LT(same, static_cast<int>(first.size()) / 4);
}

TEST_F(CrackleLayerTest, TickingOnlyWhenWorkIsDuePlaysWhatEveryTickWould) {
  Started(3);
  RunFor(30'000);
  const auto everyTick = voices.played;
  const int64_t firstStart = startMs;
  voices.played.clear();
  Started(3);
  int ticks = 0;
  for (int64_t t = 0; t < 30'000; t += kCrackleTickMs) {
    clock.AdvanceMs(kCrackleTickMs);
    if (layer->NextDueMs().value_or(INT64_MAX) <= clock.MonotonicMs()) layer->Tick(), ++ticks;
  }
  ASSERT_EQ(voices.played.size(), everyTick.size());
  for (size_t i = 0; i < everyTick.size(); ++i) {
    EXPECT_EQ(voices.played[i].atMs - startMs, everyTick[i].atMs - firstStart);
    EXPECT_EQ(voices.played[i].sound, everyTick[i].sound);
  }
  EXPECT_LT(ticks, 30'000 / kCrackleTickMs / 3);
  layer->Stop();
  EXPECT_EQ(layer->NextDueMs(), std::nullopt);
}

TEST_F(CrackleLayerTest, AfterAStallTheMissedCracklesAreDroppedNotPiledUp) {
  Started();
  RunFor(5'000);
  const size_t before = voices.played.size();
  clock.AdvanceMs(5'000);
  layer->Tick();
  EXPECT_LE(voices.played.size() - before, 8u);
  RunFor(20'000);
  EXPECT_GT(voices.played.size() - before, 20u) << "the layer did not go on after the stall";
}

TEST_F(CrackleLayerTest, StopSilencesAndPlaysNoMoreUntilTheNextStart) {
  Started();
  RunFor(10'000);
  layer->Stop();
  EXPECT_EQ(voices.calls.back(), "StopAll");
  EXPECT_TRUE(layer->Pending().empty());
  const size_t stopped = voices.played.size();
  RunFor(20'000);
  EXPECT_EQ(voices.played.size(), stopped);
  layer->Start(kFireVolume);
  RunFor(20'000);
  EXPECT_GT(voices.played.size(), stopped);
}

TEST_F(CrackleLayerTest, AMissingBankOrUnknownKindsPlayNothingOfThem) {
  voices.bank.clear();
  Started();
  RunFor(30'000);
  EXPECT_FALSE(layer->Playing());
  EXPECT_TRUE(voices.played.empty());

  // Kinds the layer does not know are left out; the others play.
  voices.bank = {"rumble", "tick", "whistle", "tick"};
  Started();
  RunFor(30'000);
  ASSERT_FALSE(voices.played.empty());
  for (const auto& p : voices.played) EXPECT_EQ(voices.bank.at(static_cast<size_t>(p.sound)), "tick");
}

}  // namespace
}  // namespace emberlrn
