#include "platform/sdl/sdl_crackle_voices.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <fstream>
#include <iostream>

#include "platform/crackle_index.h"
#include "platform/sdl/sdl_sound_device.h"
#include "platform/sdl/sdl_tego_ds.h"

namespace emberlrn {

namespace {

constexpr int kPlayOnce = 0;
constexpr int kPanReach = 100;
constexpr int kFullSide = 255;

// The frames and rate of a wave file.
bool WaveFrames(const std::string& path, long& frames, int& rate) {
  SDL_AudioSpec wave;
  Uint8* buffer = nullptr;
  Uint32 bytes = 0;
  if (SDL_LoadWAV(path.c_str(), &wave, &buffer, &bytes) == nullptr) return false;
  SDL_FreeWAV(buffer);
  const int frameBytes = SDL_AUDIO_BITSIZE(wave.format) / 8 * wave.channels;
  if (frameBytes <= 0 || wave.freq <= 0) return false;
  frames = static_cast<long>(bytes / static_cast<Uint32>(frameBytes));
  rate = wave.freq;
  return true;
}

}  // namespace

SdlCrackleVoices::SdlCrackleVoices(SdlSoundDevice& device) : device_(device) {
  releaser_ = device_.AddReleaser([this] { Release(); });
}

SdlCrackleVoices::~SdlCrackleVoices() {
  Release();
  device_.RemoveReleaser(releaser_);
}

std::vector<std::string> SdlCrackleVoices::LoadBank(std::string_view wavePath,
                                                    std::string_view indexPath) {
  Release();
  std::vector<std::string> kinds;
  if (!device_.IsOpen()) return kinds;
  const std::string wave(wavePath);
  long fileFrames = 0;
  int fileRate = 0;
  Mix_Chunk* raw = WaveFrames(wave, fileFrames, fileRate) ? Mix_LoadWAV(wave.c_str()) : nullptr;
  if (raw == nullptr) {
    std::cerr << "emberlrn: cannot load the crackles " << wave << " (" << SDL_GetError()
              << "); the fire plays without them\n";
    return kinds;
  }
  bank_.reset(raw, [](Mix_Chunk* freed) { Mix_FreeChunk(freed); });

  int rate = 0;
  Uint16 format = 0;
  int channels = 0;
  Mix_QuerySpec(&rate, &format, &channels);
  const long frameBytes = SDL_AUDIO_BITSIZE(format) / 8 * channels;
  const long bankFrames = static_cast<long>(bank_->alen) / frameBytes;
  // The mixer may run at another rate than the file; the index counts the file's frames.
  const double scale = static_cast<double>(rate) / fileRate;

  int leftOut = 0;
  std::ifstream index{std::string(indexPath)};
  for (const CrackleSpan& span : ReadCrackleIndex(index, fileFrames, leftOut)) {
    const long first = std::min(bankFrames, std::lround(span.first * scale));
    const long frames = std::min(bankFrames - first, std::lround(span.frames * scale));
    Mix_Chunk* view = frames > 0 ? Mix_QuickLoad_RAW(bank_->abuf + first * frameBytes,
                                                     static_cast<Uint32>(frames * frameBytes))
                                 : nullptr;
    if (view == nullptr) {
      ++leftOut;
      continue;
    }
    // A view owns nothing but itself; the bank owns the samples.
    sounds_.emplace_back(view, [](Mix_Chunk* freed) { Mix_FreeChunk(freed); });
    kinds.push_back(span.kind);
  }
  if (leftOut > 0) {
    std::cerr << "emberlrn: " << leftOut << " lines of the crackle index " << indexPath
              << " name no sound of " << wave << "; they are left out\n";
  }
  if (sounds_.empty()) bank_.reset();
  return kinds;
}

int SdlCrackleVoices::FreeVoice() {
  const int channel = Mix_GroupAvailable(SdlSoundDevice::kCrackleGroup);
  if (channel >= 0) return channel;
  const int voices = Mix_GroupCount(SdlSoundDevice::kCrackleGroup);
  if (voices < kVoices) {
    device_.AddChannels(kVoices - voices, SdlSoundDevice::kCrackleGroup);
    return Mix_GroupAvailable(SdlSoundDevice::kCrackleGroup);
  }
  const int oldest = Mix_GroupOldest(SdlSoundDevice::kCrackleGroup);
  if (oldest >= 0) Mix_HaltChannel(oldest);
  return oldest;
}

void SdlCrackleVoices::Play(int sound, int32_t volume, int pan) {
  if (!device_.IsOpen() || sound < 0 || sound >= static_cast<int>(sounds_.size())) return;
  const int channel = FreeVoice();
  if (channel < 0) return;
  // The side away from the pan is turned down; the centre plays both at full.
  const int clamped = std::clamp(pan, -kPanReach, kPanReach);
  const int left = kFullSide * std::min(kPanReach, kPanReach - clamped) / kPanReach;
  const int right = kFullSide * std::min(kPanReach, kPanReach + clamped) / kPanReach;
  Mix_SetPanning(channel, static_cast<Uint8>(left), static_cast<Uint8>(right));
  Mix_Volume(channel, SdlTegoDS::MixerVolume(volume));
  if (Mix_PlayChannel(channel, sounds_[sound].get(), kPlayOnce) < 0) {
    std::cerr << "emberlrn: cannot play a crackle (" << Mix_GetError() << ")\n";
  }
}

void SdlCrackleVoices::StopAll() {
  if (device_.IsOpen()) Mix_HaltGroup(SdlSoundDevice::kCrackleGroup);
}

void SdlCrackleVoices::Release() {
  StopAll();
  sounds_.clear();
  bank_.reset();
}

}  // namespace emberlrn
