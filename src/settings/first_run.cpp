#include "settings/first_run.h"

#include <array>

namespace emberlrn {
namespace {

// The schema's keys with their first-run values, in the writer's order.
std::array<SettingDefault, 63> MakeFirstRun() {
  std::array<SettingDefault, 63> values{};
  const auto all = AllSettings();
  for (size_t i = 0; i < values.size() && i < all.size(); ++i) {
    values[i] = {all[i]->section, all[i]->name, all[i]->firstRun};
  }
  return values;
}

const std::array<SettingDefault, 63>& FirstRun() {
  static const std::array<SettingDefault, 63> values = MakeFirstRun();
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
