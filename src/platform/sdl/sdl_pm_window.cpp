#include "platform/sdl/sdl_pm_window.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <iostream>

#include "platform/sdl/sdl_keys.h"

namespace emberlrn {

namespace {

// The classic dialog face colour, and black text on it.
constexpr SDL_Color kFaceColour{212, 208, 200, 255};
constexpr SDL_Color kTextColour{0, 0, 0, 255};
constexpr double kPointsPerInch = 72.0;
constexpr double kDotsPerInch = 96.0;
constexpr int kSmallestPixelSize = 8;

struct FontFile {
  std::string path;
  bool bold = false;
};

// Fontconfig's configuration, loaded for the one look-up and freed after it,
// so the warning leaves no font state of its own behind.
using FontConfig = std::unique_ptr<FcConfig, void (*)(FcConfig*)>;

FontConfig LoadFontConfig() { return FontConfig{FcInitLoadConfigAndFonts(), FcConfigDestroy}; }

// The file of the sans face that stands in for the classic dialog face, in
// its bold or regular weight.
std::optional<FontFile> FindSansFont(FcConfig* config, bool bold) {
  if (!config) return std::nullopt;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return std::nullopt;
  const std::string classicFace(kPmFontFace);
  for (const char* family : {classicFace.c_str(), "Liberation Sans", "DejaVu Sans", "sans-serif"}) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  }
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return std::nullopt;
  std::optional<FontFile> found;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
    int weight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    found = FontFile{reinterpret_cast<const char*>(file), weight >= FC_WEIGHT_BOLD};
  }
  FcPatternDestroy(match);
  return found;
}

int NominalPixelSize(double points) {
  return static_cast<int>(std::lround(points * kDotsPerInch / kPointsPerInch));
}

}  // namespace

PointerPosition ScreenPointer(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
    Display* display = info.info.x11.display;
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int buttons = 0;
    if (XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY,
                      &windowX, &windowY, &buttons)) {
      return PointerPosition{rootX, rootY};
    }
  }
  int x = 0;
  int y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  return PointerPosition{x, y};
}

SdlPmWindow::SdlPmWindow() = default;

SdlPmWindow::~SdlPmWindow() { Unload(); }

void SdlPmWindow::SetLabel1Text(std::string_view text) { SetLabelText(labels_[0], text); }

void SdlPmWindow::SetLabel2Text(std::string_view text) { SetLabelText(labels_[1], text); }

void SdlPmWindow::SetLabelText(Label& label, std::string_view text) {
  if (label.text == text) return;
  label.text = std::string(text);
  label.dirty = true;
  if (window_) Redraw();
}

void SdlPmWindow::SetTopMost(bool topMost) {
  topMost_ = topMost;
  if (window_) SDL_SetWindowAlwaysOnTop(window_.get(), topMost ? SDL_TRUE : SDL_FALSE);
}

bool SdlPmWindow::Show() {
  if (window_) return true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::cerr << "emberlrn: cannot show the power-management warning: " << SDL_GetError() << '\n';
    return false;
  }
  videoStarted_ = true;
  if (TTF_Init() != 0) {
    std::cerr << "emberlrn: cannot draw the power-management warning's text: " << TTF_GetError()
              << '\n';
  } else {
    ttfStarted_ = true;
  }

  const std::string caption(kPmCaption);
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (topMost_) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  window_.reset(SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                 kPmClientWidth, kPmClientHeight, flags));
  if (!window_) {
    std::cerr << "emberlrn: cannot show the power-management warning: " << SDL_GetError() << '\n';
    Unload();
    return false;
  }
  renderer_.reset(SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_SOFTWARE));
  if (!renderer_) {
    std::cerr << "emberlrn: cannot draw the power-management warning: " << SDL_GetError() << '\n';
    Unload();
    return false;
  }

  if (ttfStarted_) {
    const FontConfig fonts = LoadFontConfig();
    if (const auto regular = FindSansFont(fonts.get(), false)) regularFontFile_ = regular->path;
    if (const auto bold = FindSansFont(fonts.get(), true)) {
      boldFontFile_ = bold->path;
      boldFileIsBold_ = bold->bold;
    }
    if (regularFontFile_.empty() && boldFontFile_.empty()) {
      std::cerr << "emberlrn: no sans font found for the power-management warning\n";
    }
  }
  for (Label& label : labels_) label.dirty = true;

  SDL_ShowWindow(window_.get());
  SDL_RaiseWindow(window_.get());
  // The keys typed next belong to the warning, with or without a window
  // manager to hand it the focus.
  SDL_SetWindowInputFocus(window_.get());
  Redraw();
  return true;
}

void SdlPmWindow::Unload() {
  for (Label& label : labels_) label.texture.reset();
  renderer_.reset();
  window_.reset();
  if (ttfStarted_) {
    TTF_Quit();
    ttfStarted_ = false;
  }
  if (videoStarted_) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoStarted_ = false;
  }
}

std::optional<PointerPosition> SdlPmWindow::PointerNow() const {
  if (!window_) return std::nullopt;
  return ScreenPointer(window_.get());
}

