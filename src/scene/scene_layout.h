#pragma once
// Where every sprite of the scene stands on the 800 x 600 canvas: its
// top-left corner, which may lie off the canvas. Sprites are placed once,
// when they are made, and never moved.

#include <array>
#include <optional>

namespace emberlrn {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

// The four stockings share their top edge (the keys::kStockLoc setting) and
// stand 176 pixels apart.
inline constexpr std::array<int, 4> kStockingX = {95, 271, 447, 625};

inline constexpr Point kPoinrAt{-5, 440};
inline constexpr Point kPoinlAt{650, 450};
inline constexpr Point kBellrAt{0, -10};
inline constexpr Point kBelllAt{720, 0};
inline constexpr Point kFlameAt{70, 27};
inline constexpr Point kLogsAt{83, 435};
// Both notice panels share one place; at most one shows at a time.
inline constexpr Point kNoticeAt{150, 70};

struct SurroundLayout {
  Point left;
  Point right;
  Point top;
  std::optional<Point> mantle;  // styles 3 to 6 only
};

// By style, 1 to 6 (element 0 unused).
inline constexpr std::array<SurroundLayout, 7> kSurroundLayout = {{
    {},
    {{0, 212}, {700, 212}, {0, 0}, std::nullopt},
    {{0, 212}, {700, 212}, {0, 0}, std::nullopt},
    {{-2, 210}, {712, 214}, {0, 0}, Point{81, 0}},
    {{-1, 202}, {670, 202}, {0, 0}, Point{78, 18}},
    {{0, 127}, {690, 127}, {0, 0}, Point{95, 22}},
    {{0, 127}, {690, 127}, {0, 0}, Point{82, 19}},
}};

// The calendar plate by corner: 0 top left, 1 bottom left, 2 top right,
// 3 bottom right. Any other corner leaves it where the control put it.
inline constexpr std::array<Point, 4> kCalendarAt = {{{5, 5}, {5, 510}, {730, 5}, {730, 510}}};
// The plate's picture is this size; its painted border leaves the inside
// for the calendar's texts.
inline constexpr int kCalendarWidth = 68;
inline constexpr int kCalendarHeight = 88;
inline constexpr int kCalendarBorder = 2;

inline constexpr int kAndironY = 292;
// Beside a surround, and further apart when no surround is ever drawn.
inline constexpr Point kAndironXWithSurround{50, 580};
inline constexpr Point kAndironXWithoutSurround{0, 650};

// The room's walls stand beside the scene, as wide as a 21:9 screen needs;
// the firelight covers the scene; the shades stand at the canvas's edges,
// wherever those are, and are this wide.
inline constexpr int kWallWidth = 300;
inline constexpr Point kWallLeftAt{-kWallWidth, 0};
inline constexpr Point kWallRightAt{800, 0};
inline constexpr Point kLightAt{0, 0};
inline constexpr int kShadeWidth = 240;

inline std::optional<Point> CalendarPosition(int corner) {
  if (corner < 0 || corner > 3) return std::nullopt;
  return kCalendarAt[corner];
}

}  // namespace emberlrn
