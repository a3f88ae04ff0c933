#include "settings/overlay_store.h"

namespace emberlrn {

std::string OverlayStore::GetSetting(std::string_view app, std::string_view section,
                                     std::string_view key, std::string_view fallback) const {
  if (auto value = pinned_.Get(section, key)) return *value;
  if (auto value = written_.Get(section, key)) return *value;
  return settings_.GetSetting(app, section, key, fallback);
}

void OverlayStore::SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                               std::string_view value) {
  if (writes_ == Writes::kPassedOn) {
    settings_.SaveSetting(app, section, key, value);
  } else {
    written_.Set(section, key, value);
  }
}

void OverlayStore::Pin(std::string_view section, std::string_view key, std::string_view value) {
  pinned_.Set(section, key, value);
}

}  // namespace emberlrn
