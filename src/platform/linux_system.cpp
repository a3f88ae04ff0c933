#include "platform/linux_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "platform/desktop_tools.h"
#include "platform/instance_lock.h"
#include "platform/process.h"
#include "platform/screen_saver_timeout.h"
#include "platform/x11/x11_desktop.h"

namespace emberlrn {

LinuxSystem::~LinuxSystem() {
  if (instanceLock_ >= 0) ::close(instanceLock_);
}

std::optional<int32_t> LinuxSystem::ScreenSaveTimeOut() { return ReadScreenSaveTimeOut(); }

bool LinuxSystem::FindTopLevelWindow(std::string_view title) {
  return x11::FindTopLevelWindow(title);
}

bool LinuxSystem::AnotherInstanceRuns() {
  if (instanceChecked_) return anotherInstance_;
  instanceChecked_ = true;
  const std::string name = "/emberlrn-" + std::to_string(::getuid()) + ".lock";
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::vector<std::string> paths = {((runtime && *runtime == '/') ? runtime : "/tmp") + name};
  // Where another user has planted a file under the lock's name, one in the
  // user's own cache folder stands in.
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  if (cache && *cache == '/') {
    paths.push_back(cache + name);
  } else if (home && *home == '/') {
    const std::string folder = std::string(home) + "/.cache";
    ::mkdir(folder.c_str(), 0700);
    paths.push_back(folder + name);
  }
  const InstanceLock lock = TakeInstanceLock(paths);
  instanceLock_ = lock.fd;
  anotherInstance_ = lock.anotherInstance;
  return anotherInstance_;
}

void LinuxSystem::ShowCursor(bool show) {
  if (!cursorLeftAlone_ && showCursor_) showCursor_(show);
}

void LinuxSystem::Open(std::string_view target) {
  std::vector<std::string> argv = DocumentOpener().argv;
  argv.emplace_back(target);
  StartDetached(argv);
}

std::vector<std::vector<std::string>> LinuxSystem::ProgramsFor(std::string_view commandLine) {
  std::vector<std::vector<std::string>> programs;
  for (DesktopTool& tool : DesktopToolsFor(commandLine, CurrentDesktop())) {
    programs.push_back(std::move(tool.argv));
  }
  return programs;
}

void LinuxSystem::Run(std::string_view commandLine) {
  // The first of the desktop's programs that is installed; none, nothing.
  for (const auto& argv : ProgramsFor(commandLine)) {
    if (StartDetached(argv)) return;
  }
}

void LinuxSystem::ShowMessage(MessageIcon icon, std::string_view title, std::string_view text) {
  const std::string titleText(title);
  // Messages join their lines with CR LF; the window system wants LF alone.
  std::string bodyText;
  for (char c : text) {
    if (c != '\r') bodyText += c;
  }
  const char* display = std::getenv("DISPLAY");
  if (display && *display && showMessage_ && showMessage_(icon, titleText, bodyText)) return;
  std::cerr << "emberlrn: " << titleText << ": ";
  for (char c : bodyText) std::cerr << (c == '\n' ? ' ' : c);
  std::cerr << '\n';
}

void LinuxSystem::EndProcess(ExitStatus status) {
  for (auto step = shutdownSteps_.rbegin(); step != shutdownSteps_.rend(); ++step) (*step)();
  std::fflush(nullptr);
  std::cerr.flush();
  std::_Exit(static_cast<int>(status));
}

}  // namespace emberlrn
