#include "setup/preview_sound.h"

#include <random>
#include <utility>

namespace emberlrn {
namespace {

constexpr int kCarolTickMs = 1000;

}  // namespace

PreviewSound::PreviewSound(std::string installFolder)
    : installFolder_(std::move(installFolder)),
      ds_(device_),
      snd_(device_),
      voices_(device_),
      crackles_(voices_, clock_, std::random_device{}()),
      fire_(ds_, &crackles_),
      carols_(snd_) {
  fire_.installFolder = installFolder_;
  carols_.installFolder = installFolder_;
  QObject::connect(&carolTimer_, &QTimer::timeout, [this] { carols_.CarolTick(); });
  QObject::connect(&crackleTimer_, &QTimer::timeout, [this] { crackles_.Tick(); });
}

PreviewSound::~PreviewSound() {
  Stop();
  device_.Close();
}

void PreviewSound::Start(const ListenChoices& choices) {
  if (listening_) return Follow(choices);
  listening_ = true;
  choices_ = choices;
  if (!device_.Open()) return;
  fire_.soundOn = true;
  fire_.soundVolume = choices.volume;
  crackles_.crackleOn = choices.crackleOn;
  if (choices.crackleOn) crackles_.Load(installFolder_);
  fire_.OpenDirectSoundSession();
  carols_.musicOn = true;
  carols_.carolChecked = choices.carolChecked;
  carols_.MidiSounds();
  carolTimer_.start(kCarolTickMs);
  crackleTimer_.start(static_cast<int>(kCrackleTickMs));
}

void PreviewSound::Follow(const ListenChoices& choices) {
  if (!listening_ || !device_.IsOpen()) {
    choices_ = choices;
    return;
  }
  if (choices.volume != choices_.volume) {
    fire_.soundVolume = choices.volume;
    ds_.setWaveVolume(fire_.fireSoundId, choices.volume);
  }
  if (choices.crackleOn != choices_.crackleOn || choices.volume != choices_.volume) {
    crackles_.crackleOn = choices.crackleOn;
    if (choices.crackleOn) crackles_.Load(installFolder_);
    crackles_.Start(choices.volume);
  }
  carols_.carolChecked = choices.carolChecked;
  // A carol unticked while it plays gives way to the next one ticked.
  const int16_t playing = carols_.currentCarol;
  if (playing >= 1 && playing <= kCarolCount && choices.carolChecked[playing] != 1) carols_.Stop();
  choices_ = choices;
}

void PreviewSound::Stop() {
  if (!listening_) return;
  listening_ = false;
  carolTimer_.stop();
  crackleTimer_.stop();
  if (!device_.IsOpen()) return;
  fire_.StopFire();
  carols_.Stop();
}

}  // namespace emberlrn
