#pragma once
// The wave-sound control on SDL2_mixer: every wave is a mixer chunk played on
// a channel of its own, looped without end.
//
// Volumes are hundredths of a decibel below full (0 loudest, -2500 the
// softest setting), turned into the gain 10^(volume/2000). Mode 0, the one the
// saver uses, repeats the wave without end; any other mode plays it through
// once, from its next start on. A wave starts at the volume last set for it
// and silent when none has been set yet, so that nothing sounds louder than
// asked in the moment before setWaveVolume follows startWave.
//
// Loading the same unchanged file again shares its decoded sound, so the S
// key costs neither time nor memory however often it is pressed. A file that
// cannot be read is told once on standard error and gives a silent wave.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "interfaces/tego_ds.h"

struct Mix_Chunk;

namespace emberlrn {

class SdlSoundDevice;

class SdlTegoDS final : public TegoDS {
 public:
  explicit SdlTegoDS(SdlSoundDevice& device);
  SdlTegoDS(const SdlTegoDS&) = delete;
  SdlTegoDS& operator=(const SdlTegoDS&) = delete;
  ~SdlTegoDS() override;

  int32_t loadWave(std::string_view path) override;
  void stopWave(int32_t id) override;
  void stopAllWaves() override;
  void startWave(int32_t id) override;
  void setWaveVolume(int32_t id, int32_t volume) override;
  void setWaveMode(int32_t id, int32_t mode) override;

  // The mixer volume (0..128) of a level in hundredths of a decibel.
  static int MixerVolume(int32_t volume);

 private:
  using Chunk = std::shared_ptr<Mix_Chunk>;
  struct Wave {
    Chunk chunk;  // empty for a file that could not be read
    int channel = -1;
    bool volumeSet = false;
    int32_t volume = 0;
    int32_t mode = 0;
  };
  struct Decoded {
    Chunk chunk;
    std::filesystem::file_time_type modified;
    std::uintmax_t size = 0;
  };

  Chunk Decode(const std::string& path);
  bool Plays(int32_t id, const Wave& wave) const;
  int FreeChannel();
  void Release();

  SdlSoundDevice& device_;
  int releaser_ = 0;
  int32_t nextId_ = 1;
  std::map<int32_t, Wave> waves_;
  std::map<std::string, Decoded> decoded_;
  std::vector<int32_t> channelOwner_;  // the wave each mixer channel last started
  std::set<std::string> reported_;
};

}  // namespace emberlrn
