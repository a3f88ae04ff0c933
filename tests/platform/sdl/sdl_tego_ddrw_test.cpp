// The SDL drawing control, headless (SDL_VIDEODRIVER=dummy): pictures are
// written to a temporary folder, drawn, and the canvas is read back.

#include "platform/sdl/sdl_tego_ddrw.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "fakes/fake_clock.h"
#include "fakes/memory_store.h"
#include "frame/clocks.h"
#include "frame/compose_frame.h"
#include "frame/living_fire.h"
#include "frame/overlays.h"
#include "frame/rotation.h"
#include "scene/scene_catalogue.h"
#include "scene/scene_layout.h"
#include "settings/first_run.h"

namespace emberlrn {
namespace {

namespace fs = std::filesystem;

struct Rgba {
  uint8_t r, g, b, a;
};

void Put32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void Put16(std::string& out, uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

// A 32-bit bitmap with an alpha channel (BITMAPV5HEADER with bit masks), as
// the scene art is written; pixel(x, y) gives each pixel, top row first.
template <typename Pixel>
void WriteBmp32(const fs::path& path, int w, int h, Pixel pixel) {
  std::string data;
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const Rgba p = pixel(x, y);
      data += {static_cast<char>(p.b), static_cast<char>(p.g), static_cast<char>(p.r),
               static_cast<char>(p.a)};
    }
  }
  std::string header;
  Put32(header, 124);
  Put32(header, static_cast<uint32_t>(w));
  Put32(header, static_cast<uint32_t>(h));
  Put16(header, 1);
  Put16(header, 32);
  Put32(header, 3);  // bit fields
  Put32(header, static_cast<uint32_t>(data.size()));
  Put32(header, 3780);
  Put32(header, 3780);
  Put32(header, 0);
  Put32(header, 0);
  for (uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) Put32(header, mask);
  header += "BGRs";
  header += std::string(36, '\0');
  for (int i = 0; i < 3; ++i) Put32(header, 0);
  Put32(header, 4);
  for (int i = 0; i < 3; ++i) Put32(header, 0);
  std::string file = "BM";
  Put32(file, static_cast<uint32_t>(14 + header.size() + data.size()));
  Put32(file, 0);
  Put32(file, static_cast<uint32_t>(14 + header.size()));
  std::ofstream(path, std::ios::binary) << file << header << data;
}

// A plain 24-bit bitmap, no alpha channel.
template <typename Pixel>
void WriteBmp24(const fs::path& path, int w, int h, Pixel pixel) {
  const int stride = (w * 3 + 3) & ~3;
  std::string data;
  for (int y = h - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < w; ++x) {
      const Rgba p = pixel(x, y);
      row += {static_cast<char>(p.b), static_cast<char>(p.g), static_cast<char>(p.r)};
    }
    row.resize(stride, '\0');
    data += row;
  }
  std::string header;
  Put32(header, 40);
  Put32(header, static_cast<uint32_t>(w));
  Put32(header, static_cast<uint32_t>(h));
  Put16(header, 1);
  Put16(header, 24);
  for (uint32_t v : {0u, static_cast<uint32_t>(data.size()), 3780u, 3780u, 0u, 0u})
    Put32(header, v);
  std::string file = "BM";
  Put32(file, static_cast<uint32_t>(14 + header.size() + data.size()));
  Put32(file, 0);
  Put32(file, static_cast<uint32_t>(14 + header.size()));
  std::ofstream(path, std::ios::binary) << file << header << data;
}

constexpr uint32_t kBlackPixel = 0xFF000000;
constexpr uint32_t kRedPixel = 0xFFFF0000;
constexpr uint32_t kGreenPixel = 0xFF00FF00;
constexpr uint32_t kBluePixel = 0xFF0000FF;

class SdlDDrwTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    // The canvas is scaled to the window smoothly, as the saver has it.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  }
  static void TearDownTestSuite() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

  SdlDDrwTest() {
    folder_ =
        fs::temp_directory_path() /
        ("emberlrn-ddrw-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
    // Red 40 x 40 with a transparent border of 10 pixels.
    WriteBmp32(folder_ / "red.bmp", 40, 40, [](int x, int y) {
      const bool inside = x >= 10 && x < 30 && y >= 10 && y < 30;
      return Rgba{255, 0, 0, static_cast<uint8_t>(inside ? 255 : 0)};
    });
    // Green 20 x 20, half see-through on its left half.
    WriteBmp32(folder_ / "green.bmp", 20, 20, [](int x, int) {
      return Rgba{0, 255, 0, static_cast<uint8_t>(x < 10 ? 128 : 255)};
    });
    // Blue 30 x 30 with a magenta frame and no alpha channel.
    WriteBmp24(folder_ / "keyed.bmp", 30, 30, [](int x, int y) {
      const bool inside = x >= 5 && x < 25 && y >= 5 && y < 25;
      return inside ? Rgba{0, 0, 255, 255} : Rgba{255, 0, 255, 255};
    });
  }
  ~SdlDDrwTest() override {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  std::string File(const char* name) const { return (folder_ / name).string(); }
  uint32_t At(const std::vector<uint32_t>& canvas, int x, int y) const {
    return canvas[static_cast<size_t>(y) * 800 + x];
  }
  int32_t Sprite(const char* file, int x, int y, int code = kLoadSceneArt) {
    const int32_t sprite = ddrw.CreateSprite();
    ddrw.LoadSpriteFrame(sprite, 1, File(file), code);
    ddrw.SetSpriteX(sprite, x);
    ddrw.SetSpriteY(sprite, y);
    return sprite;
  }

  // The window at that size, as a desktop or a host would give it.
  void Resize(int width, int height) {
    SDL_SetWindowFullscreen(ddrw.Window(), 0);
    SDL_SetWindowSize(ddrw.Window(), width, height);
    ddrw.Invalidate();
  }

  fs::path folder_;
  FakeClock clock;
  SdlTegoDDrw ddrw{clock};
};

// WCAG relative luminance of an ARGB pixel.
double Luminance(uint32_t pixel) {
  const auto Linear = [](uint32_t v) {
    const double s = (v & 0xFF) / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * Linear(pixel >> 16) + 0.7152 * Linear(pixel >> 8) + 0.0722 * Linear(pixel);
}

// A window's picture with the canvas's place in it.
struct Shown {
  std::vector<uint32_t> pixels;
  int width = 0;
  int height = 0;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  double Scale() const { return std::min(width / 800.0, height / 600.0); }
  int X(int canvasX) const {
    return static_cast<int>((width - 800 * Scale()) / 2 + canvasX * Scale());
  }
  int Y(int canvasY) const {
    return static_cast<int>((height - 600 * Scale()) / 2 + canvasY * Scale());
  }
};

Shown ReadShown(const SdlTegoDDrw& ddrw) {
  Shown shown;
  shown.pixels = ddrw.ReadWindow(shown.width, shown.height);
  return shown;
}

constexpr Colour kGrey = Rgb(128, 128, 128);

bool NearGrey(uint32_t pixel) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) - 128) > 24) return false;
  }
  return true;
}

