// Checks every picture of the installation the way the saver uses it: each file is
// there under its exact name, loads through SDL_LoadBMP, has the size its place on the
// 800 x 600 scene needs, and carries transparency where it is drawn over other art.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "scene/scene_catalogue.h"
#include "scene/scene_layout.h"

namespace {

constexpr int kScreenW = 800;
constexpr int kScreenH = 600;

std::string DataDir() {
  const char* dir = std::getenv("EMBERLRN_DATA_DIR");
  return dir ? std::string(dir) : std::string();
}

struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Loads a bitmap and converts it to 32-bit RGBA so pixels can be read directly.
Surface Load(const std::string& name) {
  Surface raw(SDL_LoadBMP((DataDir() + name).c_str()));
  if (!raw) return nullptr;
  return Surface(SDL_ConvertSurfaceFormat(raw.get(), SDL_PIXELFORMAT_RGBA32, 0));
}

bool HasAlphaChannel(const std::string& name) {
  Surface raw(SDL_LoadBMP((DataDir() + name).c_str()));
  return raw && raw->format->Amask != 0;
}

struct Pixel {
  uint8_t r, g, b, a;
};

Pixel At(const SDL_Surface* s, int x, int y) {
  const auto* row = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
  const uint8_t* p = row + x * 4;
  return {p[0], p[1], p[2], p[3]};
}

int Alpha(const SDL_Surface* s, int x, int y) { return At(s, x, y).a; }

struct Placed {
  std::string name;
  int x, y;
};

// Every surround piece and mantle with its place on the screen, by style, as
// the saver's catalogue names and places them.
struct Style {
  Placed left, right, top;
  Placed mantle;  // name is empty for styles without a separate mantle
};

std::vector<Style> Styles() {
  std::vector<Style> styles;
  for (size_t k = 1; k < emberlrn::kSurroundFiles.size(); ++k) {
    const auto& files = emberlrn::kSurroundFiles[k];
    const auto& at = emberlrn::kSurroundLayout[k];
    const emberlrn::Point mantle = at.mantle.value_or(emberlrn::Point{});
    styles.push_back({{std::string(files.left), at.left.x, at.left.y},
                      {std::string(files.right), at.right.x, at.right.y},
                      {std::string(files.top), at.top.x, at.top.y},
                      {std::string(files.mantle), mantle.x, mantle.y}});
  }
  return styles;
}

std::vector<std::string> Catalogue() {
  std::vector<std::string> names;
  for (std::string_view file : emberlrn::SceneFiles()) names.emplace_back(file);
  return names;
}

class ArtTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(SDL_Init(0), 0) << SDL_GetError(); }
  static void TearDownTestSuite() { SDL_Quit(); }
};

TEST_F(ArtTest, EveryBitmapIsThereUnderItsExactNameAndLoads) {
  const auto names = Catalogue();
  // The classic scene's 43, then the living fire's walls, lights and shades.
  ASSERT_EQ(names.size(), 43u + 20u);
  for (const auto& name : names) {
    EXPECT_TRUE(std::filesystem::is_regular_file(DataDir() + name)) << name;
    EXPECT_NE(Load(name), nullptr) << name << ": " << SDL_GetError();
  }
  // The names are matched as written: no case-folded twins stand in for them.
  EXPECT_FALSE(std::filesystem::exists(DataDir() + "m-FlatStone.bmp"));
  EXPECT_FALSE(std::filesystem::exists(DataDir() + "bell.bmp"));
}

TEST_F(ArtTest, SceneArtCarriesAlphaAndNoticesAreOpaque) {
  for (const auto& name : Catalogue()) {
    const bool notice = name == "monitor.bmp" || name == "pwrmsg.bmp";
    if (notice) {
      Surface s = Load(name);
      ASSERT_NE(s, nullptr) << name;
      for (int y = 0; y < s->h; y += 7)
        for (int x = 0; x < s->w; x += 7) ASSERT_EQ(Alpha(s.get(), x, y), 255) << name;
    } else {
      EXPECT_TRUE(HasAlphaChannel(name)) << name << " has no alpha channel";
    }
  }
}

// Counts pixels that are fully clear, fully solid, and partly covered (soft edges).
struct Coverage {
  long clear = 0, solid = 0, partial = 0;
};

Coverage Count(const SDL_Surface* s) {
  Coverage c;
  for (int y = 0; y < s->h; ++y)
    for (int x = 0; x < s->w; ++x) {
      const int a = Alpha(s, x, y);
      if (a == 0) ++c.clear;
      else if (a == 255) ++c.solid;
      else ++c.partial;
    }
  return c;
}

