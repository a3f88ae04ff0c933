// Telling the user's pointer movements from the window system's own.

#include "platform/motion_filter.h"

#include <gtest/gtest.h>

namespace emberlrn {
namespace {

TEST(MotionFilter, NothingCountsBeforeTheWindowIsShown) {
  MotionFilter filter;
  EXPECT_FALSE(filter.IsUsersMove({1, 1}));
  EXPECT_FALSE(filter.IsUsersMove({5, 9}));
  filter.WindowShown(PointerPosition{5, 9});
  EXPECT_FALSE(filter.IsUsersMove({5, 9}));
  EXPECT_TRUE(filter.IsUsersMove({6, 9}));
}

TEST(MotionFilter, TheEventOfAWindowAppearingUnderAStillPointerIsNotAMove) {
  MotionFilter filter;
  filter.WindowShown(PointerPosition{400, 300});
  EXPECT_FALSE(filter.IsUsersMove({400, 300}));
  EXPECT_FALSE(filter.IsUsersMove({400, 300}));
  EXPECT_TRUE(filter.IsUsersMove({401, 300}));
  EXPECT_FALSE(filter.IsUsersMove({401, 300}));
  EXPECT_TRUE(filter.IsUsersMove({401, 299}));
}

TEST(MotionFilter, WithThePointerUnknownTheFirstEventOnlyTellsWhereItIs) {
  MotionFilter filter;
  filter.WindowShown(std::nullopt);
  EXPECT_FALSE(filter.IsUsersMove({10, 10}));
  EXPECT_TRUE(filter.IsUsersMove({12, 10}));
}

TEST(MotionFilter, AHiddenWindowCountsNothingUntilShownAgain) {
  MotionFilter filter;
  filter.WindowShown(PointerPosition{0, 0});
  EXPECT_TRUE(filter.IsUsersMove({3, 3}));
  filter.WindowHidden();
  EXPECT_FALSE(filter.IsUsersMove({7, 7}));
  filter.WindowShown(PointerPosition{7, 7});
  EXPECT_FALSE(filter.IsUsersMove({7, 7}));
  EXPECT_TRUE(filter.IsUsersMove({8, 7}));
}

}  // namespace
}  // namespace emberlrn
