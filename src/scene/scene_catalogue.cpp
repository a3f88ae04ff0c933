#include "scene/scene_catalogue.h"

#include <string>

#include "scene/display_session.h"
#include "scene/scene_layout.h"
#include "interfaces/tego_ddrw.h"
#include "settings/setting_reader.h"
#include "start/saver_state.h"

namespace emberlrn {
namespace {

void Place(TegoDDrw& ddrw, int32_t sprite, Point at) {
  ddrw.SetSpriteX(sprite, at.x);
  ddrw.SetSpriteY(sprite, at.y);
}

// CreateSprite, its one frame from the install folder, and its place.
int32_t MakeSprite(const SaverState& state, TegoDDrw& ddrw, std::string_view file, int loadCode,
                   std::optional<Point> at) {
  const int32_t sprite = ddrw.CreateSprite();
  ddrw.LoadSpriteFrame(sprite, 1, state.installFolder + std::string(file), loadCode);
  if (at) Place(ddrw, sprite, *at);
  return sprite;
}

int32_t MakeFlame(const SaverState& state, TegoDDrw& ddrw) {
  const int32_t sprite = ddrw.CreateSprite();
  for (size_t i = 0; i < kFlameFiles.size(); ++i) {
    ddrw.LoadSpriteFrame(sprite, static_cast<int>(i) + 1,
                         state.installFolder + std::string(kFlameFiles[i]), kLoadSceneArt);
  }
  ddrw.SetSpriteFrame(sprite, 1);
  ddrw.SetSpriteSpeed(sprite, state.flameSpeed);
  Place(ddrw, sprite, kFlameAt);
  return sprite;
}

void MakeSurround(SaverState& state, TegoDDrw& ddrw, int style) {
  const SurroundFiles& files = kSurroundFiles[style];
  const SurroundLayout& layout = kSurroundLayout[style];
  state.surroundLeft[style] = MakeSprite(state, ddrw, files.left, kLoadSceneArt, layout.left);
  state.surroundRight[style] = MakeSprite(state, ddrw, files.right, kLoadSceneArt, layout.right);
  state.surroundTop[style] = MakeSprite(state, ddrw, files.top, kLoadSceneArt, layout.top);
  if (layout.mantle) {
    state.mantleSprite[style] = MakeSprite(state, ddrw, files.mantle, kLoadSceneArt, layout.mantle);
  }
}

}  // namespace

void LoadScene(SaverState& state, TegoDDrw& ddrw, const SettingsStore& store) {
  int32_t* const stockings[] = {&state.stocking1Sprite, &state.stocking2Sprite,
                                &state.stocking3Sprite, &state.stocking4Sprite};
  for (size_t i = 0; i < 4; ++i) {
    *stockings[i] = MakeSprite(state, ddrw, kStockingFile, kLoadSceneArt,
                               Point{kStockingX[i], state.stockingTop});
  }
  state.poinrSprite = MakeSprite(state, ddrw, kPoinrFile, kLoadSceneArt, kPoinrAt);
  state.poinlSprite = MakeSprite(state, ddrw, kPoinlFile, kLoadSceneArt, kPoinlAt);
  state.bellrSprite = MakeSprite(state, ddrw, kBellrFile, kLoadSceneArt, kBellrAt);
  state.belllSprite = MakeSprite(state, ddrw, kBelllFile, kLoadSceneArt, kBelllAt);
  state.calendarSprite =
      MakeSprite(state, ddrw, kCalendarFile, kLoadSceneArt, CalendarPosition(state.calendarCorner));
  state.flameSprite = MakeFlame(state, ddrw);
  state.logsSprite = MakeSprite(state, ddrw, kLogsFile, kLoadSceneArt, kLogsAt);
  for (int style = 1; style <= kStyleCount; ++style) MakeSurround(state, ddrw, style);

  if (state.showAndirons == 1) {
    const Point x = state.anyStyleShown ? kAndironXWithSurround : kAndironXWithoutSurround;
    state.andironLSprite =
        MakeSprite(state, ddrw, kAndironLFile, kLoadSceneArt, Point{x.x, kAndironY});
    state.andironRSprite =
        MakeSprite(state, ddrw, kAndironRFile, kLoadSceneArt, Point{x.y, kAndironY});
  }

  // A missing or garbled value counts as "False": the notice shows (again).
  state.runMonShown = GetBoolSetting(store, keys::kRunMon);
  if (!state.runMonShown) {
    state.monitorNoticeSprite =
        MakeSprite(state, ddrw, kMonitorNoticeFile, kLoadOpaquePanel, kNoticeAt);
  }
  state.pwrMsgShown = GetBoolSetting(store, keys::kPwrMsg);
  if (!state.pwrMsgShown) {
    state.powerNoticeSprite =
        MakeSprite(state, ddrw, kPowerNoticeFile, kLoadOpaquePanel, kNoticeAt);
    // The notices run to their end in this run; the feature tips follow them.
    state.featureTipsDue = true;
  }
}

bool OpenDirectDrawSession(SaverState& state, TegoDDrw& ddrw, DisplayModes& modes,
                           const SettingsStore& store, System& system) {
  if (!OpenDisplay(ddrw, modes, system)) return false;
  LoadScene(state, ddrw, store);
  return true;
}

}  // namespace emberlrn
