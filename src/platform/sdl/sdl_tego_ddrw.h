#pragma once
// The drawing control on SDL2: a borderless window on each monitor, always
// on top, holding the 800 x 600 canvas scaled up with that monitor's shape
// kept and black bars beside it; no monitor's own mode is ever switched.
// Where the window is no larger than the pictures, the pictures are made
// smaller to its scale once, as they are read, and the canvas is composed
// at the window's own size, so that no frame is scaled.
// The first monitor's window is the saver's own (the keyboard, the notice
// panels); the others show the scene without the panels, or stay dark.
//
// Sprites are pictures made once from the bitmaps. A frame's drawing is
// gathered first and put on the canvas at FlipBackBuffer, but only where it
// differs from the frame on the screen: the drawings that changed mark the
// canvas rectangles to compose again, the canvas tiles whose pixels then
// changed are scaled into the window, and only those are sent to the
// display. A quiet scene costs almost nothing between flame frames and clock
// seconds, and a flame frame costs its own rectangle.
//
// Load code -1 (scene art) is drawn with the bitmap's alpha channel, or, for
// a bitmap without one, with pure magenta RGB(255, 0, 255) transparent; code
// -2 (notice panels) is drawn opaque.

#include <SDL.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <map>
#include <set>
#include <tuple>
#include <utility>
#include <string>
#include <vector>

#include "interfaces/tego_ddrw.h"
#include "platform/canvas_scale.h"
#include "platform/event_loop.h"
#include "platform/motion_filter.h"
#include "platform/pixel_blend.h"
#include "platform/sdl/sdl_text.h"

namespace emberlrn {

class Clock;
namespace x11 {
class ShmStrip;
}

struct SdlSurfaceFree {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SdlSurface = std::unique_ptr<SDL_Surface, SdlSurfaceFree>;

class SdlTegoDDrw final : public TegoDDrw, public FrameSource {
 public:
  // The flame's pace is measured on the clock. SDL's video must be started.
  explicit SdlTegoDDrw(const Clock& clock);
  SdlTegoDDrw(const SdlTegoDDrw&) = delete;
  SdlTegoDDrw& operator=(const SdlTegoDDrw&) = delete;
  ~SdlTegoDDrw() override;

  void SetEvents(TegoDDrwEvents* events) { events_ = events; }
  // Draws into a window another program made (xscreensaver's, a preview
  // pane) instead of a full-screen window of its own: set before
  // SetDisplayMode. The canvas is scaled to that window with its shape kept.
  void SetHostWindow(uint32_t window) { hostWindow_ = window; }
  // The host window changed its size: the next frame is drawn at the new one.
  void HostWindowResized(int width, int height);
  // Every monitor after the first shows the scene too (true), or goes dark:
  // set before SetDisplayMode.
  void SetSceneOnEveryMonitor(bool every) { everyMonitor_ = every; }
  // Monitors came or went: the other monitors' windows are made anew for
  // the monitors there are now, and every window is drawn again.
  void MonitorsChanged();
  // True for the saver's window and for every other monitor's window.
  bool OwnsWindow(Uint32 windowId) const;
  // How many monitors after the first have a window of ours.
  int OtherMonitorWindows() const { return static_cast<int>(others_.size()); }
  // A small frames-per-second figure in the top-left corner.
  void SetShowFps(bool show) { showFps_ = show; }
  // Whether a screen whose scale is at least 1.5 gets the pictures painted
  // at twice the size (their files in the "2x/" folder beside the others).
  void SetDoubledPictures(bool use) { doubledWanted_ = use; }

