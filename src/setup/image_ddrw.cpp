#include "setup/image_ddrw.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
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
  scale_ = std::min(double(width) / kSceneWidth, double(height) / kSceneHeight);
  // Each picture is read again for the new scale when it is next drawn.
  for (auto& [key, picture] : pictures_) picture = Picture();
  shownItems_.clear();
  shownClearColour_.reset();
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

void ImageDDrw::DrawSprite(int32_t sprite) {
  const Sprite* s = Find(sprite);
  if (s == nullptr || s->frame < 1 || s->frame > static_cast<int>(s->frames.size())) return;
  const std::string& key = s->frames[s->frame - 1];
  if (key.empty()) return;
  Picture& picture = pictures_[key];
  if (!picture.read) {
    picture.read = true;
    const std::string file = key.substr(key.find(':') + 1);
    const QImage read(ToQString(file));
    if (read.isNull()) {
      if (reported_.insert(file).second) {
        std::cerr << "emberlrn: settings dialog: cannot read the picture " << file << '\n';
      }
    } else {
      picture.full = Prepared(read, std::stoi(key));
    }
  }
  if (picture.full.isNull() && picture.scaled.isNull()) return;
  items_.push_back({&picture, {}, {}, 0, s->x, s->y});
}

void ImageDDrw::ClearBackBuffer(Colour colour) {
  clearColour_ = colour;
  items_.clear();
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
  image_.fill(ToQColor(clearColour_));
  QPainter painter(&image_);
  for (const Item& item : items_) {
    if (item.picture != nullptr) {
      // The pictures are made the image's size once; placing them needs no scaling.
      const QImage& picture = Scaled(*item.picture);
      painter.drawImage(QPointF(item.x * scale_, item.y * scale_), picture);
      continue;
    }
    painter.save();
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
}

}  // namespace emberlrn
