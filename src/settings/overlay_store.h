#pragma once
// The user's settings seen through an overlay: pinned keys always read as
// their pinned value, whatever is stored. With writes kept, the user's file
// is never written: writes of this run stay in memory and are read back, so
// a run that must leave the settings alone (a preview pane) still sees the
// first-run values it would have stored. With writes passed on, every write
// reaches the user's store as usual.

#include <string>
#include <string_view>

#include "settings/ini_document.h"
#include "settings/settings_store.h"

namespace emberlrn {

class OverlayStore final : public SettingsStore {
 public:
  enum class Writes { kKept, kPassedOn };
  OverlayStore(SettingsStore& settings, Writes writes) : settings_(settings), writes_(writes) {}

  std::string GetSetting(std::string_view app, std::string_view section, std::string_view key,
                         std::string_view fallback) const override;
  void SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override;

  // From now on the key reads as value, whatever is stored or written.
  void Pin(std::string_view section, std::string_view key, std::string_view value);

 private:
  SettingsStore& settings_;
  Writes writes_;
  IniDocument written_;
  IniDocument pinned_;
};

}  // namespace emberlrn
