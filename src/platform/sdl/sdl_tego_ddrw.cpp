#include "platform/sdl/sdl_tego_ddrw.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <utility>

#include "interfaces/clock.h"
#include "platform/x11/x11_desktop.h"

namespace emberlrn {
namespace {

constexpr uint64_t kSpriteIdentity = uint64_t{1} << 63;
constexpr int kMaxItemsPerFrame = 64;

SDL_Color ToSdl(Colour colour) {
  return {static_cast<Uint8>(colour & 0xFF), static_cast<Uint8>((colour >> 8) & 0xFF),
          static_cast<Uint8>((colour >> 16) & 0xFF), 0xFF};
}

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// The surface as the load code wants it drawn: its alpha channel (or the
// magenta key of a bitmap without one) for scene art, opaque for panels.
Surface Prepared(Surface loaded, int loadCode) {
  if (loadCode == kLoadOpaquePanel) {
    return Surface(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB888, 0));
  }
  if (loaded->format->Amask == 0) {
    SDL_SetColorKey(loaded.get(), SDL_TRUE, SDL_MapRGB(loaded->format, 255, 0, 255));
  }
  return loaded;
}

// SDL takes a mapped full-screen window out of full screen before it
// destroys it, and then waits up to 100 ms for a window manager to answer;
// with none, as on a bare X server, it waits all of it. A window taken off
// the screen first goes at once, so a key ends the saver at once.
void TakeOffScreen(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
    x11::WithdrawWindow(info.info.x11.display, info.info.x11.window);
  }
}

}  // namespace

SdlTegoDDrw::SdlTegoDDrw(const Clock& clock) : clock_(clock) {
  items_.reserve(kMaxItemsPerFrame);
  shownItems_.reserve(kMaxItemsPerFrame);
}

SdlTegoDDrw::~SdlTegoDDrw() { CloseDisplay(); }

bool SdlTegoDDrw::SetDisplayMode(int width, int height, int, std::string_view) {
  if (open_) return true;
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
  if (hostWindow_ != 0) {
    window_.reset(SDL_CreateWindowFrom(reinterpret_cast<const void*>(uintptr_t{hostWindow_})));
    if (!window_) {
      std::cerr << "emberlrn: cannot draw into window " << hostWindow_ << ": " << SDL_GetError()
                << '\n';
      return false;
    }
    return OpenRenderer();
  }
  SDL_Rect desktop{0, 0, width, height};
  if (SDL_GetDisplayBounds(0, &desktop) != 0) {
    std::cerr << "emberlrn: the desktop's size cannot be read: " << SDL_GetError() << '\n';
  }
  const Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP |
                       SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR |
                       (visible_ ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
  // At the desktop's own size: without a window manager a full-screen
  // window keeps the size it was made with.
  window_.reset(SDL_CreateWindow("Emberlorn", desktop.x, desktop.y, desktop.w, desktop.h, flags));
  if (!window_) {
    std::cerr << "emberlrn: the full-screen window cannot be made: " << SDL_GetError() << '\n';
    return false;
  }
  if (!OpenRenderer()) return false;
  OpenBlackouts();
  return true;
}

void SdlTegoDDrw::OpenBlackouts() {
  // One fireplace on the first monitor, at its shape, reads better than one
  // stretched across several screens or repeated on each; the others go dark
  // so no desktop shows beside the saver.
  const Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR |
                       (visible_ ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
  for (int display = 1; display < SDL_GetNumVideoDisplays(); ++display) {
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(display, &bounds) != 0) continue;
    std::unique_ptr<SDL_Window, void (*)(SDL_Window*)> window(
        SDL_CreateWindow("Emberlorn", bounds.x, bounds.y, bounds.w, bounds.h, flags),
        SDL_DestroyWindow);
    if (window) blackouts_.push_back(std::move(window));
  }
  PaintBlackouts();
}

void SdlTegoDDrw::PaintBlackouts() {
  for (const auto& window : blackouts_) {
    if (SDL_Surface* surface = SDL_GetWindowSurface(window.get())) {
      SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
      SDL_UpdateWindowSurface(window.get());
    }
  }
}

bool SdlTegoDDrw::OpenRenderer() {
  // The software renderer unless the user names another: it needs no GPU
  // and, paced by the loop, costs less than a GL context on a desktop
  // without one.
  const char* driver = std::getenv("SDL_RENDER_DRIVER");
  const Uint32 rendererFlags = (driver && *driver) ? 0 : SDL_RENDERER_SOFTWARE;
  renderer_.reset(SDL_CreateRenderer(window_.get(), -1, rendererFlags));
  if (!renderer_) {
    std::cerr << "emberlrn: the window cannot be drawn: " << SDL_GetError() << '\n';
    window_.reset();
    return false;
  }
  SDL_RenderSetLogicalSize(renderer_.get(), kSceneWidth, kSceneHeight);
  SDL_RendererInfo info{};
  keepsWindow_ = SDL_GetRendererInfo(renderer_.get(), &info) == 0 && info.name != nullptr &&
                 std::string_view(info.name) == "software";
  canvas_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_ARGB8888,
                                  SDL_TEXTUREACCESS_TARGET, kSceneWidth, kSceneHeight));
  if (!canvas_) {
    std::cerr << "emberlrn: the canvas cannot be made: " << SDL_GetError() << '\n';
    renderer_.reset();
    window_.reset();
    return false;
  }
  open_ = true;
  invalid_ = true;
  return true;
}

