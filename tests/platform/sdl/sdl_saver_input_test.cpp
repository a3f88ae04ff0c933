// The saver window's SDL input, headless: events pushed into SDL's queue come
// out as the drawing control's and the window's events.

#include "platform/sdl/sdl_saver_input.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "platform/sdl/sdl_tego_ddrw.h"

namespace emberlrn {
namespace {

class RecordingEvents final : public TegoDDrwEvents, public SaverWindowEvents {
 public:
  void FrameReady() override { log.push_back("FrameReady"); }
  void KeyDown(int16_t key) override { log.push_back("KeyDown(" + std::to_string(key) + ")"); }
  void MouseDown() override { log.push_back("MouseDown"); }
  void MouseMove() override { log.push_back("MouseMove"); }
  void Deactivated() override { log.push_back("Deactivated"); }
  void Form_KeyUp(int16_t key) override {
    log.push_back("Form_KeyUp(" + std::to_string(key) + ")");
  }
  void Form_LostFocus() override { log.push_back("Form_LostFocus"); }
  void Form_Paint() override { log.push_back("Form_Paint"); }
  void Form_QueryUnload() override { log.push_back("Form_QueryUnload"); }
  std::vector<std::string> log;
};

class SdlInputTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  }
  static void TearDownTestSuite() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

  SdlInputTest() {
    EXPECT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
    input.AddHandler(&saver);
    input.DispatchInput();  // what the window system said of the new window
    events.log.clear();
  }
  Uint32 Id() const { return SDL_GetWindowID(ddrw.Window()); }
  void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError(); }
  void Motion(int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = Id();
    e.motion.x = x;
    e.motion.y = y;
    Push(e);
  }
  void Key(Uint32 type, SDL_Keycode key, Uint8 repeat = 0, Uint32 window = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.windowID = window ? window : Id();
    e.key.repeat = repeat;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    Push(e);
  }
  void Window(SDL_WindowEventID what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = Id();
    e.window.event = what;
    Push(e);
  }

  FakeClock clock;
  SdlTegoDDrw ddrw{clock};
  RecordingEvents events;
  SdlSaverWindowInput saver{ddrw, events, events};
  SdlInputSource input;
};

TEST_F(SdlInputTest, KeysButtonsAndTheWindowsOwnEvents) {
  Key(SDL_KEYDOWN, SDLK_a);
  Key(SDL_KEYDOWN, SDLK_a, 1);  // held down: counted once
  Key(SDL_KEYUP, SDLK_a);
  Key(SDL_KEYDOWN, SDLK_s);
  Key(SDL_KEYDOWN, SDLK_q, 0, Id() + 100);  // another window's key is not the saver's
  SDL_Event click{};
  click.type = SDL_MOUSEBUTTONDOWN;
  click.button.windowID = Id();
  Push(click);
  Window(SDL_WINDOWEVENT_EXPOSED);
  Window(SDL_WINDOWEVENT_SIZE_CHANGED);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
  input.DispatchInput();
  EXPECT_EQ(events.log, (std::vector<std::string>{"KeyDown(65)", "Form_KeyUp(65)", "KeyDown(83)",
                                                  "MouseDown", "Form_Paint", "Form_Paint",
                                                  "Form_QueryUnload"}));
}

TEST_F(SdlInputTest, EveryMovementCountsWithItsOwnPositionButStandingStillDoesNot) {
  Motion(100, 100);
  Motion(200, 120);
  Motion(200, 120);  // the window system telling where the pointer already is
  Motion(300, 140);
  input.DispatchInput();
  const int moves = static_cast<int>(std::count(events.log.begin(), events.log.end(), "MouseMove"));
  // The first tells where the pointer is unless the window's showing did.
  EXPECT_GE(moves, 2);
  EXPECT_LE(moves, 3);
  events.log.clear();
  Motion(301, 400);
  Motion(302, 401);
  input.DispatchInput();
  EXPECT_EQ(events.log, (std::vector<std::string>{"MouseMove", "MouseMove"}));
}

TEST_F(SdlInputTest, OnlyAFocusTheWindowHadCanBeLost) {
  Window(SDL_WINDOWEVENT_FOCUS_LOST);
  input.DispatchInput();
  EXPECT_TRUE(events.log.empty());
  Window(SDL_WINDOWEVENT_FOCUS_GAINED);
  Window(SDL_WINDOWEVENT_FOCUS_LOST);
  input.DispatchInput();
  EXPECT_EQ(events.log, (std::vector<std::string>{"Form_LostFocus", "Deactivated"}));
}

TEST_F(SdlInputTest, AClosedDisplayHearsOnlyTheRequestToEnd) {
  const Uint32 id = Id();
  ddrw.CloseDisplay();
  Key(SDL_KEYDOWN, SDLK_a, 0, id);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
  input.DispatchInput();
  EXPECT_EQ(events.log, (std::vector<std::string>{"Form_QueryUnload"}));
}

}  // namespace
}  // namespace emberlrn
