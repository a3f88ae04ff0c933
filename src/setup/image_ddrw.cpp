#include "setup/image_ddrw.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>

#include "interfaces/clock.h"
#include "setup/qt_text.h"

namespace emberlrn {
namespace {

constexpr QRgb kClearKey = 0xFFFF00FFu;

QColor ToQColor(Colour colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// Black around light letters and white around dark ones, so a text reads
// over any picture.
QColor HaloFor(const QColor& letters) {
  return letters.lightness() > 127 ? QColor(Qt::black) : QColor(Qt::white);
}

// The widest canvas a wide screen gets, 21:9: the scene and its margins.
constexpr double kWidestShape = double(kSceneWidth + 2 * kWideMargin) / kSceneHeight;
// A spark's glow reaches this many scene pixels from its centre, and at
// least this many pixels of the image, so that a small pane still shows it.
constexpr double kSparkRadius = 2.5;
constexpr double kSparkLeastRadius = 1.5;

// A spark's colour, by heat: white-yellow when hottest, through orange, down
// to a dim red, darker as it cools.
struct HeatStop {
  int heat;
  int red, green, blue;
};
constexpr std::array<HeatStop, 4> kSparkColours = {{
    {1, 90, 12, 0},
    {96, 200, 54, 6},
    {176, 255, 140, 30},
    {255, 255, 244, 190},
}};

QColor SparkColour(int heat) {
  heat = std::clamp(heat, kSparkColours.front().heat, kSparkColours.back().heat);
  size_t upper = 1;
  while (kSparkColours[upper].heat < heat) ++upper;
  const HeatStop& a = kSparkColours[upper - 1];
  const HeatStop& b = kSparkColours[upper];
  const double t = double(heat - a.heat) / (b.heat - a.heat);
  const auto mix = [t](int from, int to) { return int(std::lround(from + (to - from) * t)); };
  return QColor(mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue));
}

// The alpha-weighted mean luminance of a premultiplied picture, 0 to 255.
int MeanBrightness(const QImage& picture) {
  double luminance = 0;
  double alpha = 0;
  for (int y = 0; y < picture.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
    for (int x = 0; x < picture.width(); ++x) {
      // Premultiplied channels already carry the pixel's alpha.
      luminance += 0.299 * qRed(row[x]) + 0.587 * qGreen(row[x]) + 0.114 * qBlue(row[x]);
      alpha += qAlpha(row[x]);
    }
  }
  if (alpha <= 0) return 0;
  return std::clamp(int(std::lround(255.0 * luminance / alpha)), 0, 255);
}

// The picture as the load code wants it drawn, premultiplied for blending.
QImage Prepared(QImage read, int loadCode) {
  if (loadCode == kLoadOpaquePanel) return read.convertToFormat(QImage::Format_RGB32);
  const bool keyed = !read.hasAlphaChannel();
  QImage picture = read.convertToFormat(QImage::Format_ARGB32);
  if (keyed) {
    for (int y = 0; y < picture.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
      for (int x = 0; x < picture.width(); ++x) {
        if ((row[x] | 0xFF000000u) == kClearKey) row[x] = 0;
      }
    }
  }
  return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

ImageDDrw::ImageDDrw(const Clock& clock) : clock_(&clock) {
  SetImageSize(kSceneWidth, kSceneHeight);
}

void ImageDDrw::SetImageSize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (image_.width() == width && image_.height() == height) return;
  image_ = QImage(width, height, QImage::Format_RGB32);
  image_.fill(Qt::black);
  Place();
}

void ImageDDrw::SetWideCanvas(bool wide) {
  if (wide == wide_) return;
  wide_ = wide;
  Place();
}

void ImageDDrw::Place() {
  const double width = image_.width();
  const double height = image_.height();
  margin_ = 0;
  if (wide_) {
    const double shape =
        std::clamp(width / height, double(kSceneWidth) / kSceneHeight, kWidestShape);
    const int canvasWidth = int(std::lround(kSceneHeight * shape));
    margin_ = std::clamp((canvasWidth - kSceneWidth) / 2, 0, kWideMargin);
  }
  const int canvasWidth = kSceneWidth + 2 * margin_;
  const double scale = std::min(width / canvasWidth, height / kSceneHeight);
  const double left = (width - canvasWidth * scale) / 2;
  const double top = (height - kSceneHeight * scale) / 2;
  origin_ = QPointF(left + margin_ * scale, top);
  canvas_ = QRect(QPoint(int(std::lround(left)), int(std::lround(top))),
                  QPoint(int(std::lround(left + canvasWidth * scale)) - 1,
                         int(std::lround(top + kSceneHeight * scale)) - 1));
  if (scale != scale_) {
    scale_ = scale;
    // Each picture is read again for the new scale when it is next drawn.
    for (auto& [key, picture] : pictures_) picture = Picture();
  }
  shownItems_.clear();
  shownClearColour_.reset();
}

void ImageDDrw::SetClock(const Clock& clock) {
  clock_ = &clock;
  for (Sprite& s : sprites_) s.frameShownAtMs = clock.MonotonicMs();
}

void ImageDDrw::ForgetSprites() {
  sprites_.clear();
  items_.clear();
}

int32_t ImageDDrw::CreateSprite() {
  sprites_.emplace_back();
  sprites_.back().frameShownAtMs = clock_->MonotonicMs();
  return static_cast<int32_t>(sprites_.size());
}

ImageDDrw::Sprite* ImageDDrw::Find(int32_t sprite) {
  if (sprite < 1 || static_cast<size_t>(sprite) > sprites_.size()) return nullptr;
  return &sprites_[sprite - 1];
}

int ImageDDrw::SpriteFrame(int32_t sprite) const {
  if (sprite < 1 || static_cast<size_t>(sprite) > sprites_.size()) return 0;
  return sprites_[sprite - 1].frame;
}

void ImageDDrw::LoadSpriteFrame(int32_t sprite, int frame, std::string_view path, int loadCode) {
  Sprite* s = Find(sprite);
  if (s == nullptr || frame < 1) return;
  if (static_cast<int>(s->frames.size()) < frame) s->frames.resize(frame);
  // Read when first drawn: the styles not on show cost nothing.
  std::string key = std::to_string(loadCode) + ":" + std::string(path);
  pictures_.try_emplace(key);
  s->frames[frame - 1] = std::move(key);
}

void ImageDDrw::SetSpriteX(int32_t sprite, int x) {
  if (Sprite* s = Find(sprite)) s->x = x;
}

void ImageDDrw::SetSpriteY(int32_t sprite, int y) {
  if (Sprite* s = Find(sprite)) s->y = y;
}

void ImageDDrw::SetSpriteFrame(int32_t sprite, int frame) {
  if (Sprite* s = Find(sprite)) {
    s->frame = frame;
    s->frameShownAtMs = clock_->MonotonicMs();
  }
}

void ImageDDrw::SetSpriteSpeed(int32_t sprite, int speed) {
  // The speed is the time a frame shows, in milliseconds.
  if (Sprite* s = Find(sprite)) s->speedMs = std::max(speed, 1);
}

bool ImageDDrw::SpriteFrameDue(int32_t sprite) {
  const Sprite* s = Find(sprite);
  if (s == nullptr || s->frames.size() < 2) return false;
  return clock_->MonotonicMs() - s->frameShownAtMs >= s->speedMs;
}

void ImageDDrw::NextSpriteFrame(int32_t sprite) {
  Sprite* s = Find(sprite);
  if (s == nullptr || s->frames.empty()) return;
  const int count = static_cast<int>(s->frames.size());
  s->frame = (s->frame >= 1 && s->frame < count) ? s->frame + 1 : 1;
  s->frameShownAtMs = clock_->MonotonicMs();
}

int64_t ImageDDrw::NextChangeMs() const {
  int64_t next = clock_->MonotonicMs() + 1000 - clock_->Now().millisecond;
  if (wantFrameByMs_) next = std::min(next, *wantFrameByMs_);
  for (const Sprite& s : sprites_) {
    if (s.frames.size() >= 2) next = std::min(next, s.frameShownAtMs + s.speedMs);
  }
  return next;
}

const QImage& ImageDDrw::Scaled(Picture& picture) {
  if (picture.scaled.isNull() && !picture.full.isNull()) {
    const int width = std::max(1, int(std::lround(picture.full.width() * scale_)));
    const int height = std::max(1, int(std::lround(picture.full.height() * scale_)));
    picture.scaled =
        picture.full.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Only the scaled picture is drawn; the file's own size is let go.
    picture.full = QImage();
  }
  return picture.scaled;
}

ImageDDrw::Picture& ImageDDrw::Read(const std::string& key) {
  Picture& picture = pictures_[key];
  if (!picture.read) {
    picture.read = true;
    const int loadCode = std::stoi(key);
    picture.light = loadCode == kLoadLight;
    const std::string file = key.substr(key.find(':') + 1);
    const QImage read(ToQString(file));
    if (read.isNull()) {
      if (reported_.insert(file).second) {
        std::cerr << "emberlrn: settings dialog: cannot read the picture " << file << '\n';
      }
    } else {
      picture.full = Prepared(read, loadCode);
      picture.brightness = MeanBrightness(picture.full);
    }
  }
  return picture;
}

void ImageDDrw::DrawSprite(int32_t sprite) {
  const Sprite* s = Find(sprite);
  if (s == nullptr || s->frame < 1 || s->frame > static_cast<int>(s->frames.size())) return;
  const std::string& key = s->frames[s->frame - 1];
  if (key.empty()) return;
  Picture& picture = Read(key);
  if (picture.full.isNull() && picture.scaled.isNull()) return;
  // A light that falls on nothing changes nothing.
  if (picture.light && s->level <= 0) return;
  items_.push_back({&picture, {}, {}, 0, s->x, s->y, picture.light ? s->level : 0});
}

void ImageDDrw::SetSpriteLevel(int32_t sprite, int level) {
  if (Sprite* s = Find(sprite)) s->level = std::clamp(level, 0, 255);
}

std::optional<int> ImageDDrw::FrameBrightness(int32_t sprite, int frame) {
  const Sprite* s = Find(sprite);
  if (s == nullptr || frame < 1 || frame > static_cast<int>(s->frames.size())) return std::nullopt;
  const auto found = pictures_.find(s->frames[frame - 1]);
  if (found == pictures_.end()) return std::nullopt;
  return found->second.brightness;
}

void ImageDDrw::DrawSpark(int x, int y, int heat) {
  if (heat < 1) return;
  items_.push_back({nullptr, {}, {}, 0, x, y, std::min(heat, 255)});
}

void ImageDDrw::ClearBackBuffer(Colour colour) {
  clearColour_ = colour;
  items_.clear();
  // A wish for an early frame holds for the wait after the frame that made it.
  wantFrameByMs_.reset();
}

void ImageDDrw::SetTextFont(std::string_view face, int size, int, bool bold, bool italic,
                            bool underline) {
  font_ = QFont(ToQString(face));
  font_.setPixelSize(std::clamp(size, 1, 500));
  font_.setBold(bold);
  font_.setItalic(italic);
  font_.setUnderline(underline);
}

void ImageDDrw::DrawText(std::string_view text, int x, int y, Colour colour) {
  if (text.empty()) return;
  items_.push_back({nullptr, ToQString(text), font_, colour, x, y});
}

int ImageDDrw::TextWidth(std::string_view text) {
  // The halo reaches one pixel beyond the letters on each side.
  return QFontMetrics(font_).horizontalAdvance(ToQString(text)) + 2;
}

void ImageDDrw::FlipBackBuffer() {
  changed_ = items_ != shownItems_ || clearColour_ != shownClearColour_;
  if (changed_) Compose();
  shownItems_.swap(items_);
  shownClearColour_ = clearColour_;
  items_.clear();
}

void ImageDDrw::Compose() {
  image_.fill(Qt::black);
  {
    QPainter fill(&image_);
    fill.fillRect(canvas_, ToQColor(clearColour_));
  }
  // Light reads the pixels under it, so the painter is ended before each
  // light and begun again after it.
  std::optional<QPainter> painter;
  for (const Item& item : items_) {
    if (item.picture != nullptr && item.picture->light) {
      painter.reset();
      DrawLight(item);
      continue;
    }
    if (!painter) {
      painter.emplace(&image_);
      painter->setClipRect(canvas_);
    }
    if (item.picture != nullptr) {
      // The pictures are made the image's size once; placing them needs no scaling.
      painter->drawImage(origin_ + QPointF(item.x * scale_, item.y * scale_),
                         Scaled(*item.picture));
    } else if (item.text.isEmpty()) {
      DrawSparkItem(*painter, item);
    } else {
      DrawTextItem(*painter, item);
    }
  }
}

// out = c + c * light / 255 * level / 255 for each channel, where the light's
// premultiplied colour already carries its alpha.
void ImageDDrw::DrawLight(const Item& item) {
  const QImage& light = Scaled(*item.picture);
  const QPoint at(int(std::lround(origin_.x() + item.x * scale_)),
                  int(std::lround(origin_.y() + item.y * scale_)));
  const QRect area = QRect(at, light.size()) & canvas_;
  if (area.isEmpty()) return;
  const int level = item.level;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* out = reinterpret_cast<QRgb*>(image_.scanLine(y));
    const auto* in = reinterpret_cast<const QRgb*>(light.constScanLine(y - at.y()));
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb l = in[x - at.x()];
      const QRgb c = out[x];
      const auto brighten = [level](int channel, int lit) {
        return std::min(255, channel + channel * lit * level / (255 * 255));
      };
      out[x] = qRgb(brighten(qRed(c), qRed(l)), brighten(qGreen(c), qGreen(l)),
                    brighten(qBlue(c), qBlue(l)));
    }
  }
}

