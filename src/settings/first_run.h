#pragma once
// The first-run values of every setting, and the writer that puts them in
// the store on a first start (or whenever "SetReg" has been lost).

#include <optional>
#include <span>
#include <string_view>

#include "settings/settings_store.h"

namespace emberlrn {

inline constexpr std::string_view kSectionFireplace = "emberlrn";
inline constexpr std::string_view kSectionSettings = "Settings";
inline constexpr std::string_view kSectionXmas = "xmas";

struct SettingDefault {
  std::string_view section;
  std::string_view key;
  std::string_view value;
};

// Every key with its first-run value, in the order the writer stores them;
// "SetReg" comes last.
std::span<const SettingDefault> FirstRunValues();

// The first-run value of a key (names compared without regard to case).
std::optional<std::string_view> FirstRunValue(std::string_view section, std::string_view key);

// Writes every first-run value, then "SetReg" = "2". Overwrites what exists.
void SetRegistry(SettingsStore& store);

}  // namespace emberlrn
