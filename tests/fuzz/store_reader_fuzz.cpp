// The settings file's text as the store reads it: every key is read back
// through the typed readers and the rules, the store's reading agrees with
// the document's, and a rewrite of one key leaves every other as it read.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "fakes/memory_store.h"
#include "fuzz_check.h"
#include "settings/ini_document.h"
#include "settings/ini_file_store.h"
#include "settings/schema.h"
#include "settings/setting_reader.h"
#include "settings/setting_rules.h"

namespace {

using namespace emberlrn;

constexpr std::string_view kMissing = "\x01missing";

// In memory where the system offers it: a disk file rewritten for every
// input is flushed on every close, at a few hundred inputs a second.
std::filesystem::path ScratchFile() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = tmp && *tmp ? tmp : "/tmp";
  if (!tmp && std::filesystem::is_directory("/dev/shm")) folder = "/dev/shm";
  std::string pattern = folder + "/emberlrn-fuzz-XXXXXX";
  if (!::mkdtemp(pattern.data())) std::abort();
  return std::filesystem::path(pattern) / "settings.ini";
}

void ReadThroughTheRules(const SettingsStore& store, const SettingKey& key) {
  const std::string text = GetTextSetting(store, key);
  (void)GetIntSetting(store, key);
  (void)GetBoolSetting(store, key);
  const int16_t speed = FlameSpeed(text);
  FUZZ_CHECK(speed >= 25 && speed <= 250);
  const int16_t volume = SoundVolume(text);
  FUZZ_CHECK(volume >= -2500 && volume <= 0);
  const int16_t corner = CalendarCorner(text);
  FUZZ_CHECK(corner >= 0 && corner <= 3);
  const int16_t size = MessageFontSize(text);
  FUZZ_CHECK(size >= 1 && size <= 400);
  const int16_t rotation = RotationMinutes(text);
  FUZZ_CHECK(rotation >= 0 && rotation <= 546);
  if (auto minutes = SoundOffMinutes(text)) FUZZ_CHECK(*minutes > 0 && *minutes <= 480);
  (void)MouseSensitivity(text);
  (void)StockingTop(text);
  (void)DecorationShown(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path file = ScratchFile();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(text.data(), text.size());

  const IniFileStore store(file);
  const IniDocument doc = IniDocument::Parse(text);
  IniDocument rewritten = doc;
  rewritten.Set(keys::kMessage.section, keys::kMessage.name, "rewritten");
  const IniDocument reread = IniDocument::Parse(rewritten.Serialize());
  FUZZ_CHECK(reread.Get(keys::kMessage.section, keys::kMessage.name) == "rewritten");
  // The file is read once per key; the typed reads then take what it gave.
  MemoryStore read;
  for (const SettingKey* key : AllSettings()) {
    const std::optional<std::string> inDoc = doc.Get(key->section, key->name);
    const std::string value = store.GetSetting("emberlrn", key->section, key->name, kMissing);
    FUZZ_CHECK(value == inDoc.value_or(std::string(kMissing)));
    if (inDoc) read.Preset(key->section, key->name, value);
    if (key != &keys::kMessage) FUZZ_CHECK(reread.Get(key->section, key->name) == inDoc);
  }
  for (const SettingKey* key : AllSettings()) ReadThroughTheRules(read, *key);
  return 0;
}
