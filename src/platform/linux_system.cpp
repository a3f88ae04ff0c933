#include "platform/linux_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "platform/desktop_tools.h"
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
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string folder = (runtime && *runtime == '/') ? runtime : "/tmp";
  const std::string path = folder + "/emberlrn-" + std::to_string(::getuid()) + ".lock";
  instanceLock_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (instanceLock_ < 0) {
    std::cerr << "emberlrn: cannot open the instance lock " << path << ": " << std::strerror(errno)
              << '\n';
    return false;
  }
  // The kernel frees the lock when the holder dies, so a crash never blocks
  // the next start.
  if (::flock(instanceLock_, LOCK_EX | LOCK_NB) != 0) {
    anotherInstance_ = (errno == EWOULDBLOCK);
    ::close(instanceLock_);
    instanceLock_ = -1;
  }
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
