#pragma once
// What a stored value means, for every key whose text the saver turns into a
// number within limits and the dialog shows in a bar, a box or a list. The
// saver's start-up and the dialog's load both read these keys through the
// routines here and nowhere else, so the dialog shows what the saver will do
// with any stored text, a hand-edited or garbled one included. Each routine
// takes the stored text (or the reader's fallback when the key is missing)
// and never fails: a text that is no number means the key's first-run value.

#include <cstdint>
#include <optional>
#include <string_view>

#include "settings/schema.h"

namespace emberlrn {

// The ranges of the keys the dialog shows in bars.
inline constexpr SettingRange kMouseSenRange = *keys::kMouseSen.range;
inline constexpr SettingRange kVolRange = *keys::kVol.range;
inline constexpr SettingRange kSpeedRange = *keys::kSpeed.range;
inline constexpr SettingRange kStockLocRange = *keys::kStockLoc.range;

// The longest sound-off time, eight hours: the list's last entry.
inline constexpr double kSoundOffLongestMinutes = 480.0;

// SoundOff: the minutes after which the fire sound stops, above 0 and at most
// 480; nothing when the sound is never stopped, which is what zero, a
// negative number and a text that is no number mean. Any number counts, not
// only the list's entries: whoever writes "25" by hand wants 25 minutes, not
// a fire silenced at once.
std::optional<double> SoundOffMinutes(std::string_view stored);

// RotateT: the minutes between style changes, rounded, 0 to 546; 0 (what a
// negative number also gives) never changes the style.
int16_t RotationMinutes(std::string_view stored);

// Speed, Vol, MouseSen, StockLoc: the number rounded and held within the
// key's range above.
int16_t FlameSpeed(std::string_view stored);
int16_t SoundVolume(std::string_view stored);
int16_t MouseSensitivity(std::string_view stored);
int16_t StockingTop(std::string_view stored);

// FontSize: the point size, rounded, at most 400; a size below 1 point is no
// size and means the first-run 18.
int16_t MessageFontSize(std::string_view stored);

// CalPos: the corner 0 to 3, rounded; a number that names no corner means the
// first-run corner, bottom left.
int16_t CalendarCorner(std::string_view stored);

// Bell1, Bell2, Poin1, Poin2: the decoration shows when the stored text reads
// as exactly the number 1 ("1", "1.0", " 1"); "1.4", "2" and words do not.
bool DecorationShown(std::string_view stored);

}  // namespace emberlrn