// A soft round glow whose light adds to what is under it.
void ImageDDrw::DrawSparkItem(QPainter& painter, const Item& item) const {
  const QPointF centre = origin_ + QPointF((item.x + 0.5) * scale_, (item.y + 0.5) * scale_);
  const double radius = std::max(kSparkRadius * scale_, kSparkLeastRadius);
  const QColor colour = SparkColour(item.level);
  QColor edge = colour;
  edge.setAlpha(0);
  QRadialGradient glow(centre, radius);
  glow.setColorAt(0.0, colour);
  glow.setColorAt(0.35, colour);
  glow.setColorAt(1.0, edge);
  painter.save();
  painter.setCompositionMode(QPainter::CompositionMode_Plus);
  painter.setPen(Qt::NoPen);
  painter.setBrush(glow);
  painter.drawEllipse(centre, radius, radius);
  painter.restore();
}

void ImageDDrw::DrawTextItem(QPainter& painter, const Item& item) const {
  painter.save();
  painter.translate(origin_);
  painter.scale(scale_, scale_);
  painter.setFont(item.font);
  const QPointF at(item.x, item.y + QFontMetricsF(item.font).ascent());
  const QColor letters = ToQColor(item.colour);
  // A halo one pixel of the image wide, however small the scale.
  const double halo = 1.0 / scale_;
  painter.setPen(HaloFor(letters));
  for (const QPointF step :
       {QPointF(-halo, 0), QPointF(halo, 0), QPointF(0, -halo), QPointF(0, halo)}) {
    painter.drawText(at + step, item.text);
  }
  painter.setPen(letters);
  painter.drawText(at, item.text);
  painter.restore();
}

}  // namespace emberlrn
