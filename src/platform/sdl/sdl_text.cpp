#include "platform/sdl/sdl_text.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <iostream>

#include "platform/pixel_blend.h"

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
struct FcCharSetDeleter {
  void operator()(FcCharSet* set) const { FcCharSetDestroy(set); }
};
using CharSet = std::unique_ptr<FcCharSet, FcCharSetDeleter>;
struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// The file of fontconfig's best match for the face, or empty; a match must
// have every character of `needs` when it is given.
std::string MatchFile(std::string_view face, bool bold, bool italic, const FcCharSet* needs) {
  const std::string family(face);
  Pattern pattern(FcPatternCreate());
  if (!pattern) return "";
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  if (needs != nullptr)
    FcPatternAddCharSet(pattern.get(), FC_CHARSET, const_cast<FcCharSet*>(needs));
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
  if (!match) return "";
  if (needs != nullptr) {
    // The best match is only the nearest one: it may still lack some.
    FcCharSet* has = nullptr;
    if (FcPatternGetCharSet(match.get(), FC_CHARSET, 0, &has) != FcResultMatch ||
        FcCharSetSubtractCount(needs, has) != 0) {
      return "";
    }
  }
  FcChar8* file = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || file == nullptr) {
    return "";
  }
  return reinterpret_cast<const char*>(file);
}

// WCAG relative luminance of a colour, 0 for black to 1 for white.
double Luminance(SDL_Color c) {
  const auto Linear = [](uint8_t v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b);
}

// The letters over their halo, the letters `inset` pixels in from the halo's
// top-left corner; the letters alone, and `inset` 0, when there is no halo
// to be had.
Surface Rendered(TTF_Font* letters, TTF_Font* halo, int& inset, const std::string& text,
                 SDL_Color colour) {
  Surface drawn(TTF_RenderUTF8_Blended(letters, text.c_str(), colour));
  Surface around;
  if (drawn && halo != nullptr) {
    around.reset(TTF_RenderUTF8_Blended(halo, text.c_str(), HaloColour(colour)));
  }
  if (!around) {
    inset = 0;
    return drawn;
  }
  SDL_Rect at{inset, inset, drawn->w, drawn->h};
  SDL_SetSurfaceBlendMode(drawn.get(), SDL_BLENDMODE_BLEND);
  SDL_BlitSurface(drawn.get(), nullptr, around.get(), &at);
  return around;
}

}  // namespace

std::string FindFontFile(std::string_view face, bool bold, bool italic) {
  return MatchFile(face, bold, italic, nullptr);
}

std::string FindFontFileWith(std::string_view face, bool bold, bool italic,
                             std::u32string_view characters) {
  CharSet needs(FcCharSetCreate());
  if (!needs) return "";
  for (const char32_t c : characters) FcCharSetAddChar(needs.get(), c);
  return MatchFile(face, bold, italic, needs.get());
}

std::u32string Utf8Characters(std::string_view text) {
  std::u32string characters;
  size_t at = 0;
  while (at < text.size()) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const int length = byte < 0x80           ? 1
                       : (byte >> 5) == 0x6  ? 2
                       : (byte >> 4) == 0xE  ? 3
                       : (byte >> 3) == 0x1E ? 4
                                             : 0;
    if (length == 0 || at + length > text.size()) {
      ++at;
      continue;
    }
    char32_t c = length == 1 ? byte : byte & (0x7F >> length);
    bool whole = true;
    for (int i = 1; i < length; ++i) {
      const auto next = static_cast<unsigned char>(text[at + i]);
      whole = whole && (next & 0xC0) == 0x80;
      c = c << 6 | (next & 0x3F);
    }
    if (whole) characters.push_back(c);
    at += whole ? length : 1;
  }
  return characters;
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

SDL_Color HaloColour(SDL_Color letters) {
  // Contrast with black is (L + 0.05) / 0.05, with white 1.05 / (L + 0.05).
  const double l = Luminance(letters);
  const bool dark = (l + 0.05) / 0.05 >= 1.05 / (l + 0.05);
  return dark ? SDL_Color{0, 0, 0, 0xFF} : SDL_Color{0xFF, 0xFF, 0xFF, 0xFF};
}

