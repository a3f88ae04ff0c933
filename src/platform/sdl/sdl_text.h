#pragma once
// Text for the drawing control: faces found through fontconfig ("Arial"
// gives its metric twin Liberation Sans), sizes as the em height in pixels
// of the canvas, and one texture per text, kept for as long as the text is
// drawn in every frame and made again only when it changes.

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

// The part of a UTF-8 text that ends after at most `characters` characters.
std::string_view Utf8Prefix(std::string_view text, int characters);

struct TextTexture {
  SDL_Texture* texture = nullptr;  // nothing for an empty text
  int width = 0;
  int height = 0;
  uint64_t serial = 0;  // a number no other text made by the cache ever had
};

class TextCache {
 public:
  // Font sizes (pixels of the canvas) are kept within this range.
  static constexpr int kSmallestPoints = 1;
  static constexpr int kLargestPoints = 500;

  TextCache();
  TextCache(const TextCache&) = delete;
  TextCache& operator=(const TextCache&) = delete;
  ~TextCache();

  // The font of later texts.
  void SetFont(std::string_view face, int points, bool bold, bool italic, bool underline);
  // The texture of the text in the current font and colour, made on first
  // use. Only the part that can show on a canvas `visibleWidth` pixels wide
  // is made.
  TextTexture Get(SDL_Renderer* renderer, std::string_view text, SDL_Color colour,
                  int visibleWidth);
  // A frame has been shown: texts not drawn in it are let go.
  void EndFrame();
  // Every texture goes (the renderer is about to go).
  void Clear();

  size_t CachedTexts() const { return texts_.size(); }

 private:
  struct FontDeleter {
    void operator()(TTF_Font* font) const { TTF_CloseFont(font); }
  };
  struct TextureDeleter {
    void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
  };
  struct Font {
    std::string face;
    int points;
    bool bold, italic, underline;
    std::unique_ptr<TTF_Font, FontDeleter> font;  // empty when no file could be opened
  };
  struct Text {
    size_t font;
    uint32_t colour;
    std::string text;
    std::unique_ptr<SDL_Texture, TextureDeleter> texture;
    int width = 0;
    int height = 0;
    uint64_t serial = 0;
    bool usedThisFrame = true;
  };
  struct FaceFile {
    std::string face;
    bool bold, italic;
    std::string file;
  };

  const std::string& FileFor(std::string_view face, bool bold, bool italic);
  TTF_Font* Open(Font& font);

  bool ttfStarted_ = false;
  std::vector<FaceFile> files_;
  std::vector<Font> fonts_;
  size_t currentFont_ = 0;
  std::vector<Text> texts_;
  uint64_t nextSerial_ = 1;
};

}  // namespace emberlrn
