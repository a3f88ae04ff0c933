#pragma once
// Puts rectangles of pixels into an X11 window through a small piece of
// memory shared with the X server, instead of a copy of the whole window:
// at 3840 x 2160 that copy alone is 32 MB. Each rectangle is written into
// the next free part of the piece and sent from there; when the piece is
// full, the server is waited for before it is written again.

#include <cstdint>
#include <memory>

namespace emberlrn::x11 {

class ShmStrip {
 public:
  // For a window of ours on that connection (display is its Display*), with
  // room for `bytes` of pixels; nothing when the server cannot share memory
  // with us (a remote display) or the window's pixels are not 0x00RRGGBB in
  // 32 bits, as the canvas is.
  static std::unique_ptr<ShmStrip> Open(void* display, unsigned long window, size_t bytes);
  ~ShmStrip();
  ShmStrip(const ShmStrip&) = delete;
  ShmStrip& operator=(const ShmStrip&) = delete;

  // The most pixels one rectangle sent at once can hold.
  size_t Capacity() const { return capacity_; }
  // Room for `width` x `height` pixels (at most Capacity()), rows `width`
  // apart, to be filled and then sent with Put; waits for the server first
  // when the piece is full.
  uint32_t* Take(int width, int height);
  // Sends what the last Take's room holds to the window at (x, y).
  void Put(int x, int y);
  // Waits until the server has read everything sent, so that the piece can
  // be written from its start again.
  void Finish();
  // The window's pixels in a rectangle, as 0xFFRRGGBB rows (for tests).
  bool Read(int x, int y, int width, int height, uint32_t* out) const;

 private:
  ShmStrip() = default;
  struct Shared;
  std::unique_ptr<Shared> shared_;
  size_t capacity_ = 0;  // pixels
  size_t used_ = 0;      // pixels taken since the server last caught up
  size_t taken_ = 0;     // where the last Take starts
  int takenWidth_ = 0;
  int takenHeight_ = 0;
};

}  // namespace emberlrn::x11