  bool SetDisplayMode(int width, int height, int bitsPerPixel, std::string_view text) override;
  std::string WindowFault() const override { return windowFault_; }
  void SetWideCanvas(bool wide) override { wide_ = wide; }
  int CanvasMargin() const override { return margin_; }
  int32_t CreateSprite() override;
  void LoadSpriteFrame(int32_t sprite, int frame, std::string_view path, int loadCode) override;
  void SetSpriteX(int32_t sprite, int x) override;
  void SetSpriteY(int32_t sprite, int y) override;
  void SetSpriteFrame(int32_t sprite, int frame) override;
  void SetSpriteSpeed(int32_t sprite, int speed) override;
  bool SpriteFrameDue(int32_t sprite) override;
  void NextSpriteFrame(int32_t sprite) override;
  void DrawSprite(int32_t sprite) override;
  void SetSpriteLevel(int32_t sprite, int level) override;
  std::optional<int> FrameBrightness(int32_t sprite, int frame) override;
  void DrawSpark(int x, int y, int heat) override;
  void WantFrameBy(int64_t monotonicMs) override { wantFrameByMs_ = monotonicMs; }
  void ClearBackBuffer(Colour colour) override;
  void SetTextFont(std::string_view face, int size, int style, bool bold, bool italic,
                   bool underline) override;
  void DrawText(std::string_view text, int x, int y, Colour colour) override;
  int TextWidth(std::string_view text) override;
  void SetNoticeText(bool notice) override { noticeText_ = notice; }
  void FlipBackBuffer() override;
  void CloseDisplay() override;
  // Shown: on top of every other window, with the keyboard and the pointer
  // grabbed for as long as it shows. Hidden: gone from the screen.
  void SetVisible(bool visible) override;

  // FrameSource: frames come while the display is open.
  bool FramesWanted() const override { return open_; }
  void RaiseFrame() override;
  // The next flame step or the calendar clock's next second, whichever
  // comes first; frames at the full pace while the frame figure is shown.
  std::optional<int64_t> NextChangeMs() const override;

  bool IsOpen() const { return open_; }
  SDL_Window* Window() const { return window_.get(); }
  // The window gives up its place above every other window and moves to the
  // top-left corner of the screen, keeping its size.
  void DropTopMost();
  // The next flip draws the frame even when nothing in it changed (the
  // window was uncovered).
  void Invalidate() { invalid_ = true; }
  // Frames put on the screen, and frames left out because nothing changed.
  int64_t FramesDrawn() const { return framesDrawn_; }
  int64_t FramesUnchanged() const { return framesUnchanged_; }
  // True when the window's pixels go to the X server through the shared
  // strip, SDL's copy of the window never made.
  bool SharedStrip() const { return strip_ != nullptr; }
  // The window pixels written by the last frame put on the screen.
  int64_t PixelsWritten() const { return pixelsWritten_; }
  // The sprite pictures held in memory; one not drawn for a while is let go
  // and read again from its file when it is next drawn.
  size_t PicturesHeld() const;
  // Where the canvas stands in the window.
  PixelRect CanvasInWindow() const { return scale_.Fit(); }
  // A screen position in pixels of the canvas, as SDL gives pointer events
  // of the window (the letterbox taken off and the scale undone); nothing
  // while the display is closed.
  std::optional<PointerPosition> CanvasPosition(PointerPosition screen) const;
  // The canvas as last composed, ARGB8888, CanvasWidth() pixels a row (for
  // tests); empty when the display is not open. Its size is the scene's,
  // widened to the window's shape when the canvas is wide, doubled for the
  // doubled pictures, and made smaller to the window's own size where that
  // is smaller.
  std::vector<uint32_t> ReadCanvas() const;
  int CanvasWidth() const { return canvasW_; }
  int CanvasHeight() const { return canvasH_; }
  // Picture pixels per scene pixel: 1, or 2 with the doubled pictures.
  int PictureScale() const { return art_; }
  // Canvas pixels per picture pixel: below 1 where the pictures are made
  // smaller to compose at the window's own size, else 1.
  double PictureZoom() const { return zoom_; }
  // The whole window as last shown, ARGB8888, with its width and height;
  // monitor 0 is the saver's own window, 1 the next monitor's, and so on.
  std::vector<uint32_t> ReadWindow(int& width, int& height, size_t monitor = 0) const;

