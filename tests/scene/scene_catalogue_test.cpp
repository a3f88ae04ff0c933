#include "scene/scene_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_ddrw.h"
#include "fakes/fake_system.h"
#include "fakes/memory_store.h"
#include "scene/display_session.h"
#include "settings/first_run.h"
#include "start/saver_state.h"

namespace emberlrn {
namespace {

struct XY {
  int x, y;
};

class OneModeDesktop final : public DisplayModes {
 public:
  std::optional<DisplayModeRecord> EnumDisplayMode(int index) override {
    if (index == 0) return DisplayModeRecord{1024, 768, 24};
    return std::nullopt;
  }
  int16_t CurrentDepth() override { return 24; }
  std::pair<int32_t, int32_t> CurrentSize() override { return {1024, 768}; }
};

struct SceneTest : ::testing::Test {
  SceneTest() {
    state.installFolder = "/data/";
    state.stockingTop = 19;
    state.calendarCorner = 1;
    state.showAndirons = 1;
    state.anyStyleShown = true;
    state.flameSpeed = 100;
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

  SaverState state;
  FakeDDrw ddrw;
  MemoryStore store;
};

std::string Load(int sprite, int frame, const std::string& file, int code) {
  return "LoadSpriteFrame(" + std::to_string(sprite) + "," + std::to_string(frame) + ",/data/" +
         file + "," + std::to_string(code) + ")";
}

TEST_F(SceneTest, All37SpritesInCatalogueOrderWithTheirFilesAndLoadCodes) {
  LoadScene(state, ddrw, store);
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
  LoadScene(state, ddrw, store);
  EXPECT_EQ(state.stocking1Sprite, 1);
  EXPECT_EQ(state.stocking4Sprite, 4);
  EXPECT_EQ(state.poinrSprite, 5);
  EXPECT_EQ(state.belllSprite, 8);
  EXPECT_EQ(state.calendarSprite, 9);
  EXPECT_EQ(state.flameSprite, 10);
  EXPECT_EQ(state.logsSprite, 11);
  EXPECT_EQ(state.surroundLeft[1], 12);
  EXPECT_EQ(state.surroundTop[2], 17);
  EXPECT_EQ(state.mantleSprite[3], 21);
  EXPECT_EQ(state.mantleSprite[6], 33);
  EXPECT_EQ(state.mantleSprite[1], 0);
  EXPECT_EQ(state.andironRSprite, 35);
  EXPECT_EQ(state.monitorNoticeSprite, 36);
  EXPECT_EQ(state.powerNoticeSprite, 37);
  EXPECT_FALSE(state.runMonShown);
  EXPECT_FALSE(state.pwrMsgShown);
  EXPECT_TRUE(state.featureTipsDue);
}

TEST_F(SceneTest, EveryFixedPosition) {
  state.stockingTop = -20;
  LoadScene(state, ddrw, store);
  const std::vector<std::pair<int32_t, XY>> places = {
      {state.stocking1Sprite, {95, -20}},   {state.stocking2Sprite, {271, -20}},
      {state.stocking3Sprite, {447, -20}},  {state.stocking4Sprite, {625, -20}},
      {state.poinrSprite, {-5, 440}},       {state.poinlSprite, {650, 450}},
      {state.bellrSprite, {0, -10}},        {state.belllSprite, {720, 0}},
      {state.flameSprite, {70, 27}},        {state.logsSprite, {83, 435}},
      {state.calendarSprite, {5, 510}},     {state.andironLSprite, {50, 292}},
      {state.andironRSprite, {580, 292}},   {state.monitorNoticeSprite, {150, 70}},
      {state.powerNoticeSprite, {150, 70}}, {state.surroundLeft[1], {0, 212}},
      {state.surroundRight[1], {700, 212}}, {state.surroundTop[1], {0, 0}},
      {state.surroundLeft[2], {0, 212}},    {state.surroundRight[2], {700, 212}},
      {state.surroundTop[2], {0, 0}},       {state.surroundLeft[3], {-2, 210}},
      {state.surroundRight[3], {712, 214}}, {state.surroundTop[3], {0, 0}},
      {state.mantleSprite[3], {81, 0}},     {state.surroundLeft[4], {-1, 202}},
      {state.surroundRight[4], {670, 202}}, {state.surroundTop[4], {0, 0}},
      {state.mantleSprite[4], {78, 18}},    {state.surroundLeft[5], {0, 127}},
      {state.surroundRight[5], {690, 127}}, {state.surroundTop[5], {0, 0}},
      {state.mantleSprite[5], {95, 22}},    {state.surroundLeft[6], {0, 127}},
      {state.surroundRight[6], {690, 127}}, {state.surroundTop[6], {0, 0}},
      {state.mantleSprite[6], {82, 19}},
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
    SaverState s = state;
    s.calendarCorner = corner;
    FakeDDrw d;
    LoadScene(s, d, store);
    EXPECT_EQ(d.sprites.at(s.calendarSprite).x, at.x);
    EXPECT_EQ(d.sprites.at(s.calendarSprite).y, at.y);
  }
  for (int16_t corner : {7, -1, 4}) {
    SaverState s = state;
    s.calendarCorner = corner;
    FakeDDrw d;
    LoadScene(s, d, store);
    EXPECT_FALSE(d.sprites.at(s.calendarSprite).placedX) << corner;
    EXPECT_FALSE(d.sprites.at(s.calendarSprite).placedY) << corner;
    EXPECT_EQ(d.Count("CreateSprite"), 37);
  }
}

TEST_F(SceneTest, AndironsMoveApartWithoutAnySurroundAndAreNotMadeWhenOff) {
  state.anyStyleShown = false;
  const SaverState fresh = state;
  LoadScene(state, ddrw, store);
  EXPECT_EQ(At(state.andironLSprite).x, 0);
  EXPECT_EQ(At(state.andironRSprite).x, 650);
  EXPECT_EQ(At(state.andironRSprite).y, 292);
  // All six styles are loaded all the same.
  EXPECT_EQ(ddrw.Count("LoadSpriteFrame") - 10, 36);

  for (int16_t off : {0, 2, -1}) {
    SaverState s = fresh;
    s.showAndirons = off;
    FakeDDrw d;
    LoadScene(s, d, store);
    EXPECT_EQ(s.andironLSprite, 0);
    EXPECT_EQ(s.andironRSprite, 0);
    EXPECT_EQ(d.Count("CreateSprite"), 35);
    EXPECT_EQ(s.monitorNoticeSprite, 34);  // the panels follow directly
  }
}

TEST_F(SceneTest, NoticePanelsOnlyWhileTheirNoticeIsStillToShow) {
  store.Preset(kSectionSettings, "RunMon", "True");
  store.Preset(kSectionSettings, "PwrMsg", "true");
  const SaverState fresh = state;
  LoadScene(state, ddrw, store);
  EXPECT_EQ(ddrw.Count("CreateSprite"), 35);
  EXPECT_EQ(state.monitorNoticeSprite, 0);
  EXPECT_EQ(state.powerNoticeSprite, 0);
  EXPECT_TRUE(state.runMonShown);
  EXPECT_TRUE(state.pwrMsgShown);
  EXPECT_FALSE(state.featureTipsDue);

  SaverState s = fresh;
  s.showAndirons = 0;
  FakeDDrw d;
  LoadScene(s, d, store);
  EXPECT_EQ(d.Count("CreateSprite"), 33);
}

TEST_F(SceneTest, AMissingOrGarbledNoticeFlagShowsTheNoticeAgain) {
  MemoryStore garbled;
  garbled.Preset(kSectionSettings, "RunMon", "yes please");
  LoadScene(state, ddrw, garbled);  // "PwrMsg" missing altogether
  EXPECT_FALSE(state.runMonShown);
  EXPECT_FALSE(state.pwrMsgShown);
  EXPECT_NE(state.monitorNoticeSprite, 0);
  EXPECT_NE(state.powerNoticeSprite, 0);
  EXPECT_TRUE(garbled.writes.empty());  // nothing is written while loading
}

TEST_F(SceneTest, ARefusedDisplayLoadsNothing) {
  OneModeDesktop modes;
  FakeSystem system;
  ddrw.modeAnswers[24] = false;
  EXPECT_FALSE(OpenDirectDrawSession(state, ddrw, modes, store, system));
  EXPECT_EQ(ddrw.calls, (std::vector<std::string>{"SetDisplayMode(800,600,24,)"}));
  EXPECT_EQ(system.messages.size(), 1u);

  FakeDDrw accepted;
  EXPECT_TRUE(OpenDirectDrawSession(state, accepted, modes, store, system));
  EXPECT_EQ(accepted.calls.front(), "SetDisplayMode(800,600,24,)");
  EXPECT_EQ(accepted.Count("CreateSprite"), 37);
}

}  // namespace
}  // namespace emberlrn
