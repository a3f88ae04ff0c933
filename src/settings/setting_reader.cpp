#include "settings/setting_reader.h"

#include "settings/conversions.h"
#include "settings/first_run.h"

namespace emberlrn {

int16_t GetIntSetting(const SettingsStore& store, std::string_view section, std::string_view key,
                      std::string_view fallback) {
  const std::string text = store.GetSetting(kAppName, section, key, fallback);
  if (auto value = ToInt16(text)) return *value;
  if (auto firstRun = FirstRunValue(section, key)) {
    if (auto value = ToInt16(*firstRun)) return *value;
  }
  if (auto value = ToInt16(fallback)) return *value;
  return 0;
}

bool GetBoolSetting(const SettingsStore& store, std::string_view section, std::string_view key,
                    std::string_view fallback) {
  const std::string text = store.GetSetting(kAppName, section, key, fallback);
  if (auto value = ToBool(text)) return *value;
  if (auto firstRun = FirstRunValue(section, key)) {
    if (auto value = ToBool(*firstRun)) return *value;
  }
  if (auto value = ToBool(fallback)) return *value;
  return false;
}

std::string GetTextSetting(const SettingsStore& store, std::string_view section,
                           std::string_view key, std::string_view fallback) {
  return store.GetSetting(kAppName, section, key, fallback);
}

int16_t GetIntSetting(const SettingsStore& store, const SettingKey& key) {
  return GetIntSetting(store, key.section, key.name, key.fallback);
}

int16_t GetIntSetting(const SettingsStore& store, const SettingKey& key,
                      std::string_view fallback) {
  return GetIntSetting(store, key.section, key.name, fallback);
}

bool GetBoolSetting(const SettingsStore& store, const SettingKey& key) {
  return GetBoolSetting(store, key.section, key.name, key.fallback);
}

std::string GetTextSetting(const SettingsStore& store, const SettingKey& key) {
  return GetTextSetting(store, key.section, key.name, key.fallback);
}

std::string GetTextSetting(const SettingsStore& store, const SettingKey& key,
                           std::string_view fallback) {
  return GetTextSetting(store, key.section, key.name, fallback);
}

void SaveSetting(SettingsStore& store, const SettingKey& key, std::string_view value) {
  store.SaveSetting(kAppName, key.section, key.name, value);
}

}  // namespace emberlrn
