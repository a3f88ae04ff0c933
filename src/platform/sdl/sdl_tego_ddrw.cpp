#include "platform/sdl/sdl_tego_ddrw.h"

#include <SDL_syswm.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <span>
#include <utility>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "interfaces/clock.h"
#include "platform/pixel_blend.h"
#include "platform/x11/shm_strip.h"
#include "platform/x11/x11_desktop.h"

namespace emberlrn {
namespace {

constexpr uint64_t kSpriteIdentity = uint64_t{1} << 63;
constexpr uint64_t kSparkIdentity = uint64_t{1} << 62;
// Sparks are drawn from this many pictures, by heat.
constexpr int kSparkSteps = 32;
constexpr int kMaxItemsPerFrame = 64;

SDL_Color ToSdl(Colour colour) {
  return {static_cast<Uint8>(colour & 0xFF), static_cast<Uint8>((colour >> 8) & 0xFF),
          static_cast<Uint8>((colour >> 16) & 0xFF), 0xFF};
}

using Surface = SdlSurface;

// A window this many times the pictures' size, and up to twice it, gets
// them made smaller to half its scale and the canvas doubled into it.
constexpr double kHalvedFrom = 1.75;
// The memory shared with the X server for sending a scaled window's pixels.
constexpr size_t kStripBytes = size_t{512} << 10;

// Canvas tiles are compared at this size to find what a frame changed.
constexpr int kTile = 16;
// How a picture covers a canvas tile: partly, wholly with solid pixels, or
// not at all (clear pixels or none of its own).
constexpr uint8_t kPartTile = 0;
constexpr uint8_t kSolidTile = 1;
constexpr uint8_t kClearTile = 2;
// More separate rectangles than this are composed as the one holding them.
constexpr size_t kMostDamageRects = 400;
// Runs of a light closer than this are lit as one, so that a run rounded up
// to whole vectors never reaches the next.
constexpr int kLightGapJoined = 32;


// The picture as the load code wants it drawn, in the canvas's format: its
// alpha channel (or, for a bitmap without one, pure magenta as clear) for
// scene art, blended, with its colours weighted by its alpha as blending
// wants them; opaque and copied for panels; a light as the weight of
// its light on each channel, colour times alpha, with its alpha kept. A
// light all of one colour tells it in `lightColour` (0x00RRGGBB).
Surface Prepared(Surface loaded, int loadCode, std::optional<uint32_t>* lightColour = nullptr) {
  const bool keyed = loadCode != kLoadOpaquePanel && loaded->format->Amask == 0;
  Surface picture(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
  if (!picture) return picture;
  if (loadCode == kLoadLight) {
    SDL_LockSurface(picture.get());
    std::optional<uint32_t> colour;
    bool one = true;
    for (int y = 0; y < picture->h; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(picture->pixels) +
                                              static_cast<ptrdiff_t>(y) * picture->pitch);
      for (int x = 0; x < picture->w; ++x) {
        const uint32_t p = row[x];
        const uint32_t a = keyed ? 255 : p >> 24;
        if (a != 0) {
          if (!colour) colour = p & 0xFFFFFFu;
          one = one && *colour == (p & 0xFFFFFFu);
        }
        row[x] = (a << 24) | LightWeight((p >> 16) & 0xFF, a) << 16 |
                 LightWeight((p >> 8) & 0xFF, a) << 8 | LightWeight(p & 0xFF, a);
      }
    }
    SDL_UnlockSurface(picture.get());
    if (lightColour != nullptr) *lightColour = one ? colour : std::nullopt;
  } else if (loadCode == kLoadOpaquePanel || keyed) {
    SDL_LockSurface(picture.get());
    for (int y = 0; y < picture->h; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(picture->pixels) +
                                              static_cast<ptrdiff_t>(y) * picture->pitch);
      for (int x = 0; x < picture->w; ++x) {
        const uint32_t rgb = row[x] & 0x00FFFFFFu;
        row[x] = keyed && rgb == 0x00FF00FFu ? 0u : rgb | 0xFF000000u;
      }
    }
    SDL_UnlockSurface(picture.get());
  } else {
    SDL_LockSurface(picture.get());
    PremultiplyRows(picture->pixels, picture->w, picture->h, picture->pitch);
    SDL_UnlockSurface(picture.get());
  }
  SDL_SetSurfaceBlendMode(picture.get(),
                          loadCode == kLoadOpaquePanel ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
  return picture;
}

// The part of a blended picture that is not wholly clear, and where it starts
// in the picture: clear margins are neither kept in memory nor composed.
Surface Trimmed(Surface picture, int& left, int& top) {
  left = top = 0;
  SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
  SDL_GetSurfaceBlendMode(picture.get(), &mode);
  if (mode == SDL_BLENDMODE_NONE) return picture;
  int minX = picture->w, minY = picture->h, maxX = -1, maxY = -1;
  for (int y = 0; y < picture->h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(picture->pixels) +
                                                        static_cast<ptrdiff_t>(y) * picture->pitch);
    // The row's first and last pixels that are not clear, sought from
    // each end, so that a row of solid pixels costs almost nothing.
    int first = 0;
    while (first < picture->w && (row[first] >> 24) == 0) ++first;
    if (first == picture->w) continue;
    int last = picture->w - 1;
    while ((row[last] >> 24) == 0) --last;
    minX = std::min(minX, first);
    maxX = std::max(maxX, last);
    minY = std::min(minY, y);
    maxY = y;
  }
  if (maxX < 0) return Surface();
  if (minX == 0 && minY == 0 && maxX == picture->w - 1 && maxY == picture->h - 1) return picture;
  Surface part(SDL_CreateRGBSurfaceWithFormat(0, maxX - minX + 1, maxY - minY + 1, 32,
                                              SDL_PIXELFORMAT_ARGB8888));
  if (!part) return picture;
  SDL_SetSurfaceBlendMode(part.get(), SDL_BLENDMODE_NONE);
  SDL_Rect from{minX, minY, part->w, part->h};
  SDL_BlitSurface(picture.get(), &from, part.get(), nullptr);
  SDL_SetSurfaceBlendMode(part.get(), SDL_BLENDMODE_BLEND);
  left = minX;
  top = minY;
  return part;
}

SDL_Rect ToSdl(const PixelRect& r) { return {r.x, r.y, r.w, r.h}; }
PixelRect FromSdl(const SDL_Rect& r) { return {r.x, r.y, r.w, r.h}; }

uint32_t* Row(SDL_Surface* surface, int y) {
  return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) +
                                     static_cast<ptrdiff_t>(y) * surface->pitch);
}

// Marks the tiles of a grid `columns` wide that `area` (inside the grid) touches.
void MarkTiles(std::vector<uint8_t>& grid, int columns, const PixelRect& area) {
  for (int row = area.y / kTile; row <= (area.y + area.h - 1) / kTile; ++row) {
    uint8_t* line = grid.data() + static_cast<size_t>(row) * columns;
    std::fill(line + area.x / kTile, line + (area.x + area.w - 1) / kTile + 1, uint8_t{1});
  }
}

// The canvas tiles of `area` for which `changed` holds, joined along each
// row of tiles and then down the rows where the runs line up, added to `out`.
template <typename Changed>
void ChangedTiles(const PixelRect& area, const Changed& changed, std::vector<PixelRect>& out) {
  if (area.Empty()) return;
  // The runs of the row above and of this row, by their place in `out`,
  // left to right: a run joins the one above it of the same columns.
  thread_local std::vector<size_t> above, current;
  above.clear();
  const int lastRow = (area.y + area.h - 1) / kTile;
  const int lastColumn = (area.x + area.w - 1) / kTile;
  for (int row = area.y / kTile; row <= lastRow; ++row) {
    current.clear();
    size_t next = 0;  // the first run above not left of this row's next run
    const int top = std::max(row * kTile, area.y);
    const int bottom = std::min((row + 1) * kTile, area.y + area.h);
    const auto End = [&](int left, int right) {
      const PixelRect run{left, top, right - left, bottom - top};
      while (next < above.size() && out[above[next]].x < run.x) ++next;
      if (next < above.size() && out[above[next]].x == run.x && out[above[next]].w == run.w) {
        out[above[next]].h += run.h;
        current.push_back(above[next++]);
      } else {
        out.push_back(run);
        current.push_back(out.size() - 1);
      }
    };
    int runLeft = -1, runRight = -1;
    for (int column = area.x / kTile; column <= lastColumn; ++column) {
      const int left = std::max(column * kTile, area.x);
      const int right = std::min((column + 1) * kTile, area.x + area.w);
      if (changed(PixelRect{left, top, right - left, bottom - top})) {
        if (runLeft < 0) runLeft = left;
        runRight = right;
      } else if (runLeft >= 0) {
        End(runLeft, runRight);
        runLeft = -1;
      }
    }
    if (runLeft >= 0) End(runLeft, runRight);
    std::swap(above, current);
  }
}

// What a shown tile's fingerprint is when its pixels were sent without one
// being taken: it matches no tile's.
constexpr uint64_t kUnknownPrint = 0;