TEST_F(ArtTest, DecorationsStandFreeWithSoftEdges) {
  struct Item {
    const char* name;
    int x, y;
  };
  // Decorations at their places (the stockings at their lowest setting).
  const Item items[] = {{"Stocking.bmp", 625, 100}, {"bellr.bmp", 0, -10}, {"belll.bmp", 720, 0},
                        {"poinr.bmp", -5, 440},     {"poinl.bmp", 650, 450}, {"AndIronL.bmp", 50, 292},
                        {"AndIronR.bmp", 580, 292}, {"Logs.bmp", 83, 435},   {"Calendar.bmp", 730, 510}};
  for (const auto& item : items) {
    Surface s = Load(item.name);
    ASSERT_NE(s, nullptr) << item.name;
    // Its corners are clear: only the object itself is drawn.
    EXPECT_EQ(Alpha(s.get(), 0, 0) == 255 && Alpha(s.get(), s->w - 1, 0) == 255, false) << item.name;
    const Coverage c = Count(s.get());
    EXPECT_GT(c.clear, 0) << item.name;
    EXPECT_GT(c.solid, s->w * s->h / 20) << item.name << " is hardly there";
    EXPECT_GT(c.partial, 0) << item.name << " has hard, aliased edges";
    // It fits on the screen where it must: nothing runs past the right or bottom edge.
    EXPECT_LE(item.x + s->w, kScreenW + 5) << item.name;
    EXPECT_LE(item.y + s->h, kScreenH) << item.name;
  }
}

TEST_F(ArtTest, AndironsAreMirrorImagesAboutTheScreenMiddle) {
  Surface l = Load("AndIronL.bmp"), r = Load("AndIronR.bmp");
  ASSERT_TRUE(l && r);
  ASSERT_EQ(l->w, r->w);
  ASSERT_EQ(l->h, r->h);
  // Placed at x 50 and 580, their shapes mirror about x = 400.
  EXPECT_EQ(50 + l->w, kScreenW - 580) << "the pair is not centred on the fireplace";
  long differ = 0;
  for (int y = 0; y < l->h; ++y)
    for (int x = 0; x < l->w; ++x)
      if ((Alpha(l.get(), x, y) > 128) != (Alpha(r.get(), l->w - 1 - x, y) > 128)) ++differ;
  EXPECT_LT(differ, l->w * l->h / 100);
}

TEST_F(ArtTest, FlameFramesShareOneSizeFadeOutAndMove) {
  Surface first = Load("Flame1.bmp");
  ASSERT_NE(first, nullptr);
  EXPECT_LE(70 + first->w, kScreenW);
  EXPECT_LE(27 + first->h, kScreenH);
  Surface previous = Load("Flame10.bmp");
  for (int i = 1; i <= 10; ++i) {
    const std::string name = "Flame" + std::to_string(i) + ".bmp";
    Surface s = Load(name);
    ASSERT_NE(s, nullptr) << name;
    ASSERT_EQ(s->w, first->w) << name;
    ASSERT_EQ(s->h, first->h) << name;
    // The picture's border is clear, so no rectangle shows when no surround is drawn.
    for (int x = 0; x < s->w; ++x) {
      EXPECT_EQ(Alpha(s.get(), x, 0), 0) << name;
      EXPECT_EQ(Alpha(s.get(), x, s->h - 1), 0) << name;
    }
    for (int y = 0; y < s->h; ++y) {
      EXPECT_EQ(Alpha(s.get(), 0, y), 0) << name;
      EXPECT_EQ(Alpha(s.get(), s->w - 1, y), 0) << name;
    }
    // Bright fire is there, and each frame differs from the one before it (also
    // frame 1 from frame 10, where the loop closes) but not wildly.
    long bright = 0, changed = 0;
    for (int y = 0; y < s->h; ++y)
      for (int x = 0; x < s->w; ++x) {
        const Pixel p = At(s.get(), x, y);
        if (p.a > 200 && p.r > 240 && p.g > 150) ++bright;
        if (std::abs(p.a - Alpha(previous.get(), x, y)) > 60) ++changed;
      }
    EXPECT_GT(bright, 2000) << name;
    EXPECT_GT(changed, 500) << name << " does not move";
    EXPECT_LT(changed, s->w * s->h / 6) << name << " jumps";
    previous = std::move(s);
  }
}