 private:
  using Surface = SdlSurface;
  // How an item goes onto the canvas.
  enum class Paint : uint8_t {
    kBlend,  // by its alpha
    kCopy,   // opaque, a notice panel
    kLight,  // brightens what is under it
    kAdd,    // added light, a spark
  };
  // A sprite's place in scene pixels.
  struct ScenePoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScenePoint&) const = default;
  };
  struct Frame {
    Surface picture;  // ARGB8888, blended or (a notice panel) copied; light as its weights
    int left = 0;     // where the picture starts in the file's, its clear margins cut off
    int top = 0;
    // Where the picture is read from again after it was let go for lack of use.
    std::string file;
    int loadCode = 0;
    int64_t drawnAtMs = 0;
    int64_t composedAtMs = 0;       // when its pixels last went onto a canvas
    // Once read for a place, its size and how it is put on the canvas stay
    // known after the picture is let go, so that it can be drawn unread.
    std::optional<ScenePoint> readAt;
    int width = 0;
    int height = 0;
    Paint paint = Paint::kBlend;
    int64_t area = 0;               // the file's picture's pixels, before trimming
    std::optional<int> brightness;  // over black, 0..255, once measured
    bool offCanvas = false;         // read, and nothing of it falls on the canvas
    // A light's pixels that are not clear, as runs of columns by row.
    std::vector<std::vector<std::pair<int, int>>> lightRuns;
    // A light all of one colour (0x00RRGGBB), whose picture is then its
    // alpha alone, a byte a pixel.
    std::optional<uint32_t> lightColour;
  };
  struct Sprite {
    std::vector<Frame> frames;  // frame n at n - 1; empty frames draw nothing
    int x = 0;
    int y = 0;
    int frame = 1;
    int speedMs = 0;
    int64_t frameShownAtMs = 0;
    int level = 255;  // a light's strength
  };
  // One drawing of a frame, kept until the flip.
  struct Item {
    SDL_Surface* picture;  // none for a sprite's picture let go, read again when composed
    uint64_t identity;  // what is drawn: a sprite frame or a text, for comparing frames
    SDL_Rect at;
    SDL_Rect placedAt{};  // a sprite's own place, before its clear margins
    bool notice = false;  // a notice's text, shown with the panels only
    Paint paint = Paint::kBlend;
    const Frame* light = nullptr;  // a light's runs
    int level = 255;               // a light's strength
    int32_t sprite = 0;            // a sprite's, and which of its frames
    int frame = 0;
    mutable const uint8_t* cover = nullptr;  // its tile cover, once looked up
    bool operator==(const Item& other) const {
      return identity == other.identity && at.x == other.at.x && at.y == other.at.y &&
             at.w == other.at.w && at.h == other.at.h;
    }
  };

