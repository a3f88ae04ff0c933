#pragma once
// The Linux settings store: one text file per user. Every write re-reads the
// file under an exclusive lock, changes one key, writes a temporary file in
// the same folder, flushes it and renames it over the old one, so the dialog
// and a running saver never lose each other's writes and a crash leaves
// either the old file or the new one.
//
// A file that cannot be read (a folder, a device, a loop of links, one far
// larger than any settings file) is refused and never replaced. A write that
// fails, for whatever reason, leaves the old file as it was; the value is
// kept in memory and read back for the rest of the run. Standard error is
// told once per store.

#include <cstdint>
#include <filesystem>
#include <string>

#include "settings/file_calls.h"
#include "settings/ini_document.h"
#include "settings/settings_store.h"

namespace emberlrn {

class IniFileStore final : public SettingsStore {
 public:
  // The largest settings file read: the program's own keys take about two
  // kilobytes and the longest message a few more, so a file of this size is
  // no settings file, and a larger one would cost every read its size.
  static constexpr std::uintmax_t kLargestFile = std::uintmax_t{4} << 20;

  explicit IniFileStore(std::filesystem::path file, FileCalls& calls = FileCalls::System());

  // ${XDG_CONFIG_HOME:-$HOME/.config}/emberlrn/settings.ini
  static std::filesystem::path DefaultPath();

  std::string GetSetting(std::string_view app, std::string_view section, std::string_view key,
                         std::string_view fallback) const override;
  void SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                   std::string_view value) override;

  const std::filesystem::path& Path() const { return file_; }

 private:
  enum class ReadResult { kOk, kMissing, kFailed };
  ReadResult ReadFile(std::string& bytes) const;
  // Writes the document's text over the file; false after telling why.
  bool Replace(const std::string& text, const std::filesystem::path& folder);
  // Temporary files of writers that were killed half-way; only called under
  // the lock, when no other writer can be at work.
  void SweepLeftovers(const std::filesystem::path& folder) const;
  void Complain(const std::string& message) const;

  std::filesystem::path file_;
  FileCalls& calls_;
  IniDocument kept_;                 // values the file could not take
  mutable bool complained_ = false;  // standard error is told once per store
};

}  // namespace emberlrn
