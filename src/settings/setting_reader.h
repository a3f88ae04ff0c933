#pragma once
// Typed reads of the store. A stored text that does not convert (or a number
// outside 16 bits) gives the key's first-run value instead, so no reader ever
// meets garbage; the fallback text is what a missing key yields, as before.

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/schema.h"
#include "settings/settings_store.h"

namespace emberlrn {

int16_t GetIntSetting(const SettingsStore& store, std::string_view section, std::string_view key,
                      std::string_view fallback);

bool GetBoolSetting(const SettingsStore& store, std::string_view section, std::string_view key,
                    std::string_view fallback);

std::string GetTextSetting(const SettingsStore& store, std::string_view section,
                           std::string_view key, std::string_view fallback);

// The same reads of a key of the schema, with the saver's fallback for a
// missing key, or another one where a reader has its own.
int16_t GetIntSetting(const SettingsStore& store, const SettingKey& key);
int16_t GetIntSetting(const SettingsStore& store, const SettingKey& key, std::string_view fallback);
bool GetBoolSetting(const SettingsStore& store, const SettingKey& key);
std::string GetTextSetting(const SettingsStore& store, const SettingKey& key);
std::string GetTextSetting(const SettingsStore& store, const SettingKey& key,
                           std::string_view fallback);

// Stores a value under a key of the schema.
void SaveSetting(SettingsStore& store, const SettingKey& key, std::string_view value);

}  // namespace emberlrn
