#include "platform/video_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace emberlrn {
namespace {

using Drivers = std::vector<std::string>;

TEST(VideoDriverTest, AWaylandSessionTriesWaylandThenX11UnlessTheUserChose) {
  EXPECT_EQ(VideoDriversToTry(nullptr, "wayland-1"), (Drivers{"wayland", "x11"}));
  EXPECT_EQ(VideoDriversToTry("", "wayland-1"), (Drivers{"wayland", "x11"}));
  EXPECT_TRUE(VideoDriversToTry("x11", "wayland-1").empty());  // the user's choice stands
  EXPECT_TRUE(VideoDriversToTry("dummy", nullptr).empty());
  EXPECT_TRUE(VideoDriversToTry(nullptr, nullptr).empty());  // plain X11: SDL's own choice
  EXPECT_TRUE(VideoDriversToTry(nullptr, "").empty());
}

TEST(VideoDriverTest, TheFallBackIsOneLineNamingBothAndWaylandDrawsThroughTheRenderer) {
  const std::string text = FallbackText("wayland", "wl_display_connect failed", "x11");
  EXPECT_EQ(text,
            "emberlrn: the wayland display cannot be used (wl_display_connect failed); drawing "
            "through x11 (XWayland) instead");
  EXPECT_EQ(FallbackText("wayland", "", "x11").find('\n'), std::string::npos);
  EXPECT_NE(FallbackText("wayland", "", "x11").find("no reason given"), std::string::npos);
  EXPECT_STREQ(FramebufferAccelerationFor("wayland"), "1");
  EXPECT_STREQ(FramebufferAccelerationFor("x11"), "0");
  EXPECT_STREQ(FramebufferAccelerationFor("dummy"), "0");
}

}  // namespace
}  // namespace emberlrn
