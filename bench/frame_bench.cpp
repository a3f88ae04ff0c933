// What a frame of the fireplace costs on the SDL software renderer, headless:
// whole frames composed through the saver's own layers (the frame routine and
// the drawing control), against a floor of the same pictures and texts put on
// the same canvas with plain SDL calls. Every frame differs from the one
// before (the flame moves on each time), so none is left out as unchanged.
// Prints both and their ratio; the aim is at most 1.2.

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

void BM_ComposeFrame(benchmark::State& bench) {
  SteppedClock clock;
  SdlTegoDDrw ddrw(clock);
  if (!ddrw.SetDisplayMode(800, 600, 32, "")) {
    bench.SkipWithError("no display");
    return;
  }
  Scene scene(DataFolder());
  NoticesDone store;
  scene.sprites = LoadScene(scene.choices, ddrw, store);
  scene.clocks.NoticesSeen(scene.sprites.runMonShown, scene.sprites.pwrMsgShown);
  for (auto _ : bench) {
    clock.Step(17);
    ComposeFrame(scene.Parts(), ddrw, clock);
  }
  if (ddrw.FramesUnchanged() != 0) bench.SkipWithError("frames were left out");
}

// The floor: the same pictures and texts, drawn straight with SDL.
void BM_PlainSdlFloor(benchmark::State& bench) {
  SDL_Rect desktop{0, 0, 1024, 768};
  SDL_GetDisplayBounds(0, &desktop);
  std::unique_ptr<SDL_Window, void (*)(SDL_Window*)> window(
      SDL_CreateWindow("floor", 0, 0, desktop.w, desktop.h, SDL_WINDOW_BORDERLESS),
      SDL_DestroyWindow);
  std::unique_ptr<SDL_Renderer, void (*)(SDL_Renderer*)> renderer(
      SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE), SDL_DestroyRenderer);
  SDL_Renderer* r = renderer.get();
  SDL_RenderSetLogicalSize(r, 800, 600);
  SDL_Texture* canvas =
      SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, 800, 600);

  const std::string folder = DataFolder();
  struct Picture {
    SDL_Texture* texture;
    SDL_Rect at;
    bool owned = true;  // texts belong to the text cache
  };
  const auto Load = [&](std::string_view file, Point at, bool opaque = false) {
    SDL_Surface* s = SDL_LoadBMP((folder + std::string(file)).c_str());
    Picture p{nullptr, {at.x, at.y, 0, 0}};
    if (s == nullptr) return p;
    p.texture = SDL_CreateTextureFromSurface(r, s);
    SDL_SetTextureBlendMode(p.texture, opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    p.at.w = s->w;
    p.at.h = s->h;
    SDL_FreeSurface(s);
    return p;
  };
  std::vector<Picture> flames;
  for (const std::string_view f : kFlameFiles) flames.push_back(Load(f, kFlameAt));
  std::vector<Picture> scene = {Load(kLogsFile, kLogsAt),
                                Load(kAndironLFile, {kAndironXWithSurround.x, kAndironY}),
                                Load(kAndironRFile, {kAndironXWithSurround.y, kAndironY}),
                                Load(kSurroundFiles[3].right, kSurroundLayout[3].right),
                                Load(kSurroundFiles[3].left, kSurroundLayout[3].left),
                                Load(kSurroundFiles[3].top, kSurroundLayout[3].top),
                                Load(kSurroundFiles[3].mantle, *kSurroundLayout[3].mantle),
                                Load(kCalendarFile, kCalendarAt[1])};
  TextCache texts;
  const auto Text = [&](std::string_view face, int size, std::string_view text, Point at,
                        Colour colour) {
    texts.SetFont(face, size, false, false, false);
    const TextTexture t =
        texts.Get(r, text,
                  {static_cast<Uint8>(colour & 0xFF), static_cast<Uint8>((colour >> 8) & 0xFF),
                   static_cast<Uint8>((colour >> 16) & 0xFF), 255},
                  800 - at.x);
    return Picture{t.texture, {at.x, at.y, t.width, t.height}, false};
  };
  const CalendarTexts calendar(SteppedClock().Now().tm);
  scene.push_back(Text(kTextFace, 46, calendar.Day(), {14, 540}, kRed));
  scene.push_back(Text(kTextFace, 12, calendar.Weekday(), {10, 534}, kRed));
  scene.push_back(Text(kTextFace, 14, calendar.Time(), {9, 522}, kBlue));
  scene.push_back(Text(kTextFace, 16, calendar.Month(), {27, 510}, kRed));
  for (int i = 0; i < 4; ++i) scene.push_back(Load(kStockingFile, {kStockingX[i], 19}));
  scene.push_back(Load(kBellrFile, kBellrAt));
  scene.push_back(Load(kBelllFile, kBelllAt));
  scene.push_back(Load(kPoinrFile, kPoinrAt));
  scene.push_back(Load(kPoinlFile, kPoinlAt));
  scene.push_back(Text(kTextFace, 18, "Merry Christmas and a happy new year", {100, 1}, kYellow));
  scene.push_back(Text(kTextFace, 16, kNotice2Line, {151, 40}, kYellow));
  scene.push_back(Text(kTextFace, 16,
                       "This graphic will disappear in: 17 seconds - This is the only time "
                       "these will be displayed",
                       {151, 55}, kYellow));
  scene.push_back(Load(kPowerNoticeFile, kNoticeAt, true));

  size_t flame = 0;
  for (auto _ : bench) {
    SDL_SetRenderTarget(r, canvas);
    SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
    SDL_RenderClear(r);
    flame = (flame + 1) % flames.size();
    SDL_RenderCopy(r, flames[flame].texture, nullptr, &flames[flame].at);
    for (const Picture& p : scene) {
      if (p.texture) SDL_RenderCopy(r, p.texture, nullptr, &p.at);
    }
    SDL_SetRenderTarget(r, nullptr);
    SDL_RenderCopy(r, canvas, nullptr, nullptr);
    SDL_RenderPresent(r);
  }
  for (Picture& p : flames) SDL_DestroyTexture(p.texture);
  for (Picture& p : scene) {
    if (p.owned) SDL_DestroyTexture(p.texture);
  }
  texts.Clear();
  SDL_DestroyTexture(canvas);
}

BENCHMARK(BM_ComposeFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlainSdlFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps the time per frame of each benchmark for the ratio.
class RatioReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        // Processor time: the machine may be shared, and waiting is not drawing.
        perFrameMs[run.run_name.function_name] = run.GetAdjustedCPUTime();
      }
    }
  }
  std::map<std::string, double> perFrameMs;
};

}  // namespace
}  // namespace emberlrn

int main(int argc, char** argv) {
  if (std::getenv("SDL_VIDEODRIVER") == nullptr) setenv("SDL_VIDEODRIVER", "dummy", 1);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::cerr << "frame_bench: " << SDL_GetError() << '\n';
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  emberlrn::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double ours = reporter.perFrameMs["BM_ComposeFrame"];
  const double floor = reporter.perFrameMs["BM_PlainSdlFloor"];
  if (ours > 0 && floor > 0) {
    std::cout << "processor time per frame: through the saver " << ours << " ms, plain SDL "
              << floor << " ms, ratio " << ours / floor << " (aim: at most 1.2)\n";
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return 0;
}
