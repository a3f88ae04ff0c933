#include "scene/scene_catalogue.h"

#include <string>

#include "interfaces/tego_ddrw.h"
#include "scene/display_session.h"
#include "scene/scene_layout.h"
#include "settings/setting_reader.h"

namespace emberlrn {
namespace {

void Place(TegoDDrw& ddrw, int32_t sprite, Point at) {
  ddrw.SetSpriteX(sprite, at.x);
  ddrw.SetSpriteY(sprite, at.y);
}

// CreateSprite, its one frame from the install folder, and its place.
int32_t MakeSprite(const SceneChoices& choices, TegoDDrw& ddrw, std::string_view file, int loadCode,
                   std::optional<Point> at) {
  const int32_t sprite = ddrw.CreateSprite();
  ddrw.LoadSpriteFrame(sprite, 1, choices.installFolder + std::string(file), loadCode);
  if (at) Place(ddrw, sprite, *at);
  return sprite;
}

int32_t MakeFlame(const SceneChoices& choices, TegoDDrw& ddrw) {
  const int32_t sprite = ddrw.CreateSprite();
  for (size_t i = 0; i < kFlameFiles.size(); ++i) {
    ddrw.LoadSpriteFrame(sprite, static_cast<int>(i) + 1,
                         choices.installFolder + std::string(kFlameFiles[i]), kLoadSceneArt);
  }
  ddrw.SetSpriteFrame(sprite, 1);
  ddrw.SetSpriteSpeed(sprite, choices.flameSpeed);
  Place(ddrw, sprite, kFlameAt);
  return sprite;
}

void MakeSurround(const SceneChoices& choices, SceneSprites& sprites, TegoDDrw& ddrw, int style) {
  const SurroundFiles& files = kSurroundFiles[style];
  const SurroundLayout& layout = kSurroundLayout[style];
  sprites.surroundLeft[style] = MakeSprite(choices, ddrw, files.left, kLoadSceneArt, layout.left);
  sprites.surroundRight[style] = MakeSprite(choices, ddrw, files.right, kLoadSceneArt, layout.right);
  sprites.surroundTop[style] = MakeSprite(choices, ddrw, files.top, kLoadSceneArt, layout.top);
  if (layout.mantle) {
    sprites.mantleSprite[style] =
        MakeSprite(choices, ddrw, files.mantle, kLoadSceneArt, layout.mantle);
  }
}

}  // namespace

std::vector<std::string_view> SceneFiles() {
  std::vector<std::string_view> files = {kStockingFile, kPoinrFile, kPoinlFile, kBellrFile,
                                         kBelllFile, kCalendarFile};
  files.insert(files.end(), kFlameFiles.begin(), kFlameFiles.end());
  files.push_back(kLogsFile);
  for (size_t style = 1; style < kSurroundFiles.size(); ++style) {
    const SurroundFiles& pieces = kSurroundFiles[style];
    for (std::string_view file : {pieces.left, pieces.right, pieces.top, pieces.mantle}) {
      if (!file.empty()) files.push_back(file);
    }
  }
  files.insert(files.end(), {kAndironLFile, kAndironRFile, kMonitorNoticeFile, kPowerNoticeFile});
  for (size_t style = 1; style < kSurroundFiles.size(); ++style) {
    files.insert(files.end(), {kWallLeftFiles[style], kWallRightFiles[style], kLightFiles[style]});
  }
  files.insert(files.end(), {kShadeLFile, kShadeRFile});
  return files;
}

SceneSprites LoadScene(const SceneChoices& choices, TegoDDrw& ddrw, const SettingsStore& store) {
  SceneSprites sprites;
  for (size_t i = 0; i < 4; ++i) {
    sprites.stockingSprite[i] = MakeSprite(choices, ddrw, kStockingFile, kLoadSceneArt,
                                           Point{kStockingX[i], choices.decorations.stockingTop});
  }
  sprites.poinrSprite = MakeSprite(choices, ddrw, kPoinrFile, kLoadSceneArt, kPoinrAt);
  sprites.poinlSprite = MakeSprite(choices, ddrw, kPoinlFile, kLoadSceneArt, kPoinlAt);
  sprites.bellrSprite = MakeSprite(choices, ddrw, kBellrFile, kLoadSceneArt, kBellrAt);
  sprites.belllSprite = MakeSprite(choices, ddrw, kBelllFile, kLoadSceneArt, kBelllAt);
  sprites.calendarSprite = MakeSprite(choices, ddrw, kCalendarFile, kLoadSceneArt,
                                      CalendarPosition(choices.calendarCorner));
  sprites.flameSprite = MakeFlame(choices, ddrw);
  sprites.logsSprite = MakeSprite(choices, ddrw, kLogsFile, kLoadSceneArt, kLogsAt);
  for (int style = 1; style < static_cast<int>(kSurroundFiles.size()); ++style) {
    MakeSurround(choices, sprites, ddrw, style);
  }

  if (choices.decorations.showAndirons) {
    const Point x = choices.anyStyleShown ? kAndironXWithSurround : kAndironXWithoutSurround;
    sprites.andironLSprite =
        MakeSprite(choices, ddrw, kAndironLFile, kLoadSceneArt, Point{x.x, kAndironY});
    sprites.andironRSprite =
        MakeSprite(choices, ddrw, kAndironRFile, kLoadSceneArt, Point{x.y, kAndironY});
  }

  // A missing or garbled value counts as "False": the notice shows (again).
  sprites.runMonShown = GetBoolSetting(store, keys::kRunMon);
  if (!sprites.runMonShown) {
    sprites.monitorNoticeSprite =
        MakeSprite(choices, ddrw, kMonitorNoticeFile, kLoadOpaquePanel, kNoticeAt);
  }
  sprites.pwrMsgShown = GetBoolSetting(store, keys::kPwrMsg);
  if (!sprites.pwrMsgShown) {
    sprites.powerNoticeSprite =
        MakeSprite(choices, ddrw, kPowerNoticeFile, kLoadOpaquePanel, kNoticeAt);
  }

  const Decorations& living = choices.decorations;
  for (int style = 1; style < static_cast<int>(kSurroundFiles.size()); ++style) {
    if (living.fillWide) {
      sprites.wallLeft[style] =
          MakeSprite(choices, ddrw, kWallLeftFiles[style], kLoadSceneArt, kWallLeftAt);
      sprites.wallRight[style] =
          MakeSprite(choices, ddrw, kWallRightFiles[style], kLoadSceneArt, kWallRightAt);
    }
    if (living.firelight) {
      sprites.lightSprite[style] = MakeSprite(choices, ddrw, kLightFiles[style], kLoadLight, kLightAt);
    }
  }
  if (living.firelight) {
    // Placed at the canvas's edges by each frame: the canvas's width is the window's.
    sprites.shadeLSprite = MakeSprite(choices, ddrw, kShadeLFile, kLoadSceneArt, Point{0, 0});
    sprites.shadeRSprite = MakeSprite(choices, ddrw, kShadeRFile, kLoadSceneArt, Point{0, 0});
  }
  return sprites;
}

bool OpenDirectDrawSession(const SceneChoices& choices, SceneSprites& sprites, TegoDDrw& ddrw,
                           DisplayModes& modes, const SettingsStore& store, System& system) {
  ddrw.SetWideCanvas(choices.decorations.fillWide);
  if (!OpenDisplay(ddrw, modes, system)) return false;
  sprites = LoadScene(choices, ddrw, store);
  return true;
}

}  // namespace emberlrn
