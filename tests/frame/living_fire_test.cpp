#include "frame/living_fire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "frame/frame_fixture.h"
#include "scene/scene_layout.h"

namespace emberlrn {
namespace {

using namespace testing;
using Calls = std::vector<std::string>;

// Whether any run of `length` frames shows twice in the sequence.
bool SomeRunRepeats(const std::vector<int>& frames, size_t length) {
  std::set<std::vector<int>> runs;
  for (size_t i = 0; i + length <= frames.size(); ++i) {
    if (!runs.insert(std::vector<int>(frames.begin() + i, frames.begin() + i + length)).second) return true;
  }
  return false;
}

TEST(FlameWalkTest, NoRunOfTenFramesPlaysTwiceAndEveryStepIsANewFrame) {
  for (uint64_t seed : {1u, 2u, 77u}) {
    FlameWalk walk(10, seed);
    // A minute at the fastest pace, 25 ms a step, and then some.
    std::vector<int> frames;
    for (int i = 0; i < 3000; ++i) frames.push_back(walk.Next());
    EXPECT_FALSE(SomeRunRepeats(frames, FlameWalk::kRunLength)) << seed;
    std::set<int> seen(frames.begin(), frames.end());
    EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    int forwardByOne = 0;
    for (size_t i = 1; i < frames.size(); ++i) {
      EXPECT_NE(frames[i], frames[i - 1]);
      forwardByOne += frames[i] == frames[i - 1] % 10 + 1;
    }
    // Mostly the flame's own round, so the tongues still rise.
    EXPECT_GT(forwardByOne, 1500);
  }
  // The classic round is what the walk is not.
  std::vector<int> round;
  for (int i = 0; i < 100; ++i) round.push_back(i % 10 + 1);
  EXPECT_TRUE(SomeRunRepeats(round, FlameWalk::kRunLength));
}

TEST(FirelightTest, TheLightSwellsAndDipsGentlyAndNeverFlashes) {
  Firelight light(5);
  int changes = 0;
  int low = 255, high = 0;
  double sum = 0;
  int previous = light.Level();
  int64_t changedAt = -1000;
  // Ten minutes at the flame's default pace, its pictures' brightness jumping.
  const int kSteps = 6000;
  for (int i = 0; i < kSteps; ++i) {
    const int64_t now = int64_t{i} * 100;
    const int level = light.Step(now, 60 + (i * 37) % 40);
    if (level != previous) {
      ++changes;
      EXPECT_LE(std::abs(level - previous), Firelight::kMostStep) << "a jump at " << now;
      EXPECT_GE(now - changedAt, Firelight::kFewestMsBetween);
      changedAt = now;
    }
    previous = level;
    low = std::min(low, level);
    high = std::max(high, level);
    sum += level;
  }
  EXPECT_GE(low, Firelight::kLowest);
  EXPECT_LE(high, Firelight::kHighest);
  EXPECT_NEAR(sum / kSteps, Firelight::kMean, 15);
  // It lives, at a few changes a second at most.
  EXPECT_GT(high - low, 20);
  EXPECT_GT(changes, 60);
  EXPECT_LT(changes, kSteps * 100 / 1000 * 4);
}

TEST(EmbersTest, BetweenTenAndSixtySparksRiseCoolAndNeverRepeat) {
  Embers embers(9);
  Embers other(10);
  size_t fewest = 1000, most = 0;
  double agedY = 0;
  int aged = 0, born = 0;
  std::vector<double> positions, otherPositions;
  for (int64_t now = 0; now <= 60000; now += Embers::kStepMs) {
    embers.Step(now);
    other.Step(now);
    fewest = std::min(fewest, embers.Sparks().size());
    most = std::max(most, embers.Sparks().size());
    for (const Spark& s : embers.Sparks()) {
      EXPECT_GE(s.Heat(), 1);
      EXPECT_LE(s.Heat(), 255);
      born += s.age <= Embers::kStepMs / 1000.0 + 1e-9;
      if (s.age > 1.0) {
        agedY += s.y;
        ++aged;
      }
    }
    if (now % 10000 == 0 && !embers.Sparks().empty()) {
      positions.push_back(embers.Sparks().front().x);
      otherPositions.push_back(other.Sparks().front().x);
    }
  }
  EXPECT_GE(fewest, Embers::kFewest);
  EXPECT_LE(most, Embers::kMost);
  EXPECT_GT(most, fewest + 5);
  EXPECT_GT(born, 200);
  // Born on the logs' tops (445 to 475), a second later well above them.
  ASSERT_GT(aged, 0);
  EXPECT_LT(agedY / aged, 420) << "sparks rise";
  EXPECT_NE(positions, otherPositions);

  // A spark cools as it ages: hot and bright at birth, dim at the end.
  Spark s;
  s.life = 2;
  s.heat = 250;
  const int young = s.Heat();
  s.age = 1.9;
  EXPECT_LT(s.Heat(), young / 3);
  s.age = 2;
  EXPECT_EQ(s.Heat(), 0);
}

// The scene loaded with the living fire's switches on, style 3 showing.
struct LivingComposeTest : ::testing::Test, FrameFixture {
  LivingComposeTest() : FrameFixture(true, true) {
    rotation.rotateOn = 1;
    rotation.fireplaceIndex = 3;
  }
  Calls Frame(LivingFire* living) {
    ddrw.calls.clear();
    ComposeFrame({sprites, decorations, rotation, overlays, clocks, living}, ddrw, clock);
    return ddrw.calls;
  }
  size_t At(const Calls& calls, const std::string& call) {
    return static_cast<size_t>(std::find(calls.begin(), calls.end(), call) - calls.begin());
  }

