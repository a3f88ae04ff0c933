#include "platform/sdl/sdl_tego_snd.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

#include "platform/sdl/sdl_sound_device.h"
#include "platform/standard_midi_file.h"

namespace emberlrn {

namespace {

constexpr int kPlayOnce = 0;
constexpr bool kFadeOut = true;
constexpr bool kAtOnce = false;
// The fade that cuts a tail short: the mixer lowers the volume once a buffer,
// here over two buffers, about a tenth of a second.
constexpr int kTailFadeMs = 150;
// A device that stops taking sound would never finish the fade; past this
// the music is halted outright.
constexpr auto kFadePatience = std::chrono::seconds(1);

// A SoundFont 2 file is one RIFF chunk of form "sfbk" whose length covers
// the whole file: anything else is no soundfont, or one cut short.
bool SoundFontIsWhole(const std::string& path) {
  constexpr size_t kHeader = 12;
  std::ifstream in(path, std::ios::binary);
  char header[kHeader] = {};
  if (!in.read(header, kHeader)) return false;
  const auto byte = [&](int i) {
    return static_cast<uint64_t>(static_cast<unsigned char>(header[i]));
  };
  const uint64_t chunk = byte(4) | byte(5) << 8 | byte(6) << 16 | byte(7) << 24;
  std::error_code error;
  const uint64_t size = std::filesystem::file_size(path, error);
  return !error && std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "sfbk", 4) == 0 &&
         chunk + 8 <= size;
}

}  // namespace

void SdlTegoSnd::MusicFree::operator()(_Mix_Music* music) const { Mix_FreeMusic(music); }

SdlTegoSnd::SdlTegoSnd(SdlSoundDevice& device, std::string soundFont)
    : device_(device), soundFont_(std::move(soundFont)) {
  releaser_ = device_.AddReleaser([this] { stopMidi(); });
}

SdlTegoSnd::~SdlTegoSnd() {
  stopMidi();
  device_.RemoveReleaser(releaser_);
}

void SdlTegoSnd::Report(const std::string& key, const std::string& line) {
  if (reported_.insert(key).second) std::cerr << "emberlrn: " << line << '\n';
}

bool SdlTegoSnd::SoundFontReady() {
  if (!soundFontChecked_) {
    soundFontChecked_ = true;
    std::error_code error;
    soundFontFound_ = std::filesystem::is_regular_file(soundFont_, error);
    // FluidSynth would take a damaged soundfont, complain at every carol and
    // play silence; its outline is checked first.
    if (soundFontFound_ && !SoundFontIsWhole(soundFont_)) {
      soundFontFound_ = false;
      Report(soundFont_, "the MIDI soundfont " + soundFont_ +
                             " is damaged (cut short or no soundfont); the carols stay silent");
    }
    // FluidSynth takes the soundfont only from here; SDL_SOUNDFONTS alone is
    // not enough.
    if (soundFontFound_) soundFontFound_ = Mix_SetSoundFonts(soundFont_.c_str()) != 0;
  }
  if (!soundFontFound_) {
    Report(soundFont_, "no MIDI soundfont at " + soundFont_ + "; the carols stay silent");
  }
  return soundFontFound_;
}

std::unique_ptr<_Mix_Music, SdlTegoSnd::MusicFree> SdlTegoSnd::Load(const std::string& file,
                                                                    double& notesSeconds) {
  // The synthesiser would take a broken file without complaint and end it at
  // once, so the saver reads it first and can say which carol is at fault.
  try {
    const MidiSummary summary = ParseStandardMidiFile(ReadFileBytes(file));
    if (summary.ChannelsWithNotes() == 0) throw MidiFormatError("it holds no tune");
    notesSeconds = summary.durationSeconds;
  } catch (const MidiFormatError& error) {
    Report(file, "cannot play the carol " + file + ": " + error.what());
    return nullptr;
  }
  std::unique_ptr<_Mix_Music, MusicFree> music(Mix_LoadMUS(file.c_str()));
  if (!music) Report(file, "cannot play the carol " + file + " (" + Mix_GetError() + ")");
  return music;
}

void SdlTegoSnd::playMidiFile(std::string_view path, int32_t /*from*/, int32_t /*to*/) {
  // Without a device the device itself has said so; nothing more to tell.
  if (!device_.IsOpen() || !SoundFontReady()) {
    EndMusic(kAtOnce);
    return;
  }
  const std::string file(path);
  double notesSeconds = 0.0;
  // Loaded while the carol before still dies away, so that only the short
  // fade comes between the two.
  std::unique_ptr<_Mix_Music, MusicFree> music = Load(file, notesSeconds);
  EndMusic(kFadeOut);
  if (!music) return;

  int rate = 0;
  int channels = 0;
  Uint16 format = 0;
  Mix_QuerySpec(&rate, &format, &channels);
  bytesPerFrame_ = std::max(1, static_cast<int>(SDL_AUDIO_BITSIZE(format) / 8) * channels);
  notesFrames_ = static_cast<uint64_t>(std::ceil(notesSeconds * rate));
  playedFrames_ = 0;
  notesEnded_ = false;
  // Registered while no music plays, so the count starts with the carol's
  // first buffer.
  counting_ = Mix_RegisterEffect(MIX_CHANNEL_POST, &SdlTegoSnd::CountPlayed, nullptr, this) != 0;
  if (Mix_PlayMusic(music.get(), kPlayOnce) != 0) {
    Report(file, "cannot play the carol " + file + " (" + Mix_GetError() + ")");
    EndMusic(kAtOnce);
    return;
  }
  music_ = std::move(music);
}

void SdlTegoSnd::CountPlayed(int /*channel*/, void* /*stream*/, int length, void* self) {
  auto* snd = static_cast<SdlTegoSnd*>(self);
  // The mixer holds its lock while it calls here and takes it again, from the
  // same thread, for this question: the buffer just mixed held the carol.
  if (Mix_PlayingMusic() != 0) {
    snd->playedFrames_.fetch_add(static_cast<uint64_t>(length / snd->bytesPerFrame_),
                                 std::memory_order_relaxed);
  }
}

bool SdlTegoSnd::isMidiPlaying() {
  if (!music_ || !device_.IsOpen()) return false;
  if (Mix_PlayingMusic() == 0) {
    EndMusic(kAtOnce);  // it has died away: let its synthesiser go
    return false;
  }
  if (counting_ && playedFrames_.load(std::memory_order_relaxed) >= notesFrames_) {
    notesEnded_ = true;
  }
  return !notesEnded_;
}

void SdlTegoSnd::EndMusic(bool fade) {
  if (device_.IsOpen()) {
    if (counting_) Mix_UnregisterEffect(MIX_CHANNEL_POST, &SdlTegoSnd::CountPlayed);
    if (music_ && fade && Mix_PlayingMusic() != 0 && Mix_FadeOutMusic(kTailFadeMs) != 0) {
      // The mixer halts the music itself once the fade is through; waiting
      // for that here keeps the next start from waiting in bigger steps.
      const auto deadline = std::chrono::steady_clock::now() + kFadePatience;
      while (Mix_PlayingMusic() != 0 && std::chrono::steady_clock::now() < deadline) SDL_Delay(1);
    }
    if (music_) Mix_HaltMusic();
  }
  counting_ = false;
  music_.reset();
}

void SdlTegoSnd::stopMidi() { EndMusic(kAtOnce); }

}  // namespace emberlrn
