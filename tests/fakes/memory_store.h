#pragma once
// A settings store in memory that records every write in order, for tests
// that check what the program stores and when.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "settings/ini_document.h"
#include "settings/settings_store.h"

namespace emberlrn {

class MemoryStore final : public SettingsStore {
 public:
  struct Write {
    std::string section;
    std::string key;
    std::string value;
    bool operator==(const Write&) const = default;
  };

  std::string GetSetting(std::string_view, std::string_view section, std::string_view key,
                         std::string_view fallback) const override {
    ++reads;
    if (auto value = doc_.Get(section, key)) return *value;
    return std::string(fallback);
  }

  void SaveSetting(std::string_view, std::string_view section, std::string_view key,
                   std::string_view value) override {
    doc_.Set(section, key, value);
    writes.push_back({std::string(section), std::string(key), std::string(value)});
  }

  // Puts a value in place without recording it as a write.
  void Preset(std::string_view section, std::string_view key, std::string_view value) {
    doc_.Set(section, key, value);
  }

  bool Has(std::string_view section, std::string_view key) const {
    return doc_.Get(section, key).has_value();
  }
  std::string Value(std::string_view section, std::string_view key) const {
    return doc_.Get(section, key).value_or("<missing>");
  }

  std::vector<Write> writes;
  mutable int reads = 0;

 private:
  IniDocument doc_;
};

}  // namespace emberlrn