// A fingerprint of the canvas pixels in `tile`: two tiles with the same one
// are taken to be the same.
uint64_t TilePrint(SDL_Surface* canvas, const PixelRect& tile) {
  // Four lanes over pairs of pixels, so that their multiplies overlap; each
  // row ends with a turn of the lanes, so that a change in a pair's upper
  // pixel reaches the lower bits too, and the lanes are stirred together at
  // the end.
  constexpr uint64_t kOdd = 0x9E3779B97F4A7C15u;
  constexpr uint64_t kPrime = 0x100000001B3u;
  // Named lanes, so that they stay in registers through the loop.
  uint64_t a = kOdd, b = kOdd + 1, c = kOdd + 2, d = kOdd + 3;
  const auto Pair = [](const uint32_t* at) {
    uint64_t pair = 0;
    std::memcpy(&pair, at, sizeof pair);
    return pair;
  };
  for (int y = tile.y; y < tile.y + tile.h; ++y) {
    const uint32_t* row = Row(canvas, y) + tile.x;
    int x = 0;
    for (; x + 8 <= tile.w; x += 8) {
      a = (a ^ Pair(row + x)) * kPrime;
      b = (b ^ Pair(row + x + 2)) * kPrime;
      c = (c ^ Pair(row + x + 4)) * kPrime;
      d = (d ^ Pair(row + x + 6)) * kPrime;
    }
    for (; x < tile.w; ++x) a = (a ^ row[x]) * kPrime;
    a = std::rotl(a, 29);
    b = std::rotl(b, 29);
    c = std::rotl(c, 29);
    d = std::rotl(d, 29);
  }
  uint64_t print = 0;
  for (uint64_t lane : {a, b, c, d}) {
    print = (print ^ lane) * 0xFF51AFD7ED558CCDu;
    print ^= print >> 33;
  }
  // Never kUnknownPrint, which no tile matches.
  return print | 1;
}

// The picture's pixel at canvas point (x, y) when it stands at `at`; clear
// outside it.
uint32_t PixelAt(const SDL_Surface* picture, const SDL_Rect& at, int x, int y) {
  if (x < at.x || y < at.y || x >= at.x + at.w || y >= at.y + at.h) return 0;
  return reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(picture->pixels) +
                                           static_cast<ptrdiff_t>(y - at.y) * picture->pitch)[x - at.x];
}

// Whether two pictures, standing at `atA` and `atB`, differ inside `tile` of
// the canvas; around each picture is clear.
bool PicturesDiffer(const SDL_Surface* a, const SDL_Rect& atA, const SDL_Surface* b,
                    const SDL_Rect& atB, const PixelRect& tile) {
  const PixelRect inA = Intersection(tile, FromSdl(atA));
  const PixelRect inB = Intersection(tile, FromSdl(atB));
  if (inA == tile && inB == tile) {
    // Inside both, as most tiles are: whole rows compared at once.
    for (int y = tile.y; y < tile.y + tile.h; ++y) {
      const auto* rowA = reinterpret_cast<const uint32_t*>(
          static_cast<const uint8_t*>(a->pixels) + static_cast<ptrdiff_t>(y - atA.y) * a->pitch);
      const auto* rowB = reinterpret_cast<const uint32_t*>(
          static_cast<const uint8_t*>(b->pixels) + static_cast<ptrdiff_t>(y - atB.y) * b->pitch);
      if (std::memcmp(rowA + (tile.x - atA.x), rowB + (tile.x - atB.x),
                      sizeof(uint32_t) * static_cast<size_t>(tile.w)) != 0) {
        return true;
      }
    }
    return false;
  }
  const PixelRect either = Union(inA, inB);
  for (int y = either.y; y < either.y + either.h; ++y) {
    for (int x = either.x; x < either.x + either.w; ++x) {
      if (PixelAt(a, atA, x, y) != PixelAt(b, atB, x, y)) return true;
    }
  }
  return false;
}

// Whether the window's pixels are laid out as the canvas's, so that scaling
// may write straight into them.
bool SameLayout(const SDL_Surface* window) {
  const Uint32 f = window->format->format;
  return f == SDL_PIXELFORMAT_ARGB8888 || f == SDL_PIXELFORMAT_RGB888;
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

// Whether SDL draws through X11 (an X server, or XWayland).
bool OnX11() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr && std::strcmp(driver, "x11") == 0;
}

// Shows the saver's window. On X11 it is made plain and marked full screen
// before each mapping (a window manager forgets a withdrawn window's
// states): SDL, asked to show a full-screen window, waits up to 100 ms for
// the window manager to move it, which one already of the desktop's size and
// place never is.
// The shared strip for an X11 window, when the server can have one.
std::unique_ptr<x11::ShmStrip> OpenStrip(SDL_Window* window, int width) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
    return nullptr;
  }
  // Room for sixteen of the widest rows at least.
  const size_t bytes = std::max(kStripBytes, size_t{16} * 4 * static_cast<size_t>(std::max(width, 1)));
  return x11::ShmStrip::Open(info.info.x11.display, info.info.x11.window, bytes);
}

void ShowFullScreen(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if ((SDL_GetWindowFlags(window) & SDL_WINDOW_HIDDEN) != 0 &&
      SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
    x11::MarkFullScreen(info.info.x11.display, info.info.x11.window);
  }
  SDL_ShowWindow(window);
}

// Adds a glow's light to canvas pixels, each channel held at white.
void AddRow(const uint32_t* glow, uint32_t* canvas, int pixels) {
  for (int x = 0; x < pixels; ++x) {
    const uint32_t g = glow[x];
    const uint32_t c = canvas[x];
    const auto Sum = [&](int shift) {
      return std::min<uint32_t>(255, ((c >> shift) & 0xFF) + ((g >> shift) & 0xFF)) << shift;
    };
    canvas[x] = 0xFF000000u | Sum(16) | Sum(8) | Sum(0);
  }
}

// A spark's glow at a heat step: a bright core in a soft halo, white-yellow
// when hot, through orange, to a dim red; `scale` canvas pixels per scene pixel.
Surface SparkPicture(int step, double scale) {
  const double heat = (step + 0.5) / kSparkSteps;
  const int radius = std::max(1, static_cast<int>(std::lround(3 * scale)));
  const int size = 2 * radius + 1;
  Surface glow(SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_ARGB8888));
  if (!glow) return glow;
  const double r = 255.0;
  const double g = 60.0 + 190.0 * std::min(1.0, heat * 1.25);
  const double b = 20.0 + 170.0 * std::max(0.0, heat - 0.6) / 0.4;
  const double strength = 0.45 + 0.55 * heat;
  const double sigma = 1.0 * scale;
  for (int y = 0; y < size; ++y) {
    auto* row = Row(glow.get(), y);
    for (int x = 0; x < size; ++x) {
      const double d2 = double(x - radius) * (x - radius) + double(y - radius) * (y - radius);
      const double core = std::exp(-d2 / (2.0 * sigma * sigma));
      const double halo = 0.3 * std::exp(-d2 / (2.0 * 4.0 * sigma * sigma));
      const double k = strength * std::min(1.0, core + halo);
      const auto C = [k](double v) { return static_cast<uint32_t>(std::lround(std::min(255.0, v * k))); };
      const uint32_t red = C(r), green = C(g), blue = C(b);
      const uint32_t most = std::max({red, green, blue});
      row[x] = most << 24 | red << 16 | green << 8 | blue;
    }
  }
  SDL_SetSurfaceBlendMode(glow.get(), SDL_BLENDMODE_ADD);
  return glow;
}

// The picture at twice its size, each pixel made four: for doubled
// pictures that a data folder lacks.
Surface Doubled(const SDL_Surface* picture) {
  Surface big(SDL_CreateRGBSurfaceWithFormat(0, picture->w * 2, picture->h * 2, 32,
                                             SDL_PIXELFORMAT_ARGB8888));
  if (!big) return big;
  for (int y = 0; y < big->h; ++y) {
    const auto* from = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(picture->pixels) +
                                                         static_cast<ptrdiff_t>(y / 2) * picture->pitch);
    uint32_t* to = Row(big.get(), y);
    for (int x = 0; x < big->w; ++x) to[x] = from[x / 2];
  }
  return big;
}

// The picture made smaller for a canvas of `zoom` canvas pixels per picture
// pixel, on which its top-left corner stands at (x, y) of the picture's
// grid: the canvas pixels whose centres fall on it, from canvas pixel
// (ZoomedEdge(x), ZoomedEdge(y)) on, filtered as the whole canvas would
// be: a light's weights and a blended picture's weighted colours alike, so
// that the colour of a clear pixel never bleeds into its neighbours. None
// when no pixel centre falls on it.
Surface Zoomed(SDL_Surface* picture, int x, int y, double zoom) {
  CanvasScale scale;
  scale.SetZoom(picture->w, picture->h, x, y, zoom);
  const PixelRect fit = scale.Fit();
  if (fit.Empty()) return Surface();
  Surface out(SDL_CreateRGBSurfaceWithFormat(0, fit.w, fit.h, 32, SDL_PIXELFORMAT_ARGB8888));
  if (!out) return out;
  SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
  SDL_GetSurfaceBlendMode(picture, &mode);
  scale.Scale(static_cast<const uint32_t*>(picture->pixels), picture->pitch / 4,
              static_cast<uint32_t*>(out->pixels), out->pitch / 4, fit);
  SDL_SetSurfaceBlendMode(out.get(), mode);
  return out;
}

// A light of one colour kept as its alpha alone, a byte a pixel: its weights
// follow from the colour, and composing it reads a quarter of the memory.
Surface LightAlpha(const SDL_Surface* weights) {
  Surface alpha(SDL_CreateRGBSurfaceWithFormat(0, weights->w, weights->h, 8, SDL_PIXELFORMAT_INDEX8));
  if (!alpha) return alpha;
  for (int y = 0; y < weights->h; ++y) {
    const auto* from = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(weights->pixels) +
                                                         static_cast<ptrdiff_t>(y) * weights->pitch);
    auto* to = static_cast<uint8_t*>(alpha->pixels) + static_cast<ptrdiff_t>(y) * alpha->pitch;
    for (int x = 0; x < weights->w; ++x) to[x] = static_cast<uint8_t>(from[x] >> 24);
  }
  return alpha;
}

// The same file in the folder of doubled pictures: "dir/2x/name".
std::string DoubledPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "2x/" + path;
  return path.substr(0, slash + 1) + "2x/" + path.substr(slash + 1);
}

// The brightness of a blended picture over black, from 0 to 255: what it
// gives off, its colours being weighted by its alpha already.
int Brightness(const SDL_Surface* picture, int64_t area) {
  uint64_t sum = 0;
  for (int y = 0; y < picture->h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(picture->pixels) +
                                                        static_cast<ptrdiff_t>(y) * picture->pitch);
    for (int x = 0; x < picture->w; ++x) {
      const uint32_t p = row[x];
      sum += (((p >> 16) & 0xFF) * 54 + ((p >> 8) & 0xFF) * 183 + (p & 0xFF) * 19) >> 8;
    }
  }
  return static_cast<int>(sum / static_cast<uint64_t>(std::max<int64_t>(area, 1)));
}

}  // namespace

