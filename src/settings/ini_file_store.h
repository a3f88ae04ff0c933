#pragma once
// The Linux settings store: one text file per user. Every write re-reads the
// file under an exclusive lock, changes one key, writes a temporary file in
// the same folder, flushes it and renames it over the old one, so the dialog
// and a running saver never lose each other's writes and a crash leaves
// either the old file or the new one.

#include <filesystem>
#include <string>

#include "settings/ini_document.h"
#include "settings/settings_store.h"

namespace emberlrn {

class IniFileStore final : public SettingsStore {
 public:
  explicit IniFileStore(std::filesystem::path file);

  // ${XDG_CONFIG_HOME:-$HOME/.config}/emberlrn/settings.ini
  static std::filesystem::path DefaultPath();

  std::string GetSetting(std::string_view app, std::string_view section,
                         std::string_view key, std::string_view fallback) const override;
  void SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override;

  const std::filesystem::path& Path() const { return file_; }

 private:
  enum class ReadResult { kOk, kMissing, kFailed };
  ReadResult ReadFile(std::string& bytes) const;
  void Complain(const std::string& message) const;

  std::filesystem::path file_;
  mutable bool complained_ = false;  // standard error is told once per store
};

}  // namespace emberlrn
