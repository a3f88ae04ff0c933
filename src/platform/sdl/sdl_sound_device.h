#pragma once
// The sound output through SDL2_mixer: opened once when the saver starts and
// given back when it ends. Without a device the sound controls stay silent
// and the saver runs on.

#include <functional>
#include <map>
#include <memory>

namespace emberlrn {

class SdlSoundDevice {
 public:
  SdlSoundDevice() = default;
  SdlSoundDevice(const SdlSoundDevice&) = delete;
  SdlSoundDevice& operator=(const SdlSoundDevice&) = delete;
  ~SdlSoundDevice();

  // Opens the default output at 44.1 kHz, 16-bit stereo. When there is no
  // sound device, standard error is told in one line and the result is false.
  bool Open();
  // Stops every sound, lets the controls free what they hold and gives the
  // device back. Harmless when the device is not open.
  void Close();
  // Stops every sound at once and leaves the device open, for a process that
  // ends next: the system takes the device back as the process exits. Close
  // instead lets the device play out what it holds first, which takes three
  // buffers' time.
  void Silence();
  bool IsOpen() const { return open_; }

  // The mixer's channels are shared out in groups, so that one control never
  // takes or stops another's: the waves have theirs, the crackles theirs.
  static constexpr int kWaveGroup = 1;
  static constexpr int kCrackleGroup = 2;
  // Adds count channels to the mixer, all in that group.
  void AddChannels(int count, int group);

  // The controls register what they must free before the device goes; the
  // number returned takes the registration back.
  int AddReleaser(std::function<void()> release);
  void RemoveReleaser(int releaser);

 private:
  struct LibraryClose {
    void operator()(void* library) const;
  };

  bool open_ = false;
  // The system's sound library, kept loaded while its messages are silenced.
  std::unique_ptr<void, LibraryClose> alsa_;
  int nextReleaser_ = 1;
  std::map<int, std::function<void()>> releasers_;
};

}  // namespace emberlrn
