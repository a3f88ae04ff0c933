#pragma once
// The voices of the crackle layer: a bank of short sounds, each played once,
// several at a time, at its own volume and place between the speakers.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace emberlrn {

class CrackleVoices {
 public:
  virtual ~CrackleVoices() = default;
  // Loads the bank: the sounds of the wave file, cut where its index says.
  // Returns the kind of every sound ("tick", "snap", ...) in order; empty
  // when the bank cannot be read (standard error is told, and nothing plays).
  virtual std::vector<std::string> LoadBank(std::string_view wavePath,
                                            std::string_view indexPath) = 0;
  // Plays sound number `sound` (from 0) through once, at a volume in
  // hundredths of a decibel (0 loudest) and at pan -100 (left) to 100
  // (right). When every voice is busy the oldest makes way.
  virtual void Play(int sound, int32_t volume, int pan) = 0;
  // Every crackle is silent afterwards.
  virtual void StopAll() = 0;
};

}  // namespace emberlrn
