#include "scene/scene_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_ddrw.h"
#include "fakes/fake_display_modes.h"
#include "fakes/fake_system.h"
#include "fakes/memory_store.h"
#include "scene/display_session.h"
#include "settings/first_run.h"
#include "frame/clocks.h"

namespace emberlrn {
namespace {

struct XY {
  int x, y;
};

struct SceneTest : ::testing::Test {
  SceneTest() {
    choices.installFolder = "/data/";
    choices.decorations.stockingTop = 19;
    choices.calendarCorner = 1;
    choices.decorations.showAndirons = 1;
    choices.anyStyleShown = true;
    choices.flameSpeed = 100;
    store.Preset(kSectionSettings, "RunMon", "False");
    store.Preset(kSectionSettings, "PwrMsg", "False");
  }

  // The files loaded, in order, as "file:code" (frames past the first as "file#n:code").
  std::vector<std::string> Loads() const {
    std::vector<std::string> loads;
    for (const std::string& call : ddrw.calls) {
      if (call.rfind("LoadSpriteFrame(", 0) != 0) continue;
      loads.push_back(call);
    }
    return loads;
  }
  FakeDDrw::Sprite& At(int32_t sprite) { return ddrw.sprites.at(sprite); }

  SceneChoices choices;
  SceneSprites sprites;
  FakeDDrw ddrw;
  MemoryStore store;
};

std::string Load(int sprite, int frame, const std::string& file, int code) {
  return "LoadSpriteFrame(" + std::to_string(sprite) + "," + std::to_string(frame) + ",/data/" +
         file + "," + std::to_string(code) + ")";
}

TEST_F(SceneTest, All37SpritesInCatalogueOrderWithTheirFilesAndLoadCodes) {
  sprites = LoadScene(choices, ddrw, store);
  std::vector<std::string> expected;
  int sprite = 0;
  const auto One = [&](const std::string& file, int code = -1) {
    expected.push_back(Load(++sprite, 1, file, code));
  };
  for (int i = 0; i < 4; ++i) One("Stocking.bmp");
  One("poinr.bmp");
  One("poinl.bmp");
  One("bellr.bmp");
  One("belll.bmp");
  One("Calendar.bmp");
  ++sprite;
  for (int f = 1; f <= 10; ++f) {
    expected.push_back(Load(sprite, f, "Flame" + std::to_string(f) + ".bmp", -1));
  }
  One("Logs.bmp");
  for (const char* name :
       {"marLeftSide", "marRightSide", "marTopSide", "mar2LeftSide", "mar2RightSide", "mar2TopSide",
        "RiverRockL",  "RiverRockR",   "RiverRockT", "m-RiverRock",  "DRiverRockL",   "DRiverRockR",
        "DRiverRockT", "m-DRiverRock", "FlatStoneL", "FlatStoneR",   "FlatStoneT",    "m-Flatstone",
        "OldRockL",    "OldRockR",     "OldRockT",   "m-OldRock"}) {
    One(std::string(name) + ".bmp");
  }
  One("AndIronL.bmp");
  One("AndIronR.bmp");
  One("monitor.bmp", -2);
  One("pwrmsg.bmp", -2);
  EXPECT_EQ(Loads(), expected);
  EXPECT_EQ(ddrw.Count("CreateSprite"), 37);

  // Each sprite is made, loaded and placed before the next one is made.
  EXPECT_EQ(std::vector<std::string>(ddrw.calls.begin(), ddrw.calls.begin() + 4),
            (std::vector<std::string>{"CreateSprite()=1", Load(1, 1, "Stocking.bmp", -1),
                                      "SetSpriteX(1,95)", "SetSpriteY(1,19)"}));
  // The flame: ten frames, then frame 1, its pace, its place.
  const auto flame = std::find(ddrw.calls.begin(), ddrw.calls.end(), "CreateSprite()=10");
  ASSERT_NE(flame, ddrw.calls.end());
  EXPECT_EQ(std::vector<std::string>(flame + 11, flame + 15),
            (std::vector<std::string>{"SetSpriteFrame(10,1)", "SetSpriteSpeed(10,100)",
                                      "SetSpriteX(10,70)", "SetSpriteY(10,27)"}));
}

TEST_F(SceneTest, TheStateKeepsEverySpriteNumber) {
  sprites = LoadScene(choices, ddrw, store);
  EXPECT_EQ(sprites.stockingSprite[0], 1);
  EXPECT_EQ(sprites.stockingSprite[3], 4);
  EXPECT_EQ(sprites.poinrSprite, 5);
  EXPECT_EQ(sprites.belllSprite, 8);
  EXPECT_EQ(sprites.calendarSprite, 9);
  EXPECT_EQ(sprites.flameSprite, 10);
  EXPECT_EQ(sprites.logsSprite, 11);
  EXPECT_EQ(sprites.surroundLeft[1], 12);
  EXPECT_EQ(sprites.surroundTop[2], 17);
  EXPECT_EQ(sprites.mantleSprite[3], 21);
  EXPECT_EQ(sprites.mantleSprite[6], 33);
  EXPECT_EQ(sprites.mantleSprite[1], 0);
  EXPECT_EQ(sprites.andironRSprite, 35);
  EXPECT_EQ(sprites.monitorNoticeSprite, 36);
  EXPECT_EQ(sprites.powerNoticeSprite, 37);
  EXPECT_FALSE(sprites.runMonShown);
  EXPECT_FALSE(sprites.pwrMsgShown);
  AnimationClocks clocks;
  clocks.NoticesSeen(sprites.runMonShown, sprites.pwrMsgShown);
  EXPECT_TRUE(clocks.featureTipsDue);
}

TEST_F(SceneTest, EveryFixedPosition) {
  choices.decorations.stockingTop = -20;
  sprites = LoadScene(choices, ddrw, store);
  const std::vector<std::pair<int32_t, XY>> places = {
      {sprites.stockingSprite[0], {95, -20}},   {sprites.stockingSprite[1], {271, -20}},
      {sprites.stockingSprite[2], {447, -20}},  {sprites.stockingSprite[3], {625, -20}},
      {sprites.poinrSprite, {-5, 440}},       {sprites.poinlSprite, {650, 450}},
      {sprites.bellrSprite, {0, -10}},        {sprites.belllSprite, {720, 0}},
      {sprites.flameSprite, {70, 27}},        {sprites.logsSprite, {83, 435}},
      {sprites.calendarSprite, {5, 510}},     {sprites.andironLSprite, {50, 292}},
      {sprites.andironRSprite, {580, 292}},   {sprites.monitorNoticeSprite, {150, 70}},
      {sprites.powerNoticeSprite, {150, 70}}, {sprites.surroundLeft[1], {0, 212}},
      {sprites.surroundRight[1], {700, 212}}, {sprites.surroundTop[1], {0, 0}},
      {sprites.surroundLeft[2], {0, 212}},    {sprites.surroundRight[2], {700, 212}},
      {sprites.surroundTop[2], {0, 0}},       {sprites.surroundLeft[3], {-2, 210}},
      {sprites.surroundRight[3], {712, 214}}, {sprites.surroundTop[3], {0, 0}},
      {sprites.mantleSprite[3], {81, 0}},     {sprites.surroundLeft[4], {-1, 202}},
      {sprites.surroundRight[4], {670, 202}}, {sprites.surroundTop[4], {0, 0}},
      {sprites.mantleSprite[4], {78, 18}},    {sprites.surroundLeft[5], {0, 127}},
      {sprites.surroundRight[5], {690, 127}}, {sprites.surroundTop[5], {0, 0}},
      {sprites.mantleSprite[5], {95, 22}},    {sprites.surroundLeft[6], {0, 127}},
      {sprites.surroundRight[6], {690, 127}}, {sprites.surroundTop[6], {0, 0}},
      {sprites.mantleSprite[6], {82, 19}},
  };
  for (const auto& [sprite, at] : places) {
    EXPECT_EQ(At(sprite).x, at.x) << "sprite " << sprite;
    EXPECT_EQ(At(sprite).y, at.y) << "sprite " << sprite;
  }
  EXPECT_EQ(ddrw.Count("SetSpriteX"), 37);
  EXPECT_EQ(ddrw.Count("SetSpriteY"), 37);
}

TEST_F(SceneTest, TheCalendarPlateByCornerAndUnplacedForOtherCorners) {
  const std::vector<std::pair<int16_t, XY>> corners = {
      {0, {5, 5}}, {1, {5, 510}}, {2, {730, 5}}, {3, {730, 510}}};
  for (const auto& [corner, at] : corners) {
    SceneChoices s = choices;
    s.calendarCorner = corner;
    FakeDDrw d;
    const SceneSprites made = LoadScene(s, d, store);
    EXPECT_EQ(d.sprites.at(made.calendarSprite).x, at.x);
    EXPECT_EQ(d.sprites.at(made.calendarSprite).y, at.y);
  }
  for (int16_t corner : {7, -1, 4}) {
    SceneChoices s = choices;
    s.calendarCorner = corner;
    FakeDDrw d;
    const SceneSprites made = LoadScene(s, d, store);
    EXPECT_FALSE(d.sprites.at(made.calendarSprite).placedX) << corner;
    EXPECT_FALSE(d.sprites.at(made.calendarSprite).placedY) << corner;
    EXPECT_EQ(d.Count("CreateSprite"), 37);
  }
}

TEST_F(SceneTest, AndironsMoveApartWithoutAnySurroundAndAreNotMadeWhenOff) {
  choices.anyStyleShown = false;
  const SceneChoices fresh = choices;
  sprites = LoadScene(choices, ddrw, store);
  EXPECT_EQ(At(sprites.andironLSprite).x, 0);
  EXPECT_EQ(At(sprites.andironRSprite).x, 650);
  EXPECT_EQ(At(sprites.andironRSprite).y, 292);
  // All six styles are loaded all the same.
  EXPECT_EQ(ddrw.Count("LoadSpriteFrame") - 10, 36);

  {
    SceneChoices s = fresh;
    s.decorations.showAndirons = false;
    FakeDDrw d;
    const SceneSprites made = LoadScene(s, d, store);
    EXPECT_EQ(made.andironLSprite, 0);
    EXPECT_EQ(made.andironRSprite, 0);
    EXPECT_EQ(d.Count("CreateSprite"), 35);
    EXPECT_EQ(made.monitorNoticeSprite, 34);  // the panels follow directly
  }
}

TEST_F(SceneTest, NoticePanelsOnlyWhileTheirNoticeIsStillToShow) {
  store.Preset(kSectionSettings, "RunMon", "True");
  store.Preset(kSectionSettings, "PwrMsg", "true");
  const SceneChoices fresh = choices;
  sprites = LoadScene(choices, ddrw, store);
  EXPECT_EQ(ddrw.Count("CreateSprite"), 35);
  EXPECT_EQ(sprites.monitorNoticeSprite, 0);
  EXPECT_EQ(sprites.powerNoticeSprite, 0);
  EXPECT_TRUE(sprites.runMonShown);
  EXPECT_TRUE(sprites.pwrMsgShown);
  AnimationClocks clocks;
  clocks.NoticesSeen(sprites.runMonShown, sprites.pwrMsgShown);
  EXPECT_FALSE(clocks.featureTipsDue);

  SceneChoices s = fresh;
  s.decorations.showAndirons = false;
  FakeDDrw d;
  LoadScene(s, d, store);
  EXPECT_EQ(d.Count("CreateSprite"), 33);
}

TEST_F(SceneTest, AMissingOrGarbledNoticeFlagShowsTheNoticeAgain) {
  MemoryStore garbled;
  garbled.Preset(kSectionSettings, "RunMon", "yes please");
  sprites = LoadScene(choices, ddrw, garbled);  // "PwrMsg" missing altogether
  EXPECT_FALSE(sprites.runMonShown);
  EXPECT_FALSE(sprites.pwrMsgShown);
  EXPECT_NE(sprites.monitorNoticeSprite, 0);
  EXPECT_NE(sprites.powerNoticeSprite, 0);
  EXPECT_TRUE(garbled.writes.empty());  // nothing is written while loading
}

TEST_F(SceneTest, ARefusedDisplayLoadsNothing) {
  FakeDisplayModes modes({{1024, 768, 24}}, 1024, 768, 24);
  FakeSystem system;
  ddrw.modeAnswers[24] = false;
  EXPECT_FALSE(OpenDirectDrawSession(choices, sprites, ddrw, modes, store, system));
  // The canvas's shape is chosen before the display opens.
  EXPECT_EQ(ddrw.calls,
            (std::vector<std::string>{"SetWideCanvas(false)", "SetDisplayMode(800,600,24,)"}));
  EXPECT_EQ(system.messages.size(), 1u);

  FakeDDrw accepted;
  choices.decorations.fillWide = true;
  EXPECT_TRUE(OpenDirectDrawSession(choices, sprites, accepted, modes, store, system));
  EXPECT_EQ(accepted.calls[0], "SetWideCanvas(true)");
  EXPECT_EQ(accepted.calls[1], "SetDisplayMode(800,600,24,)");
  EXPECT_EQ(accepted.Count("CreateSprite"), 37 + 12);  // and the walls
}

}  // namespace
}  // namespace emberlrn
