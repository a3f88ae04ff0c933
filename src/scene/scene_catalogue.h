#pragma once
// The pictures of the scene and the order in which they become sprites:
// four stockings, two poinsettias, two bells, the calendar plate, the
// ten-frame flame, the logs, the surround pieces of all six styles, the
// andirons and the two first-run notice panels.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace emberlrn {

class DisplayModes;
class SettingsStore;
class System;
class TegoDDrw;

inline constexpr std::string_view kStockingFile = "Stocking.bmp";
inline constexpr std::string_view kPoinrFile = "poinr.bmp";
inline constexpr std::string_view kPoinlFile = "poinl.bmp";
inline constexpr std::string_view kBellrFile = "bellr.bmp";
inline constexpr std::string_view kBelllFile = "belll.bmp";
inline constexpr std::string_view kCalendarFile = "Calendar.bmp";
inline constexpr std::array<std::string_view, 10> kFlameFiles = {
    "Flame1.bmp", "Flame2.bmp", "Flame3.bmp", "Flame4.bmp", "Flame5.bmp",
    "Flame6.bmp", "Flame7.bmp", "Flame8.bmp", "Flame9.bmp", "Flame10.bmp"};
inline constexpr std::string_view kLogsFile = "Logs.bmp";
inline constexpr std::string_view kAndironLFile = "AndIronL.bmp";
inline constexpr std::string_view kAndironRFile = "AndIronR.bmp";
inline constexpr std::string_view kMonitorNoticeFile = "monitor.bmp";
inline constexpr std::string_view kPowerNoticeFile = "pwrmsg.bmp";

struct SurroundFiles {
  std::string_view left;
  std::string_view right;
  std::string_view top;
  std::string_view mantle;  // empty for styles 1 and 2
};

// By style, 1 to 6 (element 0 unused). The names are matched as written.
inline constexpr std::array<SurroundFiles, 7> kSurroundFiles = {{
    {},
    {"marLeftSide.bmp", "marRightSide.bmp", "marTopSide.bmp", ""},
    {"mar2LeftSide.bmp", "mar2RightSide.bmp", "mar2TopSide.bmp", ""},
    {"RiverRockL.bmp", "RiverRockR.bmp", "RiverRockT.bmp", "m-RiverRock.bmp"},
    {"DRiverRockL.bmp", "DRiverRockR.bmp", "DRiverRockT.bmp", "m-DRiverRock.bmp"},
    {"FlatStoneL.bmp", "FlatStoneR.bmp", "FlatStoneT.bmp", "m-Flatstone.bmp"},
    {"OldRockL.bmp", "OldRockR.bmp", "OldRockT.bmp", "m-OldRock.bmp"},
}};

// The living fire's pictures, by style (element 0 unused): the room's walls
// beside the fireplace and the firelight on the hearth and the surround; and
// the room dimming toward the screen's edges.
inline constexpr std::array<std::string_view, 7> kWallLeftFiles = {
    "", "WallL1.bmp", "WallL2.bmp", "WallL3.bmp", "WallL4.bmp", "WallL5.bmp", "WallL6.bmp"};
inline constexpr std::array<std::string_view, 7> kWallRightFiles = {
    "", "WallR1.bmp", "WallR2.bmp", "WallR3.bmp", "WallR4.bmp", "WallR5.bmp", "WallR6.bmp"};
inline constexpr std::array<std::string_view, 7> kLightFiles = {
    "", "Light1.bmp", "Light2.bmp", "Light3.bmp", "Light4.bmp", "Light5.bmp", "Light6.bmp"};
inline constexpr std::string_view kShadeLFile = "ShadeL.bmp";
inline constexpr std::string_view kShadeRFile = "ShadeR.bmp";

// The decorations the user chose: where the stockings hang, which of the
// andirons, stockings, bells and poinsettias are drawn, and how the fire lives.
struct Decorations {
  bool showAndirons = false;
  std::array<bool, 4> showStocking{};  // stocking i + 1
  int16_t stockingTop = 0;
  std::array<bool, 3> showBell{};         // 1 right, 2 left
  std::array<bool, 3> showPoinsettia{};   // 1 right, 2 left
  // The living fire; all off is the classic scene. The room's side walls
  // fill a screen wider than the scene, the fire lights the hearth and the
  // surround, sparks rise from the logs, and the flame's frames play in an
  // order that never repeats.
  bool fillWide = false;
  bool firelight = false;
  bool embers = false;
  bool livingFlame = false;
};

// What the scene is made from: the pictures' folder (with its trailing '/'),
// the decorations, the calendar's corner, the flame's pace and whether any
// surround is ever drawn (the andirons stand further apart when none is).
struct SceneChoices {
  std::string installFolder;
  Decorations decorations;
  int16_t calendarCorner = 0;
  int16_t flameSpeed = 0;
  bool anyStyleShown = false;
};

// The sprites of the scene (0 = not made), with what the store said of the
// two notices when their panels were due.
struct SceneSprites {
  std::array<int32_t, 4> stockingSprite{};
  int32_t poinrSprite = 0, poinlSprite = 0, bellrSprite = 0, belllSprite = 0;
  int32_t calendarSprite = 0, flameSprite = 0, logsSprite = 0;
  std::array<int32_t, 7> surroundLeft{};   // 1..6
  std::array<int32_t, 7> surroundRight{};  // 1..6
  std::array<int32_t, 7> surroundTop{};    // 1..6
  std::array<int32_t, 7> mantleSprite{};   // 3..6
  int32_t andironLSprite = 0, andironRSprite = 0;
  int32_t monitorNoticeSprite = 0, powerNoticeSprite = 0;
  // Made only when their switch is on.
  std::array<int32_t, 7> wallLeft{};     // 1..6
  std::array<int32_t, 7> wallRight{};    // 1..6
  std::array<int32_t, 7> lightSprite{};  // 1..6
  int32_t shadeLSprite = 0, shadeRSprite = 0;
  bool runMonShown = true;
  bool pwrMsgShown = true;
};

// Every picture of the classic scene once, in the order LoadScene first
// loads it, and then the living fire's.
std::vector<std::string_view> SceneFiles();

// Makes every sprite of the scene, in catalogue order, and places each as it
// is made. Reads keys::kRunMon and keys::kPwrMsg just before their panels; a
// panel is made only while its notice is still to be shown. The living
// fire's sprites follow, those of the switches that are on.
SceneSprites LoadScene(const SceneChoices& choices, TegoDDrw& ddrw, const SettingsStore& store);

// The display session: opens the display (see display_session.h) and loads
// the scene into sprites. Returns false when the display was refused and the
// user has been told; nothing of the scene is loaded then.
bool OpenDirectDrawSession(const SceneChoices& choices, SceneSprites& sprites, TegoDDrw& ddrw,
                           DisplayModes& modes, const SettingsStore& store, System& system);

}  // namespace emberlrn