TEST_F(SdlDDrwTest, TheNoticeLinesStandApartFromTheMessageEachOtherAndThePanel) {
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  WriteBmp24(folder_ / "panel.bmp", 500, 340, [](int, int) { return Rgba{255, 255, 255, 255}; });
  SceneSprites sprites;
  sprites.monitorNoticeSprite = Sprite("panel.bmp", kNoticeAt.x, kNoticeAt.y, kLoadOpaquePanel);
  AnimationClocks clocks;
  clocks.noticeCountdown = 19;
  Overlays overlays;
  overlays.showMessage = true;
  overlays.messageText = "Place a message here";  // the first-run message, at its size
  overlays.messageFontSize = 18;
  const int sizes[][2] = {{640, 480},  {800, 600},   {1024, 768},  {1280, 800},
                          {1366, 768}, {1920, 1080}, {2560, 1600}, {3840, 2160}};
  for (const auto& size : sizes) {
    Resize(size[0], size[1]);
    ddrw.ClearBackBuffer(kGrey);
    overlays.DrawUserMessage(ddrw);
    overlays.DrawNotices(clocks, sprites, ddrw);
    ddrw.FlipBackBuffer();
    const Shown shown = ReadShown(ddrw);
    ASSERT_EQ(shown.width, size[0]);
    // Text is yellow and dark: it takes the blue out of the grey, where the
    // white panel, even blurred at its edge, adds to it.
    const auto Blue = [&](int x, int y) { return static_cast<int>(shown.At(x, y) & 0xFF); };
    int panelTop = shown.Y(0);
    while (Blue(shown.X(400), panelTop) <= 128 + 24) ++panelTop;
    std::vector<bool> marked;
    for (int y = shown.Y(0); y < panelTop; ++y) {
      bool any = false;
      for (int x = shown.X(95); x < shown.X(800) - 1 && !any; ++x) any = Blue(x, y) < 128 - 24;
      marked.push_back(any);
    }
    int bands = 0;
    for (size_t y = 0; y < marked.size(); ++y) bands += marked[y] && (y == 0 || !marked[y - 1]);
    EXPECT_EQ(bands, 3) << size[0] << "x" << size[1];  // message, notice line, countdown
    EXPECT_FALSE(marked.back()) << size[0] << "x" << size[1] << ": the countdown touches the panel";
  }
}

TEST_F(SdlDDrwTest, SpritesLandAtTheirPlacesWithTheirTransparency) {
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  const int32_t red = Sprite("red.bmp", 100, 50);
  const int32_t green = Sprite("green.bmp", 115, 65);   // over the red, later is in front
  const int32_t keyed = Sprite("keyed.bmp", -10, -10);  // partly off the canvas
  ddrw.ClearBackBuffer(0);
  ddrw.DrawSprite(red);
  ddrw.DrawSprite(green);
  ddrw.DrawSprite(keyed);
  ddrw.FlipBackBuffer();
  const std::vector<uint32_t> canvas = ddrw.ReadCanvas();
  ASSERT_EQ(canvas.size(), 800u * 600u);
  EXPECT_EQ(At(canvas, 111, 61), kRedPixel);
  EXPECT_EQ(At(canvas, 105, 55), kBlackPixel);  // the red's transparent border
  EXPECT_EQ(At(canvas, 130, 80), kGreenPixel);  // the green's opaque half, in front
  const uint32_t mixed = At(canvas, 117, 67);   // half green over red
  EXPECT_NEAR(static_cast<int>((mixed >> 16) & 0xFF), 127, 3);
  EXPECT_NEAR(static_cast<int>((mixed >> 8) & 0xFF), 128, 3);
  EXPECT_EQ(At(canvas, 5, 5), kBluePixel);     // (15, 15) of the keyed picture
  EXPECT_EQ(At(canvas, 16, 16), kBlackPixel);  // its magenta frame is see-through
  EXPECT_EQ(At(canvas, 400, 300), kBlackPixel);
}

TEST_F(SdlDDrwTest, APictureIsReadWhenFirstDrawnLetGoWhenLongUnusedAndReadAgainWhenNeeded) {
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  const int32_t red = Sprite("red.bmp", 100, 50);
  const int32_t green = Sprite("green.bmp", 300, 50);
  EXPECT_EQ(ddrw.PicturesHeld(), 0u);
  const auto Frame = [&](bool withGreen) {
    ddrw.ClearBackBuffer(0);
    ddrw.DrawSprite(red);
    if (withGreen) ddrw.DrawSprite(green);
    ddrw.FlipBackBuffer();
    return ddrw.ReadCanvas();
  };
  const std::vector<uint32_t> both = Frame(true);
  EXPECT_EQ(ddrw.PicturesHeld(), 2u);
  for (int second = 0; second < 8; ++second) {  // both stay on the screen, unchanged
    clock.AdvanceMs(1000);
    Frame(true);
  }
  EXPECT_EQ(ddrw.PicturesHeld(), 2u);
  for (int second = 0; second < 20; ++second) {
    clock.AdvanceMs(1000);
    Frame(false);
  }
  // The green is no longer drawn; the red is, but its pixels have long been
  // on the canvas: both are let go, and the red still shows.
  EXPECT_EQ(ddrw.PicturesHeld(), 0u);
  EXPECT_EQ(At(ddrw.ReadCanvas(), 320, 70), kBlackPixel);
  EXPECT_EQ(At(ddrw.ReadCanvas(), 111, 61), kRedPixel);
  EXPECT_EQ(Frame(true), both);
  EXPECT_EQ(ddrw.PicturesHeld(), 1u);  // only the green was composed
  // Drawn whole again (the window uncovered), the red is read again.
  ddrw.Invalidate();
  EXPECT_EQ(Frame(true), both);
  EXPECT_EQ(ddrw.PicturesHeld(), 2u);
  // A picture whose file is gone (its disk removed) is kept.
  fs::remove(File("green.bmp"));
  for (int second = 0; second < 20; ++second) {
    clock.AdvanceMs(1000);
    Frame(false);
  }
  EXPECT_EQ(ddrw.PicturesHeld(), 1u);
  EXPECT_EQ(Frame(true), both);
  ddrw.Invalidate();
  EXPECT_EQ(Frame(true), both);
  // A drawing that comes over a picture let go has it read again beneath.
  for (int second = 0; second < 20; ++second) {
    clock.AdvanceMs(1000);
    Frame(true);
  }
  EXPECT_EQ(ddrw.PicturesHeld(), 1u);
  const int32_t over = Sprite("keyed.bmp", 115, 65);
  const auto WithOver = [&] {
    ddrw.ClearBackBuffer(0);
    ddrw.DrawSprite(red);
    ddrw.DrawSprite(green);
    ddrw.DrawSprite(over);
    ddrw.FlipBackBuffer();
    return ddrw.ReadCanvas();
  };
  const std::vector<uint32_t> covered = WithOver();
  EXPECT_EQ(ddrw.PicturesHeld(), 3u);
  EXPECT_NE(covered, both);
  int redSeenThrough = 0;  // the red beneath the keyed picture's see-through frame
  for (int y = 65; y < 95; ++y) {
    for (int x = 115; x < 145; ++x) redSeenThrough += At(covered, x, y) == kRedPixel;
  }
  EXPECT_GT(redSeenThrough, 0);
  ddrw.Invalidate();
  EXPECT_EQ(WithOver(), covered);
}

