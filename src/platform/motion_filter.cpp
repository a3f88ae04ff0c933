#include "platform/motion_filter.h"

namespace emberlrn {

void MotionFilter::WindowShown(std::optional<PointerPosition> where) {
  shown_ = true;
  last_ = where;
}

void MotionFilter::WindowHidden() {
  shown_ = false;
  last_.reset();
}

bool MotionFilter::IsUsersMove(PointerPosition where) {
  if (!shown_) return false;
  const bool moved = last_.has_value() && *last_ != where;
  last_ = where;
  return moved;
}

}  // namespace emberlrn
