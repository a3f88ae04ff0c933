#pragma once
// Text for the drawing control: faces found through fontconfig ("Arial"
// gives its metric twin Liberation Sans), sizes as the em height in pixels
// of the canvas, and one picture per text, kept for as long as the text is
// drawn in every frame and made again only when it changes.
//
// Every text has a thin halo, dark around light letters and light around
// dark ones, so it reads over any picture. A text with letters the face
// lacks (Japanese weekdays in Liberation Sans) is drawn in a face that
// fontconfig finds for those letters.

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace emberlrn {

// The font file fontconfig offers for a face name, or empty when it has none.
std::string FindFontFile(std::string_view face, bool bold, bool italic);
// The font file fontconfig offers, nearest to that face, that has every one
// of the characters; empty when no font has them all.
std::string FindFontFileWith(std::string_view face, bool bold, bool italic,
                             std::u32string_view characters);

// The characters of a UTF-8 text; a byte that begins no character is skipped.
std::u32string Utf8Characters(std::string_view text);

// The colour of the halo around letters of that colour: black or white,
// whichever differs more in brightness.
SDL_Color HaloColour(SDL_Color letters);

// The part of a UTF-8 text that ends after at most `characters` characters.
std::string_view Utf8Prefix(std::string_view text, int characters);

struct TextImage {
  SDL_Surface* surface = nullptr;  // ARGB8888 with alpha; nothing for an empty text
  int width = 0;                   // the halo included
  int height = 0;
  int halo = 0;         // how far the picture reaches beyond the letters on each side
  uint64_t serial = 0;  // a number no other text made by the cache ever had
};

class TextCache {
 public:
  // Font sizes (pixels of the canvas) are kept within this range.
  static constexpr int kSmallestPoints = 1;
  static constexpr int kLargestPoints = 500;
  // The halo's thickness in pixels of the canvas: a text's picture reaches
  // this far beyond its letters on every side. One pixel keeps the insides
  // of small letters open.
  static constexpr int kHaloPixels = 1;

  TextCache();
  TextCache(const TextCache&) = delete;
  TextCache& operator=(const TextCache&) = delete;
  ~TextCache();

  // The font of later texts.
  void SetFont(std::string_view face, int points, bool bold, bool italic, bool underline);
  // The picture of the text in the current font and colour, made on first
  // use, its colours weighted by its alpha. Only the part that can show on
  // a canvas `visibleWidth` pixels wide is made.
  TextImage Get(std::string_view text, SDL_Color colour, int visibleWidth);
  // The width of the text's picture in the current font, without making it.
  int Width(std::string_view text);
  // A frame has been shown: texts not drawn in it are let go.
  void EndFrame();
  // Every picture goes.
  void Clear();

  size_t CachedTexts() const { return texts_.size(); }

 private:
  struct FontDeleter {
    void operator()(TTF_Font* font) const { TTF_CloseFont(font); }
  };
  struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
  };
  using FontPtr = std::unique_ptr<TTF_Font, FontDeleter>;
  // One font file at one size: the letters, and the same with the halo's outline.
  struct Face {
    std::string file;
    FontPtr letters;  // empty when the file could not be opened
    FontPtr halo;
  };
  // The face that draws a text, with the characters it was chosen for.
  struct Substitute {
    std::u32string missing;
    const Face* face;  // nothing when no font has them
  };
  struct Font {
    std::string face;
    int points;
    bool bold, italic, underline;
    std::unique_ptr<Face> main;
    std::vector<std::unique_ptr<Face>> others;  // faces found for letters the main one lacks
    std::vector<Substitute> substitutes;
  };
  struct Text {
    size_t font;
    uint32_t colour;
    std::string text;
    std::unique_ptr<SDL_Surface, SurfaceDeleter> surface;
    int width = 0;
    int height = 0;
    int halo = 0;
    uint64_t serial = 0;
    bool usedThisFrame = true;
  };
  struct FaceFile {
    std::string face;
    bool bold, italic;
    std::string file;
  };

  const std::string& FileFor(std::string_view face, bool bold, bool italic);
  std::unique_ptr<Face> Open(const std::string& file, const Font& font) const;
  // The face of the font that has every letter of the text: the font's own
  // when it does, else one found for the letters it lacks.
  const Face* FaceFor(Font& font, std::string_view text);

  bool ttfStarted_ = false;
  std::vector<FaceFile> files_;
  std::vector<Font> fonts_;
  size_t currentFont_ = 0;
  std::vector<Text> texts_;
  uint64_t nextSerial_ = 1;
};

}  // namespace emberlrn
