#pragma once
// Reads a RIFF/WAVE file of 16-bit PCM samples, as the fire sound is shipped.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace emberlrn::test {

struct WaveFile {
  int formatTag = 0;
  int channelCount = 0;
  int sampleRate = 0;
  int bitsPerSample = 0;
  // One vector of samples per channel, all of the same length.
  std::vector<std::vector<int16_t>> channels;

  double Seconds() const;
  size_t FrameCount() const;
};

// Parses the file; on failure returns false and says why in `error`.
bool ReadWaveFile(const std::filesystem::path& path, WaveFile& wave, std::string& error);

// The folder the installation data is read from in tests, with its trailing '/'.
std::filesystem::path DataFolder();

}  // namespace emberlrn::test