// Where the fire's light hardly moves (the faint glow, the fade to the edges) the
// frames agree to the byte, so a step redraws only where the fire moves; where they
// differ, they differ by more than the level that was held still.
TEST_F(ArtTest, FlameFramesHoldStillWhereTheirLightHardlyMoves) {
  for (const std::string folder : {"", "2x/"}) {
    std::vector<Surface> frames;
    for (int i = 1; i <= 10; ++i) frames.push_back(Load(folder + "Flame" + std::to_string(i) + ".bmp"));
    for (const Surface& s : frames) ASSERT_NE(s, nullptr) << folder;
    const auto Shown = [](const Pixel& p, int channel) {
      const int c = channel == 0 ? p.r : channel == 1 ? p.g : p.b;
      return (c * p.a + 127) / 255;
    };
    long visible = 0, still = 0, wavering = 0;
    for (int y = 0; y < frames[0]->h; ++y)
      for (int x = 0; x < frames[0]->w; ++x) {
        bool same = true, seen = false;
        int widest = 0;
        for (int channel = 0; channel < 3; ++channel) {
          int low = 255, high = 0;
          for (const Surface& s : frames) {
            const Pixel p = At(s.get(), x, y);
            const Pixel q = At(frames[0].get(), x, y);
            same = same && std::memcmp(&p, &q, sizeof p) == 0;
            seen = seen || p.a != 0;
            low = std::min(low, Shown(p, channel));
            high = std::max(high, Shown(p, channel));
          }
          widest = std::max(widest, high - low);
        }
        visible += seen;
        still += seen && same;
        wavering += !same && widest <= 1;
      }
    EXPECT_GT(still, visible / 5) << folder;
    EXPECT_EQ(wavering, 0) << folder;
  }
}

// One style's surround drawn as the saver draws it, over black, at one scale (1, or
// 2 for the pictures under "2x/"): colour and coverage (0..255) of every screen pixel.
struct Screen {
  int w, h;
  std::vector<std::array<int, 3>> colour;
  std::vector<int> cover;
  explicit Screen(int scale)
      : w(kScreenW * scale), h(kScreenH * scale), colour(size_t(w) * h), cover(size_t(w) * h, 0) {}
};

Screen DrawSurround(const Style& style, int scale = 1) {
  Screen screen(scale);
  const std::string folder = scale == 1 ? "" : std::to_string(scale) + "x/";
  for (const Placed& p : {style.right, style.left, style.top}) {
    Surface s = Load(folder + p.name);
    if (!s) continue;
    for (int y = 0; y < s->h; ++y)
      for (int x = 0; x < s->w; ++x) {
        const int sx = p.x * scale + x, sy = p.y * scale + y;
        if (sx < 0 || sy < 0 || sx >= screen.w || sy >= screen.h) continue;
        const Pixel px = At(s.get(), x, y);
        int& c = screen.cover[sy * screen.w + sx];
        c = px.a + c * (255 - px.a) / 255;
        auto& rgb = screen.colour[sy * screen.w + sx];
        const int src[3] = {px.r, px.g, px.b};
        for (int i = 0; i < 3; ++i) rgb[i] = (src[i] * px.a + rgb[i] * (255 - px.a)) / 255;
      }
  }
  return screen;
}

std::vector<int> SurroundCoverage(const Style& style) { return DrawSurround(style).cover; }