int32_t SdlTegoDDrw::CreateSprite() {
  sprites_.emplace_back();
  return static_cast<int32_t>(sprites_.size());
}

SdlTegoDDrw::Sprite* SdlTegoDDrw::Find(int32_t sprite) {
  if (sprite < 1 || static_cast<size_t>(sprite) > sprites_.size()) return nullptr;
  return &sprites_[sprite - 1];
}

void SdlTegoDDrw::LoadSpriteFrame(int32_t sprite, int frame, std::string_view path, int loadCode) {
  Sprite* s = Find(sprite);
  if (s == nullptr || frame < 1) return;
  if (static_cast<int>(s->frames.size()) < frame) s->frames.resize(frame);
  const std::string file(path);
  Surface loaded(SDL_LoadBMP(file.c_str()));
  if (!loaded) {
    // Told once per file; the sprite stays empty and the saver runs on.
    if (reported_.insert(file).second) {
      std::cerr << "emberlrn: cannot read the picture " << file << ": " << SDL_GetError() << '\n';
    }
    return;
  }
  if (!renderer_) return;
  Surface surface = Prepared(std::move(loaded), loadCode);
  if (!surface) return;
  Frame& f = s->frames[frame - 1];
  f.texture.reset(SDL_CreateTextureFromSurface(renderer_.get(), surface.get()));
  f.width = surface->w;
  f.height = surface->h;
  if (f.texture) {
    SDL_SetTextureBlendMode(
        f.texture.get(), loadCode == kLoadOpaquePanel ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
  }
}

void SdlTegoDDrw::SetSpriteX(int32_t sprite, int x) {
  if (Sprite* s = Find(sprite)) s->x = x;
}

void SdlTegoDDrw::SetSpriteY(int32_t sprite, int y) {
  if (Sprite* s = Find(sprite)) s->y = y;
}

void SdlTegoDDrw::SetSpriteFrame(int32_t sprite, int frame) {
  if (Sprite* s = Find(sprite)) {
    s->frame = frame;
    s->frameShownAtMs = clock_.MonotonicMs();
  }
}

void SdlTegoDDrw::SetSpriteSpeed(int32_t sprite, int speed) {
  // The speed is the time a frame shows, in milliseconds.
  if (Sprite* s = Find(sprite)) s->speedMs = speed < 1 ? 1 : speed;
}

bool SdlTegoDDrw::SpriteFrameDue(int32_t sprite) {
  const Sprite* s = Find(sprite);
  if (s == nullptr || s->frames.size() < 2) return false;
  return clock_.MonotonicMs() - s->frameShownAtMs >= s->speedMs;
}

void SdlTegoDDrw::NextSpriteFrame(int32_t sprite) {
  Sprite* s = Find(sprite);
  if (s == nullptr || s->frames.empty()) return;
  const int count = static_cast<int>(s->frames.size());
  s->frame = (s->frame >= 1 && s->frame < count) ? s->frame + 1 : 1;
  s->frameShownAtMs = clock_.MonotonicMs();
}

void SdlTegoDDrw::DrawSprite(int32_t sprite) {
  const Sprite* s = Find(sprite);
  if (s == nullptr || s->frame < 1 || s->frame > static_cast<int>(s->frames.size())) return;
  const Frame& f = s->frames[s->frame - 1];
  if (!f.texture) return;
  const uint64_t identity = kSpriteIdentity | uint64_t(uint32_t(sprite)) << 16 | uint64_t(s->frame);
  items_.push_back({f.texture.get(), identity, {s->x, s->y, f.width, f.height}});
}

void SdlTegoDDrw::ClearBackBuffer(Colour colour) {
  clearColour_ = colour;
  items_.clear();
}

void SdlTegoDDrw::SetTextFont(std::string_view face, int size, int, bool bold, bool italic,
                              bool underline) {
  texts_.SetFont(face, size, bold, italic, underline);
}

void SdlTegoDDrw::DrawText(std::string_view text, int x, int y, Colour colour) {
  if (!open_) return;
  const TextTexture t = texts_.Get(renderer_.get(), text, ToSdl(colour), kSceneWidth - x);
  if (t.texture == nullptr) return;
  // The letters stand at (x, y); their halo reaches beyond them.
  items_.push_back({t.texture, t.serial, {x - t.halo, y - t.halo, t.width, t.height}});
}

int SdlTegoDDrw::TextWidth(std::string_view text) { return texts_.Width(text); }

void SdlTegoDDrw::FlipBackBuffer() {
  if (!open_) {
    items_.clear();
    return;
  }
  if (showFps_) AddFpsFigure();
  if (!invalid_ && clearColour_ == shownClearColour_ && items_ == shownItems_) {
    ++framesUnchanged_;
  } else {
    Present();
    ++framesDrawn_;
    std::swap(items_, shownItems_);
    shownClearColour_ = clearColour_;
    invalid_ = false;
  }
  items_.clear();
  texts_.EndFrame();
}

void SdlTegoDDrw::AddFpsFigure() {
  const int64_t now = clock_.MonotonicMs();
  ++fpsFrames_;
  if (fpsText_.empty() || now - fpsSinceMs_ >= 1000) {
    const double seconds = fpsText_.empty() ? 0.0 : (now - fpsSinceMs_) / 1000.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f fps", seconds > 0 ? fpsFrames_ / seconds : 0.0);
    fpsText_ = text;
    fpsSinceMs_ = now;
    fpsFrames_ = 0;
  }
  texts_.SetFont("Arial", 12, true, false, false);
  const TextTexture t =
      texts_.Get(renderer_.get(), fpsText_, SDL_Color{255, 255, 255, 255}, kSceneWidth);
  if (t.texture != nullptr)
    items_.push_back({t.texture, t.serial, {4, kSceneHeight - 4 - t.height, t.width, t.height}});
}

void SdlTegoDDrw::HostWindowResized(int width, int height) {
  if (!window_ || hostWindow_ == 0) return;
  // SDL learns a foreign window's size only from what it is told; the
  // software renderer then makes its window surface anew at that size.
  SDL_SetWindowSize(window_.get(), width, height);
  SDL_RenderSetLogicalSize(renderer_.get(), kSceneWidth, kSceneHeight);
  invalid_ = true;
}

void SdlTegoDDrw::Present() {
  SDL_Renderer* r = renderer_.get();
  SDL_SetRenderTarget(r, canvas_.get());
  const SDL_Color clear = ToSdl(clearColour_);
  SDL_SetRenderDrawColor(r, clear.r, clear.g, clear.b, 0xFF);
  SDL_RenderClear(r);
  for (const Item& item : items_) SDL_RenderCopy(r, item.texture, nullptr, &item.at);
  SDL_SetRenderTarget(r, nullptr);
  // The bars beside the canvas are black. The software renderer keeps what
  // it showed, so there they need clearing only when the window was uncovered.
  if (invalid_ || !keepsWindow_) {
    SDL_SetRenderDrawColor(r, 0, 0, 0, 0xFF);
    SDL_RenderClear(r);
  }
  if (invalid_) PaintBlackouts();
  SDL_RenderCopy(r, canvas_.get(), nullptr, nullptr);
  SDL_RenderPresent(r);
}

void SdlTegoDDrw::ReleaseTextures() {
  for (Sprite& s : sprites_) {
    for (Frame& f : s.frames) f.texture.reset();
  }
  texts_.Clear();
  items_.clear();
  shownItems_.clear();
  canvas_.reset();
}

void SdlTegoDDrw::CloseDisplay() {
  if (window_) {
    SDL_SetWindowGrab(window_.get(), SDL_FALSE);
    // A host's window is the host's; the blackouts are ours on every monitor.
    if (hostWindow_ == 0) TakeOffScreen(window_.get());
  }
  for (const auto& window : blackouts_) TakeOffScreen(window.get());
  ReleaseTextures();
  renderer_.reset();
  window_.reset();
  blackouts_.clear();
  open_ = false;
}

void SdlTegoDDrw::DropTopMost() {
  if (!window_ || hostWindow_ != 0) return;
  SDL_SetWindowAlwaysOnTop(window_.get(), SDL_FALSE);
  SDL_SetWindowPosition(window_.get(), 0, 0);
}

void SdlTegoDDrw::SetVisible(bool visible) {
  visible_ = visible;
  // A host's window is the host's to show, hide and give the input to.
  if (!window_ || hostWindow_ != 0) return;
  if (visible) {
    SDL_ShowWindow(window_.get());
    SDL_SetWindowAlwaysOnTop(window_.get(), SDL_TRUE);
    SDL_RaiseWindow(window_.get());
    // The keyboard and the pointer stay with the saver while it shows.
    SDL_SetWindowGrab(window_.get(), SDL_TRUE);
    for (const auto& window : blackouts_) SDL_ShowWindow(window.get());
    invalid_ = true;
  } else {
    SDL_SetWindowGrab(window_.get(), SDL_FALSE);
    SDL_HideWindow(window_.get());
    for (const auto& window : blackouts_) SDL_HideWindow(window.get());
  }
}

void SdlTegoDDrw::RaiseFrame() {
  if (events_ != nullptr) events_->FrameReady();
}

std::optional<PointerPosition> SdlTegoDDrw::CanvasPosition(PointerPosition screen) const {
  if (!open_) return std::nullopt;
  int left = 0;
  int top = 0;
  SDL_GetWindowPosition(window_.get(), &left, &top);
  float x = 0;
  float y = 0;
  SDL_RenderWindowToLogical(renderer_.get(), screen.x - left, screen.y - top, &x, &y);
  return PointerPosition{static_cast<int>(x), static_cast<int>(y)};
}

std::vector<uint32_t> SdlTegoDDrw::ReadCanvas() const {
  std::vector<uint32_t> pixels;
  if (!open_) return pixels;
  pixels.resize(size_t{kSceneWidth} * kSceneHeight);
  SDL_Renderer* r = renderer_.get();
  SDL_SetRenderTarget(r, canvas_.get());
  SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), kSceneWidth * 4);
  SDL_SetRenderTarget(r, nullptr);
  return pixels;
}

std::vector<uint32_t> SdlTegoDDrw::ReadWindow(int& width, int& height) const {
  std::vector<uint32_t> pixels;
  width = height = 0;
  if (!open_) return pixels;
  SDL_Surface* shown = SDL_GetWindowSurface(window_.get());
  if (shown == nullptr) return pixels;
  Surface copy(SDL_ConvertSurfaceFormat(shown, SDL_PIXELFORMAT_ARGB8888, 0));
  if (!copy) return pixels;
  width = copy->w;
  height = copy->h;
  pixels.resize(size_t(width) * height);
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(copy->pixels) +
                                                        size_t(y) * copy->pitch);
    std::copy(row, row + width, pixels.begin() + size_t(y) * width);
  }
  return pixels;
}

}  // namespace emberlrn
