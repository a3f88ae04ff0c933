// Checks the MIDI file reader, on small files built byte by byte: timing
// through tempo changes, running status, released and hanging notes, and
// garbled input.

#include "platform/standard_midi_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace emberlrn {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kTicksPerQuarter = 480;

void Append(Bytes& to, std::initializer_list<int> values) {
  for (int value : values) {
    to.push_back(static_cast<std::uint8_t>(value));
  }
}

void AppendBigEndian(Bytes& to, std::uint32_t value, int byteCount) {
  for (int i = byteCount - 1; i >= 0; --i) {
    to.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFFu));
  }
}

// Events of one track, each preceded by its delta time.
class TrackBuilder {
 public:
  TrackBuilder& Delta(std::uint32_t ticks) {
    Bytes groups{static_cast<std::uint8_t>(ticks & 0x7Fu)};
    while ((ticks >>= 7) != 0) {
      groups.insert(groups.begin(), static_cast<std::uint8_t>(0x80u | (ticks & 0x7Fu)));
    }
    events_.insert(events_.end(), groups.begin(), groups.end());
    return *this;
  }
  TrackBuilder& Raw(std::initializer_list<int> values) {
    Append(events_, values);
    return *this;
  }
  TrackBuilder& Tempo(std::uint32_t microsPerQuarter) {
    Append(events_, {0xFF, 0x51, 0x03});
    AppendBigEndian(events_, microsPerQuarter, 3);
    return *this;
  }
  TrackBuilder& End() { return Delta(0).Raw({0xFF, 0x2F, 0x00}); }

  Bytes Chunk() const {
    Bytes chunk{'M', 'T', 'r', 'k'};
    AppendBigEndian(chunk, static_cast<std::uint32_t>(events_.size()), 4);
    chunk.insert(chunk.end(), events_.begin(), events_.end());
    return chunk;
  }

 private:
  Bytes events_;
};

Bytes File(int format, std::initializer_list<TrackBuilder> tracks,
           int division = kTicksPerQuarter) {
  Bytes file{'M', 'T', 'h', 'd', 0, 0, 0, 6};
  AppendBigEndian(file, static_cast<std::uint32_t>(format), 2);
  AppendBigEndian(file, static_cast<std::uint32_t>(tracks.size()), 2);
  AppendBigEndian(file, static_cast<std::uint32_t>(division), 2);
  for (const auto& track : tracks) {
    const Bytes chunk = track.Chunk();
    file.insert(file.end(), chunk.begin(), chunk.end());
  }
  return file;
}

TEST(StandardMidiFile, TimesANoteAtTheDefaultTempo) {
  TrackBuilder track;
  track.Delta(0).Raw({0x90, 60, 100}).Delta(2 * kTicksPerQuarter).Raw({0x80, 60, 0}).End();
  const MidiSummary summary = ParseStandardMidiFile(File(0, {track}));
  EXPECT_EQ(summary.format, 0);
  EXPECT_EQ(summary.trackCount, 1);
  EXPECT_DOUBLE_EQ(summary.durationSeconds, 1.0);  // two quarters at 120 a minute
  EXPECT_EQ(summary.notesPerChannel[0], 1);
  EXPECT_EQ(summary.unreleasedNotes, 0);
  EXPECT_EQ(summary.maxVelocity, 100);
}

TEST(StandardMidiFile, FollowsTheTempoMapOfTheFirstTrack) {
  TrackBuilder tempo;
  tempo.Delta(0).Tempo(500000).Delta(kTicksPerQuarter).Tempo(1000000).End();
  TrackBuilder notes;
  notes.Delta(0).Raw({0x91, 64, 90}).Delta(3 * kTicksPerQuarter).Raw({0x81, 64, 0}).End();
  const MidiSummary summary = ParseStandardMidiFile(File(1, {tempo, notes}));
  // One quarter at half a second, then two at a second each.
  EXPECT_DOUBLE_EQ(summary.durationSeconds, 2.5);
  EXPECT_EQ(summary.tempoEventCount, 2);
  EXPECT_EQ(summary.tracksWithNotes, 1);
  EXPECT_EQ(summary.notesPerChannel[1], 1);
}

TEST(StandardMidiFile, ALengthEndsAtTheLastReleaseThroughATempoChange) {
  TrackBuilder tempo;
  tempo.Delta(0)
      .Tempo(500000)
      .Delta(kTicksPerQuarter)
      .Tempo(250000)
      .Delta(6 * kTicksPerQuarter)
      .Tempo(1000000)  // after the last note: no part of it
      .End();
  TrackBuilder notes;
  notes.Delta(0)
      .Raw({0x90, 60, 100})
      .Delta(2 * kTicksPerQuarter)
      .Raw({60, 0})  // running status: a release
      .Delta(0)
      .Raw({64, 100})
      .Delta(kTicksPerQuarter)
      .Raw({64, 0})  // the last note ends here
      .Delta(2 * kTicksPerQuarter)
      .Raw({0xFF, 0x01, 0x03, 'e', 'n', 'd'})
      .Delta(kTicksPerQuarter)
      .Raw({0xFF, 0x2F, 0x00});
  const MidiSummary summary = ParseStandardMidiFile(File(1, {tempo, notes}));
  // One quarter at half a second, then two at a quarter second each.
  EXPECT_DOUBLE_EQ(summary.durationSeconds, 1.0);
  EXPECT_EQ(summary.unreleasedNotes, 0);
}

