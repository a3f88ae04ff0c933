#pragma once
// SDL's key events as the saver's key handlers understand them: Windows
// virtual-key codes (S 83, Q 81, space 32, letters and digits by their
// capital ASCII codes, Escape 27, Enter 13, arrows 37 to 40, Shift 16,
// F1 112 ...), and whether a key makes a character when typed.

#include <SDL.h>

#include <cstdint>

namespace emberlrn {

// The virtual-key code of a key; 0 for a key that has none. Letters follow
// the keyboard layout; on a layout without Latin letters a letter key gives
// the code of the letter at its place on a US keyboard, as Windows does.
int16_t VirtualKeyCode(const SDL_Keysym& key);

// True for a key that types a character: letters, digits, punctuation,
// space, Enter, Escape, Backspace and Tab, and the keypad's digits while Num
// Lock is on; false for Shift, Control, Alt, arrows, function keys and the
// like.
bool KeyMakesCharacter(const SDL_Keysym& key);

}  // namespace emberlrn
