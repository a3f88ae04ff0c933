#pragma once
// Reads a Standard MIDI File: its chunks and events, the tempo map, how long
// its notes last, which channels sound and whether every note is released.
// The MIDI control takes a carol's length from it, and the checks of the
// carol files the rest.

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <vector>

namespace emberlrn {

// Thrown for bytes that are not a well-formed Standard MIDI File.
class MidiFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

constexpr int kMidiChannelCount = 16;
// General MIDI plays channel 10 (index 9) as the drum kit.
constexpr int kDrumChannel = 9;

struct MidiSummary {
  int format = 0;
  int trackCount = 0;
  int ticksPerQuarter = 0;
  // Time from the start to the last note event, normally the release of the
  // last note, through the tempo map. Meta events after it (the end of the
  // track among them) do not lengthen it.
  double durationSeconds = 0.0;
  int tempoEventCount = 0;
  int tracksWithNotes = 0;
  // Note-ons with a velocity above zero, per channel.
  std::array<int, kMidiChannelCount> notesPerChannel{};
  // True where a program change comes no later than the channel's first note.
  std::array<bool, kMidiChannelCount> programBeforeFirstNote{};
  // Note-ons that no note-off (or note-on of velocity zero) ever ends.
  int unreleasedNotes = 0;
  int maxVelocity = 0;

  int ChannelsWithNotes() const;
};

// Parses a whole file held in memory. Throws MidiFormatError when the bytes
// are garbled or truncated, or use the SMPTE time division.
MidiSummary ParseStandardMidiFile(std::span<const std::uint8_t> bytes);

// Reads a file's bytes; throws MidiFormatError when it cannot be read or is
// far too large for a MIDI file.
std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);

}  // namespace emberlrn
