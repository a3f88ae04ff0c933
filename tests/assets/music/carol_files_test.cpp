// Checks the 24 carol files of the playlist as the build makes them: each is a
// well-formed General MIDI file that plays for one to three minutes, has a
// melody with accompaniment, names its instruments and releases every note.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/standard_midi_file.h"

namespace emberlrn::test {
namespace {

constexpr int kCarolCount = 24;
constexpr double kShortestSeconds = 60.0;
constexpr double kLongestSeconds = 180.0;
// Below this the quietest notes of a carol would vanish under the fire.
constexpr int kLowestLoudestVelocity = 64;

std::filesystem::path DataFolder() {
  const char* folder = std::getenv("EMBERLRN_DATA_DIR");
  return folder != nullptr ? std::filesystem::path(folder) : std::filesystem::path();
}

std::filesystem::path CarolPath(int number) {
  return DataFolder() / ("midi" + std::to_string(number) + ".mid");
}

class CarolFile : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ASSERT_FALSE(DataFolder().empty()) << "EMBERLRN_DATA_DIR names the data folder";
    path_ = CarolPath(GetParam());
    ASSERT_TRUE(std::filesystem::is_regular_file(path_)) << path_ << " is missing";
    try {
      summary_ = ParseStandardMidiFile(ReadFileBytes(path_));
    } catch (const MidiFormatError& error) {
      FAIL() << path_ << " is not a well-formed MIDI file: " << error.what();
    }
  }

  std::filesystem::path path_;
  MidiSummary summary_;
};

TEST_P(CarolFile, IsAMultitrackFileOfMetricalTime) {
  EXPECT_TRUE(summary_.format == 0 || summary_.format == 1) << "format " << summary_.format;
  EXPECT_GT(summary_.ticksPerQuarter, 0);
  EXPECT_GE(summary_.tempoEventCount, 1) << "the tempo is stated, not left to the player";
}

TEST_P(CarolFile, PlaysForOneToThreeMinutes) {
  EXPECT_GE(summary_.durationSeconds, kShortestSeconds);
  EXPECT_LE(summary_.durationSeconds, kLongestSeconds);
}

TEST_P(CarolFile, HasAMelodyWithAccompaniment) {
  EXPECT_GE(summary_.ChannelsWithNotes(), 2);
  EXPECT_GE(summary_.tracksWithNotes, 2);
}

TEST_P(CarolFile, ChoosesAnInstrumentForEveryPitchedChannel) {
  for (int channel = 0; channel < kMidiChannelCount; ++channel) {
    if (channel != kDrumChannel && summary_.notesPerChannel[channel] > 0) {
      EXPECT_TRUE(summary_.programBeforeFirstNote[channel]) << "channel " << channel + 1;
    }
  }
}

TEST_P(CarolFile, ReleasesEveryNoteAndIsHeardOverTheFire) {
  EXPECT_EQ(summary_.unreleasedNotes, 0);
  EXPECT_GE(summary_.maxVelocity, kLowestLoudestVelocity);
}

INSTANTIATE_TEST_SUITE_P(Playlist, CarolFile, ::testing::Range(1, kCarolCount + 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "midi" + std::to_string(info.param);
                         });

TEST(CarolPlaylist, EveryCarolIsADifferentPiece) {
  std::set<std::vector<std::uint8_t>> seen;
  for (int number = 1; number <= kCarolCount; ++number) {
    const auto path = CarolPath(number);
    if (!std::filesystem::is_regular_file(path)) {
      ADD_FAILURE() << path << " is missing";
      continue;
    }
    EXPECT_TRUE(seen.insert(ReadFileBytes(path)).second) << path << " repeats an earlier carol";
  }
}

}  // namespace
}  // namespace emberlrn::test
