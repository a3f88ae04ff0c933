// Scaling the canvas into the window and blending pictures onto it: a part
// done on its own is pixel for pixel what the whole done at once shows
// there, and the vector paths give the same sums as the plain ones.

#include "platform/canvas_scale.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/pixel_blend.h"
#include "platform/vector_unit.h"

namespace emberlrn {
namespace {

constexpr int kW = 800;
constexpr int kH = 600;

std::vector<uint32_t> Noise(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<uint32_t> pixels(count);
  for (uint32_t& p : pixels) p = random() | 0xFF000000u;
  return pixels;
}

std::vector<uint32_t> ScaledWhole(CanvasScale& scale, const std::vector<uint32_t>& canvas) {
  std::vector<uint32_t> out(static_cast<size_t>(scale.WindowWidth()) * scale.WindowHeight(), 0);
  scale.Scale(canvas.data(), kW, out.data(), scale.WindowWidth(), scale.Fit());
  return out;
}

TEST(CanvasScaleTest, TheCanvasKeepsItsShapeBetweenBars) {
  CanvasScale scale;
  scale.SetSizes(kW, kH, 1920, 1080);
  EXPECT_EQ(scale.Fit(), (PixelRect{240, 0, 1440, 1080}));
  scale.SetSizes(kW, kH, 800, 600);
  EXPECT_EQ(scale.Fit(), (PixelRect{0, 0, 800, 600}));
  scale.SetSizes(kW, kH, 1280, 1024);
  EXPECT_EQ(scale.Fit(), (PixelRect{0, 32, 1280, 960}));
  EXPECT_EQ(scale.ToCanvas({0, 32}), (PointerPosition{0, 0}));
  EXPECT_EQ(scale.ToCanvas({1279, 1023}), (PointerPosition{799, 599}));
  // At its own size the canvas shows as it is, to the last column.
  const std::vector<uint32_t> canvas = Noise(size_t{kW} * kH, 13);
  scale.SetSizes(kW, kH, kW, kH);
  EXPECT_EQ(ScaledWhole(scale, canvas), canvas);
}

TEST(CanvasScaleTest, APartScaledAloneMatchesTheWholeAndItsRectangleHoldsEveryChange) {
  const std::vector<uint32_t> canvas = Noise(size_t{kW} * kH, 7);
  std::mt19937 random(11);
  for (const auto& [width, height] : {std::pair{800, 600}, std::pair{1920, 1080},
                                      std::pair{3840, 2160}, std::pair{1600, 1200},
                                      std::pair{1366, 768},
                                      std::pair{397, 301}}) {
    CanvasScale scale;
    scale.SetSizes(kW, kH, width, height);
    const std::vector<uint32_t> whole = ScaledWhole(scale, canvas);
    // The processor's widest vectors and the narrower ones scale alike.
    const bool wide = WideVectors();
    SetWideVectors(!wide);
    EXPECT_EQ(ScaledWhole(scale, canvas), whole) << width << "x" << height;
    SetWideVectors(wide);
    for (int round = 0; round < 6; ++round) {
      const int x = static_cast<int>(random() % kW);
      const int y = static_cast<int>(random() % kH);
      const PixelRect part{x, y, 1 + static_cast<int>(random() % (kW - x)),
                           1 + static_cast<int>(random() % (kH - y))};
      const PixelRect out = scale.WindowRect(part);
      std::vector<uint32_t> alone(whole.size(), 0);
      scale.Scale(canvas.data(), kW, alone.data(), width, out);
      // The changed canvas part shows nowhere outside its window rectangle.
      std::vector<uint32_t> changed = canvas;
      for (int cy = part.y; cy < part.y + part.h; ++cy) {
        for (int cx = part.x; cx < part.x + part.w; ++cx) changed[size_t(cy) * kW + cx] ^= 0x00FFFFFFu;
      }
      const std::vector<uint32_t> after = ScaledWhole(scale, changed);
      for (int wy = 0; wy < height; ++wy) {
        for (int wx = 0; wx < width; ++wx) {
          const size_t at = size_t(wy) * width + wx;
          const bool inside = !Intersection({wx, wy, 1, 1}, out).Empty();
          if (inside) {
            ASSERT_EQ(alone[at], whole[at]) << width << "x" << height << " at " << wx << "," << wy;
          } else {
            ASSERT_EQ(after[at], whole[at]) << width << "x" << height << " at " << wx << "," << wy;
          }
        }
      }
    }
  }
}

TEST(PixelBlendTest, RowsBlendAsSinglePixelsDoAndTheCanvasStaysOpaque) {
  std::vector<uint32_t> picture = Noise(1003, 3);
  std::mt19937 random(5);
  // Clear, solid and partly covering pixels, in runs, mixed and alone.
  for (size_t i = 0; i < picture.size(); ++i) {
    const uint32_t alpha = i % 97 < 8    ? 0
                           : i % 89 < 8  ? 255
                           : i % 53 < 12 ? (random() & 1) * 255
                                         : random() & 0xFF;
    picture[i] = (picture[i] & 0x00FFFFFFu) | alpha << 24;
  }
  const std::vector<uint32_t> straight = picture;
  Premultiply(picture.data(), static_cast<int>(picture.size()));
  const std::vector<uint32_t> canvas = Noise(picture.size(), 9);
  const bool wide = WideVectors();
  for (const bool vectors : {false, true}) {
    SetWideVectors(vectors);
    for (int start : {0, 1, 3}) {
    std::vector<uint32_t> row(canvas.begin() + start, canvas.end());
    BlendRow(picture.data() + start, row.data(), static_cast<int>(row.size()));
    for (size_t i = 0; i < row.size(); ++i) {
      ASSERT_EQ(row[i], BlendPixel(picture[i + start], canvas[i + start])) << i;
      ASSERT_EQ(row[i] >> 24, 0xFFu);
    }
    // Over one colour, in one pass, as filled with it and then blended.
    for (const uint32_t colour : {0xFF203040u, 0xFF000000u}) {
      BlendRowOver(picture.data() + start, row.data(), static_cast<int>(row.size()), colour);
      for (size_t i = 0; i < row.size(); ++i) {
        ASSERT_EQ(row[i], BlendPixel(picture[i + start], colour)) << i;
      }
    }
    }
  }
  SetWideVectors(wide);
  // Within a level of blending the picture's own colours by its alpha.
  for (size_t i = 0; i < picture.size(); ++i) {
    const uint32_t a = straight[i] >> 24, out = BlendPixel(picture[i], canvas[i]);
    for (int shift : {0, 8, 16}) {
      const int s = static_cast<int>((straight[i] >> shift) & 0xFF);
      const int d = static_cast<int>((canvas[i] >> shift) & 0xFF);
      const double exact = (d * (255.0 - a) + s * static_cast<double>(a)) / 255.0;
      ASSERT_NEAR(static_cast<double>((out >> shift) & 0xFF), exact, 1.5) << i;
    }
  }
  EXPECT_EQ(BlendPixel(0x80800000u, 0xFF0000FFu), 0xFF80007Fu);
}

TEST(PixelBlendTest, ALightKeptAsItsAlphaLightsAsItsWeightsDoAtEveryAlphaOnEveryPath) {
  // Every alpha over several canvas colours, in an odd count of pixels so
  // that each path takes a share.
  std::vector<uint8_t> alpha(1027);
  for (size_t i = 0; i < alpha.size(); ++i) alpha[i] = static_cast<uint8_t>(i * 151 % 256);
  const std::vector<uint32_t> canvas = Noise(alpha.size(), 23);
  const bool wide = WideVectors();
  for (const uint32_t colour : {0xFF8000u, 0x3C7DEEu, 0x80C0FFu}) {
    std::vector<uint32_t> weights(alpha.size());
    for (size_t i = 0; i < alpha.size(); ++i) {
      const uint32_t a = alpha[i];
      weights[i] = a << 24 | LightWeight(colour >> 16, a) << 16 |
                   LightWeight((colour >> 8) & 0xFF, a) << 8 | LightWeight(colour & 0xFF, a);
    }
    for (const int level : {0, 110, 230, 255}) {
      std::vector<uint32_t> expected = canvas;
      LightRow(weights.data(), expected.data(), static_cast<int>(expected.size()), level);
      LightOfOneColour light;
      light.Set(colour, level);
      for (const bool vectors : {false, true}) {
        SetWideVectors(vectors);
        std::vector<uint32_t> lit = canvas;
        LightRowByAlpha(alpha.data(), lit.data(), static_cast<int>(lit.size()), light);
        ASSERT_EQ(lit, expected) << std::hex << colour << std::dec << " at " << level;
      }
    }
  }
  SetWideVectors(wide);
}

TEST(PixelBlendTest, WeighingColoursByAlphaAgreesOnEveryPathAndClearsTheClear) {
  std::vector<uint32_t> picture = Noise(1003, 17);
  for (size_t i = 0; i < picture.size(); ++i) {
    const uint32_t alpha = i % 61 < 9 ? 255 : i % 37 < 5 ? 0 : static_cast<uint32_t>(i * 7 % 256);
    picture[i] = (picture[i] & 0x00FFFFFFu) | alpha << 24;
  }
  const bool wide = WideVectors();
  std::vector<std::vector<uint32_t>> weighed;
  for (bool on : {wide, !wide}) {
    SetWideVectors(on);
    std::vector<uint32_t> pixels = picture;
    Premultiply(pixels.data(), static_cast<int>(pixels.size()));
    weighed.push_back(pixels);
  }
  SetWideVectors(wide);
  EXPECT_EQ(weighed[0], weighed[1]);
  for (size_t i = 0; i < picture.size(); ++i) {
    const uint32_t a = picture[i] >> 24;
    ASSERT_EQ(weighed[0][i] >> 24, a) << i;
    if (a == 0) {
      ASSERT_EQ(weighed[0][i], 0u) << i;  // a clear pixel's colour is gone
      continue;
    }
    for (int shift : {0, 8, 16}) {
      const double was = (picture[i] >> shift) & 0xFF;
      ASSERT_NEAR(static_cast<double>((weighed[0][i] >> shift) & 0xFF), was * a / 255.0, 0.5) << i;
    }
  }
}

}  // namespace
}  // namespace emberlrn
