#include "settings/conversions.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fakes/memory_store.h"
#include "settings/schema.h"
#include "settings/setting_reader.h"

namespace emberlrn {
namespace {

namespace fs = std::filesystem;

TEST(ConversionsTest, IntegersReadAsTheStoreHasAlwaysReadThem) {
  EXPECT_EQ(ToInt16("2"), 2);
  EXPECT_EQ(ToInt16("02"), 2);
  EXPECT_EQ(ToInt16(" 7 "), 7);
  EXPECT_EQ(ToInt16("-1667"), -1667);
  EXPECT_EQ(ToInt16("+5"), 5);
  EXPECT_EQ(ToInt16("1.0"), 1);
  EXPECT_EQ(ToInt16("1e2"), 100);
  EXPECT_EQ(ToInt16(".5"), 0);
  EXPECT_EQ(ToInt16("32767"), 32767);
  EXPECT_EQ(ToInt16("-32768"), -32768);
}

TEST(ConversionsTest, HalvesRoundToTheEvenNeighbour) {
  EXPECT_EQ(ToInt16("0.5"), 0);
  EXPECT_EQ(ToInt16("1.5"), 2);
  EXPECT_EQ(ToInt16("2.5"), 2);
  EXPECT_EQ(ToInt16("3.5"), 4);
  EXPECT_EQ(ToInt16("-2.5"), -2);
  EXPECT_EQ(ToInt16("2.51"), 3);
  EXPECT_EQ(ToInt16("32767.4"), 32767);
}

TEST(ConversionsTest, TextThatIsNoSixteenBitNumberGivesNothing) {
  for (const char* text : {"", " ", "abc", "1a", "1 2", "--1", "1.2.3", "e5", "1e", "0x10", "1,5",
                           "32768", "-32769", "32767.5", "1e10", "nan", "inf"}) {
    EXPECT_FALSE(ToInt16(text).has_value()) << '"' << text << '"';
  }
}

TEST(ConversionsTest, ADecimalPointReadsTheSameWhereTheLocaleWritesAComma) {
  // The dialog's toolkit takes the user's locale; German writes 1,5.
  const fs::path folder =
      fs::temp_directory_path() / ("emberlrn-numeric-" + std::to_string(getpid()));
  fs::create_directories(folder);
  setenv("LOCPATH", folder.c_str(), 1);
  const std::string make =
      "localedef -i de_DE -f UTF-8 " + (folder / "de_DE.UTF-8").string() + " >/dev/null 2>&1";
  [[maybe_unused]] const int status = std::system(make.c_str());  // warnings are no failure
  const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  const std::optional<double> half = ParseNumber("1.5");
  const std::optional<int16_t> rounded = ToInt16("2.51");
  std::setlocale(LC_NUMERIC, "C");
  unsetenv("LOCPATH");
  fs::remove_all(folder);
  if (!german) GTEST_SKIP() << "the German locale cannot be made here";
  EXPECT_EQ(half, 1.5);
  EXPECT_EQ(rounded, 3);
}

TEST(ConversionsTest, TruthsAcceptWordsInAnyCaseAndNumbers) {
  EXPECT_EQ(ToBool("True"), true);
  EXPECT_EQ(ToBool("false"), false);
  EXPECT_EQ(ToBool(" TRUE "), true);
  EXPECT_EQ(ToBool("1"), true);
  EXPECT_EQ(ToBool("-1"), true);
  EXPECT_EQ(ToBool("0"), false);
  EXPECT_EQ(ToBool("0.0"), false);
  EXPECT_EQ(ToBool("2"), true);
  EXPECT_FALSE(ToBool("").has_value());
  EXPECT_FALSE(ToBool("yes").has_value());
  EXPECT_FALSE(ToBool("Truely").has_value());
}

TEST(SettingReaderTest, MissingKeysYieldTheFallbackAndGarbageTheFirstRunValue) {
  MemoryStore store;
  EXPECT_EQ(GetIntSetting(store, "Settings", "MouseSen", "1"), 1);  // missing: the fallback
  store.Preset("Settings", "MouseSen", "lots");
  EXPECT_EQ(GetIntSetting(store, "Settings", "MouseSen", "1"), 4);  // garbage: first-run 4
  store.Preset("Settings", "MouseSen", "99999");
  EXPECT_EQ(GetIntSetting(store, "Settings", "MouseSen", "1"), 4);  // beyond 16 bits
  store.Preset("Settings", "FontSize", "");
  EXPECT_EQ(GetIntSetting(store, "Settings", "FontSize", "1"), 18);
  store.Preset("xmas", "SoundOn", "maybe");
  EXPECT_FALSE(GetBoolSetting(store, "xmas", "SoundOn", "1"));  // first-run "False"
  store.Preset("Settings", "RunMon", "TRUE");
  EXPECT_TRUE(GetBoolSetting(store, "settings", "runmon", ""));
}

TEST(SettingReaderTest, TheLivingFireIsOnUnlessAZeroIsStored) {
  MemoryStore store;
  const SettingKey* switches[] = {&keys::kFillWide, &keys::kFirelight, &keys::kEmbers,
                                  &keys::kLivingFlame};
  for (const SettingKey* key : switches) {
    EXPECT_EQ(FindSetting("emberlrn", key->name), key);
    EXPECT_EQ(GetIntSetting(store, *key), 1) << key->name << " missing";
    store.Preset("emberlrn", key->name, "0");
    EXPECT_EQ(GetIntSetting(store, *key), 0) << key->name;
    store.Preset("emberlrn", key->name, "off");
    EXPECT_EQ(GetIntSetting(store, *key), 1) << key->name << " garbled";
  }
}

TEST(SettingReaderTest, TheFireBurnsOnEveryMonitorUnlessTheFirstOnlyIsStored) {
  MemoryStore store;
  EXPECT_EQ(GetTextSetting(store, keys::kMonitors), "All");  // missing: every monitor
  EXPECT_TRUE(FireOnEveryMonitor(GetTextSetting(store, keys::kMonitors)));
  store.Preset("settings", "monitors", "First only");
  EXPECT_FALSE(FireOnEveryMonitor(GetTextSetting(store, keys::kMonitors)));
  for (const char* other : {"All", "", "first", "2"}) EXPECT_TRUE(FireOnEveryMonitor(other));
  // The power hand-over's "Monitor" is a key of its own.
  EXPECT_EQ(GetTextSetting(store, keys::kMonitor), "1");
}

}  // namespace
}  // namespace emberlrn
