#pragma once
// The settings mode: shows the settings dialog modally until the user
// closes it.

namespace emberlrn {

class SettingsStore;
class System;

// Creates the application, shows the dialog and returns 0 when it closes.
// Without a display it says so in one line on standard error and returns 1.
int RunSetupDialog(int argc, char** argv, SettingsStore& store, System& system);

}  // namespace emberlrn
