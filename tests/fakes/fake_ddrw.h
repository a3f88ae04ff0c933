#pragma once
// A drawing control for tests: every call is recorded as one line of text
// ("DrawSprite(12)", "SetTextFont(Arial,46,30,0,0,0)", "DrawText(8,14,36,255)"),
// so that a test can assert exact sequences; it also keeps each sprite's
// frames and position. It measures a text as half the font size for every
// character, and a measurement is not recorded. It raises FrameReady like the real control while
// the display is open, so the event loop can drive it.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/event_loop.h"
#include "interfaces/tego_ddrw.h"

namespace emberlrn {

class FakeDDrw final : public TegoDDrw, public FrameSource {
 public:
  struct Sprite {
    std::vector<std::string> frames;  // index 0 is frame 1
    std::vector<int> loadCodes;
    int x = 0;
    int y = 0;
    bool placedX = false;
    bool placedY = false;
    int frame = 1;
    int speed = 0;
  };

  // --- answers set by the test ---
  // SetDisplayMode's answer per bits per pixel; depths not listed succeed.
  std::map<int, bool> modeAnswers;
  // WindowFault's answer after a refused mode: empty for a refused depth.
  std::string windowFault;
  bool frameDue = false;
  // The width of one character in TextWidth, as a share of the font size.
  double characterWidth = 0.5;
  // CanvasMargin's answer once SetWideCanvas(true) was called.
  int wideMargin = 0;
  // FrameBrightness's answer for every frame; nothing when unset.
  std::optional<int> brightness;
  // Off: nothing is logged (for runs of many hours); the frame counters go on.
  bool recording = true;
  // Called with every call as it is made, for tests that look at the rest of
  // the program at that moment.
  std::function<void(const std::string&)> onCall;

  // --- record ---
  std::vector<std::string> calls;
  // When set, every call goes to this log shared with other fakes as well.
  std::vector<std::string>* sharedLog = nullptr;
  // The calls from the last ClearBackBuffer up to and including the last
  // FlipBackBuffer: one whole frame.
  std::vector<std::string> lastFrame;
  std::map<int32_t, Sprite> sprites;
  bool open = false;
  bool visible = true;
  bool wide = false;
  int flips = 0;
  TegoDDrwEvents* events = nullptr;

