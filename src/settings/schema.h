#pragma once
// Every setting, declared once: its section, its key, what kind of value it
// holds, what the first-run writer stores, what the saver reads when the key
// is missing, the range the dialog's bar runs and the lists the dialog
// offers. The first-run writer, the saver's start-up, the dialog and the
// rules of setting_rules.h all take their keys from here, so a key's text is
// written in this file and nowhere else.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace emberlrn {

inline constexpr std::string_view kSectionFireplace = "emberlrn";
inline constexpr std::string_view kSectionSettings = "Settings";
inline constexpr std::string_view kSectionXmas = "xmas";

// A key's range as the dialog's bar runs: the value at the left (or top) end
// first. A stored number outside it counts as the nearer end.
struct SettingRange {
  int16_t first;
  int16_t last;
};

enum class SettingType {
  kFlag,     // "1" on, anything else off
  kBoolean,  // "True"/"False", or a number (non-zero true)
  kNumber,   // a number, held within its range where it has one
  kText,     // kept as stored
};

struct SettingKey {
  std::string_view section;
  std::string_view name;
  SettingType type;
  std::string_view firstRun;  // what the first-run writer stores
  std::string_view fallback;  // what the saver reads when the key is missing
  std::optional<SettingRange> range = std::nullopt;
};

namespace keys {

using enum SettingType;
inline constexpr std::string_view F = kSectionFireplace;
inline constexpr std::string_view S = kSectionSettings;
inline constexpr std::string_view X = kSectionXmas;

// [emberlrn]: the fireplace.
inline constexpr SettingKey kAndIron{F, "AndIron", kFlag, "1", "1"};
inline constexpr SettingKey kRotateCk{F, "RotateCk", kFlag, "1", "1"};
// Minutes; 546 is the longest period whose seconds fit the saver's 16 bits.
inline constexpr SettingKey kRotateT{F, "RotateT", kNumber, "1", "1", SettingRange{0, 546}};
// Style n is element n - 1.
inline constexpr std::array<SettingKey, 6> kShowFP{{
    {F, "ShowFP1", kFlag, "1", "1"},
    {F, "ShowFP2", kFlag, "1", "1"},
    {F, "ShowFP3", kFlag, "1", "1"},
    {F, "ShowFP4", kFlag, "1", "1"},
    {F, "ShowFP5", kFlag, "1", "1"},
    {F, "ShowFP6", kFlag, "0", "1"},
}};
// The separate mantles of styles 3 to 6; style n is element n - 3.
inline constexpr std::array<SettingKey, 4> kShowM{{
    {F, "ShowM3", kFlag, "1", "1"},
    {F, "ShowM4", kFlag, "1", "1"},
    {F, "ShowM5", kFlag, "1", "1"},
    {F, "ShowM6", kFlag, "1", "1"},
}};
// "Slow" to "Fast".
inline constexpr SettingKey kSpeed{F, "Speed", kNumber, "100", "1", SettingRange{250, 25}};
// The living fire, newer than the first-run values: the first-run writer
// stores them after those, and a missing key means on. The room's walls fill
// a screen wider than the scene; the fire lights the hearth and the
// surround; sparks rise from the logs; the flame's frames play in an order
// that never repeats.
inline constexpr SettingKey kFillWide{F, "FillWide", kFlag, "1", "1"};
inline constexpr SettingKey kFirelight{F, "Firelight", kFlag, "1", "1"};
inline constexpr SettingKey kEmbers{F, "Embers", kFlag, "1", "1"};
inline constexpr SettingKey kLivingFlame{F, "LivingFlame", kFlag, "1", "1"};

// [Settings]: the calendar, the message, the sound and the power hand-over.
inline constexpr SettingKey kCalendar{S, "Calendar", kFlag, "0", "1"};
inline constexpr SettingKey kCalPos{S, "CalPos", kNumber, "1", "1", SettingRange{0, 3}};
inline constexpr SettingKey kFontSize{S, "FontSize", kNumber, "18", "1", SettingRange{1, 400}};
inline constexpr SettingKey kMessage{S, "Message", kText, "Place a message here", "1"};
inline constexpr SettingKey kMonitor{S, "Monitor", kText, "Never", "1"};
// "Light Touch" to "HeavyTouch".
inline constexpr SettingKey kMouseSen{S, "MouseSen", kNumber, "4", "1", SettingRange{2, 20}};
inline constexpr SettingKey kPower{S, "Power", kFlag, "0", "1"};
inline constexpr SettingKey kPwrMsg{S, "PwrMsg", kBoolean, "False", "False"};
inline constexpr SettingKey kRunMon{S, "RunMon", kBoolean, "False", "False"};
inline constexpr SettingKey kShowMsg{S, "ShowMsg", kFlag, "0", "1"};
// The fire sound's switch as the S key brings it back; only the first run writes it.
inline constexpr SettingKey kSound{S, "Sound", kFlag, "1", "1"};
// Minutes, at most 480; zero, negatives and words mean never.
inline constexpr SettingKey kSoundOff{S, "SoundOff", kNumber, "0", "1"};
inline constexpr SettingKey kSoundOn{S, "SoundOn", kFlag, "1", "1"};
// The crackles over the fire sound. Newer than the first-run values, so the
// first-run writer leaves it out and a missing key means on.
inline constexpr SettingKey kCrackle{S, "Crackle", kFlag, "1", "1"};
// Where the fire burns: on every monitor, or on the first only. Newer than
// the first-run values, so the first-run writer leaves it out and a missing
// key means every monitor.
inline constexpr SettingKey kMonitors{S, "Monitors", kText, "All", "All"};
inline constexpr std::string_view kMonitorsAll = "All";
inline constexpr std::string_view kMonitorsFirstOnly = "First only";
// "Soft" to "Loud", in hundredths of a decibel.
inline constexpr SettingKey kVol{S, "Vol", kNumber, "-1667", "1", SettingRange{-2500, 0}};
// "2" once the first-run values are written.
inline constexpr SettingKey kSetReg{S, "SetReg", kNumber, "2", "1"};

// [xmas]: the decorations and the carols.
inline constexpr std::array<SettingKey, 2> kBell{{
    {X, "Bell1", kText, "0", "1"},
    {X, "Bell2", kText, "0", "1"},
}};
// Carol n is element n - 1.
inline constexpr std::array<SettingKey, 24> kMidi{{
    {X, "Midi1", kFlag, "0", "1"},  {X, "Midi2", kFlag, "0", "1"},  {X, "Midi3", kFlag, "0", "1"},
    {X, "Midi4", kFlag, "0", "1"},  {X, "Midi5", kFlag, "0", "1"},  {X, "Midi6", kFlag, "0", "1"},
    {X, "Midi7", kFlag, "0", "1"},  {X, "Midi8", kFlag, "0", "1"},  {X, "Midi9", kFlag, "0", "1"},
    {X, "Midi10", kFlag, "0", "1"}, {X, "Midi11", kFlag, "0", "1"}, {X, "Midi12", kFlag, "0", "1"},
    {X, "Midi13", kFlag, "0", "1"}, {X, "Midi14", kFlag, "0", "1"}, {X, "Midi15", kFlag, "0", "1"},
    {X, "Midi16", kFlag, "0", "1"}, {X, "Midi17", kFlag, "0", "1"}, {X, "Midi18", kFlag, "0", "1"},
    {X, "Midi19", kFlag, "0", "1"}, {X, "Midi20", kFlag, "0", "1"}, {X, "Midi21", kFlag, "0", "1"},
    {X, "Midi22", kFlag, "0", "1"}, {X, "Midi23", kFlag, "0", "1"}, {X, "Midi24", kFlag, "0", "1"},
}};
inline constexpr std::array<SettingKey, 2> kPoin{{
    {X, "Poin1", kText, "0", "1"},
    {X, "Poin2", kText, "0", "1"},
}};
// Stocking n is element n - 1.
inline constexpr std::array<SettingKey, 4> kShowS{{
    {X, "ShowS1", kFlag, "0", "1"},
    {X, "ShowS2", kFlag, "0", "1"},
    {X, "ShowS3", kFlag, "0", "1"},
    {X, "ShowS4", kFlag, "0", "1"},
}};
// The carols' switch; the same key as the fire sound's, in another section.
inline constexpr SettingKey kMusicOn{X, "SoundOn", kBoolean, "False", "1"};
// The stockings' top edge, "Higher" to "Lower".
inline constexpr SettingKey kStockLoc{X, "StockLoc", kNumber, "19", "2", SettingRange{-20, 100}};

}  // namespace keys

