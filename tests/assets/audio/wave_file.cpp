#include "wave_file.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace emberlrn::test {
namespace {

constexpr int kPcmFormat = 1;
constexpr size_t kChunkHeaderSize = 8;
constexpr size_t kFormatChunkMinSize = 16;

uint32_t ReadLe32(const std::vector<unsigned char>& bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
         static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

uint16_t ReadLe16(const std::vector<unsigned char>& bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

bool HasTag(const std::vector<unsigned char>& bytes, size_t at, const char* tag) {
  return at + 4 <= bytes.size() && std::memcmp(bytes.data() + at, tag, 4) == 0;
}

}  // namespace

double WaveFile::Seconds() const {
  return sampleRate > 0 ? static_cast<double>(FrameCount()) / sampleRate : 0.0;
}

size_t WaveFile::FrameCount() const { return channels.empty() ? 0 : channels.front().size(); }

bool ReadWaveFile(const std::filesystem::path& path, WaveFile& wave, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path.string();
    return false;
  }
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.size() < 12 || !HasTag(bytes, 0, "RIFF") || !HasTag(bytes, 8, "WAVE")) {
    error = "not a RIFF/WAVE file";
    return false;
  }
  if (ReadLe32(bytes, 4) + kChunkHeaderSize != bytes.size()) {
    error = "RIFF size does not match the file size";
    return false;
  }
  bool haveFormat = false;
  size_t at = 12;
  while (at + kChunkHeaderSize <= bytes.size()) {
    const size_t size = ReadLe32(bytes, at + 4);
    const size_t body = at + kChunkHeaderSize;
    if (body + size > bytes.size()) {
      error = "a chunk runs past the end of the file";
      return false;
    }
    if (HasTag(bytes, at, "fmt ")) {
      if (size < kFormatChunkMinSize) {
        error = "format chunk too short";
        return false;
      }
      wave.formatTag = ReadLe16(bytes, body);
      wave.channelCount = ReadLe16(bytes, body + 2);
      wave.sampleRate = static_cast<int>(ReadLe32(bytes, body + 4));
      wave.bitsPerSample = ReadLe16(bytes, body + 14);
      const int blockAlign = ReadLe16(bytes, body + 12);
      if (wave.formatTag != kPcmFormat || wave.bitsPerSample != 16 || wave.channelCount < 1 ||
          blockAlign != 2 * wave.channelCount) {
        error = "not 16-bit PCM";
        return false;
      }
      haveFormat = true;
    } else if (HasTag(bytes, at, "data")) {
      if (!haveFormat) {
        error = "data chunk before the format chunk";
        return false;
      }
      const size_t frameBytes = 2 * static_cast<size_t>(wave.channelCount);
      if (size % frameBytes != 0) {
        error = "data chunk holds a partial frame";
        return false;
      }
      const size_t frames = size / frameBytes;
      wave.channels.assign(wave.channelCount, std::vector<int16_t>(frames));
      for (size_t frame = 0; frame < frames; ++frame) {
        for (int channel = 0; channel < wave.channelCount; ++channel) {
          const size_t offset = body + frame * frameBytes + 2 * static_cast<size_t>(channel);
          wave.channels[channel][frame] = static_cast<int16_t>(ReadLe16(bytes, offset));
        }
      }
      return true;
    }
    at = body + size + (size & 1);  // chunks are padded to an even length
  }
  error = haveFormat ? "no data chunk" : "no format chunk";
  return false;
}

std::filesystem::path DataFolder() {
  const char* folder = std::getenv("EMBERLRN_DATA_DIR");
  return folder != nullptr ? std::filesystem::path(folder) : std::filesystem::path("share/emberlrn/");
}

}  // namespace emberlrn::test