TEST_F(SdlDDrwTest, PanelsAreOpaqueAndTheClearColourFillsTheRest) {
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 24, ""));
  const int32_t panel = Sprite("red.bmp", 0, 0, kLoadOpaquePanel);
  ddrw.ClearBackBuffer(Rgb(0, 0, 255));
  ddrw.DrawSprite(panel);
  ddrw.FlipBackBuffer();
  const std::vector<uint32_t> canvas = ddrw.ReadCanvas();
  EXPECT_EQ(At(canvas, 2, 2), kRedPixel);  // its alpha is not looked at
  EXPECT_EQ(At(canvas, 20, 20), kRedPixel);
  EXPECT_EQ(At(canvas, 60, 60), kBluePixel);
}

TEST_F(SdlDDrwTest, AMissingPictureIsToldOnceAndDrawsNothing) {
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  ::testing::internal::CaptureStderr();
  const int32_t missing = Sprite("absent.bmp", 10, 10);
  const int32_t again = Sprite("absent.bmp", 20, 20);
  const std::string told = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
  EXPECT_NE(told.find(File("absent.bmp")), std::string::npos) << told;
  ddrw.ClearBackBuffer(0);
  ddrw.DrawSprite(missing);
  ddrw.DrawSprite(again);
  ddrw.DrawSprite(999);  // never made
  ddrw.FlipBackBuffer();
  const std::vector<uint32_t> canvas = ddrw.ReadCanvas();
  EXPECT_EQ(At(canvas, 25, 25), kBlackPixel);
  EXPECT_EQ(ddrw.FramesDrawn(), 1);
}

TEST_F(SdlDDrwTest, TheFlameKeepsItsPaceAndCycles) {
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  const int32_t flame = ddrw.CreateSprite();
  ddrw.LoadSpriteFrame(flame, 1, File("red.bmp"), kLoadSceneArt);
  ddrw.LoadSpriteFrame(flame, 2, File("green.bmp"), kLoadSceneArt);
  ddrw.LoadSpriteFrame(flame, 3, File("keyed.bmp"), kLoadSceneArt);
  ddrw.SetSpriteFrame(flame, 1);
  ddrw.SetSpriteSpeed(flame, 100);
  EXPECT_FALSE(ddrw.SpriteFrameDue(flame));
  clock.AdvanceMs(99);
  EXPECT_FALSE(ddrw.SpriteFrameDue(flame));
  clock.AdvanceMs(1);
  EXPECT_TRUE(ddrw.SpriteFrameDue(flame));
  const auto Shown = [&] {
    ddrw.ClearBackBuffer(0);
    ddrw.DrawSprite(flame);
    ddrw.FlipBackBuffer();
    return At(ddrw.ReadCanvas(), 15, 15);
  };
  EXPECT_EQ(Shown(), kRedPixel);
  ddrw.NextSpriteFrame(flame);
  EXPECT_FALSE(ddrw.SpriteFrameDue(flame));
  EXPECT_EQ(Shown(), kGreenPixel);
  ddrw.NextSpriteFrame(flame);
  EXPECT_EQ(Shown(), kBluePixel);
  ddrw.NextSpriteFrame(flame);
  EXPECT_EQ(Shown(), kRedPixel);
  // One frame alone never comes due.
  const int32_t still = Sprite("red.bmp", 0, 0);
  clock.AdvanceMs(10000);
  EXPECT_FALSE(ddrw.SpriteFrameDue(still));
}

TEST_F(SdlDDrwTest, TextIsDrawnAndKeptOnlyWhileItIsShown) {
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  const auto Frame = [&](const char* text) {
    ddrw.ClearBackBuffer(0);
    ddrw.SetTextFont("Arial", 46, 30, false, false, false);
    ddrw.DrawText(text, 100, 100, Rgb(255, 255, 0));
    ddrw.SetTextFont("Arial", 14, 30, false, false, false);
    ddrw.DrawText("10:00:00", 300, 300, Rgb(0, 0, 255));
    ddrw.FlipBackBuffer();
  };
  Frame("88");
  std::vector<uint32_t> canvas = ddrw.ReadCanvas();
  int yellow = 0;
  int blue = 0;
  for (int y = 100; y < 170; ++y) {
    for (int x = 100; x < 180; ++x) yellow += At(canvas, x, y) == 0xFFFFFF00;
  }
  for (int y = 300; y < 320; ++y) {
    for (int x = 300; x < 370; ++x) blue += At(canvas, x, y) == kBluePixel;
  }
  EXPECT_GT(yellow, 200);  // size 46: digits about 33 pixels tall
  // The size is the em in canvas pixels: the digits stand no taller than it.
  int top = 600;
  int bottom = 0;
  for (int y = 0; y < 600; ++y) {
    for (int x = 100; x < 200; ++x) {
      if (At(canvas, x, y) == 0xFFFFFF00) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  EXPECT_GT(bottom - top, 25);
  EXPECT_LT(bottom - top, 46);
  EXPECT_GT(blue, 20);
  EXPECT_EQ(At(canvas, 99, 99), kBlackPixel);

  // The same frame again is not drawn again; a changed text is.
  Frame("88");
  EXPECT_EQ(ddrw.FramesDrawn(), 1);
  EXPECT_EQ(ddrw.FramesUnchanged(), 1);
  Frame("89");
  EXPECT_EQ(ddrw.FramesDrawn(), 2);
  ddrw.Invalidate();
  Frame("89");
  EXPECT_EQ(ddrw.FramesDrawn(), 3);
}

TEST_F(SdlDDrwTest, EveryTextHasAHaloThatSetsItsLettersApart) {
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  ddrw.ClearBackBuffer(Rgb(128, 128, 128));
  ddrw.SetTextFont("Arial", 16, 1, false, false, false);
  ddrw.DrawText("light letters", 100, 100, Rgb(255, 255, 0));
  ddrw.DrawText("dark letters", 100, 200, Rgb(0, 0, 255));
  ddrw.FlipBackBuffer();
  const std::vector<uint32_t> canvas = ddrw.ReadCanvas();
  // Pixels all of whose channels are below (dark) or above (light) a level.
  const auto Count = [&](int y0, bool dark) {
    int n = 0;
    for (int y = y0 - 2; y < y0 + 22; ++y) {
      for (int x = 97; x < 220; ++x) {
        const uint32_t p = At(canvas, x, y);
        bool all = true;
        for (int shift : {0, 8, 16}) {
          const int v = (p >> shift) & 0xFF;
          all = all && (dark ? v < 40 : v > 215);
        }
        n += all;
      }
    }
    return n;
  };
  // Dark around yellow, light around blue; the letters keep their place.
  EXPECT_GT(Count(100, true), 80);
  EXPECT_GT(Count(200, false), 80);
  EXPECT_EQ(At(canvas, 98, 110), 0xFF808080u);
  ddrw.SetTextFont("Arial", 16, 1, false, false, false);
  const int width = ddrw.TextWidth("light letters");
  int right = 0;
  for (int y = 98; y < 122; ++y) {
    for (int x = 100; x < 300; ++x) {
      if (At(canvas, x, y) != 0xFF808080u) right = std::max(right, x);
    }
  }
  EXPECT_NEAR(right, 100 - 1 + width - 1, 2);  // the width it measured is the width it drew
}

TEST_F(SdlDDrwTest, EmptyAndEndlessTextsDoNoHarm) {
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  ddrw.ClearBackBuffer(0);
  ddrw.SetTextFont("Arial", 18, 1, false, false, false);
  ddrw.DrawText("", 100, 1, Rgb(255, 255, 0));
  ddrw.DrawText(std::string(200000, 'W'), 100, 1, Rgb(255, 255, 0));
  ddrw.SetTextFont("Arial", 0, 1, false, false, false);  // counts as 1 point
  ddrw.DrawText("too small to see", 10, 400, Rgb(255, 255, 0));
  ddrw.SetTextFont("No Such Face At All", 14, 1, false, false, false);
  ddrw.DrawText("still drawn in a face that exists", 10, 500, Rgb(255, 255, 0));
  ddrw.SetTextFont("Arial", 30000, 1, true, true, true);
  ddrw.DrawText("huge", 700, 300, Rgb(255, 255, 0));
  ddrw.FlipBackBuffer();
  const std::vector<uint32_t> canvas = ddrw.ReadCanvas();
  const auto YellowIn = [&](int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) n += (At(canvas, x, y) & 0x00FFFF00u) == 0x00FFFF00u;
    }
    return n;
  };
  EXPECT_GT(YellowIn(700, 1, 800, 30), 50);    // the long text reaches across the canvas
  EXPECT_EQ(YellowIn(0, 1, 99, 30), 0);        // and starts where it was put
  EXPECT_GT(YellowIn(10, 500, 300, 530), 50);  // an unknown face falls back to one that exists
  EXPECT_LT(YellowIn(10, 400, 300, 430), 20);
}