// Every key in the order the first-run writer stores them; "SetReg" last.
std::span<const SettingKey* const> AllSettings();

// Whether the stored "Monitors" text puts the fire on every monitor: any
// text but the first-only one does, so a garbled value still covers them all.
constexpr bool FireOnEveryMonitor(std::string_view stored) {
  return stored != keys::kMonitorsFirstOnly;
}

// The key of that section and name (compared without regard to case).
const SettingKey* FindSetting(std::string_view section, std::string_view name);

// The monitor list with the minutes each entry stands for; "Never" stands
// for none.
struct MonitorEntry {
  std::string_view text;
  int16_t minutes;  // 0 for "Never"
};
inline constexpr std::array<MonitorEntry, 16> kMonitorEntries{{
    {"1 Minute", 1},
    {"2 Minutes", 2},
    {"3 Minutes", 3},
    {"5 Minutes", 5},
    {"10 Minutes", 10},
    {"15 Minutes", 15},
    {"20 Minutes", 20},
    {"25 Minutes", 25},
    {"30 Minutes", 30},
    {"45 Minutes", 45},
    {"1 hour", 60},
    {"2 hours", 120},
    {"3 hours", 180},
    {"4 hours", 240},
    {"5 hours", 300},
    {"Never", 0},
}};
// The minutes the monitor entry stands for; nothing for a text that is no entry.
std::optional<int16_t> MonitorEntryMinutes(std::string_view text);

// The word the sound-off list shows for never; the store holds it as "0".
inline constexpr std::string_view kSoundOffNever = "Never";
inline constexpr std::array<std::string_view, 20> kSoundOffEntries = {
    kSoundOffNever, "1",  "2",  "3",   "4",   "5",   "10",  "15",  "20",  "30",
    "45",           "60", "90", "120", "180", "240", "300", "360", "420", "480"};
inline constexpr std::array<std::string_view, 15> kRotateEntries = {
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "15", "20", "30", "45", "60"};

}  // namespace emberlrn
