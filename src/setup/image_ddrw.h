#pragma once
// The drawing control on a QImage, for the dialog's live preview: the same
// sprites and texts as the saver's full-screen canvas, composed at the size
// of the pane that shows them. Each picture is read from its file the first
// time it is drawn, made the pane's size once and kept at that size only,
// so a frame only blends small pictures. A frame that draws what the last
// one drew leaves the image as it is.
//
// Load code -1 (scene art) is drawn with the bitmap's alpha channel, or, for
// a bitmap without one, with pure magenta RGB(255, 0, 255) transparent; code
// -2 (notice panels) is drawn opaque; code -3 (light) brightens what is under
// it. The canvas stands in the middle of the image, with black bars beside
// it when the image is wider; a wide canvas takes the image's shape instead,
// from 4:3 to 21:9, and shows up to kWideMargin scene pixels either side.

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "interfaces/tego_ddrw.h"

class QPainter;

namespace emberlrn {

class Clock;

class ImageDDrw final : public TegoDDrw {
 public:
  explicit ImageDDrw(const Clock& clock);

  // The clock the flame is paced by from now on.
  // Another clock's count has nothing to do with the last one's: every
  // sprite's frame is taken as shown from now on the new clock.
  void SetClock(const Clock& clock);
  // The image's size in pixels; the 800 x 600 canvas is scaled into it.
  void SetImageSize(int width, int height);
  const QImage& Image() const { return image_; }
  // Every sprite goes, so that a scene can be made anew; the pictures read
  // so far are kept for it.
  void ForgetSprites();
  // The frame a sprite shows now (0 for no such sprite).
  int SpriteFrame(int32_t sprite) const;
  // When the next flame step, the calendar clock's next second or the frame
  // last asked for by WantFrameBy is due.
  int64_t NextChangeMs() const;
  // Whether the last flip changed the image.
  bool Changed() const { return changed_; }

  bool SetDisplayMode(int, int, int, std::string_view) override { return true; }
  void SetWideCanvas(bool wide) override;
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
  void WantFrameBy(int64_t ms) override { wantFrameByMs_ = ms; }
  void ClearBackBuffer(Colour colour) override;
  void SetTextFont(std::string_view face, int size, int style, bool bold, bool italic,
                   bool underline) override;
  void DrawText(std::string_view text, int x, int y, Colour colour) override;
  int TextWidth(std::string_view text) override;
  void FlipBackBuffer() override;
  void CloseDisplay() override {}
  void SetVisible(bool) override {}

 private:
  struct Picture {
    QImage full;    // premultiplied, as read, until it is scaled
    QImage scaled;  // at the image's scale, made when first drawn at it
    bool read = false;
    bool light = false;
    std::optional<int> brightness;  // known once read
  };
  struct Sprite {
    std::vector<std::string> frames;  // the pictures' keys; frame n at n - 1
    int x = 0;
    int y = 0;
    int frame = 1;
    int speedMs = 1;
    int level = 255;
    int64_t frameShownAtMs = 0;
  };
  // One drawing of a frame, kept until the flip to be compared with the last.
  // A spark is an item without picture or text; its heat is kept in level.
  struct Item {
    Picture* picture = nullptr;  // nothing for a text or a spark
    QString text;
    QFont font;
    Colour colour = 0;
    int x = 0;
    int y = 0;
    int level = 0;
    bool operator==(const Item& other) const {
      return picture == other.picture && text == other.text && font == other.font &&
             colour == other.colour && x == other.x && y == other.y && level == other.level;
    }
  };

  Sprite* Find(int32_t sprite);
  // The canvas's place in the image, for its size and shape.
  void Place();
  Picture& Read(const std::string& key);
  const QImage& Scaled(Picture& picture);
  void Compose();
  void DrawLight(const Item& item);
  void DrawSparkItem(QPainter& painter, const Item& item) const;
  void DrawTextItem(QPainter& painter, const Item& item) const;

  const Clock* clock_;
  QImage image_;
  bool wide_ = false;
  int margin_ = 0;
  double scale_ = 1.0;
  QPointF origin_;  // where the scene's (0, 0) lies in the image
  QRect canvas_;    // the canvas in the image's pixels
  std::optional<int64_t> wantFrameByMs_;
  std::map<std::string, Picture> pictures_;  // by load code and file
  std::set<std::string> reported_;
  std::vector<Sprite> sprites_;  // sprite n at n - 1
  QFont font_;
  Colour clearColour_ = 0;
  std::vector<Item> items_;
  std::vector<Item> shownItems_;
  std::optional<Colour> shownClearColour_;
  bool changed_ = false;
};

}  // namespace emberlrn
