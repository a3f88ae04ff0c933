// Checks the shipped fire.wav: its format, its level, that it loops without a
// seam, and that it is an even bed: the loud crackles are the saver's crackle
// layer's, and none in the loop stands out to be heard coming round again.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "wave_file.h"

namespace emberlrn::test {
namespace {

constexpr double kFullScale = 32768.0;
constexpr int kSampleRate = 44100;
constexpr double kSeamWindowSeconds = 0.050;
constexpr double kEnvelopeWindowSeconds = 0.005;
// Nothing in the loop peaks this far above the bed's level: a pop that did
// would be heard again at the same moment of every round.
constexpr double kLoudestRiseDb = 16.0;
// Windows closer than this belong to one crackle.
constexpr double kCrackleMergeSeconds = 0.020;

double ToDb(double ratio) { return 20.0 * std::log10(std::max(ratio, 1e-12)); }

double Rms(const std::vector<int16_t>& samples, size_t begin, size_t end) {
  double sum = 0.0;
  for (size_t i = begin; i < end; ++i) {
    const double value = samples[i] / kFullScale;
    sum += value * value;
  }
  return end > begin ? std::sqrt(sum / static_cast<double>(end - begin)) : 0.0;
}

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) {
    return 0.0;
  }
  const auto at = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at), values.end());
  return values[at];
}

// The channels averaged into one, as full-scale fractions.
std::vector<double> MonoMix(const WaveFile& wave) {
  std::vector<double> mono(wave.FrameCount(), 0.0);
  for (const auto& channel : wave.channels) {
    for (size_t i = 0; i < mono.size(); ++i) {
      mono[i] += channel[i] / kFullScale / static_cast<double>(wave.channels.size());
    }
  }
  return mono;
}

// Start times (in seconds) of the crackles that rise riseDb above the bed.
std::vector<double> CrackleTimes(const std::vector<double>& mono, double riseDb) {
  const size_t window = static_cast<size_t>(kEnvelopeWindowSeconds * kSampleRate);
  const size_t count = mono.size() / window;
  std::vector<double> peaks(count);
  std::vector<double> levels(count);
  for (size_t w = 0; w < count; ++w) {
    double peak = 0.0;
    double sum = 0.0;
    for (size_t i = w * window; i < (w + 1) * window; ++i) {
      peak = std::max(peak, std::abs(mono[i]));
      sum += mono[i] * mono[i];
    }
    peaks[w] = peak;
    levels[w] = std::sqrt(sum / static_cast<double>(window));
  }
  const double bed = Percentile(levels, 0.5);
  const double threshold = bed * std::pow(10.0, riseDb / 20.0);
  std::vector<double> times;
  for (size_t w = 0; w < count; ++w) {
    const double t = static_cast<double>(w * window) / kSampleRate;
    if (peaks[w] > threshold && (times.empty() || t - times.back() > kCrackleMergeSeconds)) {
      times.push_back(t);
    }
  }
  return times;
}

class FireSound : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    const auto path = DataFolder() / "fire.wav";
    ASSERT_TRUE(ReadWaveFile(path, wave_, error)) << path << ": " << error;
    ASSERT_GT(wave_.FrameCount(), 0u);
  }

  WaveFile wave_;
};

TEST_F(FireSound, IsSixteenBitPcmAtCdRateLastingTenToThirtySeconds) {
  EXPECT_EQ(wave_.formatTag, 1);
  EXPECT_EQ(wave_.bitsPerSample, 16);
  EXPECT_EQ(wave_.sampleRate, kSampleRate);
  EXPECT_GE(wave_.channelCount, 1);
  EXPECT_LE(wave_.channelCount, 2);
  EXPECT_GE(wave_.Seconds(), 10.0);
  EXPECT_LE(wave_.Seconds(), 30.0);
}

TEST_F(FireSound, PeaksBelowClippingAtAComfortableLevel) {
  for (const auto& channel : wave_.channels) {
    int peak = 0;
    size_t fullScaleSamples = 0;
    for (const int16_t sample : channel) {
      peak = std::max(peak, std::abs(static_cast<int>(sample)));
      fullScaleSamples += (sample >= 32767 || sample <= -32767) ? 1 : 0;
    }
    EXPECT_EQ(fullScaleSamples, 0u) << "the fire sound clips";
    const double peakDb = ToDb(peak / kFullScale);
    EXPECT_LE(peakDb, -1.0) << "no headroom left";
    const double rmsDb = ToDb(Rms(channel, 0, channel.size()));
    EXPECT_GE(rmsDb, -32.0) << "too quiet to hear at the default volume";
    EXPECT_LE(rmsDb, -16.0) << "too loud for a quiet fireside";
  }
}

TEST_F(FireSound, EndRunsIntoTheStartWithoutASeam) {
  const size_t frames = wave_.FrameCount();
  const auto seam = static_cast<size_t>(kSeamWindowSeconds * kSampleRate);
  for (int c = 0; c < wave_.channelCount; ++c) {
    const auto& channel = wave_.channels[c];
    SCOPED_TRACE("channel " + std::to_string(c));
    // The level just before the join matches the level just after it.
    const double head = ToDb(Rms(channel, 0, seam));
    const double tail = ToDb(Rms(channel, frames - seam, frames));
    EXPECT_NEAR(head, tail, 2.0);
    // Nor does the join fade through a dip: both sides sit at the file's usual level.
    std::vector<double> levels;
    for (size_t at = 0; at + seam <= frames; at += seam) {
      levels.push_back(ToDb(Rms(channel, at, at + seam)));
    }
    const double usual = Percentile(levels, 0.5);
    EXPECT_GT(head, usual - 6.0);
    EXPECT_GT(tail, usual - 6.0);
    // The step from the last sample to the first is no bigger than ordinary steps.
    std::vector<double> steps(frames - 1);
    for (size_t i = 0; i + 1 < frames; ++i) {
      steps[i] = std::abs(static_cast<double>(channel[i + 1]) - channel[i]);
    }
    const double joinStep = std::abs(static_cast<double>(channel.front()) - channel.back());
    EXPECT_LE(joinStep, Percentile(steps, 0.99));
  }
}

TEST_F(FireSound, NoCrackleInTheLoopStandsOutToBeHeardComingRound) {
  const auto loud = CrackleTimes(MonoMix(wave_), kLoudestRiseDb);
  EXPECT_TRUE(loud.empty()) << loud.size() << " crackles, the first at " << loud.front() << " s";
}

TEST_F(FireSound, ChannelsAreAlikeButNotIdentical) {
  if (wave_.channelCount != 2) {
    GTEST_SKIP() << "mono sound";
  }
  const auto& left = wave_.channels[0];
  const auto& right = wave_.channels[1];
  double lr = 0.0;
  double ll = 0.0;
  double rr = 0.0;
  for (size_t i = 0; i < left.size(); ++i) {
    lr += static_cast<double>(left[i]) * right[i];
    ll += static_cast<double>(left[i]) * left[i];
    rr += static_cast<double>(right[i]) * right[i];
  }
  const double correlation = lr / std::sqrt(ll * rr);
  // One fire in front of the listener, with a little width.
  EXPECT_GT(correlation, 0.3);
  EXPECT_LT(correlation, 0.97);
}

}  // namespace
}  // namespace emberlrn::test
