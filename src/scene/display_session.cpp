#include "scene/display_session.h"

#include "interfaces/system.h"
#include "interfaces/tego_ddrw.h"

namespace emberlrn {
namespace {

struct DepthTexts {
  std::string_view first;
  std::string_view second;
};

DepthTexts TextsFor(int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 32:
      return {"The screensaver stated you were using 32-bit color",
              "However when it attempted to activate, it could not open its full-screen window "
              "at 32-bit color"};
    case 24:
      return {"The screensaver stated you were using 24-bit color",
              "However when it attempted to activate, it could not open its full-screen window "
              "at 24-bit color"};
    default:
      return {"The screensaver stated you were using 16-bit color",
              "However when it attempted to activate, it could not open its full-screen window "
              "at 16-bit color"};
  }
}

constexpr std::string_view kLineBreak = "\r\n";

// A window that cannot be drawn is told as such, since no depth would help.
bool ReportedWindowFault(TegoDDrw& ddrw, System& system) {
  const std::string fault = ddrw.WindowFault();
  if (fault.empty()) return false;
  system.ShowMessage(MessageIcon::kCritical, kDirectDrawErrorTitle, WindowFaultText(fault));
  return true;
}

// Asks for 800 x 600 at the depth; a refusal is reported and ends the session.
bool SwitchChecked(TegoDDrw& ddrw, System& system, int bitsPerPixel) {
  if (ddrw.SetDisplayMode(kSceneWidth, kSceneHeight, bitsPerPixel, "")) return true;
  if (!ReportedWindowFault(ddrw, system)) {
    system.ShowMessage(MessageIcon::kCritical, kDirectDrawErrorTitle,
                       DirectDrawErrorText(bitsPerPixel));
  }
  return false;
}

}  // namespace

std::string ModeListLine(const DisplayModeRecord& mode) {
  return std::to_string(mode.width) + "x" + std::to_string(mode.height) + "x" +
         std::to_string(mode.bitsPerPixel);
}

ModeList BuildModeList(DisplayModes& modes) {
  const int16_t depth = modes.CurrentDepth();
  const auto [width, height] = modes.CurrentSize();
  ModeList list;
  for (int index = 0;; ++index) {
    const std::optional<DisplayModeRecord> mode = modes.EnumDisplayMode(index);
    if (!mode) break;
    list.lines.push_back(ModeListLine(*mode));
    if (mode->bitsPerPixel == depth && mode->width == width && mode->height == height) {
      list.selected = list.lines.size() - 1;
    }
  }
  return list;
}

std::string SelectedDepthText(const ModeList& list) {
  if (!list.selected) return "";
  const std::string& line = list.lines[*list.selected];
  return line.size() <= 2 ? line : line.substr(line.size() - 2);
}

std::string DirectDrawErrorText(int bitsPerPixel) {
  const DepthTexts texts = TextsFor(bitsPerPixel);
  std::string text;
  text += texts.first;
  text += kLineBreak;
  text += kLineBreak;
  text += texts.second;
  text += kLineBreak;
  text += kLineBreak;
  // On Linux no dialog changes the depth: the display server is started at it.
  text +=
      "On Linux the color depth is the display server's own: it is set when the display server "
      "starts (for Xorg, DefaultDepth in its configuration)";
  text += kLineBreak;
  text +=
      "Please check that your display runs at 24-bit color and lets programs open a "
      "full-screen window";
  if (bitsPerPixel == 16) {
    text += kLineBreak;
    text += kLineBreak;
    text +=
        "This screensaver was designed to run at higher color than 16-bit.  We strongly suggest "
        "starting your display server at 24-bit color";
  }
  return text;
}

std::string WindowFaultText(std::string_view fault) {
  std::string text = "The screensaver could not open its full-screen window: ";
  text += fault;
  text += kLineBreak;
  text += kLineBreak;
  text +=
      "The color depth is not the cause. Please check that your display lets programs open a "
      "full-screen window (on Wayland, that the compositor offers a renderer SDL can use, or run "
      "with SDL_VIDEODRIVER=x11)";
  return text;
}

bool OpenDisplay(TegoDDrw& ddrw, DisplayModes& modes, System& system) {
  const std::string depth = SelectedDepthText(BuildModeList(modes));
  if (depth == "32") return SwitchChecked(ddrw, system, 32);
  if (depth == "24") return SwitchChecked(ddrw, system, 24);
  if (depth == "16") return SwitchChecked(ddrw, system, 16);
  // An 8-bit desktop ("x8") or one whose mode is not listed: 16 bits are
  // tried and the scene is loaded whatever the answer, unless there is no
  // window to load it into.
  if (ddrw.SetDisplayMode(kSceneWidth, kSceneHeight, 16, "")) return true;
  return !ReportedWindowFault(ddrw, system);
}

}  // namespace emberlrn
