#pragma once
// The settings dialog lives in a module of its own, loaded only in the
// settings mode, so that the saver never maps the widget toolkit. This is
// the one function the module offers and the program calls.

namespace emberlrn {

class SettingsStore;
class System;

// Shows the dialog modally until the user closes it; returns the exit status.
using RunDialogEntry = int (*)(int argc, char** argv, SettingsStore& store, System& system);

inline constexpr const char kDialogModuleName[] = "emberlrn-setup.so";
inline constexpr const char kDialogEntryName[] = "emberlrn_run_settings_dialog";

}  // namespace emberlrn
