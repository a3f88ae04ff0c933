#include "platform/sdl/sdl_text.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <iostream>

namespace emberlrn {
namespace {

// A text size is the height of the font's em in pixels of the 800 x 600
// canvas (points at 72 dots per inch): the scene's text places, lines 12 to
// 15 pixels apart and a calendar plate 85 pixels tall, are laid out for it.
constexpr int kDotsPerInch = 72;

uint32_t Packed(SDL_Color c) {
  return uint32_t{c.r} | uint32_t{c.g} << 8 | uint32_t{c.b} << 16 | uint32_t{c.a} << 24;
}

struct FcPatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, FcPatternDeleter>;

}  // namespace

std::string FindFontFile(std::string_view face, bool bold, bool italic) {
  const std::string family(face);
  Pattern pattern(FcPatternCreate());
  if (!pattern) return "";
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
  if (!match) return "";
  FcChar8* file = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || file == nullptr) {
    return "";
  }
  return reinterpret_cast<const char*>(file);
}

std::string_view Utf8Prefix(std::string_view text, int characters) {
  size_t at = 0;
  for (int n = 0; n < characters && at < text.size(); ++n) {
    ++at;
    // Continuation bytes belong to the character just begun.
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  return text.substr(0, at);
}

TextCache::TextCache() {
  ttfStarted_ = TTF_WasInit() > 0 || TTF_Init() == 0;
  if (!ttfStarted_) std::cerr << "emberlrn: text cannot be drawn: " << TTF_GetError() << '\n';
}

TextCache::~TextCache() {
  Clear();
  fonts_.clear();
  if (ttfStarted_) TTF_Quit();
}

const std::string& TextCache::FileFor(std::string_view face, bool bold, bool italic) {
  for (const FaceFile& known : files_) {
    if (known.face == face && known.bold == bold && known.italic == italic) return known.file;
  }
  files_.push_back({std::string(face), bold, italic, FindFontFile(face, bold, italic)});
  if (files_.back().file.empty()) {
    std::cerr << "emberlrn: no font found for \"" << face << "\"; its texts are not drawn\n";
  }
  return files_.back().file;
}

TTF_Font* TextCache::Open(Font& font) {
  const std::string& file = FileFor(font.face, font.bold, font.italic);
  if (file.empty() || !ttfStarted_) return nullptr;
  TTF_Font* opened = TTF_OpenFontDPI(file.c_str(), font.points, kDotsPerInch, kDotsPerInch);
  if (opened == nullptr) {
    std::cerr << "emberlrn: cannot open the font " << file << ": " << TTF_GetError() << '\n';
    return nullptr;
  }
  // The face found carries the weight and slant; underline is drawn by the library.
  TTF_SetFontStyle(opened, font.underline ? TTF_STYLE_UNDERLINE : TTF_STYLE_NORMAL);
  return opened;
}

void TextCache::SetFont(std::string_view face, int points, bool bold, bool italic, bool underline) {
  points = std::clamp(points, kSmallestPoints, kLargestPoints);
  for (size_t i = 0; i < fonts_.size(); ++i) {
    const Font& f = fonts_[i];
    if (f.points == points && f.bold == bold && f.italic == italic && f.underline == underline &&
        f.face == face) {
      currentFont_ = i;
      return;
    }
  }
  fonts_.push_back({std::string(face), points, bold, italic, underline, nullptr});
  fonts_.back().font.reset(Open(fonts_.back()));
  currentFont_ = fonts_.size() - 1;
}

TextTexture TextCache::Get(SDL_Renderer* renderer, std::string_view text, SDL_Color colour,
                           int visibleWidth) {
  if (fonts_.empty()) SetFont("Arial", 12, false, false, false);
  const uint32_t packed = Packed(colour);
  for (Text& known : texts_) {
    if (known.font == currentFont_ && known.colour == packed && known.text == text) {
      known.usedThisFrame = true;
      return {known.texture.get(), known.width, known.height, known.serial};
    }
  }

  Text made{currentFont_, packed, std::string(text), nullptr};
  made.serial = nextSerial_++;
  TTF_Font* font = fonts_[currentFont_].font.get();
  if (font != nullptr && !text.empty() && visibleWidth > 0 && renderer != nullptr) {
    // A text far wider than the canvas is made only as far as it can show.
    int extent = 0;
    int count = 0;
    std::string shown = made.text;
    if (TTF_MeasureUTF8(font, shown.c_str(), visibleWidth, &extent, &count) == 0) {
      const std::string_view fits = Utf8Prefix(shown, count + 1);
      if (fits.size() < shown.size()) shown.resize(fits.size());
    }
    SDL_Surface* surface = TTF_RenderUTF8_Blended(font, shown.c_str(), colour);
    if (surface != nullptr) {
      made.texture.reset(SDL_CreateTextureFromSurface(renderer, surface));
      made.width = surface->w;
      made.height = surface->h;
      SDL_FreeSurface(surface);
      if (made.texture) SDL_SetTextureBlendMode(made.texture.get(), SDL_BLENDMODE_BLEND);
    }
  }
  texts_.push_back(std::move(made));
  const Text& added = texts_.back();
  return {added.texture.get(), added.width, added.height, added.serial};
}

void TextCache::EndFrame() {
  std::erase_if(texts_, [](const Text& text) { return !text.usedThisFrame; });
  for (Text& text : texts_) text.usedThisFrame = false;
}

void TextCache::Clear() { texts_.clear(); }

}  // namespace emberlrn
