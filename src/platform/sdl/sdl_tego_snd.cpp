#include "platform/sdl/sdl_tego_snd.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

#include "platform/sdl/sdl_sound_device.h"

namespace emberlrn {

namespace {

constexpr int kPlayOnce = 0;
constexpr std::size_t kChunkHeaderBytes = 8;
constexpr uint32_t kMidiHeaderBytes = 6;
// Carols are a few kilobytes; anything far larger is no carol.
constexpr std::uintmax_t kLargestMidiFile = 16u << 20;

uint32_t BigEndian(const std::string& bytes, std::size_t at, int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// What is wrong with a MIDI file, or an empty text when its chunks hold
// together: a header chunk first, at least one track, no chunk cut short.
// The synthesiser would take a broken file without complaint and end it at
// once, so the saver looks first and can say which carol is at fault.
std::string MidiFileFault(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return "it cannot be read";
  if (size > kLargestMidiFile) return "it is too large for a MIDI file";
  std::ifstream file(path, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    return "it cannot be read";
  }
  if (bytes.size() < kChunkHeaderBytes + kMidiHeaderBytes || bytes.compare(0, 4, "MThd") != 0 ||
      BigEndian(bytes, 4, 4) < kMidiHeaderBytes) {
    return "it is no MIDI file";
  }
  const uint32_t declaredTracks = BigEndian(bytes, 10, 2);
  if (declaredTracks == 0 || BigEndian(bytes, 12, 2) == 0) return "it holds no tune";
  std::size_t at = kChunkHeaderBytes + BigEndian(bytes, 4, 4);
  uint32_t tracks = 0;
  while (at < bytes.size()) {
    if (bytes.size() - at < kChunkHeaderBytes) return "it is cut short";
    const uint32_t length = BigEndian(bytes, at + 4, 4);
    if (bytes.size() - at - kChunkHeaderBytes < length) return "it is cut short";
    if (bytes.compare(at, 4, "MTrk") == 0) ++tracks;
    at += kChunkHeaderBytes + length;
  }
  if (tracks == 0) return "it holds no tune";
  return {};
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
    // FluidSynth takes the soundfont only from here; SDL_SOUNDFONTS alone is
    // not enough.
    if (soundFontFound_) soundFontFound_ = Mix_SetSoundFonts(soundFont_.c_str()) != 0;
  }
  if (!soundFontFound_) {
    Report(soundFont_, "no MIDI soundfont at " + soundFont_ + "; the carols stay silent");
  }
  return soundFontFound_;
}

void SdlTegoSnd::playMidiFile(std::string_view path, int32_t /*from*/, int32_t /*to*/) {
  stopMidi();
  // Without a device the device itself has said so; nothing more to tell.
  if (!device_.IsOpen() || !SoundFontReady()) return;
  const std::string file(path);
  if (const std::string fault = MidiFileFault(file); !fault.empty()) {
    Report(file, "cannot play the carol " + file + ": " + fault);
    return;
  }
  std::unique_ptr<_Mix_Music, MusicFree> music(Mix_LoadMUS(file.c_str()));
  if (!music) {
    Report(file, "cannot play the carol " + file + " (" + Mix_GetError() + ")");
    return;
  }
  if (Mix_PlayMusic(music.get(), kPlayOnce) != 0) {
    Report(file, "cannot play the carol " + file + " (" + Mix_GetError() + ")");
    return;
  }
  music_ = std::move(music);
}

bool SdlTegoSnd::isMidiPlaying() {
  if (!music_ || !device_.IsOpen()) return false;
  if (Mix_PlayingMusic() != 0) return true;
  music_.reset();  // it has ended: let its synthesiser go
  return false;
}

void SdlTegoSnd::stopMidi() {
  if (!music_) return;
  if (device_.IsOpen()) Mix_HaltMusic();
  music_.reset();
}

}  // namespace emberlrn
