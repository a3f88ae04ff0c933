// What a frame of the fireplace costs, headless: frames composed through the
// saver's own layers (the frame routine and the drawing control) into a
// window of each screen size. A flame frame's figures are its time, the
// window pixels it wrote, and their ratio to the flame's rectangle at that
// scale; a quiet frame is what the event loop pays between flame frames.

#include <SDL.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "frame/clocks.h"
#include "frame/compose_frame.h"
#include "frame/living_fire.h"
#include "frame/overlays.h"
#include "frame/rotation.h"
#include "interfaces/clock.h"
#include "platform/sdl/sdl_tego_ddrw.h"
#include "platform/sdl/sdl_text.h"
#include "scene/display_session.h"
#include "scene/scene_catalogue.h"
#include "scene/scene_layout.h"
#include "settings/settings_store.h"

namespace emberlrn {
namespace {

namespace fs = std::filesystem;

// A clock the benchmark moves on by a frame's time before every frame.
class SteppedClock final : public Clock {
 public:
  int64_t MonotonicMs() const override { return ms_; }
  LocalDateTime Now() const override {
    LocalDateTime now;
    now.tm.tm_mday = 24;
    now.tm.tm_mon = 11;
    now.tm.tm_wday = 4;
    now.tm.tm_hour = 21;
    now.tm.tm_min = 30;
    now.tm.tm_sec = static_cast<int>(ms_ / 1000 % 60);
    return now;
  }
  void Step(int64_t ms) { ms_ += ms; }

