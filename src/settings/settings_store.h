#pragma once
// The per-user option store: text values addressed by application word,
// section and key, compared without regard to case. GetSetting and
// SaveSetting are the only way any part of the program touches it.

#include <string>
#include <string_view>

namespace emberlrn {

// The one application word every setting lives under.
inline constexpr std::string_view kAppName = "emberlrn";

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or fallback when the key (or its section) does not exist.
  virtual std::string GetSetting(std::string_view app, std::string_view section,
                                 std::string_view key,
                                 std::string_view fallback) const = 0;
  // Creates the section and key when needed and overwrites an existing value.
  // Reports no error to the caller; a failed write is told on standard error.
  virtual void SaveSetting(std::string_view app, std::string_view section,
                           std::string_view key, std::string_view value) = 0;
};

}  // namespace emberlrn
