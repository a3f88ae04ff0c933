#include "settings/conversions.h"

#include <gtest/gtest.h>

#include "settings/setting_reader.h"
#include "fakes/memory_store.h"

namespace emberlrn {
namespace {

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

}  // namespace
}  // namespace emberlrn