  Sprite* Find(int32_t sprite);
  bool OpenCanvas();
  // Sizes the canvas for a window of that size: the scene's shape or, when
  // wide, the window's, at one or two canvas pixels per scene pixel. True
  // when that changed what was there; the pictures are then read anew.
  bool LayOut(int windowWidth, int windowHeight);
  // The tile grid, the pictures of sparks and the caches for the canvas's size.
  void MakeCanvases();
  void AddFpsFigure();
  // One window on each monitor after the first.
  void OpenOtherMonitors();
  void PaintDarkMonitors();
  // The canvas rectangles where this frame's drawings differ from the shown
  // frame's; the whole canvas when their order changed. Kept in the scratch
  // buffers below until the next frame.
  const std::vector<PixelRect>& Damage() const;
  // How a sprite's picture covers each canvas tile where it stands (partly,
  // solid, clear), by row of tiles then column; made once for each picture
  // and place.
  const std::vector<uint8_t>& TileCover(const Item& item) const;
  // The item's tile cover, looked up once for the frame.
  const uint8_t* CoverOf(const Item& item) const;
  // The canvas tiles a light's pixels fall on where it stands, as runs of
  // tiles; made once for each light and place.
  const std::vector<PixelRect>& LitTiles(const Item& item) const;
  // Composes the area of a canvas from this frame's drawings; the notice
  // panels only when `withPanels`; with `passClear`, the tiles where a
  // blended sprite's picture is clear are passed over.
  void Compose(SDL_Surface* canvas, const PixelRect& area, bool withPanels, bool passClear);
  // A drawing that reaches the area being composed, with its picture's
  // tile cover when it is a blended sprite's.
  struct Drawn {
    size_t item;
    const uint8_t* cover;
  };
  // One band of an area's rows, from the drawings found to reach the area.
  void ComposeBand(SDL_Surface* canvas, const PixelRect& area, const std::vector<Drawn>& drawn);
  // Scales the changed canvas tiles into every window and sends them; all
  // of it when `everything`.
  void Present(const std::vector<PixelRect>& areas, bool everything);
  // The tiles of the areas whose pixels differ from those `shown` holds
  // fingerprints of, which are brought up to date; every tile when
  // `everything`. Kept in the scratch buffers until the next call.
  const std::vector<PixelRect>& ChangedCanvasTiles(SDL_Surface* canvas,
                                                   std::vector<uint64_t>& shown,
                                                   const std::vector<PixelRect>& areas,
                                                   bool everything);
  // Scales the tiles into the window's pixels and sends them; returns the
  // window pixels written. The window shows the canvas from column `left`
  // on; a canvas `inPlace` is composed in the window's pixels already.
  int64_t ShowTiles(SDL_Window* window, SDL_Surface* surface, CanvasScale& scale,
                    SDL_Surface* canvas, const std::vector<PixelRect>& tiles, bool everything,
                    int left = 0, bool inPlace = false);
  // The same for a window whose pixels are sent through the shared strip.
  int64_t SendTiles(CanvasScale& scale, SDL_Surface* canvas, const std::vector<PixelRect>& tiles,
                    bool everything);
  // Before a frame is composed: the canvas fitted to the window's pixels as
  // they are now, and composed in them where it is their size.
  void BindCanvas();
  // The window's size in pixels; false when it has none to draw in.
  bool WindowSize(int& width, int& height) const;
  void ReleasePictures();
  // Reads a frame's picture from its file, prepared and trimmed; false when
  // it cannot be read (told once per file).
  // Standing at `at` (scene pixels), only what falls on the canvas is kept.
  bool ReadPicture(Frame& frame, std::optional<ScenePoint> at = std::nullopt);
  // A sprite frame that can be drawn while its picture is let go: read once
  // for the place it stands, and not a light, whose runs tell its damage.
  static bool DrawnUnread(const Frame& frame, ScenePoint at);
  // The picture of an item about to be composed, read again if it was let
  // go; none when it cannot be had as it was.
  SDL_Surface* PictureFor(Item& item);
  // Lets go of the pictures no frame has drawn for a while: the styles the
  // rotation is not showing, the notice panels once they are gone.
  void ReleaseIdlePictures(int64_t nowMs);
  int64_t idleSweepAtMs_ = 0;

