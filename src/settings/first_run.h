#pragma once
// The first-run values of every setting, and the writer that puts them in
// the store on a first start (or whenever keys::kSetReg has been lost).

#include <optional>
#include <span>
#include <string_view>

#include "settings/schema.h"
#include "settings/settings_store.h"

namespace emberlrn {

struct SettingDefault {
  std::string_view section;
  std::string_view key;
  std::string_view value;
};

// Every key with its first-run value, in the order the writer stores them;
// keys::kSetReg comes last.
std::span<const SettingDefault> FirstRunValues();

// The first-run value of a key (names compared without regard to case).
std::optional<std::string_view> FirstRunValue(std::string_view section, std::string_view key);

// Writes every first-run value, then keys::kSetReg = "2". Overwrites what exists.
void SetRegistry(SettingsStore& store);

}  // namespace emberlrn