std::optional<PointerPosition> SdlPmWindow::ScreenPosition(int windowX, int windowY) const {
  if (!window_) return std::nullopt;
  int left = 0;
  int top = 0;
  SDL_GetWindowPosition(window_.get(), &left, &top);
  return PointerPosition{left + windowX, top + windowY};
}

Uint32 SdlPmWindow::WindowId() const { return window_ ? SDL_GetWindowID(window_.get()) : 0; }

bool SdlPmWindow::HandleEvent(const SDL_Event& event, PmInput& input) {
  const Uint32 id = WindowId();
  if (id == 0) return false;
  switch (event.type) {
    case SDL_KEYDOWN:
      if (event.key.windowID != id) return false;
      if (KeyMakesCharacter(event.key.keysym)) input.KeyTyped();
      return true;
    case SDL_KEYUP:
      return event.key.windowID == id;
    case SDL_TEXTINPUT:
      return event.text.windowID == id;
    case SDL_TEXTEDITING:
      return event.edit.windowID == id;
    case SDL_MOUSEMOTION:
      if (event.motion.windowID != id) return false;
      if (const auto where = ScreenPosition(event.motion.x, event.motion.y)) {
        input.PointerMoved(*where);
      }
      return true;
    case SDL_MOUSEBUTTONDOWN:
      return event.button.windowID == id;
    case SDL_MOUSEBUTTONUP:
      if (event.button.windowID != id) return false;
      input.ButtonReleased();
      return true;
    case SDL_MOUSEWHEEL:
      return event.wheel.windowID == id;
    case SDL_WINDOWEVENT:
      if (event.window.windowID != id) return false;
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        input.CloseRequested();
      } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                 event.window.event == SDL_WINDOWEVENT_SHOWN ||
                 event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        Redraw();
      }
      return true;
    default:
      return false;
  }
}

void SdlPmWindow::RenderLabel(Label& label) {
  label.dirty = false;
  label.texture.reset();
  label.textureWidth = 0;
  label.textureHeight = 0;
  const std::string& file = label.layout.bold ? boldFontFile_ : regularFontFile_;
  const std::string& path = file.empty() ? (regularFontFile_.empty() ? boldFontFile_
                                                                     : regularFontFile_)
                                         : file;
  if (!ttfStarted_ || path.empty() || label.text.empty()) return;

  // The stand-in face may be wider than the classic one: the text shrinks
  // until it fits its box rather than run into the next label.
  std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> surface{nullptr, SDL_FreeSurface};
  for (int size = NominalPixelSize(label.layout.points); size >= kSmallestPixelSize; --size) {
    std::unique_ptr<TTF_Font, void (*)(TTF_Font*)> font{TTF_OpenFont(path.c_str(), size),
                                                       TTF_CloseFont};
    if (!font) {
      std::cerr << "emberlrn: cannot open the font " << path << ": " << TTF_GetError() << '\n';
      return;
    }
    if (label.layout.bold && !(path == boldFontFile_ && boldFileIsBold_)) {
      TTF_SetFontStyle(font.get(), TTF_STYLE_BOLD);
    }
    surface.reset(TTF_RenderUTF8_Blended_Wrapped(font.get(), label.text.c_str(), kTextColour,
                                                 static_cast<Uint32>(label.layout.width)));
    label.pixelSize = size;
    if (!surface || (surface->w <= label.layout.width && surface->h <= label.layout.height)) {
      break;
    }
  }
  if (!surface) return;
  label.texture.reset(SDL_CreateTextureFromSurface(renderer_.get(), surface.get()));
  label.textureWidth = std::min(surface->w, label.layout.width);
  label.textureHeight = std::min(surface->h, label.layout.height);
}

void SdlPmWindow::Redraw() {
  if (!renderer_) return;
  SDL_SetRenderDrawColor(renderer_.get(), kFaceColour.r, kFaceColour.g, kFaceColour.b,
                         kFaceColour.a);
  SDL_RenderClear(renderer_.get());
  for (Label& label : labels_) {
    if (label.dirty) RenderLabel(label);
    if (!label.texture) continue;
    const SDL_Rect source{0, 0, label.textureWidth, label.textureHeight};
    const SDL_Rect target{label.layout.x, label.layout.y, label.textureWidth,
                          label.textureHeight};
    SDL_RenderCopy(renderer_.get(), label.texture.get(), &source, &target);
  }
  SDL_RenderPresent(renderer_.get());
}

std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> SdlPmWindow::ReadPixels() const {
  std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)> pixels{nullptr, SDL_FreeSurface};
  if (!renderer_) return pixels;
  pixels.reset(SDL_CreateRGBSurfaceWithFormat(0, kPmClientWidth, kPmClientHeight, 32,
                                              SDL_PIXELFORMAT_ARGB8888));
  if (!pixels) return pixels;
  if (SDL_RenderReadPixels(renderer_.get(), nullptr, SDL_PIXELFORMAT_ARGB8888, pixels->pixels,
                           pixels->pitch) != 0) {
    pixels.reset();
  }
  return pixels;
}

}  // namespace emberlrn