  bool SetDisplayMode(int width, int height, int bitsPerPixel, std::string_view text) override {
    Log("SetDisplayMode(" + std::to_string(width) + "," + std::to_string(height) + "," +
        std::to_string(bitsPerPixel) + "," + std::string(text) + ")");
    auto answer = modeAnswers.find(bitsPerPixel);
    const bool ok = answer == modeAnswers.end() || answer->second;
    if (ok) open = true;
    return ok;
  }
  std::string WindowFault() const override { return windowFault; }
  int32_t CreateSprite() override {
    const int32_t sprite = static_cast<int32_t>(sprites.size()) + 1;
    sprites[sprite];
    Log("CreateSprite()=" + std::to_string(sprite));
    return sprite;
  }
  void LoadSpriteFrame(int32_t sprite, int frame, std::string_view path, int loadCode) override {
    Log("LoadSpriteFrame(" + std::to_string(sprite) + "," + std::to_string(frame) + "," +
        std::string(path) + "," + std::to_string(loadCode) + ")");
    Sprite& s = sprites[sprite];
    if (static_cast<int>(s.frames.size()) < frame) {
      s.frames.resize(frame);
      s.loadCodes.resize(frame);
    }
    s.frames[frame - 1] = std::string(path);
    s.loadCodes[frame - 1] = loadCode;
  }
  void SetSpriteX(int32_t sprite, int x) override {
    Log("SetSpriteX(" + std::to_string(sprite) + "," + std::to_string(x) + ")");
    sprites[sprite].x = x;
    sprites[sprite].placedX = true;
  }
  void SetSpriteY(int32_t sprite, int y) override {
    Log("SetSpriteY(" + std::to_string(sprite) + "," + std::to_string(y) + ")");
    sprites[sprite].y = y;
    sprites[sprite].placedY = true;
  }
  void SetSpriteFrame(int32_t sprite, int frame) override {
    Log("SetSpriteFrame(" + std::to_string(sprite) + "," + std::to_string(frame) + ")");
    sprites[sprite].frame = frame;
  }
  void SetSpriteSpeed(int32_t sprite, int speed) override {
    Log("SetSpriteSpeed(" + std::to_string(sprite) + "," + std::to_string(speed) + ")");
    sprites[sprite].speed = speed;
  }
  bool SpriteFrameDue(int32_t sprite) override {
    Log("SpriteFrameDue(" + std::to_string(sprite) + ")");
    return frameDue;
  }
  void NextSpriteFrame(int32_t sprite) override {
    Log("NextSpriteFrame(" + std::to_string(sprite) + ")");
    Sprite& s = sprites[sprite];
    const int count = static_cast<int>(s.frames.size());
    s.frame = count > 0 ? s.frame % count + 1 : 1;
  }
  void DrawSprite(int32_t sprite) override { Log("DrawSprite(" + std::to_string(sprite) + ")"); }
  void SetWideCanvas(bool on) override {
    Log(on ? "SetWideCanvas(true)" : "SetWideCanvas(false)");
    wide = on;
  }
  int CanvasMargin() const override { return wide ? wideMargin : 0; }
  void SetSpriteLevel(int32_t sprite, int level) override {
    Log("SetSpriteLevel(" + std::to_string(sprite) + "," + std::to_string(level) + ")");
  }
  std::optional<int> FrameBrightness(int32_t, int) override { return brightness; }
  void DrawSpark(int x, int y, int heat) override {
    Log("DrawSpark(" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(heat) + ")");
  }
  void WantFrameBy(int64_t ms) override { Log("WantFrameBy(" + std::to_string(ms) + ")"); }
  void ClearBackBuffer(Colour colour) override {
    if (recording) frame_.clear();
    Log("ClearBackBuffer(" + std::to_string(colour) + ")");
  }
  void SetTextFont(std::string_view face, int size, int style, bool bold, bool italic,
                   bool underline) override {
    fontSize_ = size;
    Log("SetTextFont(" + std::string(face) + "," + std::to_string(size) + "," +
        std::to_string(style) + "," + std::to_string(bold) + "," + std::to_string(italic) + "," +
        std::to_string(underline) + ")");
  }
  void DrawText(std::string_view text, int x, int y, Colour colour) override {
    Log("DrawText(" + std::string(text) + "," + std::to_string(x) + "," + std::to_string(y) + "," +
        std::to_string(colour) + ")");
  }
  int TextWidth(std::string_view text) override {
    int characters = 0;
    for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return static_cast<int>(characters * fontSize_ * characterWidth);
  }
  void FlipBackBuffer() override {
    ++flips;
    Log("FlipBackBuffer");
    if (recording) lastFrame = frame_;
  }
  void CloseDisplay() override {
    Log("CloseDisplay");
    open = false;
  }
  void SetVisible(bool shown) override {
    Log(shown ? "SetVisible(true)" : "SetVisible(false)");
    visible = shown;
  }

  // FrameSource: frames come while the display is open.
  bool FramesWanted() const override { return open; }
  void RaiseFrame() override {
    if (events) events->FrameReady();
  }

  // The number of calls that start with the text.
  int Count(std::string_view prefix) const {
    int n = 0;
    for (const std::string& call : calls) {
      if (call.rfind(prefix, 0) == 0) ++n;
    }
    return n;
  }

 private:
  void Log(std::string call) {
    if (onCall) onCall(call);
    if (!recording) return;
    if (sharedLog) sharedLog->push_back(call);
    frame_.push_back(call);
    calls.push_back(std::move(call));
  }

  std::vector<std::string> frame_;
  int fontSize_ = 0;
};

}  // namespace emberlrn
