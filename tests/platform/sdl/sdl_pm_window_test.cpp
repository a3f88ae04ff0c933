// The warning's real window on SDL's headless video driver: it shows, draws
// its labels inside their boxes, and reports its own events only.

#include "platform/sdl/sdl_pm_window.h"

#include "start/sdl_power_warning_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "fakes/fake_input.h"
#include "fakes/fake_system.h"

namespace emberlrn {
namespace {

class RecordingInput final : public PmInput {
 public:
  void KeyTyped() override { calls.push_back("KeyTyped"); }
  void PointerMoved(PointerPosition where) override {
    calls.push_back("PointerMoved(" + std::to_string(where.x) + "," + std::to_string(where.y) +
                    ")");
  }
  void ButtonReleased() override { calls.push_back("ButtonReleased"); }
  void CloseRequested() override { calls.push_back("CloseRequested"); }
  std::vector<std::string> calls;
};

Uint32 PixelAt(SDL_Surface* surface, int x, int y) {
  const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
  return reinterpret_cast<const Uint32*>(row)[x] & 0xFFFFFF;
}

// Pixels of the box darker than the face colour: the drawn text.
int DarkPixels(SDL_Surface* surface, const PmLabelLayout& box) {
  int dark = 0;
  for (int y = box.y; y < box.y + box.height; ++y) {
    for (int x = box.x; x < box.x + box.width; ++x) {
      const Uint32 pixel = PixelAt(surface, x, y);
      if (((pixel >> 16) & 0xFF) < 100 && ((pixel >> 8) & 0xFF) < 100) ++dark;
    }
  }
  return dark;
}

SDL_Event KeyEvent(Uint32 windowId, SDL_Keycode sym) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.windowID = windowId;
  event.key.keysym.sym = sym;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
  return event;
}

class SdlPmWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(window.Show()) << SDL_GetError(); }
  SdlPmWindow window;
  RecordingInput input;
};

TEST_F(SdlPmWindowTest, DrawsBothLabelsInsideTheirBoxesOnTheFaceColour) {
  auto pixels = window.ReadPixels();
  ASSERT_TRUE(pixels);
  EXPECT_EQ(pixels->w, kPmClientWidth);
  EXPECT_EQ(pixels->h, kPmClientHeight);
  EXPECT_EQ(PixelAt(pixels.get(), 4, 4), 0xD4D0C8u);
  EXPECT_EQ(PixelAt(pixels.get(), 300, 200), 0xD4D0C8u);
  EXPECT_GT(DarkPixels(pixels.get(), kPmLabel1), 300);
  EXPECT_GT(DarkPixels(pixels.get(), kPmLabel2), 300);
  // Nothing outside the boxes: no text runs over into the other label.
  const PmLabelLayout gap{16, kPmLabel1.y + kPmLabel1.height, 281,
                          kPmLabel2.y - (kPmLabel1.y + kPmLabel1.height), 0, false};
  EXPECT_EQ(DarkPixels(pixels.get(), gap), 0);
  EXPECT_LE(window.Label1PixelSize(), 24);
  EXPECT_GE(window.Label1PixelSize(), 16);
  EXPECT_LE(window.Label2PixelSize(), 18);
  EXPECT_GE(window.Label2PixelSize(), 12);
}

TEST_F(SdlPmWindowTest, ANewTextIsDrawnAtOnce) {
  auto before = window.ReadPixels();
  window.SetLabel1Text(kPmLabel1Later);
  window.SetLabel2Text(kPmLabel2Later);
  auto after = window.ReadPixels();
  ASSERT_TRUE(before && after);
  EXPECT_EQ(window.Label1Text(), kPmLabel1Later);
  EXPECT_NE(DarkPixels(before.get(), kPmLabel1), DarkPixels(after.get(), kPmLabel1));
  EXPECT_GT(DarkPixels(after.get(), kPmLabel2), 100);
}

TEST_F(SdlPmWindowTest, KeysThatTypeReachTheWarningAndOthersDoNot) {
  const Uint32 id = window.WindowId();
  ASSERT_NE(id, 0u);
  EXPECT_TRUE(window.HandleEvent(KeyEvent(id, SDLK_LSHIFT), input));
  EXPECT_TRUE(window.HandleEvent(KeyEvent(id, SDLK_LEFT), input));
  EXPECT_TRUE(input.calls.empty());
  EXPECT_TRUE(window.HandleEvent(KeyEvent(id, SDLK_a), input));
  EXPECT_TRUE(window.HandleEvent(KeyEvent(id, SDLK_SPACE), input));
  EXPECT_EQ(input.calls, (std::vector<std::string>{"KeyTyped", "KeyTyped"}));
}