TEST_F(ArtTest, SurroundsFrameADarkFireboxInEveryStyle) {
  for (const Style& style : Styles()) {
    Surface left = Load(style.left.name), right = Load(style.right.name), top = Load(style.top.name);
    ASSERT_TRUE(left && right && top) << style.left.name;
    // The side pieces reach the bottom edge and the screen's sides; the top piece
    // spans the width from the top-left corner.
    EXPECT_EQ(style.left.y + left->h, kScreenH) << style.left.name;
    EXPECT_EQ(style.right.y + right->h, kScreenH) << style.right.name;
    EXPECT_GE(style.right.x + right->w, kScreenW) << style.right.name;
    EXPECT_EQ(top->w, kScreenW) << style.top.name;

    const auto cover = SurroundCoverage(style);
    auto C = [&](int x, int y) { return cover[y * kScreenW + x]; };
    // Solid stone at the screen's edges, around the firebox...
    for (int y : {0, 100, 300, 450, 599}) {
      EXPECT_EQ(C(0, y), 255) << style.left.name << " y " << y;
      EXPECT_EQ(C(799, y), 255) << style.right.name << " y " << y;
    }
    for (int x : {0, 200, 400, 600, 799}) EXPECT_EQ(C(x, 150), 255) << style.top.name << " x " << x;
    // ...and a clear mouth in the middle where the fire shows.
    for (int y : {300, 400, 500, 599})
      for (int x : {160, 300, 400, 500, 640}) EXPECT_EQ(C(x, y), 0) << style.top.name << " " << x << "," << y;
    // The pieces meet without gaps or double-drawn seams: every screen pixel is
    // either clear, solid, or on the mouth's soft outline.
    long partial = 0;
    for (int v : cover)
      if (v != 0 && v != 255) ++partial;
    EXPECT_LT(partial, 12000) << style.top.name;

    if (!style.mantle.name.empty()) {
      Surface m = Load(style.mantle.name);
      ASSERT_NE(m, nullptr) << style.mantle.name;
      EXPECT_LE(style.mantle.x + m->w, kScreenW) << style.mantle.name;
      EXPECT_EQ(Alpha(m.get(), m->w / 2, m->h / 3), 255) << style.mantle.name;
      EXPECT_LT(Alpha(m.get(), 0, m->h - 1), 255) << style.mantle.name;
      // The mantle lies on the stone above the mouth, not over the fire.
      EXPECT_LT(style.mantle.y + m->h, 250) << style.mantle.name;
    }
  }
}

// The pictures beside the scene's own: walls for wide screens, light maps, shades.
std::vector<std::string> Extras() {
  std::vector<std::string> names = {"ShadeL.bmp", "ShadeR.bmp"};
  for (int k = 1; k <= 6; ++k)
    for (const char* kind : {"WallL", "WallR", "Light"}) names.push_back(kind + std::to_string(k) + ".bmp");
  return names;
}

int Sum(const Pixel& p) { return p.r + p.g + p.b; }

TEST_F(ArtTest, WallsLightsAndShadesHaveTheirSizesAndCoverage) {
  for (int k = 1; k <= 6; ++k) {
    for (const char* side : {"WallL", "WallR"}) {
      const std::string name = side + std::to_string(k) + ".bmp";
      ASSERT_TRUE(HasAlphaChannel(name)) << name;
      Surface s = Load(name);
      ASSERT_NE(s, nullptr) << name;
      EXPECT_EQ(s->w, 300) << name;
      EXPECT_EQ(s->h, kScreenH) << name;
      const Coverage c = Count(s.get());
      EXPECT_EQ(c.solid, long{s->w} * s->h) << name << " is not opaque";
    }
    const std::string name = "Light" + std::to_string(k) + ".bmp";
    ASSERT_TRUE(HasAlphaChannel(name)) << name;
    Surface s = Load(name);
    ASSERT_NE(s, nullptr) << name;
    ASSERT_EQ(s->w, kScreenW) << name;
    ASSERT_EQ(s->h, kScreenH) << name;
    // None on the fire's body, the mantle or the top corners...
    for (auto [x, y] : {std::pair{400, 330}, {250, 360}, {550, 360}, {400, 40}, {0, 0}, {799, 0}, {200, 120}})
      EXPECT_EQ(Alpha(s.get(), x, y), 0) << name << " " << x << "," << y;
    // ...a warm light on the logs' fronts and the stone low beside the mouth, bright
    // enough to see and not so bright it burns out (the saver's middle level is 170).
    int most = 0;
    for (int y = 0; y < s->h; ++y)
      for (int x = 0; x < s->w; ++x) {
        const Pixel p = At(s.get(), x, y);
        most = std::max<int>(most, p.a);
        if (p.a > 0) {
          ASSERT_TRUE(p.r > p.g && p.g > p.b) << name << " is not firelight at " << x << "," << y;
        }
      }
    EXPECT_GT(Alpha(s.get(), 400, 570), 255 * 15 / 100) << name << ": the logs get no light";
    EXPECT_GE(most, 255 * 45 / 100) << name;
    EXPECT_LE(most, 255 * 75 / 100) << name;
    const Coverage c = Count(s.get());
    EXPECT_LT(c.solid + c.partial, long{s->w} * s->h / 2) << name << " lights too much of the screen";
  }
  for (const char* name : {"ShadeL.bmp", "ShadeR.bmp"}) {
    ASSERT_TRUE(HasAlphaChannel(name)) << name;
    Surface s = Load(name);
    ASSERT_NE(s, nullptr) << name;
    ASSERT_EQ(s->w, 240) << name;
    ASSERT_EQ(s->h, kScreenH) << name;
    const bool left = std::string(name) == "ShadeL.bmp";
    const int outer = left ? 0 : s->w - 1, inner = left ? s->w - 1 : 0;
    EXPECT_EQ(Alpha(s.get(), inner, 300), 0) << name;
    EXPECT_NEAR(Alpha(s.get(), outer, 300), 60, 15) << name;
    EXPECT_GT(Alpha(s.get(), outer, 0), Alpha(s.get(), outer, 300)) << name;
    EXPECT_GT(Alpha(s.get(), outer, s->h - 1), Alpha(s.get(), outer, 300)) << name;
    // Rising smoothly toward the outer side, and black.
    for (int i = 1; i < s->w; ++i) {
      const int x = left ? s->w - 1 - i : i, prev = left ? x + 1 : x - 1;
      ASSERT_GE(Alpha(s.get(), x, 300), Alpha(s.get(), prev, 300)) << name << " x " << x;
      ASSERT_LE(Alpha(s.get(), x, 300) - Alpha(s.get(), prev, 300), 2) << name << " x " << x;
      ASSERT_EQ(Sum(At(s.get(), x, 300)), 0) << name;
    }
  }
}

