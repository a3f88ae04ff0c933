#include "platform/video_driver.h"

namespace emberlrn {
namespace {

bool Set(const char* value) { return value != nullptr && *value != '\0'; }

}  // namespace

std::vector<std::string> VideoDriversToTry(const char* askedDriver, const char* waylandDisplay) {
  if (Set(askedDriver) || !Set(waylandDisplay)) return {};
  return {"wayland", "x11"};
}

std::string FallbackText(std::string_view failed, std::string_view reason, std::string_view next) {
  std::string text = "emberlrn: the ";
  text += failed;
  text += " display cannot be used (";
  text += reason.empty() ? std::string_view("no reason given") : reason;
  text += "); drawing through ";
  text += next;
  text += next == "x11" ? " (XWayland) instead" : " instead";
  return text;
}

const char* FramebufferAccelerationFor(std::string_view driver) {
  return driver == "wayland" ? "1" : "0";
}

}  // namespace emberlrn
