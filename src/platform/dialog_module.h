#pragma once
// Finds and runs the settings dialog's module.

#include <string>
#include <vector>

namespace emberlrn {

class SettingsStore;
class System;

// Where the module may lie, first found wins: beside the program (the build
// tree), then <prefix>/<libdir>/emberlrn/modules when the program lies in
// <prefix>/bin.
std::vector<std::string> DialogModulePlaces(const std::string& programPath);

// Loads the module and shows the dialog. A module that cannot be loaded is
// said in one line on standard error, and the status is 1.
int RunDialogModule(int argc, char** argv, SettingsStore& store, System& system);

}  // namespace emberlrn
