#include "settings/first_run.h"

#include <vector>

namespace emberlrn {
namespace {

// The schema's keys with their first-run values, in the writer's order.
std::vector<SettingDefault> MakeFirstRun() {
  std::vector<SettingDefault> values;
  for (const SettingKey* key : AllSettings()) {
    values.push_back({key->section, key->name, key->firstRun});
  }
  return values;
}

const std::vector<SettingDefault>& FirstRun() {
  static const std::vector<SettingDefault> values = MakeFirstRun();
  return values;
}

}  // namespace

std::span<const SettingDefault> FirstRunValues() { return FirstRun(); }

std::optional<std::string_view> FirstRunValue(std::string_view section, std::string_view key) {
  if (const SettingKey* found = FindSetting(section, key)) return found->firstRun;
  return std::nullopt;
}

void SetRegistry(SettingsStore& store) {
  for (const SettingDefault& entry : FirstRun()) {
    store.SaveSetting(kAppName, entry.section, entry.key, entry.value);
  }
}

}  // namespace emberlrn