SdlTegoDDrw::SdlTegoDDrw(const Clock& clock) : clock_(clock) {
  items_.reserve(kMaxItemsPerFrame);
  shownItems_.reserve(kMaxItemsPerFrame);
}

SdlTegoDDrw::~SdlTegoDDrw() { CloseDisplay(); }

bool SdlTegoDDrw::SetDisplayMode(int width, int height, int, std::string_view) {
  if (open_) return true;
  windowFault_.clear();
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
    windowFault_ = "the video system is not running";
    return false;
  }
  if (hostWindow_ != 0) {
    window_.reset(SDL_CreateWindowFrom(reinterpret_cast<const void*>(uintptr_t{hostWindow_})));
    if (!window_) {
      windowFault_ = SDL_GetError();
      std::cerr << "emberlrn: cannot draw into window " << hostWindow_ << ": " << windowFault_
                << '\n';
      return false;
    }
    return OpenCanvas();
  }
  SDL_Rect desktop{0, 0, width, height};
  if (SDL_GetDisplayBounds(0, &desktop) != 0) {
    std::cerr << "emberlrn: the desktop's size cannot be read: " << SDL_GetError() << '\n';
  }
  const bool x11 = OnX11();
  const Uint32 flags = SDL_WINDOW_BORDERLESS | (x11 ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) |
                       SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR |
                       (visible_ && !x11 ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
  // At the desktop's own size: without a window manager a full-screen
  // window keeps the size it was made with.
  window_.reset(SDL_CreateWindow("Emberlorn", desktop.x, desktop.y, desktop.w, desktop.h, flags));
  if (window_ && x11 && visible_) ShowFullScreen(window_.get());
  if (!window_) {
    windowFault_ = SDL_GetError();
    std::cerr << "emberlrn: the full-screen window cannot be made: " << windowFault_ << '\n';
    return false;
  }
  if (!OpenCanvas()) return false;
  OpenOtherMonitors();
  return true;
}

void SdlTegoDDrw::OpenOtherMonitors() {
  // Each monitor is a full screen of its own, so each gets the scene at its
  // own shape; dark ones keep the desktop from showing beside the saver.
  // An X11 window manager may put a new window where it likes, as sway does
  // every XWayland window on the focused output; a window it leaves alone
  // stands where it is made, on its own monitor, and full screen by its
  // size and place alone. The saver's own window is managed, so that it has
  // the keyboard.
  const Uint32 flags = SDL_WINDOW_BORDERLESS | (OnX11() ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) |
                       SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR |
                       (visible_ ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
  SDL_SetHint(SDL_HINT_X11_FORCE_OVERRIDE_REDIRECT, "1");
  for (int display = 1; display < SDL_GetNumVideoDisplays(); ++display) {
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(display, &bounds) != 0) continue;
    OtherMonitor other;
    other.window.reset(SDL_CreateWindow("Emberlorn", bounds.x, bounds.y, bounds.w, bounds.h, flags));
    if (other.window) others_.push_back(std::move(other));
  }
  SDL_ResetHint(SDL_HINT_X11_FORCE_OVERRIDE_REDIRECT);
  if (everyMonitor_ && !others_.empty()) {
    plainCanvas_.reset(SDL_CreateRGBSurfaceWithFormat(0, canvasW_, canvasH_, 32,
                                                      SDL_PIXELFORMAT_ARGB8888));
    plainShownTiles_.assign(static_cast<size_t>(tileColumns_) * tileRows_, 0);
  }
  PaintDarkMonitors();
}

void SdlTegoDDrw::PaintDarkMonitors() {
  if (plainCanvas_) return;
  for (const OtherMonitor& other : others_) {
    if (SDL_Surface* surface = SDL_GetWindowSurface(other.window.get())) {
      SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
      SDL_UpdateWindowSurface(other.window.get());
    }
  }
}

void SdlTegoDDrw::MonitorsChanged() {
  if (!open_ || hostWindow_ != 0) return;
  for (const OtherMonitor& other : others_) TakeOffScreen(other.window.get());
  others_.clear();
  plainCanvas_.reset();
  OpenOtherMonitors();
  invalid_ = true;
}

bool SdlTegoDDrw::OwnsWindow(Uint32 windowId) const {
  if (window_ && SDL_GetWindowID(window_.get()) == windowId) return true;
  for (const OtherMonitor& other : others_) {
    if (SDL_GetWindowID(other.window.get()) == windowId) return true;
  }
  return false;
}

bool SdlTegoDDrw::OpenCanvas() {
  // Drawn by the processor into the window's own pixels: it needs no GPU,
  // and only what changed is ever touched.
  canvas_.reset();
  strip_.reset();
  // A canvas scaled into an X11 window is sent through a small shared strip;
  // SDL's pixels of the window are then never made.
  int width = 0, height = 0;
  SDL_GetWindowSize(window_.get(), &width, &height);
  if (width > 0 && height > 0) {
    LayOut(width, height);
    CanvasScale fit;
    fit.SetSizes(canvasW_, canvasH_, width, height);
    if (!fit.Copies()) strip_ = OpenStrip(window_.get(), width);
  }
  const bool sized = WindowSize(width, height);
  if (sized) {
    LayOut(width, height);
    MakeCanvases();
  }
  if (!canvas_ || !sized) {
    windowFault_ = SDL_GetError();
    std::cerr << "emberlrn: the window cannot be drawn: " << windowFault_ << '\n';
    canvas_.reset();
    strip_.reset();
    window_.reset();
    return false;
  }
  shownSurface_ = nullptr;
  open_ = true;
  invalid_ = true;
  return true;
}

bool SdlTegoDDrw::LayOut(int windowWidth, int windowHeight) {
  int margin = 0;
  if (wide_ && windowHeight > 0) {
    // The scene's width at the window's shape, held between 4:3 and 21:9.
    const int64_t width = (int64_t{windowWidth} * kSceneHeight + windowHeight / 2) / windowHeight;
    margin = static_cast<int>(std::clamp<int64_t>((width - kSceneWidth) / 2, 0, kWideMargin));
  }
  const int sceneWidth = kSceneWidth + 2 * margin;
  // Window pixels per scene pixel, as the canvas will be fitted.
  const double scale = std::min(static_cast<double>(windowWidth) / sceneWidth,
                                static_cast<double>(windowHeight) / kSceneHeight);
  const int art = doubledWanted_ && scale >= 1.5 ? 2 : 1;
  // A window up to the pictures' own size gets them made smaller once, as
  // they are read, and the canvas composed at its size is copied into it
  // with no scaling in any frame. A window nearly twice their size (a 4K
  // screen) has them made smaller to half its scale, and the canvas is
  // doubled into it: a tenth less detail, a fifth less memory and work, and
  // the cheapest scaling there is. A larger one has the canvas scaled up,
  // so that the pictures take no more memory than their files.
  const double smaller = scale / art;
  double zoom = 1.0;
  if (smaller >= 0.5 && smaller < 1.0) zoom = smaller;
  if (art == 2 && smaller >= kHalvedFrom && smaller < 2.0) zoom = smaller / 2;
  if (canvas_ && margin == margin_ && art == art_ && zoom == zoom_) return false;
  // Every picture is read again when next drawn, at the new scale and cut
  // to the new canvas.
  for (Sprite& sprite : sprites_) {
    for (Frame& f : sprite.frames) {
      f.picture.reset();
      f.brightness.reset();
      f.lightRuns.clear();
      f.offCanvas = false;
      f.readAt.reset();
    }
  }
  if (art != art_ || zoom != zoom_) texts_.Clear();
  margin_ = margin;
  art_ = art;
  zoom_ = zoom;
  canvasW_ = ZoomedEdge(sceneWidth * art, zoom);
  canvasH_ = ZoomedEdge(kSceneHeight * art, zoom);
  return true;
}

void SdlTegoDDrw::MakeCanvases() {
  canvas_.reset(SDL_CreateRGBSurfaceWithFormat(0, canvasW_, canvasH_, 32, SDL_PIXELFORMAT_ARGB8888));
  if (canvas_) SDL_SetSurfaceBlendMode(canvas_.get(), SDL_BLENDMODE_NONE);
  tileColumns_ = (canvasW_ + kTile - 1) / kTile;
  tileRows_ = (canvasH_ + kTile - 1) / kTile;
  shownTiles_.assign(static_cast<size_t>(tileColumns_) * tileRows_, 0);
  if (plainCanvas_) {
    plainCanvas_.reset(SDL_CreateRGBSurfaceWithFormat(0, canvasW_, canvasH_, 32,
                                                      SDL_PIXELFORMAT_ARGB8888));
    plainShownTiles_.assign(static_cast<size_t>(tileColumns_) * tileRows_, 0);
  }
  sparkPictures_.clear();
  for (int step = 0; step < kSparkSteps; ++step) sparkPictures_.push_back(SparkPicture(step, CanvasPerScene()));
  // What was shown was drawn at the old size, from pictures that may be gone.
  items_.clear();
  shownItems_.clear();
  tileCover_.clear();
  litTiles_.clear();
  pairTiles_.clear();
  shownSurface_ = nullptr;
  stripSized_ = false;
  composedIn_ = nullptr;
  composedPixels_ = nullptr;
  for (OtherMonitor& other : others_) other.shown = nullptr;
  invalid_ = true;
}