TEST_F(SdlDDrwTest, TheCanvasIsScaledWithItsShapeKept) {
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  SDL_Window* window = ddrw.Window();
  ASSERT_NE(window, nullptr);
  // A wide desktop: 1280 x 720 leaves bars of 160 pixels left and right.
  SDL_SetWindowFullscreen(window, 0);
  SDL_SetWindowSize(window, 1280, 720);
  const int32_t panel = ddrw.CreateSprite();
  WriteBmp24(folder_ / "white.bmp", 800, 600, [](int, int) { return Rgba{255, 255, 255, 255}; });
  ddrw.LoadSpriteFrame(panel, 1, File("white.bmp"), kLoadOpaquePanel);
  ddrw.Invalidate();
  ddrw.ClearBackBuffer(0);
  ddrw.DrawSprite(panel);
  ddrw.FlipBackBuffer();
  int width = 0;
  int height = 0;
  const std::vector<uint32_t> shown = ddrw.ReadWindow(width, height);
  ASSERT_EQ(width, 1280);
  ASSERT_EQ(height, 720);
  const auto Pixel = [&](int x, int y) {
    return shown[static_cast<size_t>(y) * width + x] | 0xFF000000u;
  };
  EXPECT_EQ(Pixel(10, 360), kBlackPixel);
  EXPECT_EQ(Pixel(158, 10), kBlackPixel);
  EXPECT_EQ(Pixel(162, 10), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(640, 710), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(1117, 360), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(1122, 360), kBlackPixel);
}

TEST_F(SdlDDrwTest, ClosedDisplayWantsNoFramesAndIgnoresDrawing) {
  EXPECT_FALSE(ddrw.FramesWanted());
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 16, ""));
  EXPECT_TRUE(ddrw.FramesWanted());
  const int32_t red = Sprite("red.bmp", 0, 0);
  ddrw.CloseDisplay();
  EXPECT_FALSE(ddrw.FramesWanted());
  EXPECT_EQ(ddrw.Window(), nullptr);
  ddrw.ClearBackBuffer(0);
  ddrw.DrawSprite(red);
  ddrw.SetTextFont("Arial", 12, 1, false, false, false);
  ddrw.DrawText("after", 0, 0, 0);
  ddrw.FlipBackBuffer();
  ddrw.CloseDisplay();  // again: harmless
  EXPECT_TRUE(ddrw.ReadCanvas().empty());
}

