#pragma once
// The dialog's bars in the values the store keeps. A bar may run from a
// larger value at its left (or top) end to a smaller one at the other, as
// the flame bar runs from 250 ("Slow") to 25 ("Fast"). Such a bar keeps the
// negated value inside, so its arrows, trough, keys and thumb all move the
// way they point; these routines are the only way the dialog reads or sets
// a bar.

#include <QScrollBar>
#include <QVariant>
#include <algorithm>

namespace emberlrn {

inline constexpr char kReversedBar[] = "emberlrnReversed";

// The value at the left (or top) end first, the other end's second.
inline void SetBarRange(QScrollBar& bar, int first, int last) {
  const bool reversed = first > last;
  bar.setProperty(kReversedBar, reversed);
  if (reversed) {
    bar.setRange(-first, -last);
  } else {
    bar.setRange(first, last);
  }
}

inline bool IsReversedBar(const QScrollBar& bar) { return bar.property(kReversedBar).toBool(); }

inline int BarValue(const QScrollBar& bar) {
  return IsReversedBar(bar) ? -bar.value() : bar.value();
}
inline int BarLowest(const QScrollBar& bar) {
  return IsReversedBar(bar) ? -bar.maximum() : bar.minimum();
}
inline int BarHighest(const QScrollBar& bar) {
  return IsReversedBar(bar) ? -bar.minimum() : bar.maximum();
}

// Sets the value, clamped to the bar's range.
inline void SetBarValue(QScrollBar& bar, int value) {
  const int clamped = std::clamp(value, BarLowest(bar), BarHighest(bar));
  bar.setValue(IsReversedBar(bar) ? -clamped : clamped);
}

}  // namespace emberlrn
