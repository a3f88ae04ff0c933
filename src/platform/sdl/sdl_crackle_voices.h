#pragma once
// The crackle layer's voices on SDL2_mixer: the bank is one wave file, loaded
// once in the device's format and cut into one chunk per sound where its index
// says; each crackle plays once on a channel of the layer's own group, at its
// volume and panned between the speakers. The group has a fixed number of
// channels, so a burst never grows the mixer; when all are busy the oldest
// crackle makes way. Index lines that name no sound (platform/crackle_index.h)
// are left out and told once on standard error.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "interfaces/crackle_voices.h"

struct Mix_Chunk;

namespace emberlrn {

class SdlSoundDevice;

class SdlCrackleVoices final : public CrackleVoices {
 public:
  explicit SdlCrackleVoices(SdlSoundDevice& device);
  SdlCrackleVoices(const SdlCrackleVoices&) = delete;
  SdlCrackleVoices& operator=(const SdlCrackleVoices&) = delete;
  ~SdlCrackleVoices() override;

  std::vector<std::string> LoadBank(std::string_view wavePath,
                                    std::string_view indexPath) override;
  void Play(int sound, int32_t volume, int pan) override;
  void StopAll() override;

  // How many crackles may sound at once.
  static constexpr int kVoices = 8;

 private:
  using Chunk = std::shared_ptr<Mix_Chunk>;

  int FreeVoice();
  void Release();

  SdlSoundDevice& device_;
  int releaser_ = 0;
  Chunk bank_;                  // the whole file, in the device's format
  std::vector<Chunk> sounds_;   // views into bank_, one per sound
};

}  // namespace emberlrn