// Locales made for the test in a folder of its own, found through LOCPATH.
class Locales {
 public:
  Locales()
      : folder_(fs::temp_directory_path() / ("emberlrn-locales-" + std::to_string(getpid()))) {
    fs::create_directories(folder_);
    setenv("LOCPATH", folder_.c_str(), 1);
  }
  ~Locales() {
    std::setlocale(LC_TIME, "C");
    unsetenv("LOCPATH");
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  // LC_TIME becomes that language's (en_US, ja_JP ...) in UTF-8; false when
  // it cannot be made.
  bool Use(const std::string& name) {
    const fs::path made = folder_ / (name + ".UTF-8");
    if (!fs::exists(made)) {
      const std::string command =
          "localedef -i " + name + " -f UTF-8 " + made.string() + " >/dev/null 2>&1";
      [[maybe_unused]] const int status = std::system(command.c_str());  // warnings are no failure
    }
    return std::setlocale(LC_TIME, (name + ".UTF-8").c_str()) != nullptr;
  }

 private:
  fs::path folder_;
};

TEST_F(SdlDDrwTest, CalendarTextsStayOnThePlateInEveryLanguage) {
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  Locales locales;
  Overlays overlays;
  for (const char* language : {"en_US", "en_GB", "de_DE", "fr_FR", "ja_JP"}) {
    ASSERT_TRUE(locales.Use(language)) << language;
    std::set<std::string> weekdays;
    // Every month, then every weekday (7 to 13 December 2026), morning and evening.
    for (int moment = 1; moment <= 19; ++moment) {
      const int month = std::min(moment, 12);
      const int day = moment <= 12 ? 20 : moment - 6;
      clock.SetLocalTime(2026, month, day, moment % 2 == 0 ? 23 : 10, 58, 58);
      weekdays.insert(CalendarTexts(clock.Now().tm).Weekday().data());
      for (int corner = 0; corner < 4; ++corner) {
        overlays.calendarCorner = static_cast<int16_t>(corner);
        ddrw.ClearBackBuffer(kGrey);
        overlays.DrawCalendarTexts(ddrw, clock);
        ddrw.FlipBackBuffer();
        const std::vector<uint32_t> canvas = ddrw.ReadCanvas();
        const Point plate = kCalendarAt[corner];
        int outside = 0;
        int inside = 0;
        // The plate and well beyond it on every side.
        for (int y = std::max(0, plate.y - 40); y < std::min(600, plate.y + 130); ++y) {
          for (int x = std::max(0, plate.x - 130); x < std::min(800, plate.x + 200); ++x) {
            if (NearGrey(At(canvas, x, y))) continue;
            const bool on = x >= plate.x && x < plate.x + kCalendarWidth && y >= plate.y &&
                            y < plate.y + kCalendarHeight;
            (on ? inside : outside) += 1;
          }
        }
        EXPECT_GT(inside, 200) << language << " " << month << "/" << day;
        EXPECT_EQ(outside, 0) << language << " " << month << "/" << day << " corner " << corner;
      }
    }
    EXPECT_EQ(weekdays.size(), 7u) << language;
  }
}

TEST_F(SdlDDrwTest, LettersTheFaceLacksAreDrawnInAFaceThatHasThem) {
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  // A face without them draws the same empty box for every one.
  const auto Picture = [&](const char* text) {
    ddrw.ClearBackBuffer(0);
    ddrw.SetTextFont("Arial", 40, 30, false, false, false);
    ddrw.DrawText(text, 100, 100, Rgb(255, 0, 0));
    ddrw.FlipBackBuffer();
    const std::vector<uint32_t> canvas = ddrw.ReadCanvas();
    std::vector<uint32_t> part;
    for (int y = 95; y < 160; ++y) {
      for (int x = 95; x < 160; ++x) part.push_back(At(canvas, x, y));
    }
    return part;
  };
  const std::vector<uint32_t> sun = Picture("\xE6\x97\xA5");   // 日
  const std::vector<uint32_t> moon = Picture("\xE6\x9C\x88");  // 月
  EXPECT_GT(std::count_if(sun.begin(), sun.end(), [](uint32_t p) { return p == kRedPixel; }), 50);
  EXPECT_NE(sun, moon);
  // Measured in the same face: 日曜日 at 40 is three letters of about 40 pixels.
  ddrw.SetTextFont("Arial", 40, 30, false, false, false);
  EXPECT_NEAR(ddrw.TextWidth("\xE6\x97\xA5\xE6\x9B\x9C\xE6\x97\xA5"), 3 * 40 + 2, 12);
}

// The scene as the saver draws it on a first run, from the installation's
// pictures: every style in turn, with the message and the first notice.
class SceneTest : public SdlDDrwTest {
 protected:
  SceneTest() {
    const char* data = std::getenv("EMBERLRN_DATA_DIR");
    choices.installFolder = data ? data : "";
    choices.decorations.stockingTop = 19;
    choices.decorations.showAndirons = true;
    choices.anyStyleShown = true;
    choices.flameSpeed = 100;
    rotation.rotateOn = 1;
    rotation.showMantle = {0, 1, 1, 1, 1};
    overlays.showMessage = true;
    overlays.messageText = "Place a message here";
    overlays.messageFontSize = 18;
    overlays.calendarCorner = 0;
    clocks.firstFrame = false;
  }
  bool HasPictures() const { return fs::exists(choices.installFolder + "Calendar.bmp"); }
  void Load() {
    MemoryStore store;
    store.Preset(kSectionSettings, "RunMon", "False");
    store.Preset(kSectionSettings, "PwrMsg", "False");
    sprites = LoadScene(choices, ddrw, store);
    clocks.NoticesSeen(sprites.runMonShown, sprites.pwrMsgShown);
  }
  void Compose() { ComposeFrame({sprites, choices.decorations, rotation, overlays, clocks}, ddrw, clock); }

