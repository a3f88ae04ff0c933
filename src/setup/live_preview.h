#pragma once
// The dialog's live preview: the saver's own scene, loaded and composed by
// the saver's frame code into an image the pane shows, animated at the
// saver's pace (the flame at its speed, the calendar's clock, the rotation
// through the styles). It shows the choices the dialog hands it, not the
// store, and each new choice from the next frame on. It draws only while it
// is on the screen, and it reads and writes no settings.

#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <array>
#include <cstdint>
#include <string>

#include "frame/clocks.h"
#include "frame/living_fire.h"
#include "frame/overlays.h"
#include "frame/rotation.h"
#include "platform/system_clock.h"
#include "scene/scene_catalogue.h"
#include "setup/image_ddrw.h"

namespace emberlrn {

// What the dialog's controls say the scene is to show, in the saver's terms.
struct PreviewChoices {
  std::array<bool, kStyleCount + 1> showStyle{};  // 1..6
  std::array<bool, 5> showMantle{};               // 1..4: the mantle of style k + 2
  int16_t rotateOn = 0;
  int16_t rotateMinutes = 0;
  int16_t flameSpeed = 0;
  Decorations decorations;
  bool showCalendar = false;
  int16_t calendarCorner = 0;
  bool showMessage = false;
  std::string messageText;
  int16_t messageFontSize = 0;
};

class LivePreview final : public QWidget {
 public:
  // installFolder holds the scene's pictures, with its trailing '/'.
  LivePreview(std::string installFolder, QWidget* parent = nullptr);

  // The scene shows these choices from the next frame on; a style newly
  // ticked comes on screen at once.
  void Show(const PreviewChoices& choices);

  // The clock the scene is paced and dated by: the machine's, unless a
  // test gives one that stands still.
  void UseClock(const Clock& clock);

  // The style on screen now (0 for none).
  int StyleShown() const { return rotation_.fireplaceIndex; }
  // Whether frames are being drawn.
  bool Animating() const { return timer_.isActive(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  // The dialog's window, unmapped or covered whole, is not exposed: frames stop.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The pictures' places and the sprites made depend on these; any change
  // makes the scene anew.
  struct Placing {
    int16_t stockingTop = 0;
    int16_t calendarCorner = 0;
    int16_t flameSpeed = 0;
    bool anyStyleShown = false;
    bool fillWide = false;
    bool firelight = false;
    bool embers = false;
    bool livingFlame = false;
    int canvasMargin = 0;  // what the canvas showed beside the scene when it was made
    bool operator==(const Placing&) const = default;
  };
  void LoadScenePictures(Placing placing);
  void FrameReady();
  void ScheduleFrame();
  bool OnScreen() const;

  std::string installFolder_;
  SystemClock systemClock_;
  const Clock* clock_ = &systemClock_;
  ImageDDrw ddrw_;
  QTimer timer_;
  bool loaded_ = false;
  Placing placing_;
  SceneSprites sprites_;
  Decorations decorations_;
  StyleRotation rotation_;
  Overlays overlays_;
  AnimationClocks clocks_;
  // The sparks, the light and the flame's walk, as the saver has them.
  LivingFire living_{0x5EED5EEDu};
  int64_t rotationTickAtMs_ = 0;
  QWindow* watchedWindow_ = nullptr;
};

}  // namespace emberlrn
