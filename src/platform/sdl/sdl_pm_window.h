#pragma once
// The power-management warning as a real window: a small SDL window,
// centred and always on top, with its two labels drawn by SDL2_ttf in a sans
// face. It reports the user's keys, pointer and buttons to the warning's
// logic.

#include <SDL.h>
#include <SDL_ttf.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "interfaces/pm_view.h"

namespace emberlrn {

// Where the pointer is on the screen, asked of the window system through
// the display of that window: SDL's own global answer is kept from the last
// movement SDL heard of, so a pointer moved by a program, or over another
// window, would look still. Without a window, SDL's answer.
PointerPosition ScreenPointer(SDL_Window* window);

class SdlPmWindow final : public PmView {
 public:
  SdlPmWindow();
  SdlPmWindow(const SdlPmWindow&) = delete;
  SdlPmWindow& operator=(const SdlPmWindow&) = delete;
  ~SdlPmWindow() override;

  void SetLabel1Text(std::string_view text) override;
  void SetLabel2Text(std::string_view text) override;
  void SetTopMost(bool topMost) override;
  bool Show() override;
  void Unload() override;
  std::optional<PointerPosition> PointerNow() const override;

  // Hands an event of this window to the warning and returns true; returns
  // false for every other event, which the caller handles as before.
  bool HandleEvent(const SDL_Event& event, PmInput& input);

  // The window's id in SDL's events; 0 while it is not on the screen.
  Uint32 WindowId() const;
  // The label texts as drawn, and the pixel size each label's font got so
  // that its text fits its box.
  const std::string& Label1Text() const { return labels_[0].text; }
  const std::string& Label2Text() const { return labels_[1].text; }
  int Label1PixelSize() const { return labels_[0].pixelSize; }
  int Label2PixelSize() const { return labels_[1].pixelSize; }
  // The drawn window read back (for tests); empty when not shown.
  std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> ReadPixels() const;

 private:
  struct Label {
    PmLabelLayout layout;
    std::string text;
    int pixelSize = 0;
    std::unique_ptr<SDL_Texture, void (*)(SDL_Texture*)> texture{nullptr, SDL_DestroyTexture};
    int textureWidth = 0;
    int textureHeight = 0;
    bool dirty = true;
  };

  void SetLabelText(Label& label, std::string_view text);
  // Makes the label's texture at the largest size up to its nominal one
  // whose wrapped text fits the label's box.
  void RenderLabel(Label& label);
  void Redraw();
  std::optional<PointerPosition> ScreenPosition(int windowX, int windowY) const;

  bool topMost_ = false;
  bool videoStarted_ = false;
  bool ttfStarted_ = false;
  std::string regularFontFile_;
  std::string boldFontFile_;
  bool boldFileIsBold_ = false;
  std::unique_ptr<SDL_Window, void (*)(SDL_Window*)> window_{nullptr, SDL_DestroyWindow};
  std::unique_ptr<SDL_Renderer, void (*)(SDL_Renderer*)> renderer_{nullptr, SDL_DestroyRenderer};
  Label labels_[2] = {{kPmLabel1, std::string(kPmLabel1First)},
                      {kPmLabel2, std::string(kPmLabel2First)}};
};

}  // namespace emberlrn
