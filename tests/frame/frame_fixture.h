#pragma once
// The frame's subsystems as the start-up leaves them, with the sprites made
// on the recording drawing control, for the frame and clock tests.

#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "fakes/fake_ddrw.h"
#include "fakes/memory_store.h"
#include "frame/clocks.h"
#include "frame/compose_frame.h"
#include "frame/overlays.h"
#include "frame/rotation.h"
#include "scene/scene_catalogue.h"
#include "settings/first_run.h"

namespace emberlrn::testing {

// Sprite numbers the catalogue gives with andirons and both notice panels.
inline constexpr int kStocking1 = 1, kStocking2 = 2, kStocking3 = 3, kStocking4 = 4;
inline constexpr int kPoinr = 5, kPoinl = 6, kBellr = 7, kBelll = 8, kCalendar = 9;
inline constexpr int kFlame = 10, kLogs = 11, kAndironL = 34, kAndironR = 35;
inline constexpr int kMonitorNotice = 36, kPowerNotice = 37;
// Left, right, top and mantle of style k.
inline int Left(int k) { return k <= 2 ? 12 + 3 * (k - 1) : 18 + 4 * (k - 3); }
inline int Right(int k) { return Left(k) + 1; }
inline int Top(int k) { return Left(k) + 2; }
inline int Mantle(int k) { return Left(k) + 3; }

struct FrameFixture {
  // With `livingFire`, the scene is loaded with the living fire's four switches on.
  explicit FrameFixture(bool noticesDone = true, bool livingFire = false) {
    SceneChoices choices;
    choices.decorations.fillWide = choices.decorations.firelight = livingFire;
    choices.decorations.embers = choices.decorations.livingFlame = livingFire;
    choices.installFolder = "/data/";
    choices.decorations.stockingTop = 19;
    choices.decorations.showAndirons = true;
    choices.calendarCorner = 1;
    choices.anyStyleShown = true;
    choices.flameSpeed = 100;
    decorations = choices.decorations;
    overlays.calendarCorner = 1;
    rotation.anyStyleShown = true;
    store.Preset(kSectionSettings, "RunMon", noticesDone ? "True" : "False");
    store.Preset(kSectionSettings, "PwrMsg", noticesDone ? "True" : "False");
    // Both panels are made whatever the test later sets, so numbers stay fixed.
    MemoryStore panels;
    panels.Preset(kSectionSettings, "RunMon", "False");
    panels.Preset(kSectionSettings, "PwrMsg", "False");
    sprites = LoadScene(choices, ddrw, panels);
    clocks.NoticesSeen(noticesDone, noticesDone);
    clocks.firstFrame = false;
    ddrw.calls.clear();
  }

  void Compose() { ComposeFrame({sprites, decorations, rotation, overlays, clocks}, ddrw, clock); }

  SceneSprites sprites;
  Decorations decorations;
  StyleRotation rotation;
  Overlays overlays;
  AnimationClocks clocks;
  FakeDDrw ddrw;
  MemoryStore store;
  FakeClock clock;
};

inline std::string Draw(int sprite) { return "DrawSprite(" + std::to_string(sprite) + ")"; }

}  // namespace emberlrn::testing