TEST_F(SdlPmWindowTest, PointerButtonsAndCloseAreReportedInScreenTerms) {
  const Uint32 id = window.WindowId();
  int left = 0;
  int top = 0;
  SDL_GetWindowPosition(SDL_GetWindowFromID(id), &left, &top);
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.windowID = id;
  motion.motion.x = 10;
  motion.motion.y = 20;
  SDL_Event down{};
  down.type = SDL_MOUSEBUTTONDOWN;
  down.button.windowID = id;
  SDL_Event up = down;
  up.type = SDL_MOUSEBUTTONUP;
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.windowID = id;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  for (const SDL_Event& event : {motion, down, up, close}) {
    EXPECT_TRUE(window.HandleEvent(event, input));
  }
  EXPECT_EQ(input.calls, (std::vector<std::string>{"PointerMoved(" + std::to_string(left + 10) +
                                                       "," + std::to_string(top + 20) + ")",
                                                   "ButtonReleased", "CloseRequested"}));
}

TEST_F(SdlPmWindowTest, EventsOfOtherWindowsAreLeftToTheirOwners) {
  const Uint32 other = window.WindowId() + 100;
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.windowID = other;
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_FALSE(window.HandleEvent(KeyEvent(other, SDLK_a), input));
  EXPECT_FALSE(window.HandleEvent(motion, input));
  EXPECT_FALSE(window.HandleEvent(quit, input));
  EXPECT_TRUE(input.calls.empty());
}

TEST_F(SdlPmWindowTest, AnUnloadedWindowHandlesNothing) {
  const Uint32 id = window.WindowId();
  window.Unload();
  EXPECT_EQ(window.WindowId(), 0u);
  EXPECT_FALSE(window.PointerNow());
  EXPECT_FALSE(window.HandleEvent(KeyEvent(id, SDLK_a), input));
  EXPECT_TRUE(input.calls.empty());
}

struct HostRig {
  FakeClock clock;
  FakeInputSource input{clock};
  EventLoop loop{clock, input};
  FakeSystem system;
  SdlPowerWarningHost host{system, loop};
  int closes = 0;
  HostRig() {
    host.Show([this] { ++closes; });
  }
};

TEST(SdlPowerWarningHost, ShowsTheWarningOnceWithItsClockOnTheLoop) {
  HostRig rig;
  ASSERT_TRUE(rig.host.Shown());
  const Uint32 id = rig.host.Window()->WindowId();
  ASSERT_NE(id, 0u);
  rig.host.Show([] {});
  EXPECT_EQ(rig.host.Window()->WindowId(), id);
  EXPECT_TRUE(rig.system.ScreenSaverRunning());
  rig.loop.RunFor(61 * 1000 + 10);
  EXPECT_EQ(rig.host.Window()->Label1Text(), kPmLabel1Later);
  EXPECT_EQ(rig.host.Window()->Label2Text(), kPmLabel2Later);
}

TEST(SdlPowerWarningHost, ATypedKeyInTheWarningEndsTheProgram) {
  HostRig rig;
  const Uint32 id = rig.host.Window()->WindowId();
  EXPECT_FALSE(rig.host.HandleEvent(KeyEvent(id + 100, SDLK_a)));
  EXPECT_TRUE(rig.host.HandleEvent(KeyEvent(id, SDLK_RSHIFT)));
  EXPECT_FALSE(rig.system.ended);
  EXPECT_THROW(rig.host.HandleEvent(KeyEvent(id, SDLK_a)), ProcessEnded);
  EXPECT_FALSE(rig.system.ScreenSaverRunning());
}

TEST(SdlPowerWarningHost, ClosedByTheWindowManagerItHandsBack) {
  HostRig rig;
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.windowID = rig.host.Window()->WindowId();
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  EXPECT_TRUE(rig.host.HandleEvent(close));
  EXPECT_EQ(rig.closes, 1);
  EXPECT_EQ(rig.host.Window()->WindowId(), 0u);
}

TEST(SdlPowerWarningHost, BeforeTheHandOverItHandlesNothing) {
  FakeClock clock;
  FakeInputSource input{clock};
  EventLoop loop{clock, input};
  FakeSystem system;
  SdlPowerWarningHost host{system, loop};
  EXPECT_FALSE(host.Shown());
  EXPECT_FALSE(host.HandleEvent(KeyEvent(1, SDLK_a)));
}

}  // namespace
}  // namespace emberlrn