  SceneChoices choices;
  SceneSprites sprites;
  StyleRotation rotation;
  Overlays overlays;
  AnimationClocks clocks;
};

// The contrast (WCAG, 1 to 21) between the yellow letters in the band of
// canvas rows and the pixels just around them: two pixels out, past the
// letters' smoothed edges.
double YellowContrast(const Shown& shown, int top, int bottom, int& letters) {
  const auto Yellow = [](uint32_t p) {
    return ((p >> 16) & 0xFF) >= 200 && ((p >> 8) & 0xFF) >= 200 && (p & 0xFF) <= 100;
  };
  const auto Near = [&](int x, int y, int reach) {
    for (int dy = -reach; dy <= reach; ++dy) {
      for (int dx = -reach; dx <= reach; ++dx) {
        if (Yellow(shown.At(x + dx, y + dy))) return true;
      }
    }
    return false;
  };
  double inner = 0;
  double around = 0;
  int aroundCount = 0;
  letters = 0;
  for (int y = std::max(2, shown.Y(top)); y < shown.Y(bottom); ++y) {
    for (int x = shown.X(0) + 2; x < shown.X(800) - 2; ++x) {
      if (Yellow(shown.At(x, y))) {
        inner += Luminance(shown.At(x, y));
        ++letters;
      } else if (Near(x, y, 2) && !Near(x, y, 1)) {
        around += Luminance(shown.At(x, y));
        ++aroundCount;
      }
    }
  }
  if (letters == 0 || aroundCount == 0) return 0;
  const double l1 = inner / letters;
  const double l2 = around / aroundCount;
  return (std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05);
}

TEST_F(SceneTest, YellowTextsReadOverEverySurround) {
  if (!HasPictures()) GTEST_SKIP() << "no installation pictures in " << choices.installFolder;
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  Load();
  Resize(1280, 800);
  struct Band {
    const char* text;
    int top, bottom;
  };
  const Band bands[] = {{"message", 0, 24}, {"notice line", 24, 45}, {"countdown", 45, 69}};
  for (int style = 1; style <= 6; ++style) {
    rotation.fireplaceIndex = static_cast<int16_t>(style);
    Compose();
    const Shown shown = ReadShown(ddrw);
    for (const Band& band : bands) {
      int letters = 0;
      const double contrast = YellowContrast(shown, band.top, band.bottom, letters);
      EXPECT_GT(letters, 100) << band.text << " of style " << style;
      EXPECT_GE(contrast, 3.0) << band.text << " of style " << style;
      RecordProperty("style" + std::to_string(style) + " " + band.text, std::to_string(contrast));
    }
  }
}

// Frames put on the screen only where they changed show exactly what a
// full redraw of the same scene shows: the flame stepping, the styles
// turning, the notices counting down, the calendar's clock and the message.
TEST_F(SceneTest, FramesDrawnWhereTheyChangedMatchAFullRedraw) {
  if (!HasPictures()) GTEST_SKIP() << "no installation pictures in " << choices.installFolder;
  SdlTegoDDrw full(clock);
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  ASSERT_TRUE(full.SetDisplayMode(800, 600, 32, ""));
  for (SdlTegoDDrw* control : {&ddrw, &full}) {
    SDL_SetWindowFullscreen(control->Window(), 0);
    SDL_SetWindowSize(control->Window(), 1366, 768);
  }
  Load();
  MemoryStore store;
  store.Preset(kSectionSettings, "RunMon", "False");
  store.Preset(kSectionSettings, "PwrMsg", "False");
  LoadScene(choices, full, store);
  overlays.showCalendar = true;
  rotation.showStyle = {0, 1, 1, 1, 1, 1, 1};
  rotation.fireplaceIndex = 1;
  int64_t written = 0;
  for (int frame = 0; frame < 200; ++frame) {
    clock.SetLocalTime(2026, 12, 24, 21, frame / 10 % 60, frame % 60);
    if (frame % 3 == 0) ddrw.NextSpriteFrame(sprites.flameSprite);
    if (frame % 3 == 0) full.NextSpriteFrame(sprites.flameSprite);
    if (frame % 25 == 24) rotation.RotationStep();
    if (frame % 4 == 0) clocks.NoticeClockTick(store);
    if (frame == 120) overlays.calendarCorner = 2;
    Compose();
    full.Invalidate();
    ComposeFrame({sprites, choices.decorations, rotation, overlays, clocks}, full, clock);
    written += ddrw.PixelsWritten();
    int width = 0, height = 0, fullWidth = 0, fullHeight = 0;
    const std::vector<uint32_t> shown = ddrw.ReadWindow(width, height);
    ASSERT_EQ(shown, full.ReadWindow(fullWidth, fullHeight)) << "frame " << frame;
  }
  // Most frames wrote a small part of the window.
  EXPECT_LT(written, int64_t{1366} * 768 * 200 / 4);
}

// The living fire's frames drawn where they changed match a full redraw:
// walls beside a wide scene, the light's strength, the sparks and the
// doubled pictures of a 1920 x 1080 screen; and with its switches off every
// frame is the classic one.
TEST_F(SceneTest, LivingFireFramesMatchAFullRedrawAndItsSwitchesOffAreTheClassicScene) {
  if (!HasPictures()) GTEST_SKIP() << "no installation pictures in " << choices.installFolder;
  for (bool on : {false, true}) {
    SCOPED_TRACE(on ? "living fire on" : "living fire off");
    choices.decorations.fillWide = choices.decorations.firelight = on;
    choices.decorations.embers = choices.decorations.livingFlame = on;
    SdlTegoDDrw changed(clock);
    SdlTegoDDrw full(clock);
    SdlTegoDDrw classic(clock);
    for (SdlTegoDDrw* control : {&changed, &full, &classic}) {
      control->SetWideCanvas(on);
      ASSERT_TRUE(control->SetDisplayMode(800, 600, 32, ""));
      SDL_SetWindowFullscreen(control->Window(), 0);
      SDL_SetWindowSize(control->Window(), on ? 1920 : 1366, on ? 1080 : 768);
    }
    MemoryStore store;
    store.Preset(kSectionSettings, "RunMon", "True");
    store.Preset(kSectionSettings, "PwrMsg", "True");
    const SceneSprites scene = LoadScene(choices, changed, store);
    LoadScene(choices, full, store);
    LoadScene(choices, classic, store);
    rotation.showStyle = {0, 1, 1, 1, 1, 1, 1};
    rotation.fireplaceIndex = 3;
    LivingFire fireChanged(11), fireFull(11);
    int64_t written = 0;
    for (int frame = 0; frame < 120; ++frame) {
      clock.AdvanceMs(40);
      clock.SetLocalTime(2026, 12, 24, 21, 0, frame / 25 % 60);
      if (frame % 50 == 49) rotation.RotationStep();
      ComposeFrame({scene, choices.decorations, rotation, overlays, clocks, &fireChanged}, changed, clock);
      full.Invalidate();
      ComposeFrame({scene, choices.decorations, rotation, overlays, clocks, &fireFull}, full, clock);
      written += changed.PixelsWritten();
      int w = 0, h = 0, fw = 0, fh = 0;
      const std::vector<uint32_t> shown = changed.ReadWindow(w, h);
      ASSERT_EQ(shown, full.ReadWindow(fw, fh)) << "frame " << frame;
      if (!on) {
        classic.Invalidate();
        ComposeFrame({scene, choices.decorations, rotation, overlays, clocks}, classic, clock);
        ASSERT_EQ(shown, classic.ReadWindow(fw, fh)) << "frame " << frame;
      }
    }
    EXPECT_EQ(changed.PictureScale(), on ? 2 : 1);
    EXPECT_EQ(changed.CanvasMargin(), on ? 133 : 0);
    // Sparks and light dirty only what they touch.
    const int64_t window = on ? int64_t{1920} * 1080 : int64_t{1366} * 768;
    EXPECT_LT(written, window * 120 / 4);
  }
}

// The canvas takes a wide window's shape, and a screen with a scale of 1.5
// or more gets the pictures painted at twice the size; up to that size the
// canvas is composed at the window's own, and nearly twice it (4K) at half
// the window's.
TEST_F(SdlDDrwTest, AWideCanvasShowsWhatStandsBesideTheSceneAndBigScreensGetDoubledPictures) {
  fs::create_directories(folder_ / "2x");
  // The doubled red is blue, so that the test sees which one is drawn.
  WriteBmp32(folder_ / "2x" / "red.bmp", 80, 80, [](int x, int y) {
    const bool inside = x >= 20 && x < 60 && y >= 20 && y < 60;
    return Rgba{0, 0, 255, static_cast<uint8_t>(inside ? 255 : 0)};
  });
  struct Case {
    bool wide;
    int width, height;
    int margin, scale;
    int canvasWidth;
  };
  for (const Case c :
       {Case{false, 1920, 1080, 0, 2, 1440}, Case{true, 1920, 1080, 133, 2, 1919},
        Case{true, 1024, 768, 0, 1, 800}, Case{true, 1280, 720, 133, 1, 1066},
        Case{true, 3440, 1080, 300, 2, 2520}, Case{true, 3840, 2160, 133, 2, 1919}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + (c.wide ? " wide" : ""));
    SdlTegoDDrw control(clock);
    control.SetWideCanvas(c.wide);
    ASSERT_TRUE(control.SetDisplayMode(800, 600, 32, ""));
    SDL_SetWindowFullscreen(control.Window(), 0);
    SDL_SetWindowSize(control.Window(), c.width, c.height);
    const int32_t beside = control.CreateSprite();
    control.LoadSpriteFrame(beside, 1, File("red.bmp"), kLoadSceneArt);
    control.SetSpriteX(beside, -110);  // its red square at scene x -100 to -80
    control.SetSpriteY(beside, 290);
    control.ClearBackBuffer(0);
    control.DrawSprite(beside);
    control.FlipBackBuffer();
    EXPECT_EQ(control.CanvasMargin(), c.margin);
    EXPECT_EQ(control.PictureScale(), c.scale);
    EXPECT_EQ(control.CanvasWidth(), c.canvasWidth);
    Shown shown;
    shown.pixels = control.ReadWindow(shown.width, shown.height);
    const PixelRect fit = control.CanvasInWindow();
    if (control.PictureZoom() < 1.0) {
      // Composed at the window's own size, or at half of it and doubled.
      const int times = fit.w > control.CanvasWidth() ? 2 : 1;
      EXPECT_EQ(fit, (PixelRect{fit.x, fit.y, times * control.CanvasWidth(),
                                times * control.CanvasHeight()}));
    }
    const double perScene = fit.h / 600.0;
    const uint32_t there = shown.At(fit.x + static_cast<int>((c.margin - 90) * perScene),
                                    fit.y + static_cast<int>(310 * perScene));
    if (c.margin > 100) {
      EXPECT_EQ(there, c.scale == 2 ? kBluePixel : kRedPixel);
    } else {
      EXPECT_EQ(shown.At(2, shown.height / 2), kBlackPixel);
    }
    // The pointer is told in scene pixels whatever the canvas.
    const std::optional<PointerPosition> centre =
        control.CanvasPosition({fit.x + fit.w / 2, fit.y + fit.h / 2});
    ASSERT_TRUE(centre);
    EXPECT_NEAR(centre->x, 400, 2);
    EXPECT_NEAR(centre->y, 300, 2);
  }
}

// A window up to the doubled pictures' size gets them made smaller once and
// its canvas composed at its own size: the scene looks as the scaled canvas
// would, and pictures side by side meet without a seam.
TEST_F(SdlDDrwTest, AWindowUpToThePicturesSizeIsComposedAtItsOwnSizeAsTheScaledCanvasLooks) {
  WriteBmp32(folder_ / "left.bmp", 111, 100, [](int, int) { return Rgba{255, 0, 0, 255}; });
  WriteBmp32(folder_ / "right.bmp", 93, 100, [](int, int) { return Rgba{0, 255, 0, 255}; });
  // White, fading out from its middle.
  WriteBmp32(folder_ / "glow.bmp", 61, 61, [](int x, int y) {
    const int d = std::abs(x - 30) + std::abs(y - 30);
    return Rgba{255, 255, 255, static_cast<uint8_t>(std::max(0, 255 - 8 * d))};
  });
  // Grey stripes, steep enough that a picture made smaller a pixel out of
  // its place would be seen.
  WriteBmp32(folder_ / "stripes.bmp", 60, 40, [](int x, int) {
    const auto v = static_cast<uint8_t>(std::abs(x * 32 % 512 - 256) * 255 / 256);
    return Rgba{v, v, v, 255};
  });
  const auto Draw = [&](SdlTegoDDrw& control) {
    std::vector<int32_t> sprites;
    for (const auto& [file, x, y] : {std::tuple{"left.bmp", 97, 100}, std::tuple{"right.bmp", 208, 100},
                                     std::tuple{"glow.bmp", 181, 123}, std::tuple{"keyed.bmp", 333, 97},
                                     std::tuple{"stripes.bmp", 451, 301}}) {
      sprites.push_back(control.CreateSprite());
      control.LoadSpriteFrame(sprites.back(), 1, File(file), kLoadSceneArt);
      control.SetSpriteX(sprites.back(), x);
      control.SetSpriteY(sprites.back(), y);
    }
    control.ClearBackBuffer(0);
    for (int32_t sprite : sprites) control.DrawSprite(sprite);
    control.FlipBackBuffer();
  };
  // The scene as a 1600 x 1200 window shows it, at the doubled pictures' size.
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  Resize(1600, 1200);
  Draw(ddrw);
  ASSERT_EQ(ddrw.PictureScale(), 2);
  ASSERT_EQ(ddrw.PictureZoom(), 1.0);
  std::vector<uint32_t> scene = ddrw.ReadCanvas();
  for (const auto& [width, height] : {std::pair{1920, 1080}, std::pair{1280, 1024}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    SdlTegoDDrw control(clock);
    ASSERT_TRUE(control.SetDisplayMode(800, 600, 32, ""));
    SDL_SetWindowFullscreen(control.Window(), 0);
    SDL_SetWindowSize(control.Window(), width, height);
    Draw(control);
    EXPECT_LT(control.PictureZoom(), 1.0);
    const PixelRect fit = control.CanvasInWindow();
    ASSERT_EQ(fit.w, control.CanvasWidth());
    ASSERT_EQ(fit.h, control.CanvasHeight());
    const Shown shown = ReadShown(control);
    CanvasScale scale;
    scale.SetSizes(1600, 1200, fit.w, fit.h);
    std::vector<uint32_t> scaled(static_cast<size_t>(fit.w) * fit.h);
    scale.Scale(scene.data(), 1600, scaled.data(), fit.w, {0, 0, fit.w, fit.h});
    const double per = fit.h / 600.0;
    // The window pixels in a scene rectangle that differ from the scaled scene.
    const auto Unlike = [&](const PixelRect& area) {
      int64_t unlike = 0;
      for (int y = static_cast<int>(area.y * per); y < static_cast<int>((area.y + area.h) * per); ++y) {
        for (int x = static_cast<int>(area.x * per); x < static_cast<int>((area.x + area.w) * per); ++x) {
          const uint32_t a = shown.At(fit.x + x, fit.y + y);
          const uint32_t b = scaled[static_cast<size_t>(y) * fit.w + x];
          for (int shift : {0, 8, 16}) {
            if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 8) {
              ++unlike;
              break;
            }
          }
        }
      }
      return unlike;
    };
    // Only the pictures' edges may fall a pixel apart; inside, they match.
    EXPECT_LT(Unlike({0, 0, 800, 600}), int64_t{fit.w} * fit.h / 400);
    EXPECT_EQ(Unlike({453, 303, 56, 36}), 0);
    // Across the join of red and green there is no darker line.
    const int row = fit.y + static_cast<int>(110 * per);
    for (int x = fit.x + static_cast<int>(98 * per); x < fit.x + static_cast<int>(300 * per); ++x) {
      const uint32_t p = shown.At(x, row);
      ASSERT_GE(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF), 250u) << "window column " << x;
    }
  }
}

