#include "platform/data_folder.h"


#include <cstdlib>
#include <filesystem>

namespace emberlrn {
namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string InstallFolder() {
  if (const char* env = std::getenv("EMBERLRN_DATA_DIR"); env && *env) return WithSlash(env);
  // An installed program lies in <prefix>/bin (xscreensaver's link in
  // libexec resolves to it); its data is <prefix>/share/emberlrn, wherever
  // the prefix was chosen at install time.
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec && self.parent_path().filename() == "bin") {
    const std::filesystem::path installed =
        self.parent_path().parent_path() / "share" / "emberlrn";
    if (std::filesystem::is_directory(installed, ec)) return WithSlash(installed.string());
  }
  return WithSlash(EMBERLRN_BUILD_DATA_DIR);
}

}  // namespace emberlrn
