#include "platform/sdl/sdl_sound_device.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <iostream>
#include <utility>

namespace emberlrn {

namespace {

constexpr int kSampleRate = 44100;
constexpr int kOutputChannels = 2;
// About 46 ms per buffer: few wake-ups, and short enough for the S and Q keys.
constexpr int kBufferFrames = 2048;

// ALSA prints lines of its own for every device it fails to open; without a
// sound card that is a screenful. The device says what went wrong in one
// line instead.
void SilentAlsaMessage(const char*, int, const char*, int, const char*, ...) {}
using AlsaMessageHandler = void (*)(const char*, int, const char*, int, const char*, ...);
using SetAlsaMessageHandler = int (*)(AlsaMessageHandler);

}  // namespace

void SdlSoundDevice::LibraryClose::operator()(void* library) const { dlclose(library); }

SdlSoundDevice::~SdlSoundDevice() { Close(); }

bool SdlSoundDevice::Open() {
  if (open_) return true;
  if (!alsa_) alsa_.reset(dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL));
  if (alsa_) {
    if (void* set = dlsym(alsa_.get(), "snd_lib_error_set_handler")) {
      reinterpret_cast<SetAlsaMessageHandler>(set)(&SilentAlsaMessage);
    }
  }
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::cerr << "emberlrn: no sound device (" << SDL_GetError() << "); the saver runs silent\n";
    return false;
  }
  if (Mix_OpenAudio(kSampleRate, AUDIO_S16SYS, kOutputChannels, kBufferFrames) != 0) {
    std::cerr << "emberlrn: no sound device (" << Mix_GetError() << "); the saver runs silent\n";
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  // The carols play through FluidSynth; when it cannot be had, each carol that
  // fails to load says so itself.
  Mix_Init(MIX_INIT_MID);
  open_ = true;
  return true;
}

void SdlSoundDevice::Close() {
  if (!open_) return;
  // A copy, so that a releaser may take its registration back meanwhile.
  const auto releasers = releasers_;
  for (const auto& [number, release] : releasers) release();
  Mix_HaltChannel(-1);
  Mix_HaltMusic();
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  open_ = false;
}

void SdlSoundDevice::Silence() {
  if (!open_) return;
  // Both halts take the mixer's lock: every buffer mixed after them is silent.
  Mix_HaltChannel(-1);
  Mix_HaltMusic();
}

void SdlSoundDevice::AddChannels(int count, int group) {
  if (!open_ || count <= 0) return;
  const int before = Mix_AllocateChannels(-1);
  const int after = Mix_AllocateChannels(before + count);
  if (after > before) Mix_GroupChannels(before, after - 1, group);
}

int SdlSoundDevice::AddReleaser(std::function<void()> release) {
  const int number = nextReleaser_++;
  releasers_.emplace(number, std::move(release));
  return number;
}

void SdlSoundDevice::RemoveReleaser(int releaser) { releasers_.erase(releaser); }

}  // namespace emberlrn