TextCache::TextCache() {
  // Counted: every cache starts the library once and stops it once, so one
  // cache going away leaves the others' fonts open.
  ttfStarted_ = TTF_Init() == 0;
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

std::unique_ptr<TextCache::Face> TextCache::Open(const std::string& file, const Font& font) const {
  auto face = std::make_unique<Face>();
  face->file = file;
  if (file.empty() || !ttfStarted_) return face;
  for (FontPtr* opened : {&face->letters, &face->halo}) {
    opened->reset(TTF_OpenFontDPI(file.c_str(), font.points, kDotsPerInch, kDotsPerInch));
    if (!*opened) {
      std::cerr << "emberlrn: cannot open the font " << file << ": " << TTF_GetError() << '\n';
      face->letters.reset();
      face->halo.reset();
      return face;
    }
    // The face found carries the weight and slant; underline is drawn by the library.
    TTF_SetFontStyle(opened->get(), font.underline ? TTF_STYLE_UNDERLINE : TTF_STYLE_NORMAL);
  }
  TTF_SetFontOutline(face->halo.get(), kHaloPixels);
  return face;
}

const TextCache::Face* TextCache::FaceFor(Font& font, std::string_view text) {
  TTF_Font* own = font.main->letters.get();
  if (own == nullptr) return font.main.get();
  std::u32string missing;
  for (const char32_t c : Utf8Characters(text)) {
    if (!TTF_GlyphIsProvided32(own, c) && missing.find(c) == std::u32string::npos) {
      missing.push_back(c);
    }
  }
  if (missing.empty()) return font.main.get();
  for (const Substitute& known : font.substitutes) {
    if (known.missing == missing) return known.face ? known.face : font.main.get();
  }
  // Asked once per set of missing letters: the same date texts come back every second.
  const std::string file = FindFontFileWith(font.face, font.bold, font.italic, missing);
  const Face* chosen = nullptr;
  if (!file.empty()) {
    for (const auto& other : font.others) {
      if (other->file == file) chosen = other.get();
    }
    if (chosen == nullptr) {
      font.others.push_back(Open(file, font));
      chosen = font.others.back().get();
    }
    if (chosen->letters == nullptr) chosen = nullptr;
  }
  font.substitutes.push_back({missing, chosen});
  return chosen ? chosen : font.main.get();
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
  fonts_.push_back({std::string(face), points, bold, italic, underline, nullptr, {}, {}});
  Font& added = fonts_.back();
  added.main = Open(FileFor(added.face, bold, italic), added);
  currentFont_ = fonts_.size() - 1;
}

int TextCache::Width(std::string_view text) {
  if (fonts_.empty()) SetFont("Arial", 12, false, false, false);
  if (text.empty()) return 0;
  for (const Text& known : texts_) {
    if (known.font == currentFont_ && known.text == text && known.surface) return known.width;
  }
  const Face* face = FaceFor(fonts_[currentFont_], text);
  if (face->letters == nullptr) return 0;
  const std::string shown(text);
  int width = 0;
  int height = 0;
  if (TTF_SizeUTF8(face->letters.get(), shown.c_str(), &width, &height) != 0) return 0;
  return width + 2 * kHaloPixels;
}

TextImage TextCache::Get(std::string_view text, SDL_Color colour, int visibleWidth) {
  if (fonts_.empty()) SetFont("Arial", 12, false, false, false);
  const uint32_t packed = Packed(colour);
  for (Text& known : texts_) {
    if (known.font == currentFont_ && known.colour == packed && known.text == text) {
      known.usedThisFrame = true;
      return {known.surface.get(), known.width, known.height, known.halo, known.serial};
    }
  }

  Text made{currentFont_, packed, std::string(text), nullptr};
  made.serial = nextSerial_++;
  const Face* face = FaceFor(fonts_[currentFont_], text);
  TTF_Font* font = face->letters.get();
  if (font != nullptr && !text.empty() && visibleWidth > 0) {
    // A text far wider than the canvas is made only as far as it can show.
    int extent = 0;
    int count = 0;
    std::string shown = made.text;
    if (TTF_MeasureUTF8(font, shown.c_str(), visibleWidth, &extent, &count) == 0) {
      const std::string_view fits = Utf8Prefix(shown, count + 1);
      if (fits.size() < shown.size()) shown.resize(fits.size());
    }
    int halo = kHaloPixels;
    Surface surface = Rendered(font, face->halo.get(), halo, shown, colour);
    if (surface && surface->format->format != SDL_PIXELFORMAT_ARGB8888) {
      surface.reset(SDL_ConvertSurfaceFormat(surface.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    }
    if (surface) {
      // Its colours weighted by its alpha, as the canvas blends pictures.
      SDL_LockSurface(surface.get());
      PremultiplyRows(surface->pixels, surface->w, surface->h, surface->pitch);
      SDL_UnlockSurface(surface.get());
      made.halo = halo;
      made.width = surface->w;
      made.height = surface->h;
      SDL_SetSurfaceBlendMode(surface.get(), SDL_BLENDMODE_BLEND);
      made.surface.reset(surface.release());
    }
  }
  texts_.push_back(std::move(made));
  const Text& added = texts_.back();
  return {added.surface.get(), added.width, added.height, added.halo, added.serial};
}

void TextCache::EndFrame() {
  std::erase_if(texts_, [](const Text& text) { return !text.usedThisFrame; });
  for (Text& text : texts_) text.usedThisFrame = false;
}

void TextCache::Clear() { texts_.clear(); }

}  // namespace emberlrn