bool SdlTegoDDrw::WindowSize(int& width, int& height) const {
  width = height = 0;
  if (strip_) {
    SDL_GetWindowSize(window_.get(), &width, &height);
    return width > 0 && height > 0;
  }
  const SDL_Surface* surface = SDL_GetWindowSurface(window_.get());
  if (surface == nullptr) return false;
  width = surface->w;
  height = surface->h;
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
  Frame& f = s->frames[frame - 1];
  f.picture.reset();
  f.readAt.reset();
  f.file = std::string(path);
  f.loadCode = loadCode;
  f.drawnAtMs = clock_.MonotonicMs();
  // The tile covers were worked out from the pictures as they were.
  tileCover_.clear();
  litTiles_.clear();
  pairTiles_.clear();
  if (open_) {
    // Read when first drawn, so that a style or a flame frame not yet shown
    // costs neither start-up time nor memory; a file that is not there is
    // told of at once.
    if (::access(f.file.c_str(), R_OK) == 0) return;
    if (reported_.insert(f.file).second) {
      std::cerr << "emberlrn: cannot read the picture " << f.file << ": " << std::strerror(errno)
                << '\n';
    }
    f.file.clear();
    return;
  }
  if (!ReadPicture(f) || !open_) {
    f.picture.reset();
    f.file.clear();  // nothing to read again: the sprite stays empty and the saver runs on
  }
}

bool SdlTegoDDrw::ReadPicture(Frame& f, std::optional<ScenePoint> at) {
  Surface loaded;
  bool doubleIt = false;
  if (art_ == 2 && open_) {
    loaded.reset(SDL_LoadBMP(DoubledPath(f.file).c_str()));
    if (!loaded) {
      doubleIt = true;
      if (!doubledMissingTold_) {
        doubledMissingTold_ = true;
        std::cerr << "emberlrn: no picture painted at twice the size for " << f.file
                  << "; the scene's pictures are doubled instead\n";
      }
    }
  }
  if (!loaded) loaded.reset(SDL_LoadBMP(f.file.c_str()));
  if (!loaded) {
    if (reported_.insert(f.file).second) {
      std::cerr << "emberlrn: cannot read the picture " << f.file << ": " << SDL_GetError()
                << '\n';
    }
    return false;
  }
  if (!open_) return true;
  std::optional<uint32_t> lightColour;
  Surface picture = Prepared(std::move(loaded), f.loadCode, &lightColour);
  if (!picture) return false;
  if (doubleIt) {
    Surface big = Doubled(picture.get());
    if (!big) return false;
    SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
    SDL_GetSurfaceBlendMode(picture.get(), &mode);
    SDL_SetSurfaceBlendMode(big.get(), mode);
    picture = std::move(big);
  }
  if (zoom_ != 1.0) {
    const ScenePoint origin = at.value_or(ScenePoint{});
    picture = Zoomed(picture.get(), (origin.x + margin_) * art_, origin.y * art_, zoom_);
    if (!picture) {
      // Too small to cover a pixel's centre: nothing of it is shown.
      f.picture.reset();
      f.readAt.reset();
      f.offCanvas = true;
      return true;
    }
  }
  f.area = int64_t{picture->w} * picture->h;
  picturesRead_ = true;
  f.picture = Trimmed(std::move(picture), f.left, f.top);
  if (at && f.picture) {
    // What lies off the canvas where the sprite stands is never shown: the
    // walls beyond a 16:9 screen's edges, a bell's edge.
    const int x = CanvasX(at->x) + f.left;
    const int y = CanvasY(at->y) + f.top;
    const PixelRect shown = Intersection({x, y, f.picture->w, f.picture->h}, {0, 0, canvasW_, canvasH_});
    if (shown.Empty()) {
      f.picture.reset();
      f.offCanvas = true;
      return true;
    }
    if (shown.w != f.picture->w || shown.h != f.picture->h) {
      Surface part(SDL_CreateRGBSurfaceWithFormat(0, shown.w, shown.h, 32, SDL_PIXELFORMAT_ARGB8888));
      if (part) {
        SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
        SDL_GetSurfaceBlendMode(f.picture.get(), &mode);
        SDL_SetSurfaceBlendMode(f.picture.get(), SDL_BLENDMODE_NONE);
        SDL_Rect from{shown.x - x, shown.y - y, shown.w, shown.h};
        SDL_BlitSurface(f.picture.get(), &from, part.get(), nullptr);
        SDL_SetSurfaceBlendMode(part.get(), mode);
        f.left += shown.x - x;
        f.top += shown.y - y;
        f.picture = std::move(part);
      }
    }
  }
  f.lightColour = f.picture && f.loadCode == kLoadLight ? lightColour : std::nullopt;
  if (f.lightColour) {
    if (Surface alpha = LightAlpha(f.picture.get())) f.picture = std::move(alpha);
    else f.lightColour.reset();
  }
  f.brightness.reset();
  f.lightRuns.clear();
  f.readAt = at;
  f.composedAtMs = clock_.MonotonicMs();
  if (f.picture) {
    f.width = f.picture->w;
    f.height = f.picture->h;
    SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
    SDL_GetSurfaceBlendMode(f.picture.get(), &mode);
    f.paint = f.loadCode == kLoadLight      ? Paint::kLight
              : mode == SDL_BLENDMODE_NONE ? Paint::kCopy
                                           : Paint::kBlend;
  } else {
    f.readAt.reset();  // off the canvas: nothing to draw unread
  }
  if (f.loadCode == kLoadLight && f.picture) {
    f.lightRuns.resize(static_cast<size_t>(f.picture->h));
    for (int y = 0; y < f.picture->h; ++y) {
      const auto* bytes = static_cast<const uint8_t*>(f.picture->pixels) +
                          static_cast<ptrdiff_t>(y) * f.picture->pitch;
      const uint32_t* row = Row(f.picture.get(), y);
      const auto Lit = [&](int x) { return f.lightColour ? bytes[x] != 0 : (row[x] >> 24) != 0; };
      for (int x = 0; x < f.picture->w;) {
        if (!Lit(x)) {
          ++x;
          continue;
        }
        const int start = x;
        while (x < f.picture->w && Lit(x)) ++x;
        // Runs of a light of one colour a few unlit pixels apart are lit as
        // one: a pixel of no weight is left as it is.
        auto& runs = f.lightRuns[static_cast<size_t>(y)];
        if (f.lightColour && !runs.empty() && start - runs.back().second < kLightGapJoined) {
          runs.back().second = x;
        } else {
          runs.emplace_back(start, x);
        }
      }
      // And each reaches on over unlit pixels to a whole number of vectors.
      if (f.lightColour) {
        for (auto& [start, end] : f.lightRuns[static_cast<size_t>(y)]) {
          end = std::min(start + (end - start + 7) / 8 * 8, f.picture->w);
        }
      }
    }
  }
  return true;
}

size_t SdlTegoDDrw::PicturesHeld() const {
  size_t held = 0;
  for (const Sprite& s : sprites_) {
    for (const Frame& f : s.frames) held += f.picture != nullptr;
  }
  return held;
}

void SdlTegoDDrw::ReleaseIdlePictures(int64_t nowMs) {
  // Longer than the slowest flame's round and much shorter than the shortest
  // rotation, looked at now and then.
  constexpr int64_t kIdleMs = 10 * 1000;
  constexpr int64_t kSweepEveryMs = 2 * 1000;
  if (nowMs - idleSweepAtMs_ < kSweepEveryMs) return;
  idleSweepAtMs_ = nowMs;
  bool released = false;
  for (Sprite& s : sprites_) {
    for (Frame& f : s.frames) {
      if (!f.picture || f.file.empty()) continue;
      const bool undrawn = nowMs - f.drawnAtMs >= kIdleMs;
      // Drawn in every frame but long since composed: the walls, the room's
      // shades, a stocking, which go onto the canvas only when it is drawn
      // whole or the style changes.
      const bool unused = nowMs - f.composedAtMs >= kIdleMs && f.readAt &&
                          DrawnUnread(f, *f.readAt);
      if (!undrawn && !unused) continue;
      // A file that can no longer be read (its disk gone) keeps its picture.
      if (::access(f.file.c_str(), R_OK) != 0) continue;
      const SDL_Surface* picture = f.picture.get();
      const bool shown = std::any_of(shownItems_.begin(), shownItems_.end(),
                                     [picture](const Item& item) { return item.picture == picture; });
      // The frame on the screen is compared with the next one: its lights
      // stay; any other picture of it is taken as let go there too.
      if (shown && !unused) continue;
      for (Item& item : shownItems_) {
        if (item.picture == picture) item.picture = nullptr;
      }
      // A pair is forgotten with either picture, or with a picture in front.
      std::vector<const uint8_t*> solids;
      for (const auto& [key, solid] : tileCover_) {
        if (std::get<0>(key) == picture) solids.push_back(solid.data());
      }
      std::erase_if(pairTiles_, [picture, &solids](const auto& entry) {
        const std::vector<const uint8_t*>& front = entry.second.front;
        return std::get<0>(entry.first) == picture || std::get<3>(entry.first) == picture ||
               std::find_first_of(front.begin(), front.end(), solids.begin(), solids.end()) !=
                   front.end();
      });
      std::erase_if(tileCover_, [picture](const auto& entry) {
        return std::get<0>(entry.first) == picture;
      });
      std::erase_if(litTiles_, [picture](const auto& entry) {
        return std::get<0>(entry.first) == picture;
      });
      f.picture.reset();
      released = true;
    }
  }
#if defined(__GLIBC__)
  if (released) malloc_trim(0);
#endif
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
  Sprite* s = Find(sprite);
  if (s == nullptr || s->frame < 1 || s->frame > static_cast<int>(s->frames.size())) return;
  Frame& f = s->frames[s->frame - 1];
  const ScenePoint here{s->x, s->y};
  // A picture let go for want of use is read again only when the canvas
  // needs its pixels.
  const bool unread = !f.picture && DrawnUnread(f, here);
  if (!f.picture && !unread && !f.offCanvas && open_ && !f.file.empty() && !ReadPicture(f, here)) {
    f.file.clear();
  }
  if (!f.picture && !unread) return;
  f.drawnAtMs = clock_.MonotonicMs();
  const bool light = f.loadCode == kLoadLight;
  // A light of another strength changes every pixel it lights.
  const uint64_t identity = kSpriteIdentity | uint64_t(uint32_t(sprite)) << 16 | uint64_t(s->frame) |
                            (light ? uint64_t(s->level & 0xFF) << 48 : 0);
  const int x = CanvasX(s->x);
  const int y = CanvasY(s->y);
  Item item{f.picture.get(), identity, {x + f.left, y + f.top, f.width, f.height}, {x, y, 0, 0}};
  item.paint = f.paint;
  item.light = light ? &f : nullptr;
  item.level = s->level;
  item.sprite = sprite;
  item.frame = s->frame;
  items_.push_back(item);
}