 private:
  int64_t ms_ = 1000;
};

class NoticesDone final : public SettingsStore {
 public:
  std::string GetSetting(std::string_view, std::string_view, std::string_view key,
                         std::string_view fallback) const override {
    if (key == "RunMon") return "True";
    if (key == "PwrMsg") return "False";
    return std::string(fallback);
  }
  void SaveSetting(std::string_view, std::string_view, std::string_view,
                   std::string_view) override {}
};

// The installation data when it has been made; else stand-ins of the same sizes.
std::string DataFolder() {
  const fs::path built = EMBERLRN_BENCH_DATA_DIR;
  if (fs::exists(built / "Flame1.bmp")) return built.string() + "/";
  const fs::path folder = fs::temp_directory_path() / "emberlrn-bench-art";
  fs::create_directories(folder);
  const std::map<std::string, std::pair<int, int>> sizes = {
      {"Stocking.bmp", {110, 170}}, {"poinr.bmp", {150, 160}},    {"poinl.bmp", {150, 150}},
      {"bellr.bmp", {110, 120}},    {"belll.bmp", {80, 110}},     {"Calendar.bmp", {65, 85}},
      {"Logs.bmp", {634, 165}},     {"AndIronL.bmp", {170, 300}}, {"AndIronR.bmp", {170, 300}},
      {"monitor.bmp", {500, 300}},  {"pwrmsg.bmp", {500, 300}}};
  std::vector<std::pair<std::string, std::pair<int, int>>> all(sizes.begin(), sizes.end());
  for (const std::string_view f : kFlameFiles) all.push_back({std::string(f), {660, 520}});
  for (int style = 1; style <= 6; ++style) {
    const SurroundFiles& files = kSurroundFiles[style];
    all.push_back({std::string(files.left), {110, 388}});
    all.push_back({std::string(files.right), {110, 388}});
    all.push_back({std::string(files.top), {800, 212}});
    if (!files.mantle.empty()) all.push_back({std::string(files.mantle), {640, 60}});
  }
  for (const auto& [name, size] : all) {
    SDL_Surface* s =
        SDL_CreateRGBSurfaceWithFormat(0, size.first, size.second, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(s, nullptr, SDL_MapRGBA(s->format, 180, 120, 60, 200));
    SDL_SaveBMP(s, (folder / name).string().c_str());
    SDL_FreeSurface(s);
  }
  return folder.string() + "/";
}

// A rich frame: style 3 with its mantle, andirons, calendar, all decorations,
// the message and notice 2.
// The saver's subsystems as a first run leaves them, with everything in the
// frame switched on.
struct Scene {
  explicit Scene(const std::string& folder) {
    choices.installFolder = folder;
    choices.decorations = {true, {true, true, true, true}, 19, {false, true, true},
                           {false, true, true}};
    choices.calendarCorner = 1;
    choices.anyStyleShown = true;
    choices.flameSpeed = 1;
    rotation.rotateOn = 1;
    rotation.fireplaceIndex = 3;
    rotation.showMantle = {0, 1, 1, 1, 1};
    overlays.showCalendar = true;
    overlays.calendarCorner = 1;
    overlays.showMessage = true;
    overlays.messageText = "Merry Christmas and a happy new year";
    overlays.messageFontSize = 18;
    clocks.firstFrame = false;
    clocks.noticeCountdown = 17;
  }
  FrameParts Parts() { return {sprites, choices.decorations, rotation, overlays, clocks}; }

  SceneChoices choices;
  SceneSprites sprites;
  StyleRotation rotation;
  Overlays overlays;
  AnimationClocks clocks;
};

// One changed frame: the flame steps on, everything else stays, as at the
// default pace between clock seconds. At each window size: the time per
// frame, the window pixels written, and their ratio to the flame's
// rectangle at that scale (the least a flame frame can write).
void BM_FlameFrame(benchmark::State& bench) {
  const int width = static_cast<int>(bench.range(0));
  const int height = static_cast<int>(bench.range(1));
  SteppedClock clock;
  SdlTegoDDrw ddrw(clock);
  if (!ddrw.SetDisplayMode(800, 600, 32, "")) {
    bench.SkipWithError("no display");
    return;
  }
  SDL_SetWindowFullscreen(ddrw.Window(), 0);
  SDL_SetWindowSize(ddrw.Window(), width, height);
  ddrw.Invalidate();
  Scene scene(DataFolder());
  NoticesDone store;
  scene.sprites = LoadScene(scene.choices, ddrw, store);
  scene.clocks.NoticesSeen(true, true);
  const int32_t flame = scene.sprites.flameSprite;
  ComposeFrame(scene.Parts(), ddrw, clock);
  int64_t written = 0;
  for (auto _ : bench) {
    ddrw.NextSpriteFrame(flame);
    ComposeFrame(scene.Parts(), ddrw, clock);
    written += ddrw.PixelsWritten();
  }
  SDL_Surface* flamePicture = SDL_LoadBMP((DataFolder() + std::string(kFlameFiles[0])).c_str());
  const double flameWidth = flamePicture ? flamePicture->w : 1;
  const double flameHeight = flamePicture ? flamePicture->h : 1;
  SDL_FreeSurface(flamePicture);
  const PixelRect fit = ddrw.CanvasInWindow();
  const double flameArea = flameWidth * (fit.w / 800.0) * flameHeight * (fit.h / 600.0);
  const double perFrame = static_cast<double>(written) / static_cast<double>(bench.iterations());
  bench.counters["pixels"] = perFrame;
  bench.counters["of_flame"] = perFrame / flameArea;
}

// A frame in which nothing changed: what the saver pays between flame
// frames, at the event loop's pace.
void BM_QuietFrame(benchmark::State& bench) {
  SteppedClock clock;
  SdlTegoDDrw ddrw(clock);
  if (!ddrw.SetDisplayMode(800, 600, 32, "")) {
    bench.SkipWithError("no display");
    return;
  }
  Scene scene(DataFolder());
  NoticesDone store;
  scene.sprites = LoadScene(scene.choices, ddrw, store);
  scene.clocks.NoticesSeen(true, true);
  ComposeFrame(scene.Parts(), ddrw, clock);
  for (auto _ : bench) ComposeFrame(scene.Parts(), ddrw, clock);
  if (ddrw.FramesDrawn() != 1) bench.SkipWithError("a quiet frame was drawn");
}
BENCHMARK(BM_QuietFrame)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// A second of the living fire at the default pace, one frame at the sparks'
// pace at a time: the flame steps every 100 ms, the light follows it and the
// sparks move. Its figures are per frame, against the same scene with the
// living fire off, whose frames come only at the flame's steps. With a
// fourth argument of 1 the processor's caches are emptied before each frame,
// as the 100 ms between frames and the X server's work leave them.
void BM_LivingFrame(benchmark::State& bench) {
  const bool cold = bench.range(3) != 0;
  std::vector<uint8_t> sweep(cold ? size_t{64} << 20 : 0);
  // The switches by bit: walls 1, firelight 2, sparks 4, the flame's walk 8.
  const int64_t switches = bench.range(2);
  const bool sparks = (switches & 4) != 0;
  SteppedClock clock;
  SdlTegoDDrw ddrw(clock);
  Scene scene(DataFolder());
  scene.choices.flameSpeed = 100;
  Decorations& living = scene.choices.decorations;
  living.fillWide = (switches & 1) != 0;
  living.firelight = (switches & 2) != 0;
  living.embers = (switches & 4) != 0;
  living.livingFlame = (switches & 8) != 0;
  ddrw.SetWideCanvas(living.fillWide);
  if (!ddrw.SetDisplayMode(800, 600, 32, "")) {
    bench.SkipWithError("no display");
    return;
  }
  SDL_SetWindowFullscreen(ddrw.Window(), 0);
  SDL_SetWindowSize(ddrw.Window(), static_cast<int>(bench.range(0)), static_cast<int>(bench.range(1)));
  ddrw.Invalidate();
  NoticesDone store;
  scene.sprites = LoadScene(scene.choices, ddrw, store);
  scene.clocks.NoticesSeen(true, true);
  LivingFire fire(7);
  FrameParts parts{scene.sprites, scene.choices.decorations, scene.rotation, scene.overlays,
                   scene.clocks, &fire};
  ComposeFrame(parts, ddrw, clock);
  int64_t written = 0, frames = 0;
  for (auto _ : bench) {
    if (cold) {
      bench.PauseTiming();
      for (size_t i = 0; i < sweep.size(); i += 64) sweep[i] = static_cast<uint8_t>(sweep[i] + 1);
      bench.ResumeTiming();
    }
    clock.Step(sparks ? Embers::kStepMs : 100);
    ComposeFrame(parts, ddrw, clock);
    written += ddrw.PixelsWritten();
    ++frames;
  }
  bench.counters["pixels"] = static_cast<double>(written) / static_cast<double>(frames);
  bench.counters["frames_per_s"] = 1000.0 / (sparks ? Embers::kStepMs : 100);
}
BENCHMARK(BM_LivingFrame)
    ->Args({1920, 1080, 0, 0})
    ->Args({1920, 1080, 15, 0})
    ->Args({1920, 1080, 1, 0})
    ->Args({1920, 1080, 2, 0})
    ->Args({1920, 1080, 4, 0})
    ->Args({1920, 1080, 8, 0})
    ->Args({1920, 1080, 0, 1})
    ->Args({1920, 1080, 15, 1})
    ->Args({3840, 2160, 15, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

BENCHMARK(BM_FlameFrame)
    ->Args({800, 600})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0);

}  // namespace
}  // namespace emberlrn

int main(int argc, char** argv) {
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::cerr << "frame_bench: " << SDL_GetError() << '\n';
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SDL_Quit();
  return 0;
}
