#include "settings/first_run.h"

#include <array>

#include "settings/ini_document.h"

namespace emberlrn {
namespace {

constexpr std::string_view F = kSectionFireplace;
constexpr std::string_view S = kSectionSettings;
constexpr std::string_view X = kSectionXmas;

constexpr std::array<SettingDefault, 63> kFirstRun = {{
    {F, "AndIron", "1"},   {F, "RotateCk", "1"}, {F, "RotateT", "1"},
    {F, "ShowFP1", "1"},   {F, "ShowFP2", "1"},  {F, "ShowFP3", "1"},
    {F, "ShowFP4", "1"},   {F, "ShowFP5", "1"},  {F, "ShowFP6", "0"},
    {F, "ShowM3", "1"},    {F, "ShowM4", "1"},   {F, "ShowM5", "1"},
    {F, "ShowM6", "1"},    {F, "Speed", "100"},

    {S, "Calendar", "0"},  {S, "CalPos", "1"},   {S, "FontSize", "18"},
    {S, "Message", "Place a message here"},      {S, "Monitor", "Never"},
    {S, "MouseSen", "4"},  {S, "Power", "0"},    {S, "PwrMsg", "False"},
    {S, "RunMon", "False"}, {S, "ShowMsg", "0"}, {S, "Sound", "1"},
    {S, "SoundOff", "0"},  {S, "SoundOn", "1"},  {S, "Vol", "-1667"},

    {X, "Bell1", "0"},     {X, "Bell2", "0"},
    {X, "Midi1", "0"},     {X, "Midi2", "0"},    {X, "Midi3", "0"},
    {X, "Midi4", "0"},     {X, "Midi5", "0"},    {X, "Midi6", "0"},
    {X, "Midi7", "0"},     {X, "Midi8", "0"},    {X, "Midi9", "0"},
    {X, "Midi10", "0"},    {X, "Midi11", "0"},   {X, "Midi12", "0"},
    {X, "Midi13", "0"},    {X, "Midi14", "0"},   {X, "Midi15", "0"},
    {X, "Midi16", "0"},    {X, "Midi17", "0"},   {X, "Midi18", "0"},
    {X, "Midi19", "0"},    {X, "Midi20", "0"},   {X, "Midi21", "0"},
    {X, "Midi22", "0"},    {X, "Midi23", "0"},   {X, "Midi24", "0"},
    {X, "Poin1", "0"},     {X, "Poin2", "0"},
    {X, "ShowS1", "0"},    {X, "ShowS2", "0"},   {X, "ShowS3", "0"},
    {X, "ShowS4", "0"},    {X, "SoundOn", "False"}, {X, "StockLoc", "19"},

    {S, "SetReg", "2"},
}};

}  // namespace

std::span<const SettingDefault> FirstRunValues() { return kFirstRun; }

std::optional<std::string_view> FirstRunValue(std::string_view section, std::string_view key) {
  for (const SettingDefault& entry : kFirstRun) {
    if (EqualsIgnoreCase(entry.section, section) && EqualsIgnoreCase(entry.key, key)) {
      return entry.value;
    }
  }
  return std::nullopt;
}

void SetRegistry(SettingsStore& store) {
  for (const SettingDefault& entry : kFirstRun) {
    store.SaveSetting(kAppName, entry.section, entry.key, entry.value);
  }
}

}  // namespace emberlrn