bool SdlTegoDDrw::DrawnUnread(const Frame& f, ScenePoint at) {
  return f.readAt && *f.readAt == at && f.loadCode != kLoadLight && !f.file.empty();
}

SDL_Surface* SdlTegoDDrw::PictureFor(Item& item) {
  if (item.picture != nullptr) return item.picture;
  Sprite* s = Find(item.sprite);
  if (s == nullptr || item.frame < 1 || item.frame > static_cast<int>(s->frames.size())) return nullptr;
  Frame& f = s->frames[static_cast<size_t>(item.frame - 1)];
  if (!f.picture && f.readAt && !f.file.empty()) {
    const ScenePoint at = *f.readAt;
    if (!ReadPicture(f, at)) f.file.clear();
  }
  // A file changed on disk may no longer fit the place the item was given:
  // the next frame is drawn whole from what it holds now.
  if (!f.picture || f.picture->w != item.at.w || f.picture->h != item.at.h ||
      item.placedAt.x + f.left != item.at.x || item.placedAt.y + f.top != item.at.y) {
    invalid_ = true;
    return nullptr;
  }
  item.picture = f.picture.get();
  return item.picture;
}

void SdlTegoDDrw::SetSpriteLevel(int32_t sprite, int level) {
  if (Sprite* s = Find(sprite)) s->level = std::clamp(level, 0, 255);
}

std::optional<int> SdlTegoDDrw::FrameBrightness(int32_t sprite, int frame) {
  Sprite* s = Find(sprite);
  if (s == nullptr || frame < 1 || frame > static_cast<int>(s->frames.size())) return std::nullopt;
  Frame& f = s->frames[frame - 1];
  if (!f.picture) return std::nullopt;
  if (!f.brightness) f.brightness = Brightness(f.picture.get(), f.area);
  return f.brightness;
}

void SdlTegoDDrw::DrawSpark(int x, int y, int heat) {
  if (!open_ || heat <= 0 || sparkPictures_.empty()) return;
  const int step = std::clamp(heat * kSparkSteps / 256, 0, kSparkSteps - 1);
  SDL_Surface* glow = sparkPictures_[static_cast<size_t>(step)].get();
  if (glow == nullptr) return;
  const int half = glow->w / 2;
  Item item{glow, kSparkIdentity | uint64_t(step), {CanvasX(x) - half, CanvasY(y) - half, glow->w, glow->h}};
  item.paint = Paint::kAdd;
  items_.push_back(item);
}

void SdlTegoDDrw::ClearBackBuffer(Colour colour) {
  clearColour_ = colour;
  items_.clear();
  wantFrameByMs_ = -1;
  // A window of another size may want another canvas, made before this
  // frame's drawings are placed on it.
  if (!open_) return;
  if (int width = 0, height = 0; WindowSize(width, height) && LayOut(width, height)) {
    MakeCanvases();
  }
}

void SdlTegoDDrw::SetTextFont(std::string_view face, int size, int, bool bold, bool italic,
                              bool underline) {
  // Letters are drawn at the canvas's scale, as the pictures are.
  texts_.SetFont(face, static_cast<int>(std::lround(size * CanvasPerScene())), bold, italic,
                 underline);
}

void SdlTegoDDrw::DrawText(std::string_view text, int x, int y, Colour colour) {
  if (!open_) return;
  const int left = CanvasX(x);
  const TextImage t = texts_.Get(text, ToSdl(colour), canvasW_ - left);
  if (t.surface == nullptr) return;
  // The letters stand at (x, y); their halo reaches beyond them.
  items_.push_back({t.surface, t.serial, {left - t.halo, CanvasY(y) - t.halo, t.width, t.height}, {},
                    noticeText_});
}

int SdlTegoDDrw::TextWidth(std::string_view text) {
  return static_cast<int>(std::ceil(texts_.Width(text) / CanvasPerScene() - 1e-9));
}

void SdlTegoDDrw::FlipBackBuffer() {
  if (!open_) {
    items_.clear();
    return;
  }
  if (showFps_) AddFpsFigure();
  BindCanvas();
  const bool everything = invalid_ || clearColour_ != shownClearColour_;
  if (everything) scratch_.areas.assign(1, {0, 0, canvasW_, canvasH_});
  const std::vector<PixelRect>& areas = everything ? scratch_.areas : Damage();
  if (areas.empty()) {
    ++framesUnchanged_;
  } else {
    for (const PixelRect& area : areas) {
      // A whole canvas composed reads each picture once: finding where
      // each is clear pays only in the frames after.
      Compose(canvas_.get(), area, true, !everything);
      if (plainCanvas_) Compose(plainCanvas_.get(), area, false, !everything);
    }
    Present(areas, everything);
#if defined(__GLIBC__)
    // The pictures were read through buffers now freed; a frame that read
    // any gives their pages back, which the allocator would otherwise keep.
    if (framesDrawn_ == 0 || picturesRead_) malloc_trim(0);
    picturesRead_ = false;
#endif
    ++framesDrawn_;
    std::swap(items_, shownItems_);
    shownClearColour_ = clearColour_;
    invalid_ = false;
  }
  items_.clear();
  texts_.EndFrame();
  ReleaseIdlePictures(clock_.MonotonicMs());
}

void SdlTegoDDrw::AddFpsFigure() {
  const int64_t now = clock_.MonotonicMs();
  ++fpsFrames_;
  if (fpsText_.empty() || now - fpsSinceMs_ >= 1000) {
    const double seconds = fpsText_.empty() ? 0.0 : (now - fpsSinceMs_) / 1000.0;
    // The frames drawn per second, and how: the processor draws them.
    char text[48];
    std::snprintf(text, sizeof text, "%.1f fps, software",
                  seconds > 0 ? fpsFrames_ / seconds : 0.0);
    fpsText_ = text;
    fpsSinceMs_ = now;
    fpsFrames_ = 0;
  }
  texts_.SetFont("Arial", static_cast<int>(std::lround(12 * CanvasPerScene())), true, false, false);
  const TextImage t = texts_.Get(fpsText_, SDL_Color{255, 255, 255, 255}, canvasW_);
  if (t.surface != nullptr)
    items_.push_back({t.surface, t.serial, {4, canvasH_ - 4 - t.height, t.width, t.height}});
}

void SdlTegoDDrw::HostWindowResized(int width, int height) {
  if (!window_ || hostWindow_ == 0) return;
  // SDL learns a foreign window's size only from what it is told; the
  // window's pixels are then made anew at that size.
  SDL_SetWindowSize(window_.get(), width, height);
  invalid_ = true;
}