TEST_F(SdlDDrwTest, LightBrightensWhatIsUnderItAtItsStrengthAndSparksAddTheirs) {
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  Resize(800, 600);
  WriteBmp32(folder_ / "grey.bmp", 200, 100, [](int, int) { return Rgba{100, 100, 100, 255}; });
  // Warm light, full on the left half, none on the right.
  WriteBmp32(folder_ / "light.bmp", 200, 100, [](int x, int) {
    return Rgba{255, 128, 0, static_cast<uint8_t>(x < 100 ? 255 : 0)};
  });
  // A light of two colours is kept whole, a light of one as its alpha alone.
  WriteBmp32(folder_ / "two.bmp", 200, 100, [](int x, int) {
    return x < 50 ? Rgba{255, 128, 0, 255} : Rgba{0, 128, 255, static_cast<uint8_t>(x < 100 ? 255 : 0)};
  });
  const int32_t grey = Sprite("grey.bmp", 100, 100);
  const int32_t light = Sprite("light.bmp", 100, 100, kLoadLight);
  const int32_t greyBelow = Sprite("grey.bmp", 100, 300);
  const int32_t two = Sprite("two.bmp", 100, 300, kLoadLight);
  const auto Frame = [&](int level, bool spark) {
    ddrw.ClearBackBuffer(0);
    ddrw.DrawSprite(grey);
    ddrw.DrawSprite(greyBelow);
    ddrw.SetSpriteLevel(light, level);
    ddrw.SetSpriteLevel(two, level);
    ddrw.DrawSprite(light);
    ddrw.DrawSprite(two);
    if (spark) ddrw.DrawSpark(400, 400, 255);
    ddrw.FlipBackBuffer();
    return ddrw.ReadCanvas();
  };
  std::vector<uint32_t> canvas = Frame(0, false);
  EXPECT_EQ(At(canvas, 150, 150), 0xFF646464u);
  canvas = Frame(255, false);
  EXPECT_EQ(At(canvas, 150, 150), 0xFFC79664u);  // 100 lit by (255, 128, 0): 199, 150, 100
  // Every pixel of a row alike, whichever path the processor takes for it.
  for (int x = 101; x < 199; ++x) EXPECT_EQ(At(canvas, x, 150), 0xFFC79664u) << x;
  EXPECT_EQ(At(canvas, 120, 350), 0xFFC79664u);
  EXPECT_EQ(At(canvas, 170, 350), 0xFF6496C7u);  // lit by (0, 128, 255)
  EXPECT_EQ(At(canvas, 250, 350), 0xFF646464u);
  EXPECT_EQ(At(canvas, 250, 150), 0xFF646464u);  // where no light falls
  EXPECT_EQ(At(canvas, 50, 50), kBlackPixel);    // light on black is black
  // Only the tiles they lit, and their neighbours in the scaling.
  EXPECT_LE(ddrw.PixelsWritten(), 2 * 114 * 114);
  canvas = Frame(255, true);
  const uint32_t spark = At(canvas, 400, 400);
  EXPECT_GT((spark >> 16) & 0xFF, 200u);
  EXPECT_GT((spark >> 8) & 0xFF, 150u);
  EXPECT_LE(ddrw.PixelsWritten(), 34 * 34);  // the spark's own tiles
  EXPECT_EQ(At(canvas, 420, 400), kBlackPixel);
  // A spark that goes takes its light with it.
  canvas = Frame(255, false);
  EXPECT_EQ(At(canvas, 400, 400), kBlackPixel);
  EXPECT_EQ(ddrw.FrameBrightness(grey, 1), 100);
  EXPECT_FALSE(ddrw.FrameBrightness(grey, 2));
}

