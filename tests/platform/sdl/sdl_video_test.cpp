#include "platform/sdl/sdl_video.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "platform/sdl/sdl_tego_ddrw.h"

namespace emberlrn {
namespace {

TEST(SdlVideoTest, TheSaverHoldsNoIdleInhibitorAndDrawsIntoTheWindowsOwnPixels) {
  SetSaverHints(true);
  ASSERT_TRUE(StartVideo()) << SDL_GetError();  // the dummy driver, asked for by the test
  EXPECT_TRUE(SDL_IsScreenSaverEnabled());
  EXPECT_STREQ(SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION), "0");
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST(SdlVideoTest, AWindowThatCannotBeMadeIsAWindowFaultNotARefusedDepth) {
  ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  FakeClock clock;
  SdlTegoDDrw ddrw(clock);
  EXPECT_FALSE(ddrw.SetDisplayMode(kSceneWidth, kSceneHeight, 24, ""));
  EXPECT_FALSE(ddrw.WindowFault().empty());
}

}  // namespace
}  // namespace emberlrn
