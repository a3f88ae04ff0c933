#include "settings/read_only_store.h"

namespace emberlrn {

std::string ReadOnlyStore::GetSetting(std::string_view app, std::string_view section,
                                      std::string_view key, std::string_view fallback) const {
  if (auto value = pinned_.Get(section, key)) return *value;
  if (auto value = written_.Get(section, key)) return *value;
  return settings_.GetSetting(app, section, key, fallback);
}

void ReadOnlyStore::SaveSetting(std::string_view, std::string_view section, std::string_view key,
                                std::string_view value) {
  written_.Set(section, key, value);
}

void ReadOnlyStore::Pin(std::string_view section, std::string_view key, std::string_view value) {
  pinned_.Set(section, key, value);
}

}  // namespace emberlrn
