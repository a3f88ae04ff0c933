#pragma once
// The drawing control: a full-screen 800 x 600 canvas with numbered sprites
// made from bitmaps, text, and a back buffer shown once per frame. The saver
// draws everything through it; the SDL version lives in platform/sdl and a
// recording fake in the tests.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "interfaces/types.h"

namespace emberlrn {

// The size the scene is laid out for; every canvas is this size.
inline constexpr int kSceneWidth = 800;
inline constexpr int kSceneHeight = 600;

// Load codes of LoadSpriteFrame.
inline constexpr int kLoadSceneArt = -1;     // drawn with its transparency
inline constexpr int kLoadOpaquePanel = -2;  // the notice panels, drawn opaque
// Light: the picture's colour, weighted by its alpha and the sprite's level,
// brightens what is already drawn under it in proportion to that:
// out = c + c * colour / 255 * alpha / 255 * level / 255.
inline constexpr int kLoadLight = -3;

// How far a wide canvas reaches beside the scene at most, on each side: a
// 21:9 screen shows 1400 x 600 scene pixels.
inline constexpr int kWideMargin = 300;

class TegoDDrw {
 public:
  virtual ~TegoDDrw() = default;

  // Opens the full-screen canvas at that depth. Returns false when the mode
  // cannot be had; the caller reports it. Frame events follow a true.
  virtual bool SetDisplayMode(int width, int height, int bitsPerPixel, std::string_view text) = 0;
  // After a false SetDisplayMode: empty when the depth was refused, else
  // what kept the window from being made or drawn, whatever the depth.
  virtual std::string WindowFault() const { return {}; }

  // The canvas takes the shape of the window, from the scene's 4:3 up to
  // 21:9, and reaches beyond the scene on the left and right, where sprites
  // at negative or large x show; off (the default), the canvas is the scene
  // and a wider window shows black bars. Set before SetDisplayMode.
  virtual void SetWideCanvas(bool) {}
  // How many scene pixels the canvas reaches beyond the scene on each side
  // now; 0 for a canvas of the scene's size.
  virtual int CanvasMargin() const { return 0; }

  // A new empty sprite, valid until the program ends. Never 0.
  virtual int32_t CreateSprite() = 0;
  // The bitmap becomes that frame (from 1). A missing or unreadable file is
  // told on standard error once and leaves the frame empty.
  virtual void LoadSpriteFrame(int32_t sprite, int frame, std::string_view path, int loadCode) = 0;
  virtual void SetSpriteX(int32_t sprite, int x) = 0;
  virtual void SetSpriteY(int32_t sprite, int y) = 0;
  virtual void SetSpriteFrame(int32_t sprite, int frame) = 0;
  // Pace of frame changes; larger is slower.
  virtual void SetSpriteSpeed(int32_t sprite, int speed) = 0;
  virtual bool SpriteFrameDue(int32_t sprite) = 0;
  // The next frame becomes current; the frames keep cycling.
  virtual void NextSpriteFrame(int32_t sprite) = 0;
  // The current frame on the back buffer at the sprite's position.
  virtual void DrawSprite(int32_t sprite) = 0;
  // How much of a light sprite's light falls, from 0 (none) to 255; a light
  // sprite starts at 255. Other sprites ignore it.
  virtual void SetSpriteLevel(int32_t, int) {}
  // The mean brightness of a sprite frame's picture, alpha weighted, from 0
  // to 255; nothing when the control cannot tell (not read yet, no such frame).
  virtual std::optional<int> FrameBrightness(int32_t, int) { return std::nullopt; }
  // A spark: a small glow of added light centred at (x, y) of the scene;
  // heat runs from 255 (white-yellow, brightest) down to 1 (a dim red ember).
  virtual void DrawSpark(int, int, int) {}
  // Something drawn moves on its own (the sparks): a frame is wanted by that
  // time of the monotonic clock even if no sprite's frame is due. Holds for
  // one wait; ask again each frame.
  virtual void WantFrameBy(int64_t) {}

  virtual void ClearBackBuffer(Colour colour) = 0;
  // Font of later DrawText calls: a face name ("Arial"), a size (the font's
  // em height in pixels of the canvas), a style number and three flags (bold,
  // italic, underline). DrawText's x and y are the top-left corner of the text.
  virtual void SetTextFont(std::string_view face, int size, int style, bool bold, bool italic,
                           bool underline) = 0;
  virtual void DrawText(std::string_view text, int x, int y, Colour colour) = 0;
  // How many canvas pixels wide DrawText would draw the text in the current
  // font, everything drawn around the letters included; draws nothing. A
  // control that cannot measure answers 0, and texts stand where they are put.
  virtual int TextWidth(std::string_view) { return 0; }
  // Whether later DrawText calls belong to a notice, whose texts show on the
  // first monitor only, as its panel does; a control with one monitor ignores it.
  virtual void SetNoticeText(bool) {}
  // The composed back buffer becomes visible.
  virtual void FlipBackBuffer() = 0;
  // Full-screen ends; the desktop can show again. Harmless when not open.
  virtual void CloseDisplay() = 0;

  // Hides or shows the control's own window.
  virtual void SetVisible(bool visible) = 0;
};

// The events the drawing control raises; the saver window answers them.
class TegoDDrwEvents {
 public:
  virtual ~TegoDDrwEvents() = default;
  virtual void FrameReady() = 0;
  virtual void KeyDown(int16_t keyCode) = 0;
  virtual void MouseDown() = 0;
  virtual void MouseMove() = 0;
  virtual void Deactivated() = 0;
};

}  // namespace emberlrn
