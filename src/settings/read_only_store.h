#pragma once
// A view of the user's settings that never writes them: writes of this run
// are kept in memory and read back, so a run that must leave the settings
// alone (a preview pane) still sees the first-run values it would have
// stored. Pinned keys always read as their pinned value.

#include <string>
#include <string_view>

#include "settings/ini_document.h"
#include "settings/settings_store.h"

namespace emberlrn {

class ReadOnlyStore final : public SettingsStore {
 public:
  explicit ReadOnlyStore(const SettingsStore& settings) : settings_(settings) {}

  std::string GetSetting(std::string_view app, std::string_view section, std::string_view key,
                         std::string_view fallback) const override;
  void SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override;

  // From now on the key reads as value, whatever is stored or written.
  void Pin(std::string_view section, std::string_view key, std::string_view value);

 private:
  const SettingsStore& settings_;
  IniDocument written_;
  IniDocument pinned_;
};

}  // namespace emberlrn