  const Clock& clock_;
  TegoDDrwEvents* events_ = nullptr;
  std::unique_ptr<SDL_Window, void (*)(SDL_Window*)> window_{nullptr, SDL_DestroyWindow};
  Surface canvas_;  // the scene as composed, ARGB8888
  // On X11, a window the canvas is scaled into gets its pixels through a
  // small piece of memory shared with the server, instead of SDL's copy of
  // the whole window.
  std::unique_ptr<x11::ShmStrip> strip_;
  bool stripSized_ = false;  // scale_ fitted to the canvas and the window as they are
  // The window's pixels the canvas is composed in, when it is.
  const SDL_Surface* composedIn_ = nullptr;
  const void* composedPixels_ = nullptr;
  bool wide_ = false;
  bool doubledWanted_ = true;
  int margin_ = 0;  // scene pixels beyond the scene on each side
  int art_ = 1;     // picture pixels per scene pixel
  double zoom_ = 1.0;  // canvas pixels per picture pixel
  double CanvasPerScene() const { return art_ * zoom_; }
  // The canvas column and row where a scene column and row start.
  int CanvasX(int x) const { return ZoomedEdge((x + margin_) * art_, zoom_); }
  int CanvasY(int y) const { return ZoomedEdge(y * art_, zoom_); }
  int canvasW_ = kSceneWidth;
  int canvasH_ = kSceneHeight;
  int tileColumns_ = 0;
  int tileRows_ = 0;
  int64_t wantFrameByMs_ = -1;
  bool doubledMissingTold_ = false;
  bool picturesRead_ = false;  // since the last frame was put on the screen
  // A spark's glow by heat, in steps, drawn at the canvas's scale.
  std::vector<Surface> sparkPictures_;
  std::vector<uint64_t> shownTiles_;  // a fingerprint of each canvas tile as the window shows it
  CanvasScale scale_;
  const SDL_Surface* shownSurface_ = nullptr;  // the window's pixels last drawn into
  bool open_ = false;
  std::string windowFault_;  // why the last SetDisplayMode said false, if the window was the cause
  bool visible_ = true;
  bool invalid_ = true;
  std::vector<Sprite> sprites_;  // sprite n at n - 1
  std::set<std::string> reported_;
  TextCache texts_;
  Colour clearColour_ = 0;
  Colour shownClearColour_ = -1;
  std::vector<Item> items_;
  std::vector<Item> shownItems_;
  // The last light of one colour composed, with its gains at its strength.
  LightOfOneColour oneColour_;
  int64_t framesDrawn_ = 0;
  int64_t framesUnchanged_ = 0;
  int64_t pixelsWritten_ = 0;
  std::vector<SDL_Rect> sent_;  // the window rectangles of one frame
  // Working space of one frame, kept so that frames allocate nothing.
  struct Scratch {
    std::vector<bool> matchedNew, matchedShown;
    std::vector<const uint8_t*> inFront;
    std::vector<PixelRect> changed, areas, tiles;
    std::vector<Drawn> drawn;  // the drawings reaching the area being composed
    std::vector<std::pair<int, int>> shownRuns;  // a picture's columns not clear in a row of tiles
    std::vector<uint8_t> marked;  // by canvas tile: changed this frame
    std::vector<uint8_t> sure;    // by canvas tile: a picture in it changed for certain
  };
  mutable Scratch scratch_;
  Surface converted_;  // the window's picture in the canvas's layout, when the window's differs
  mutable std::map<std::tuple<const SDL_Surface*, int, int>, std::vector<uint8_t>> tileCover_;
  mutable std::map<std::tuple<const SDL_Surface*, int, int>, std::vector<PixelRect>> litTiles_;
  // For a picture followed by another at the same place (the flame's frames
  // in turn), with the solid tiles of the pictures in front of them, the runs
  // of canvas tiles the two differ in where nothing in front hides them. The
  // flame's round repeats, so each pair is compared once.
  using PicturePair =
      std::tuple<const SDL_Surface*, int, int, const SDL_Surface*, int, int, uint64_t>;
  struct PairChange {
    bool known = false;
    std::vector<const uint8_t*> front;  // the solid tiles in front it was worked out with
    std::vector<PixelRect> runs;
  };
  mutable std::map<PicturePair, PairChange> pairTiles_;
  uint32_t hostWindow_ = 0;
  // A window on every monitor but the first, with its own fit of the canvas.
  struct OtherMonitor {
    std::unique_ptr<SDL_Window, void (*)(SDL_Window*)> window{nullptr, SDL_DestroyWindow};
    CanvasScale scale;
    int left = 0;                        // the first canvas column it shows
    const SDL_Surface* shown = nullptr;  // the window's pixels the scale was set for
  };
  std::vector<OtherMonitor> others_;
  bool everyMonitor_ = true;
  Surface plainCanvas_;  // the scene without the notice panels, for the other monitors
  bool noticeText_ = false;  // later texts belong to a notice
  std::vector<uint64_t> plainShownTiles_;
  bool showFps_ = false;
  int64_t fpsSinceMs_ = 0;
  int fpsFrames_ = 0;
  std::string fpsText_;
};

}  // namespace emberlrn
