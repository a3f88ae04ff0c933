#pragma once
// The wave-sound control: loads wave files into buffers named by
// identifiers and plays them looped at a volume.

#include <cstdint>
#include <string_view>

namespace emberlrn {

class TegoDS {
 public:
  virtual ~TegoDS() = default;
  // Loads the file into a new buffer, not yet playing. Always returns an
  // identifier the other calls accept, even when the file cannot be read
  // (that buffer then stays silent, and standard error is told).
  virtual int32_t loadWave(std::string_view path) = 0;
  // That wave is silent afterwards; an identifier that names no wave
  // (0, or one already stopped) is accepted without effect.
  virtual void stopWave(int32_t id) = 0;
  virtual void stopAllWaves() = 0;
  // startWave, setWaveVolume and setWaveMode(id, 0), made together in that
  // order, give continuous repeated playback at the volume.
  virtual void startWave(int32_t id) = 0;
  // Volume in hundredths of a decibel: 0 loudest, -2500 the softest setting.
  virtual void setWaveVolume(int32_t id, int32_t volume) = 0;
  virtual void setWaveMode(int32_t id, int32_t mode) = 0;
};

}  // namespace emberlrn
