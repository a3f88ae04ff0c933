// Checks the crackle bank as the build makes it: the index and the wave file
// agree, every kind is there in many sounds, each sound is short, starts
// softly, dies away to silence and is unlike every other, and the review
// picture of the waveforms has been drawn.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/crackle_index.h"
#include "wave_file.h"

namespace emberlrn::test {
namespace {

constexpr double kFullScale = 32768.0;
constexpr int kPitches = 3;

struct Sound {
  std::string kind;
  size_t first = 0;
  size_t frames = 0;
};

// The longest sound of each kind may last, in seconds.
const std::map<std::string, double> kLongest = {
    {"tick", 0.015}, {"snap", 0.06}, {"pop", 0.2}, {"hiss", 0.8}, {"settle", 1.0}};

class CrackleBank : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(ReadWaveFile(DataFolder() / "crackles.wav", wave_, error)) << error;
    ASSERT_EQ(wave_.channelCount, 1);
    ASSERT_EQ(wave_.sampleRate, 44100);
    std::ifstream index(DataFolder() / "crackles.txt");
    ASSERT_TRUE(index) << "no crackles.txt";
    int leftOut = 0;
    for (const CrackleSpan& span :
         ReadCrackleIndex(index, static_cast<long>(wave_.FrameCount()), leftOut)) {
      sounds_.push_back({span.kind, static_cast<size_t>(span.first), static_cast<size_t>(span.frames)});
    }
    ASSERT_EQ(leftOut, 0) << "lines of crackles.txt that name no sound";
  }
  double Sample(const Sound& sound, size_t i) const {
    return wave_.channels[0][sound.first + i] / kFullScale;
  }

  WaveFile wave_;
  std::vector<Sound> sounds_;
};

TEST_F(CrackleBank, ManyShortSoundsOfEveryKindWithinTheFile) {
  std::map<std::string, int> perKind;
  size_t end = 0;
  for (const Sound& sound : sounds_) {
    ASSERT_TRUE(kLongest.count(sound.kind)) << sound.kind;
    ++perKind[sound.kind];
    EXPECT_GT(sound.frames, 0u);
    EXPECT_LE(sound.frames / 44100.0, kLongest.at(sound.kind)) << sound.kind;
    EXPECT_GE(sound.first, end) << "sounds overlap";
    end = sound.first + sound.frames;
  }
  EXPECT_LE(end, wave_.FrameCount());
  EXPECT_GE(sounds_.size() / kPitches, 30u);
  EXPECT_EQ(perKind.size(), kLongest.size());
  for (const auto& [kind, count] : perKind) EXPECT_GE(count, 3 * kPitches) << kind;
}

TEST_F(CrackleBank, EachSoundStartsSoftlyPeaksHighAndDiesAway) {
  for (const Sound& sound : sounds_) {
    SCOPED_TRACE(sound.kind + " at " + std::to_string(sound.first));
    double peak = 0.0;
    for (size_t i = 0; i < sound.frames; ++i) peak = std::max(peak, std::abs(Sample(sound, i)));
    EXPECT_GT(peak, 0.8);
    EXPECT_LT(peak, 0.99) << "no headroom";
    // No digital step at either end: the first and last samples sit near zero.
    EXPECT_LT(std::abs(Sample(sound, 0)), 0.05 * peak);
    EXPECT_LT(std::abs(Sample(sound, sound.frames - 1)), 0.01 * peak);
  }
}

TEST_F(CrackleBank, NoTwoSoundsAreAlike) {
  // Sounds alike in their first milliseconds would be heard as one.
  constexpr size_t kHead = 200;
  std::vector<std::vector<double>> heads;
  for (const Sound& sound : sounds_) {
    std::vector<double> head(kHead, 0.0);
    for (size_t i = 0; i < std::min(kHead, sound.frames); ++i) head[i] = Sample(sound, i);
    heads.push_back(head);
  }
  for (size_t a = 0; a < heads.size(); ++a) {
    for (size_t b = a + 1; b < heads.size(); ++b) {
      double ab = 0, aa = 0, bb = 0;
      for (size_t i = 0; i < kHead; ++i) {
        ab += heads[a][i] * heads[b][i], aa += heads[a][i] * heads[a][i], bb += heads[b][i] * heads[b][i];
      }
      EXPECT_LT(ab / std::sqrt(aa * bb), 0.98) << "sounds " << a << " and " << b;
    }
  }
}

TEST(CrackleBankReview, APictureOfTheWaveformsIsDrawn) {
  const char* folder = std::getenv("EMBERLRN_ART_REVIEW_DIR");
  ASSERT_NE(folder, nullptr);
  const auto picture = std::filesystem::path(folder) / "crackle-bank.png";
  ASSERT_TRUE(std::filesystem::exists(picture)) << picture;
  EXPECT_GT(std::filesystem::file_size(picture), 5000u) << "an empty picture";
}

}  // namespace
}  // namespace emberlrn::test
