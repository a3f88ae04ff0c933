#pragma once
// Tells the user's pointer movements from the motion events a window system
// sends of its own accord: when a window maps, is raised or is exposed, it
// reports the pointer where it already was. A motion event counts only when
// the pointer is somewhere other than where it was last seen, and nothing
// counts before the window is on the screen.

#include <optional>

#include "interfaces/types.h"

namespace emberlrn {

class MotionFilter {
 public:
  // The window is now on the screen; the pointer stands at `where` (screen
  // coordinates), or somewhere unknown when nothing is given, in which case
  // the first motion event only tells where it is.
  void WindowShown(std::optional<PointerPosition> where);
  // The window left the screen: motion is no longer the user's.
  void WindowHidden();

  // A motion event with the pointer at `where` (screen coordinates): true
  // when it is a movement of the user's.
  bool IsUsersMove(PointerPosition where);

 private:
  bool shown_ = false;
  std::optional<PointerPosition> last_;
};

}  // namespace emberlrn