TEST(StandardMidiFile, ReadsRunningStatusAndNoteOnOfVelocityZeroAsRelease) {
  TrackBuilder track;
  track.Delta(0)
      .Raw({0xC2, 8})
      .Delta(0)
      .Raw({0x92, 60, 80})
      .Delta(0)
      .Raw({62, 80})  // running status: another note-on
      .Delta(kTicksPerQuarter)
      .Raw({60, 0})
      .Delta(0)
      .Raw({62, 0})
      .End();
  const MidiSummary summary = ParseStandardMidiFile(File(0, {track}));
  EXPECT_EQ(summary.notesPerChannel[2], 2);
  EXPECT_EQ(summary.unreleasedNotes, 0);
  EXPECT_TRUE(summary.programBeforeFirstNote[2]);
  EXPECT_DOUBLE_EQ(summary.durationSeconds, 0.5);
}

TEST(StandardMidiFile, CountsNotesNeverReleasedAndProgramsThatComeLate) {
  TrackBuilder track;
  track.Delta(0)
      .Raw({0x93, 60, 80})
      .Delta(10)
      .Raw({0xC3, 0})
      .Delta(10)
      .Raw({0x93, 67, 80})
      .Delta(kTicksPerQuarter)
      .Raw({0x83, 67, 0})
      .End();
  const MidiSummary summary = ParseStandardMidiFile(File(0, {track}));
  EXPECT_EQ(summary.unreleasedNotes, 1);
  EXPECT_FALSE(summary.programBeforeFirstNote[3]);
  EXPECT_EQ(summary.ChannelsWithNotes(), 1);
}

TEST(StandardMidiFile, SkipsMetaAndSystemExclusiveEvents) {
  TrackBuilder track;
  track.Delta(0)
      .Raw({0xFF, 0x03, 0x04, 'S', 'o', 'n', 'g'})
      .Delta(0)
      .Raw({0xF0, 0x03, 0x7E, 0x09, 0xF7})
      .Delta(0)
      .Raw({0x99, 38, 100})
      .Delta(kTicksPerQuarter)
      .Raw({0x89, 38, 0})
      .End();
  const MidiSummary summary = ParseStandardMidiFile(File(0, {track}));
  EXPECT_EQ(summary.notesPerChannel[kDrumChannel], 1);
}

TEST(StandardMidiFile, RejectsGarbledFiles) {
  TrackBuilder good;
  good.Delta(0).Raw({0x90, 60, 100}).Delta(10).Raw({0x80, 60, 0}).End();
  const Bytes valid = File(0, {good});
  ASSERT_NO_THROW(ParseStandardMidiFile(valid));

  Bytes wrongMagic = valid;
  wrongMagic[0] = 'R';
  EXPECT_THROW(ParseStandardMidiFile(wrongMagic), MidiFormatError);

  const Bytes truncated(valid.begin(), valid.end() - 2);
  EXPECT_THROW(ParseStandardMidiFile(truncated), MidiFormatError);

  EXPECT_THROW(ParseStandardMidiFile(Bytes{}), MidiFormatError);

  TrackBuilder noEnd;
  noEnd.Delta(0).Raw({0x90, 60, 100}).Delta(10).Raw({0x80, 60, 0});
  EXPECT_THROW(ParseStandardMidiFile(File(0, {noEnd})), MidiFormatError);

  TrackBuilder strayData;
  strayData.Delta(0).Raw({60, 100}).End();
  EXPECT_THROW(ParseStandardMidiFile(File(0, {strayData})), MidiFormatError);

  TrackBuilder longQuantity;
  longQuantity.Raw({0x81, 0x81, 0x81, 0x81, 0x01}).Raw({0x90, 60, 100}).End();
  EXPECT_THROW(ParseStandardMidiFile(File(0, {longQuantity})), MidiFormatError);

  Bytes tooFewTracks = File(1, {good, good});
  tooFewTracks[11] = 3;  // the header now promises three tracks
  EXPECT_THROW(ParseStandardMidiFile(tooFewTracks), MidiFormatError);

  EXPECT_THROW(ParseStandardMidiFile(File(0, {good}, 0xE728)), MidiFormatError);  // SMPTE
}

}  // namespace
}  // namespace emberlrn
