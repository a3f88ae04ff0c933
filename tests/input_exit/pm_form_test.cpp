// The power-management warning window's logic: its first texts, the change
// on its 61st tick, and the end on any key, movement or click.

#include "input_exit/pm_form.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "fakes/fake_system.h"
#include "fakes/fake_pm_view.h"

namespace emberlrn {
namespace {


struct PmRig {
  FakePmView view;
  FakeSystem system;
  PM pm{view, system};
  PmRig() { pm.Form_Load(); }
};

TEST(PmWindow, LoadsOnTopWithItsFirstTextsAndTellsTheSystemASaverRuns) {
  PmRig rig;
  EXPECT_EQ(rig.view.label1, "Power Management is set to come on shortly.");
  EXPECT_EQ(rig.view.label2,
            "If you would like to stop this from happening please press a key or move the mouse.");
  EXPECT_TRUE(rig.view.topMost);
  EXPECT_TRUE(rig.view.shown);
  EXPECT_TRUE(rig.system.ScreenSaverRunning());
  EXPECT_EQ(rig.pm.TickCount(), 0);
}

TEST(PmWindow, TheTextsChangeOnTheSixtyFirstTickAndNotBefore) {
  PmRig rig;
  for (int tick = 1; tick <= 60; ++tick) {
    rig.pm.Timer1_Timer();
    ASSERT_EQ(rig.view.label1, kPmLabel1First) << tick;
    ASSERT_EQ(rig.view.label2, kPmLabel2First) << tick;
  }
  rig.pm.Timer1_Timer();
  EXPECT_EQ(rig.view.label1, "Power Management was activated");
  EXPECT_EQ(rig.view.label2, "Simply move the mouse or hit a key to return to your work");
  EXPECT_FALSE(rig.system.ended);
}

TEST(PmWindow, StaysUpWithItsSecondTextsLongAfterTheCountIsFull) {
  PmRig rig;
  for (int tick = 0; tick < 40000; ++tick) rig.pm.Timer1_Timer();
  EXPECT_EQ(rig.pm.TickCount(), std::numeric_limits<int16_t>::max());
  EXPECT_EQ(rig.view.label1, kPmLabel1Later);
  EXPECT_EQ(rig.view.label2, kPmLabel2Later);
  EXPECT_TRUE(rig.view.shown);
  EXPECT_FALSE(rig.system.ended);
}

TEST(PmWindow, AnyKeyMovementOrClickEndsTheProgram) {
  for (int which = 0; which < 3; ++which) {
    PmRig rig;
    rig.system.calls.clear();
    if (which == 0) {
      EXPECT_THROW(rig.pm.Form_KeyPress(), ProcessEnded);
    } else if (which == 1) {
      EXPECT_THROW(rig.pm.Form_MouseMove(), ProcessEnded);
    } else {
      EXPECT_THROW(rig.pm.Form_MouseUp(), ProcessEnded);
    }
    EXPECT_EQ(rig.system.calls,
              (std::vector<std::string>{"SetScreenSaverRunning(false)", "EndProcess"}));
    EXPECT_EQ(rig.view.calls.back(), "Unload");
    EXPECT_FALSE(rig.system.ScreenSaverRunning());
  }
}

TEST(PmWindow, AWindowThatCannotBeShownEndsTheProgram) {
  // With nothing on the screen to end it, the program would linger unseen.
  FakePmView view;
  view.canShow = false;
  FakeSystem system;
  PM pm{view, system};
  EXPECT_THROW(pm.Form_Load(), ProcessEnded);
  EXPECT_FALSE(system.ScreenSaverRunning());
}

TEST(PmWindow, ClosedByTheWindowManagerItUnloadsAndHandsBack) {
  PmRig rig;
  int closes = 0;
  rig.pm.Form_Close([&closes] { ++closes; });
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(rig.view.shown);
  EXPECT_FALSE(rig.system.ended);
}

}  // namespace
}  // namespace emberlrn
