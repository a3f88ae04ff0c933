#pragma once
// Small sound files made by the tests themselves: a tone as a WAV file and a
// tune as a standard MIDI file, written byte by byte.

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace emberlrn::testing_sound {

inline void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}
inline void PutBe(std::string& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A 16-bit mono WAV file: a sine of the given frequency and peak (0..1) for
// toneSeconds, then silence until totalSeconds.
inline void WriteToneWav(const std::string& path, double toneSeconds, double totalSeconds,
                         double frequency = 441.0, double peak = 0.5, int rate = 44100) {
  const auto frames = static_cast<uint32_t>(std::lround(totalSeconds * rate));
  const auto toneFrames = static_cast<uint32_t>(std::lround(toneSeconds * rate));
  std::string data;
  for (uint32_t i = 0; i < frames; ++i) {
    const double value = i < toneFrames ? peak * std::sin(2.0 * M_PI * frequency * i / rate) : 0.0;
    PutLe(data, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value * 32767.0))), 2);
  }
  std::string file = "RIFF";
  PutLe(file, 36 + static_cast<uint32_t>(data.size()), 4);
  file += "WAVEfmt ";
  PutLe(file, 16, 4);
  PutLe(file, 1, 2);         // PCM
  PutLe(file, 1, 2);         // mono
  PutLe(file, rate, 4);
  PutLe(file, rate * 2, 4);  // bytes per second
  PutLe(file, 2, 2);         // bytes per frame
  PutLe(file, 16, 2);        // bits per sample
  file += "data";
  PutLe(file, static_cast<uint32_t>(data.size()), 4);
  WriteFile(path, file + data);
}

inline void PutVarLen(std::string& out, uint32_t value) {
  std::vector<char> bytes{static_cast<char>(value & 0x7F)};
  while ((value >>= 7) != 0) bytes.push_back(static_cast<char>((value & 0x7F) | 0x80));
  for (auto it = bytes.rbegin(); it != bytes.rend(); ++it) out.push_back(*it);
}

// A one-track MIDI file at 120 beats a minute: the given keys on the piano,
// one after another, each for a quarter of a second.
inline void WriteTuneMidi(const std::string& path, const std::vector<int>& keys) {
  constexpr uint32_t kTicksPerQuarter = 480;
  constexpr uint32_t kNoteTicks = 240;  // a quarter of a second
  std::string track;
  PutVarLen(track, 0);
  track += "\xFF\x51\x03";
  PutBe(track, 500000, 3);  // microseconds per quarter note
  PutVarLen(track, 0);
  track += "\xC0";
  track.push_back(0);  // piano
  for (int key : keys) {
    PutVarLen(track, 0);
    track.push_back(static_cast<char>(0x90));
    track.push_back(static_cast<char>(key));
    track.push_back(100);
    PutVarLen(track, kNoteTicks);
    track.push_back(static_cast<char>(0x80));
    track.push_back(static_cast<char>(key));
    track.push_back(0);
  }
  PutVarLen(track, 0);
  track += "\xFF\x2F";
  track.push_back(0);
  std::string file = "MThd";
  PutBe(file, 6, 4);
  PutBe(file, 0, 2);  // one track
  PutBe(file, 1, 2);
  PutBe(file, kTicksPerQuarter, 2);
  file += "MTrk";
  PutBe(file, static_cast<uint32_t>(track.size()), 4);
  WriteFile(path, file + track);
}

}  // namespace emberlrn::testing_sound
