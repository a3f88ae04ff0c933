#include "setup/live_preview.h"

#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <utility>

#include "frame/compose_frame.h"
#include "interfaces/tego_ddrw.h"
#include "settings/settings_store.h"

namespace emberlrn {
namespace {

// The preview's scene is made as for a user who has seen both first-run
// notices: every read answers "True", and nothing is written.
class NoticesSeenStore final : public SettingsStore {
 public:
  std::string GetSetting(std::string_view, std::string_view, std::string_view,
                         std::string_view) const override {
    return "True";
  }
  void SaveSetting(std::string_view, std::string_view, std::string_view,
                   std::string_view) override {}
};

constexpr int64_t kRotationTickMs = 1000;

}  // namespace

LivePreview::LivePreview(std::string installFolder, QWidget* parent)
    : QWidget(parent), installFolder_(std::move(installFolder)), ddrw_(systemClock_) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { FrameReady(); });
  clocks_.NoticesSeen(true, true);
}

void LivePreview::Show(const PreviewChoices& choices) {
  // The rotation as the saver's start-up makes it, but from the style on
  // screen now, or from the one just ticked.
  StyleRotation next;
  next.showStyle = choices.showStyle;
  next.showMantle = choices.showMantle;
  next.rotateOn = choices.rotateOn;
  next.rotateTicks = choices.rotateMinutes;
  next.rotateCount = rotation_.rotateCount;
  next.fireplaceIndex = rotation_.fireplaceIndex;
  for (int style = 1; style <= kStyleCount; ++style) {
    if (loaded_ && choices.showStyle[style] && !rotation_.showStyle[style]) {
      next.fireplaceIndex = static_cast<int16_t>(style);
    }
  }
  next.Start();
  if (next.anyStyleShown) next.GatherFP();
  rotation_ = next;

  decorations_ = choices.decorations;
  overlays_.showCalendar = choices.showCalendar;
  overlays_.calendarCorner = choices.calendarCorner;
  overlays_.showMessage = choices.showMessage;
  overlays_.messageText = choices.messageText;
  overlays_.messageFontSize = choices.messageFontSize;

  const Decorations& chosen = choices.decorations;
  const Placing placing{chosen.stockingTop,      choices.calendarCorner, choices.flameSpeed,
                        rotation_.anyStyleShown, chosen.fillWide,        chosen.firelight,
                        chosen.embers,           chosen.livingFlame,     placing_.canvasMargin};
  if (!loaded_ || !(placing == placing_)) LoadScenePictures(placing);
  if (OnScreen()) timer_.start(0);
}

// The saver's own catalogue makes and places the sprites; the andirons are
// always made, and drawn only while they are ticked.
void LivePreview::UseClock(const Clock& clock) {
  clock_ = &clock;
  ddrw_.SetClock(clock);
  rotationTickAtMs_ = clock.MonotonicMs();
  // The fire's light and sparks move on from the last time they saw, which
  // was on the other clock.
  living_ = LivingFire(0x5EED5EEDu);
}

void LivePreview::LoadScenePictures(Placing placing) {
  const int flameFrame = loaded_ ? ddrw_.SpriteFrame(sprites_.flameSprite) : 1;
  // The canvas takes its shape before the scene is laid out on it, as the
  // saver's display opens before its scene is loaded.
  ddrw_.SetWideCanvas(placing.fillWide);
  placing.canvasMargin = ddrw_.CanvasMargin();
  Decorations decorations = decorations_;
  decorations.showAndirons = true;
  const SceneChoices choices{installFolder_, decorations, placing.calendarCorner,
                             placing.flameSpeed, placing.anyStyleShown};
  ddrw_.ForgetSprites();
  sprites_ = LoadScene(choices, ddrw_, NoticesSeenStore());
  ddrw_.SetSpriteFrame(sprites_.flameSprite, flameFrame);
  placing_ = placing;
  loaded_ = true;
}

void LivePreview::FrameReady() {
  // The rotation clock ticks once a second while the preview shows.
  const int64_t now = clock_->MonotonicMs();
  while (now - rotationTickAtMs_ >= kRotationTickMs) {
    rotation_.Tick();
    rotationTickAtMs_ += kRotationTickMs;
  }
  ComposeFrame({sprites_, decorations_, rotation_, overlays_, clocks_, &living_}, ddrw_, *clock_);
  if (ddrw_.Changed()) update();
  ScheduleFrame();
}

void LivePreview::ScheduleFrame() {
  const int64_t now = clock_->MonotonicMs();
  const int64_t next = std::min(ddrw_.NextChangeMs(), rotationTickAtMs_ + kRotationTickMs);
  timer_.start(static_cast<int>(std::clamp<int64_t>(next - now, 1, kRotationTickMs)));
}

void LivePreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(rect(), ddrw_.Image());
}

void LivePreview::resizeEvent(QResizeEvent* event) {
  const qreal ratio = devicePixelRatioF();
  ddrw_.SetImageSize(static_cast<int>(event->size().width() * ratio + 0.5),
                     static_cast<int>(event->size().height() * ratio + 0.5));
  // A canvas that now shows more or less beside the scene has it made anew.
  if (loaded_ && ddrw_.CanvasMargin() != placing_.canvasMargin) LoadScenePictures(placing_);
  if (OnScreen()) timer_.start(0);
}

bool LivePreview::OnScreen() const {
  const QWindow* shown = window()->windowHandle();
  return isVisible() && (shown == nullptr || shown->isExposed());
}

void LivePreview::showEvent(QShowEvent*) {
  QWindow* shown = window()->windowHandle();
  if (shown != watchedWindow_ && shown != nullptr) {
    shown->installEventFilter(this);
    watchedWindow_ = shown;
  }
  rotationTickAtMs_ = clock_->MonotonicMs();
  timer_.start(0);
}

bool LivePreview::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watchedWindow_ && event->type() == QEvent::Expose) {
    if (!OnScreen()) {
      timer_.stop();
    } else if (!timer_.isActive()) {
      rotationTickAtMs_ = clock_->MonotonicMs();
      timer_.start(0);
    }
  }
  return QWidget::eventFilter(watched, event);
}

// Minimised or hidden, the preview costs nothing.
void LivePreview::hideEvent(QHideEvent*) { timer_.stop(); }

}  // namespace emberlrn
