#pragma once
// The entry routine: reads the command line once, decides the mode, and runs
// the one window that mode needs.

#include <cstdint>
#include <string_view>

namespace emberlrn {

class System;

// What each mode runs; main supplies the real windows, tests record calls.
class ModeHost {
 public:
  virtual ~ModeHost() = default;
  virtual int RunFullScreen() = 0;
  virtual int RunPreview(int32_t previewParent) = 0;
  virtual int RunSettings() = 0;
  virtual int RunPassword() = 0;
};

// The title of the classic desktop settings window; while it is open a
// second full-screen instance is allowed.
inline constexpr std::string_view kDisplayPropertiesTitle = "Display Properties";

// Returns the process's exit status.
int Main(std::string_view commandLine, ModeHost& host, System& system);

// The password mode: Linux screen lockers use the login password, so this
// only says so; nothing is stored.
int PasswordMode(System& system);

}  // namespace emberlrn
