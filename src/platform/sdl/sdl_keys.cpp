#include "platform/sdl/sdl_keys.h"

namespace emberlrn {

namespace {

struct KeyCode {
  SDL_Keycode sym;
  int16_t vk;
};

// Keys whose virtual-key code is not their own character code.
constexpr KeyCode kKeyTable[] = {
    {SDLK_BACKSPACE, 8},      {SDLK_TAB, 9},          {SDLK_RETURN, 13},
    {SDLK_KP_ENTER, 13},      {SDLK_LSHIFT, 16},      {SDLK_RSHIFT, 16},
    {SDLK_LCTRL, 17},         {SDLK_RCTRL, 17},       {SDLK_LALT, 18},
    {SDLK_RALT, 18},          {SDLK_PAUSE, 19},       {SDLK_CAPSLOCK, 20},
    {SDLK_ESCAPE, 27},        {SDLK_SPACE, 32},       {SDLK_PAGEUP, 33},
    {SDLK_PAGEDOWN, 34},      {SDLK_END, 35},         {SDLK_HOME, 36},
    {SDLK_LEFT, 37},          {SDLK_UP, 38},          {SDLK_RIGHT, 39},
    {SDLK_DOWN, 40},          {SDLK_SELECT, 41},      {SDLK_PRINTSCREEN, 44},
    {SDLK_INSERT, 45},        {SDLK_DELETE, 46},      {SDLK_HELP, 47},
    {SDLK_LGUI, 91},          {SDLK_RGUI, 92},        {SDLK_APPLICATION, 93},
    {SDLK_SLEEP, 95},         {SDLK_KP_0, 96},        {SDLK_KP_1, 97},
    {SDLK_KP_2, 98},          {SDLK_KP_3, 99},        {SDLK_KP_4, 100},
    {SDLK_KP_5, 101},         {SDLK_KP_6, 102},       {SDLK_KP_7, 103},
    {SDLK_KP_8, 104},         {SDLK_KP_9, 105},       {SDLK_KP_MULTIPLY, 106},
    {SDLK_KP_PLUS, 107},      {SDLK_KP_MINUS, 109},   {SDLK_KP_PERIOD, 110},
    {SDLK_KP_DIVIDE, 111},    {SDLK_NUMLOCKCLEAR, 144}, {SDLK_SCROLLLOCK, 145},
    {SDLK_SEMICOLON, 186},    {SDLK_EQUALS, 187},     {SDLK_COMMA, 188},
    {SDLK_MINUS, 189},        {SDLK_PERIOD, 190},     {SDLK_SLASH, 191},
    {SDLK_BACKQUOTE, 192},    {SDLK_LEFTBRACKET, 219}, {SDLK_BACKSLASH, 220},
    {SDLK_RIGHTBRACKET, 221}, {SDLK_QUOTE, 222},
    {SDLK_AUDIONEXT, 176},    {SDLK_AUDIOPREV, 177},  {SDLK_AUDIOSTOP, 178},
    {SDLK_AUDIOPLAY, 179},    {SDLK_AUDIOMUTE, 173},  {SDLK_VOLUMEDOWN, 174},
    {SDLK_VOLUMEUP, 175},
};

constexpr int16_t kVkF1 = 112;
constexpr int16_t kVkF13 = 124;
// The code Windows gives a key of a national layout that has no code of
// its own.
constexpr int16_t kVkOem8 = 223;

bool IsLetterOrDigitScancode(SDL_Scancode code) {
  return (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) ||
         (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_0);
}

// The US-keyboard character of a letter or digit key's place.
int16_t UsCodeOfScancode(SDL_Scancode code) {
  if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) {
    return static_cast<int16_t>('A' + (code - SDL_SCANCODE_A));
  }
  if (code == SDL_SCANCODE_0) return '0';
  return static_cast<int16_t>('1' + (code - SDL_SCANCODE_1));
}

}  // namespace

int16_t VirtualKeyCode(const SDL_Keysym& key) {
  const SDL_Keycode sym = key.sym;
  if (sym >= SDLK_a && sym <= SDLK_z) return static_cast<int16_t>('A' + (sym - SDLK_a));
  if (sym >= SDLK_0 && sym <= SDLK_9) return static_cast<int16_t>(sym);
  if (sym >= SDLK_F1 && sym <= SDLK_F12) return static_cast<int16_t>(kVkF1 + (sym - SDLK_F1));
  if (sym >= SDLK_F13 && sym <= SDLK_F24) return static_cast<int16_t>(kVkF13 + (sym - SDLK_F13));
  for (const KeyCode& entry : kKeyTable) {
    if (entry.sym == sym) return entry.vk;
  }
  // A character of a national layout: on a letter or digit key it is that
  // key's letter, otherwise one code for them all.
  if ((sym & SDLK_SCANCODE_MASK) == 0 && sym > 127) {
    return IsLetterOrDigitScancode(key.scancode) ? UsCodeOfScancode(key.scancode) : kVkOem8;
  }
  return 0;
}

bool KeyMakesCharacter(const SDL_Keysym& key) {
  const SDL_Keycode sym = key.sym;
  switch (sym) {
    case SDLK_KP_ENTER:
    case SDLK_KP_DIVIDE:
    case SDLK_KP_MULTIPLY:
    case SDLK_KP_MINUS:
    case SDLK_KP_PLUS:
      return true;
    case SDLK_KP_0:
    case SDLK_KP_1:
    case SDLK_KP_2:
    case SDLK_KP_3:
    case SDLK_KP_4:
    case SDLK_KP_5:
    case SDLK_KP_6:
    case SDLK_KP_7:
    case SDLK_KP_8:
    case SDLK_KP_9:
    case SDLK_KP_PERIOD:
      // Without Num Lock these keys move the cursor.
      return (key.mod & KMOD_NUM) != 0;
    case SDLK_UNKNOWN:
    case SDLK_DELETE:
      return false;
    default:
      // Keys named by a character (including Enter, Escape, Backspace and
      // Tab, and the letters of national layouts) type one; keys named by
      // their place (arrows, Shift, function keys) do not.
      return (sym & SDLK_SCANCODE_MASK) == 0;
  }
}

}  // namespace emberlrn
