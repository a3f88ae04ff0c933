#include "platform/data_folder.h"

#include <unistd.h>

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
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    // An installed program lies in <prefix>/bin or <prefix>/libexec/...;
    // its data is <prefix>/share/emberlrn.
    const std::filesystem::path installed = EMBERLRN_INSTALLED_DATA_DIR;
    const std::filesystem::path prefix = installed.parent_path().parent_path();
    auto rel = std::filesystem::relative(self, prefix, ec);
    if (!ec && !rel.empty() && *rel.begin() != ".." &&
        std::filesystem::is_directory(installed, ec)) {
      return WithSlash(installed.string());
    }
  }
  return WithSlash(EMBERLRN_BUILD_DATA_DIR);
}

}  // namespace emberlrn
