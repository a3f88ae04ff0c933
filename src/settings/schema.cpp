#include "settings/schema.h"

#include "settings/ini_document.h"

namespace emberlrn {
namespace {

using namespace keys;

// The first-run values, then the living fire's switches, which are newer
// than those; SetReg last, so that an interrupted writer runs again.
constexpr std::array<const SettingKey*, 67> kWriteOrder = {
    &kAndIron,   &kRotateCk,  &kRotateT,  &kShowFP[0],   &kShowFP[1], &kShowFP[2], &kShowFP[3],
    &kShowFP[4], &kShowFP[5], &kShowM[0], &kShowM[1],    &kShowM[2],  &kShowM[3],  &kSpeed,

    &kCalendar,  &kCalPos,    &kFontSize, &kMessage,     &kMonitor,   &kMouseSen,  &kPower,
    &kPwrMsg,    &kRunMon,    &kShowMsg,  &kSound,       &kSoundOff,  &kSoundOn,   &kVol,

    &kBell[0],   &kBell[1],   &kMidi[0],  &kMidi[1],     &kMidi[2],   &kMidi[3],   &kMidi[4],
    &kMidi[5],   &kMidi[6],   &kMidi[7],  &kMidi[8],     &kMidi[9],   &kMidi[10],  &kMidi[11],
    &kMidi[12],  &kMidi[13],  &kMidi[14], &kMidi[15],    &kMidi[16],  &kMidi[17],  &kMidi[18],
    &kMidi[19],  &kMidi[20],  &kMidi[21], &kMidi[22],    &kMidi[23],  &kPoin[0],   &kPoin[1],
    &kShowS[0],  &kShowS[1],  &kShowS[2], &kShowS[3],    &kMusicOn,   &kStockLoc,

    &kFillWide,  &kFirelight, &kEmbers,   &kLivingFlame,

    &kSetReg,
};

}  // namespace

std::span<const SettingKey* const> AllSettings() { return kWriteOrder; }

const SettingKey* FindSetting(std::string_view section, std::string_view name) {
  for (const SettingKey* key : kWriteOrder) {
    if (EqualsIgnoreCase(key->section, section) && EqualsIgnoreCase(key->name, name)) return key;
  }
  return nullptr;
}

std::optional<int16_t> MonitorEntryMinutes(std::string_view text) {
  for (const MonitorEntry& entry : kMonitorEntries) {
    if (entry.text == text) return entry.minutes;
  }
  return std::nullopt;
}

}  // namespace emberlrn