// On X11 a window the canvas is scaled into gets its pixels through a small
// strip of memory shared with the X server, a few rectangles at a time,
// instead of SDL's copy of the whole window: the window still shows what
// the canvas scaled to it shows, whole and after a change.
class SdlX11Test : public SdlDDrwTest {
 protected:
  static void SetUpTestSuite() {
    // A private X server, which names its display once it is ready.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    server_ = fork();
    ASSERT_GE(server_, 0);
    if (server_ == 0) {
      close(ready[0]);
      const std::string fd = std::to_string(ready[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "2400x1800x24",
             "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(ready[1]);
    std::string display;
    char c = 0;
    while (read(ready[0], &c, 1) == 1 && c != '\n') display += c;
    close(ready[0]);
    ASSERT_FALSE(display.empty()) << "Xvfb did not start (Debian's xvfb)";
    setenv("DISPLAY", (":" + display).c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
  }
  static void TearDownTestSuite() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (server_ > 0) {
      kill(server_, SIGTERM);
      waitpid(server_, nullptr, 0);
    }
  }
  // What the window should show: the canvas scaled into it, bars black.
  std::vector<uint32_t> Expected(int width, int height) const {
    CanvasScale scale;
    scale.SetSizes(ddrw.CanvasWidth(), ddrw.CanvasHeight(), width, height);
    std::vector<uint32_t> window(static_cast<size_t>(width) * height, kBlackPixel);
    const std::vector<uint32_t> canvas = ddrw.ReadCanvas();
    scale.Scale(canvas.data(), ddrw.CanvasWidth(), window.data(), width, {0, 0, width, height});
    return window;
  }
  static pid_t server_;
};
pid_t SdlX11Test::server_ = 0;

TEST_F(SdlX11Test, AScaledWindowShowsTheCanvasScaledThroughTheSharedStrip) {
  ASSERT_TRUE(ddrw.SetDisplayMode(800, 600, 32, ""));
  // 2400 x 1800: three scene pixels to one, from the doubled pictures or
  // their stand-ins, more pixels than the strip holds at once.
  EXPECT_TRUE(ddrw.SharedStrip());
  const int32_t red = Sprite("red.bmp", 100, 100);
  const int32_t green = Sprite("green.bmp", 400, 300);
  for (int frame = 0; frame < 3; ++frame) {
    SCOPED_TRACE("frame " + std::to_string(frame));
    // The first frame is sent whole; the next ones only where they changed.
    ddrw.SetSpriteX(red, 100 + 37 * frame);
    ddrw.ClearBackBuffer(frame == 2 ? 0x404040 : 0);
    ddrw.DrawSprite(red);
    ddrw.DrawSprite(green);
    ddrw.FlipBackBuffer();
    Shown shown;
    shown.pixels = ddrw.ReadWindow(shown.width, shown.height);
    ASSERT_EQ(shown.width, 2400);
    ASSERT_EQ(shown.height, 1800);
    const std::vector<uint32_t> expected = Expected(shown.width, shown.height);
    size_t wrong = 0;
    for (size_t i = 0; i < expected.size(); ++i) wrong += shown.pixels[i] != expected[i];
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(shown.At(shown.X(120 + 37 * frame), shown.Y(120)), kRedPixel);
  }
}

TEST(Utf8PrefixTest, CutsOnlyBetweenCharacters) {
  EXPECT_EQ(Utf8Prefix("abc", 2), "ab");
  EXPECT_EQ(Utf8Prefix("abc", 9), "abc");
  EXPECT_EQ(Utf8Prefix("\xC3\xA9t\xC3\xA9", 1), "\xC3\xA9");
  EXPECT_EQ(Utf8Prefix("\xE2\x9C\xA8x", 1), "\xE2\x9C\xA8");
  EXPECT_EQ(Utf8Prefix("", 3), "");
}

}  // namespace
}  // namespace emberlrn
