#include "platform/standard_midi_file.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <system_error>
#include <utility>

namespace emberlrn {
namespace {

constexpr int kMetaEvent = 0xFF;
constexpr int kSysExStart = 0xF0;
constexpr int kSysExContinue = 0xF7;
constexpr int kMetaEndOfTrack = 0x2F;
constexpr int kMetaTempo = 0x51;
constexpr int kNoteOff = 0x80;
constexpr int kNoteOn = 0x90;
constexpr int kProgramChange = 0xC0;
constexpr int kChannelPressure = 0xD0;
constexpr int kHeaderLength = 6;
constexpr int kMaxQuantityBytes = 4;
// The tempo a file has until its first tempo event: 120 quarter notes a minute.
constexpr double kDefaultMicrosPerQuarter = 500000.0;
constexpr double kMicrosPerSecond = 1e6;
// Carols are a few kilobytes; anything far larger is no carol.
constexpr std::uintmax_t kLargestFileBytes = 16u << 20;

// A cursor over one chunk's bytes that refuses to run past its end.
class ByteReader {
 public:
  ByteReader(std::span<const std::uint8_t> bytes, std::string where)
      : bytes_(bytes), where_(std::move(where)) {}

  bool AtEnd() const { return position_ >= bytes_.size(); }
  size_t Position() const { return position_; }

  std::uint8_t Byte() {
    if (AtEnd()) {
      throw MidiFormatError(where_ + ": data ends in the middle of an event");
    }
    return bytes_[position_++];
  }

  std::uint8_t Peek() const {
    if (AtEnd()) {
      throw MidiFormatError(where_ + ": data ends in the middle of an event");
    }
    return bytes_[position_];
  }

  std::uint32_t BigEndian(int byteCount) {
    std::uint32_t value = 0;
    for (int i = 0; i < byteCount; ++i) {
      value = (value << 8) | Byte();
    }
    return value;
  }

  // A variable-length quantity: seven bits a byte, high bit set on all but the last.
  std::uint32_t Quantity() {
    std::uint32_t value = 0;
    for (int i = 0; i < kMaxQuantityBytes; ++i) {
      const std::uint8_t byte = Byte();
      value = (value << 7) | (byte & 0x7Fu);
      if ((byte & 0x80u) == 0) {
        return value;
      }
    }
    throw MidiFormatError(where_ + ": a variable-length quantity runs over four bytes");
  }

  std::span<const std::uint8_t> Take(size_t count) {
    if (count > bytes_.size() - position_) {
      throw MidiFormatError(where_ + ": a length points past the end of the data");
    }
    auto part = bytes_.subspan(position_, count);
    position_ += count;
    return part;
  }