TEST_F(ArtTest, WallsContinueTheSurroundWithoutASeam) {
  auto Between = [](const Pixel& a, const Pixel& b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
  };
  const auto styles = Styles();
  for (int scale : {1, 2}) {
    const std::string folder = scale == 1 ? "" : "2x/";
    for (size_t k = 1; k <= styles.size(); ++k) {
      const Style& style = styles[k - 1];
      const Screen screen = DrawSurround(style, scale);
      for (const bool left : {true, false}) {
        const std::string name = folder + (left ? "WallL" : "WallR") + std::to_string(k) + ".bmp";
        Surface wall = Load(name);
        ASSERT_NE(wall, nullptr) << name;
        ASSERT_EQ(wall->h, screen.h) << name;
        // The wall's column at the seam against the screen's edge column, and pairs of
        // neighbouring columns inside the wall near it.
        const int edge = left ? wall->w - 1 : 0, screen_x = left ? 0 : screen.w - 1, in = left ? -1 : 1;
        double seam = 0, inside = 0;
        for (int y = 0; y < screen.h; ++y) {
          ASSERT_EQ(screen.cover[y * screen.w + screen_x], 255) << style.top.name << " y " << y;
          const auto& c = screen.colour[y * screen.w + screen_x];
          seam += Between({uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2]), 255}, At(wall.get(), edge, y));
          for (int d = 0; d < 8; ++d)
            inside += Between(At(wall.get(), edge + in * d, y), At(wall.get(), edge + in * (d + 1), y)) / 8.0;
        }
        EXPECT_LE(seam, 3.0 * inside + 2.0 * screen.h) << name << " shows a seam against " << style.top.name;
      }
      // Left and right are not one picture mirrored.
      Surface l = Load(folder + "WallL" + std::to_string(k) + ".bmp");
      Surface r = Load(folder + "WallR" + std::to_string(k) + ".bmp");
      long same = 0;
      for (int y = 0; y < l->h; y += 3)
        for (int x = 0; x < l->w; x += 3) same += Between(At(l.get(), x, y), At(r.get(), r->w - 1 - x, y)) == 0;
      EXPECT_LT(same, long{l->w / 3} * (l->h / 3) / 2) << folder << "WallR" << k << " mirrors WallL" << k;
    }
  }
}

// Every picture again at twice the size for finer screens, under "2x/": the same
// shape (its coverage, halved, matches the picture's own) and the same kind of file.
TEST_F(ArtTest, EveryPictureComesAgainAtTwiceTheSize) {
  auto names = Catalogue();
  for (const auto& name : Extras()) names.push_back(name);
  for (const auto& name : names) {
    Surface one = Load(name), two = Load("2x/" + name);
    ASSERT_NE(one, nullptr) << name;
    ASSERT_NE(two, nullptr) << "2x/" << name << ": " << SDL_GetError();
    ASSERT_EQ(two->w, 2 * one->w) << name;
    ASSERT_EQ(two->h, 2 * one->h) << name;
    EXPECT_EQ(HasAlphaChannel("2x/" + name), HasAlphaChannel(name)) << name;
    double off = 0, colour = 0;
    for (int y = 0; y < one->h; ++y)
      for (int x = 0; x < one->w; ++x) {
        int a = 0, c = 0;
        for (int dy = 0; dy < 2; ++dy)
          for (int dx = 0; dx < 2; ++dx) {
            const Pixel p = At(two.get(), 2 * x + dx, 2 * y + dy);
            a += p.a;
            c += Sum(p) * p.a / 255;
          }
        const Pixel p = At(one.get(), x, y);
        off += std::abs(a / 4 - p.a);
        colour += std::abs(c / 4 - Sum(p) * p.a / 255);
      }
    const double pixels = double(one->w) * one->h;
    EXPECT_LT(off / pixels, 2.0) << name << ": the 2x picture's shape differs";
    EXPECT_LT(colour / pixels, 3 * 12.0) << name << ": the 2x picture looks different";
  }
}