  LivingFire fire{3};
};

TEST_F(LivingComposeTest, WithItsSwitchesOffTheFrameIsTheClassicOne) {
  decorations.fillWide = decorations.firelight = decorations.embers = decorations.livingFlame = false;
  ddrw.wide = true;
  ddrw.wideMargin = 133;
  for (bool due : {false, true}) {
    ddrw.frameDue = due;
    const Calls classic = Frame(nullptr);
    EXPECT_EQ(Frame(&fire), classic) << due;
  }
}

TEST_F(LivingComposeTest, WallsLightSparksAndShadesStandInTheirPlaces) {
  ddrw.wide = true;
  ddrw.wideMargin = 133;
  ddrw.frameDue = true;
  ddrw.brightness = 80;
  const Calls calls = Frame(&fire);
  const size_t walls = At(calls, Draw(sprites.wallLeft[3]));
  const size_t flame = At(calls, Draw(sprites.flameSprite));
  const size_t logs = At(calls, Draw(sprites.logsSprite));
  const size_t andiron = At(calls, Draw(sprites.andironLSprite));
  const size_t surround = At(calls, Draw(sprites.surroundTop[3]));
  const size_t light = At(calls, Draw(sprites.lightSprite[3]));
  const size_t shade = At(calls, Draw(sprites.shadeRSprite));
  const auto spark = std::find_if(calls.begin(), calls.end(),
                                  [](const std::string& c) { return c.rfind("DrawSpark(", 0) == 0; });
  ASSERT_NE(spark, calls.end());
  const size_t firstSpark = static_cast<size_t>(spark - calls.begin());
  EXPECT_LT(walls, flame);
  EXPECT_EQ(At(calls, Draw(sprites.wallRight[3])), walls + 1);
  EXPECT_LT(logs, firstSpark);
  EXPECT_LT(firstSpark, andiron);
  EXPECT_LT(surround, light);
  EXPECT_LT(light, shade);
  EXPECT_LT(shade, calls.size() - 1);
  // The flame steps along its walk, the light has its strength, the shades
  // stand at the canvas's edges, and the sparks ask for their next frame.
  EXPECT_EQ(At(calls, "NextSpriteFrame(" + std::to_string(sprites.flameSprite) + ")"), calls.size());
  EXPECT_LT(At(calls, "SetSpriteFrame(" + std::to_string(sprites.flameSprite) + "," +
                          std::to_string(fire.flameFrame) + ")"),
            flame);
  EXPECT_LT(At(calls, "SetSpriteLevel(" + std::to_string(sprites.lightSprite[3]) + "," +
                          std::to_string(fire.light.Level()) + ")"),
            light);
  EXPECT_LT(At(calls, "SetSpriteX(" + std::to_string(sprites.shadeLSprite) + ",-133)"), shade);
  EXPECT_LT(At(calls, "SetSpriteX(" + std::to_string(sprites.shadeRSprite) + "," +
                          std::to_string(800 + 133 - kShadeWidth) + ")"),
            shade);
  EXPECT_LT(At(calls, "WantFrameBy(" + std::to_string(fire.embers.NextStepMs()) + ")"), calls.size());

  // A canvas of the scene's own width has no room for walls.
  ddrw.wide = false;
  const Calls narrow = Frame(&fire);
  EXPECT_EQ(At(narrow, Draw(sprites.wallLeft[3])), narrow.size());
  EXPECT_LT(At(narrow, "SetSpriteX(" + std::to_string(sprites.shadeLSprite) + ",0)"), narrow.size());
}

TEST(LivingSceneTest, TheLivingFiresPicturesAreLoadedOnlyForTheSwitchesThatAreOn) {
  const auto Loaded = [](bool fillWide, bool firelight) {
    SceneChoices choices;
    choices.installFolder = "/d/";
    choices.decorations.fillWide = fillWide;
    choices.decorations.firelight = firelight;
    FakeDDrw ddrw;
    MemoryStore store;
    const SceneSprites sprites = LoadScene(choices, ddrw, store);
    return std::make_pair(ddrw.Count("CreateSprite"), sprites);
  };
  const auto [classic, none] = Loaded(false, false);
  EXPECT_EQ(none.wallLeft[1], 0);
  EXPECT_EQ(none.lightSprite[6], 0);
  const auto [walls, wide] = Loaded(true, false);
  EXPECT_EQ(walls, classic + 12);
  const auto [all, lit] = Loaded(true, true);
  EXPECT_EQ(all, classic + 20);
  FakeDDrw ddrw;
  MemoryStore store;
  SceneChoices choices;
  choices.installFolder = "/d/";
  choices.decorations.firelight = choices.decorations.fillWide = true;
  const SceneSprites sprites = LoadScene(choices, ddrw, store);
  EXPECT_EQ(ddrw.sprites[sprites.lightSprite[4]].loadCodes[0], kLoadLight);
  EXPECT_EQ(ddrw.sprites[sprites.lightSprite[4]].frames[0], "/d/Light4.bmp");
  EXPECT_EQ(ddrw.sprites[sprites.shadeRSprite].frames[0], "/d/ShadeR.bmp");
  EXPECT_EQ(ddrw.sprites[sprites.wallLeft[2]].frames[0], "/d/WallL2.bmp");
  EXPECT_EQ(ddrw.sprites[sprites.wallLeft[2]].x, -kWallWidth);
  EXPECT_EQ(ddrw.sprites[sprites.wallRight[2]].x, 800);
  EXPECT_NE(lit.shadeLSprite, 0);
  EXPECT_EQ(wide.shadeLSprite, 0);
}

}  // namespace
}  // namespace emberlrn
