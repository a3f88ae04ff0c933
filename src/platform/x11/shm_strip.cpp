#include "platform/x11/shm_strip.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstring>

namespace emberlrn::x11 {
namespace {

bool attachFailed = false;
int NoteAttachError(Display*, XErrorEvent*) {
  attachFailed = true;
  return 0;
}

}  // namespace

struct ShmStrip::Shared {
  Display* display = nullptr;
  Window window = 0;
  GC gc = nullptr;
  Visual* visual = nullptr;
  int depth = 0;
  XShmSegmentInfo segment{};
  bool attached = false;
  // One image header, pointed at each room taken in turn.
  XImage* image = nullptr;
  ~Shared() {
    if (image != nullptr) {
      image->data = nullptr;  // the shared piece is not the header's to free
      XDestroyImage(image);
    }
    if (attached) {
      XShmDetach(display, &segment);
      XSync(display, False);
    }
    if (segment.shmaddr != nullptr && segment.shmaddr != reinterpret_cast<char*>(-1)) {
      shmdt(segment.shmaddr);
    }
    if (gc != nullptr) XFreeGC(display, gc);
  }
};

std::unique_ptr<ShmStrip> ShmStrip::Open(void* connection, unsigned long window, size_t bytes) {
  auto* display = static_cast<Display*>(connection);
  if (display == nullptr || window == 0 || bytes < 4 || !XShmQueryExtension(display)) return nullptr;
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.visual == nullptr) {
    return nullptr;
  }
  const Visual* visual = attributes.visual;
  // Pixels as the canvas holds them: blue in the lowest byte, 32 bits each,
  // in this machine's byte order.
  const bool littleEndian = [] {
    const uint32_t one = 1;
    uint8_t first = 0;
    std::memcpy(&first, &one, 1);
    return first == 1;
  }();
  if ((attributes.depth != 24 && attributes.depth != 32) || visual->red_mask != 0xFF0000 ||
      visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF ||
      ImageByteOrder(display) != (littleEndian ? LSBFirst : MSBFirst)) {
    return nullptr;
  }
  std::unique_ptr<ShmStrip> strip(new ShmStrip());
  strip->shared_ = std::make_unique<Shared>();
  Shared& s = *strip->shared_;
  s.display = display;
  s.window = window;
  s.visual = attributes.visual;
  s.depth = attributes.depth;
  s.segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (s.segment.shmid < 0) return nullptr;
  s.segment.shmaddr = static_cast<char*>(shmat(s.segment.shmid, nullptr, 0));
  // Marked for removal at once, so that it goes when both sides let go,
  // however this process ends.
  shmctl(s.segment.shmid, IPC_RMID, nullptr);
  if (s.segment.shmaddr == reinterpret_cast<char*>(-1)) return nullptr;
  s.segment.readOnly = True;
  // A server on another machine refuses to attach: asked and answered here.
  XSync(display, False);
  attachFailed = false;
  auto* previous = XSetErrorHandler(NoteAttachError);
  const bool sent = XShmAttach(display, &s.segment) != 0;
  XSync(display, False);
  XSetErrorHandler(previous);
  if (!sent || attachFailed) return nullptr;
  s.attached = true;
  s.gc = XCreateGC(display, window, 0, nullptr);
  if (s.gc == nullptr) return nullptr;
  s.image = XShmCreateImage(display, s.visual, static_cast<unsigned>(s.depth), ZPixmap,
                            s.segment.shmaddr, &s.segment, 1, 1);
  if (s.image == nullptr || s.image->bits_per_pixel != 32) return nullptr;
  strip->capacity_ = bytes / 4;
  return strip;
}

ShmStrip::~ShmStrip() = default;

uint32_t* ShmStrip::Take(int width, int height) {
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (width <= 0 || height <= 0 || pixels > capacity_) return nullptr;
  if (used_ + pixels > capacity_) Finish();
  taken_ = used_;
  used_ += pixels;
  takenWidth_ = width;
  takenHeight_ = height;
  return reinterpret_cast<uint32_t*>(shared_->segment.shmaddr) + taken_;
}

void ShmStrip::Put(int x, int y) {
  if (takenWidth_ <= 0) return;
  Shared& s = *shared_;
  // The header over the room taken: the server reads the pixels from the
  // shared piece at their offset there.
  XImage& image = *s.image;
  image.width = takenWidth_;
  image.height = takenHeight_;
  image.bytes_per_line = takenWidth_ * 4;
  image.data = s.segment.shmaddr + taken_ * 4;
  XShmPutImage(s.display, s.window, s.gc, &image, 0, 0, x, y, static_cast<unsigned>(takenWidth_),
               static_cast<unsigned>(takenHeight_), False);
  takenWidth_ = takenHeight_ = 0;
}

void ShmStrip::Finish() {
  if (used_ == 0) return;
  XSync(shared_->display, False);
  used_ = 0;
}

bool ShmStrip::Read(int x, int y, int width, int height, uint32_t* out) const {
  const Shared& s = *shared_;
  XImage* image = XGetImage(s.display, s.window, x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  for (int row = 0; row < height; ++row) {
    uint32_t* to = out + static_cast<size_t>(row) * width;
    if (image->bits_per_pixel == 32) {
      std::memcpy(to, image->data + static_cast<ptrdiff_t>(row) * image->bytes_per_line,
                  sizeof(uint32_t) * static_cast<size_t>(width));
      for (int column = 0; column < width; ++column) to[column] |= 0xFF000000u;
      continue;
    }
    for (int column = 0; column < width; ++column) {
      to[column] = 0xFF000000u | (static_cast<uint32_t>(XGetPixel(image, column, row)) & 0xFFFFFFu);
    }
  }
  XDestroyImage(image);
  return true;
}

}  // namespace emberlrn::x11