  const std::string& Where() const { return where_; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::string where_;
  size_t position_ = 0;
};

struct TrackFacts {
  std::uint64_t lastNoteTick = 0;
  bool hasNotes = false;
};

// What all tracks gather into, before ticks become seconds.
struct Gathered {
  std::map<std::uint64_t, double> tempoAtTick;  // tick -> microseconds per quarter
  std::uint64_t lastNoteTick = 0;
  std::array<std::uint64_t, kMidiChannelCount> firstNoteTick{};
  std::array<std::uint64_t, kMidiChannelCount> firstProgramTick{};
  std::array<bool, kMidiChannelCount> hasProgram{};
  std::map<std::pair<int, int>, int> soundingNotes;  // (channel, key) -> count
};

int DataLength(int status) {
  const int kind = status & 0xF0;
  return (kind == kProgramChange || kind == kChannelPressure) ? 1 : 2;
}

void ReadTrack(ByteReader& reader, MidiSummary& summary, Gathered& gathered) {
  std::uint64_t tick = 0;
  int runningStatus = 0;
  bool ended = false;
  TrackFacts facts;
  while (!reader.AtEnd()) {
    if (ended) {
      throw MidiFormatError(reader.Where() + ": events follow the end-of-track event");
    }
    tick += reader.Quantity();
    int status = reader.Peek();
    if (status & 0x80) {
      reader.Byte();
    } else if (runningStatus == 0) {
      throw MidiFormatError(reader.Where() + ": running status with no status before it");
    } else {
      status = runningStatus;
    }

    if (status == kMetaEvent) {
      const int type = reader.Byte();
      const auto data = reader.Take(reader.Quantity());
      if (type == kMetaEndOfTrack) {
        ended = true;
      } else if (type == kMetaTempo) {
        if (data.size() != 3) {
          throw MidiFormatError(reader.Where() + ": a tempo event is not three bytes long");
        }
        const double micros = (data[0] << 16) | (data[1] << 8) | data[2];
        if (micros <= 0) {
          throw MidiFormatError(reader.Where() + ": a tempo of zero");
        }
        gathered.tempoAtTick[tick] = micros;
        ++summary.tempoEventCount;
      }
      runningStatus = 0;  // meta and system exclusive events cancel running status
      continue;
    }
    if (status == kSysExStart || status == kSysExContinue) {
      reader.Take(reader.Quantity());
      runningStatus = 0;
      continue;
    }
    if (status >= kSysExStart) {
      throw MidiFormatError(reader.Where() + ": a system message is not allowed in a file");
    }

    runningStatus = status;
    std::array<int, 2> data{};
    for (int i = 0; i < DataLength(status); ++i) {
      data[i] = reader.Byte();
      if (data[i] & 0x80) {
        throw MidiFormatError(reader.Where() + ": a data byte has its high bit set");
      }
    }
    const int channel = status & 0x0F;
    const int kind = status & 0xF0;
    const auto key = std::make_pair(channel, data[0]);
    if (kind == kNoteOn && data[1] > 0) {
      if (summary.notesPerChannel[channel] == 0) {
        gathered.firstNoteTick[channel] = tick;
      } else {
        gathered.firstNoteTick[channel] = std::min(gathered.firstNoteTick[channel], tick);
      }
      ++summary.notesPerChannel[channel];
      ++gathered.soundingNotes[key];
      summary.maxVelocity = std::max(summary.maxVelocity, data[1]);
      facts.hasNotes = true;
      facts.lastNoteTick = std::max(facts.lastNoteTick, tick);
    } else if (kind == kNoteOff || kind == kNoteOn) {
      auto sounding = gathered.soundingNotes.find(key);
      if (sounding != gathered.soundingNotes.end() && sounding->second > 0) {
        --sounding->second;
      }
      facts.lastNoteTick = std::max(facts.lastNoteTick, tick);
    } else if (kind == kProgramChange) {
      if (!gathered.hasProgram[channel] || tick < gathered.firstProgramTick[channel]) {
        gathered.firstProgramTick[channel] = tick;
      }
      gathered.hasProgram[channel] = true;
    }
  }
  if (!ended) {
    throw MidiFormatError(reader.Where() + ": the track has no end-of-track event");
  }
  if (facts.hasNotes) {
    ++summary.tracksWithNotes;
  }
  gathered.lastNoteTick = std::max(gathered.lastNoteTick, facts.lastNoteTick);
}

double TicksToSeconds(std::uint64_t endTick, const std::map<std::uint64_t, double>& tempoAtTick,
                      int ticksPerQuarter) {
  double seconds = 0.0;
  std::uint64_t tick = 0;
  double micros = kDefaultMicrosPerQuarter;
  for (const auto& [changeTick, changeMicros] : tempoAtTick) {
    if (changeTick >= endTick) {
      break;
    }
    seconds += static_cast<double>(changeTick - tick) * micros / ticksPerQuarter / kMicrosPerSecond;
    tick = changeTick;
    micros = changeMicros;
  }
  seconds += static_cast<double>(endTick - tick) * micros / ticksPerQuarter / kMicrosPerSecond;
  return seconds;
}

}  // namespace

int MidiSummary::ChannelsWithNotes() const {
  return static_cast<int>(
      std::count_if(notesPerChannel.begin(), notesPerChannel.end(), [](int n) { return n > 0; }));
}

MidiSummary ParseStandardMidiFile(std::span<const std::uint8_t> bytes) {
  ByteReader file(bytes, "file");
  if (bytes.size() < 4 || !std::equal(bytes.begin(), bytes.begin() + 4, "MThd")) {
    throw MidiFormatError("file: it does not start with an MThd header");
  }
  file.Take(4);
  const std::uint32_t headerLength = file.BigEndian(4);
  if (headerLength < kHeaderLength) {
    throw MidiFormatError("file: the MThd header is shorter than six bytes");
  }
  ByteReader header(file.Take(headerLength), "header");
  MidiSummary summary;
  summary.format = static_cast<int>(header.BigEndian(2));
  const int declaredTracks = static_cast<int>(header.BigEndian(2));
  const std::uint32_t division = header.BigEndian(2);
  if (summary.format > 2) {
    throw MidiFormatError("header: unknown format " + std::to_string(summary.format));
  }
  if (division & 0x8000u) {
    throw MidiFormatError("header: SMPTE time division is not used by the playlist");
  }
  if (division == 0) {
    throw MidiFormatError("header: zero ticks per quarter note");
  }
  summary.ticksPerQuarter = static_cast<int>(division);

  Gathered gathered;
  while (!file.AtEnd()) {
    const auto chunkId = file.Take(4);
    const std::uint32_t length = file.BigEndian(4);
    const auto body = file.Take(length);
    if (!std::equal(chunkId.begin(), chunkId.end(), "MTrk")) {
      continue;  // chunks of other kinds are skipped, as the format allows
    }
    ++summary.trackCount;
    ByteReader track(body, "track " + std::to_string(summary.trackCount));
    ReadTrack(track, summary, gathered);
  }
  if (summary.trackCount != declaredTracks) {
    throw MidiFormatError("file: the header declares " + std::to_string(declaredTracks) +
                          " tracks but " + std::to_string(summary.trackCount) + " follow");
  }
  if (summary.format == 0 && summary.trackCount != 1) {
    throw MidiFormatError("file: a format 0 file must hold exactly one track");
  }

  for (int channel = 0; channel < kMidiChannelCount; ++channel) {
    summary.programBeforeFirstNote[channel] =
        gathered.hasProgram[channel] &&
        (summary.notesPerChannel[channel] == 0 ||
         gathered.firstProgramTick[channel] <= gathered.firstNoteTick[channel]);
  }
  for (const auto& [key, count] : gathered.soundingNotes) {
    summary.unreleasedNotes += count;
  }
  summary.durationSeconds =
      TicksToSeconds(gathered.lastNoteTick, gathered.tempoAtTick, summary.ticksPerQuarter);
  return summary;
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) {
    throw MidiFormatError("it cannot be read");
  }
  if (size > kLargestFileBytes) {
    throw MidiFormatError("it is too large for a MIDI file");
  }
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes(static_cast<size_t>(size));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
    throw MidiFormatError("it cannot be read");
  }
  return bytes;
}

}  // namespace emberlrn
