#include "platform/dialog_module.h"

#include <dlfcn.h>

#include <filesystem>
#include <iostream>

#include "interfaces/dialog_module.h"

namespace emberlrn {

std::vector<std::string> DialogModulePlaces(const std::string& programPath) {
  const std::filesystem::path folder = std::filesystem::path(programPath).parent_path();
  std::vector<std::string> places = {(folder / kDialogModuleName).string()};
  if (folder.filename() == "bin") {
    places.push_back(
        (folder.parent_path() / EMBERLRN_MODULE_DIR / kDialogModuleName).string());
  }
  return places;
}

int RunDialogModule(int argc, char** argv, SettingsStore& store, System& system) {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  std::string why = "it is not installed beside the program";
  for (const std::string& place : DialogModulePlaces(self.string())) {
    if (!std::filesystem::exists(place, ec)) continue;
    // The module stays loaded to the end: the toolkit does not expect to be unloaded.
    void* module = dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
      why = dlerror();
      break;
    }
    auto entry = reinterpret_cast<RunDialogEntry>(dlsym(module, kDialogEntryName));
    if (!entry) {
      why = place + " has no dialog in it";
      break;
    }
    return entry(argc, argv, store, system);
  }
  std::cerr << "emberlrn: the settings dialog cannot be loaded: " << why << "\n";
  return 1;
}

}  // namespace emberlrn