const std::vector<PixelRect>& SdlTegoDDrw::Damage() const {
  const PixelRect whole{0, 0, canvasW_, canvasH_};
  // Every drawing matched with an equal one of the shown frame; what is
  // left over on either side changed there.
  std::vector<bool>& matchedNew = scratch_.matchedNew;
  std::vector<bool>& matchedShown = scratch_.matchedShown;
  matchedNew.assign(items_.size(), false);
  matchedShown.assign(shownItems_.size(), false);
  std::vector<uint8_t>& sure = scratch_.sure;
  sure.assign(static_cast<size_t>(tileColumns_) * tileRows_, 0);
  std::vector<PixelRect>& areas = scratch_.areas;
  areas.clear();
  size_t lastMatch = 0;
  bool inOrder = true;
  for (size_t i = 0; i < items_.size(); ++i) {
    for (size_t k = 0; k < shownItems_.size(); ++k) {
      if (matchedShown[k] || !(shownItems_[k] == items_[i])) continue;
      // The drawings that stayed must keep their order, or what covers what
      // may have changed anywhere.
      if (k < lastMatch) inOrder = false;
      lastMatch = k;
      matchedShown[k] = matchedNew[i] = true;
      break;
    }
  }
  if (!inOrder) {
    areas.push_back(whole);
    return areas;
  }
  std::vector<PixelRect>& changed = scratch_.changed;
  changed.clear();
  // A sprite's next frame at the same place (the flame stepping on) changed
  // only the tiles where the two pictures differ; any other drawing that
  // came or went changed all of its rectangle. The frames of one sprite may
  // have different clear margins cut off, so their rectangles may differ.
  for (size_t i = 0; i < items_.size(); ++i) {
    if (matchedNew[i]) continue;
    const Item& now = items_[i];
    // A light at another strength changed the tiles it lights, no others.
    for (size_t k = 0; k < shownItems_.size() && now.paint == Paint::kLight; ++k) {
      const Item& before = shownItems_[k];
      if (matchedShown[k] || before.picture != now.picture || !(FromSdl(before.at) == FromSdl(now.at))) {
        continue;
      }
      matchedShown[k] = matchedNew[i] = true;
      const std::vector<PixelRect>& lit = LitTiles(now);
      changed.insert(changed.end(), lit.begin(), lit.end());
      break;
    }
    if (matchedNew[i]) continue;
    const bool sprite = (now.identity & kSpriteIdentity) != 0;
    for (size_t k = 0; k < shownItems_.size() && sprite; ++k) {
      const Item& before = shownItems_[k];
      if (matchedShown[k] || (before.identity & kSpriteIdentity) == 0 ||
          (before.identity >> 16) != (now.identity >> 16) ||
          before.placedAt.x != now.placedAt.x || before.placedAt.y != now.placedAt.y) {
        continue;
      }
      matchedShown[k] = matchedNew[i] = true;
      const PixelRect both = Union(FromSdl(before.at), FromSdl(now.at));
      // Pictures let go cannot be compared, nor lights: all of both changed.
      if (before.picture == nullptr || now.picture == nullptr || now.paint == Paint::kLight ||
          before.paint == Paint::kLight) {
        changed.push_back(both);
        break;
      }
      // A tile that a solid drawing in front covers shows nothing of either.
      std::vector<const uint8_t*>& inFront = scratch_.inFront;
      inFront.clear();
      for (size_t j = i + 1; j < items_.size(); ++j) {
        // One let go is taken to hide nothing.
        if (items_[j].paint == Paint::kBlend && items_[j].picture != nullptr &&
            (items_[j].identity & kSpriteIdentity) != 0 &&
            !Intersection(FromSdl(items_[j].at), both).Empty()) {
          inFront.push_back(CoverOf(items_[j]));
        }
      }
      // What the step from one picture to the other changes is worked out
      // once for each pair and what stands in front of them. A long run of
      // pictures (a flame with more frames than this) is not kept.
      constexpr size_t kMostPairs = 128;
      if (pairTiles_.size() >= kMostPairs) pairTiles_.clear();
      // Keyed by a print of what stands in front, which the entry holds in
      // full: a frame that finds its pair allocates nothing.
      uint64_t frontPrint = 0;
      for (const uint8_t* solid : inFront) {
        frontPrint = (frontPrint ^ reinterpret_cast<uintptr_t>(solid)) * 0x100000001B3u;
      }
      PairChange& step = pairTiles_[{before.picture, before.at.x, before.at.y, now.picture,
                                     now.at.x, now.at.y, frontPrint}];
      std::vector<PixelRect>& runs = step.runs;
      if (!step.known || step.front != inFront) {
        step.known = true;
        step.front = inFront;
        runs.clear();
        ChangedTiles(
            Intersection(both, whole),
            [&](const PixelRect& tile) {
              const size_t index = static_cast<size_t>(tile.y / kTile * tileColumns_ + tile.x / kTile);
              for (const uint8_t* solid : inFront) {
                if (solid[index] == kSolidTile) return false;
              }
              return PicturesDiffer(before.picture, before.at, now.picture, now.at, tile);
            },
            runs);
      }
      // Those tiles changed for certain.
      for (const PixelRect& run : runs) MarkTiles(sure, tileColumns_, run);
      changed.insert(changed.end(), runs.begin(), runs.end());
      break;
    }
    if (!matchedNew[i]) changed.push_back(FromSdl(now.at));
  }
  for (size_t k = 0; k < shownItems_.size(); ++k) {
    if (!matchedShown[k]) changed.push_back(FromSdl(shownItems_[k].at));
  }
  // The tiles the changes touch, joined into runs along each row of tiles
  // and down the rows: many small changes (sparks) beside the flame's cost
  // their own tiles, not the box around them all.
  std::vector<uint8_t>& marked = scratch_.marked;
  marked.assign(static_cast<size_t>(tileColumns_) * tileRows_, 0);
  bool any = false;
  for (const PixelRect& rect : changed) {
    const PixelRect area = Intersection(rect, whole);
    if (area.Empty()) continue;
    any = true;
    MarkTiles(marked, tileColumns_, area);
  }
  if (any) {
    ChangedTiles(whole,
                 [&](const PixelRect& tile) {
                   return marked[static_cast<size_t>(tile.y / kTile * tileColumns_ + tile.x / kTile)] != 0;
                 },
                 areas);
  }
  if (areas.size() > kMostDamageRects) {
    PixelRect all;
    for (const PixelRect& area : areas) all = Union(all, area);
    areas.assign(1, all);
  }
  return areas;
}

const std::vector<PixelRect>& SdlTegoDDrw::LitTiles(const Item& item) const {
  const auto key = std::make_tuple(static_cast<const SDL_Surface*>(item.picture), item.at.x,
                                   item.at.y);
  auto found = litTiles_.find(key);
  if (found != litTiles_.end()) return found->second;
  // The tiles holding a pixel of the light's runs, as runs of tiles.
  const PixelRect whole{0, 0, canvasW_, canvasH_};
  std::vector<uint8_t> lit(static_cast<size_t>(tileColumns_) * tileRows_, 0);
  for (int y = 0; y < item.at.h; ++y) {
    const int canvasY = item.at.y + y;
    if (canvasY < 0 || canvasY >= canvasH_) continue;
    for (const auto& [first, end] : item.light->lightRuns[static_cast<size_t>(y)]) {
      const int from = std::max(item.at.x + first, 0);
      const int until = std::min(item.at.x + end, canvasW_);
      for (int column = from / kTile; from < until && column <= (until - 1) / kTile; ++column) {
        lit[static_cast<size_t>(canvasY / kTile * tileColumns_ + column)] = 1;
      }
    }
  }
  std::vector<PixelRect> runs;
  ChangedTiles(whole,
               [&](const PixelRect& tile) {
                 return lit[static_cast<size_t>(tile.y / kTile * tileColumns_ + tile.x / kTile)] != 0;
               },
               runs);
  return litTiles_.emplace(key, std::move(runs)).first->second;
}

const uint8_t* SdlTegoDDrw::CoverOf(const Item& item) const {
  if (item.cover == nullptr) item.cover = TileCover(item).data();
  return item.cover;
}

const std::vector<uint8_t>& SdlTegoDDrw::TileCover(const Item& item) const {
  const auto key = std::make_tuple(static_cast<const SDL_Surface*>(item.picture), item.at.x,
                                   item.at.y);
  auto found = tileCover_.find(key);
  if (found != tileCover_.end()) return found->second;
  std::vector<uint8_t> cover(static_cast<size_t>(tileColumns_) * tileRows_, kClearTile);
  const PixelRect canvasRect{0, 0, canvasW_, canvasH_};
  SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
  SDL_GetSurfaceBlendMode(item.picture, &mode);
  const bool blended = mode != SDL_BLENDMODE_NONE;
  const PixelRect at = FromSdl(item.at);
  const PixelRect shown = Intersection(at, canvasRect);
  if (shown.Empty()) return tileCover_.emplace(key, std::move(cover)).first->second;
  for (int row = shown.y / kTile; row <= (shown.y + shown.h - 1) / kTile; ++row) {
    for (int column = shown.x / kTile; column <= (shown.x + shown.w - 1) / kTile; ++column) {
      const PixelRect tile{column * kTile, row * kTile, kTile, kTile};
      const PixelRect inside = Intersection(tile, shown);
      if (inside.Empty()) continue;
      // Only a tile wholly inside the picture can be wholly covered by it;
      // a copied picture covers all it stands on.
      const bool whole = inside == Intersection(tile, canvasRect);
      // All pixels' bits and-ed and or-ed: solid when every alpha is full,
      // clear when every one is none.
      uint32_t all = 0xFFFFFFFFu, any = 0;
      for (int y = inside.y; y < inside.y + inside.h && blended; ++y) {
        const uint32_t* pixels = Row(item.picture, y - at.y) + (inside.x - at.x);
        for (int x = 0; x < inside.w; ++x) {
          all &= pixels[x];
          any |= pixels[x];
        }
        if ((all >> 24) != 0xFF && (any >> 24) != 0) break;
      }
      const bool solid = whole && (!blended || (all >> 24) == 0xFF);
      const bool clear = blended && (any >> 24) == 0;
      cover[static_cast<size_t>(row) * tileColumns_ + column] =
          solid ? kSolidTile : clear ? kClearTile : kPartTile;
    }
  }
  return tileCover_.emplace(key, std::move(cover)).first->second;
}

void SdlTegoDDrw::Compose(SDL_Surface* canvas, const PixelRect& area, bool withPanels,
                          bool passClear) {
  // The drawings that reach into the area, their pictures read if they were
  // let go, found once for all of its bands.
  const int64_t nowMs = clock_.MonotonicMs();
  std::vector<Drawn>& drawn = scratch_.drawn;
  drawn.clear();
  for (size_t i = 0; i < items_.size(); ++i) {
    Item& item = items_[i];
    if (Intersection(FromSdl(item.at), area).Empty()) continue;
    // The notice panels are the only opaque pictures.
    if ((item.paint == Paint::kCopy || item.notice) && !withPanels) continue;
    if (item.sprite != 0) {
      if (PictureFor(item) == nullptr) continue;
      if (Sprite* s = Find(item.sprite)) s->frames[static_cast<size_t>(item.frame - 1)].composedAtMs = nowMs;
    }
    // A blended sprite's clear tiles are passed over.
    const bool coverKnown = passClear && item.sprite != 0 && item.paint == Paint::kBlend;
    drawn.push_back({i, coverKnown ? CoverOf(item) : nullptr});
  }
  // A band of rows at a time, so that the canvas's pixels stay in the
  // processor's cache while every drawing is put on them in turn.
  constexpr int kBandRows = 16;
  for (int top = area.y; top < area.y + area.h; top = (top / kBandRows + 1) * kBandRows) {
    const int bottom = std::min(area.y + area.h, (top / kBandRows + 1) * kBandRows);
    ComposeBand(canvas, {area.x, top, area.w, bottom - top}, drawn);
  }
}

