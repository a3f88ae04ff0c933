#include "settings/first_run.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "fakes/memory_store.h"

namespace emberlrn {
namespace {

using W = MemoryStore::Write;

TEST(SetRegistryTest, WritesEveryFirstRunValueInOrderThenTheLivingFireWithSetRegLast) {
  MemoryStore store;
  SetRegistry(store);
  ASSERT_EQ(store.writes.size(), 67u);

  std::vector<W> expected = {
      {"emberlrn", "AndIron", "1"},     {"emberlrn", "RotateCk", "1"},
      {"emberlrn", "RotateT", "1"},     {"emberlrn", "ShowFP1", "1"},
      {"emberlrn", "ShowFP2", "1"},     {"emberlrn", "ShowFP3", "1"},
      {"emberlrn", "ShowFP4", "1"},     {"emberlrn", "ShowFP5", "1"},
      {"emberlrn", "ShowFP6", "0"},     {"emberlrn", "ShowM3", "1"},
      {"emberlrn", "ShowM4", "1"},      {"emberlrn", "ShowM5", "1"},
      {"emberlrn", "ShowM6", "1"},      {"emberlrn", "Speed", "100"},
      {"Settings", "Calendar", "0"},    {"Settings", "CalPos", "1"},
      {"Settings", "FontSize", "18"},   {"Settings", "Message", "Place a message here"},
      {"Settings", "Monitor", "Never"}, {"Settings", "MouseSen", "4"},
      {"Settings", "Power", "0"},       {"Settings", "PwrMsg", "False"},
      {"Settings", "RunMon", "False"},  {"Settings", "ShowMsg", "0"},
      {"Settings", "Sound", "1"},       {"Settings", "SoundOff", "0"},
      {"Settings", "SoundOn", "1"},     {"Settings", "Vol", "-1667"},
      {"xmas", "Bell1", "0"},           {"xmas", "Bell2", "0"}};
  for (int n = 1; n <= 24; ++n) expected.push_back({"xmas", "Midi" + std::to_string(n), "0"});
  expected.insert(expected.end(), {{"xmas", "Poin1", "0"},
                                   {"xmas", "Poin2", "0"},
                                   {"xmas", "ShowS1", "0"},
                                   {"xmas", "ShowS2", "0"},
                                   {"xmas", "ShowS3", "0"},
                                   {"xmas", "ShowS4", "0"},
                                   {"xmas", "SoundOn", "False"},
                                   {"xmas", "StockLoc", "19"},
                                   {"emberlrn", "FillWide", "1"},
                                   {"emberlrn", "Firelight", "1"},
                                   {"emberlrn", "Embers", "1"},
                                   {"emberlrn", "LivingFlame", "1"},
                                   {"Settings", "SetReg", "2"}});
  EXPECT_EQ(store.writes, expected);
}

TEST(SetRegistryTest, OverwritesWhatTheUserHadChanged) {
  MemoryStore store;
  store.Preset("Settings", "Vol", "0");
  store.Preset("xmas", "Midi7", "1");
  SetRegistry(store);
  EXPECT_EQ(store.Value("Settings", "Vol"), "-1667");
  EXPECT_EQ(store.Value("xmas", "Midi7"), "0");
}

TEST(FirstRunValueTest, KnowsEveryKeyWithoutRegardToCaseAndKeepsTheTwoSoundOnsApart) {
  EXPECT_EQ(FirstRunValue("settings", "monitor"), "Never");
  EXPECT_EQ(FirstRunValue("Settings", "SoundOn"), "1");
  EXPECT_EQ(FirstRunValue("xmas", "SoundOn"), "False");
  EXPECT_EQ(FirstRunValue("EMBERLRN", "livingflame"), "1");
  EXPECT_FALSE(FirstRunValue("Settings", "NoSuchKey").has_value());
  EXPECT_FALSE(FirstRunValue("Settings", "FillWide").has_value()) << "a fireplace key elsewhere";
  std::set<std::string> keys;
  for (const SettingDefault& d : FirstRunValues()) {
    keys.insert(std::string(d.section) + "/" + std::string(d.key));
  }
  EXPECT_EQ(keys.size(), 67u) << "a key is listed twice";
}

}  // namespace
}  // namespace emberlrn