TEST_F(ArtTest, CalendarPlateFitsEveryCornerAndCarriesItsTexts) {
  Surface s = Load("Calendar.bmp");
  ASSERT_NE(s, nullptr);
  EXPECT_LE(730 + s->w, kScreenW);
  EXPECT_LE(510 + s->h, kScreenH);
  // The text places of the bottom-left corner (plate at 5, 510), relative to the plate,
  // lie on light, solid paper: month, time, weekday and the day's number.
  const std::array<std::array<int, 2>, 5> spots = {{{27 - 5 + 4, 6}, {9 - 5 + 4, 522 - 510 + 6},
                                                   {10 - 5 + 6, 534 - 510 + 6}, {14 - 5 + 8, 540 - 510 + 20},
                                                   {14 - 5 + 40, 540 - 510 + 30}}};
  for (const auto& spot : spots) {
    const Pixel p = At(s.get(), spot[0], spot[1]);
    EXPECT_EQ(p.a, 255) << spot[0] << "," << spot[1];
    EXPECT_GT(p.r + p.g + p.b, 3 * 200) << spot[0] << "," << spot[1];
  }
}

TEST_F(ArtTest, NoticePanelsFitUnderTheirTextLines) {
  for (const char* name : {"monitor.bmp", "pwrmsg.bmp"}) {
    Surface s = Load(name);
    ASSERT_NE(s, nullptr) << name;
    EXPECT_LE(150 + s->w, kScreenW) << name;
    EXPECT_LE(70 + s->h, kScreenH) << name;
    EXPECT_GE(s->w, 400) << name;
    // Text on the panel: dark ink on light paper in its middle.
    long ink = 0, paper = 0;
    for (int y = s->h / 4; y < s->h * 3 / 4; ++y)
      for (int x = 40; x < s->w - 40; ++x) {
        const Pixel p = At(s.get(), x, y);
        const int lum = p.r + p.g + p.b;
        if (lum < 3 * 90) ++ink;
        if (lum > 3 * 200) ++paper;
      }
    EXPECT_GT(ink, 800) << name;
    EXPECT_GT(paper, ink * 3) << name;
  }
}

// Reads the size of a PNG from its header.
bool PngSize(const std::string& path, int& w, int& h) {
  std::ifstream f(path, std::ios::binary);
  std::array<unsigned char, 24> head{};
  if (!f.read(reinterpret_cast<char*>(head.data()), head.size())) return false;
  if (head[1] != 'P' || head[2] != 'N' || head[3] != 'G') return false;
  w = (head[16] << 24) | (head[17] << 16) | (head[18] << 8) | head[19];
  h = (head[20] << 24) | (head[21] << 16) | (head[22] << 8) | head[23];
  return true;
}

TEST_F(ArtTest, PreviewStillAndDialogThumbnails) {
  Surface preview = Load("preview.bmp");
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->w, 153);
  EXPECT_EQ(preview->h, 115);
  // The still shows fire: warm bright pixels in its middle.
  long fire = 0;
  for (int y = 40; y < 100; ++y)
    for (int x = 30; x < 120; ++x) {
      const Pixel p = At(preview.get(), x, y);
      if (p.r > 200 && p.g > 80 && p.b < 120) ++fire;
    }
  EXPECT_GT(fire, 100);
  for (int k = 1; k <= 6; ++k) {
    int w = 0, h = 0;
    const std::string one = DataDir() + "thumb" + std::to_string(k) + ".png";
    const std::string two = DataDir() + "thumb" + std::to_string(k) + "@2x.png";
    ASSERT_TRUE(PngSize(one, w, h)) << one;
    EXPECT_EQ(w, 54);
    EXPECT_EQ(h, 54);
    ASSERT_TRUE(PngSize(two, w, h)) << two;
    EXPECT_EQ(w, 108);
    EXPECT_EQ(h, 108);
  }
}

}  // namespace