void SdlTegoDDrw::ComposeBand(SDL_Surface* canvas, const PixelRect& area,
                              const std::vector<Drawn>& drawn) {
  // Filled row by row in the cache, where the drawings blended next find it
  // (SDL's fill of large areas writes past the cache).
  const SDL_Color clear = ToSdl(clearColour_);
  const uint32_t background = SDL_MapRGB(canvas->format, clear.r, clear.g, clear.b);
  // The first drawing here, when it is blended, is put on the clear colour
  // as the rows are filled: the canvas is written once and never read there.
  size_t first = 0;
  PixelRect over;
  for (; first < drawn.size(); ++first) {
    over = Intersection(FromSdl(items_[drawn[first].item].at), area);
    if (!over.Empty()) break;
  }
  const bool fused = first < drawn.size() && items_[drawn[first].item].paint == Paint::kBlend;
  for (int y = area.y; y < area.y + area.h; ++y) {
    uint32_t* row = Row(canvas, y);
    if (!fused || y < over.y || y >= over.y + over.h) {
      FillRow(row + area.x, area.w, background);
      continue;
    }
    const Item& item = items_[drawn[first].item];
    FillRow(row + area.x, over.x - area.x, background);
    BlendRowOver(Row(item.picture, y - item.at.y) + (over.x - item.at.x), row + over.x, over.w,
                 background);
    FillRow(row + over.x + over.w, area.x + area.w - over.x - over.w, background);
  }
  for (size_t d = fused ? first + 1 : first; d < drawn.size(); ++d) {
    const Item& item = items_[drawn[d].item];
    const PixelRect part = Intersection(FromSdl(item.at), area);
    if (part.Empty()) continue;
    // A picture's row from column x on, and its next row asked of memory
    // while this one is put on.
    const int bytes = item.picture->format->BytesPerPixel;
    const auto PictureRow = [&](int y, int x) {
      const auto* row = static_cast<const uint8_t*>(item.picture->pixels) +
                        static_cast<ptrdiff_t>(y - item.at.y) * item.picture->pitch;
      if (y + 1 < item.at.y + item.at.h) {
        const uint8_t* next = row + item.picture->pitch + (part.x - item.at.x) * bytes;
        for (int b = 0; b < part.w * bytes; b += 64) __builtin_prefetch(next + b);
      }
      return row + (x - item.at.x) * bytes;
    };
    if (item.paint == Paint::kLight) {
      const std::optional<uint32_t> colour = item.light->lightColour;
      if (colour) oneColour_.Set(*colour, item.level);
      const auto& lightRuns = item.light->lightRuns;
      for (int y = part.y; y < part.y + part.h; ++y) {
        const auto* row = static_cast<const uint8_t*>(item.picture->pixels) +
                          static_cast<ptrdiff_t>(y - item.at.y) * item.picture->pitch;
        // Of the next row, only the weights its runs of light will read.
        if (y + 1 < part.y + part.h) {
          for (const auto& [first, end] : lightRuns[static_cast<size_t>(y + 1 - item.at.y)]) {
            const int from = std::max(first + item.at.x, part.x) - item.at.x;
            const int until = std::min(end + item.at.x, part.x + part.w) - item.at.x;
            for (int b = from * bytes; b < until * bytes; b += 64) {
              __builtin_prefetch(row + item.picture->pitch + b);
            }
          }
        }
        uint32_t* to = Row(canvas, y);
        for (const auto& [first, end] : lightRuns[static_cast<size_t>(y - item.at.y)]) {
          const int from = std::max(first + item.at.x, part.x);
          const int until = std::min(end + item.at.x, part.x + part.w);
          if (from >= until) continue;
          const uint8_t* weights = row + (from - item.at.x) * bytes;
          if (colour) {
            LightRowByAlpha(weights, to + from, until - from, oneColour_);
          } else {
            LightRow(reinterpret_cast<const uint32_t*>(weights), to + from, until - from, item.level);
          }
        }
      }
      continue;
    }
    if (const uint8_t* cover = drawn[d].cover) {
      // Only the runs of tiles the picture shows anything in, found again
      // at each row of tiles.
      std::vector<std::pair<int, int>>& runs = scratch_.shownRuns;
      int runsRow = -1;
      for (int y = part.y; y < part.y + part.h; ++y) {
        if (y / kTile != runsRow) {
          runsRow = y / kTile;
          runs.clear();
          const uint8_t* line = cover + static_cast<size_t>(runsRow) * tileColumns_;
          for (int column = part.x / kTile; column <= (part.x + part.w - 1) / kTile; ++column) {
            if (line[column] == kClearTile) continue;
            const int left = std::max(column * kTile, part.x);
            const int right = std::min((column + 1) * kTile, part.x + part.w);
            if (!runs.empty() && runs.back().second == left) {
              runs.back().second = right;
            } else {
              runs.emplace_back(left, right);
            }
          }
        }
        const uint8_t* row = PictureRow(y, part.x);
        uint32_t* to = Row(canvas, y);
        for (const auto& [left, right] : runs) {
          BlendRow(reinterpret_cast<const uint32_t*>(row) + (left - part.x), to + left, right - left);
        }
      }
      continue;
    }
    for (int y = part.y; y < part.y + part.h; ++y) {
      const auto* from = reinterpret_cast<const uint32_t*>(PictureRow(y, part.x));
      uint32_t* to = Row(canvas, y) + part.x;
      if (item.paint == Paint::kCopy) {
        std::memcpy(to, from, sizeof(uint32_t) * static_cast<size_t>(part.w));
      } else if (item.paint == Paint::kAdd) {
        AddRow(from, to, part.w);
      } else {
        BlendRow(from, to, part.w);
      }
    }
  }
}

void SdlTegoDDrw::BindCanvas() {
  if (strip_) {
    int width = 0, height = 0;
    if (!WindowSize(width, height) || !canvas_) return;
    if (!stripSized_ || width != scale_.WindowWidth() || height != scale_.WindowHeight()) {
      scale_.SetSizes(canvasW_, canvasH_, width, height);
      stripSized_ = true;
      invalid_ = true;
    }
    return;
  }
  SDL_Surface* surface = SDL_GetWindowSurface(window_.get());
  if (surface == nullptr || !canvas_) return;
  // Pixels made anew (on Wayland at every change of the window) hold nothing
  // of what was shown.
  if (surface != shownSurface_ || surface->w != scale_.WindowWidth() ||
      surface->h != scale_.WindowHeight()) {
    scale_.SetSizes(canvasW_, canvasH_, surface->w, surface->h);
    shownSurface_ = surface;
    invalid_ = true;
  }
  // Where the canvas is the window's size, it is composed in the window's
  // own pixels: nothing is copied, and no second canvas is held. The window
  // may make its pixels anew at any change it is told of.
  const bool inPlace = scale_.Copies() && SameLayout(surface) && !SDL_MUSTLOCK(surface);
  const bool bound = composedIn_ == surface && composedPixels_ == surface->pixels;
  if (inPlace ? bound && !invalid_ : composedIn_ == nullptr) return;
  Surface canvas;
  if (inPlace) {
    const PixelRect fit = scale_.Fit();
    canvas.reset(SDL_CreateRGBSurfaceWithFormatFrom(
        static_cast<uint8_t*>(surface->pixels) + static_cast<ptrdiff_t>(fit.y) * surface->pitch +
            static_cast<ptrdiff_t>(fit.x) * 4,
        canvasW_, canvasH_, 32, surface->pitch, SDL_PIXELFORMAT_ARGB8888));
  } else {
    canvas.reset(SDL_CreateRGBSurfaceWithFormat(0, canvasW_, canvasH_, 32, SDL_PIXELFORMAT_ARGB8888));
  }
  if (!canvas) return;  // the canvas it has is kept
  SDL_SetSurfaceBlendMode(canvas.get(), SDL_BLENDMODE_NONE);
  canvas_ = std::move(canvas);
  composedIn_ = inPlace ? surface : nullptr;
  composedPixels_ = inPlace ? surface->pixels : nullptr;
  invalid_ = true;
}

void SdlTegoDDrw::Present(const std::vector<PixelRect>& areas, bool everything) {
  // BindCanvas fitted the canvas to these pixels before the frame was composed.
  const std::vector<PixelRect>& changed =
      ChangedCanvasTiles(canvas_.get(), shownTiles_, areas, everything);
  if (strip_) {
    pixelsWritten_ = SendTiles(scale_, canvas_.get(), changed, everything);
  } else {
    SDL_Surface* surface = SDL_GetWindowSurface(window_.get());
    if (surface == nullptr) return;
    pixelsWritten_ = ShowTiles(window_.get(), surface, scale_, canvas_.get(), changed, everything,
                               0, composedIn_ == surface);
  }
  if (everything) PaintDarkMonitors();
  if (!plainCanvas_) return;
  bool othersAnew = everything;
  for (OtherMonitor& other : others_) {
    SDL_Surface* shown = SDL_GetWindowSurface(other.window.get());
    if (shown != nullptr && (shown != other.shown || shown->w != other.scale.WindowWidth() ||
                             shown->h != other.scale.WindowHeight())) {
      // A monitor narrower than the first sees the canvas's middle, its
      // own shape's worth of the walls and never less than the scene.
      const int64_t wanted = shown->h > 0 ? int64_t{canvasH_} * shown->w / shown->h : canvasW_;
      const int width = static_cast<int>(std::clamp<int64_t>(wanted, CanvasX(kSceneWidth) - CanvasX(0), canvasW_));
      other.left = (canvasW_ - width) / 2;
      other.scale.SetSizes(width, canvasH_, shown->w, shown->h);
      other.shown = shown;
      othersAnew = true;
    }
  }
  const std::vector<PixelRect>& tiles =
      ChangedCanvasTiles(plainCanvas_.get(), plainShownTiles_, areas, othersAnew);
  for (OtherMonitor& other : others_) {
    if (SDL_Surface* shown = SDL_GetWindowSurface(other.window.get())) {
      ShowTiles(other.window.get(), shown, other.scale, plainCanvas_.get(), tiles, othersAnew,
                other.left);
    }
  }
}

