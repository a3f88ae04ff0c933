#include "platform/sdl/sdl_tego_ds.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <system_error>

#include "platform/sdl/sdl_sound_device.h"

namespace emberlrn {

namespace {

constexpr int32_t kLoopedMode = 0;
constexpr int kLoopForever = -1;
constexpr int kPlayOnce = 0;
// Below -100 dB nothing is heard; above 0 is louder than the file itself.
constexpr int32_t kQuietestVolume = -10000;
constexpr int32_t kLoudestVolume = 0;
constexpr double kHundredthsPerGainDecade = 2000.0;
constexpr int kFirstChannels = 8;

}  // namespace

SdlTegoDS::SdlTegoDS(SdlSoundDevice& device) : device_(device) {
  releaser_ = device_.AddReleaser([this] { Release(); });
}

SdlTegoDS::~SdlTegoDS() {
  Release();
  device_.RemoveReleaser(releaser_);
}

int SdlTegoDS::MixerVolume(int32_t volume) {
  const int32_t level = std::clamp(volume, kQuietestVolume, kLoudestVolume);
  const double gain = std::pow(10.0, level / kHundredthsPerGainDecade);
  return static_cast<int>(std::lround(gain * MIX_MAX_VOLUME));
}

SdlTegoDS::Chunk SdlTegoDS::Decode(const std::string& path) {
  std::error_code error;
  const auto modified = std::filesystem::last_write_time(path, error);
  const std::uintmax_t size = error ? 0 : std::filesystem::file_size(path, error);
  if (!error) {
    auto known = decoded_.find(path);
    if (known != decoded_.end() && known->second.modified == modified &&
        known->second.size == size) {
      return known->second.chunk;
    }
  }
  Mix_Chunk* raw = Mix_LoadWAV(path.c_str());
  if (raw == nullptr) {
    // Told once per file: the S key loads it again each time.
    if (reported_.insert(path).second) {
      std::cerr << "emberlrn: cannot load the sound " << path << " (" << Mix_GetError()
                << "); it stays silent\n";
    }
    decoded_.erase(path);
    return nullptr;
  }
  Chunk chunk(raw, [](Mix_Chunk* freed) { Mix_FreeChunk(freed); });
  reported_.erase(path);
  if (!error) decoded_[path] = Decoded{chunk, modified, size};
  return chunk;
}

int32_t SdlTegoDS::loadWave(std::string_view path) {
  const int32_t id = nextId_++;
  Wave wave;
  if (device_.IsOpen()) wave.chunk = Decode(std::string(path));
  waves_.emplace(id, std::move(wave));
  return id;
}

bool SdlTegoDS::Plays(int32_t id, const Wave& wave) const {
  return device_.IsOpen() && wave.channel >= 0 &&
         wave.channel < static_cast<int>(channelOwner_.size()) &&
         channelOwner_[wave.channel] == id && Mix_Playing(wave.channel) != 0;
}

void SdlTegoDS::stopWave(int32_t id) {
  auto it = waves_.find(id);
  if (it == waves_.end()) return;
  Wave& wave = it->second;
  if (Plays(id, wave)) Mix_HaltChannel(wave.channel);
  if (wave.channel >= 0 && wave.channel < static_cast<int>(channelOwner_.size()) &&
      channelOwner_[wave.channel] == id) {
    channelOwner_[wave.channel] = 0;
  }
  wave.channel = -1;
}

void SdlTegoDS::stopAllWaves() {
  if (device_.IsOpen()) Mix_HaltChannel(-1);
  std::fill(channelOwner_.begin(), channelOwner_.end(), 0);
  for (auto& [id, wave] : waves_) wave.channel = -1;
}

int SdlTegoDS::FreeChannel() {
  int channel = Mix_GroupAvailable(SdlSoundDevice::kWaveGroup);
  if (channel < 0) {
    // Every channel of the waves is busy: make room for more waves at once.
    const int count = Mix_GroupCount(SdlSoundDevice::kWaveGroup);
    device_.AddChannels(std::max(kFirstChannels, count), SdlSoundDevice::kWaveGroup);
    channel = Mix_GroupAvailable(SdlSoundDevice::kWaveGroup);
  }
  const int count = Mix_AllocateChannels(-1);
  if (static_cast<int>(channelOwner_.size()) < count) channelOwner_.resize(count, 0);
  return channel;
}

void SdlTegoDS::startWave(int32_t id) {
  auto it = waves_.find(id);
  if (it == waves_.end() || !device_.IsOpen()) return;
  Wave& wave = it->second;
  if (!wave.chunk || Plays(id, wave)) return;  // silent, or already playing: no second copy
  const int channel = FreeChannel();
  if (channel < 0) return;
  Mix_Volume(channel, wave.volumeSet ? MixerVolume(wave.volume) : 0);
  const int loops = wave.mode == kLoopedMode ? kLoopForever : kPlayOnce;
  if (Mix_PlayChannel(channel, wave.chunk.get(), loops) < 0) {
    std::cerr << "emberlrn: cannot play a sound (" << Mix_GetError() << ")\n";
    return;
  }
  channelOwner_[channel] = id;
  wave.channel = channel;
}

void SdlTegoDS::setWaveVolume(int32_t id, int32_t volume) {
  auto it = waves_.find(id);
  if (it == waves_.end()) return;
  Wave& wave = it->second;
  wave.volume = volume;
  wave.volumeSet = true;
  if (Plays(id, wave)) Mix_Volume(wave.channel, MixerVolume(volume));
}

void SdlTegoDS::setWaveMode(int32_t id, int32_t mode) {
  auto it = waves_.find(id);
  if (it == waves_.end()) return;
  it->second.mode = mode;
}

void SdlTegoDS::Release() {
  if (device_.IsOpen()) Mix_HaltChannel(-1);
  std::fill(channelOwner_.begin(), channelOwner_.end(), 0);
  for (auto& [id, wave] : waves_) {
    wave.chunk.reset();
    wave.channel = -1;
  }
  decoded_.clear();
}

}  // namespace emberlrn
