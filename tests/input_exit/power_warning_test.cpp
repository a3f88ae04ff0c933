// The warning window at work on the saver's event loop: its clock, the
// pointer watched over the whole screen, and the window system's own motion.

#include "input_exit/power_warning.h"

#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "fakes/fake_input.h"
#include "fakes/fake_system.h"
#include "fakes/fake_pm_view.h"

namespace emberlrn {
namespace {


struct WarningRig {
  FakeClock clock;
  FakeInputSource input{clock};
  EventLoop loop{clock, input};
  FakePmView view;
  FakeSystem system;
  int closes = 0;
  PowerWarning warning{view, system, loop, [this] { ++closes; }};

  WarningRig() { view.pointer = PointerPosition{500, 400}; }
};

TEST(PowerWarning, ItsClockChangesTheTextsAfterAMinuteWhileNothingMoves) {
  WarningRig rig;
  rig.warning.Load();
  EXPECT_TRUE(rig.view.shown);
  rig.loop.RunFor(60 * 1000 + 500);
  EXPECT_EQ(rig.warning.Form().TickCount(), 60);
  EXPECT_EQ(rig.view.label1, kPmLabel1First);
  rig.loop.RunFor(1000);
  EXPECT_EQ(rig.warning.Form().TickCount(), 61);
  EXPECT_EQ(rig.view.label1, kPmLabel1Later);
  EXPECT_EQ(rig.view.label2, kPmLabel2Later);
  EXPECT_FALSE(rig.system.ended);
}

TEST(PowerWarning, TheMotionEventOfTheWindowAppearingIsNotAMovement) {
  WarningRig rig;
  rig.warning.Load();
  rig.input.After(5, [&rig] { rig.warning.PointerMoved({500, 400}); });
  rig.loop.RunFor(3000);
  EXPECT_FALSE(rig.system.ended);
  rig.input.After(5, [&rig] { rig.warning.PointerMoved({501, 400}); });
  EXPECT_THROW(rig.loop.RunFor(1000), ProcessEnded);
  EXPECT_FALSE(rig.system.ScreenSaverRunning());
}

TEST(PowerWarning, AMovementAnywhereOnTheScreenEndsItWithinASecond) {
  WarningRig rig;
  rig.warning.Load();
  rig.loop.RunFor(2500);
  // The pointer moves far from the small window: no event reaches it.
  rig.view.pointer = PointerPosition{20, 700};
  const int64_t movedAt = rig.clock.MonotonicMs();
  EXPECT_THROW(rig.loop.RunFor(5000), ProcessEnded);
  EXPECT_LE(rig.clock.MonotonicMs() - movedAt, 1000);
}

TEST(PowerWarning, KeysAndClicksEndIt) {
  for (int which = 0; which < 2; ++which) {
    WarningRig rig;
    rig.warning.Load();
    rig.input.After(100, [&rig, which] {
      if (which == 0) {
        rig.warning.KeyTyped();
      } else {
        rig.warning.ButtonReleased();
      }
    });
    EXPECT_THROW(rig.loop.RunFor(1000), ProcessEnded);
  }
}

TEST(PowerWarning, ClosedByTheWindowManagerItStopsItsClockAndHandsBack) {
  WarningRig rig;
  rig.warning.Load();
  rig.loop.RunFor(1500);
  rig.warning.CloseRequested();
  EXPECT_EQ(rig.closes, 1);
  EXPECT_FALSE(rig.view.shown);
  rig.view.pointer = PointerPosition{0, 0};
  rig.loop.RunFor(5000);
  EXPECT_EQ(rig.warning.Form().TickCount(), 1);
  EXPECT_FALSE(rig.system.ended);
}

TEST(PowerWarning, WithThePointerUnknownItStillEndsOnAMotionEvent) {
  WarningRig rig;
  rig.view.pointer.reset();
  rig.warning.Load();
  rig.input.After(5, [&rig] { rig.warning.PointerMoved({10, 10}); });
  rig.loop.RunFor(3000);
  EXPECT_FALSE(rig.system.ended);
  rig.input.After(5, [&rig] { rig.warning.PointerMoved({11, 10}); });
  EXPECT_THROW(rig.loop.RunFor(1000), ProcessEnded);
}

}  // namespace
}  // namespace emberlrn