const std::vector<PixelRect>& SdlTegoDDrw::ChangedCanvasTiles(SDL_Surface* canvas,
                                                              std::vector<uint64_t>& shownTiles,
                                                              const std::vector<PixelRect>& areas,
                                                              bool everything) {
  // The canvas tiles whose pixels changed since they were shown, joined
  // along each row of tiles and then down the rows where they line up. A
  // tile is known by a fingerprint of its pixels, so no copy of the shown
  // canvas is kept; each area is widened to whole tiles, so a tile that two
  // areas share is sent whole the first time and found unchanged after.
  std::vector<PixelRect>& tiles = scratch_.tiles;
  tiles.clear();
  const PixelRect whole{0, 0, canvasW_, canvasH_};
  const auto Differs = [&](const PixelRect& tile) {
    const size_t index = static_cast<size_t>(tile.y / kTile * tileColumns_ + tile.x / kTile);
    uint64_t& shown = shownTiles[index];
    // A tile where the flame's next picture differs changed for certain:
    // it is sent without taking its fingerprint.
    if (!everything && scratch_.sure[index] != 0) {
      shown = kUnknownPrint;
      return true;
    }
    const uint64_t print = TilePrint(canvas, tile);
    if (!everything && print == shown) return false;
    shown = print;
    return true;
  };
  const PixelRect* first = everything ? &whole : areas.data();
  const size_t count = everything ? 1 : areas.size();
  for (const PixelRect& area : std::span(first, count)) {
    const int left = area.x / kTile * kTile;
    const int top = area.y / kTile * kTile;
    const PixelRect widened{left, top, (area.x + area.w + kTile - 1) / kTile * kTile - left,
                            (area.y + area.h + kTile - 1) / kTile * kTile - top};
    ChangedTiles(Intersection(widened, whole), Differs, tiles);
  }
  return tiles;
}

int64_t SdlTegoDDrw::ShowTiles(SDL_Window* window, SDL_Surface* surface, CanvasScale& scale,
                               SDL_Surface* canvas, const std::vector<PixelRect>& tiles,
                               bool everything, int left, bool inPlace) {
  sent_.clear();
  int64_t written = 0;
  const bool direct = SameLayout(surface);
  if (direct) {
    converted_.reset();
  } else if (!converted_ || converted_->w != surface->w || converted_->h != surface->h) {
    converted_.reset(SDL_CreateRGBSurfaceWithFormat(0, surface->w, surface->h, 32,
                                                    SDL_PIXELFORMAT_ARGB8888));
    if (!converted_) return 0;
  }
  SDL_Surface* target = direct ? surface : converted_.get();
  SDL_LockSurface(surface);
  if (everything) {
    // The bars beside the canvas are black.
    if (inPlace) {
      const PixelRect fit = scale.Fit();
      const SDL_Rect bars[] = {{0, 0, surface->w, fit.y},
                               {0, fit.y + fit.h, surface->w, surface->h - fit.y - fit.h},
                               {0, fit.y, fit.x, fit.h},
                               {fit.x + fit.w, fit.y, surface->w - fit.x - fit.w, fit.h}};
      for (const SDL_Rect& bar : bars) {
        if (bar.w > 0 && bar.h > 0) SDL_FillRect(target, &bar, 0xFF000000u);
      }
    } else {
      SDL_FillRect(target, nullptr, 0xFF000000u);
    }
    sent_.push_back({0, 0, surface->w, surface->h});
  }
  // The window shows the canvas from column `left` on.
  const auto* pixels = static_cast<const uint32_t*>(canvas->pixels) + left;
  const int canvasPitch = canvas->pitch / 4;
  for (const PixelRect& canvasTile : tiles) {
    const PixelRect tile = Intersection({canvasTile.x - left, canvasTile.y, canvasTile.w, canvasTile.h},
                                        {0, 0, canvasW_ - 2 * left, canvasH_});
    if (tile.Empty()) continue;
    const PixelRect out = scale.WindowRect(tile);
    if (out.Empty()) continue;
    // A canvas composed in the window's pixels is already there.
    if (!inPlace) {
      scale.Scale(pixels, canvasPitch, static_cast<uint32_t*>(target->pixels), target->pitch / 4,
                  out);
    }
    written += out.Area();
    if (!everything) sent_.push_back(ToSdl(out));
  }
  SDL_UnlockSurface(surface);
  if (!direct) {
    for (const SDL_Rect& rect : sent_) {
      SDL_Rect from = rect;
      SDL_Rect to = rect;
      SDL_BlitSurface(converted_.get(), &from, surface, &to);
    }
  }
  if (everything) written = int64_t{surface->w} * surface->h;
  if (!sent_.empty()) {
    SDL_UpdateWindowSurfaceRects(window, sent_.data(), static_cast<int>(sent_.size()));
  }
  return written;
}

int64_t SdlTegoDDrw::SendTiles(CanvasScale& scale, SDL_Surface* canvas,
                               const std::vector<PixelRect>& tiles, bool everything) {
  int64_t written = 0;
  const auto* pixels = static_cast<const uint32_t*>(canvas->pixels);
  const int canvasPitch = canvas->pitch / 4;
  // A rectangle goes as many rows at a time as the strip holds; the bars are black.
  const auto Send = [&](const PixelRect& rect, bool bar) {
    if (rect.Empty()) return;
    const int rowsAtOnce =
        static_cast<int>(std::max<size_t>(1, strip_->Capacity() / static_cast<size_t>(rect.w)));
    for (int y = rect.y; y < rect.y + rect.h; y += rowsAtOnce) {
      const int rows = std::min(rowsAtOnce, rect.y + rect.h - y);
      uint32_t* room = strip_->Take(rect.w, rows);
      if (room == nullptr) return;
      if (bar) {
        std::fill(room, room + static_cast<size_t>(rect.w) * rows, 0xFF000000u);
      } else {
        scale.Scale(pixels, canvasPitch, room, rect.w, {rect.x, y, rect.w, rows}, rect.x, y);
      }
      strip_->Put(rect.x, y);
    }
    written += rect.Area();
  };
  if (everything) {
    const PixelRect fit = scale.Fit();
    const int w = scale.WindowWidth();
    const int h = scale.WindowHeight();
    Send({0, 0, w, fit.y}, true);
    Send({0, fit.y + fit.h, w, h - fit.y - fit.h}, true);
    Send({0, fit.y, fit.x, fit.h}, true);
    Send({fit.x + fit.w, fit.y, w - fit.x - fit.w, fit.h}, true);
    Send(fit, false);
  } else {
    for (const PixelRect& tile : tiles) Send(scale.WindowRect(tile), false);
  }
  // The strip is written from its start again next frame.
  strip_->Finish();
  return written;
}

void SdlTegoDDrw::ReleasePictures() {
  for (Sprite& s : sprites_) {
    for (Frame& f : s.frames) f.picture.reset();
  }
  texts_.Clear();
  items_.clear();
  shownItems_.clear();
  tileCover_.clear();
  litTiles_.clear();
  pairTiles_.clear();
  canvas_.reset();
  composedIn_ = nullptr;
  composedPixels_ = nullptr;
  converted_.reset();
  scratch_ = {};
  plainCanvas_.reset();
}

void SdlTegoDDrw::CloseDisplay() {
  if (window_) {
    SDL_SetWindowGrab(window_.get(), SDL_FALSE);
    // A host's window is the host's; the blackouts are ours on every monitor.
    if (hostWindow_ == 0) TakeOffScreen(window_.get());
  }
  for (const OtherMonitor& other : others_) TakeOffScreen(other.window.get());
  ReleasePictures();
  strip_.reset();
  window_.reset();
  others_.clear();
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
    ShowFullScreen(window_.get());
    SDL_SetWindowAlwaysOnTop(window_.get(), SDL_TRUE);
    SDL_RaiseWindow(window_.get());
    // The keyboard and the pointer stay with the saver while it shows.
    SDL_SetWindowGrab(window_.get(), SDL_TRUE);
    for (const OtherMonitor& other : others_) SDL_ShowWindow(other.window.get());
    invalid_ = true;
  } else {
    SDL_SetWindowGrab(window_.get(), SDL_FALSE);
    SDL_HideWindow(window_.get());
    for (const OtherMonitor& other : others_) SDL_HideWindow(other.window.get());
  }
}

void SdlTegoDDrw::RaiseFrame() {
  if (events_ != nullptr) events_->FrameReady();
}

std::optional<int64_t> SdlTegoDDrw::NextChangeMs() const {
  if (!open_ || showFps_ || invalid_) return std::nullopt;
  const int64_t now = clock_.MonotonicMs();
  int64_t next = now + 1000 - clock_.Now().millisecond;
  for (const Sprite& s : sprites_) {
    if (s.frames.size() >= 2) next = std::min(next, s.frameShownAtMs + s.speedMs);
  }
  if (wantFrameByMs_ >= 0) next = std::min(next, wantFrameByMs_);
  return next;
}

std::optional<PointerPosition> SdlTegoDDrw::CanvasPosition(PointerPosition screen) const {
  if (!open_) return std::nullopt;
  int left = 0;
  int top = 0;
  SDL_GetWindowPosition(window_.get(), &left, &top);
  const PointerPosition canvas = scale_.ToCanvas({screen.x - left, screen.y - top});
  const auto Scene = [this](int at) {
    return static_cast<int>(std::floor((at + 0.5) / CanvasPerScene()));
  };
  return PointerPosition{Scene(canvas.x) - margin_, Scene(canvas.y)};
}

std::vector<uint32_t> SdlTegoDDrw::ReadCanvas() const {
  std::vector<uint32_t> pixels;
  if (!open_) return pixels;
  pixels.resize(size_t(canvasW_) * canvasH_);
  for (int y = 0; y < canvasH_; ++y) {
    const uint32_t* row = Row(canvas_.get(), y);
    std::copy(row, row + canvasW_, pixels.begin() + static_cast<ptrdiff_t>(y) * canvasW_);
  }
  return pixels;
}

std::vector<uint32_t> SdlTegoDDrw::ReadWindow(int& width, int& height, size_t monitor) const {
  std::vector<uint32_t> pixels;
  width = height = 0;
  if (!open_ || monitor > others_.size()) return pixels;
  if (monitor == 0 && strip_) {
    int w = 0, h = 0;
    if (!WindowSize(w, h)) return pixels;
    pixels.resize(size_t(w) * h);
    if (!strip_->Read(0, 0, w, h, pixels.data())) return {};
    width = w;
    height = h;
    return pixels;
  }
  SDL_Surface* shown =
      SDL_GetWindowSurface(monitor == 0 ? window_.get() : others_[monitor - 1].window.get());
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
