// SDL's keys as virtual-key codes, and which keys type a character.

#include "platform/sdl/sdl_keys.h"

#include <gtest/gtest.h>

namespace emberlrn {
namespace {

SDL_Keysym Key(SDL_Keycode sym, SDL_Scancode scancode = SDL_SCANCODE_UNKNOWN, Uint16 mod = 0) {
  SDL_Keysym key{};
  key.sym = sym;
  key.scancode = scancode == SDL_SCANCODE_UNKNOWN ? SDL_GetScancodeFromKey(sym) : scancode;
  key.mod = mod;
  return key;
}

TEST(VirtualKeys, TheSoundKeysSpaceLettersAndDigits) {
  EXPECT_EQ(VirtualKeyCode(Key(SDLK_s)), 83);
  EXPECT_EQ(VirtualKeyCode(Key(SDLK_q)), 81);
  EXPECT_EQ(VirtualKeyCode(Key(SDLK_SPACE)), 32);
  EXPECT_EQ(VirtualKeyCode(Key(SDLK_a)), 65);
  EXPECT_EQ(VirtualKeyCode(Key(SDLK_z)), 90);
  EXPECT_EQ(VirtualKeyCode(Key(SDLK_0)), 48);
  EXPECT_EQ(VirtualKeyCode(Key(SDLK_9)), 57);
  // Shift does not change a letter's code.
  EXPECT_EQ(VirtualKeyCode(Key(SDLK_s, SDL_SCANCODE_S, KMOD_LSHIFT)), 83);
}

TEST(VirtualKeys, KeysOfTheWindowsTable) {
  const std::pair<SDL_Keycode, int> table[] = {
      {SDLK_ESCAPE, 27},   {SDLK_RETURN, 13},   {SDLK_KP_ENTER, 13}, {SDLK_BACKSPACE, 8},
      {SDLK_TAB, 9},       {SDLK_LSHIFT, 16},   {SDLK_RSHIFT, 16},   {SDLK_LCTRL, 17},
      {SDLK_RALT, 18},     {SDLK_LEFT, 37},     {SDLK_UP, 38},       {SDLK_RIGHT, 39},
      {SDLK_DOWN, 40},     {SDLK_HOME, 36},     {SDLK_END, 35},      {SDLK_PAGEUP, 33},
      {SDLK_PAGEDOWN, 34}, {SDLK_INSERT, 45},   {SDLK_DELETE, 46},   {SDLK_F1, 112},
      {SDLK_F12, 123},     {SDLK_F13, 124},     {SDLK_F24, 135},     {SDLK_KP_0, 96},
      {SDLK_KP_9, 105},    {SDLK_KP_PLUS, 107}, {SDLK_COMMA, 188},   {SDLK_MINUS, 189},
      {SDLK_PERIOD, 190},  {SDLK_SLASH, 191},   {SDLK_QUOTE, 222},   {SDLK_LGUI, 91},
      {SDLK_CAPSLOCK, 20}, {SDLK_NUMLOCKCLEAR, 144}};
  for (const auto& [sym, vk] : table) {
    EXPECT_EQ(VirtualKeyCode(Key(sym)), vk) << SDL_GetKeyName(sym);
  }
}

TEST(VirtualKeys, NationalLayoutsKeepTheLettersOfTheirPlaces) {
  // A Cyrillic layout: the key at the place of S types "ы".
  EXPECT_EQ(VirtualKeyCode(Key(0x44B, SDL_SCANCODE_S)), 83);
  EXPECT_EQ(VirtualKeyCode(Key(0x439, SDL_SCANCODE_Q)), 81);
  // A French layout's "é" on the digit-2 key, and a character off the
  // letter keys.
  EXPECT_EQ(VirtualKeyCode(Key(0xE9, SDL_SCANCODE_2)), 50);
  EXPECT_EQ(VirtualKeyCode(Key(0xB2, SDL_SCANCODE_GRAVE)), 223);
  // A key with no code at all still reaches the handlers (as "any other key").
  EXPECT_EQ(VirtualKeyCode(Key(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN)), 0);
}

TEST(TypingKeys, KeysThatTypeACharacter) {
  for (SDL_Keycode sym : {SDLK_a, SDLK_s, SDLK_q, SDLK_z, SDLK_0, SDLK_SPACE, SDLK_RETURN,
                          SDLK_ESCAPE, SDLK_BACKSPACE, SDLK_TAB, SDLK_COMMA, SDLK_SLASH,
                          SDLK_KP_ENTER, SDLK_KP_PLUS, SDLK_KP_DIVIDE}) {
    EXPECT_TRUE(KeyMakesCharacter(Key(sym))) << SDL_GetKeyName(sym);
  }
  EXPECT_TRUE(KeyMakesCharacter(Key(0x44B, SDL_SCANCODE_S)));
}

TEST(TypingKeys, KeysThatTypeNothing) {
  for (SDL_Keycode sym : {SDLK_LSHIFT, SDLK_RSHIFT, SDLK_LCTRL, SDLK_LALT, SDLK_LGUI, SDLK_LEFT,
                          SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_F1, SDLK_F12, SDLK_HOME,
                          SDLK_PAGEDOWN, SDLK_INSERT, SDLK_DELETE, SDLK_CAPSLOCK,
                          SDLK_NUMLOCKCLEAR, SDLK_UNKNOWN}) {
    EXPECT_FALSE(KeyMakesCharacter(Key(sym))) << SDL_GetKeyName(sym);
  }
}

TEST(TypingKeys, KeypadDigitsTypeOnlyWithNumLock) {
  EXPECT_TRUE(KeyMakesCharacter(Key(SDLK_KP_5, SDL_SCANCODE_KP_5, KMOD_NUM)));
  EXPECT_FALSE(KeyMakesCharacter(Key(SDLK_KP_5, SDL_SCANCODE_KP_5, 0)));
  EXPECT_TRUE(KeyMakesCharacter(Key(SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, KMOD_NUM)));
}

}  // namespace
}  // namespace emberlrn
