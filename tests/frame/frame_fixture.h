#pragma once
// A saver state as the start-up leaves it, with the sprites made on the
// recording drawing control, for the frame and clock tests.

#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "fakes/fake_ddrw.h"
#include "fakes/memory_store.h"
#include "scene/scene_catalogue.h"
#include "settings/first_run.h"
#include "start/saver_state.h"

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
  explicit FrameFixture(bool noticesDone = true) {
    state.installFolder = "/data/";
    state.stockingTop = 19;
    state.calendarCorner = 1;
    state.showAndirons = 1;
    state.anyStyleShown = true;
    state.flameSpeed = 100;
    store.Preset(kSectionSettings, "RunMon", noticesDone ? "True" : "False");
    store.Preset(kSectionSettings, "PwrMsg", noticesDone ? "True" : "False");
    // Both panels are made whatever the test later sets, so numbers stay fixed.
    MemoryStore panels;
    panels.Preset(kSectionSettings, "RunMon", "False");
    panels.Preset(kSectionSettings, "PwrMsg", "False");
    LoadScene(state, ddrw, panels);
    state.runMonShown = noticesDone;
    state.pwrMsgShown = noticesDone;
    state.featureTipsDue = !noticesDone;
    state.firstFrame = false;
    ddrw.calls.clear();
  }

  SaverState state;
  FakeDDrw ddrw;
  MemoryStore store;
  FakeClock clock;
};

inline std::string Draw(int sprite) { return "DrawSprite(" + std::to_string(sprite) + ")"; }

}  // namespace emberlrn::testing
